// Brent's one-dimensional searches, each caller bringing its own stop rule:
// the minimiser (golden-section steps of BRENT_MAGIC with parabolic
// interpolation, absolute tolerance floor LARGE_ZERO) serves the maximisers'
// line searches and FINDMIN; the zero finder serves FINDZERO and the PDF
// quantiles.
#pragma once
#include <cmath>

#include "core/interp.h"
#include "symbols/value.h"

namespace zav {

struct BrentMin {
  Real x = 0;
  Real f = 0;
};

// Minimises evaluate(u) over [min(a, b), max(a, b)] from `start`, where
// the objective is fStart, with the relative tolerance `tol`. Before each
// round that the convergence test lets through, keepGoing(round) (round from
// 0) may end the search. A template so the loop calls the objective without
// indirection or allocation.
template <class F, class KeepGoing>
BrentMin brentMinimiseFrom(const Interp& in, Real bound1, Real bound2, Real start, Real fStart, Real tol,
                           F&& evaluate, KeepGoing&& keepGoing) {
  Real a = bound1 < bound2 ? bound1 : bound2;
  Real b = bound1 < bound2 ? bound2 : bound1;
  Real x = start, w = start, v = start;
  Real fx = fStart;
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

// The same search, evaluating the objective at `start` first.
template <class F, class KeepGoing>
BrentMin brentMinimise(const Interp& in, Real bound1, Real bound2, Real start, Real tol, F&& evaluate,
                       KeepGoing&& keepGoing) {
  const Real fStart = evaluate(start);
  return brentMinimiseFrom(in, bound1, bound2, start, fStart, tol, evaluate, keepGoing);
}


// Brent's zero finder on [a, b], where f(a) and f(b) should differ in sign:
// bisection with inverse quadratic interpolation, tolerance 2*eps*|b| +
// tol/2. Before each step that the convergence test lets through,
// keepGoing(step) (step from 0) may end the search. Returns the last b.
template <class F, class KeepGoing>
Real brentZero(Real eps, Real a, Real b, Real tol, F&& f, KeepGoing&& keepGoing) {
  Real fa = f(a), fb = f(b);
  Real c = a, fc = fa, d = b - a, e = d;
  for (int step = 0;; ++step) {
    if (std::fabs(fc) < std::fabs(fb)) {
      a = b;
      b = c;
      c = a;
      fa = fb;
      fb = fc;
      fc = fa;
    }
    const Real tol1 = 2 * eps * std::fabs(b) + tol / 2;
    const Real xm = (c - b) / 2;
    if (std::fabs(xm) <= tol1 || fb == 0) break;
    if (!keepGoing(step)) break;
    if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
      const Real s = fb / fa;
      Real p, q;
      if (a == c) {
        p = 2 * xm * s;
        q = 1 - s;
      } else {
        q = fa / fc;
        const Real r = fb / fc;
        p = s * (2 * xm * q * (q - r) - (b - a) * (r - 1));
        q = (q - 1) * (r - 1) * (s - 1);
      }
      if (p > 0) q = -q;
      else p = -p;
      if (2 * p < 3 * xm * q - std::fabs(tol1 * q) && p < std::fabs(e * q / 2)) {
        e = d;
        d = p / q;
      } else {
        d = xm;
        e = d;
      }
    } else {
      d = xm;
      e = d;
    }
    a = b;
    fa = fb;
    b += std::fabs(d) > tol1 ? d : (xm > 0 ? tol1 : -tol1);
    fb = f(b);
    if ((fb > 0 && fc > 0) || (fb < 0 && fc < 0)) {
      c = a;
      fc = fa;
      d = b - a;
      e = d;
    }
  }
  return b;
}

}  // namespace zav
