// The intrinsic procedures that work on data variables.
#pragma once
#include "parse/node.h"

namespace zav {

struct Interp;

// BOOTSTRAP(x1, x2): x2 receives bootstrap frequencies drawn from the
// frequencies in x1.
void procBootstrap(Interp& in, const ExprNode* args);
// DRAWDOWN(x1, n): removes n observations at random from frequencies x1.
void procDrawdown(Interp& in, const ExprNode* args);
// COPYDATAVAR(x1, x2): data variable x2 receives the values of x1.
void procCopydatavar(Interp& in, const ExprNode* args);

}  // namespace zav
