// Statement execution.
#pragma once
#include "parse/node.h"

namespace zav {

struct Interp;

// How a statement list ended: normally or by a jump that an enclosing loop,
// routine or program consumes.
enum class Flow { Normal = 0, Break = 1, Continue = 2, Exit = 3 };

// Runs a statement list. The parallel forms (PBEGIN bodies) run the same way:
// one statement after another in this process.
Flow execList(Interp& in, const StmtNode* list);

// Reads expressions from the current source until END or the end of the
// source; each is evaluated in a fresh activation of the global table and
// its value written as one line to the output file.
void runExpressionMode(Interp& in);

}  // namespace zav
