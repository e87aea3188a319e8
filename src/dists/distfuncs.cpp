#include "dists/distfuncs.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <cmath>
#include <exception>
#include <limits>

#include "core/error.h"
#include "core/interp.h"
#include "funcs/mathlib.h"
#include "funcs/mathpolicy.h"

namespace zav {
namespace {

namespace bm = boost::math;

constexpr Real kInf = std::numeric_limits<Real>::infinity();
constexpr Real kNaN = std::numeric_limits<Real>::quiet_NaN();
constexpr Real kEpsilon = std::numeric_limits<Real>::epsilon();
// 1/sqrt(2) as the nearest REAL, and what that rounding left out.
constexpr Real kInvSqrt2 = 0.7071067811865475244008443621048490393L;
constexpr Real kInvSqrt2Lo = 1.895032558893257079655e-20L;
constexpr Real kSqrt2 = 1.414213562373095048801688724209698079L;
constexpr Real kInvSqrt2Pi = 0.3989422804014326779399460599343818685L;
constexpr Real kTwoOverSqrtPi = 1.128379167095512573896158903121545172L;

// Degrees of freedom beyond this differ from the limiting distribution by
// less than the precision of a REAL, and the beta routines lose their way
// with half-arguments of that size; such values take the limit's form.
constexpr Real kDfLimit = 1e40L;
inline bool limitDf(Real df) { return df > kDfLimit; }

// Boost reports some failures of its internal iterations by exception
// whatever the policy says; a quantile guess that fails is simply absent.
template <class F>
Real guarded(F f) {
  try {
    return f();
  } catch (const std::exception&) {
    return kNaN;
  }
}

// exp(-x^2/2) with x^2 carried to twice the working precision: for |x| near
// 40 the rounding of x^2 alone would cost a thousand units in the last place.
Real gaussExp(Real x) {
  Real sq = x * x;
  if (!std::isfinite(sq)) return 0;
  Real err = std::fma(x, x, -sq);
  return std::exp(-sq / 2) * (1 - err / 2);
}

Real normalDensity(Real x) { return kInvSqrt2Pi * gaussExp(x); }

// Phi(x) = erfc(-x/sqrt(2))/2. The argument is rounded once; the first-order
// term of that rounding is put back, which keeps the far lower tail at full
// relative precision.
Real normalCdf(Real x) {
  if (std::isnan(x)) return x;
  Real z = -x * kInvSqrt2;
  Real e = guarded([z] { return bm::erfc(z, BoostQuiet()); });
  if (z > 0 && std::isfinite(z)) {
    Real dz = std::fma(-x, kInvSqrt2, -z) + (-x) * kInvSqrt2Lo;  // exact argument minus z
    e -= dz * kTwoOverSqrtPi * std::exp(-z * z);
  }
  return e / 2;
}

Real ibetaQ(Real a, Real b, Real x) {
  return guarded([=] { return bm::ibeta(a, b, x, BoostQuiet()); });
}
Real ibetacQ(Real a, Real b, Real x) {
  return guarded([=] { return bm::ibetac(a, b, x, BoostQuiet()); });
}
Real gammaQQ(Real a, Real x) {
  return guarded([=] { return bm::gamma_q(a, x, BoostQuiet()); });
}
Real gammaPQ(Real a, Real x) {
  return guarded([=] { return bm::gamma_p(a, x, BoostQuiet()); });
}

// Splits a bracket. Toward 0 and toward infinity it moves by orders of
// magnitude (geometric means, squaring), so that a quantile of a tail like
// 1e-300 is bracketed in a few dozen steps rather than hundreds of halvings.
Real splitBracket(Real a, Real b) {
  constexpr Real kTiny = std::numeric_limits<Real>::min();
  constexpr Real kHuge = std::numeric_limits<Real>::max();
  if (std::isinf(b)) return a <= 0 ? 1 : a < 2 ? 2 * a : std::min(a * a, kHuge);
  if (std::isinf(a)) return b >= 0 ? -1 : b > -2 ? 2 * b : std::max(-b * b, -kHuge);
  if (a >= 0 && b > 4 * std::max(a, kTiny)) return std::sqrt(std::max(a, kTiny)) * std::sqrt(b);
  return a + (b - a) / 2;
}

// Solves cdf(x) = target on (lo, hi) for a monotone cdf whose derivative is
// slope, starting from the guess x0 (NaN when there is none). Newton steps
// are taken while they stay inside the bracket and make progress, bisection
// otherwise; the search runs to adjacent REALs, so the result inverts exactly
// the function a program calls. For a small target the Newton step works on
// ln cdf, which is nearly linear in the tails where cdf itself spans
// hundreds of orders of magnitude.
template <class Cdf, class Slope>
Real invertMonotone(Real x0, Real target, bool decreasing, Cdf cdf, Slope slope, Real lo, Real hi) {
  const Real sign = decreasing ? -1 : 1;
  const bool logScale = target < 0.25L;
  Real a = lo, b = hi;
  Real x = x0 > lo && x0 < hi ? x0 : splitBracket(lo, hi);
  Real best = x, bestResidual = kInf;
  Real widthBefore = kInf, stepBefore = kInf;
  for (int i = 0; i < 400; ++i) {
    Real fx = cdf(x);
    Real r = sign * (fx - target);
    if (std::isnan(r)) break;
    if (std::fabs(r) < bestResidual) {
      best = x;
      bestResidual = std::fabs(r);
    }
    // Within two units of the target's last place nothing better can be told
    // apart from the rounding of cdf itself.
    if (std::fabs(r) <= 2 * kEpsilon * target) break;
    if (r < 0)
      a = x;
    else
      b = x;
    Real next = kNaN;
    Real d = slope(x);
    if (d != 0 && std::isfinite(d)) {
      // ln(fx/target) through log1p: the difference of two logarithms near
      // -700 would lose a dozen bits just where the step gets fine.
      if (logScale && fx > 0)
        next = x - std::log1p((fx - target) / target) * fx / d;
      else
        next = x - (fx - target) / d;
    }
    if (next == x) break;  // the correction is below the resolution of x
    // A correction of a few units in the last place is the noise floor of
    // cdf itself: one look at that point, then stop.
    if (std::fabs(next - x) <= 4 * kEpsilon * std::fabs(x)) {
      if (!(next > a && next < b)) break;
      Real rn = std::fabs(cdf(next) - target);
      if (rn < bestResidual) best = next;
      break;
    }
    // Every other step must at least halve the bracket (or, while one end is
    // still open, the step), or the bracket is split instead.
    Real width = b - a, step = std::fabs(next - x);
    bool slow = false;
    if (i % 2 == 1) {
      slow = std::isfinite(width) ? !(width <= widthBefore / 2) : !(step >= 2 * stepBefore);
      widthBefore = width;
      stepBefore = step;
    }
    if (slow || !(next > a && next < b)) next = splitBracket(a, b);
    if (!(next > a && next < b) || next == x) break;
    x = next;
  }
  return best;
}

// Upper tail of t: P(|T| > |t|)/2 = I_y(df/2, 1/2)/2 with y = df/(df + t^2),
// taking whichever of y and 1 - y is smaller as the argument so that neither
// is formed by subtraction.
Real studentUpper(Real t, Real df) {
  if (t == 0 || df == 0) return 0.5L;  // the limit df -> 0 puts all mass at the infinities
  Real t2 = t * t;
  Real twoSided;
  if (!std::isfinite(t2)) {
    twoSided = 0;
  } else {
    Real den = df + t2;
    Real y = df / den, x = t2 / den;
    if (y <= 0.5L) {
      twoSided = ibetaQ(df / 2, 0.5L, y);
    } else {
      // B = I_x(1/2, df/2) itself is accurate; 1 - B loses nothing while B is
      // below 1/2, and the complement routine takes over beyond.
      Real b = ibetaQ(0.5L, df / 2, x);
      twoSided = b < 0.5L ? 1 - b : ibetacQ(0.5L, df / 2, x);
    }
  }
  return t > 0 ? twoSided / 2 : 1 - twoSided / 2;
}

Real studentDensity(Real t, Real df) {
  return guarded([=] { return bm::pdf(bm::students_t_distribution<Real, BoostQuiet>(df), t); });
}

Real chiUpper(Real x, Real df) {
  if (std::isnan(x) || std::isnan(df)) return kNaN;
  if (x == 0) return 1;
  if (df == 0 || std::isinf(x)) return 0;
  if (std::isinf(df)) return 1;
  return gammaQQ(df / 2, x / 2);
}

// P(X^2 <= x), the lower tail, for inverting above p = 1/2.
Real chiLower(Real x, Real df) {
  if (std::isnan(x) || std::isnan(df)) return kNaN;
  if (x == 0) return 0;
  if (df == 0 || std::isinf(x)) return 1;
  if (std::isinf(df)) return 0;
  return gammaPQ(df / 2, x / 2);
}

Real chiDensity(Real x, Real df) {
  return guarded([=] { return bm::gamma_p_derivative(df / 2, x / 2, BoostQuiet()) / 2; });
}

// P(F > f) = I_y(df2/2, df1/2) with y = df2/(df2 + df1*f) = 1/(1 + r),
// r = df1*f/df2; the complement form takes z = r/(1 + r) when y is large.
Real fUpper(Real f, Real df1, Real df2) {
  if (std::isnan(f) || std::isnan(df1) || std::isnan(df2)) return kNaN;
  if (f == 0 || df1 == 0) return 1;
  if (df2 == 0 || std::isinf(f)) return 0;
  bool inf1 = limitDf(df1), inf2 = limitDf(df2);
  if (inf1 && inf2) return f < 1 ? 1 : f > 1 ? 0 : 0.5L;
  if (inf2) return chiUpper(df1 * f, df1);           // F -> chi^2(df1)/df1
  if (inf1) return gammaPQ(df2 / 2, df2 / (2 * f));  // F -> df2/chi^2(df2)
  Real r = (df1 / df2) * f;
  Real res;
  if (std::isinf(r)) {
    res = 0;
  } else {
    Real y = 1 / (1 + r), z = r / (1 + r);
    res = y <= 0.5L ? ibetaQ(df2 / 2, df1 / 2, y) : ibetacQ(df1 / 2, df2 / 2, z);
  }
  if (res > 1) res = 2 - res;
  return res;
}

// P(F <= f), from the same two forms as fUpper with the roles swapped.
Real fLower(Real f, Real df1, Real df2) {
  if (std::isnan(f) || std::isnan(df1) || std::isnan(df2)) return kNaN;
  if (f == 0 || df1 == 0) return 0;
  if (df2 == 0 || std::isinf(f)) return 1;
  bool inf1 = limitDf(df1), inf2 = limitDf(df2);
  if (inf1 && inf2) return f < 1 ? 0 : f > 1 ? 1 : 0.5L;
  if (inf2) return chiLower(df1 * f, df1);
  if (inf1) return gammaQQ(df2 / 2, df2 / (2 * f));
  Real r = (df1 / df2) * f;
  if (std::isinf(r)) return 1;
  Real y = 1 / (1 + r), z = r / (1 + r);
  return y <= 0.5L ? ibetacQ(df2 / 2, df1 / 2, y) : ibetaQ(df1 / 2, df2 / 2, z);
}

Real fDensity(Real f, Real df1, Real df2) {
  return guarded([=] { return bm::pdf(bm::fisher_f_distribution<Real, BoostQuiet>(df1, df2), f); });
}

}  // namespace

Real distNormal(Interp&, Real x) { return std::isnan(x) ? x : normalDensity(x); }

Real distNormalCdf(Interp&, Real x) { return normalCdf(x); }

Real distStudentT(Interp& in, Real t, Real df) {
  checkNonNegative(in, "df (arg2) in STUDENTT", df);
  if (std::isnan(t)) return t;
  if (limitDf(df)) return normalCdf(-t);
  return studentUpper(t, df);
}

Real distFDist(Interp& in, Real f, Real df1, Real df2) {
  checkNonNegative(in, "f-value (arg1) of FDIST", f);
  checkNonNegative(in, "df1 (arg2) in FDIST", df1);
  checkNonNegative(in, "df2 (arg3) in FDIST", df2);
  return fUpper(f, df1, df2);
}

Real distChiSq(Interp& in, Real x, Real df) {
  checkNonNegative(in, "X^2 (arg 1) of CHISQ", x);
  checkNonNegative(in, "df (arg2) in CHISQ", df);
  return chiUpper(x, df);
}

Real distInvNormal(Interp& in, Real p) {
  if (p < 0 || p > 1) ReportError(in, ErrCat::Funct, "INVNORMAL prob is > 0 or < 1");
  checkProportion(in, "INVNORMAL parameter", p);
  if (p == 0) return -kInf;
  if (p == 1) return kInf;
  // Work in the smaller tail, where p carries full relative precision.
  bool upper = p > 0.5L;
  Real q = upper ? 1 - p : p;
  if (q == 0.5L) return 0;
  Real guess = guarded([q] { return -kSqrt2 * bm::erfc_inv(2 * q, BoostQuiet()); });
  Real x = invertMonotone(guess, q, false, normalCdf, normalDensity, -kInf, 0);
  return upper ? -x : x;
}

Real distInvChiSq(Interp& in, Real p, Real df) {
  if (p < 0 || p > 1) ReportError(in, ErrCat::Funct, "INVCHISQ prob is > 0 or < 1");
  if (!(df > 0)) ReportError(in, ErrCat::Funct, "INVCHISQ df is <= 0");
  checkProportion(in, "INVCHISQ argument", p);
  if (p == 1) return 0;
  if (p == 0 || std::isinf(df)) return kInf;
  // Above 1/2 the lower tail 1 - p is exact and carries the digits that p
  // itself, rounded near 1, no longer has.
  if (p > 0.5L) {
    const Real q = 1 - p;
    Real guess = guarded([=] { return 2 * bm::gamma_p_inv(df / 2, q, BoostQuiet()); });
    return invertMonotone(
        guess, q, false, [df](Real v) { return chiLower(v, df); }, [df](Real v) { return chiDensity(v, df); }, 0, kInf);
  }
  Real guess = guarded([=] { return 2 * bm::gamma_q_inv(df / 2, p, BoostQuiet()); });
  return invertMonotone(
      guess, p, true, [df](Real v) { return chiUpper(v, df); }, [df](Real v) { return -chiDensity(v, df); }, 0, kInf);
}

Real distInvStudentT(Interp& in, Real p, Real df) {
  checkProportion(in, "INVSTUDENTT p (1st) parameter", p);
  checkPositive(in, "INVSTUDENTT df (2nd) parameter", df);
  if (p == 0.5L) return 0;
  if (p == 0) return kInf;
  if (p == 1) return -kInf;
  // The smaller tail again: t for the upper tail q, mirrored when p > 1/2.
  bool mirror = p > 0.5L;
  Real q = mirror ? 1 - p : p;
  Real t;
  if (limitDf(df)) {
    t = -distInvNormal(in, q);
  } else {
    Real guess =
        guarded([=] { return bm::quantile(bm::complement(bm::students_t_distribution<Real, BoostQuiet>(df), q)); });
    t = invertMonotone(
        guess, q, true, [df](Real v) { return studentUpper(v, df); }, [df](Real v) { return -studentDensity(v, df); },
        0, kInf);
  }
  return mirror ? -t : t;
}

Real distInvFDist(Interp& in, Real p, Real df1, Real df2) {
  checkProportion(in, "FINV p (1st) parameter", p);
  checkNonNegative(in, "FINV df1 (2nd) parameter", df1);
  checkNonNegative(in, "FINV df2 (3rd) parameter", df2);
  if (df1 == 0 && df2 == 0) return kNaN;
  if (p == 1 || df2 == 0) return 0;  // no degrees below: all the mass sits at 0
  if (p == 0 || df1 == 0) return kInf;
  bool inf1 = limitDf(df1), inf2 = limitDf(df2);
  if (inf1 && inf2) return 1;
  auto slope = [=](Real v) -> Real {
    if (inf2) return -df1 * chiDensity(df1 * v, df1);
    if (inf1)
      return -guarded([=] { return bm::gamma_p_derivative(df2 / 2, df2 / (2 * v), BoostQuiet()); }) * df2 / (2 * v * v);
    return -fDensity(v, df1, df2);
  };
  // Above 1/2 the lower tail, as for INVCHISQ.
  if (p > 0.5L) {
    const Real q = 1 - p;
    Real guess;
    if (inf2) {
      guess = guarded([=] { return 2 * bm::gamma_p_inv(df1 / 2, q, BoostQuiet()) / df1; });
    } else if (inf1) {
      guess = guarded([=] { return df2 / (2 * bm::gamma_q_inv(df2 / 2, q, BoostQuiet())); });
    } else {
      guess = guarded([=] {
        Real z = 0;
        Real y = bm::ibetac_inv(df2 / 2, df1 / 2, q, &z, BoostQuiet());
        return (df2 / df1) * (z / y);
      });
    }
    return invertMonotone(
        guess, q, false, [df1, df2](Real v) { return fLower(v, df1, df2); }, [&slope](Real v) { return -slope(v); }, 0,
        kInf);
  }
  Real guess;
  if (inf2) {
    guess = guarded([=] { return 2 * bm::gamma_q_inv(df1 / 2, p, BoostQuiet()) / df1; });
  } else if (inf1) {
    guess = guarded([=] { return df2 / (2 * bm::gamma_p_inv(df2 / 2, p, BoostQuiet())); });
  } else {
    // FDIST is I_y(df2/2, df1/2) with y = df2/(df2 + df1*f); invert for y and
    // take 1 - y from the inversion itself rather than by subtraction.
    guess = guarded([=] {
      Real z = 0;
      Real y = bm::ibeta_inv(df2 / 2, df1 / 2, p, &z, BoostQuiet());
      return (df2 / df1) * (z / y);
    });
  }
  return invertMonotone(
      guess, p, true, [df1, df2](Real v) { return fUpper(v, df1, df2); }, slope, 0, kInf);
}

Real distInvBeta(Interp& in, Real p, Real a, Real b) {
  checkProportion(in, "INVBETA p (1st) parameter", p);
  checkPositive(in, "INVBETA df1 (2nd) parameter", a);
  checkPositive(in, "INVBETA df2 (3rd) parameter", b);
  if (p == 0) return 0;
  if (p == 1) return 1;
  auto density = [a, b](Real v) { return guarded([=] { return bm::ibeta_derivative(a, b, v, BoostQuiet()); }); };
  // Above 1/2 the upper tail 1 - p, as for INVCHISQ.
  if (p > 0.5L) {
    const Real q = 1 - p;
    Real guess = guarded([=] { return bm::ibetac_inv(a, b, q, BoostQuiet()); });
    return invertMonotone(
        guess, q, true, [a, b](Real v) { return ibetacQ(a, b, v); }, [&density](Real v) { return -density(v); }, 0, 1);
  }
  Real guess = guarded([=] { return bm::ibeta_inv(a, b, p, BoostQuiet()); });
  return invertMonotone(guess, p, false, [a, b](Real v) { return ibetaQ(a, b, v); }, density, 0, 1);
}

}  // namespace zav
