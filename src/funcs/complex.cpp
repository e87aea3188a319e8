// COMPLEX arithmetic. The rules for ARG, exp, ln and powers are the
// language's own (with their special cases at 0, 1 and the infinities); the
// other elementary functions are the principal branches of std::complex in
// extended precision.
#include "funcs/complex.h"

#include <cmath>
#include <complex>
#include <limits>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/mathlib.h"

namespace zav {
namespace {

using StdC = std::complex<Real>;

constexpr Real kPi = 3.141592653589793238462643383279502884L;
constexpr Real kLn10 = 2.302585092994045684017991454684364208L;
constexpr Real kNaN = std::numeric_limits<Real>::quiet_NaN();

StdC toStd(Complex z) { return {z.re, z.im}; }
Complex fromStd(StdC c) { return {c.real(), c.imag()}; }

bool isZero(Complex z) { return z.re == 0 && z.im == 0; }
bool isOne(Complex z) { return z.re == 1 && z.im == 0; }
bool isPosOoC(const Settings& s, Complex z) { return isPosOo(s, z.re) && z.im == 0; }
bool isNegOoC(const Settings& s, Complex z) { return isNegOo(s, z.re) && z.im == 0; }
bool isAnOo(const Settings& s, Real x) { return isPosOo(s, x) || isNegOo(s, x); }

Complex plusOo(const Interp& in) { return {in.set.infinity, 0}; }

// 1/d as the reciprocal forms use it: +oo where d is exactly zero.
Complex reciprocal(const Interp& in, StdC d) {
  if (d == StdC{0, 0}) return plusOo(in);
  return fromStd(StdC{1, 0} / d);
}

Complex quotient(const Interp& in, StdC n, StdC d) {
  if (d == StdC{0, 0}) return plusOo(in);
  return fromStd(n / d);
}

void refuseZero(Interp& in, std::string_view label, Complex z) {
  if (isZero(z)) checkNonZero(in, label, 0);
}

}  // namespace

Real cxRe(Complex z) { return z.re; }
Real cxIm(Complex z) { return z.im; }

Real cxArg(Interp& in, Complex z) {
  Real a = z.re, b = z.im;
  if (std::isnan(a) || std::isnan(b)) return kNaN;
  // atan2 is arctan(b/a) with the quadrant added, without forming b/a.
  if (a > 0) return b == 0 ? 0 : std::atan2(b, a);
  if (a == 0) {
    if (b > 0) return kPi / 2;
    if (b < 0) return -kPi / 2;
    ReportError(in, ErrCat::Math, "ARG is undefined for imaginary zero");
  }
  if (b == 0) return kPi;
  return std::atan2(b, a);
}

Real cxAbs(Complex z) { return std::hypot(z.re, z.im); }
bool cxEqual(Complex a, Complex b) { return a.re == b.re && a.im == b.im; }

Complex cxAdd(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
Complex cxSub(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
Complex cxMul(Complex a, Complex b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }

Complex cxDiv(Complex a, Complex b) {
  Real d = b.re * b.re + b.im * b.im;
  return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

Complex cxNeg(Interp&, Complex z) { return {-z.re, -z.im}; }
Complex cxInc(Interp&, Complex z) { return {z.re + 1, z.im}; }
Complex cxDec(Interp&, Complex z) { return {z.re - 1, z.im}; }

Complex cxInvert(Interp& in, Complex z) {
  if (isZero(z)) ReportError(in, ErrCat::Funct, "Attempted division by zero");
  return cxDiv({1, 0}, z);
}

Complex cxSqr(Interp&, Complex z) { return cxMul(z, z); }

Complex cxUnit(Interp&, Complex z) {
  Real m = cxAbs(z);
  if (m == 0) return {0, 0};
  return {z.re / m, z.im / m};
}

Complex cxInt(Interp&, Complex z) { return {std::trunc(z.re), std::trunc(z.im)}; }

Complex cxFrac(Interp&, Complex z) {
  Real w;
  Real re = std::modf(z.re, &w);
  Real im = std::modf(z.im, &w);
  return {re, im};
}

Complex cxFloor(Interp&, Complex z) { return {std::floor(z.re), std::floor(z.im)}; }
Complex cxCeil(Interp&, Complex z) { return {std::ceil(z.re), std::ceil(z.im)}; }

// ---------------------------------------------------------------------------
// exp, ln, powers

Complex cxExp(Interp& in, Complex z) {
  if (isAnOo(in.set, z.im)) ReportError(in, ErrCat::Math, "exp: c^(oo*1i) and c^(-oo*1i) are undefined");
  Real m = std::exp(z.re);
  if (z.im == 0) return {m, 0};
  return {m * std::cos(z.im), m * std::sin(z.im)};
}

Complex cxLn(Interp& in, Complex z) {
  Real arg = cxArg(in, z);
  return {std::log(cxAbs(z)), arg};
}

Complex cxLog10(Interp& in, Complex z) {
  Complex l = cxLn(in, z);
  return {l.re / kLn10, l.im / kLn10};
}

Complex cxLogBase(Interp& in, Complex z, Complex base) { return cxDiv(cxLn(in, z), cxLn(in, base)); }

Complex cxPower(Interp& in, Complex z, Complex w) {
  const Settings& s = in.set;
  if (isPosOoC(s, w)) {
    Real m = cxAbs(z);
    if (m < 1) return {0, 0};
    if (m == 1) ReportError(in, ErrCat::Math, "PWR: 1^oo is undefined");
    return plusOo(in);
  }
  if (isNegOoC(s, w)) {
    if (isAnOo(s, z.re) || isAnOo(s, z.im)) return {0, 0};
    ReportError(in, ErrCat::Math, "PWR: x^-oo is undefined except at x=oo,-oo,ooi,-ooi");
  }
  if (isPosOoC(s, z)) {
    if (w.re < 0) return {0, 0};
    if (w.re == 0) ReportError(in, ErrCat::Math, "PWR: oo^x is undefined for RE(x) = 0");
    return plusOo(in);
  }
  if (isZero(w)) {
    if (!isZero(z)) return {1, 0};
    ReportError(in, ErrCat::Math, "PWR: 0^x is undefined for RE(x) =0");
  }
  if (isOne(w)) return z;
  if (isZero(z)) return w.re < 0 ? plusOo(in) : Complex{0, 0};
  if (isOne(z)) return {1, 0};
  return cxExp(in, cxMul(w, cxLn(in, z)));
}

Complex cxRoot(Interp& in, Complex z, Complex n) {
  if (isZero(n)) ReportError(in, ErrCat::Math, "Attempted division by zero in ROOT");
  return cxPower(in, z, cxDiv({1, 0}, n));
}

Complex cxSqrt(Interp& in, Complex z) {
  if (isPosOoC(in.set, z)) return z;
  return fromStd(std::sqrt(toStd(z)));
}

// ---------------------------------------------------------------------------
// Trigonometric and hyperbolic functions

Complex cxSin(Interp&, Complex z) { return fromStd(std::sin(toStd(z))); }
Complex cxCos(Interp&, Complex z) { return fromStd(std::cos(toStd(z))); }

Complex cxTan(Interp& in, Complex z) {
  StdC c = std::cos(toStd(z));
  if (c == StdC{0, 0}) return plusOo(in);
  return fromStd(std::tan(toStd(z)));
}

Complex cxCot(Interp& in, Complex z) { return quotient(in, std::cos(toStd(z)), std::sin(toStd(z))); }
Complex cxSec(Interp& in, Complex z) { return reciprocal(in, std::cos(toStd(z))); }
Complex cxCsc(Interp& in, Complex z) { return reciprocal(in, std::sin(toStd(z))); }
Complex cxSinh(Interp&, Complex z) { return fromStd(std::sinh(toStd(z))); }
Complex cxCosh(Interp&, Complex z) { return fromStd(std::cosh(toStd(z))); }
Complex cxTanh(Interp&, Complex z) { return fromStd(std::tanh(toStd(z))); }
Complex cxCoth(Interp& in, Complex z) { return quotient(in, std::cosh(toStd(z)), std::sinh(toStd(z))); }
Complex cxSech(Interp& in, Complex z) { return reciprocal(in, std::cosh(toStd(z))); }
Complex cxCsch(Interp& in, Complex z) { return reciprocal(in, std::sinh(toStd(z))); }

Complex cxArcSin(Interp&, Complex z) { return fromStd(std::asin(toStd(z))); }
Complex cxArcCos(Interp&, Complex z) { return fromStd(std::acos(toStd(z))); }
Complex cxArcTan(Interp&, Complex z) { return fromStd(std::atan(toStd(z))); }

Complex cxArcCot(Interp& in, Complex z) {
  refuseZero(in, "ARCCOT arg", z);
  return fromStd(std::atan(StdC{1, 0} / toStd(z)));
}

Complex cxArcSec(Interp& in, Complex z) {
  refuseZero(in, "ARCSEC arg", z);
  return fromStd(std::acos(StdC{1, 0} / toStd(z)));
}

Complex cxArcCsc(Interp& in, Complex z) {
  refuseZero(in, "ARCCSC arg", z);
  return fromStd(std::asin(StdC{1, 0} / toStd(z)));
}

Complex cxArcSinh(Interp&, Complex z) { return fromStd(std::asinh(toStd(z))); }
Complex cxArcCosh(Interp&, Complex z) { return fromStd(std::acosh(toStd(z))); }
Complex cxArcTanh(Interp&, Complex z) { return fromStd(std::atanh(toStd(z))); }

Complex cxArcCoth(Interp& in, Complex z) {
  refuseZero(in, "ARCCOTH arg", z);
  return fromStd(std::atanh(StdC{1, 0} / toStd(z)));
}

Complex cxArcSech(Interp& in, Complex z) {
  refuseZero(in, "ARCSECH arg", z);
  return fromStd(std::acosh(StdC{1, 0} / toStd(z)));
}

Complex cxArcCsch(Interp& in, Complex z) {
  refuseZero(in, "ARCCSCH arg", z);
  return fromStd(std::asinh(StdC{1, 0} / toStd(z)));
}

// ---------------------------------------------------------------------------
// Transforms

Complex cxLogistic(Interp& in, Complex z) {
  Complex e = cxExp(in, in.set.altLogistic ? Complex{-z.re, -z.im} : z);
  return cxDiv({1, 0}, {1 + e.re, e.im});
}

Complex cxLogit(Interp& in, Complex z) { return cxLn(in, cxDiv(z, {1 - z.re, -z.im})); }
Complex cxFisher(Interp&, Complex z) { return fromStd(std::atanh(toStd(z))); }
Complex cxFisherInv(Interp&, Complex z) { return fromStd(std::tanh(toStd(z))); }

}  // namespace zav
