// The calculus forms: integration, differentiation, sums and products, and
// the zero and minimum searches. Each sets the form's variable to trial
// values, evaluates the form's body there and returns a real.
#pragma once
#include "parse/node.h"
#include "symbols/value.h"

namespace zav {

struct Interp;

// INTEGRATE var (low, high [, count-or-tolerance]) body END by the method
// of INTEGRATE_METHOD.
Real calcIntegrate(Interp& in, const ExprNode* n);
// DERIVATIVE [(order)] var = point, body [, dx] END by Ridders' method; the
// variable gets its old value back.
Real calcDerivative(Interp& in, const ExprNode* n);
// SUMMATION and PRODUCT var (from, to [, criterion]) body END.
Real calcSumOrProduct(Interp& in, const ExprNode* n);
// FINDZERO var (low, high [, tol [, maxits]]) body END: Brent's zero finder.
Real calcFindZero(Interp& in, const ExprNode* n);
// FINDMIN var (low, high [, start [, tol [, maxits]]]) body END: Brent's
// minimiser; returns the abscissa of the minimum.
Real calcFindMin(Interp& in, const ExprNode* n);

}  // namespace zav
