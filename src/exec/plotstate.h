// The run state of plot output: the numbering of the data files and the
// state of the PLOT and MULTIPLOT bodies being run.
#pragma once
#include "symbols/value.h"

namespace zav {

// Present while a PLOT body runs.
struct PlotFrame {
  bool active = false;
  bool firstCurve = true;
  int dims = 0;  // 2 or 3, fixed by the first curve
};

// Present while a MULTIPLOT body runs: the panel grid and the next panel.
struct MultiPlotFrame {
  bool active = false;
  int nx = 1, ny = 1;
  int column = 1, row = 1;
  Real width = 1, height = 1;
};

struct PlotState {
  int dataCounter = 0;  // number of the last data file, from 1; never wraps
  PlotFrame plot;
  MultiPlotFrame multi;
};

}  // namespace zav
