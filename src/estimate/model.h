// The MODEL and PMODEL statements: models, parameters and runs.
#pragma once
#include "parse/node.h"

namespace zav {

struct Interp;

// Parses a MODEL or PMODEL statement; the current token is MODEL or PMODEL
// (not yet consumed). Returns a statement of kind Model; the statement parser
// prints the "== Begin/End MODEL stmt" traces and sets the position.
StmtNode* parseModelStatement(Interp& in);

// Runs a MODEL or PMODEL statement (PMODEL runs as MODEL).
void runModelStatement(Interp& in, const StmtNode& s);

}  // namespace zav
