// The root search behind the likelihood confidence limits: regula falsi
// with the Illinois rule, between the estimate (residual ra > 0) and a far
// point. A template so that the objective is called without indirection.
#pragma once
#include <cmath>

#include "symbols/value.h"

namespace zav {

struct CiSearch {
  Real limit = 0;
  int status = 0;  // 5 converged, 2 did not converge, 6 not bracketed
  int iterations = 0;
};

template <class F>
CiSearch ciSearch(Real a, Real ra, Real b, Real rb, Real tolerance, int maxIts, F&& residual) {
  // Not bracketed also when a residual is not a number.
  if (!(ra * rb < 0)) return {b, 6, 0};
  int keptA = 0, keptB = 0;  // consecutive steps in which each end was kept
  for (int i = 1;; ++i) {
    Real c = (rb * a - ra * b) / (rb - ra);
    if (!std::isfinite(c)) c = 0.5L * (a + b);  // an infinite residual: halve instead
    const Real rc = residual(c);
    if (std::fabs(rc) < tolerance) return {c, 5, i};
    if (i >= maxIts) return {c, 2, i};
    if ((rc < 0) == (rb < 0)) {
      b = c;
      rb = rc;
      keptB = 0;
      if (++keptA > 1) ra /= 2;
    } else {
      a = c;
      ra = rc;
      keptA = 0;
      if (++keptB > 1) rb /= 2;
    }
  }
}

}  // namespace zav
