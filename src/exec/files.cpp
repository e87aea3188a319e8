#include "exec/files.h"

#include <cstdio>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "exec/fileio.h"
#include "symbols/symtab.h"

namespace zav {

void openOutputFile(Interp& in) {
  TextFile& out = in.set.fOutFile;
  fileOperation(in, out, FileOp::Close, out.name, false);
  fileOperation(in, out, FileOp::Write, getStringByName(in, "OUTFILENAME"), true);
}

bool closeStandardFiles(Interp& in) {
  std::fflush(stdout);
  // Whatever could not be written is reported here, through the error
  // report on the standard output, so that no output is lost silently.
  bool ok = true;
  for (TextFile* f : {&in.set.fOutFile, &in.set.fPlot, &in.set.fPlotData, &in.set.fData}) {
    const bool writing = f->handle && f->mode != FileMode::Read;
    const std::string name = f->name;
    const int code = fileOperation(in, *f, FileOp::Close, name, false);
    if (code == 0 || !writing) continue;
    ok = false;
    try {
      checkResult(in, code, "closing FILE ", name);  // the operation text CLOSE reports with
    } catch (const RunEnd&) {
      // Reported; the other files are still closed.
    }
  }
  if (!closeOpenFiles(in)) ok = false;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) ok = false;
  return ok;
}

}  // namespace zav
