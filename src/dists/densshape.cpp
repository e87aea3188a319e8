// The other continuous laws: gamma and beta relatives, transformed normals,
// power laws, shifted laws (support t >= a) and bounded shapes. Densities
// that are products of powers are formed as the exponential of their
// logarithm (expOf), so their overflow and underflow happen in one place.
#include <cmath>

#include "dists/densfamilies.h"
#include "dists/densmath.h"

namespace zav::dens {

// ---------------------------------------------------------------- gammas

// GAMMA with hazard (rate) h and shape c: f = h (h t)^(c-1) exp(-h t) / gamma(c),
// S = igammac(c, h t).
Real gammaF(const Real* p, Real t) {
  if (t < 0) return 0;
  return p[0] * gammaPDeriv(p[1], p[0] * t);
}
Real gammaS(const Real* p, Real t) { return gammaQ(p[1], p[0] * t); }

// GENGAMMA (shape a, scale b, power c): with y = (t/b)^c,
// f = c y^a exp(-y) / (t gamma(a)), S = igammac(a, y).
Real genGammaF(const Real* p, Real t) {
  if (t < 0) return 0;
  const Real a = p[0], b = p[1], c = p[2];
  const Real y = powr(t / b, c);
  if (y == kInf) return 0;
  return expOf(std::log(c / b) + xlogy(c * a - 1, t / b) - y - lnGamma(a));
}
Real genGammaS(const Real* p, Real t) {
  if (t < 0) return 1;
  return gammaQ(p[0], powr(t / p[1], p[2]));
}

// LNGAMMA: ln(t/a) is gamma distributed with scale b and shape c, t >= a:
// f = y^(c-1) exp(-y/b) / (b^c gamma(c) t), S = igammac(c, y/b), y = ln(t/a).
Real lnGammaF(const Real* p, Real t) {
  if (t < p[0]) return 0;
  return gammaPDeriv(p[2], std::log(t / p[0]) / p[1]) / (p[1] * t);
}
Real lnGammaS(const Real* p, Real t) {
  if (t < p[0]) return 1;
  return gammaQ(p[2], std::log(t / p[0]) / p[1]);
}

// SHIFTGAMMA: f = z^(c-1) exp(-z) / (b gamma(c)), S = igammac(c, z), z = (t-a)/b.
Real shiftGammaF(const Real* p, Real t) {
  if (t < p[0]) return 0;
  return gammaPDeriv(p[2], (t - p[0]) / p[1]) / p[1];
}
Real shiftGammaS(const Real* p, Real t) {
  if (t < p[0]) return 1;
  return gammaQ(p[2], (t - p[0]) / p[1]);
}

// CHI with c degrees of freedom, z = (t-a)/b:
// f = z^(c-1) exp(-z^2/2) / (2^(c/2-1) gamma(c/2) b), S = igammac(c/2, z^2/2).
Real chiF(const Real* p, Real t) {
  if (t < p[0]) return 0;
  const Real z = (t - p[0]) / p[1], c = p[2];
  if (z == 0) {  // the origin: +oo for c < 1, the half-normal's sqrt(2/pi)/b for c = 1
    if (c == 1) return 2 * kInvSqrt2Pi / p[1];
    return c < 1 ? kInf : 0;
  }
  if (z == kInf) return 0;
  return z * gammaPDeriv(c / 2, z * z / 2) / p[1];
}
Real chiS(const Real* p, Real t) {
  if (t < p[0]) return 1;
  const Real z = (t - p[0]) / p[1];
  return gammaQ(p[2] / 2, z * z / 2);
}

// CHISQUARED with a degrees of freedom and scale b, z = t/b:
// f = z^(a/2-1) exp(-z/2) / (2^(a/2) gamma(a/2) b), S = igammac(a/2, z/2).
Real chiSquaredF(const Real* p, Real t) {
  if (t < 0) return 0;
  return gammaPDeriv(p[0] / 2, t / (2 * p[1])) / (2 * p[1]);
}
Real chiSquaredS(const Real* p, Real t) { return gammaQ(p[0] / 2, t / (2 * p[1])); }

// MAXWELL, z = (t-a)/b >= 0: f = sqrt(2/pi) z^2 exp(-z^2/2) / b,
// S = igammac(3/2, z^2/2).
Real maxwellF(const Real* p, Real t) {
  const Real z = (t - p[0]) / p[1];
  if (!(z >= 0)) return 0;
  return z * gammaPDeriv(1.5L, z * z / 2) / p[1];
}
Real maxwellS(const Real* p, Real t) {
  const Real z = (t - p[0]) / p[1];
  if (!(z >= 0)) return 1;
  return gammaQ(1.5L, z * z / 2);
}

// INVGAMMA (b/T is gamma with shape a): f = b^a t^(-a-1) exp(-b/t) / gamma(a),
// S = igamma(a, b/t).
Real invGammaF(const Real* p, Real t) {
  if (t <= 0) return 0;
  const Real y = p[1] / t;
  return y * gammaPDeriv(p[0], y) / t;
}
Real invGammaS(const Real* p, Real t) {
  if (t <= 0) return 1;
  return gammaP(p[0], p[1] / t);
}

// INVCHI (b/T is chi-square with a degrees of freedom), u = b/(2t):
// f = u^(a/2) exp(-u) / (t gamma(a/2)), S = igamma(a/2, u).
Real invChiF(const Real* p, Real t) {
  if (t <= 0) return 0;
  const Real u = p[1] / (2 * t);
  return u * gammaPDeriv(p[0] / 2, u) / t;
}
Real invChiS(const Real* p, Real t) {
  if (t <= 0) return 1;
  return gammaP(p[0] / 2, p[1] / (2 * t));
}

// ------------------------------------------------------------------ betas

// BETA on 0 <= t <= 1: f = t^(a-1) (1-t)^(b-1) / BetaF(a, b), S = 1 - ibeta(t, a, b).
Real betaF(const Real* p, Real t) {
  if (t < 0 || t > 1) return 0;
  return ibetaDeriv(p[0], p[1], t);
}
Real betaS(const Real* p, Real t) { return ibetac(p[0], p[1], t); }

// ARCSINE on 0 <= t <= 1: f = 1/(pi sqrt(t (1-t))), S = (2/pi) acos(sqrt(t)).
Real arcsineF(const Real* p, Real t) {
  (void)p;
  if (t < 0 || t > 1) return 0;
  return 1 / (kPi * std::sqrt(t * (1 - t)));
}
Real arcsineS(const Real* p, Real t) {
  (void)p;
  if (t <= 0) return 1;
  if (t >= 1) return 0;
  return 2 / kPi * std::acos(std::sqrt(t));
}

// F with a and b degrees of freedom: x = a t/(a t + b) is beta(a/2, b/2), so
// f = a b ibeta'(x) / (a t + b)^2 and S = ibeta(b/(b + a t), b/2, a/2).
Real fDistF(const Real* p, Real t) {
  if (t < 0) return 0;
  const Real a = p[0], b = p[1];
  const Real d = a * t + b;
  return ibetaDeriv(a / 2, b / 2, a * t / d) * a * b / (d * d);
}
Real fDistS(const Real* p, Real t) {
  if (t <= 0) return 1;
  const Real a = p[0], b = p[1];
  return ibeta(b / 2, a / 2, b / (b + a * t));
}

// INVBETA1 (inverted beta, z = t/b): f = z^(a-1) (1+z)^(-a-c) / (b BetaF(a, c)),
// S = ibeta(1/(1+z), c, a).
Real invBeta1F(const Real* p, Real t) {
  if (t < 0) return 0;
  const Real z = t / p[1];
  if (z == kInf) return 0;
  const Real x = z / (1 + z);
  return ibetaDeriv(p[0], p[2], x) / (p[1] * (1 + z) * (1 + z));
}
Real invBeta1S(const Real* p, Real t) {
  if (t <= 0) return 1;
  return ibeta(p[2], p[0], 1 / (1 + t / p[1]));
}

// INVBETA2 (inverted beta of the second kind, shape a, scale b, power c):
// F = (1 + z^-c)^-a, f = (a c / b) z^(-c-1) (1 + z^-c)^(-a-1), z = t/b.
Real invBeta2F(const Real* p, Real t) {
  if (t <= 0) return 0;
  const Real a = p[0], c = p[2];
  const Real z = t / p[1];
  const Real lnz = std::log(z);
  return expOf(std::log(a * c / p[1]) - (c + 1) * lnz - (a + 1) * softplus(-c * lnz));
}
Real invBeta2S(const Real* p, Real t) {
  if (t <= 0) return 1;
  return -std::expm1(-p[0] * softplus(-p[2] * std::log(t / p[1])));
}

// ----------------------------------------------------------- power laws

// PARETO with minimum a and index b, t >= a: S = (a/t)^b, f = (b/t) (a/t)^b.
Real paretoF(const Real* p, Real t) {
  if (t < p[0]) return 0;
  return p[1] / t * powr(p[0] / t, p[1]);
}
Real paretoS(const Real* p, Real t) {
  if (t <= p[0]) return 1;
  return powr(p[0] / t, p[1]);
}

// LOWMAX (Pareto of the second kind from a + b): S = (b/(t-a))^c,
// f = (c/(t-a)) (b/(t-a))^c for t >= a + b.
Real lowmaxF(const Real* p, Real t) {
  if (t < p[0] + p[1]) return 0;
  const Real d = t - p[0];
  return p[2] / d * powr(p[1] / d, p[2]);
}
Real lowmaxS(const Real* p, Real t) {
  if (t <= p[0] + p[1]) return 1;
  return powr(p[1] / (t - p[0]), p[2]);
}

// LNLOGISTIC (log-logistic from a), z = (t-a)/b: S = 1/(1 + z^c),
// f = (c/b) z^(c-1) / (1 + z^c)^2.
Real lnLogisticF(const Real* p, Real t) {
  if (t < p[0]) return 0;
  const Real z = (t - p[0]) / p[1], c = p[2];
  if (z == 0) return c < 1 ? kInf : (c == 1 ? 1 / p[1] : 0);
  const Real w = c * std::log(z);
  return expOf(std::log(c / (p[1] * z)) + w - 2 * softplus(w));
}
Real lnLogisticS(const Real* p, Real t) {
  if (t <= p[0]) return 1;
  return expOf(-softplus(p[2] * std::log((t - p[0]) / p[1])));
}

// POWERFUNCTION on a <= t <= a + b: F = z^c, f = c z^(c-1) / b.
Real powerFunctionF(const Real* p, Real t) {
  const Real z = (t - p[0]) / p[1];
  if (!(z >= 0 && z <= 1)) return 0;
  return p[2] * expOf(xlogy(p[2] - 1, z)) / p[1];
}
Real powerFunctionS(const Real* p, Real t) {
  const Real z = (t - p[0]) / p[1];
  if (!(z > 0)) return 1;
  if (z >= 1) return 0;
  return -std::expm1(p[2] * std::log(z));
}

// REVPOWERFUNCTION on a <= t <= a + b: S = (1 - z)^c, f = c (1 - z)^(c-1) / b.
Real revPowerFunctionF(const Real* p, Real t) {
  const Real z = (t - p[0]) / p[1];
  if (!(z >= 0 && z <= 1)) return 0;
  return p[2] * expOf(xlogy(p[2] - 1, 1 - z)) / p[1];
}
Real revPowerFunctionS(const Real* p, Real t) {
  const Real z = (t - p[0]) / p[1];
  if (!(z > 0)) return 1;
  if (z >= 1) return 0;
  return powr(1 - z, p[2]);
}

// UNIFORM, RECTANGULAR on [a, w] (bounds from the truncation times):
// f = 1/(w - a), S = (w - t)/(w - a).
Real uniformF(const Real* p, Real t) {
  if (t < p[0] || t > p[1]) return 0;
  return 1 / (p[1] - p[0]);
}
Real uniformS(const Real* p, Real t) {
  if (t <= p[0]) return 1;
  if (t >= p[1]) return 0;
  return (p[1] - t) / (p[1] - p[0]);
}

// ------------------------------------------------- transformed normals

// LNNORMAL (median a, ln T has deviation b), z = ln(t/a)/b:
// f = phi(z)/(b t), S = 1 - Phi(z).
Real lnNormalF(const Real* p, Real t) {
  if (t <= 0) return 0;
  return normPdf(std::log(t / p[0]) / p[1]) / (p[1] * t);
}
Real lnNormalS(const Real* p, Real t) {
  if (t <= 0) return 1;
  return normUpper(std::log(t / p[0]) / p[1]);
}

// LOGNORMAL with mean a and standard deviation b of T itself:
// s^2 = ln(1 + b^2/a^2), m = ln a - s^2/2, z = (ln t - m)/s;
// f = phi(z)/(s t), S = 1 - Phi(z).
namespace {
inline void logNormalMoments(const Real* p, Real& m, Real& s) {
  const Real cv = p[1] / p[0];
  const Real s2 = std::log1p(cv * cv);
  s = std::sqrt(s2);
  m = std::log(p[0]) - s2 / 2;
}
}  // namespace
Real logNormalF(const Real* p, Real t) {
  if (t <= 0) return 0;
  Real m, s;
  logNormalMoments(p, m, s);
  return normPdf((std::log(t) - m) / s) / (s * t);
}
Real logNormalS(const Real* p, Real t) {
  if (t <= 0) return 1;
  Real m, s;
  logNormalMoments(p, m, s);
  return normUpper((std::log(t) - m) / s);
}

// SHIFTLOGNORMAL, z = ln((t-a)/b)/c: f = phi(z)/(c (t-a)), S = 1 - Phi(z).
Real shiftLogNormalF(const Real* p, Real t) {
  if (t <= p[0]) return 0;
  return normPdf(std::log((t - p[0]) / p[1]) / p[2]) / (p[2] * (t - p[0]));
}
Real shiftLogNormalS(const Real* p, Real t) {
  if (t <= p[0]) return 1;
  return normUpper(std::log((t - p[0]) / p[1]) / p[2]);
}

// INVGAUSSIAN with mean a and shape b (T > 0):
// f = sqrt(b/(2 pi t^3)) exp(-b (t-a)^2 / (2 a^2 t)),
// S = Phi(-r (t/a - 1)) - exp(2b/a) Phi(-r (t/a + 1)), r = sqrt(b/t).
Real invGaussianF(const Real* p, Real t) {
  if (t <= 0) return 0;
  const Real a = p[0], b = p[1];
  const Real d = t - a;
  return std::sqrt(b / (kTwoPi * t * t * t)) * std::exp(-b * d * d / (2 * a * a * t));
}
Real invGaussianS(const Real* p, Real t) {
  if (t <= 0) return 1;
  const Real a = p[0], b = p[1];
  const Real r = std::sqrt(b / t);
  const Real x1 = r * (t / a - 1), x2 = r * (t / a + 1);
  // exp(2b/a) P(Z > x2): far out as phi(x1) over the Mills-ratio fraction of
  // x2, since 2b/a - x2^2/2 = -x1^2/2 exactly and the two large terms would
  // cancel; x2 >= 2 sqrt(b/a) keeps exp(2b/a) finite below 30.
  const Real second = x2 < 30 ? std::exp(2 * b / a) * normUpper(x2)
                              : expOf(-x1 * x1 / 2 - kLnSqrt2Pi + lnMillsRatio(x2));
  return normUpper(x1) - second;
}

// RANDOMWALK (the reciprocal of an inverse Gaussian of mean a and shape b):
// f = sqrt(b/(2 pi t)) exp(-b (1 - a t)^2 / (2 a^2 t)),
// S = Phi(r (1/(a t) - 1)) + exp(2b/a) Phi(-r (1/(a t) + 1)), r = sqrt(b t).
Real randomWalkF(const Real* p, Real t) {
  if (t <= 0) return 0;
  const Real a = p[0], b = p[1];
  const Real d = 1 - a * t;
  return std::sqrt(b / (kTwoPi * t)) * std::exp(-b * d * d / (2 * a * a * t));
}
Real randomWalkS(const Real* p, Real t) {
  if (t <= 0) return 1;
  const Real a = p[0], b = p[1];
  const Real r = std::sqrt(b * t);
  const Real x = 1 / (a * t);
  return normLower(r * (x - 1)) + expOf(2 * b / a + lnNormUpper(r * (x + 1)));
}

// BIRNBAUMSAUNDERS (shape a, scale b), x = [sqrt(t/b) - sqrt(b/t)]/a:
// f = phi(x) [sqrt(t/b) + sqrt(b/t)] / (2 a t), S = 1 - Phi(x).
Real birnbaumSaundersF(const Real* p, Real t) {
  if (t <= 0) return 0;
  const Real u = std::sqrt(t / p[1]), v = std::sqrt(p[1] / t);
  return normPdf((u - v) / p[0]) * (u + v) / (2 * p[0] * t);
}
Real birnbaumSaundersS(const Real* p, Real t) {
  if (t <= 0) return 1;
  return normUpper((std::sqrt(t / p[1]) - std::sqrt(p[1] / t)) / p[0]);
}

// ALPHA: F = Phi(a - b/t)/Phi(a), f = b phi(a - b/t) / (t^2 Phi(a)).
// S = P(a - d < Z <= a)/Phi(a), d = b/t. Where the window is narrow
// (d <= 1, a d <= 2) its probability is phi(a) d times the integral over
// [0, 1] of exp(a d v - d^2 v^2 / 2), a smooth integrand that Gauss-Legendre
// takes to full precision, instead of a difference of two close values.
Real alphaF(const Real* p, Real t) {
  if (t <= 0) return 0;
  return p[1] * normPdf(p[0] - p[1] / t) / (t * t * normLower(p[0]));
}
Real alphaS(const Real* p, Real t) {
  if (t <= 0) return 1;
  const Real a = p[0], d = p[1] / t;
  if (!(d <= 1 && a * d <= 2)) return normInterval(a - d, a) / normLower(a);
  const Real sum = gaussLegendre10([&](Real v) { return std::exp(a * d * v - d * d * v * v / 2); }, 0, 1);
  return normPdf(a) * d * sum / normLower(a);
}

// --------------------------------------------------------- shifted laws

// SHIFTEXPONENTIAL from a with mean b beyond it: S = exp(-z), f = exp(-z)/b.
Real shiftExponentialF(const Real* p, Real t) {
  if (t < p[0]) return 0;
  return std::exp(-(t - p[0]) / p[1]) / p[1];
}
Real shiftExponentialS(const Real* p, Real t) {
  if (t < p[0]) return 1;
  return std::exp(-(t - p[0]) / p[1]);
}

// SHIFTWEIBULL from a: S = exp(-z^c), f = (c/b) z^(c-1) exp(-z^c).
Real shiftWeibullF(const Real* p, Real t) {
  if (t < p[0]) return 0;
  const Real z = (t - p[0]) / p[1], c = p[2];
  const Real zc = powr(z, c);
  if (zc == kInf) return 0;
  return expOf(std::log(c / p[1]) + xlogy(c - 1, z) - zc);
}
Real shiftWeibullS(const Real* p, Real t) {
  if (t < p[0]) return 1;
  return std::exp(-powr((t - p[0]) / p[1], p[2]));
}

// LARGEEXTREME2 (largest extreme value of the second kind), t > a:
// F = exp(-z^-c), f = (c/b) z^(-c-1) exp(-z^-c).
Real largeExtreme2F(const Real* p, Real t) {
  if (t <= p[0]) return 0;
  const Real z = (t - p[0]) / p[1], c = p[2];
  const Real w = powr(z, -c);
  if (w == kInf) return 0;
  return expOf(std::log(c / p[1]) - (c + 1) * std::log(z) - w);
}
Real largeExtreme2S(const Real* p, Real t) {
  if (t <= p[0]) return 1;
  return -std::expm1(-powr((t - p[0]) / p[1], -p[2]));
}

// SMALLEXTREME2 (smallest extreme value of the second kind), t < a, with
// w = (a - t)/b: S = exp(-w^-c), f = (c/b) w^(-c-1) exp(-w^-c).
Real smallExtreme2F(const Real* p, Real t) {
  if (t >= p[0]) return 0;
  const Real w = (p[0] - t) / p[1], c = p[2];
  const Real v = powr(w, -c);
  if (v == kInf) return 0;
  return expOf(std::log(c / p[1]) - (c + 1) * std::log(w) - v);
}
Real smallExtreme2S(const Real* p, Real t) {
  if (t >= p[0]) return 0;
  return std::exp(-powr((p[0] - t) / p[1], -p[2]));
}

// RINGINGEXP0 and RINGINGEXP180: an exponential from a whose density rings
// with frequency c, in phase (+) or in opposition (-):
// f = exp(-z) [1 +- cos(c z)] / (b N), N = 1 +- 1/(1 + c^2),
// S = exp(-z) [1 +- (cos(c z) - c sin(c z))/(1 + c^2)] / N.
// In opposition both vanish as c^2 at small c; with u = sin(c z/2)/c and
// v = cos(c z/2) they are f = 2 u^2 exp(-z) (1 + c^2)/b and
// S = exp(-z) [2 (u + v/2)^2 + 1 - v^2/2], sums of terms that do not cancel.
namespace {
Real ringingF(const Real* p, Real t, Real sign) {
  if (t < p[0]) return 0;
  const Real z = (t - p[0]) / p[1], c = p[2];
  if (z == kInf) return 0;
  if (sign < 0) {
    const Real u = c == 0 ? z / 2 : std::sin(c * z / 2) / c;
    return 2 * u * u * std::exp(-z) * (1 + c * c) / p[1];
  }
  const Real norm = 1 + sign / (1 + c * c);
  return std::exp(-z) * (1 + sign * std::cos(c * z)) / (p[1] * norm);
}
Real ringingS(const Real* p, Real t, Real sign) {
  if (t < p[0]) return 1;
  const Real z = (t - p[0]) / p[1], c = p[2];
  if (z == kInf) return 0;
  if (sign < 0) {
    const Real u = c == 0 ? z / 2 : std::sin(c * z / 2) / c, v = std::cos(c * z / 2);
    const Real w = u + v / 2;
    return std::exp(-z) * (2 * w * w + 1 - v * v / 2);
  }
  const Real cc = 1 + c * c;
  const Real norm = 1 + sign / cc;
  return std::exp(-z) * (1 + sign * (std::cos(c * z) - c * std::sin(c * z)) / cc) / norm;
}
}  // namespace
Real ringingExp0F(const Real* p, Real t) { return ringingF(p, t, 1); }
Real ringingExp0S(const Real* p, Real t) { return ringingS(p, t, 1); }
Real ringingExp180F(const Real* p, Real t) { return ringingF(p, t, -1); }
Real ringingExp180S(const Real* p, Real t) { return ringingS(p, t, -1); }

// DISK: the distance beyond a between two points taken at random in a disk
// of radius 2b, so a <= t <= a + 4b; with u = (t - a)/(4b) = cos(theta),
// f = (4u/(pi b)) [acos(u) - u sqrt(1 - u^2)] = (4u/(pi b)) (2 theta - sin 2 theta)/2,
// S = (2/pi) [u (1 + 2u^2) sqrt(1 - u^2) - (4u^2 - 1) acos(u)]
//   = (2/pi) [sin 2 theta + sin 4 theta / 4 - theta - 2 theta cos 2 theta].
// Near the upper end theta is small and the terms cancel to theta^5; there
// their series is summed, S = (2/pi) sum_{n>=2} (-1)^n 4^n (4^n - 4n) theta^(2n+1)/(2n+1)!.
// theta comes from the distance to the end, 1 - u = 2 sin^2(theta/2).
namespace {
inline Real diskTheta(const Real* p, Real t) {
  const Real w = (4 * p[1] - (t - p[0])) / (4 * p[1]);  // 1 - u
  return 2 * std::asin(std::sqrt(w / 2));
}
}  // namespace
Real diskF(const Real* p, Real t) {
  const Real u = (t - p[0]) / (4 * p[1]);
  if (!(u >= 0 && u <= 1)) return 0;
  const Real th = diskTheta(p, t);
  Real half;  // (2 theta - sin 2 theta)/2
  if (th > 0.5L) {
    half = th - std::sin(2 * th) / 2;
  } else {  // sum_{n>=1} (-1)^(n+1) (2 theta)^(2n+1) / (2 (2n+1)!)
    const Real x = 2 * th, x2 = x * x;
    Real term = x * x2 / 12;
    half = 0;
    for (int k = 4; term != 0 && std::fabs(term) > 1e-22L * std::fabs(half); k += 2) {
      half += term;
      term *= -x2 / (static_cast<Real>(k) * (k + 1));
    }
  }
  return 4 * u / (kPi * p[1]) * half;
}
Real diskS(const Real* p, Real t) {
  const Real u = (t - p[0]) / (4 * p[1]);
  if (!(u > 0)) return 1;
  if (u >= 1) return 0;
  const Real th = diskTheta(p, t);
  if (th > 0.5L)
    return 2 / kPi * (std::sin(2 * th) + std::sin(4 * th) / 4 - th - 2 * th * std::cos(2 * th));
  // Term n: (-1)^n 4^n (4^n - 4n) theta^(2n+1) / (2n+1)!, from n = 2.
  const Real th2 = th * th;
  Real pw = 16 * th2 * th2 * th / 120;  // 4^n theta^(2n+1)/(2n+1)! at n = 2
  Real four = 16, sum = 0;              // 4^n
  for (int n = 2; n < 60; ++n) {
    const Real term = (n % 2 ? -pw : pw) * (four - 4 * n);
    sum += term;
    if (std::fabs(term) <= 1e-22L * std::fabs(sum)) break;
    pw *= 4 * th2 / (static_cast<Real>(2 * n + 2) * (2 * n + 3));
    four *= 4;
  }
  return 2 / kPi * sum;
}

}  // namespace zav::dens
