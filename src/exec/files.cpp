#include "exec/files.h"

#include <cerrno>
#include <cstdio>

#include "driver/interp.h"
#include "driver/os.h"
#include "symbols/symtab.h"

namespace zav {
namespace {
void closeFile(TextFile& f) {
  if (f.handle && f.ownsHandle) std::fclose(f.handle);
  else if (f.handle) std::fflush(f.handle);
  f.handle = nullptr;
  f.ownsHandle = false;
  f.mode = FileMode::Closed;
}
}  // namespace

void openOutputFile(Interp& in) {
  TextFile& out = in.set.fOutFile;
  closeFile(out);
  out.name = getStringByName(in, "OUTFILENAME");
  if (out.name.empty()) {
    out.handle = stdout;
    out.ownsHandle = false;
  } else {
    out.handle = std::fopen(out.name.c_str(), "w");
    if (!out.handle) checkResult(in, errnoToCode(errno), "Couldn't open output file", out.name);
    out.ownsHandle = true;
  }
  out.mode = FileMode::Write;
}

void closeStandardFiles(Interp& in) {
  std::fflush(stdout);
  closeFile(in.set.fOutFile);
  closeFile(in.set.fPlot);
  closeFile(in.set.fPlotData);
  closeFile(in.set.fData);
}

}  // namespace zav
