// The power of a positive base as the likelihood routines take it.
#pragma once
#include <cmath>
#include <limits>

#include "symbols/value.h"

namespace zav::dens {

// x^c as exp(c ln x): the C library's long-double pow costs several times
// as much, and a likelihood takes millions of powers. The edges pow defines
// are kept explicitly: x^0 = 1^c = 1, 0^c and oo^c by the sign of c, and a
// negative x only with a whole c (odd c keeps the sign).
inline Real powr(Real x, Real c) {
  if (c == 0 || x == 1) return 1;
  if (c == 1) return x;
  if (std::isnan(x) || std::isnan(c)) return x + c;
  if (x < 0 || (x == 0 && std::signbit(x))) {
    if (std::trunc(c) != c) return std::numeric_limits<Real>::quiet_NaN();
    const Real m = powr(-x, c);
    return !std::isinf(c) && std::fmod(c, 2) != 0 ? -m : m;
  }
  if (x == 0) return c > 0 ? 0 : std::numeric_limits<Real>::infinity();
  if (x == std::numeric_limits<Real>::infinity()) return c > 0 ? std::numeric_limits<Real>::infinity() : 0;
  if (c == 2) return x * x;
  return std::exp(c * std::log(x));
}

}  // namespace zav::dens
