// Lifetime laws on t >= 0 that are defined by their hazard h(t): with the
// cumulative hazard H(t), S(t) = exp(-H(t)) and f(t) = h(t) S(t). Before 0
// the density is 0 and the survival 1. Exponential growth terms go through
// expm1, so a vanishing growth rate gives the constant-hazard limit.
#include <algorithm>
#include <cmath>

#include "dists/densfamilies.h"
#include "dists/densmath.h"

namespace zav::dens {
// EXPONENTIAL with hazard a: f = a exp(-a t), S = exp(-a t).
Real exponentialF(const Real* p, Real t) {
  if (t < 0) return 0;
  return p[0] * std::exp(-p[0] * t);
}
Real exponentialS(const Real* p, Real t) {
  if (t < 0) return 1;
  return std::exp(-p[0] * t);
}

// WEIBULL with scale a and shape b: S = exp[-(t/a)^b], h = b t^(b-1) / a^b.
Real weibullF(const Real* p, Real t) {
  if (t < 0) return 0;
  const Real z = t / p[0], b = p[1];
  const Real zb = powr(z, b);
  if (zb == kInf) return 0;
  return expOf(std::log(b / p[0]) + xlogy(b - 1, z) - zb);
}
Real weibullS(const Real* p, Real t) {
  if (t < 0) return 1;
  return std::exp(-powr(t / p[0], p[1]));
}

// GOMPERTZ: h = a exp(b t), S = exp{(a/b) [1 - exp(b t)]}.
Real gompertzF(const Real* p, Real t) {
  if (t < 0 || p[0] == 0) return 0;
  return hazardDensity(std::exp(std::log(p[0]) + p[1] * t), expHazardIntegral(p[0], p[1], t));
}
Real gompertzS(const Real* p, Real t) {
  if (t < 0) return 1;
  return std::exp(-expHazardIntegral(p[0], p[1], t));
}

// MAKEHAM: h = a1 + a2 exp(b2 t), H = a1 t + (a2/b2) [exp(b2 t) - 1].
namespace {
Real makehamH(const Real* p, Real t) { return p[0] * t + expHazardIntegral(p[1], p[2], t); }
}  // namespace
Real makehamF(const Real* p, Real t) {
  if (t < 0) return 0;
  return hazardDensity(p[0] + expHazard(p[1], p[2], t), makehamH(p, t));
}
Real makehamS(const Real* p, Real t) {
  if (t < 0) return 1;
  return std::exp(-makehamH(p, t));
}

// SILER: h = a1 exp(-b1 t) + a2 + a3 exp(b3 t),
// H = (a1/b1) [1 - exp(-b1 t)] + a2 t + (a3/b3) [exp(b3 t) - 1].
namespace {
Real silerH(const Real* p, Real t) {
  return expHazardIntegral(p[0], -p[1], t) + p[2] * t + expHazardIntegral(p[3], p[4], t);
}
}  // namespace
Real silerF(const Real* p, Real t) {
  if (t < 0) return 0;
  const Real h = expHazard(p[0], -p[1], t) + p[2] + expHazard(p[3], p[4], t);
  if (!(h > 0)) return 0;  // a negative constant term can leave no law
  return hazardDensity(h, silerH(p, t));
}
Real silerS(const Real* p, Real t) {
  if (t < 0) return 1;
  return std::exp(-silerH(p, t));
}

// LINEARHAZARD: h = a + b t, S = exp(-a t - b t^2 / 2).
Real linearHazardF(const Real* p, Real t) {
  if (t < 0) return 0;
  return (p[0] + p[1] * t) * std::exp(-t * (p[0] + p[1] * t / 2));
}
Real linearHazardS(const Real* p, Real t) {
  if (t < 0) return 1;
  return std::exp(-t * (p[0] + p[1] * t / 2));
}

// MIXMAKEHAM: two groups in proportions p and 1 - p with constant hazards
// a1 and a2 share the senescent hazard g = a3 exp(b3 t):
// S = G(t) [p exp(-a1 t) + (1 - p) exp(-a2 t)], G = exp{-(a3/b3) [exp(b3 t) - 1]},
// f = G(t) [p (a1 + g) exp(-a1 t) + (1 - p) (a2 + g) exp(-a2 t)].
// Each group's term is formed as one exponential, so that a term whose
// exp(-a t) or G underflows is 0 rather than 0 times an overflowed hazard.
Real mixMakehamF(const Real* p, Real t) {
  if (t < 0) return 0;
  const Real g = expHazard(p[3], p[4], t);
  const Real H = expHazardIntegral(p[3], p[4], t);
  return p[0] * hazardDensity(p[1] + g, p[1] * t + H) + (1 - p[0]) * hazardDensity(p[2] + g, p[2] * t + H);
}
Real mixMakehamS(const Real* p, Real t) {
  if (t < 0) return 1;
  const Real H = expHazardIntegral(p[3], p[4], t);
  return p[0] * std::exp(-p[1] * t - H) + (1 - p[0]) * std::exp(-p[2] * t - H);
}

// HYPER2EXP (and FL2PT): a proportion p fails with hazard h1, the rest with
// h2: S = p exp(-h1 t) + (1 - p) exp(-h2 t), f = p h1 exp(-h1 t) + (1 - p) h2 exp(-h2 t).
Real hyper2ExpF(const Real* p, Real t) {
  if (t < 0) return 0;
  return p[0] * p[1] * std::exp(-p[1] * t) + (1 - p[0]) * p[2] * std::exp(-p[2] * t);
}
Real hyper2ExpS(const Real* p, Real t) {
  if (t < 0) return 1;
  return p[0] * std::exp(-p[1] * t) + (1 - p[0]) * std::exp(-p[2] * t);
}

// HYPO2EXP (two exponential stages in series, hazards a and b):
// f = a b [exp(-a t) - exp(-b t)]/(b - a), S = [b exp(-a t) - a exp(-b t)]/(b - a),
// the Erlang law (1 + a t) exp(-a t) when a = b. The law is symmetric in a
// and b; with m the smaller hazard and M the larger it is written
// f = m M exp(-m t) g, S = exp(-m t) (1 + m g), g = [1 - exp(-(M - m) t)]/(M - m),
// where nothing overflows.
namespace {
// g above, t when m = M.
inline Real stageGap(Real m, Real M, Real t) { return M == m ? t : -std::expm1(-(M - m) * t) / (M - m); }
}  // namespace
Real hypo2ExpF(const Real* p, Real t) {
  if (t < 0) return 0;
  const Real m = std::min(p[0], p[1]), M = std::max(p[0], p[1]);
  if (m == 0) return 0;  // the slower stage is never left
  return m * M * std::exp(-m * t) * stageGap(m, M, t);
}
Real hypo2ExpS(const Real* p, Real t) {
  if (t < 0) return 1;
  const Real m = std::min(p[0], p[1]), M = std::max(p[0], p[1]);
  const Real e = std::exp(-m * t);
  return e == 0 ? 0 : e * (1 + m * stageGap(m, M, t));
}

// GAMMAFRAIL (exponential hazard h with gamma frailty of variance c):
// S = (1 + c h t)^(-1/c), f = h (1 + c h t)^(-1/c - 1).
Real gammaFrailF(const Real* p, Real t) {
  if (t < 0) return 0;
  const Real c = p[1];
  return p[0] * expOf(-(1 / c + 1) * std::log1p(c * p[0] * t));
}
Real gammaFrailS(const Real* p, Real t) {
  if (t < 0) return 1;
  const Real c = p[1];
  return expOf(-std::log1p(c * p[0] * t) / c);
}

// RAYLEIGH with scale a: f = (t/a^2) exp(-t^2/(2 a^2)), S = exp(-t^2/(2 a^2)).
Real rayleighF(const Real* p, Real t) {
  if (t < 0) return 0;
  const Real u = t / p[0];
  return u / p[0] * std::exp(-u * u / 2);
}
Real rayleighS(const Real* p, Real t) {
  if (t < 0) return 1;
  const Real u = t / p[0];
  return std::exp(-u * u / 2);
}

// DANIELS (the limiting law of the scaled largest gap between an empirical
// and its true distribution function): S = 2 sum_k (-1)^(k-1) exp(-2 k^2 t^2),
// f = 8 t sum_k (-1)^(k-1) k^2 exp(-2 k^2 t^2). Below t = 1 those series
// converge slowly and the theta-function form is used:
// F = (sqrt(2 pi)/t) sum_k exp(-(2k-1)^2 pi^2 / (8 t^2)).
Real danielsF(const Real* p, Real t) {
  (void)p;
  if (t <= 0) return 0;
  Real sum = 0;
  if (t >= 1) {
    for (int k = 1; k <= 40; ++k) {
      const Real kk = static_cast<Real>(k) * k;
      const Real term = kk * std::exp(-2 * kk * t * t);
      sum += (k % 2 ? term : -term);
      if (term < 1e-24L * std::fabs(sum)) break;
    }
    return 8 * t * sum;
  }
  const Real c = kPi * kPi / (8 * t * t);
  for (int k = 1; k <= 40; ++k) {
    const Real m2 = static_cast<Real>(2 * k - 1) * (2 * k - 1);
    const Real term = std::exp(-m2 * c) * (2 * m2 * c - 1);
    sum += term;
    if (std::fabs(term) < 1e-24L * std::fabs(sum)) break;
  }
  return std::sqrt(kTwoPi) * sum / (t * t);
}
Real danielsS(const Real* p, Real t) {
  (void)p;
  if (t <= 0) return 1;
  Real sum = 0;
  if (t >= 1) {
    for (int k = 1; k <= 40; ++k) {
      const Real term = std::exp(-2 * static_cast<Real>(k) * k * t * t);
      sum += (k % 2 ? term : -term);
      if (term < 1e-24L * sum) break;
    }
    return 2 * sum;
  }
  const Real c = kPi * kPi / (8 * t * t);
  for (int k = 1; k <= 40; ++k) {
    const Real term = std::exp(-static_cast<Real>(2 * k - 1) * (2 * k - 1) * c);
    sum += term;
    if (term < 1e-24L * sum) break;
  }
  return 1 - std::sqrt(kTwoPi) * sum / t;
}

}  // namespace zav::dens
