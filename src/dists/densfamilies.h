// The per-distribution density and survival routines behind the PDF
// catalog, grouped by family in their own files:
//   denslocation.cpp  location-scale laws on the whole line and on circles
//   denslifetime.cpp  hazard-based lifetime laws (t >= 0)
//   densshape.cpp     other continuous laws: transformed normals and gammas,
//                     ratios, bounded shapes, shifted laws
//   densdiscrete.cpp  counts
// Each pair takes the PDF's parameters p[0..] (a, b, c, ... in catalog
// order) and the time t, and returns f(t) or S(t) = P(T > t) without any
// hazard multiplier. Outside the support the density is 0 and the survival
// 0 or 1; parameter ranges are checked by the caller. The discrete routines
// receive t already rounded to a whole number.
#pragma once
#include "symbols/value.h"

namespace zav::dens {

using Fn = Real (*)(const Real* p, Real t);

// Location-scale laws, z = (t - a)/b.
Real normalF(const Real* p, Real t);
Real normalS(const Real* p, Real t);
Real logisticF(const Real* p, Real t);
Real logisticS(const Real* p, Real t);
Real cauchyF(const Real* p, Real t);
Real cauchyS(const Real* p, Real t);
Real laplaceF(const Real* p, Real t);
Real laplaceS(const Real* p, Real t);
Real largeExtreme1F(const Real* p, Real t);
Real largeExtreme1S(const Real* p, Real t);
Real smallExtreme1F(const Real* p, Real t);
Real smallExtreme1S(const Real* p, Real t);
Real hyperbolicSecantF(const Real* p, Real t);
Real hyperbolicSecantS(const Real* p, Real t);
Real subbotinF(const Real* p, Real t);
Real subbotinS(const Real* p, Real t);
Real studentTF(const Real* p, Real t);
Real studentTS(const Real* p, Real t);
Real asymptoticRangeF(const Real* p, Real t);
Real asymptoticRangeS(const Real* p, Real t);
Real foldedNormalF(const Real* p, Real t);
Real foldedNormalS(const Real* p, Real t);
Real compoundExtremeF(const Real* p, Real t);
Real compoundExtremeS(const Real* p, Real t);
Real genGumbelF(const Real* p, Real t);
Real genGumbelS(const Real* p, Real t);
Real raisedCosineF(const Real* p, Real t);
Real raisedCosineS(const Real* p, Real t);
Real horseshoeF(const Real* p, Real t);
Real horseshoeS(const Real* p, Real t);
Real vonMisesF(const Real* p, Real t);
Real vonMisesS(const Real* p, Real t);

// Lifetime laws given by their hazard.
Real exponentialF(const Real* p, Real t);
Real exponentialS(const Real* p, Real t);
Real weibullF(const Real* p, Real t);
Real weibullS(const Real* p, Real t);
Real gompertzF(const Real* p, Real t);
Real gompertzS(const Real* p, Real t);
Real makehamF(const Real* p, Real t);
Real makehamS(const Real* p, Real t);
Real silerF(const Real* p, Real t);
Real silerS(const Real* p, Real t);
Real linearHazardF(const Real* p, Real t);
Real linearHazardS(const Real* p, Real t);
Real mixMakehamF(const Real* p, Real t);
Real mixMakehamS(const Real* p, Real t);
Real hyper2ExpF(const Real* p, Real t);
Real hyper2ExpS(const Real* p, Real t);
Real hypo2ExpF(const Real* p, Real t);
Real hypo2ExpS(const Real* p, Real t);
Real gammaFrailF(const Real* p, Real t);
Real gammaFrailS(const Real* p, Real t);
Real rayleighF(const Real* p, Real t);
Real rayleighS(const Real* p, Real t);
Real danielsF(const Real* p, Real t);
Real danielsS(const Real* p, Real t);

// Other continuous laws.
Real gammaF(const Real* p, Real t);
Real gammaS(const Real* p, Real t);
Real genGammaF(const Real* p, Real t);
Real genGammaS(const Real* p, Real t);
Real lnGammaF(const Real* p, Real t);
Real lnGammaS(const Real* p, Real t);
Real shiftGammaF(const Real* p, Real t);
Real shiftGammaS(const Real* p, Real t);
Real chiF(const Real* p, Real t);
Real chiS(const Real* p, Real t);
Real chiSquaredF(const Real* p, Real t);
Real chiSquaredS(const Real* p, Real t);
Real maxwellF(const Real* p, Real t);
Real maxwellS(const Real* p, Real t);
Real invGammaF(const Real* p, Real t);
Real invGammaS(const Real* p, Real t);
Real invChiF(const Real* p, Real t);
Real invChiS(const Real* p, Real t);
Real betaF(const Real* p, Real t);
Real betaS(const Real* p, Real t);
Real arcsineF(const Real* p, Real t);
Real arcsineS(const Real* p, Real t);
Real fDistF(const Real* p, Real t);
Real fDistS(const Real* p, Real t);
Real invBeta1F(const Real* p, Real t);
Real invBeta1S(const Real* p, Real t);
Real invBeta2F(const Real* p, Real t);
Real invBeta2S(const Real* p, Real t);
Real paretoF(const Real* p, Real t);
Real paretoS(const Real* p, Real t);
Real lowmaxF(const Real* p, Real t);
Real lowmaxS(const Real* p, Real t);
Real lnLogisticF(const Real* p, Real t);
Real lnLogisticS(const Real* p, Real t);
Real lnNormalF(const Real* p, Real t);
Real lnNormalS(const Real* p, Real t);
Real logNormalF(const Real* p, Real t);
Real logNormalS(const Real* p, Real t);
Real shiftLogNormalF(const Real* p, Real t);
Real shiftLogNormalS(const Real* p, Real t);
Real shiftExponentialF(const Real* p, Real t);
Real shiftExponentialS(const Real* p, Real t);
Real shiftWeibullF(const Real* p, Real t);
Real shiftWeibullS(const Real* p, Real t);
Real largeExtreme2F(const Real* p, Real t);
Real largeExtreme2S(const Real* p, Real t);
Real smallExtreme2F(const Real* p, Real t);
Real smallExtreme2S(const Real* p, Real t);
Real invGaussianF(const Real* p, Real t);
Real invGaussianS(const Real* p, Real t);
Real randomWalkF(const Real* p, Real t);
Real randomWalkS(const Real* p, Real t);
Real birnbaumSaundersF(const Real* p, Real t);
Real birnbaumSaundersS(const Real* p, Real t);
Real alphaF(const Real* p, Real t);
Real alphaS(const Real* p, Real t);
Real diskF(const Real* p, Real t);
Real diskS(const Real* p, Real t);
Real ringingExp0F(const Real* p, Real t);
Real ringingExp0S(const Real* p, Real t);
Real ringingExp180F(const Real* p, Real t);
Real ringingExp180S(const Real* p, Real t);
Real powerFunctionF(const Real* p, Real t);
Real powerFunctionS(const Real* p, Real t);
Real revPowerFunctionF(const Real* p, Real t);
Real revPowerFunctionS(const Real* p, Real t);
Real uniformF(const Real* p, Real t);  // p[0], p[1]: the bounds a and w
Real uniformS(const Real* p, Real t);

// Counts.
Real bernoulliF(const Real* p, Real t);
Real bernoulliS(const Real* p, Real t);
Real binomialF(const Real* p, Real t);
Real binomialS(const Real* p, Real t);
Real geometricF(const Real* p, Real t);
Real geometricS(const Real* p, Real t);
Real hypergeometricF(const Real* p, Real t);
Real hypergeometricS(const Real* p, Real t);
Real logSeriesF(const Real* p, Real t);
Real logSeriesS(const Real* p, Real t);
Real negBinomialF(const Real* p, Real t);
Real negBinomialS(const Real* p, Real t);
Real negHypergeometricF(const Real* p, Real t);
Real negHypergeometricS(const Real* p, Real t);
Real pascalF(const Real* p, Real t);
Real pascalS(const Real* p, Real t);
Real poissonF(const Real* p, Real t);
Real poissonS(const Real* p, Real t);
Real polyaF(const Real* p, Real t);
Real polyaS(const Real* p, Real t);
Real thomasF(const Real* p, Real t);
Real thomasS(const Real* p, Real t);
Real zipfF(const Real* p, Real t);
Real zipfS(const Real* p, Real t);

}  // namespace zav::dens
