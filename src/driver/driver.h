// The run of the whole process: start-up, switches, the program, close-down.
#pragma once
#include <string>

namespace zav {

struct Interp;

// Runs zav with the command line; returns the exit status.
int runDriver(Interp& in, int argc, const char* const* argv);

// The usage report; ends the run with the usage status.
[[noreturn]] void usageReport(Interp& in, const std::string& message);

}  // namespace zav
