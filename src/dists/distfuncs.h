// Tail areas, densities and quantiles of the classical sampling
// distributions. Every inverse undoes the function of its own family:
//   NORMALCDF(INVNORMAL(p)) = p           (lower tail)
//   STUDENTT(INVSTUDENTT(p, df), df) = p  (upper tail, area beyond t)
//   FDIST(INVFDIST(p, d1, d2), d1, d2) = p (upper tail)
//   CHISQ(INVCHISQ(p, df), df) = p        (upper tail)
//   IBETA(INVBETA(p, a, b), a, b) = p     (lower tail, the incomplete beta)
// Argument faults stop the run; infinite results are IEEE infinities.
#pragma once
#include "symbols/value.h"

namespace zav {

struct Interp;

Real distNormal(Interp& in, Real x);                     // NORMAL: standard normal density
Real distNormalCdf(Interp& in, Real x);                  // NORMALCDF: Phi(x)
Real distStudentT(Interp& in, Real t, Real df);          // STUDENTT: P(T > t)
Real distFDist(Interp& in, Real f, Real df1, Real df2);  // FDIST: P(F > f)
Real distChiSq(Interp& in, Real x, Real df);             // CHISQ: P(X > x)

Real distInvNormal(Interp& in, Real p);                     // INVNORMAL
Real distInvStudentT(Interp& in, Real p, Real df);          // INVSTUDENTT
Real distInvFDist(Interp& in, Real p, Real df1, Real df2);  // INVFDIST
Real distInvChiSq(Interp& in, Real p, Real df);             // INVCHISQ
Real distInvBeta(Interp& in, Real p, Real a, Real b);       // INVBETA

}  // namespace zav
