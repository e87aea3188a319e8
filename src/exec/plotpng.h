// Plots on a machine without a display: gnuplot's default terminal there
// draws nothing, so FINISHPLOT asks it for a PNG file instead.
#pragma once
#include <string>

namespace zav {

// The PNG file gnuplot should write for this plot file: "<plotfile>.png"
// when there is no DISPLAY, the program is gnuplot (a stand-in would not
// take its options) and the plot file names no terminal of its own; empty
// otherwise.
std::string headlessPngFor(const std::string& plotFile, const std::string& program);

// The gnuplot arguments that select the PNG terminal and output, to go
// before the plot file's name.
std::string pngTerminalArguments(const std::string& png);

}  // namespace zav
