// Elementary real functions: domain checks, powers, logarithms, rounding,
// trigonometry, geometry, the error function and zeta, and whole-number tests.
// The gamma family lives in gammafam.cpp, the Bessel functions in bessel.cpp.
#include "funcs/mathlib.h"

#include <boost/math/special_functions/zeta.hpp>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/mathpolicy.h"
#include "funcs/numtext.h"

namespace zav {
namespace {

constexpr Real kPi = 3.141592653589793238462643383279502884L;
constexpr Real kNaN = std::numeric_limits<Real>::quiet_NaN();
// Degrees to radians as the flat-earth distance formula has always used it.
constexpr Real kEarthDegToRad = 0.017453292L;
constexpr Real kKmPerDegree = 111.19L;
// Above this whole exponents are no longer raised by repeated squaring.
constexpr Real kIntPowerLimit = 32767;

// A number inside a domain-check message prints as a REAL value does.
std::string checkNum(const Interp& in, Real x) {
  return realToText(in.set, x, in.set.realWidth, in.set.realDecimals);
}

[[noreturn]] void badCheck(Interp& in, std::string_view label, std::string_view rule, Real x) {
  std::string msg = "Bad ";
  msg += label;
  msg += rule;
  msg += checkNum(in, x);
  ReportError(in, ErrCat::Math, msg);
}

bool isWhole(Real x) { return std::isfinite(x) && x == std::floor(x); }

// x^n by repeated squaring; a negative n inverts the result.
Real intPower(Real x, long n) {
  bool invert = n < 0;
  unsigned long e = invert ? static_cast<unsigned long>(-n) : static_cast<unsigned long>(n);
  Real result = 1;
  Real base = x;
  while (e != 0) {
    if (e & 1UL) result *= base;
    e >>= 1;
    if (e != 0) base *= base;
  }
  return invert ? 1 / result : result;
}

void checkLogArg(Interp& in, Real x) {
  if (x < 0) ReportError(in, ErrCat::Math, "Attempted log of negative number: " + realToText(in.set, x, 6, 15));
}

}  // namespace

bool isPosOo(const Settings& s, Real x) { return x > 0 && (std::isinf(x) || x >= s.infinity); }
bool isNegOo(const Settings& s, Real x) { return x < 0 && (std::isinf(x) || x <= s.negInfinity); }

// ---------------------------------------------------------------------------
// Domain checks. A NaN fails every check, so it never slips into a routine
// that the check guards.

void checkProportion(Interp& in, std::string_view label, Real x) {
  if (!(x >= 0 && x <= 1)) badCheck(in, label, " should be > 0 and < 1 but = ", x);
}
void checkAtLeastOne(Interp& in, std::string_view label, Real x) {
  if (!(x >= 1)) badCheck(in, label, " should be >=1 but = ", x);
}
void checkNonNegative(Interp& in, std::string_view label, Real x) {
  if (!(x >= 0)) badCheck(in, label, " should be >= 0 but = ", x);
}
void checkPositive(Interp& in, std::string_view label, Real x) {
  if (!(x > 0)) badCheck(in, label, " should be > 0 but = ", x);
}
void checkNonZero(Interp& in, std::string_view label, Real x) {
  if (x == 0) badCheck(in, label, " cannot be =0 but is ", x);
}
void checkClosedUnit(Interp& in, std::string_view label, Real x) {
  if (!(x >= -1 && x <= 1)) badCheck(in, label, "  should be >= -1 and =< 1 but = ", x);
}
void checkOpenUnit(Interp& in, std::string_view label, Real x) {
  if (!(x > -1 && x < 1)) badCheck(in, label, " should be > -1 and < 1 but = ", x);
}

// ---------------------------------------------------------------------------
// Powers, roots, logarithms

Real mathPower(Interp& in, Real x, Real c) {
  const Settings& s = in.set;
  if (std::isnan(x) || std::isnan(c)) return kNaN;
  if (isPosOo(s, c)) {
    Real ax = std::fabs(x);
    if (ax < 1) return 0;
    if (ax == 1) ReportError(in, ErrCat::Math, "PWR: 1^oo is undefined");
    return s.infinity;
  }
  if (isNegOo(s, c)) {
    if (isPosOo(s, x) || isNegOo(s, x)) return 0;
    ReportError(in, ErrCat::Math, "PWR: x^-oo is undefined except at x=oo,-oo");
  }
  if (isPosOo(s, x)) {
    if (c < 0) return 0;
    if (c == 0) ReportError(in, ErrCat::Math, "PWR: oo^x is undefined for x=0");
    return s.infinity;
  }
  if (c == 0) {
    if (x != 0) return 1;
    ReportError(in, ErrCat::Math, "PWR: 0^0 is undefined");
  }
  if (x == 0) return c > 0 ? 0 : s.infinity;
  if (c == 1) return x;
  if (c == -1) return isNegOo(s, x) ? 0 : 1 / x;
  // Whole exponents of either sign: a hugely negative one would overflow the
  // squaring loop's counter, and pow gives the same value for it below.
  if (isWhole(c) && std::fabs(c) < kIntPowerLimit) return intPower(x, static_cast<long>(c));
  // exp(c ln x), computed by pow so large results keep full precision.
  if (x > 0) return std::pow(x, c);
  if (isWhole(c)) {
    Real r = std::pow(-x, c);
    return std::fmod(c, Real{2}) != 0 ? -r : r;
  }
  ReportError(in, ErrCat::Math,
              "Bad arg to: POWER(" + realToText(s, x, 10, 2) + ", " + realToText(s, c, 10, 2) + ")");
}

Real mathRoot(Interp& in, Real x, Real n) {
  if (n == 0) ReportError(in, ErrCat::Math, "Attempted division by zero in ROOT");
  return mathPower(in, x, 1 / n);
}

Real mathSqrt(Interp& in, Real x) {
  if (x < 0)
    ReportError(in, ErrCat::Funct, "Attempted the square root of a negative number: " + realToText(in.set, x, 9, 4));
  if (isPosOo(in.set, x)) return x;
  if (x == 0) return 0;
  return std::sqrt(x);
}

Real mathSqr(Interp&, Real x) { return x * x; }
Real mathExp(Interp&, Real x) { return std::exp(x); }

Real mathLn(Interp& in, Real x) {
  checkLogArg(in, x);
  if (x == 0) return in.set.negInfinity;
  return std::log(x);
}

Real mathLog10(Interp& in, Real x) {
  checkLogArg(in, x);
  if (x == 0) return in.set.negInfinity;
  return std::log10(x);  // exact at powers of ten, unlike ln x / ln 10
}

Real mathLogBase(Interp& in, Real x, Real base) {
  checkLogArg(in, x);
  Real lb = std::log(base);
  if (x == 0) {
    // ln 0 is -oo: keep it an infinity of the right sign rather than a
    // finite -INFINITY / ln base.
    if (lb > 0) return in.set.negInfinity;
    if (lb < 0) return in.set.infinity;
    return kNaN;
  }
  return std::log(x) / lb;
}

Real mathLogit(Interp& in, Real x) {
  if (!(x >= 0 && x <= 1)) ReportError(in, ErrCat::Math, "Bad Logit(" + realToText(in.set, x, 10, 2) + ")");
  if (x == 0) return in.set.negInfinity;
  if (x == 1) return in.set.infinity;
  // Near 1/2 the quotient is close to 1 and its log would lose the small
  // difference; log1p of (2x - 1)/(1 - x) keeps it (2x - 1 and 1 - x are exact there).
  if (x > 0.25L && x < 0.75L) return std::log1p((2 * x - 1) / (1 - x));
  return std::log(x / (1 - x));
}

Real mathLogistic(Interp& in, Real x) {
  if (in.set.altLogistic) return 1 / (1 + std::exp(-x));
  return 1 / (1 + std::exp(x));
}

// ---------------------------------------------------------------------------
// Signs, rounding, simple combinations

int mathSgn(Real x) { return x > 0 ? 1 : (x < 0 ? -1 : 0); }

Real mathSign(Real x1, Real x2) { return x2 >= 0 ? std::fabs(x1) : -std::fabs(x1); }

Real mathRemainder(Interp&, Real x1, Real x2) {
  if (x2 == 0) return 0;
  // fmod is x1 - x2*trunc(x1/x2) computed exactly, also where x1/x2 is huge.
  return std::fmod(x1, x2);
}

Real mathFloor(Interp&, Real x) { return std::floor(x); }
Real mathCeil(Interp&, Real x) { return std::ceil(x); }
Real mathInt(Interp&, Real x) { return std::trunc(x); }

Real mathFrac(Interp&, Real x) {
  Real whole;
  return std::modf(x, &whole);  // 0 for an infinity, where x - trunc(x) would be NaN
}

Real mathComp(Interp&, Real x) { return mathSign(1 - std::fabs(x), x); }
Real mathCompN(Interp&, Real x1, Real x2) { return mathSign(x2 - std::fabs(x1), x1); }

Real mathStandardize(Interp& in, Real x, Real mean, Real sd) {
  checkNonZero(in, "STANDARDIZE arg 3", sd);
  return (x - mean) / sd;
}

// ---------------------------------------------------------------------------
// Angles

Real mathDtoR(Interp&, Real deg) { return deg * kPi / 180; }
Real mathRtoD(Interp&, Real rad) { return rad * 180 / kPi; }
Real mathDmsToD(Interp&, Real d, Real m, Real s) { return d + m / 60 + s / 3600; }
Real mathDmsToR(Interp& in, Real d, Real m, Real s) { return mathDtoR(in, mathDmsToD(in, d, m, s)); }

// ---------------------------------------------------------------------------
// Trigonometric and hyperbolic functions. Where the denominator of a
// quotient form is exactly zero the result is +oo; where the numerator is,
// 0 exactly.

Real mathSin(Interp&, Real x) { return std::sin(x); }
Real mathCos(Interp&, Real x) { return std::cos(x); }

Real mathTan(Interp& in, Real x) {
  if (std::cos(x) == 0) return in.set.infinity;
  if (std::sin(x) == 0) return 0;
  return std::tan(x);
}

Real mathCot(Interp& in, Real x) {
  Real s = std::sin(x);
  if (s == 0) return in.set.infinity;
  Real c = std::cos(x);
  if (c == 0) return 0;
  return c / s;
}

Real mathSec(Interp& in, Real x) {
  Real c = std::cos(x);
  return c == 0 ? in.set.infinity : 1 / c;
}

Real mathCsc(Interp& in, Real x) {
  Real s = std::sin(x);
  return s == 0 ? in.set.infinity : 1 / s;
}

Real mathSinh(Interp&, Real x) { return std::sinh(x); }
Real mathCosh(Interp&, Real x) { return std::cosh(x); }
Real mathTanh(Interp&, Real x) { return std::tanh(x); }

Real mathCoth(Interp& in, Real x) {
  if (x == 0) return in.set.infinity;
  return 1 / std::tanh(x);
}

Real mathSech(Interp&, Real x) { return 1 / std::cosh(x); }

Real mathCsch(Interp& in, Real x) {
  if (x == 0) return in.set.infinity;
  if (isPosOo(in.set, x) || isNegOo(in.set, x)) return 0;
  // 2/(e^x - e^-x), through sinh so small x keeps its digits.
  return 1 / std::sinh(x);
}

Real mathArcSin(Interp& in, Real x) {
  checkClosedUnit(in, "ARCSIN arg", x);
  return std::asin(x);
}

Real mathArcCos(Interp& in, Real x) {
  checkClosedUnit(in, "ARCCOS arg", x);
  return std::acos(x);
}

Real mathArcTan(Interp&, Real x) { return std::atan(x); }

Real mathArcCot(Interp& in, Real x) {
  checkNonZero(in, "ARCCOT arg", x);
  return std::atan(1 / x);
}

Real mathArcSec(Interp& in, Real x) {
  checkNonZero(in, "ARCSEC arg", x);
  return mathArcCos(in, 1 / x);
}

Real mathArcCsc(Interp& in, Real x) {
  checkNonZero(in, "ARCCSC arg", x);
  return mathArcSin(in, 1 / x);
}

Real mathArcSinh(Interp&, Real x) { return std::asinh(x); }

Real mathArcCosh(Interp& in, Real x) {
  checkAtLeastOne(in, "ARCCOSH(p) or ARCSECH(1/p) arg", x);
  return std::acosh(x);
}

Real mathArcTanh(Interp& in, Real x) {
  checkOpenUnit(in, "ARCTANH(p) or ARCCOTH(1/p) arg", x);
  return std::atanh(x);
}

Real mathArcCoth(Interp& in, Real x) {
  checkNonZero(in, "ARCCOTH arg", x);
  return mathArcTanh(in, 1 / x);
}

Real mathArcSech(Interp& in, Real x) {
  checkNonZero(in, "ARCSECH arg", x);
  return mathArcCosh(in, 1 / x);
}

Real mathArcCsch(Interp& in, Real x) {
  checkNonZero(in, "ARCCSCH arg", x);
  return std::asinh(1 / x);
}

// ln((1 + x)/(1 - x))/2 is atanh x; atanh keeps the digits near 0.
Real mathFisher(Interp& in, Real x) {
  checkOpenUnit(in, "FISHER arg", x);
  return std::atanh(x);
}

// (exp(2x) - 1)/(exp(2x) + 1) is tanh x, which stays 1 where exp(2x) overflows.
Real mathFisherInv(Interp&, Real x) { return std::tanh(x); }

// ---------------------------------------------------------------------------
// Geometry

// Flat-earth approximation: the east-west leg is the longitude difference
// shrunk by the cosine of the mean latitude, the north-south leg the latitude
// difference, both in degrees of 111.19 km.
// The flat-earth formula exactly as the language defines it: the cosine of
// the mean of x2 and x4 scales x1 - x3, so x2 and x4 are the latitudes.
Real mathEarthDist(Interp&, Real x1, Real x2, Real x3, Real x4) {
  Real ew = std::cos(((x2 + x4) / 2) * kEarthDegToRad) * (x1 - x3);
  Real ns = x2 - x4;
  Real radicand = ew * ew + ns * ns;
  if (radicand < 0) return 0;
  return kKmPerDegree * std::sqrt(radicand);
}

Real mathPolarToRectX(Interp&, Real r, Real a) { return r * std::cos(a); }
Real mathPolarToRectY(Interp&, Real r, Real a) { return r * std::sin(a); }
Real mathRectToPolarA(Interp&, Real x, Real y) { return std::atan2(y, x); }
Real mathRectToPolarR(Interp&, Real x, Real y) { return std::hypot(x, y); }

Real mathRectToSphereR(Interp&, Real x, Real y, Real z) { return std::hypot(x, y, z); }
Real mathRectToSphereA1(Interp&, Real x, Real y, Real) { return std::atan2(y, x); }
Real mathRectToSphereA2(Interp&, Real x, Real y, Real z) { return std::atan2(std::hypot(x, y), z); }
Real mathSphereToRectX(Interp&, Real r, Real a1, Real a2) { return r * std::cos(a1) * std::sin(a2); }
Real mathSphereToRectY(Interp&, Real r, Real a1, Real a2) { return r * std::sin(a1) * std::sin(a2); }
Real mathSphereToRectZ(Interp&, Real r, Real, Real a2) { return r * std::cos(a2); }

// ---------------------------------------------------------------------------
// Error function and zeta

Real mathErf(Interp&, Real x) { return std::erf(x); }
Real mathErfc(Interp&, Real x) { return std::erfc(x); }

Real mathZeta(Interp& in, Real s) {
  if (s == 1) return in.set.infinity;  // the harmonic series
  if (isPosOo(in.set, s)) return 1;
  return boost::math::zeta(s, BoostQuiet());
}

// ---------------------------------------------------------------------------
// Whole numbers

namespace {

using U64 = unsigned long long;
using U128 = unsigned __int128;

U64 mulMod(U64 a, U64 b, U64 m) { return static_cast<U64>(static_cast<U128>(a) * b % m); }

U64 powMod(U64 b, U64 e, U64 m) {
  U64 r = 1;
  b %= m;
  while (e != 0) {
    if (e & 1) r = mulMod(r, b, m);
    b = mulMod(b, b, m);
    e >>= 1;
  }
  return r;
}

// Miller-Rabin with the first twelve primes as bases is exact below 2^64.
bool isPrime64(U64 n) {
  static constexpr U64 kBases[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
  if (n < 2) return false;
  for (U64 p : kBases) {
    if (n % p == 0) return n == p;
  }
  U64 d = n - 1;
  int r = 0;
  while ((d & 1) == 0) {
    d >>= 1;
    ++r;
  }
  for (U64 a : kBases) {
    U64 x = powMod(a, d, n);
    if (x == 1 || x == n - 1) continue;
    bool composite = true;
    for (int i = 1; i < r && composite; ++i) {
      x = mulMod(x, x, n);
      if (x == n - 1) composite = false;
    }
    if (composite) return false;
  }
  return true;
}

[[noreturn]] void intRangeError(Interp& in, const char* name, std::int32_t a, std::int32_t b) {
  ReportError(in, ErrCat::Math,
              std::string(name) + "(" + std::to_string(a) + ", " + std::to_string(b) + ") is out of range of integer");
}

}  // namespace

bool mathIsPrime(Real x) {
  if (!isWhole(x) || x < 2) return false;
  // From 2^64 on every representable whole number is even.
  constexpr Real kTwo64 = 18446744073709551616.0L;
  if (x >= kTwo64) return false;
  return isPrime64(static_cast<U64>(x));
}

std::int32_t mathGcf(Interp& in, std::int32_t a, std::int32_t b) {
  std::int64_t g = std::gcd(static_cast<std::int64_t>(a), static_cast<std::int64_t>(b));
  if (g > std::numeric_limits<std::int32_t>::max()) intRangeError(in, "GCF", a, b);
  return static_cast<std::int32_t>(g);
}

std::int32_t mathLcm(Interp& in, std::int32_t a, std::int32_t b) {
  std::int64_t l = std::lcm(static_cast<std::int64_t>(a), static_cast<std::int64_t>(b));
  if (l > std::numeric_limits<std::int32_t>::max()) intRangeError(in, "LCM", a, b);
  return static_cast<std::int32_t>(l);
}

}  // namespace zav
