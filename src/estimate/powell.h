// The line search that the direct search and the conjugate-gradient methods
// share: Brent's method under the maximisers' stop rule, after bracketing
// the minimum when the bounds are too wide for Brent to search them whole.
#pragma once
#include <cmath>

#include "core/interp.h"
#include "funcs/brent.h"
#include "symbols/value.h"

namespace zav {

using LineMin = BrentMin;

// A bound interval wider than this many times the parameter's scale is
// bracketed first. Brent's first golden-section steps over [LOW, HIGH]
// probe points a third of the interval away, so over the default bounds
// (+-INFINITY/2) they never come back to the scale of the parameter within
// BRENT_ITS rounds and the search ends where it started.
inline constexpr Real kWideBounds = 1e6L;

struct LineBracket {
  Real lo = 0, hi = 0;  // the bracket, inside the bounds
  Real x = 0, fx = 0;   // its best point
};

// Steps outward from `here` (objective fHere) by `step` each way, then in
// the downhill direction with steps that double, every trial clipped to
// [lo, hi], until the objective no longer falls (a not-a-number counts as
// rising) or the bound is reached. keepGoing(round) may cut the expansion
// short; the bracket found so far is returned.
template <class F, class KeepGoing>
LineBracket bracketMinimum(Real lo, Real hi, Real here, Real fHere, Real step, F&& evaluate, KeepGoing&& keepGoing) {
  auto clip = [&](Real u) { return u < lo ? lo : u > hi ? hi : u; };
  const Real up = clip(here + step);
  const Real fUp = up != here ? evaluate(up) : fHere;
  Real dir = 1, prev = here, cur = up, fCur = fUp;
  if (!(fUp < fHere)) {
    const Real down = clip(here - step);
    const Real fDown = down != here ? evaluate(down) : fHere;
    if (!(fDown < fHere)) return {down, up, here, fHere};
    dir = -1;
    cur = down;
    fCur = fDown;
  }
  for (int round = 0; keepGoing(round); ++round) {
    step *= 2;
    const Real u = clip(cur + dir * step);
    if (u == cur) break;  // at the bound
    const Real fu = evaluate(u);
    if (!(fu < fCur)) return {dir > 0 ? prev : u, dir > 0 ? u : prev, cur, fCur};
    prev = cur;
    cur = u;
    fCur = fu;
  }
  return {dir > 0 ? prev : cur, dir > 0 ? cur : prev, cur, fCur};
}

// Minimises evaluate(u) over [min(a, b), max(a, b)] with the relative
// tolerance `tol`; at most BRENT_ITS rounds and none once EVALS has reached
// MAXEVALS. When the interval is more than kWideBounds times `scale` wide,
// the minimum is bracketed outward from the current point `here` in steps
// from scale/10 and Brent searches the bracket from its best point;
// otherwise Brent searches the whole interval from `start`.
template <class F>
LineMin lineMinimise(Interp& in, Real bound1, Real bound2, Real start, Real here, Real scale, Real tol,
                     F&& evaluate) {
  auto keepGoing = [&](int round) { return round < in.set.brentIts && in.set.evals < in.set.maxEvals; };
  const Real lo = bound1 < bound2 ? bound1 : bound2;
  const Real hi = bound1 < bound2 ? bound2 : bound1;
  if (hi - lo > kWideBounds * scale) {
    const LineBracket b = bracketMinimum(lo, hi, here, evaluate(here), scale / 10, evaluate, keepGoing);
    return brentMinimiseFrom(in, b.lo, b.hi, b.x, b.fx, tol, evaluate, keepGoing);
  }
  return brentMinimise(in, lo, hi, start, tol, evaluate, keepGoing);
}

}  // namespace zav
