// Reads long double z (one a line, hex or decimal) and prints, in hex, z,
// ln Q(z) and the hazard phi(z)/Q(z) by fastNormTail, and the same two as
// the routines it replaced gave them: fastLog of Boost's erfc (the
// continued fraction from z = 30), and exp(ln phi(z) - ln Q(z)).
// bench/fastnorm_accuracy.py compares both with mpmath.
#include <cstdio>

#include "dists/densmath.h"
#include "dists/lnlaw.h"
#include "funcs/fastexp.h"
#include "funcs/fastnorm.h"

int main() {
  using namespace zav;
  Real z;
  while (std::scanf("%Lf", &z) == 1) {
    Real lnQ, hazard;
    fastNormTail(z, lnQ, hazard);
    const Real oldLnQ = z < 30 ? fastLog(dens::normUpper(z)) : dens::lnNormUpper(z);
    const Real oldHazard = fastExp(lnlaw::lnNormPdf(z) - oldLnQ);
    std::printf("%La %La %La %La %La\n", z, lnQ, oldLnQ, hazard, oldHazard);
  }
}
