// COMPLEX arithmetic and the complex forms of the elementary functions.
// A complex value is a pair of extended reals; +oo as a complex value is
// (+oo, 0) with +oo the INFINITY setting. Faults end the run as math errors.
#pragma once
#include "symbols/value.h"

namespace zav {

struct Interp;

// Parts and modulus.
Real cxRe(Complex z);
Real cxIm(Complex z);
Real cxArg(Interp& in, Complex z);  // stops the run for 0
Real cxAbs(Complex z);              // sqrt(re^2 + im^2), without overflow on the way
bool cxEqual(Complex a, Complex b);

// Arithmetic. Division has no zero check of its own; INVERT has.
Complex cxAdd(Complex a, Complex b);
Complex cxSub(Complex a, Complex b);
Complex cxMul(Complex a, Complex b);
Complex cxDiv(Complex a, Complex b);
Complex cxNeg(Interp& in, Complex z);
Complex cxInc(Interp& in, Complex z);
Complex cxDec(Interp& in, Complex z);
Complex cxInvert(Interp& in, Complex z);
Complex cxSqr(Interp& in, Complex z);

// SGN of a complex value: z/|z|, 0 for 0.
Complex cxUnit(Interp& in, Complex z);
// Componentwise INT (truncation), FRAC, FLOOR, CEIL.
Complex cxInt(Interp& in, Complex z);
Complex cxFrac(Interp& in, Complex z);
Complex cxFloor(Interp& in, Complex z);
Complex cxCeil(Interp& in, Complex z);

// Exponentials, logarithms and powers.
Complex cxExp(Interp& in, Complex z);
Complex cxLn(Interp& in, Complex z);
Complex cxLog10(Interp& in, Complex z);
Complex cxLogBase(Interp& in, Complex z, Complex base);
Complex cxPower(Interp& in, Complex z, Complex w);
Complex cxRoot(Interp& in, Complex z, Complex n);  // z^(1/n)
Complex cxSqrt(Interp& in, Complex z);

// Principal branches of the trigonometric and hyperbolic functions and their
// inverses. The reciprocal inverses (ARCCOT, ARCSEC, ...) refuse 0 with the
// same message as their real forms.
Complex cxSin(Interp& in, Complex z);
Complex cxCos(Interp& in, Complex z);
Complex cxTan(Interp& in, Complex z);
Complex cxCot(Interp& in, Complex z);
Complex cxSec(Interp& in, Complex z);
Complex cxCsc(Interp& in, Complex z);
Complex cxSinh(Interp& in, Complex z);
Complex cxCosh(Interp& in, Complex z);
Complex cxTanh(Interp& in, Complex z);
Complex cxCoth(Interp& in, Complex z);
Complex cxSech(Interp& in, Complex z);
Complex cxCsch(Interp& in, Complex z);
Complex cxArcSin(Interp& in, Complex z);
Complex cxArcCos(Interp& in, Complex z);
Complex cxArcTan(Interp& in, Complex z);
Complex cxArcCot(Interp& in, Complex z);
Complex cxArcSec(Interp& in, Complex z);
Complex cxArcCsc(Interp& in, Complex z);
Complex cxArcSinh(Interp& in, Complex z);
Complex cxArcCosh(Interp& in, Complex z);
Complex cxArcTanh(Interp& in, Complex z);
Complex cxArcCoth(Interp& in, Complex z);
Complex cxArcSech(Interp& in, Complex z);
Complex cxArcCsch(Interp& in, Complex z);

// The transforms of the real library, continued to complex arguments.
Complex cxLogistic(Interp& in, Complex z);  // reads ALT_LOGISTIC
Complex cxLogit(Interp& in, Complex z);     // ln(z/(1 - z))
Complex cxFisher(Interp& in, Complex z);    // ln((1 + z)/(1 - z))/2
Complex cxFisherInv(Interp& in, Complex z); // (exp(2z) - 1)/(exp(2z) + 1)

}  // namespace zav
