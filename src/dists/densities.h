// Densities, survivals and quantiles of the PDF catalog, by PDF number.
//
// A PDF's parameters are passed as an array p of kMaxPdfParams values in
// catalog order (a, b, c, ...; unused ones 0; RECTANGULAR and UNIFORM take
// their internal bounds a and w there).
// k is the hazard multiplier: f_k = k f S^(k-1) and S_k = S^k, so k = 1
// leaves f and S as they are. For a discrete PDF, t is rounded to the
// nearest whole number and f(t) is the probability of that number.
#pragma once
#include "dists/pdfcatalog.h"
#include "symbols/value.h"

namespace zav {

struct Interp;

// Whether the catalog entry has density and survival routines (all but
// ATRESIA, BIVNORMAL, FAILED, FDEPLETE, IMMUNE, STERILE).
bool pdfHasDensity(int pdf);

// The base law (k = 1); NaN for a PDF without routines.
Real pdfBaseDensity(int pdf, Real t, const Real* p);
Real pdfBaseSurvival(int pdf, Real t, const Real* p);

// With the hazard multiplier. A PDF without routines stops the run with the
// funct error " couldn't call PDF <NAME>" (" couldn't call SDF <NAME>").
Real pdfDensity(Interp& in, int pdf, Real t, const Real* p, Real k);
Real pdfSurvival(Interp& in, int pdf, Real t, const Real* p, Real k);
// h(t) = f_k(t) / S_k(t).
Real pdfHazard(Interp& in, int pdf, Real t, const Real* p, Real k);

// Stops the run (a math error "Bad <PDF> <param> should be ...") when a
// parameter is outside the range its catalog constraint code gives.
void checkPdfParams(Interp& in, int pdf, const Real* p);
// Whether every parameter lies in its catalog range (no message).
bool pdfParamsInRange(int pdf, const Real* p);
// The first parameter (from 0) outside its catalog range, or -1.
int pdfParamOutOfRange(int pdf, const Real* p);

// The support [low, high] of t by the PDF's time range code; the infinite
// ends are the INFINITY and NEGINFINITY settings.
struct Support {
  Real low;
  Real high;
};
Support supportBounds(Interp& in, int timeRangeCode, const Real* p);

// The base law's t with S(t) = s, for the PDFs whose survival has an
// explicit inverse; false for the others (solved numerically by the caller).
bool pdfBaseQuantile(int pdf, Real s, const Real* p, Real& t);

// A law prepared for many log evaluations: its parameters and the constants
// that depend on them only, worked out once for as many observations as
// share the parameters.
struct LogLaw {
  int pdf = 0;
  bool discrete = false;
  Real p[kMaxPdfParams] = {};
  Real c[3] = {};
};
void prepareLogLaw(int pdf, const Real* p, LogLaw& law);
// Its ln f(t) and ln S(t): lawLnDensity, lawLnSurvival and lawLnBoth in
// dists/lnlaw.h.

}  // namespace zav
