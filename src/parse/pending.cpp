// PENDING: stand-ins for statements whose own layers are not built yet. Each
// stops the run with a clear message; the owners replace these bodies with the
// real ones (and delete them from this file).
#include <string>

#include "data/datastmt.h"
#include "driver/error.h"
#include "driver/interp.h"
#include "estimate/model.h"
#include "exec/plot.h"
#include "scan/scanner.h"

namespace zav {

// PENDING: the DATA statement layer.
StmtNode* parseDataStatement(Interp& in) { syntaxStop(in, "DATA statement is not available yet"); }
void runDataStatement(Interp& in, const StmtNode&) {
  ReportError(in, ErrCat::RunTime, "DATA statement is not available yet");
}

// PENDING: the MODEL statement layer.
StmtNode* parseModelStatement(Interp& in) { syntaxStop(in, "MODEL statement is not available yet"); }
void runModelStatement(Interp& in, const StmtNode&) {
  ReportError(in, ErrCat::RunTime, "MODEL statement is not available yet");
}

// PENDING: plot output.
Flow runPlot(Interp& in, const StmtNode&) { ReportError(in, ErrCat::RunTime, "PLOT output is not available yet"); }
Flow runMultiPlot(Interp& in, const StmtNode&) {
  ReportError(in, ErrCat::RunTime, "PLOT output is not available yet");
}
Flow runCurve(Interp& in, const StmtNode&) { ReportError(in, ErrCat::RunTime, "PLOT output is not available yet"); }

}  // namespace zav
