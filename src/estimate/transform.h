// Standard errors of functions of the estimates by the delta method: the
// SETRANSFORM function and the PTRANSFORM procedure.
#pragma once
#include "parse/node.h"
#include "symbols/value.h"

namespace zav {

struct Interp;

// The standard error of `e` at the current parameter values under the run's
// variance-covariance matrix: sqrt(g' V g), g the gradient of `e` over the
// free parameters. INFINITY while the run has no inverted matrix.
Real transformSE(Interp& in, const ExprNode* e);

// SETRANSFORM(e): transformSE within a MODEL statement.
Real evalSETransform(Interp& in, const ExprNode* e);

// PTRANSFORM(x1, x2, e): x1 := e, x2 := its standard error; `args` is the
// call's argument holder.
void procPtransform(Interp& in, const ExprNode* args);

}  // namespace zav
