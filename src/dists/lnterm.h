// The log-likelihood term of one observation of a PDF with density
// routines, worked in log space; inline, because the likelihood takes it
// once per observation.
#pragma once
#include <algorithm>
#include <cmath>

#include "core/interp.h"
#include "dists/densities.h"
#include "dists/lnlaw.h"
#include "dists/pdfcatalog.h"
#include "funcs/fastexp.h"
#include "dists/pdfeval.h"

namespace zav {
namespace lnterm {

constexpr Real kLn2 = 0.6931471805599453094172321214581765681L;

// ln(e^a - e^b) for b < a; -oo when the difference is not positive, the
// contribution the guard turns into SMALLEST_LLIKELIHOOD, as it did the
// rounded negative difference of two survivals.
inline Real lnDiff(Real a, Real b) {
  if (std::isnan(a) || std::isnan(b)) return a + b;
  if (!(b < a)) return -dens::kInf;
  if (b == -dens::kInf) return a;
  const Real d = b - a;
  return a + (d > -kLn2 ? fastLog(-std::expm1(d)) : fastLog1p(-fastExp(d)));
}

// The logarithm of contribution(), worked in log space: ln f or the log of a
// survival difference, less the log of the truncation window, with the
// hazard multiplier as ln k + ln f + (k - 1) ln S and k ln S. lnK is ln k.
// The uniform laws (their bounds come from the truncation times) and a
// multiplier that is not positive take the logarithm of the contribution.
[[gnu::always_inline]] inline Real lnContribution(Interp& in, const LogLaw& law, Real k, Real lnK, Support sup,
                                                  const Real* v, int n) {
  const Settings& s = in.set;
  const int pdf = law.pdf;
  if (pdf == static_cast<int>(Pdf::RECTANGULAR) || pdf == static_cast<int>(Pdf::UNIFORM) || !(k > 0)) {
    const Real c = observationLikelihood(in, pdf, k, sup, v, n, law.p);
    return c <= 0 ? -dens::kInf : fastLog(c);
  }
  // The infinity tests of isPosOo and isNegOo, with the bounds at hand.
  const Real inf = s.infinity, ninf = s.negInfinity;
  auto posOo = [&](Real x) { return x > 0 && (std::isinf(x) || x >= inf); };
  auto negOo = [&](Real x) { return x < 0 && (std::isinf(x) || x <= ninf); };
  auto lnS = [&](Real t) {
    const Real x = lawLnSurvival(law, t);
    return k == 1 ? x : k * x;
  };
  n = std::clamp(n, 1, 4);
  Real tO = v[0];
  Real tC = n >= 2 ? v[1] : tO;
  if (n <= 2) {  // no truncation: most likelihoods
    if (tC != tO) {
      Real lnL = 0;
      if (tO >= sup.low && !negOo(tO)) lnL = (tO > sup.high || posOo(tO)) ? -dens::kInf : lnS(tO);
      if (tO < tC && tC < sup.high && !posOo(tC)) lnL = lnDiff(lnL, lnS(tC));
      return lnL;
    }
    if (tO < sup.low || tO > sup.high || posOo(tO) || negOo(tO)) return -dens::kInf;
    if (k == 1) return lawLnDensity(law, tO);
    Real lnF, lnSt;
    lawLnBoth(law, tO, lnF, lnSt);
    return lnF == -dens::kInf ? lnF : lnF + lnK + (k - 1) * lnSt;
  }
  const Real tL = v[2];
  const Real tR = n >= 4 ? v[3] : 0;
  Real lnLeft = 0, lnRight = -dens::kInf;
  if (sup.low < tL && !negOo(tL)) lnLeft = lnS(law.discrete ? tL - 1 : tL);
  if (n == 4 && tL < tR && tR < sup.high && !posOo(tR)) lnRight = lnS(tR);
  if (lnLeft == lnRight) return dens::kInf;
  auto lessWindow = [&](Real lnL) {
    const Real lnW = lnDiff(lnLeft, lnRight);
    return lnW == -dens::kInf ? -dens::kInf : lnL - lnW;
  };
  if (tC != tO) {  // censored: ln[S(t_o) - S(t_c)]
    tO = std::max(tL, tO);
    Real lnL = 0;
    if (tO >= sup.low && !negOo(tO)) lnL = (tO > sup.high || posOo(tO)) ? -dens::kInf : lnS(tO);
    if (n == 4 && tR < tC) tC = tR;
    if (tO < tC && tC < sup.high && !posOo(tC)) lnL = lnDiff(lnL, lnS(tC));
    if (n == 4 && tR <= tO) return -dens::kInf;
    return lessWindow(lnL);
  }
  const Real t = tO;  // exact
  if (t < sup.low || t > sup.high || posOo(t) || negOo(t)) return -dens::kInf;
  Real lnF;
  if (k == 1) {
    lnF = lawLnDensity(law, t);
  } else {
    Real lnSt;
    lawLnBoth(law, t, lnF, lnSt);
    if (lnF != -dens::kInf) lnF += lnK + (k - 1) * lnSt;
  }
  return tL <= t && (n < 4 || t <= tR) ? lessWindow(lnF) : -dens::kInf;
}

}  // namespace lnterm

// Where the log-space formula has no value (the logarithm of a negative
// rate, say) the likelihood itself decides: a negative or zero density is
// an impossible observation, as the guarded logarithm has it.
[[gnu::noinline]] inline Real pdfLogTermOfLikelihood(Interp& in, const LogLaw& law, Real k, Support sup,
                                                     const Real* vars, int count, const LnGuard& g) {
  const Real c = observationLikelihood(in, law.pdf, k, sup, vars, count, law.p);
  if (std::isnan(c)) return c;
  return c <= 0 ? guardLn(g, -dens::kInf) : guardLn(g, fastLog(c));
}

[[gnu::always_inline]] inline Real pdfLogTerm(Interp& in, const LogLaw& law, Real k, Real lnK, Support sup,
                                              const Real* vars, int count, const LnGuard& g) {
  const Real lnx = lnterm::lnContribution(in, law, k, lnK, sup, vars, count);
  if (std::isnan(lnx)) [[unlikely]]
    return pdfLogTermOfLikelihood(in, law, k, sup, vars, count, g);
  return guardLn(g, lnx);
}

}  // namespace zav
