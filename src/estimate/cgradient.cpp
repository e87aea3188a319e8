// The gradient methods: nonlinear conjugate gradients (METHOD = CGRADIENT1,
// Fletcher-Reeves; CGRADIENT2, Polak-Ribiere) with numerical gradients and
// a bounded Brent search along each direction. NEWTON has no implementation
// and is refused by the driver.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/interp.h"
#include "estimate/estimate.h"
#include "estimate/powell.h"
#include "funcs/numtext.h"

namespace zav {
namespace {

// The gradient of the objective at the current point, f0 being the
// objective there. Near a bound only a one-sided difference stays inside;
// when both sides are blocked the step shrinks to half the distance to the
// nearer bound.
void gradient(Interp& in, Real f0, std::vector<Real>& xi) {
  const Settings& s = in.set;
  const RunWork& w = in.models.work;
  for (std::size_t i = 0; i < xi.size(); ++i) {
    Real& x = paramValue(in, i);
    const Real x0 = x;
    Real dx = s.sqrtEpsilon * (x0 > 0.1L ? x0 : 0.1L);
    bool down = !(x0 - dx < w.low[i]);
    bool up = !(x0 + dx > w.high[i]);
    if (!down && !up) {
      const Real room = std::fmin(x0 - w.low[i], w.high[i] - x0);
      dx = room / 2;
      down = up = dx > 0;
    }
    Real fUp = f0, fDown = f0, d = 0;
    if (up) {
      x = x0 + dx;
      fUp = objective(in);
      x = x0;
    }
    if (down) {
      x = x0 - dx;
      fDown = objective(in);
      x = x0;
    }
    if (up && down) d = (fUp - fDown) / (2 * dx);
    else if (up) d = (fUp - f0) / dx;
    else if (down) d = (f0 - fDown) / dx;
    xi[i] = d;
    if (s.debug > 5) {
      auto num = [&](Real v) { return realToText(s, v, s.realWidth, s.realDecimals); };
      std::printf("%zu: f(x): %s f(x+dx)= %s f(x-dx)= %s dx: %s f'(x)=%s\n", i + 1, num(f0).c_str(),
                  num(fUp).c_str(), num(fDown).c_str(), num(dx).c_str(), num(d).c_str());
    }
  }
}

// Minimises along `dir` from the current point, within the step range that
// keeps every parameter inside its bounds, and moves the point there. With
// a range far wider than the step's scale the search brackets the minimum
// around the current point (step 0).
Real lineSearch(Interp& in, std::vector<Real>& dir, std::vector<Real>& base, Real tol) {
  const Settings& s = in.set;
  const RunWork& w = in.models.work;
  const std::size_t n = dir.size();
  Real a = -s.infinity, b = s.infinity;
  for (std::size_t i = 0; i < n; ++i) {
    base[i] = paramValue(in, i);
    Real d = dir[i];
    if (std::fabs(d) < s.largeZero) d = std::copysign(s.largeZero, d);
    Real t1 = (w.low[i] - base[i]) / d, t2 = (w.high[i] - base[i]) / d;
    if (t1 > t2) std::swap(t1, t2);
    // Each parameter allows the steps [t1, t2]; all of them allow only the
    // intersection, so that no trial point leaves the bounds.
    if (t1 > a) a = t1;
    if (t2 < b) b = t2;
  }
  // The step's scale: the step that moves some parameter by its own scale
  // (its magnitude, at least 1) first.
  Real scale = s.infinity;
  for (std::size_t i = 0; i < n; ++i) {
    const Real d = std::fabs(dir[i]);
    const Real x = std::fabs(base[i]) > 1 ? std::fabs(base[i]) : 1;
    if (d > 0 && x / d < scale) scale = x / d;
  }
  const LineMin best = lineMinimise(in, a, b, (a + b) / 2, 0, scale, tol, [&](Real t) {
    for (std::size_t i = 0; i < n; ++i) paramValue(in, i) = base[i] + t * dir[i];
    const Real f = objective(in);
    for (std::size_t i = 0; i < n; ++i) paramValue(in, i) = base[i];
    return f;
  });
  for (std::size_t i = 0; i < n; ++i) {
    dir[i] *= best.x;
    paramValue(in, i) = base[i] + dir[i];
  }
  return best.f;
}

}  // namespace

int conjugateGradient(Interp& in, int variant) {
  Settings& s = in.set;
  const std::size_t n = in.models.work.free.size();
  s.evals = 0;
  s.iterations = 0;
  Real f = objective(in);
  s.logLikelihood = f;
  if (n == 0) return 5;
  std::vector<Real> xi(n), g(n), h(n), base(n);
  Real tol = s.epsilon / static_cast<Real>(n + 1);
  if (tol < s.machineEpsilon) tol = s.machineEpsilon;
  gradient(in, f, xi);
  for (std::size_t j = 0; j < n; ++j) {
    g[j] = -xi[j];
    h[j] = g[j];
    xi[j] = h[j];
  }
  for (;;) {
    ++s.iterations;
    const Real fNew = lineSearch(in, xi, base, tol);
    s.deltaLL = std::fabs(f - fNew);
    f = fNew;
    s.logLikelihood = f;
    if (iterationDue(in, s.iterations)) iterationTrace(in, s.iterations, f, s.deltaLL);
    if (!(s.epsilon < s.deltaLL)) return 5;
    gradient(in, f, xi);
    Real gg = 0, dgg = 0;
    for (std::size_t j = 0; j < n; ++j) {
      gg += g[j] * g[j];
      dgg += variant == 1 ? xi[j] * xi[j] : (xi[j] + g[j]) * xi[j];
    }
    if (gg == 0) return 5;
    const Real gamma = dgg / gg;
    for (std::size_t j = 0; j < n; ++j) {
      g[j] = -xi[j];
      h[j] = g[j] + gamma * h[j];
      xi[j] = h[j];
    }
    const int reason = stopCheck(in, 0);
    if (reason != 0) return reason;
    if (monitorPoll(in)) runMonitor(in, "In cgradient iteration " + std::to_string(s.iterations));
  }
}

}  // namespace zav
