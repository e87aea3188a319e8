// The scores of a prepared law: the derivatives of ln f(t) and ln S(t) with
// respect to each intrinsic parameter, inline beside the log routines they
// differentiate, for the quasi-Newton method's gradient. The gamma laws'
// survival in their shape, and the binomial laws' in their count, have no
// closed derivative; they are differenced per observation, which still costs
// far less than differencing the whole likelihood.
#pragma once
#include <algorithm>
#include <boost/math/special_functions/digamma.hpp>
#include <cmath>

#include "dists/densities.h"
#include "dists/densmath.h"
#include "dists/pdfcatalog.h"
#include "funcs/fastexp.h"
#include "dists/lnlaw.h"

namespace zav {

inline bool lawHasScore(int pdf) {
  switch (static_cast<Pdf>(pdf)) {
    case Pdf::EXPONENTIAL: case Pdf::WEIBULL: case Pdf::SHIFTWEIBULL: case Pdf::GOMPERTZ: case Pdf::MAKEHAM:
    case Pdf::LINEARHAZARD: case Pdf::NORMAL: case Pdf::GAUSSIAN: case Pdf::LNNORMAL: case Pdf::LOGNORMAL:
    case Pdf::LOGISTIC: case Pdf::LNLOGISTIC: case Pdf::SMALLEXTREME1: case Pdf::GAMMA: case Pdf::GENGAMMA:
    case Pdf::POISSON: case Pdf::BINOMIAL: case Pdf::NEGBINOMIAL:
      return true;
    default: return false;
  }
}

// Whether the scores of an exact time with k = 1 read ln S: only the
// Weibull laws' do (through (t/a)^b = -ln S); for the others ln S is
// costly (the normal and gamma tails) and not wanted.
inline bool densityScoreReadsSurvival(int pdf) {
  return pdf == static_cast<int>(Pdf::WEIBULL) || pdf == static_cast<int>(Pdf::SHIFTWEIBULL);
}

namespace lnscore {

// d/db of (e^(bt) - 1)/b, the integrated growth; t^2/2 at b = 0.
inline Real growthSlope(Real b, Real t) {
  if (b == 0) return t * t / 2;
  return (t * fastExp(b * t) - lnlaw::growth(b, t)) / b;
}

// 1/(1 + e^-x) without overflow.
inline Real sigmoid(Real x) {
  if (x >= 0) return 1 / (1 + fastExp(-x));
  const Real e = fastExp(x);
  return e / (1 + e);
}

// The logistic law's scores at z = (t - a)/b with sg = sigma(z):
// d ln f/dz = 1 - 2 sigma(z), d ln S/dz = -sigma(z).
inline void logisticScores(const Real* p, Real z, Real sg, Real* dF, Real* dS) {
  const Real ib = 1 / p[1];
  dF[0] = -(1 - 2 * sg) * ib;
  dF[1] = -ib - z * (1 - 2 * sg) * ib;
  dS[0] = sg * ib;
  dS[1] = sg * z * ib;
}

// The log-logistic law's at ln z, z = (t - a)/b, with sg = sigma(w),
// w = c ln z: ln S = -softplus(w), ln f = ln c - ln b - ln z + w - 2 softplus(w).
inline void lnLogisticScores(const Real* p, Real t, Real lz, Real sg, Real* dF, Real* dS) {
  const Real c = p[2], fw = 1 - 2 * sg, iu = 1 / (t - p[0]), ib = 1 / p[1];
  dS[0] = sg * c * iu;
  dS[1] = sg * c * ib;
  dS[2] = -sg * lz;
  dF[0] = (1 - fw * c) * iu;
  dF[1] = -fw * c * ib;
  dF[2] = 1 / c + fw * lz;
}

// phi(z)/Q(z), the normal hazard, from ln Q(z).
inline Real normalHazard(Real z, Real lnQ) { return fastExp(lnlaw::lnNormPdf(z) - lnQ); }

inline Real digamma(Real x) {
  return dens::quiet([=] { return boost::math::digamma(x, BoostQuiet()); });
}

// d ln Q(a, x) / da by central differences in a (steps of 1e-6 a: both the
// truncation and the rounding stay near 1e-12), and d ln Q / dx exactly.
inline Real lnQShapeSlope(Real a, Real x) {
  const Real h = 1e-6L * a;
  return (fastLog(dens::gammaQ(a + h, x)) - fastLog(dens::gammaQ(a - h, x))) / (2 * h);
}
inline Real lnQSlope(Real a, Real x, Real lnGammaA, Real lnQ) {
  return -fastExp((a - 1) * fastLog(x) - x - lnGammaA - lnQ);
}

// d ln S(t) / d p_j of a prepared law by central differences in p_j (steps
// of 1e-6 p_j, as for the gamma shape).
inline Real lnSurvivalSlope(const LogLaw& law, Real t, int j) {
  Real q[kMaxPdfParams];
  std::copy(law.p, law.p + kMaxPdfParams, q);
  const Real h = 1e-6L * q[j];
  LogLaw up, down;
  q[j] = law.p[j] + h;
  prepareLogLaw(law.pdf, q, up);
  q[j] = law.p[j] - h;
  prepareLogLaw(law.pdf, q, down);
  return (lawLnSurvival(up, t) - lawLnSurvival(down, t)) / (2 * h);
}

}  // namespace lnscore

// dF[j] = d ln f(t) / d p_j and dS[j] = d ln S(t) / d p_j at a t inside the
// law's support, where ln S(t) = lnS is finite. Without `survival` only dF
// is wanted, and dS may be left unset. `hazard`, when not negative, is the
// normal laws' phi(z)/Q(z) as lawLnSurvivalHazard gave it beside ln S;
// otherwise they take it from ln S, at the cost of an exponential.
template <class Ln = LnOfTime>
inline void lawScores(const LogLaw& law, Real t, Real lnS, Real* dF, Real* dS, bool survival = true, Ln ln = {},
                      Real hazard = -1) {
  const Real* p = law.p;
  if (law.discrete) t = std::round(t);  // as the log routines take a count
  switch (static_cast<Pdf>(law.pdf)) {
    case Pdf::GAMMA: {
      // x = h t; ln f = ln h + (c - 1) ln x - x - ln gamma(c), S = Q(c, x).
      const Real h = p[0], c = p[1], x = h * t;
      dF[0] = c / h - t;
      dF[1] = fastLog(x) - lnscore::digamma(c);
      if (survival) {
        dS[0] = t * lnscore::lnQSlope(c, x, law.c[1], lnS);
        dS[1] = lnscore::lnQShapeSlope(c, x);
      }
      return;
    }
    case Pdf::GENGAMMA: {
      // y = (t/b)^c; ln f = ln(c/b) - ln gamma(a) + (c a - 1) ln(t/b) - y,
      // S = Q(a, y).
      const Real a = p[0], b = p[1], c = p[2], lnz = ln(t) - law.c[0], y = fastExp(c * lnz);
      dF[0] = c * lnz - lnscore::digamma(a);
      dF[1] = c * (y - a) / b;
      dF[2] = 1 / c + lnz * (a - y);
      if (survival) {
        const Real dy = lnscore::lnQSlope(a, y, fastLog(c / b) - law.c[1], lnS);
        dS[0] = lnscore::lnQShapeSlope(a, y);
        dS[1] = -dy * c * y / b;
        dS[2] = dy * y * lnz;
      }
      return;
    }
    case Pdf::POISSON: {
      // S = P(t + 1, a), whose slope in a is f itself.
      dF[0] = t / p[0] - 1;
      if (survival) dS[0] = fastExp(lawLnDensity(law, t) - lnS);
      return;
    }
    case Pdf::BINOMIAL: {
      // S = I_p(t + 1, n - t), whose slope in p is f (n - t)/(1 - p).
      const Real q = p[0], n = p[1];
      dF[0] = t / q - (n - t) / (1 - q);
      dF[1] = lnscore::digamma(n + 1) - lnscore::digamma(n - t + 1) + law.c[2];
      if (survival) {
        dS[0] = fastExp(lawLnDensity(law, t) - lnS) * (n - t) / (1 - q);
        dS[1] = lnscore::lnSurvivalSlope(law, t, 1);
      }
      return;
    }
    case Pdf::NEGBINOMIAL: {
      // S = 1 - I_p(n, t + 1), whose slope in p is -f (n + t)/p.
      const Real q = p[0], n = p[1];
      dF[0] = n / q - t / (1 - q);
      dF[1] = lnscore::digamma(n + t) - lnscore::digamma(n) + law.c[1];
      if (survival) {
        dS[0] = -fastExp(lawLnDensity(law, t) - lnS) * (n + t) / q;
        dS[1] = lnscore::lnSurvivalSlope(law, t, 1);
      }
      return;
    }
    case Pdf::EXPONENTIAL:
      dS[0] = -t;
      dF[0] = 1 / p[0] - t;
      return;
    case Pdf::WEIBULL:
    case Pdf::SHIFTWEIBULL: {
      // ln S = -(u/a)^b, ln f = ln(b/a) + (b - 1) ln(u/a) - (u/a)^b, u = t - shift.
      const bool shifted = law.pdf == static_cast<int>(Pdf::SHIFTWEIBULL);
      const int o = shifted ? 1 : 0;
      const Real u = shifted ? t - p[0] : t, a = p[o], b = p[o + 1];
      const Real lnz = (shifted ? fastLog(u) : ln(t)) - law.c[0], zb = -lnS;
      dS[o] = b * zb / a;
      dS[o + 1] = -zb * lnz;
      dF[o] = b * (zb - 1) / a;
      dF[o + 1] = 1 / b + lnz * (1 - zb);
      if (shifted) {
        dS[0] = b * zb / u;
        dF[0] = (b * zb - (b - 1)) / u;
      }
      return;
    }
    case Pdf::GOMPERTZ: {
      // ln S = -a g(b, t), ln f = ln a + b t + ln S.
      const Real g = lnlaw::growth(p[1], t), gb = lnscore::growthSlope(p[1], t);
      dS[0] = -g;
      dS[1] = -p[0] * gb;
      dF[0] = 1 / p[0] - g;
      dF[1] = t - p[0] * gb;
      return;
    }
    case Pdf::MAKEHAM: {
      // h = a1 + a2 e^(b2 t), ln S = -a1 t - a2 g(b2, t).
      const Real e = fastExp(p[2] * t), h = p[0] + p[1] * e;
      dS[0] = -t;
      dS[1] = -lnlaw::growth(p[2], t);
      dS[2] = -p[1] * lnscore::growthSlope(p[2], t);
      dF[0] = 1 / h + dS[0];
      dF[1] = e / h + dS[1];
      dF[2] = p[1] * t * e / h + dS[2];
      return;
    }
    case Pdf::LINEARHAZARD: {
      const Real h = p[0] + p[1] * t;
      dS[0] = -t;
      dS[1] = -t * t / 2;
      dF[0] = 1 / h + dS[0];
      dF[1] = t / h + dS[1];
      return;
    }
    case Pdf::NORMAL:
    case Pdf::GAUSSIAN:
    case Pdf::LNNORMAL:
    case Pdf::LOGNORMAL: {
      // z = (y - m)/s with y = t or ln t; ln f = ln phi(z) - ln s [- ln t].
      const bool logT = law.pdf == static_cast<int>(Pdf::LNNORMAL) || law.pdf == static_cast<int>(Pdf::LOGNORMAL);
      const bool moments = law.pdf == static_cast<int>(Pdf::LOGNORMAL);
      const Real m = logT ? law.c[0] : p[0], s = moments ? law.c[1] : p[1];
      // Divisions are the slow step on the x87: one reciprocal serves all.
      const Real is = 1 / s, z = ((logT ? ln(t) : t) - m) * is;
      const Real lam = !survival ? 0 : hazard >= 0 ? hazard : lnscore::normalHazard(z, lnS);
      const Real fm = z * is, fs = (z * z - 1) * is, sm = lam * is, ss = lam * z * is;
      if (!moments) {
        // LNNORMAL's m is ln a: d/da = (d/dm) / a.
        const Real dm = logT ? 1 / p[0] : 1;
        dF[0] = fm * dm;
        dS[0] = sm * dm;
        dF[1] = fs;
        dS[1] = ss;
        return;
      }
      // s^2 = ln(1 + r^2), r = b/a, m = ln a - s^2/2.
      const Real a = p[0], r = p[1] / a, q = 1 + r * r;
      const Real sa = -r * r / (a * s * q), sb = r / (a * s * q);
      const Real ma = 1 / a - s * sa, mb = -s * sb;
      dF[0] = fm * ma + fs * sa;
      dF[1] = fm * mb + fs * sb;
      dS[0] = sm * ma + ss * sa;
      dS[1] = sm * mb + ss * sb;
      return;
    }
    case Pdf::LOGISTIC: {
      const Real z = (t - p[0]) / p[1];
      lnscore::logisticScores(p, z, lnscore::sigmoid(z), dF, dS);
      return;
    }
    case Pdf::LNLOGISTIC: {
      const Real lz = p[0] == 0 ? ln(t) - law.c[0] : fastLog((t - p[0]) / p[1]);
      lnscore::lnLogisticScores(p, t, lz, lnscore::sigmoid(p[2] * lz), dF, dS);
      return;
    }
    case Pdf::SMALLEXTREME1: {
      const Real z = (t - p[0]) / p[1], ez = fastExp(z);
      dS[0] = ez / p[1];
      dS[1] = z * ez / p[1];
      dF[0] = (ez - 1) / p[1];
      dF[1] = (z * ez - z - 1) / p[1];
      return;
    }
    default: return;
  }
}

// The logistic laws' log density, log survival and scores at once: the
// softplus of the values and the sigmoid of the scores share e^-|w|, so a
// score pass takes one exponential per observation instead of two. The
// values are the log routines' own, step for step. False for any other law,
// and for a time at or below the log-logistic's origin (left to those
// routines).
template <class Ln = LnOfTime>
inline bool logisticTerms(const LogLaw& law, Real t, Real& lnF, Real& lnS, Real* dF, Real* dS, Ln ln = {}) {
  const Real* p = law.p;
  const Real* c = law.c;
  const bool plain = law.pdf == static_cast<int>(Pdf::LOGISTIC);
  if (!plain && (law.pdf != static_cast<int>(Pdf::LNLOGISTIC) || !(t > p[0]))) return false;
  const Real lz = plain ? 0 : (p[0] == 0 ? ln(t) - c[0] : fastLog((t - p[0]) / p[1]));
  const Real w = plain ? (t - p[0]) / p[1] : p[2] * lz;
  const Real e = fastExp(-std::fabs(w)), l = fastLog1p(e);
  const Real softplus = w > 0 ? w + l : l;
  const Real sg = w >= 0 ? 1 / (1 + e) : e / (1 + e);
  lnS = -softplus;
  if (plain) {
    lnF = -std::fabs(w) - c[0] - 2 * l;
    lnscore::logisticScores(p, w, sg, dF, dS);
  } else {
    lnF = c[1] - c[0] - lz + w - 2 * softplus;
    lnscore::lnLogisticScores(p, t, lz, sg, dF, dS);
  }
  return true;
}

}  // namespace zav
