#include "exec/files.h"

#include <cstdio>

#include "driver/interp.h"
#include "exec/fileio.h"
#include "symbols/symtab.h"

namespace zav {

void openOutputFile(Interp& in) {
  TextFile& out = in.set.fOutFile;
  fileOperation(in, out, FileOp::Close, out.name, false);
  fileOperation(in, out, FileOp::Write, getStringByName(in, "OUTFILENAME"), true);
}

void closeStandardFiles(Interp& in) {
  std::fflush(stdout);
  // At the end of the run nothing is left to report a failure to.
  for (TextFile* f : {&in.set.fOutFile, &in.set.fPlot, &in.set.fPlotData, &in.set.fData})
    fileOperation(in, *f, FileOp::Close, f->name, false);
}

}  // namespace zav
