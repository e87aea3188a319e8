// The value of the PDF-family nodes: the likelihood contribution of one
// observation under censoring and truncation (PDF), and the quantile forms
// QUANTILE, PPDF, QDF and PHAZARD.
#pragma once
#include "dists/densities.h"
#include "parse/node.h"
#include "symbols/value.h"

namespace zav {

struct Interp;

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

}  // namespace zav
