// Log densities and log survivals for the likelihood: a log-likelihood sums
// ln f and ln S, so the common families give those directly instead of
// forming f or S and taking its logarithm. A law is prepared once for as many
// observations as share its parameters, so the constants that depend on the
// parameters only (ln a, ln gamma of a shape, the normalisers) are worked
// out once. Counts and the gamma law use their exact probability routines
// where their log-space formula would lose digits to cancellation, and that
// formula only where the probability underflows.
#include <cmath>

#include "dists/densfamilies.h"
#include "dists/densities.h"
#include "dists/densmath.h"
#include "dists/pdfcatalog.h"

namespace zav {
namespace {

using dens::kInf;
using dens::kLnSqrt2Pi;
using dens::softplus;
using dens::xlogy;

// Arguments below this keep the log-space formulas of the gamma law and the
// counts free of cancellation to the last digit or so.
constexpr Real kModerate = 64;

inline Real growth(Real r, Real t) { return r == 0 ? t : std::expm1(r * t) / r; }

inline Real lnNormPdf(Real z) { return std::isinf(z) ? -kInf : -z * z / 2 - kLnSqrt2Pi; }

inline Real lnOf(Real x) { return std::log(x); }

// ln of an exact probability, and the log-space formula where it underflows.
template <class F>
inline Real lnExact(Real f, F formula) {
  return f > 0 && f < kInf ? std::log(f) : (f == 0 ? formula() : std::log(f));
}

Real weibullLike(Real lnz, Real shape, Real lnNorm) {
  const Real zb = std::exp(shape * lnz);
  if (zb == kInf) return -kInf;
  return lnNorm + (shape == 1 ? 0 : (shape - 1) * lnz) - zb;
}

}  // namespace

void prepareLogLaw(int pdf, const Real* p, LogLaw& law) {
  law.pdf = pdf;
  law.discrete = pdfInfo(pdf)->discrete;
  for (int i = 0; i < kMaxPdfParams; ++i) law.p[i] = p[i];
  Real* c = law.c;
  const Real a = p[0], b = p[1];
  switch (static_cast<Pdf>(pdf)) {
    case Pdf::EXPONENTIAL: c[0] = lnOf(a); break;
    case Pdf::WEIBULL:
      c[0] = lnOf(a);
      c[1] = lnOf(b / a);
      break;
    case Pdf::SHIFTWEIBULL:
      c[0] = lnOf(b);
      c[1] = lnOf(p[2] / b);
      break;
    case Pdf::GOMPERTZ: c[0] = lnOf(a); break;
    case Pdf::GAMMA:
      c[0] = lnOf(a);
      c[1] = dens::lnGamma(b);
      break;
    case Pdf::GENGAMMA:
      c[0] = lnOf(b);
      c[1] = lnOf(p[2] / b) - dens::lnGamma(a);
      break;
    case Pdf::NORMAL:
    case Pdf::GAUSSIAN:
    case Pdf::LOGISTIC:
    case Pdf::SMALLEXTREME1: c[0] = lnOf(b); break;
    case Pdf::LNNORMAL:
      c[0] = lnOf(a);
      c[1] = lnOf(b);
      break;
    case Pdf::LOGNORMAL: {
      const Real cv = b / a;
      const Real s2 = std::log1p(cv * cv);
      c[1] = std::sqrt(s2);
      c[0] = lnOf(a) - s2 / 2;
      c[2] = lnOf(c[1]);
      break;
    }
    case Pdf::LNLOGISTIC:
      c[0] = lnOf(b);
      c[1] = lnOf(p[2]);
      break;
    case Pdf::POISSON: c[0] = lnOf(a); break;
    case Pdf::BINOMIAL:
      c[0] = dens::lnGamma(b + 1);
      c[1] = lnOf(a);
      c[2] = std::log1p(-a);
      break;
    case Pdf::NEGBINOMIAL:
      c[0] = dens::lnGamma(b);
      c[1] = lnOf(a);
      c[2] = std::log1p(-a);
      break;
    default: break;
  }
}

Real lawLnDensity(const LogLaw& law, Real t) {
  const Real* p = law.p;
  const Real* c = law.c;
  if (law.discrete) t = std::round(t);
  switch (static_cast<Pdf>(law.pdf)) {
    case Pdf::EXPONENTIAL: return t < 0 ? -kInf : c[0] - p[0] * t;
    case Pdf::WEIBULL: return t < 0 ? -kInf : weibullLike(std::log(t) - c[0], p[1], c[1]);
    case Pdf::SHIFTWEIBULL: return t < p[0] ? -kInf : weibullLike(std::log(t - p[0]) - c[0], p[2], c[1]);
    case Pdf::GOMPERTZ: return t < 0 ? -kInf : c[0] + p[1] * t - p[0] * growth(p[1], t);
    case Pdf::MAKEHAM:
      if (t < 0) return -kInf;
      return std::log(p[0] + p[1] * std::exp(p[2] * t)) - p[0] * t - p[1] * growth(p[2], t);
    case Pdf::SILER:
      if (t < 0) return -kInf;
      return std::log(p[0] * std::exp(-p[1] * t) + p[2] + p[3] * std::exp(p[4] * t)) -
             (p[0] * growth(-p[1], t) + p[2] * t + p[3] * growth(p[4], t));
    case Pdf::LINEARHAZARD:
      if (t < 0) return -kInf;
      return std::log(p[0] + p[1] * t) - t * (p[0] + p[1] * t / 2);
    case Pdf::GAMMA: {
      if (t < 0) return -kInf;
      const Real x = p[0] * t, shape = p[1];
      auto formula = [&] { return c[0] + xlogy(shape - 1, x) - x - c[1]; };
      if (x < kModerate && shape < kModerate) return formula();
      return c[0] + lnExact(dens::gammaPDeriv(shape, x), [&] { return formula() - c[0]; });
    }
    case Pdf::GENGAMMA: {
      if (t < 0) return -kInf;
      const Real lnz = std::log(t) - c[0];
      const Real y = std::exp(p[2] * lnz);
      if (y == kInf) return -kInf;
      const Real m = p[2] * p[0] - 1;
      return c[1] + (m == 0 ? 0 : m * lnz) - y;
    }
    case Pdf::NORMAL:
    case Pdf::GAUSSIAN: return lnNormPdf((t - p[0]) / p[1]) - c[0];
    case Pdf::LNNORMAL: {
      if (t <= 0) return -kInf;
      const Real lt = std::log(t);
      return lnNormPdf((lt - c[0]) / p[1]) - c[1] - lt;
    }
    case Pdf::LOGNORMAL: {
      if (t <= 0) return -kInf;
      const Real lt = std::log(t);
      return lnNormPdf((lt - c[0]) / c[1]) - c[2] - lt;
    }
    case Pdf::LOGISTIC: {
      const Real az = std::fabs((t - p[0]) / p[1]);
      return -az - c[0] - 2 * std::log1p(std::exp(-az));
    }
    case Pdf::LNLOGISTIC: {
      if (t < p[0]) return -kInf;
      const Real z = (t - p[0]) / p[1], shape = p[2];
      if (z == 0) return shape < 1 ? kInf : (shape == 1 ? -c[0] : -kInf);
      const Real lz = std::log(z);
      const Real w = shape * lz;
      return c[1] - c[0] - lz + w - 2 * softplus(w);
    }
    case Pdf::SMALLEXTREME1: {
      const Real z = (t - p[0]) / p[1];
      return z - std::exp(z) - c[0];
    }
    case Pdf::POISSON: {
      if (t < 0) return -kInf;
      auto formula = [&] { return (t == 0 ? 0 : t * c[0]) - p[0] - dens::lnGamma(t + 1); };
      if (t < kModerate && p[0] < kModerate) return formula();
      return lnExact(dens::poissonF(p, t), formula);
    }
    case Pdf::BINOMIAL: {
      const Real n = p[1];
      if (t < 0 || t > n) return -kInf;
      auto formula = [&] {
        return c[0] - dens::lnGamma(t + 1) - dens::lnGamma(n - t + 1) + (t == 0 ? 0 : t * c[1]) +
               (n - t == 0 ? 0 : (n - t) * c[2]);
      };
      if (n < kModerate) return formula();
      return lnExact(dens::binomialF(p, t), formula);
    }
    case Pdf::NEGBINOMIAL: {
      if (t < 0) return -kInf;
      const Real n = p[1];
      auto formula = [&] {
        return dens::lnGamma(n + t) - c[0] - dens::lnGamma(t + 1) + n * c[1] + (t == 0 ? 0 : t * c[2]);
      };
      if (n + t < kModerate) return formula();
      return lnExact(dens::negBinomialF(p, t), formula);
    }
    default: return std::log(pdfBaseDensity(law.pdf, t, p));
  }
}

Real lawLnSurvival(const LogLaw& law, Real t) {
  const Real* p = law.p;
  const Real* c = law.c;
  if (law.discrete) t = std::round(t);
  switch (static_cast<Pdf>(law.pdf)) {
    case Pdf::EXPONENTIAL: return t < 0 ? 0 : -p[0] * t;
    case Pdf::WEIBULL: return t < 0 ? 0 : -std::exp(p[1] * (std::log(t) - c[0]));
    case Pdf::SHIFTWEIBULL: return t < p[0] ? 0 : -std::exp(p[2] * (std::log(t - p[0]) - c[0]));
    case Pdf::GOMPERTZ: return t < 0 ? 0 : -p[0] * growth(p[1], t);
    case Pdf::MAKEHAM: return t < 0 ? 0 : -p[0] * t - p[1] * growth(p[2], t);
    case Pdf::SILER: return t < 0 ? 0 : -(p[0] * growth(-p[1], t) + p[2] * t + p[3] * growth(p[4], t));
    case Pdf::LINEARHAZARD: return t < 0 ? 0 : -t * (p[0] + p[1] * t / 2);
    case Pdf::GENGAMMA:
      return t < 0 ? 0 : std::log(dens::gammaQ(p[0], std::exp(p[2] * (std::log(t) - c[0]))));
    case Pdf::NORMAL:
    case Pdf::GAUSSIAN: return dens::lnNormUpper((t - p[0]) / p[1]);
    case Pdf::LNNORMAL: return t <= 0 ? 0 : dens::lnNormUpper((std::log(t) - c[0]) / p[1]);
    case Pdf::LOGNORMAL: return t <= 0 ? 0 : dens::lnNormUpper((std::log(t) - c[0]) / c[1]);
    case Pdf::LOGISTIC: return -softplus((t - p[0]) / p[1]);
    case Pdf::LNLOGISTIC: return t <= p[0] ? 0 : -softplus(p[2] * std::log((t - p[0]) / p[1]));
    case Pdf::SMALLEXTREME1: return -std::exp((t - p[0]) / p[1]);
    default: return std::log(pdfBaseSurvival(law.pdf, t, p));
  }
}

}  // namespace zav
