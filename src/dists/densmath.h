// Numerical helpers the density and survival routines share: the standard
// normal tails, the regularised gamma and beta functions with their
// derivatives, Bessel functions and a few overflow-safe compositions.
//
// Every routine here is quiet: a domain fault gives NaN and an overflow the
// IEEE infinity, never an exception or a message, because a likelihood is
// evaluated thousands of times and the parameter checks come first.
#pragma once
#include <boost/math/special_functions/bessel.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <cmath>
#include <exception>
#include <limits>

#include "dists/powr.h"
#include "funcs/mathpolicy.h"
#include "symbols/value.h"

namespace zav::dens {

constexpr Real kInf = std::numeric_limits<Real>::infinity();
constexpr Real kNaN = std::numeric_limits<Real>::quiet_NaN();
constexpr Real kPi = 3.141592653589793238462643383279502884L;
constexpr Real kPiLo = -5.016557612668332023557e-20L;  // pi - kPi
constexpr Real kTwoPi = 6.283185307179586476925286766559005768L;
constexpr Real kSqrt2 = 1.414213562373095048801688724209698079L;
constexpr Real kInvSqrt2Pi = 0.3989422804014326779399460599343818685L;
constexpr Real kLnSqrt2Pi = 0.9189385332046727417803297364056176398L;
constexpr Real kEuler = 0.5772156649015328606065120900824024310L;

// Boost reports a few failures of its internal iterations by exception
// whatever the policy says; such a value is simply not a number.
template <class F>
inline Real quiet(F f) {
  try {
    return f();
  } catch (const std::exception&) {
    return kNaN;
  }
}

// a*ln(x) with 0*ln(0) = 0, so that x^0 factors of a density stay 1 at the
// edge of the support.
inline Real xlogy(Real a, Real x) { return a == 0 ? 0 : a * std::log(x); }

// ln(1 + e^x) without overflow.
inline Real softplus(Real x) { return x > 0 ? x + std::log1p(std::exp(-x)) : std::log1p(std::exp(x)); }

// Standard normal density and tails. The tails come from erfc, so each is
// accurate where it is small.
inline Real normPdf(Real z) {
  const Real sq = z * z;
  if (!std::isfinite(sq)) return 0;
  const Real err = std::fma(z, z, -sq);  // what the rounding of z*z left out
  return kInvSqrt2Pi * std::exp(-sq / 2) * (1 - err / 2);
}
inline Real normUpper(Real z) {  // P(Z > z)
  if (std::isnan(z)) return z;
  return quiet([z] { return boost::math::erfc(z / kSqrt2, BoostQuiet()); }) / 2;
}
inline Real normLower(Real z) { return normUpper(-z); }  // P(Z <= z)
// P(z1 < Z <= z2), each term taken from the tail where it is small.
inline Real normInterval(Real z1, Real z2) {
  if (z1 >= 0) return normUpper(z1) - normUpper(z2);
  if (z2 <= 0) return normLower(z2) - normLower(z1);
  return 1 - normLower(z1) - normUpper(z2);
}
// ln P(Z > z), also far in the upper tail where the tail itself underflows.
inline Real lnNormUpper(Real z) {
  if (z < 30) return std::log(normUpper(z));
  // Mills ratio by its continued fraction: P(Z > z) = phi(z) / (z + 1/(z + 2/(z + ...))).
  Real cf = z;
  for (int k = 40; k >= 1; --k) cf = z + k / cf;
  return -z * z / 2 - kLnSqrt2Pi - std::log(cf);
}
// ln[P(Z > z)/phi(z)] for z >= 30, the Mills ratio by its continued fraction.
inline Real lnMillsRatio(Real z) {
  Real cf = z;
  for (int k = 40; k >= 1; --k) cf = z + k / cf;
  return -std::log(cf);
}
// The standard normal quantile of an upper-tail probability s: P(Z > z) = s.
inline Real normUpperInv(Real s) {
  if (s <= 0) return kInf;
  if (s >= 1) return -kInf;
  return quiet([s] { return kSqrt2 * boost::math::erfc_inv(2 * s, BoostQuiet()); });
}

// Regularised incomplete gamma P(a, x), its complement Q(a, x), and the
// density of P in x: x^(a-1) e^-x / Gamma(a).
inline Real gammaP(Real a, Real x) {
  if (x <= 0) return 0;
  if (x == kInf) return 1;
  return quiet([=] { return boost::math::gamma_p(a, x, BoostQuiet()); });
}
inline Real gammaQ(Real a, Real x) {
  if (x <= 0) return 1;
  if (x == kInf) return 0;
  return quiet([=] { return boost::math::gamma_q(a, x, BoostQuiet()); });
}
inline Real gammaPDeriv(Real a, Real x) {
  if (x < 0 || x == kInf) return 0;
  return quiet([=] { return boost::math::gamma_p_derivative(a, x, BoostQuiet()); });
}
inline Real gammaPInv(Real a, Real p) {
  if (p <= 0) return 0;
  if (p >= 1) return kInf;
  return quiet([=] { return boost::math::gamma_p_inv(a, p, BoostQuiet()); });
}
inline Real gammaQInv(Real a, Real q) {
  if (q >= 1) return 0;
  if (q <= 0) return kInf;
  return quiet([=] { return boost::math::gamma_q_inv(a, q, BoostQuiet()); });
}

// Regularised incomplete beta I_x(a, b), its complement, its density in x.
inline Real ibeta(Real a, Real b, Real x) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  return quiet([=] { return boost::math::ibeta(a, b, x, BoostQuiet()); });
}
inline Real ibetac(Real a, Real b, Real x) {
  if (x <= 0) return 1;
  if (x >= 1) return 0;
  return quiet([=] { return boost::math::ibetac(a, b, x, BoostQuiet()); });
}
inline Real ibetaDeriv(Real a, Real b, Real x) {
  if (x < 0 || x > 1) return 0;
  return quiet([=] { return boost::math::ibeta_derivative(a, b, x, BoostQuiet()); });
}
inline Real ibetaInv(Real a, Real b, Real p) {
  if (p <= 0) return 0;
  if (p >= 1) return 1;
  return quiet([=] { return boost::math::ibeta_inv(a, b, p, BoostQuiet()); });
}
inline Real betaFn(Real a, Real b) {
  return quiet([=] { return boost::math::beta(a, b, BoostQuiet()); });
}
inline Real lnGamma(Real x) {
  return quiet([=] { return boost::math::lgamma(x, BoostQuiet()); });
}

