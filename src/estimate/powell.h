// The line search that the direct search and the conjugate-gradient methods
// share: Brent's method under the maximisers' stop rule.
#pragma once
#include <cmath>

#include "driver/interp.h"
#include "funcs/brent.h"
#include "symbols/value.h"

namespace zav {

using LineMin = BrentMin;

// Minimises evaluate(u) over [min(a, b), max(a, b)] from `start`, with the
// relative tolerance `tol`; at most BRENT_ITS rounds and none once EVALS has
// reached MAXEVALS.
template <class F>
LineMin lineMinimise(Interp& in, Real bound1, Real bound2, Real start, Real tol, F&& evaluate) {
  return brentMinimise(in, bound1, bound2, start, tol, evaluate,
                       [&](int round) { return round < in.set.brentIts && in.set.evals < in.set.maxEvals; });
}

}  // namespace zav
