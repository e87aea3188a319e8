// PENDING: stand-ins for statements whose own layers are not built yet. Each
// stops the run with a clear message; the owners replace these bodies with the
// real ones (and delete them from this file).
#include <string>

#include "driver/error.h"
#include "driver/interp.h"
#include "exec/plot.h"
#include "scan/scanner.h"

namespace zav {

// PENDING: plot output.
Flow runPlot(Interp& in, const StmtNode&) { ReportError(in, ErrCat::RunTime, "PLOT output is not available yet"); }
Flow runMultiPlot(Interp& in, const StmtNode&) {
  ReportError(in, ErrCat::RunTime, "PLOT output is not available yet");
}
Flow runCurve(Interp& in, const StmtNode&) { ReportError(in, ErrCat::RunTime, "PLOT output is not available yet"); }

}  // namespace zav
