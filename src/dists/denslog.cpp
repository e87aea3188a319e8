// Log densities and log survivals for the likelihood: a log-likelihood sums
// ln f and ln S, so the common families give those directly instead of
// forming f or S and taking its logarithm. A law is prepared once for as many
// observations as share its parameters, so the constants that depend on the
// parameters only (ln a, ln gamma of a shape, the normalisers) are worked
// out once; the routines themselves are inline in lnlaw.h.
#include <cmath>

#include "dists/densities.h"
#include "dists/densmath.h"
#include "dists/lnlaw.h"
#include "dists/pdfcatalog.h"

namespace zav {
namespace {

inline Real lnOf(Real x) { return std::log(x); }

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

}  // namespace zav
