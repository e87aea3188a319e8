// Bessel functions J, Y, I and K of integer order. Orders 0 and 1 come from
// the polynomial and rational approximations of Abramowitz and Stegun (about
// eight significant digits); higher orders are reached by recurrence: Miller's
// downward recurrence for J (when |x| <= n) and I, upward recurrence for J
// (when |x| > n), Y and K.
#include <cmath>
#include <limits>

#include "core/interp.h"
#include "funcs/mathlib.h"

namespace zav {
namespace {

constexpr Real kNaN = std::numeric_limits<Real>::quiet_NaN();
constexpr Real kTwoOverPi = 0.636619772L;
constexpr Real kQuarterPi = 0.785398164L;
constexpr Real kThreeQuarterPi = 2.356194491L;
// Miller's recurrence: the starting order grows with sqrt(kAccuracy * n);
// values are rescaled by kBigInv whenever they pass kBig.
constexpr Real kAccuracy = 40;
constexpr Real kBig = 1e10L;
constexpr Real kBigInv = 1e-10L;

Real besselJ0(Real x) {
  Real ax = std::fabs(x);
  if (ax < 8) {
    Real y = x * x;
    Real num = 57568490574.0L +
               y * (-13362590354.0L + y * (651619640.7L + y * (-11214424.18L + y * (77392.33017L + y * -184.9052456L))));
    Real den = 57568490411.0L +
               y * (1029532985.0L + y * (9494680.718L + y * (59272.64853L + y * (267.8532712L + y * 1.0L))));
    return num / den;
  }
  Real z = 8 / ax;
  Real y = z * z;
  Real xx = ax - kQuarterPi;
  Real p = 1.0L + y * (-0.1098628627e-2L + y * (0.2734510407e-4L + y * (-0.2073370639e-5L + y * 0.2093887211e-6L)));
  Real q = -0.1562499995e-1L +
           y * (0.1430488765e-3L + y * (-0.6911147651e-5L + y * (0.7621095161e-6L - y * 0.934935152e-7L)));
  return std::sqrt(kTwoOverPi / ax) * (std::cos(xx) * p - z * std::sin(xx) * q);
}

Real besselJ1(Real x) {
  Real ax = std::fabs(x);
  if (ax < 8) {
    Real y = x * x;
    Real num = x * (72362614232.0L +
                    y * (-7895059235.0L + y * (242396853.1L + y * (-2972611.439L + y * (15704.48260L + y * -30.16036606L)))));
    Real den = 144725228442.0L +
               y * (2300535178.0L + y * (18583304.74L + y * (99447.43394L + y * (376.9991397L + y * 1.0L))));
    return num / den;
  }
  Real z = 8 / ax;
  Real y = z * z;
  Real xx = ax - kThreeQuarterPi;
  Real p = 1.0L + y * (0.183105e-2L + y * (-0.3516396496e-4L + y * (0.2457520174e-5L + y * -0.240337019e-6L)));
  Real q = 0.04687499995L +
           y * (-0.2002690873e-3L + y * (0.8449199096e-5L + y * (-0.88228987e-6L + y * 0.105787412e-6L)));
  Real r = std::sqrt(kTwoOverPi / ax) * (std::cos(xx) * p - z * std::sin(xx) * q);
  return x < 0 ? -r : r;
}

// Y0 and Y1 for x > 0.
Real besselY0(Real x) {
  if (x < 8) {
    Real y = x * x;
    Real num = -2957821389.0L +
               y * (7062834065.0L + y * (-512359803.6L + y * (10879881.29L + y * (-86327.92757L + y * 228.4622733L))));
    Real den = 40076544269.0L +
               y * (745249964.8L + y * (7189466.438L + y * (47447.26470L + y * (226.1030244L + y * 1.0L))));
    return num / den + kTwoOverPi * besselJ0(x) * std::log(x);
  }
  Real z = 8 / x;
  Real y = z * z;
  Real xx = x - kQuarterPi;
  Real p = 1.0L + y * (-0.1098628627e-2L + y * (0.2734510407e-4L + y * (-0.2073370639e-5L + y * 0.2093887211e-6L)));
  Real q = -0.1562499995e-1L +
           y * (0.1430488765e-3L + y * (-0.6911147651e-5L + y * (0.7621095161e-6L + y * -0.934945152e-7L)));
  return std::sqrt(kTwoOverPi / x) * (std::sin(xx) * p + z * std::cos(xx) * q);
}

Real besselY1(Real x) {
  if (x < 8) {
    Real y = x * x;
    Real num = x * (-0.4900604943e13L +
                    y * (0.1275274390e13L +
                         y * (-0.5153438139e11L + y * (0.7349264551e9L + y * (-0.4237922726e7L + y * 0.8511937935e4L)))));
    Real den = 0.2499580570e14L +
               y * (0.4244419664e12L +
                    y * (0.3733650367e10L + y * (0.2245904002e8L + y * (0.1020426050e6L + y * (0.3549632885e3L + y)))));
    return num / den + kTwoOverPi * (besselJ1(x) * std::log(x) - 1 / x);
  }
  Real z = 8 / x;
  Real y = z * z;
  Real xx = x - kThreeQuarterPi;
  Real p = 1.0L + y * (0.183105e-2L + y * (-0.3516396496e-4L + y * (0.2457520174e-5L + y * -0.240337019e-6L)));
  Real q = 0.04687499995L +
           y * (-0.2002690873e-3L + y * (0.8449199096e-5L + y * (-0.88228987e-6L + y * 0.105787412e-6L)));
  return std::sqrt(kTwoOverPi / x) * (std::sin(xx) * p + z * std::cos(xx) * q);
}

// A&S 9.8.1 and 9.8.2.
Real besselI0(Real x) {
  Real ax = std::fabs(x);
  if (ax < 3.75L) {
    Real y = x / 3.75L;
    y *= y;
    return 1.0L + y * (3.5156229L + y * (3.0899424L + y * (1.2067492L + y * (0.2659732L + y * (0.360768e-1L + y * 0.45813e-2L)))));
  }
  Real y = 3.75L / ax;
  return (std::exp(ax) / std::sqrt(ax)) *
         (0.39894228L +
          y * (0.1328592e-1L +
               y * (0.225319e-2L +
                    y * (-0.157565e-2L +
                         y * (0.916281e-2L + y * (-0.2057706e-1L + y * (0.2635537e-1L + y * (-0.1647633e-1L + y * 0.392377e-2L))))))));
}

// A&S 9.8.3 and 9.8.4.
Real besselI1(Real x) {
  Real ax = std::fabs(x);
  Real r;
  if (ax < 3.75L) {
    Real y = x / 3.75L;
    y *= y;
    r = ax * (0.5L + y * (0.87890594L + y * (0.51498869L + y * (0.15084934L + y * (0.2658733e-1L + y * (0.301532e-2L + y * 0.32411e-3L))))));
  } else {
    Real y = 3.75L / ax;
    Real t = 0.2282967e-1L + y * (-0.2895312e-1L + y * (0.1787654e-1L - y * 0.420059e-2L));
    t = 0.39894228L + y * (-0.3988024e-1L + y * (-0.362018e-2L + y * (0.163801e-2L + y * (-0.1031555e-1L + y * t))));
    r = t * (std::exp(ax) / std::sqrt(ax));
  }
  return x < 0 ? -r : r;
}

// A&S 9.8.5 and 9.8.6, for x > 0.
Real besselK0(Real x) {
  if (x <= 2) {
    Real y = x * x / 4;
    return (-std::log(x / 2) * besselI0(x)) +
           (-0.57721566L +
            y * (0.42278420L + y * (0.23069756L + y * (0.3488590e-1L + y * (0.262698e-2L + y * (0.10750e-3L + y * 0.74e-5L))))));
  }
  Real y = 2 / x;
  return (std::exp(-x) / std::sqrt(x)) *
         (1.25331414L +
          y * (-0.7832358e-1L + y * (0.2189568e-1L + y * (-0.1062446e-1L + y * (0.587872e-2L + y * (-0.251540e-2L + y * 0.53208e-3L))))));
}

// A&S 9.8.7 and 9.8.8, for x > 0.
Real besselK1(Real x) {
  if (x <= 2) {
    Real y = x * x / 4;
    return (std::log(x / 2) * besselI1(x)) +
           (1 / x) * (1.0L + y * (0.15443144L +
                                  y * (-0.67278579L + y * (-0.18156897L + y * (-0.1919402e-1L + y * (-0.110404e-2L + y * -0.4686e-4L))))));
  }
  Real y = 2 / x;
  return (std::exp(-x) / std::sqrt(x)) *
         (1.25331414L +
          y * (0.23498619L + y * (-0.3655620e-1L + y * (0.1504268e-1L + y * (-0.780353e-2L + y * (0.325614e-2L + y * -0.68245e-3L))))));
}

// The even order Miller's recurrence starts from for order n: twice
// n + sqrt(kAccuracy n), which leaves about kAccuracy / 3 digits lost to
// the arbitrary start values.
long millerStart(long n) { return 2 * (n + static_cast<long>(std::sqrt(kAccuracy * static_cast<Real>(n)))); }

// An order that arrives as a real is taken by its whole part.
long orderOf(Real n) { return static_cast<long>(std::trunc(n)); }

}  // namespace

Real mathBesselJ(Interp& in, Real nr, Real x) {
  checkNonNegative(in, "BESSELJ arg n", nr);
  long n = orderOf(nr);
  if (n == 0) return besselJ0(x);
  if (n == 1) return besselJ1(x);
  Real ax = std::fabs(x);
  if (ax == 0) return 0;
  Real result;
  if (ax > static_cast<Real>(n)) {
    // Upward recurrence is stable once the argument exceeds the order.
    Real tox = 2 / ax;
    Real bjm = besselJ0(ax);
    Real bj = besselJ1(ax);
    for (long j = 1; j < n; ++j) {
      Real bjp = j * tox * bj - bjm;
      bjm = bj;
      bj = bjp;
    }
    result = bj;
  } else {
    // Miller: recur downward from a high even order with arbitrary start
    // values, then normalise with J0 + 2 J2 + 2 J4 + ... = 1.
    Real tox = 2 / ax;
    long m = millerStart(n);
    bool even = false;
    Real bjp = 0, sum = 0, bj = 1;
    result = 0;
    for (long j = m; j > 0; --j) {
      Real bjm = j * tox * bj - bjp;
      bjp = bj;
      bj = bjm;
      if (std::fabs(bj) > kBig) {
        bj *= kBigInv;
        bjp *= kBigInv;
        result *= kBigInv;
        sum *= kBigInv;
      }
      if (even) sum += bj;
      even = !even;
      if (j == n) result = bjp;
    }
    sum = 2 * sum - bj;
    result /= sum;
  }
  return (x < 0 && (n & 1)) ? -result : result;
}

Real mathBesselI(Interp& in, Real nr, Real x) {
  checkNonNegative(in, "BESSELI arg n", nr);
  long n = orderOf(nr);
  if (n == 0) return besselI0(x);
  if (n == 1) return besselI1(x);
  if (x == 0) return 0;
  // Miller: downward recurrence, normalised by I0. The start must lie
  // beyond the argument as well as the order: below x the ratio
  // I(j+1)/I(j) is near 1, and a start there never forgets its arbitrary
  // values.
  Real tox = 2 / std::fabs(x);
  Real bip = 0, bi = 1, result = 0;
  const Real ax = std::fabs(x);
  const long from = ax > static_cast<Real>(n) ? static_cast<long>(std::ceil(std::fmin(ax, 1e7L))) : n;
  for (long j = millerStart(from); j > 0; --j) {
    Real bim = bip + j * tox * bi;
    bip = bi;
    bi = bim;
    if (std::fabs(bi) > kBig) {
      result *= kBigInv;
      bi *= kBigInv;
      bip *= kBigInv;
    }
    if (j == n) result = bip;
  }
  result *= besselI0(x) / bi;
  return (x < 0 && (n & 1)) ? -result : result;
}

Real mathBesselY(Interp& in, Real nr, Real x) {
  // Order 0 is as valid for Y and K as for J and I (the order-0 approximation
  // is right below); only a negative order is refused.
  checkNonNegative(in, "BESSELY arg n", nr);
  if (std::isnan(x) || x < 0) return kNaN;  // complex-valued there
  if (x == 0) return in.set.negInfinity;
  long n = orderOf(nr);
  if (n == 0) return besselY0(x);
  if (n == 1) return besselY1(x);
  Real tox = 2 / x;
  Real bym = besselY0(x);
  Real by = besselY1(x);
  for (long j = 1; j < n; ++j) {
    Real byp = j * tox * by - bym;
    bym = by;
    by = byp;
  }
  return by;
}

Real mathBesselK(Interp& in, Real nr, Real x) {
  checkNonNegative(in, "BESSELK arg n", nr);
  if (std::isnan(x) || x < 0) return kNaN;  // complex-valued there
  if (x == 0) return in.set.infinity;
  long n = orderOf(nr);
  if (n == 0) return besselK0(x);
  if (n == 1) return besselK1(x);
  Real tox = 2 / x;
  Real bkm = besselK0(x);
  Real bk = besselK1(x);
  for (long j = 1; j < n; ++j) {
    Real bkp = bkm + j * tox * bk;
    bkm = bk;
    bk = bkp;
  }
  return bk;
}

}  // namespace zav
