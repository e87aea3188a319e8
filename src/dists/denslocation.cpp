// Location-scale laws on the whole line, and the laws on a bounded interval
// or a circle that are written in z = (t - a)/b. Each density is followed by
// its survival; each evaluates its tails where they are small, so neither
// loses precision far out.
#include <algorithm>
#include <cmath>

#include "dists/densfamilies.h"
#include "dists/densmath.h"

namespace zav::dens {
namespace {

inline Real zOf(const Real* p, Real t) { return (t - p[0]) / p[1]; }

}  // namespace

// NORMAL, GAUSSIAN: f = phi(z)/b, S = 1 - Phi(z).
Real normalF(const Real* p, Real t) { return normPdf(zOf(p, t)) / p[1]; }
Real normalS(const Real* p, Real t) { return normUpper(zOf(p, t)); }

// LOGISTIC: S = 1/(1 + e^z), f = e^-|z| / (b (1 + e^-|z|)^2).
Real logisticF(const Real* p, Real t) {
  const Real e = std::exp(-std::fabs(zOf(p, t)));
  return e / (p[1] * (1 + e) * (1 + e));
}
Real logisticS(const Real* p, Real t) {
  const Real z = zOf(p, t);
  return z > 0 ? std::exp(-z) / (1 + std::exp(-z)) : 1 / (1 + std::exp(z));
}

// CAUCHY: f = 1/(pi b (1 + z^2)), S = 1/2 - atan(z)/pi.
Real cauchyF(const Real* p, Real t) {
  const Real z = zOf(p, t);
  return 1 / (kPi * p[1] * (1 + z * z));
}
Real cauchyS(const Real* p, Real t) {
  const Real z = zOf(p, t);
  // atan(1/z)/pi for z > 0 keeps the far upper tail exact.
  return z > 0 ? std::atan(1 / z) / kPi : 0.5L - std::atan(z) / kPi;
}

// LAPLACE: f = e^-|z| / (2b); S = e^-z / 2 for z >= 0, 1 - e^z / 2 below.
Real laplaceF(const Real* p, Real t) { return std::exp(-std::fabs(zOf(p, t))) / (2 * p[1]); }
Real laplaceS(const Real* p, Real t) {
  const Real z = zOf(p, t);
  return z >= 0 ? std::exp(-z) / 2 : 1 - std::exp(z) / 2;
}

// GUMBEL, LARGEEXTREME1 (largest extreme value): F = exp(-e^-z),
// f = exp(-z - e^-z)/b.
Real largeExtreme1F(const Real* p, Real t) {
  const Real z = zOf(p, t);
  return expOf(-z - std::exp(-z)) / p[1];
}
Real largeExtreme1S(const Real* p, Real t) { return -std::expm1(-std::exp(-zOf(p, t))); }

// SMALLEXTREME1 (smallest extreme value): S = exp(-e^z), f = exp(z - e^z)/b.
Real smallExtreme1F(const Real* p, Real t) {
  const Real z = zOf(p, t);
  return expOf(z - std::exp(z)) / p[1];
}
Real smallExtreme1S(const Real* p, Real t) { return std::exp(-std::exp(zOf(p, t))); }

// HYPERBOLICSECANT: f = sech(pi z/2)/(2b), S = (2/pi) atan(exp(-pi z/2)).
Real hyperbolicSecantF(const Real* p, Real t) {
  const Real u = kPi * zOf(p, t) / 2;
  return 1 / (2 * p[1] * std::cosh(u));
}
Real hyperbolicSecantS(const Real* p, Real t) { return 2 / kPi * std::atan(std::exp(-kPi * zOf(p, t) / 2)); }

// SUBBOTIN (exponential power, shape c; c = 2 is the normal law):
// f = exp(-|z|^c / c) / (2 b c^(1/c) gamma(1 + 1/c)); |z|^c / c is
// gamma(1/c) distributed, so S = igammac(1/c, z^c/c)/2 for z >= 0.
Real subbotinF(const Real* p, Real t) {
  const Real c = p[2];
  const Real w = powr(std::fabs(zOf(p, t)), c) / c;
  return expOf(-w - std::log(2 * p[1]) - std::log(c) / c - lnGamma(1 + 1 / c));
}
Real subbotinS(const Real* p, Real t) {
  const Real c = p[2];
  const Real z = zOf(p, t);
  const Real half = gammaQ(1 / c, powr(std::fabs(z), c) / c) / 2;
  return z >= 0 ? half : 1 - half;
}

// STUDENTT with a degrees of freedom:
// f = (1 + t^2/a)^(-(a+1)/2) / (sqrt(a) BetaF(a/2, 1/2)),
// S = ibeta(a/(a + t^2), a/2, 1/2)/2 for t >= 0.
Real studentTF(const Real* p, Real t) {
  const Real a = p[0];
  return expOf(-(a + 1) / 2 * std::log1p(t * t / a)) / (std::sqrt(a) * betaFn(a / 2, 0.5L));
}
Real studentTS(const Real* p, Real t) {
  const Real a = p[0];
  const Real t2 = t * t;
  // The smaller of x and 1 - x goes to the beta routine.
  const Real half = t2 < a ? ibetac(0.5L, a / 2, t2 / (a + t2)) / 2 : ibeta(a / 2, 0.5L, a / (a + t2)) / 2;
  return t >= 0 ? half : 1 - half;
}

// ASYMPTOTICRANGE (limiting range of a large sample): with x = 2 e^(-z/2),
// f = (2/b) e^-z K0(x) = x^2 K0(x) / (2b) and S = 1 - x K1(x).
Real asymptoticRangeF(const Real* p, Real t) {
  const Real x = 2 * std::exp(-zOf(p, t) / 2);
  if (x == 0 || x == kInf) return 0;
  return x * x * besselK(0, x) / (2 * p[1]);
}
Real asymptoticRangeS(const Real* p, Real t) {
  const Real x = 2 * std::exp(-zOf(p, t) / 2);
  if (x == 0) return 0;
  if (x == kInf) return 1;
  if (x >= 2) return 1 - x * besselK(1, x);
  // 1 - x K1(x) cancels for small x; its series is
  // (x^2/4) sum_k (x^2/4)^k / (k! (k+1)!) [psi(k+1) + psi(k+2) - 2 ln(x/2)].
  const Real y = x * x / 4;
  const Real lnHalf = std::log(x / 2);
  Real psi1 = -kEuler;  // psi(k + 1)
  Real term = 1;        // y^k / (k! (k+1)!)
  Real sum = 0;
  for (int k = 0; k < 60; ++k) {
    const Real psi2 = psi1 + 1 / static_cast<Real>(k + 1);  // psi(k + 2)
    const Real add = term * (psi1 + psi2 - 2 * lnHalf);
    sum += add;
    if (std::fabs(add) <= 1e-22L * std::fabs(sum)) break;
    psi1 = psi2;
    term *= y / (static_cast<Real>(k + 1) * static_cast<Real>(k + 2));
  }
  return y * sum;
}

// FOLDEDNORMAL (|X| with X normal of mean a and deviation b), t >= 0:
// f = [phi((t-a)/b) + phi((t+a)/b)]/b, S = [1 - Phi((t-a)/b)] + [1 - Phi((t+a)/b)].
Real foldedNormalF(const Real* p, Real t) {
  if (t < 0) return 0;
  return (normPdf((t - p[0]) / p[1]) + normPdf((t + p[0]) / p[1])) / p[1];
}
Real foldedNormalS(const Real* p, Real t) {
  if (t < 0) return 1;
  return normUpper((t - p[0]) / p[1]) + normUpper((t + p[0]) / p[1]);
}

// COMPOUNDEXTREME (extreme values with a gamma-mixed scale, shape c):
// S = (1 + e^z)^-c, f = (c/b) e^z (1 + e^z)^(-c-1).
Real compoundExtremeF(const Real* p, Real t) {
  const Real z = zOf(p, t);
  return expOf(std::log(p[2] / p[1]) + z - (p[2] + 1) * softplus(z));
}
Real compoundExtremeS(const Real* p, Real t) { return expOf(-p[2] * softplus(zOf(p, t))); }

// GENGUMBEL (generalised Gumbel, shape c; c = 1 is GUMBEL): with y = c e^-z,
// f = c^c exp(-c (z + e^-z)) / (b gamma(c)) and S = igamma(c, y).
Real genGumbelF(const Real* p, Real t) {
  const Real y = p[2] * std::exp(-zOf(p, t));
  if (y == 0 || y == kInf) return 0;  // both tails, past where they underflow
  return y * gammaPDeriv(p[2], y) / p[1];
}
Real genGumbelS(const Real* p, Real t) { return gammaP(p[2], p[2] * std::exp(-zOf(p, t))); }

// RAISEDCOSINE on a - pi b <= t <= a + pi b: f = (1 + cos z)/(2 pi b),
// S = (pi - z - sin z)/(2 pi). Both are written in the distance y = pi - |z|
// to the nearer end, f = sin^2(y/2)/(pi b) and the tail (y - sin y)/(2 pi),
// which has a series where the difference would cancel; pi enters with its
// low part, since y near an end is smaller than pi's rounding error allows.
namespace {
inline Real raisedCosineEnd(Real z) { return (kPi - std::fabs(z)) + kPiLo; }
// (y - sin y)/(2 pi).
Real raisedCosineTail(Real y) {
  if (y > 0.5L) return (y - std::sin(y)) / kTwoPi;
  // y^3/3! - y^5/5! + ...
  const Real y2 = y * y;
  Real term = y * y2 / 6, sum = 0;
  for (int k = 4; term != 0 && std::fabs(term) > 1e-22L * std::fabs(sum); k += 2) {
    sum += term;
    term *= -y2 / (static_cast<Real>(k) * (k + 1));
  }
  return sum / kTwoPi;
}
}  // namespace
Real raisedCosineF(const Real* p, Real t) {
  const Real z = zOf(p, t);
  if (!(std::fabs(z) <= kPi)) return 0;
  const Real s = std::sin(raisedCosineEnd(z) / 2);
  return s * s / (kPi * p[1]);
}
Real raisedCosineS(const Real* p, Real t) {
  const Real z = zOf(p, t);
  if (z <= -kPi) return 1;
  if (z >= kPi) return 0;
  const Real tail = raisedCosineTail(raisedCosineEnd(z));
  return z >= 0 ? tail : 1 - tail;
}

// HORSESHOE on a - b <= t <= a + b, a U-shaped law of shape c (c = 0 is
// uniform): f = (c + 1) |z|^c / (2b), S = (1 - sgn(z) |z|^(c+1)) / 2.
Real horseshoeF(const Real* p, Real t) {
  const Real z = zOf(p, t);
  if (!(std::fabs(z) <= 1)) return 0;
  return (p[2] + 1) * expOf(xlogy(p[2], std::fabs(z))) / (2 * p[1]);
}
Real horseshoeS(const Real* p, Real t) {
  const Real z = zOf(p, t);
  if (z <= -1) return 1;
  if (z >= 1) return 0;
  const Real v = powr(std::fabs(z), p[2] + 1);
  return (1 - (z < 0 ? -v : v)) / 2;
}

namespace {

// e^-b I0(b): the normalising constant of VONMISES without its overflow.
Real besselI0Scaled(Real b) {
  if (b < 700) return besselI(0, b) * std::exp(-b);
  // I0(b) e^-b ~ (2 pi b)^-1/2 sum_k ((2k-1)!!)^2 / (k! (8b)^k).
  Real term = 1, sum = 1;
  for (int k = 1; k < 30; ++k) {
    const Real odd = static_cast<Real>(2 * k - 1);
    term *= odd * odd / (static_cast<Real>(k) * 8 * b);
    sum += term;
    if (term < 1e-22L * sum) break;
  }
  return sum / std::sqrt(kTwoPi * b);
}

}  // namespace

// VONMISES on 0 <= t <= 2 pi, mean direction a and concentration b:
// f = exp(b cos(t - a)) / (2 pi I0(b)); the distribution function from 0 is
// [t + 2 sum_k I_k(b)/I0(b) (sin(k(t - a)) + sin(k a))/k] / (2 pi).
Real vonMisesF(const Real* p, Real t) {
  if (t < 0 || t > kTwoPi) return 0;
  const Real b = p[1];
  return expOf(b * (std::cos(t - p[0]) - 1)) / (kTwoPi * besselI0Scaled(b));
}
Real vonMisesS(const Real* p, Real t) {
  if (t <= 0) return 1;
  if (t >= kTwoPi) return 0;
  const Real a = p[0], b = p[1];
  if (!(b > 0)) return b == 0 ? 1 - t / kTwoPi : kNaN;  // b = 0 is the uniform law
  // sum_k (I_k/I_0) g_k = r_1 (g_1 + r_2 (g_2 + r_3 (g_3 + ...))) with the
  // ratios r_k = I_k/I_(k-1) = 1/(2k/b + r_(k+1)) from the same backward
  // recurrence; the terms fall like exp(-k^2/(2b)), so 10 sqrt(b) of them
  // suffice.
  const int last = static_cast<int>(std::min<Real>(40 + 10 * std::sqrt(b), 1e6L));
  Real r = 0, sum = 0;
  for (int k = last; k >= 1; --k) {
    const Real kr = static_cast<Real>(k);
    r = 1 / (2 * kr / b + r);
    sum = r * ((std::sin(kr * (t - a)) + std::sin(kr * a)) / kr + sum);
  }
  const Real cdf = (t + 2 * sum) / kTwoPi;
  if (cdf < 0.75L) return 1 - cdf;
  // A small upper tail: 1 - cdf would cancel, so f is integrated over
  // [t, 2 pi] instead, by Gauss-Legendre panels halved where the rule and
  // its halves disagree. The integrand exp(-2b sin^2((x - a)/2)) is smooth.
  const Real norm = kTwoPi * besselI0Scaled(b);
  auto f = [&](Real x) {
    const Real h = std::sin((x - a) / 2);
    return std::exp(-2 * b * h * h);
  };
  constexpr int kPanels = 16;
  const Real width = (kTwoPi - t) / kPanels;
  Real guess = 0;
  for (int i = 0; i < kPanels; ++i) guess += gaussLegendre10(f, t + i * width, t + (i + 1) * width);
  if (guess == 0) return 0;
  const Real tol = 1e-21L * guess;
  // Depth-first over a fixed stack of panels: nothing is allocated.
  struct Panel {
    Real x0, x1, whole;
  };
  Panel stack[64];
  int top = 0;
  Real total = 0;
  for (int i = kPanels - 1; i >= 0; --i) {
    const Real x0 = t + i * width, x1 = i == kPanels - 1 ? kTwoPi : t + (i + 1) * width;
    stack[top++] = {x0, x1, gaussLegendre10(f, x0, x1)};
    while (top > 0) {
      const Panel pn = stack[--top];
      const Real mid = (pn.x0 + pn.x1) / 2;
      const Real left = gaussLegendre10(f, pn.x0, mid), right = gaussLegendre10(f, mid, pn.x1);
      if (std::fabs(left + right - pn.whole) <= tol || top + 2 > 64 || pn.x1 - pn.x0 < 1e-12L) {
        total += left + right;
      } else {
        stack[top++] = {mid, pn.x1, right};
        stack[top++] = {pn.x0, mid, left};
      }
    }
  }
  return total / norm;
}

}  // namespace zav::dens
