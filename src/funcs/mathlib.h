// The real-valued mathematical library: powers, logarithms, trigonometry,
// the gamma family, incomplete gamma and beta, Bessel functions and the
// small helpers the intrinsic functions and the densities share.
//
// Every routine takes the interpreter first, even where it needs nothing
// from it, so the evaluator can keep them in tables of one signature. A
// domain fault ends the run through ReportError as a math error; values that
// are merely infinite or not a number flow through.
#pragma once
#include <cstdint>
#include <string_view>

#include "funcs/mathstate.h"
#include "symbols/value.h"

namespace zav {

struct Interp;
struct Settings;

// +oo is the INFINITY setting (or the IEEE pattern); anything at or beyond it counts.
bool isPosOo(const Settings& s, Real x);
bool isNegOo(const Settings& s, Real x);

// Domain checks: each stops the run with "Bad <label> ..." when x is outside.
void checkProportion(Interp& in, std::string_view label, Real x);   // 0 <= x <= 1
void checkAtLeastOne(Interp& in, std::string_view label, Real x);   // x >= 1
void checkNonNegative(Interp& in, std::string_view label, Real x);  // x >= 0
void checkPositive(Interp& in, std::string_view label, Real x);     // x > 0
void checkNonZero(Interp& in, std::string_view label, Real x);      // x <> 0
void checkClosedUnit(Interp& in, std::string_view label, Real x);   // -1 <= x <= 1
void checkOpenUnit(Interp& in, std::string_view label, Real x);     // -1 < x < 1

// Powers, roots and logarithms.
Real mathPower(Interp& in, Real x, Real c);
Real mathRoot(Interp& in, Real x, Real n);  // x^(1/n)
Real mathSqrt(Interp& in, Real x);          // with the negative-argument check
Real mathSqr(Interp& in, Real x);
Real mathExp(Interp& in, Real x);
Real mathLn(Interp& in, Real x);
Real mathLog10(Interp& in, Real x);
Real mathLogBase(Interp& in, Real x, Real base);
Real mathLogit(Interp& in, Real x);
Real mathLogistic(Interp& in, Real x);  // reads ALT_LOGISTIC

// Signs, rounding and simple combinations.
int mathSgn(Real x);
Real mathSign(Real x1, Real x2);  // |x1| carrying the sign of x2
Real mathRemainder(Interp& in, Real x1, Real x2);
Real mathFloor(Interp& in, Real x);
Real mathCeil(Interp& in, Real x);
Real mathInt(Interp& in, Real x);  // truncation toward zero
Real mathFrac(Interp& in, Real x);
Real mathComp(Interp& in, Real x);
Real mathCompN(Interp& in, Real x1, Real x2);
Real mathStandardize(Interp& in, Real x, Real mean, Real sd);

// Angles, in radians unless named otherwise.
Real mathDtoR(Interp& in, Real deg);
Real mathRtoD(Interp& in, Real rad);
Real mathDmsToD(Interp& in, Real d, Real m, Real s);
Real mathDmsToR(Interp& in, Real d, Real m, Real s);

// Trigonometric and hyperbolic functions and their inverses.
Real mathSin(Interp& in, Real x);
Real mathCos(Interp& in, Real x);
Real mathTan(Interp& in, Real x);
Real mathCot(Interp& in, Real x);
Real mathSec(Interp& in, Real x);
Real mathCsc(Interp& in, Real x);
Real mathSinh(Interp& in, Real x);
Real mathCosh(Interp& in, Real x);
Real mathTanh(Interp& in, Real x);
Real mathCoth(Interp& in, Real x);
Real mathSech(Interp& in, Real x);
Real mathCsch(Interp& in, Real x);
Real mathArcSin(Interp& in, Real x);
Real mathArcCos(Interp& in, Real x);
Real mathArcTan(Interp& in, Real x);
Real mathArcCot(Interp& in, Real x);
Real mathArcSec(Interp& in, Real x);
Real mathArcCsc(Interp& in, Real x);
Real mathArcSinh(Interp& in, Real x);
Real mathArcCosh(Interp& in, Real x);
Real mathArcTanh(Interp& in, Real x);
Real mathArcCoth(Interp& in, Real x);
Real mathArcSech(Interp& in, Real x);
Real mathArcCsch(Interp& in, Real x);
Real mathFisher(Interp& in, Real x);
Real mathFisherInv(Interp& in, Real x);

// Geometry: the flat-earth approximation of the distance in km between
// (lat1, long1) and (lat2, long2) in degrees; polar (r, angle) and
// spherical (r, azimuth a1 from the x axis, polar angle a2 from the z axis)
// coordinates, angles in radians.
Real mathEarthDist(Interp& in, Real x1, Real x2, Real x3, Real x4);  // x2, x4 latitudes
Real mathPolarToRectX(Interp& in, Real r, Real a);
Real mathPolarToRectY(Interp& in, Real r, Real a);
Real mathRectToPolarA(Interp& in, Real x, Real y);
Real mathRectToPolarR(Interp& in, Real x, Real y);
Real mathRectToSphereR(Interp& in, Real x, Real y, Real z);
Real mathRectToSphereA1(Interp& in, Real x, Real y, Real z);
Real mathRectToSphereA2(Interp& in, Real x, Real y, Real z);
Real mathSphereToRectX(Interp& in, Real r, Real a1, Real a2);
Real mathSphereToRectY(Interp& in, Real r, Real a1, Real a2);
Real mathSphereToRectZ(Interp& in, Real r, Real a1, Real a2);

// Gamma family.
Real factorialTable(int n);  // n! for 0 <= n <= kFactTableMax
Real mathGamma(Interp& in, Real x);
Real mathLnGamma(Interp& in, Real x);
Real mathFact(Interp& in, Real n);
Real mathLnFact(Interp& in, Real n);  // LNFACT: checked n > 0
Real lnFactorial(Interp& in, Real n);  // ln n! for whole n >= 0, no check (uses the cache)
Real mathComb(Interp& in, std::int32_t n, std::int32_t k);
Real mathPermutations(Interp& in, std::int32_t n, std::int32_t k);
Real mathLnComb(Interp& in, Real n, Real k);  // ln C(n, k) for the discrete densities
Real mathBeta(Interp& in, Real a, Real b);
Real mathDigamma(Interp& in, Real x);
Real mathTrigamma(Interp& in, Real x);

// Regularised incomplete gamma P(a, x), Q(a, x), and beta I_x(p, q).
Real mathIGamma(Interp& in, Real a, Real x);
Real mathIGammaC(Interp& in, Real a, Real x);
Real mathIGammaE(Interp& in, Real a, Real x);  // IGAMMA(a, x) * ROOT(x, a)
Real mathIBeta(Interp& in, Real x, Real p, Real q);
Real mathIBetaC(Interp& in, Real x, Real p, Real q);

// Bessel functions of integer order n (the order arrives as a real).
Real mathBesselJ(Interp& in, Real n, Real x);
Real mathBesselY(Interp& in, Real n, Real x);
Real mathBesselI(Interp& in, Real n, Real x);
Real mathBesselK(Interp& in, Real n, Real x);

// Error function and zeta.
Real mathErf(Interp& in, Real x);
Real mathErfc(Interp& in, Real x);
Real mathZeta(Interp& in, Real s);

// Whole numbers.
bool mathIsPrime(Real x);
std::int32_t mathGcf(Interp& in, std::int32_t a, std::int32_t b);
std::int32_t mathLcm(Interp& in, std::int32_t a, std::int32_t b);

}  // namespace zav
