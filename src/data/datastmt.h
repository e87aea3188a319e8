// The DATA statement: its clauses and the reading of the data file.
#pragma once
#include "parse/node.h"

namespace zav {

struct Interp;

// Parses a DATA statement; the current token is DATA (not yet consumed).
// Returns a statement of kind Data; the statement parser prints the
// "== Begin/End DATA stmt" traces and sets the statement's position.
StmtNode* parseDataStatement(Interp& in);

// Runs a DATA statement.
void runDataStatement(Interp& in, const StmtNode& s);

}  // namespace zav
