// The fast path of the likelihood: a DATA or PDATA form whose whole body is
// one PDF term of a SUMLL form, compiled once into a plan.
#pragma once
#include <vector>

#include "symbols/value.h"

namespace zav {

struct Interp;
struct ExprNode;

// Sums the form's log-likelihood through its plan. What reads no data
// variable and no D_IDX is evaluated once per call; the observations are
// summed in fixed blocks, on the worker threads when there are several, and
// the block sums are added in block order, so the value does not depend on
// the thread count. False (nothing evaluated that shows) when the form does
// not qualify or an observation fails; the caller's general loop then runs
// and reports the failure as it always has.
bool fastDataSum(Interp& in, const ExprNode* n, Real& value);

// The gradient of the form's log-likelihood with respect to the free
// parameters, in one pass through the plan: for a law with scores and
// fixed parameters, each a bare free parameter or free of them, a hazard
// multiplier that is fixed or exp of covariates times such coefficients,
// and exact, right-censored or interval-censored times. False (grad undefined) otherwise.
bool fastDataScore(Interp& in, const ExprNode* n, std::vector<Real>& grad);

}  // namespace zav
