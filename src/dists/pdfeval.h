// The value of the PDF-family nodes: the likelihood contribution of one
// observation under censoring and truncation (PDF), and the quantile forms
// QUANTILE, PPDF, QDF and PHAZARD.
#pragma once
#include "dists/densities.h"
#include "parse/node.h"
#include "symbols/value.h"

namespace zav {

struct Interp;
struct Settings;

// PDF NAME(variables) parameters [, HAZARD ...] END for the current
// observation.
Real evalPdfNode(Interp& in, const ExprNode* n);

// QUANTILE, PPDF, QDF and PHAZARD NAME(q [, left [, right [, tol [, maxits]]]])
// parameters [, HAZARD ...] END.
Real evalQuantileForm(Interp& in, const ExprNode* n);

// The contribution of one observation of a PDF with density routines:
// vars[0..count) are t(open), t(close), t(left trunc), t(right trunc); p the
// parameters (for RECTANGULAR and UNIFORM the routine sets their bounds from
// the truncation times itself), k the hazard multiplier.
Real observationLikelihood(Interp& in, int pdf, Real k, Support support, const Real* vars, int count,
                           const Real* p);

// The t with P(T <= t | left < T <= right) = q under the hazard multiplier
// k; an infinite left or right means no truncation on that side. tol and
// maxits steer the numerical search of the PDFs without an explicit inverse.
Real pdfQuantile(Interp& in, int pdf, Real q, Real left, Real right, Real tol, int maxits, const Real* p, Real k);

// S(t), f(t) and h(t) of a PDF node's law at t, with its parameters and
// hazard multiplier evaluated now (for the distribution tables of a fit).
void pdfNodeFunctions(Interp& in, const ExprNode* n, Real t, Real& survival, Real& density, Real& hazard);

// The guarded logarithm of a likelihood term in log space: a log at or below
// ln SMALLEST_LIKELIHOOD gives SMALLEST_LLIKELIHOOD, one at or above
// ln LARGEST_LIKELIHOOD gives LARGEST_LLIKELIHOOD. Its logarithms are taken
// once per evaluation of a likelihood.
struct LnGuard {
  Real lnSmallest;
  Real lnLargest;
  Real smallestLL;
  Real largestLL;
};
LnGuard lnGuard(const Settings& s);
inline Real guardLn(const LnGuard& g, Real lnx) {
  if (lnx <= g.lnSmallest) return g.smallestLL;
  if (lnx >= g.lnLargest) return g.largestLL;
  return lnx;
}

// Whether a PDF node of this PDF has a log-likelihood term below.
bool pdfHasLogTerm(int pdf);

// The guarded log-likelihood term of a PDF node for the current observation,
// computed in log space; the same value as the guarded logarithm of
// evalPdfNode up to rounding.
Real evalPdfLogTerm(Interp& in, const ExprNode* n, const LnGuard& g);

// The same term from gathered arguments: pdfLogTerm in dists/lnterm.h.

}  // namespace zav
