// Statement execution.
#pragma once
#include <string>

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
// One expression of expression mode, parsed and shown (unless only parsing);
// false at the end of the input. `text` is scratch space kept across calls.
bool expressionStep(Interp& in, std::string& text);

// Evaluates one expression of expression mode in a fresh activation of the
// global table and writes its value as one line (`text` is working space).
void showExpression(Interp& in, const ExprNode* e, std::string& text);

}  // namespace zav
