// Plot output: PLOT, MULTIPLOT and CURVE write gnuplot command and data files.
#pragma once
#include "exec/exec.h"

namespace zav {

struct Interp;

// Each returns the code of the body it ran (CURVE has none).
Flow runPlot(Interp& in, const StmtNode& s);
Flow runMultiPlot(Interp& in, const StmtNode& s);
Flow runCurve(Interp& in, const StmtNode& s);

}  // namespace zav
