// Log densities and log survivals of a prepared law, inline: the likelihood
// takes them once per observation, and a call would pass its long doubles
// through memory. Counts and the gamma law use their exact probability
// routines where their log-space formula would lose digits to cancellation,
// and that formula only where the probability underflows.
#pragma once
#include <cmath>

#include "dists/densfamilies.h"
#include "dists/densities.h"
#include "dists/densmath.h"
#include "dists/pdfcatalog.h"
#include "funcs/fastexp.h"
#include "funcs/fastnorm.h"

namespace zav {
namespace lnlaw {

using dens::kInf;
using dens::kLnSqrt2Pi;
using dens::xlogy;

// Arguments below this keep the log-space formulas of the gamma law and the
// counts free of cancellation to the last digit or so.
constexpr Real kModerate = 64;

// ln(1 + e^x) without overflow.
inline Real softplus(Real x) { return x > 0 ? x + fastLog1p(fastExp(-x)) : fastLog1p(fastExp(x)); }

inline Real growth(Real r, Real t) { return r == 0 ? t : std::expm1(r * t) / r; }

// ln(h exp(-H)) = ln h - H, -oo where H is +oo (h may have overflowed
// too) or the hazard is not positive.
inline Real lnHazardDensity(Real lnh, Real H) { return H == kInf || std::isnan(lnh) ? -kInf : lnh - H; }

// ln P(Z > z), without the C library or Boost below |z| = 30.
inline Real lnNormUpper(Real z) { return fastLnNormUpper(z); }

inline Real lnNormPdf(Real z) { return std::isinf(z) ? -kInf : -z * z / 2 - kLnSqrt2Pi; }

// ln of an exact probability, and the log-space formula where it underflows.
template <class F>
inline Real lnExact(Real f, F formula) {
  return f > 0 && f < kInf ? fastLog(f) : (f == 0 ? formula() : fastLog(f));
}

inline Real weibullLike(Real lnz, Real shape, Real lnNorm) {
  const Real zb = fastExp(shape * lnz);
  if (zb == kInf) return -kInf;
  return lnNorm + (shape == 1 ? 0 : (shape - 1) * lnz) - zb;
}

}  // namespace lnlaw

// ln t as the log routines take it: computed, or read from the caller's
// cache of the observations' log times (the same value either way).
struct LnOfTime {
  Real operator()(Real t) const { return fastLog(t); }
};
struct LnTimeGiven {
  Real lt;
  Real operator()(Real) const { return lt; }
};

// Whether the law's log routines and scores start from ln t, so that a
// cache of the log times serves them.
inline bool lawReadsLnTime(const LogLaw& law) {
  switch (static_cast<Pdf>(law.pdf)) {
    case Pdf::WEIBULL: case Pdf::GENGAMMA: case Pdf::LNNORMAL: case Pdf::LOGNORMAL: return true;
    case Pdf::LNLOGISTIC: return law.p[0] == 0;
    default: return false;
  }
}

// ln f(t) and ln S(t) of the prepared base law (k = 1). The PDFs without log
// routines of their own take the logarithm of their density and survival.
template <class Ln = LnOfTime>
[[gnu::always_inline]] inline Real lawLnDensity(const LogLaw& law, Real t, Ln ln = {}) {
  const Real* p = law.p;
  const Real* c = law.c;
  if (law.discrete) t = std::round(t);
  switch (static_cast<Pdf>(law.pdf)) {
    case Pdf::EXPONENTIAL: return t < 0 || !(p[0] > 0) ? -dens::kInf : c[0] - p[0] * t;
    case Pdf::WEIBULL:
      if (p[0] == 0) return t == 0 ? dens::kInf : -dens::kInf;  // all mass at 0
      return t < 0 ? -dens::kInf : lnlaw::weibullLike(ln(t) - c[0], p[1], c[1]);
    case Pdf::SHIFTWEIBULL:
      if (p[1] == 0) return t == p[0] ? dens::kInf : -dens::kInf;
      return t < p[0] ? -dens::kInf : lnlaw::weibullLike(fastLog(t - p[0]) - c[0], p[2], c[1]);
    case Pdf::GOMPERTZ:
      if (t < 0 || p[0] == 0) return -dens::kInf;
      return lnlaw::lnHazardDensity(c[0] + p[1] * t, dens::expHazardIntegral(p[0], p[1], t));
    case Pdf::MAKEHAM:
      if (t < 0) return -dens::kInf;
      return lnlaw::lnHazardDensity(fastLog(p[0] + dens::expHazard(p[1], p[2], t)),
                                    p[0] * t + dens::expHazardIntegral(p[1], p[2], t));
    case Pdf::SILER:
      if (t < 0) return -dens::kInf;
      return lnlaw::lnHazardDensity(
          fastLog(dens::expHazard(p[0], -p[1], t) + p[2] + dens::expHazard(p[3], p[4], t)),
          dens::expHazardIntegral(p[0], -p[1], t) + p[2] * t + dens::expHazardIntegral(p[3], p[4], t));
    case Pdf::LINEARHAZARD:
      if (t < 0) return -dens::kInf;
      return fastLog(p[0] + p[1] * t) - t * (p[0] + p[1] * t / 2);
    case Pdf::GAMMA: {
      if (t < 0) return -dens::kInf;
      const Real x = p[0] * t, shape = p[1];
      auto formula = [&] { return c[0] + dens::xlogy(shape - 1, x) - x - c[1]; };
      if (x < lnlaw::kModerate && shape < lnlaw::kModerate) return formula();
      return c[0] + lnlaw::lnExact(dens::gammaPDeriv(shape, x), [&] { return formula() - c[0]; });
    }
    case Pdf::GENGAMMA: {
      if (t < 0) return -dens::kInf;
      const Real lnz = ln(t) - c[0];
      const Real y = fastExp(p[2] * lnz);
      if (y == dens::kInf) return -dens::kInf;
      const Real m = p[2] * p[0] - 1;
      return c[1] + (m == 0 ? 0 : m * lnz) - y;
    }
    case Pdf::NORMAL:
    case Pdf::GAUSSIAN: return lnlaw::lnNormPdf((t - p[0]) / p[1]) - c[0];
    case Pdf::LNNORMAL: {
      if (t <= 0) return -dens::kInf;
      const Real lt = ln(t);
      return lnlaw::lnNormPdf((lt - c[0]) / p[1]) - c[1] - lt;
    }
    case Pdf::LOGNORMAL: {
      if (t <= 0) return -dens::kInf;
      const Real lt = ln(t);
      return lnlaw::lnNormPdf((lt - c[0]) / c[1]) - c[2] - lt;
    }
    case Pdf::LOGISTIC: {
      const Real az = std::fabs((t - p[0]) / p[1]);
      return -az - c[0] - 2 * fastLog1p(fastExp(-az));
    }
    case Pdf::LNLOGISTIC: {
      if (t < p[0]) return -dens::kInf;
      const Real z = (t - p[0]) / p[1], shape = p[2];
      if (z == 0) return shape < 1 ? dens::kInf : (shape == 1 ? -c[0] : -dens::kInf);
      // Unshifted, ln z starts from ln t like the other laws' on [0, oo).
      const Real lz = p[0] == 0 ? ln(t) - c[0] : fastLog(z);
      const Real w = shape * lz;
      return c[1] - c[0] - lz + w - 2 * lnlaw::softplus(w);
    }
    case Pdf::SMALLEXTREME1: {
      const Real z = (t - p[0]) / p[1];
      return z - fastExp(z) - c[0];
    }
    case Pdf::POISSON: {
      if (t < 0) return -dens::kInf;
      auto formula = [&] { return (t == 0 ? 0 : t * c[0]) - p[0] - dens::lnGamma(t + 1); };
      if (t < lnlaw::kModerate && p[0] < lnlaw::kModerate) return formula();
      return lnlaw::lnExact(dens::poissonF(p, t), formula);
    }
    case Pdf::BINOMIAL: {
      const Real n = p[1];
      if (t < 0 || t > n) return -dens::kInf;
      auto formula = [&] {
        return c[0] - dens::lnGamma(t + 1) - dens::lnGamma(n - t + 1) + (t == 0 ? 0 : t * c[1]) +
               (n - t == 0 ? 0 : (n - t) * c[2]);
      };
      if (n < lnlaw::kModerate) return formula();
      return lnlaw::lnExact(dens::binomialF(p, t), formula);
    }
    case Pdf::NEGBINOMIAL: {
      if (t < 0) return -dens::kInf;
      const Real n = p[1];
      auto formula = [&] {
        return dens::lnGamma(n + t) - c[0] - dens::lnGamma(t + 1) + n * c[1] + (t == 0 ? 0 : t * c[2]);
      };
      if (p[0] == 0) return -dens::kInf;  // no success ever
      if (n + t < lnlaw::kModerate) return formula();
      return lnlaw::lnExact(dens::negBinomialF(p, t), formula);
    }
    default: return fastLog(pdfBaseDensity(law.pdf, t, p));
  }
}

template <class Ln = LnOfTime>
[[gnu::always_inline]] inline Real lawLnSurvival(const LogLaw& law, Real t, Ln ln = {}) {
  const Real* p = law.p;
  const Real* c = law.c;
  if (law.discrete) t = std::round(t);
  switch (static_cast<Pdf>(law.pdf)) {
    case Pdf::EXPONENTIAL: return t < 0 ? 0 : (p[0] < 0 ? -dens::kInf : -p[0] * t);
    case Pdf::WEIBULL:
      if (p[0] == 0) return t < 0 ? 0 : -dens::kInf;
      return t < 0 ? 0 : -fastExp(p[1] * (ln(t) - c[0]));
    case Pdf::SHIFTWEIBULL:
      if (p[1] == 0) return t < p[0] ? 0 : -dens::kInf;
      return t < p[0] ? 0 : -fastExp(p[2] * (fastLog(t - p[0]) - c[0]));
    case Pdf::GOMPERTZ: return t < 0 ? 0 : -dens::expHazardIntegral(p[0], p[1], t);
    case Pdf::MAKEHAM: return t < 0 ? 0 : -p[0] * t - dens::expHazardIntegral(p[1], p[2], t);
    case Pdf::SILER:
      return t < 0 ? 0
                   : -(dens::expHazardIntegral(p[0], -p[1], t) + p[2] * t + dens::expHazardIntegral(p[3], p[4], t));
    case Pdf::LINEARHAZARD: return t < 0 ? 0 : -t * (p[0] + p[1] * t / 2);
    case Pdf::GENGAMMA:
      return t < 0 ? 0 : fastLog(dens::gammaQ(p[0], fastExp(p[2] * (ln(t) - c[0]))));
    case Pdf::NORMAL:
    case Pdf::GAUSSIAN: return lnlaw::lnNormUpper((t - p[0]) / p[1]);
    case Pdf::LNNORMAL: return t <= 0 ? 0 : lnlaw::lnNormUpper((ln(t) - c[0]) / p[1]);
    case Pdf::LOGNORMAL: return t <= 0 ? 0 : lnlaw::lnNormUpper((ln(t) - c[0]) / c[1]);
    case Pdf::LOGISTIC: return -lnlaw::softplus((t - p[0]) / p[1]);
    case Pdf::LNLOGISTIC:
      return t <= p[0] ? 0 : -lnlaw::softplus(p[2] * (p[0] == 0 ? ln(t) - c[0] : fastLog((t - p[0]) / p[1])));
    case Pdf::SMALLEXTREME1: return -fastExp((t - p[0]) / p[1]);
    default: return fastLog(pdfBaseSurvival(law.pdf, t, p));
  }
}

// Both at once, sharing what the two have in common (the hazard multiplier
// needs ln S beside ln f).
template <class Ln = LnOfTime>
[[gnu::always_inline]] inline void lawLnBoth(const LogLaw& law, Real t, Real& lnF, Real& lnS, Ln ln = {}) {
  const Real* p = law.p;
  const Real* c = law.c;
  switch (static_cast<Pdf>(law.pdf)) {
    case Pdf::WEIBULL:
    case Pdf::SHIFTWEIBULL: {
      const bool shifted = law.pdf == static_cast<int>(Pdf::SHIFTWEIBULL);
      const Real from = shifted ? p[0] : 0, shape = shifted ? p[2] : p[1];
      if (t < from) {
        lnF = -dens::kInf;
        lnS = 0;
        return;
      }
      const Real lnz = (shifted ? fastLog(t - from) : ln(t)) - c[0];
      const Real zb = fastExp(shape * lnz);
      lnS = -zb;
      lnF = zb == dens::kInf ? -dens::kInf : c[1] + (shape == 1 ? 0 : (shape - 1) * lnz) - zb;
      return;
    }
    case Pdf::SMALLEXTREME1: {
      const Real z = (t - p[0]) / p[1];
      const Real ez = fastExp(z);
      lnS = -ez;
      lnF = z - ez - c[0];
      return;
    }
    default:
      lnF = lawLnDensity(law, t, ln);
      lnS = lawLnSurvival(law, t, ln);
  }
}

// ln S(t) and, for the normal laws, the hazard phi(z)/Q(z) of the
// standardised time z that their scores need, both from one evaluation of the
// tail. For the other laws `hazard` is -1: their scores take what they need
// from ln S.
template <class Ln = LnOfTime>
inline Real lawLnSurvivalHazard(const LogLaw& law, Real t, Real& hazard, Ln ln = {}) {
  const Real* p = law.p;
  const Real* c = law.c;
  Real z;
  switch (law.discrete ? Pdf{} : static_cast<Pdf>(law.pdf)) {
    case Pdf::NORMAL:
    case Pdf::GAUSSIAN: z = (t - p[0]) / p[1]; break;
    case Pdf::LNNORMAL:
    case Pdf::LOGNORMAL:
      if (t <= 0) {
        hazard = 0;
        return 0;
      }
      z = (ln(t) - c[0]) / (law.pdf == static_cast<int>(Pdf::LNNORMAL) ? p[1] : c[1]);
      break;
    default: hazard = -1; return lawLnSurvival(law, t, ln);
  }
  Real lnS;
  fastNormTail(z, lnS, hazard);
  return lnS;
}

}  // namespace zav