// Modified Bessel functions of integer order.
inline Real besselI(int n, Real x) {
  return quiet([=] { return boost::math::cyl_bessel_i(n, x, BoostQuiet()); });
}
inline Real besselK(int n, Real x) {
  return quiet([=] { return boost::math::cyl_bessel_k(n, x, BoostQuiet()); });
}

// The pieces of a hazard a e^(r t): the hazard itself and its integral
// from 0, a (e^(r t) - 1)/r (a t when r = 0). A zero coefficient gives 0
// however far the exponential has overflowed.
inline Real expHazard(Real a, Real r, Real t) { return a == 0 ? 0 : a * std::exp(r * t); }
inline Real expHazardIntegral(Real a, Real r, Real t) {
  if (a == 0) return 0;
  return r == 0 ? a * t : a * (std::expm1(r * t) / r);
}
// f = h exp(-H) of a law given by its hazard h and cumulative hazard H:
// where exp(-H) underflows the density is 0, even when h has overflowed.
inline Real hazardDensity(Real h, Real H) {
  const Real s = std::exp(-H);
  return s == 0 ? 0 : h * s;
}

// The integral of a smooth f over [x0, x1] by the 10-point Gauss-Legendre
// rule.
template <class F>
inline Real gaussLegendre10(F f, Real x0, Real x1) {
  static constexpr Real kX[5] = {0.1488743389816312108848260011297200L, 0.4333953941292471907992659431657842L,
                                 0.6794095682990244062343273651148736L, 0.8650633666889845107320966884234930L,
                                 0.9739065285171717200779640120844521L};
  static constexpr Real kW[5] = {0.2955242247147528701738929946513383L, 0.2692667193099963550912269215694694L,
                                 0.2190863625159820439955349342281632L, 0.1494513491505805931457763396576973L,
                                 0.0666713443086881375935688098933318L};
  const Real mid = (x0 + x1) / 2, half = (x1 - x0) / 2;
  Real sum = 0;
  for (int i = 0; i < 5; ++i) sum += kW[i] * (f(mid - half * kX[i]) + f(mid + half * kX[i]));
  return sum * half;
}

// e^x as the last step of a density computed through its logarithm: the
// one place where such a density under- or overflows.
inline Real expOf(Real lnValue) { return std::exp(lnValue); }

}  // namespace zav::dens
