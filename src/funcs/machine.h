// The machine constants of the REAL type, computed once so every part of the
// interpreter sees the same INFINITY, SMALLEST_NUMBER and friends.
#pragma once
#include <cfloat>
#include <cmath>
#include <limits>

#include "core/settings.h"

namespace zav {

inline void initMachineConstants(Settings& s) {
  s.machineEpsilon = std::numeric_limits<Real>::epsilon();
  s.sqrtEpsilon = std::sqrt(s.machineEpsilon);
  s.smallestNumber = LDBL_MIN;  // smallest normalized value
  s.lnInfinity = std::log(LDBL_MAX);
  // e^ln(max) may round past the largest finite value; INFINITY must stay a
  // finite number so that comparisons and halving (the default bounds) work.
  Real inf = std::exp(s.lnInfinity);
  if (!std::isfinite(inf) || inf > LDBL_MAX) inf = LDBL_MAX;
  s.infinity = inf;
  s.oo = inf;
  s.negInfinity = -inf;
  s.nan = std::numeric_limits<Real>::quiet_NaN();
}

}  // namespace zav
