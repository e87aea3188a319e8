#include "driver/calc.h"

#include <cstdio>
#include <memory>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "driver/lineedit.h"
#include "driver/run.h"
#include "exec/exec.h"
#include "scan/scanner.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// Standard input as the source; on a terminal its lines come through the
// editor, and line numbers go on from `line` after an error.
void openInput(Interp& in, TerminalInput* term, std::int32_t line) {
  openSource(in, "");
  if (!term) return;
  Source& src = in.scan.sources.back();
  src.file.reset(term->stream());
  src.line = line;
}

}  // namespace

int runStandardInput(Interp& in) {
  std::unique_ptr<TerminalInput> term;
  if (isTerminal(0) && isTerminal(1))
    term = std::make_unique<TerminalInput>(in.os.plainStdout ? in.os.plainStdout : stdout);
  openInput(in, term.get(), 0);
  if (peekKind(in) == Tok::Zav) {
    runOpenSource(in);
    return kExitOk;
  }
  // A line end where the expression may end ends it: the value shows at Enter.
  in.scan.lineEndsExpression = true;
  const std::size_t activations = in.global->saved.size();
  std::string text;
  bool failed = false;
  for (;;) {
    try {
      if (!expressionStep(in, text)) break;
      // A program at the other end of a pipe sees each value at once.
      std::fflush(stdout);
      failed = false;
    } catch (const RunEnd& end) {
      if (!term || end.status != kExitError) throw;
      // The report is out; the rest of the line goes, the session stays.
      failed = true;
      while (in.global->saved.size() > activations) deactivate(in, in.global);
      const std::int32_t line = in.pos.line;
      term->dropLine();
      resetScanner(in);
      openInput(in, term.get(), line);
    }
  }
  in.scan.lineEndsExpression = false;
  return failed ? kExitError : kExitOk;
}

}  // namespace zav
