#include "driver/interp.h"

#include "estimate/workers.h"
#include "parse/node.h"
#include "symbols/symtab.h"

namespace zav {

Interp::Interp() {
  global = new SymbolTable;
  global->buckets.assign(kBucketCount, nullptr);
  current = global;
}

Interp::~Interp() {
  workers.reset();
  for (StmtNode* p : programs) freeStmtList(p);
  for (Routine* r : routines) delete r;
  for (SymbolTable* t : tables) destroyTable(t);
  destroyTable(global);
}

}  // namespace zav
