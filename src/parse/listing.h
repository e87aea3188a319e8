// Expression trees back to text, showing the precedence the parser applied.
#pragma once
#include "parse/node.h"

namespace zav {

struct Interp;

// Writes the listing of an expression to the console.
void listExpr(Interp& in, const ExprNode* n);

}  // namespace zav
