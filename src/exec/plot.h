// Plot output: PLOT, MULTIPLOT and CURVE write a command file for gnuplot
// (the plot file FPLOT) and one numbered data file per curve (FPLOTDATA);
// PLOTFILE opens the plot file and FINISHPLOT closes it and runs gnuplot.
#pragma once
#include <span>
#include <string>
#include <string_view>

#include "exec/exec.h"

namespace zav {

struct Interp;

// A gnuplot plot style of the WITH clause: how many expressions beyond x and
// y (x, y and z for splot) it needs and how many data columns it uses, in 2-D
// and, when splot takes it, in 3-D.
struct PlotStyle {
  std::string_view name;
  bool allows3d;
  int extraRequired, extraColumns;
  int extraRequired3d, extraColumns3d;
};

// The styles in the order a WITH string is matched against them.
std::span<const PlotStyle> plotStyles();

// `s` as a double-quoted string of a gnuplot command that shows the text
// as it is: escapes and backquoted shell commands in it stay inert.
std::string gnuplotQuoted(std::string_view s);

// Each returns the code of the body it ran (CURVE has none).
Flow runPlot(Interp& in, const StmtNode& s);
Flow runMultiPlot(Interp& in, const StmtNode& s);
Flow runCurve(Interp& in, const StmtNode& s);

// Opens the plot file under `name` and writes GNUPLOTINIT as its first line;
// the data files are numbered afresh under the name's stem.
void openPlotFile(Interp& in, const std::string& name);

// The stem of the data file names of a plot file: the name up to its last
// full stop, then a full stop ("fig.plt" gives "fig."). A name whose last
// part has no full stop keeps the whole name ("fig" gives "fig.").
std::string plotDataStem(const std::string& plotName);

// The name of the next numbered data file of the plot file ("fig.001",
// "fig.002", ...); counts it as used.
std::string nextPlotDataName(Interp& in);

// The gnuplot to run: the GNUPLOT setting as a file or along PATH, else the
// environment variable GNUPLOT the same way; empty when none is found.
std::string findGnuplot(const std::string& setting);

// The procedures PLOTFILE (name) and FINISHPLOT (pause); `args` is the
// call's argument holder.
void procPlotfile(Interp& in, const ExprNode* args);
void procFinishplot(Interp& in, const ExprNode* args);

}  // namespace zav
