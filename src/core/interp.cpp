#include "core/interp.h"

#include "core/error.h"
#include "estimate/workers.h"
#include "parse/node.h"
#include "symbols/symtab.h"

namespace zav {

Interp::Interp() {
  global = new SymbolTable;
  global->buckets.assign(kBucketCount, nullptr);
  current = global;
  // Until the driver runs the interpreter on its own thread, the stack is
  // whatever the creator has; a few megabytes are safe on any platform.
  drv.stackBase = static_cast<const char*>(__builtin_frame_address(0));
  drv.stackBytes = std::size_t{4} << 20;
}

void budgetSpent(Interp& in) { ReportError(in, ErrCat::RunTime, "Evaluation budget exhausted"); }

Interp::~Interp() {
  workers.reset();
  for (StmtNode* p : programs) freeStmtList(p);
  for (Routine* r : routines) delete r;
  for (SymbolTable* t : tables) destroyTable(t);
  destroyTable(global);
}

}  // namespace zav
