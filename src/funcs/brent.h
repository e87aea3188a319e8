// Brent's one-dimensional minimiser: golden-section steps (BRENT_MAGIC)
// with parabolic interpolation over a closed interval, absolute tolerance
// floor LARGE_ZERO. The line searches of the maximisers and FINDMIN share it;
// each brings its own stop rule.
#pragma once
#include <cmath>

#include "driver/interp.h"
#include "symbols/value.h"

namespace zav {

struct BrentMin {
  Real x = 0;
  Real f = 0;
};

// Minimises evaluate(u) over [min(a, b), max(a, b)] from `start` with the
// relative tolerance `tol`. Before each round that the convergence test lets
// through, keepGoing(round) (round from 0) may end the search. A template so
// the loop calls the objective without indirection or allocation.
template <class F, class KeepGoing>
BrentMin brentMinimise(const Interp& in, Real bound1, Real bound2, Real start, Real tol, F&& evaluate,
                       KeepGoing&& keepGoing) {
  Real a = bound1 < bound2 ? bound1 : bound2;
  Real b = bound1 < bound2 ? bound2 : bound1;
  Real x = start, w = start, v = start;
  Real fx = evaluate(start);
  Real fw = fx, fv = fx;
  Real e = 0, d = 0;
  const Real magic = in.set.brentMagic;
  const Real largeZero = in.set.largeZero;
  for (int round = 0;; ++round) {
    const Real xm = 0.5L * (a + b);
    const Real tol1 = tol * std::fabs(x) + largeZero;
    const Real tol2 = 2 * tol1;
    if (std::fabs(x - xm) <= tol2 - 0.5L * (b - a)) break;
    if (!keepGoing(round)) break;
    bool golden = true;
    if (std::fabs(e) > tol1) {
      const Real r = (x - w) * (fx - fv);
      Real q = (x - v) * (fx - fw);
      Real p = (x - v) * q - (x - w) * r;
      q = 2 * (q - r);
      if (q > 0) p = -p;
      q = std::fabs(q);
      const Real etemp = e;
      e = d;
      if (std::fabs(p) < std::fabs(0.5L * q * etemp) && p > q * (a - x) && p < q * (b - x)) {
        d = p / q;
        const Real u = x + d;
        if (u - a < tol2 || b - u < tol2) d = std::copysign(tol1, xm - x);
        golden = false;
      }
    }
    if (golden) {
      e = x >= xm ? a - x : b - x;
      d = magic * e;
    }
    const Real u = std::fabs(d) >= tol1 ? x + d : x + std::copysign(tol1, d);
    const Real fu = evaluate(u);
    if (fu <= fx) {
      if (u >= x) a = x;
      else b = x;
      v = w;
      fv = fw;
      w = x;
      fw = fx;
      x = u;
      fx = fu;
    } else {
      if (u < x) a = u;
      else b = u;
      if (fu <= fw || w == x) {
        v = w;
        fv = fw;
        w = u;
        fw = fu;
      } else if (fu <= fv || v == x || v == w) {
        v = u;
        fv = fu;
      }
    }
  }
  return {x, fx};
}


}  // namespace zav
