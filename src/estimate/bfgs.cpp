// The bounded quasi-Newton method (METHOD = "BFGS"): central-difference
// gradients, an inverse-Hessian BFGS update and a backtracking search along
// the quasi-Newton step, projected onto the box of the bounds. It works in
// coordinates scaled by each parameter's size (in logarithms for one
// bounded below by a positive value), so that a scale of 400 and a
// coefficient of 0.01 are equally conditioned, starts from a measured
// Hessian, and needs tens of evaluations per parameter whatever the
// correlation of the estimates.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/interp.h"
#include "estimate/estimate.h"

namespace zav {
namespace {

constexpr Real kArmijo = 1e-4L;    // sufficient decrease, as a fraction of the first-order one
constexpr Real kStepCap = 10;      // one step moves a parameter by at most this many times its size
constexpr int kSearchTrials = 30;  // trial points of one line search

struct Bfgs {
  std::size_t n = 0;
  std::vector<Real> scale, low, high;  // sizes and bounds in the parameters' own units
  std::vector<bool> logMap;            // worked in ln x rather than x / size
  std::vector<Real> g, curv;           // scaled gradient; scaled curvature, 0 where unknown
  std::vector<Real> h;                 // inverse Hessian in scaled coordinates, n x n row-major
  std::vector<Real> work;              // scratch matrix
  std::vector<Real> d;                 // the search direction, scaled
  std::vector<Real> x0, best;          // the current point and the best trial of a search
  std::vector<bool> held;              // parameters held at a bound for this step
  std::vector<Real> fi, hi;            // the Hessian's one-step values and steps
  Real step = 0;                       // the relative difference step
  Real cap = 0;                        // the longest step allowed along d
  bool analytic = true;                // the model gives its gradient; tried until it fails once
  std::vector<Real> exact;             // that gradient, unscaled
};

// A parameter's size: its start value, or for a start of 0 a unit or half
// the width of a narrower finite bound interval. Default bounds
// (+-INFINITY/2) say nothing about the size.
Real parameterScale(const Settings& s, Real start, Real low, Real high) {
  if (start != 0) return std::fabs(start);
  const Real big = s.infinity / 4;
  if (low > -big && high < big && high > low) return std::min<Real>(1, (high - low) / 2);
  return 1;
}

// How far a unit of the working coordinate moves parameter i at x: its size,
// or x itself for a parameter worked in logarithms.
Real unitAt(const Bfgs& b, std::size_t i, Real x) { return b.logMap[i] ? x : b.scale[i]; }

// The working coordinate of a move from x0 to x.
Real coordinateChange(const Bfgs& b, std::size_t i, Real x0, Real x) {
  return b.logMap[i] ? std::log(x / x0) : (x - x0) / b.scale[i];
}

// The scaled gradient at the current point by central differences (one-sided
// next to a bound, as the conjugate-gradient methods do), with the curvature
// that each central pair measures at no extra cost.
void gradient(Interp& in, Bfgs& b, Real f0) {
  if (b.analytic && objectiveGradient(in, b.exact)) {
    for (std::size_t i = 0; i < b.n; ++i) {
      b.g[i] = b.exact[i] * unitAt(b, i, paramValue(in, i));
      b.curv[i] = 0;
    }
    return;
  }
  b.analytic = false;
  for (std::size_t i = 0; i < b.n; ++i) {
    Real& x = paramValue(in, i);
    const Real xc = x;
    Real dx = b.step * std::max(std::fabs(xc), b.scale[i]);
    bool down = !(xc - dx < b.low[i]);
    bool up = !(xc + dx > b.high[i]);
    if (!down && !up) {
      dx = std::min(xc - b.low[i], b.high[i] - xc) / 2;
      down = up = dx > 0;
    }
    Real xUp = xc, xDown = xc, fUp = f0, fDown = f0;
    if (up) {
      x = xUp = xc + dx;
      fUp = objective(in);
    }
    if (down) {
      x = xDown = xc - dx;
      fDown = objective(in);
    }
    x = xc;
    Real slope = 0, curv = 0;
    if (up && down) {
      slope = (fUp - fDown) / (xUp - xDown);
      curv = ((fUp - f0) / (xUp - xc) - (f0 - fDown) / (xc - xDown)) / ((xUp - xDown) / 2);
    } else if (up) {
      slope = (fUp - f0) / (xUp - xc);
    } else if (down) {
      slope = (f0 - fDown) / (xc - xDown);
    }
    const Real u = unitAt(b, i, xc);
    b.g[i] = slope * u;
    // d2f/du2 of x = e^u has the slope's term besides the curvature's.
    b.curv[i] = curv * u * u + (b.logMap[i] && curv != 0 ? slope * u : 0);
  }
}

bool usable(Real c) { return c > 0 && std::isfinite(c); }

// The inverse of the Hessian at the current point (objective f0), measured
// by forward differences in steps of MACHINE_EPSILON^(1/4) of each
// parameter's size, the diagonal taken from the central differences of the
// last gradient where it measured one: n(n+1)/2 evaluations at most. Off
// the diagonal it holds what the diagonal start lacks, how the parameters
// pull on each other: a covariate far from 0 and the intercept it trades
// with, or the shape and power of a flat ridge. False (the matrix left as
// it was) when the room in MAXEVALS, a bound or a Hessian that is not
// positive definite does not allow it.
// With the scores at hand each column of the Hessian is the change of the
// gradient over one forward step: n evaluations, and none of the cancellation
// that second differences of the objective suffer on a long flat ridge.
bool hessianFromScores(Interp& in, Bfgs& b) {
  const std::size_t n = b.n;
  const Settings& s = in.set;
  if (s.evals + static_cast<std::int64_t>(n) > s.maxEvals) return false;
  const Real q = std::sqrt(s.machineEpsilon);
  b.work.assign(n * n, 0);
  for (std::size_t j = 0; j < n; ++j) {
    Real& x = paramValue(in, j);
    const Real xc = x;
    Real h = q * std::max(std::fabs(xc), b.scale[j]);
    if (xc + h > b.high[j]) h = -h;
    if (!(xc + h <= b.high[j] && xc + h >= b.low[j])) return false;
    x = xc + h;
    const bool scored = objectiveGradient(in, b.exact);
    const Real du = coordinateChange(b, j, xc, x);
    for (std::size_t i = 0; scored && i < n; ++i)
      b.work[i * n + j] = (b.exact[i] * unitAt(b, i, paramValue(in, i)) - b.g[i]) / du;
    x = xc;
    if (!scored) return false;
  }
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < i; ++j) b.work[i * n + j] = b.work[j * n + i] = (b.work[i * n + j] + b.work[j * n + i]) / 2;
  for (Real v : b.work)
    if (!std::isfinite(v)) return false;
  if (!invertPositive(b.work, n)) return false;
  b.h.swap(b.work);
  return true;
}

bool measureHessian(Interp& in, Bfgs& b, Real f0) {
  const std::size_t n = b.n;
  const Settings& s = in.set;
  if (!std::isfinite(f0) || s.evals + static_cast<std::int64_t>(n * (n + 3) / 2) > s.maxEvals) return false;
  if (b.analytic) return hessianFromScores(in, b);
  const Real q = std::sqrt(std::sqrt(s.machineEpsilon));
  b.fi.assign(n, 0);
  b.hi.assign(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    Real& x = paramValue(in, i);
    const Real xc = x;
    Real h = q * std::max(std::fabs(xc), b.scale[i]);
    if (xc + 2 * h > b.high[i]) h = -h;
    if (!(xc + 2 * h <= b.high[i] && xc + 2 * h >= b.low[i])) return false;
    x = xc + h;
    b.fi[i] = objective(in);
    x = xc;
    b.hi[i] = h;
  }
  b.work.assign(n * n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    Real& x = paramValue(in, i);
    const Real xc = x;
    Real c = b.curv[i];
    if (c == 0) {
      x = xc + 2 * b.hi[i];
      const Real f2 = objective(in);
      x = xc;
      const Real u = unitAt(b, i, xc);
      c = (f2 - 2 * b.fi[i] + f0) / (b.hi[i] * b.hi[i]) * u * u + (b.logMap[i] ? b.g[i] : 0);
    }
    b.work[i * n + i] = c;
    for (std::size_t j = 0; j < i; ++j) {
      Real& y = paramValue(in, j);
      const Real yc = y;
      x = xc + b.hi[i];
      y = yc + b.hi[j];
      const Real fij = objective(in);
      x = xc;
      y = yc;
      const Real v = (fij - b.fi[i] - b.fi[j] + f0) / (b.hi[i] * b.hi[j]) * unitAt(b, i, xc) * unitAt(b, j, yc);
      b.work[i * n + j] = b.work[j * n + i] = v;
    }
  }
  for (Real v : b.work)
    if (!std::isfinite(v)) return false;
  if (!invertPositive(b.work, n)) return false;
  b.h.swap(b.work);
  return true;
}

// A fresh inverse Hessian: the reciprocal of each measured curvature, and
// for the parameters without a usable one the typical (geometric mean) of
// the others, or else a unit step along the steepest gradient.
void resetMatrix(Bfgs& b) {
  Real logSum = 0;
  int known = 0;
  for (Real c : b.curv)
    if (usable(c)) {
      logSum += std::log(c);
      ++known;
    }
  Real fallback = 1;
  if (known > 0) {
    fallback = std::exp(-logSum / known);
  } else {
    Real gmax = 0;
    for (Real v : b.g) gmax = std::max(gmax, std::fabs(v));
    if (gmax > 0) fallback = 1 / gmax;
  }
  std::fill(b.h.begin(), b.h.end(), Real(0));
  for (std::size_t i = 0; i < b.n; ++i) b.h[i * b.n + i] = usable(b.curv[i]) ? 1 / b.curv[i] : fallback;
}

// Before each update the Hessian that the matrix stands for takes the
// curvature measured at the new point on its diagonal (where that keeps it
// positive definite); the update then makes it agree with the last step.
// The diagonal costs nothing, since the central differences measure it.
void measuredDiagonal(Bfgs& b) {
  const std::size_t n = b.n;
  b.work = b.h;
  if (!invertPositive(b.work, n)) return;
  for (std::size_t i = 0; i < n; ++i)
    if (usable(b.curv[i])) b.work[i * n + i] = b.curv[i];
  if (invertPositive(b.work, n)) b.h.swap(b.work);
}

// Without measured curvature, the first step's s'y / y'y sizes the
// starting matrix before its first update.
void initialScale(Bfgs& b, const std::vector<Real>& s, const std::vector<Real>& y) {
  Real sy = 0, yy = 0;
  for (std::size_t i = 0; i < b.n; ++i) {
    sy += s[i] * y[i];
    yy += y[i] * y[i];
  }
  if (!(sy > 0 && yy > 0)) return;
  std::fill(b.h.begin(), b.h.end(), Real(0));
  for (std::size_t i = 0; i < b.n; ++i) b.h[i * b.n + i] = sy / yy;
}

// The quasi-Newton direction over the parameters not held at a bound. A
// parameter on its bound whose gradient points outward is held; the inverse
// Hessian of the others is the Schur complement of the held block, which a
// sweep over each held pivot leaves in place. Returns the decrease that the
// quadratic model predicts for the full step, -g'd/2.
Real direction(Interp& in, Bfgs& b) {
  const std::size_t n = b.n;
  for (std::size_t i = 0; i < n; ++i) {
    const Real x = paramValue(in, i);
    b.held[i] = (x <= b.low[i] && b.g[i] > 0) || (x >= b.high[i] && b.g[i] < 0) || b.low[i] >= b.high[i];
  }
  for (;;) {
    b.work = b.h;
    for (std::size_t k = 0; k < n; ++k)
      if (b.held[k] && b.work[k * n + k] > 0) sweepPivot(b.work, n, k);
    for (std::size_t i = 0; i < n; ++i) {
      Real v = 0;
      if (!b.held[i])
        for (std::size_t j = 0; j < n; ++j)
          if (!b.held[j]) v -= b.work[i * n + j] * b.g[j];
      b.d[i] = v;
    }
    // A free parameter on its bound that the step would push outward joins
    // the held ones, so that the step is a descent direction inside the box.
    bool changed = false;
    for (std::size_t i = 0; i < n; ++i) {
      if (b.held[i]) continue;
      const Real x = paramValue(in, i);
      if ((x <= b.low[i] && b.d[i] < 0) || (x >= b.high[i] && b.d[i] > 0)) b.held[i] = changed = true;
    }
    if (!changed) break;
  }
  Real slope = 0;
  for (std::size_t i = 0; i < n; ++i) slope += b.g[i] * b.d[i];
  return -slope / 2;
}

// Sets the parameters to the current point plus `alpha` times the
// direction, projected onto the bounds; returns the first-order change
// g'(x - x0) of that move.
Real moveTo(Interp& in, const Bfgs& b, Real alpha) {
  Real change = 0;
  for (std::size_t i = 0; i < b.n; ++i) {
    const Real step = alpha * b.d[i];
    const Real x = std::clamp(b.logMap[i] ? b.x0[i] * std::exp(step) : b.x0[i] + step * b.scale[i], b.low[i], b.high[i]);
    paramValue(in, i) = x;
    change += b.g[i] * coordinateChange(b, i, b.x0[i], x);
  }
  return change;
}

void keepBest(Interp& in, Bfgs& b, Real f, Real& fBest) {
  fBest = f;
  for (std::size_t i = 0; i < b.n; ++i) b.best[i] = paramValue(in, i);
}

// After a first step that was good enough, one more trial where the parabola
// through f0, the slope at 0 and f(alpha) has its minimum, when that lies
// well away from alpha: it costs one evaluation against a gradient's 2n,
// repairs a quasi-Newton step of the wrong length, and makes the search
// exact on a quadratic. Keeps the better of the two points.
void refine(Interp& in, Bfgs& b, Real f0, Real slope, Real alpha, Real f, Real& fBest) {
  if (in.set.evals >= in.set.maxEvals) return;
  const Real curvature = f - f0 - slope * alpha;
  Real next = curvature > 0 ? -slope * alpha * alpha / (2 * curvature) : 4 * alpha;
  next = std::min(next, b.cap);
  if (!(next > 1.25L * alpha || next < 0.8L * alpha)) return;
  moveTo(in, b, next);
  const Real fNext = objective(in);
  if (fNext < fBest) keepBest(in, b, fNext, fBest);
}

// Backtracks from the full quasi-Newton step (cut so that no parameter moves
// by more than kStepCap times its size) until the Armijo condition holds,
// each cut by a safeguarded quadratic interpolation. Leaves the parameters at
// the best point tried when it is better than the current one, else at the
// current one; returns that point's objective.
Real lineSearch(Interp& in, Bfgs& b, Real f0, bool& moved) {
  const Settings& s = in.set;
  Real slope = 0, longest = 0;
  for (std::size_t i = 0; i < b.n; ++i) {
    b.x0[i] = paramValue(in, i);
    slope += b.g[i] * b.d[i];
    // A parameter worked in logarithms moves by a factor of 1 + kStepCap
    // at most.
    const Real reach = b.logMap[i] ? std::fabs(b.d[i]) * kStepCap / std::log1p(kStepCap)
                                   : std::fabs(b.d[i]) / std::max<Real>(1, std::fabs(b.x0[i] / b.scale[i]));
    longest = std::max(longest, reach);
  }
  moved = false;
  Real fBest = f0;
  if (!(slope < 0) || !(longest > 0)) return f0;
  b.cap = kStepCap / longest;
  Real alpha = std::min<Real>(1, b.cap);
  const Real shortest = b.step * 1e-3L;
  for (int trial = 0; trial < kSearchTrials && s.evals < s.maxEvals; ++trial) {
    const Real change = moveTo(in, b, alpha);
    const Real f = objective(in);
    if (f < fBest) {
      keepBest(in, b, f, fBest);
      moved = true;
      if (f <= f0 + kArmijo * change) {
        if (trial == 0 && f0 - f > s.epsilon) refine(in, b, f0, slope, alpha, f, fBest);
        break;
      }
    }
    // The minimum of the parabola through f0, the slope at 0 and f(alpha),
    // kept within a tenth and a half of alpha (a tenth when f is not finite).
    const Real curvature = f - f0 - slope * alpha;
    Real next = curvature > 0 ? -slope * alpha * alpha / (2 * curvature) : alpha / 2;
    if (!(next >= alpha / 10)) next = alpha / 10;
    if (next > alpha / 2) next = alpha / 2;
    alpha = next;
    if (alpha * longest < shortest) break;
  }
  for (std::size_t i = 0; i < b.n; ++i) paramValue(in, i) = moved ? b.best[i] : b.x0[i];
  return fBest;
}

}  // namespace

void sweepPivot(std::vector<Real>& a, std::size_t n, std::size_t k) {
  const Real pivot = a[k * n + k];
  for (std::size_t j = 0; j < n; ++j)
    if (j != k) a[k * n + j] /= pivot;
  for (std::size_t i = 0; i < n; ++i) {
    if (i == k) continue;
    const Real f = a[i * n + k];
    for (std::size_t j = 0; j < n; ++j)
      if (j != k) a[i * n + j] -= f * a[k * n + j];
    a[i * n + k] = -f / pivot;
  }
  a[k * n + k] = 1 / pivot;
}

bool invertPositive(std::vector<Real>& a, std::size_t n) {
  for (std::size_t k = 0; k < n; ++k) {
    if (!(a[k * n + k] > 0)) return false;
    sweepPivot(a, n, k);
  }
  return true;
}

bool bfgsUpdate(std::vector<Real>& h, std::size_t n, const Real* s, const Real* y, Real* hy) {
  Real sy = 0, ss = 0, yy = 0;
  for (std::size_t i = 0; i < n; ++i) {
    sy += s[i] * y[i];
    ss += s[i] * s[i];
    yy += y[i] * y[i];
  }
  // s'y must be clearly positive, beyond the rounding of the differences.
  if (!(sy > std::sqrt(ss * yy) * 1e-12L)) return false;
  Real yhy = 0;
  for (std::size_t i = 0; i < n; ++i) {
    Real v = 0;
    for (std::size_t j = 0; j < n; ++j) v += h[i * n + j] * y[j];
    hy[i] = v;
    yhy += y[i] * v;
  }
  const Real grow = (1 + yhy / sy) / sy;
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) h[i * n + j] += grow * s[i] * s[j] - (hy[i] * s[j] + s[i] * hy[j]) / sy;
  return true;
}

int bfgs(Interp& in) {
  Settings& s = in.set;
  const RunWork& w = in.models.work;
  const std::size_t n = w.free.size();
  s.evals = 0;
  s.iterations = 0;
  Real f = objective(in);
  s.logLikelihood = f;
  if (n == 0) return 5;
  Bfgs b;
  b.n = n;
  b.low = w.low;
  b.high = w.high;
  b.scale.resize(n);
  for (std::size_t i = 0; i < n; ++i) b.scale[i] = parameterScale(s, paramValue(in, i), w.low[i], w.high[i]);
  // A parameter bounded below by a positive value (a scale, a rate) is
  // worked in logarithms: what trades with it along a ridge (the
  // coefficient of a covariate far from 0, a shape) trades with its
  // logarithm, and the ridge is straight there.
  b.logMap.resize(n);
  for (std::size_t i = 0; i < n; ++i) b.logMap[i] = w.low[i] > 0 && paramValue(in, i) > 0;
  b.g.assign(n, 0);
  b.curv.assign(n, 0);
  b.h.assign(n * n, 0);
  b.d.assign(n, 0);
  b.x0.assign(n, 0);
  b.best.assign(n, 0);
  b.held.assign(n, false);
  b.step = std::cbrt(s.machineEpsilon);
  std::vector<Real> sv(n), yv(n), hy(n);

  // A gradient costs up to 2n evaluations; one that MAXEVALS leaves no room
  // for is not started, so that EVALS never passes the limit.
  const auto roomForGradient = [&] { return s.evals + 2 * static_cast<std::int64_t>(n) <= s.maxEvals; };
  if (!roomForGradient()) return stopCheck(in, 1);
  gradient(in, b, f);
  // Updates since the Hessian was last measured; a diagonal start counts as
  // never measured.
  std::size_t sinceMeasured = 0;
  if (!measureHessian(in, b, f)) {
    resetMatrix(b);
    sinceMeasured = n + 1;
  }
  bool fresh = true;     // the matrix holds no update yet
  bool trusted = sinceMeasured == 0;  // the model has seen the last step
  Real decrease = direction(in, b);
  int reason = 0;
  do {
    ++s.iterations;
    Real expected = decrease;
    const bool trustedBefore = trusted;
    bool moved = false;
    Real fNew = lineSearch(in, b, f, moved);
    if (!moved && !fresh && s.evals < s.maxEvals) {
      // The accumulated matrix led nowhere: start again from the curvature.
      resetMatrix(b);
      fresh = true;
      trusted = false;
      sinceMeasured = n + 1;
      expected = decrease = direction(in, b);
      fNew = lineSearch(in, b, f, moved);
    }
    s.deltaLL = f - fNew;
    f = fNew;
    s.logLikelihood = f;
    // Converged when the last step gained no more than EPSILON and the
    // quadratic model, trusted, expected no more than that from it, or
    // expects no more from the next one. The model's prediction is trusted
    // once an update has taken in the last step: a fresh diagonal, or one
    // whose last update was skipped, knows nothing of how the parameters
    // pull on each other, and along a narrow valley it predicts a tiny gain
    // far from the maximum. A stretch of tiny steps along a large gradient
    // does not pass, nor does a prediction that is not a number. A point
    // reached from one that a trusted model already called optimal needs no
    // gradient of its own.
    const bool small = s.iterations >= s.minimumIts && !(s.epsilon < s.deltaLL);
    bool done = small && trustedBefore && sinceMeasured <= n && expected <= s.epsilon;
    if (!done && moved && !roomForGradient()) {
      reason = 1;
    } else if (!done && moved) {
      for (std::size_t i = 0; i < n; ++i) {
        sv[i] = coordinateChange(b, i, b.x0[i], paramValue(in, i));
        yv[i] = -b.g[i];
      }
      gradient(in, b, f);
      for (std::size_t i = 0; i < n; ++i) yv[i] += b.g[i];
      if (sinceMeasured > n) measuredDiagonal(b);
      // An analytic gradient measures no curvature: the first step sizes a
      // diagonal start, never a measured Hessian.
      if (fresh && b.analytic && sinceMeasured > n) initialScale(b, sv, yv);
      trusted = bfgsUpdate(b.h, n, sv.data(), yv.data(), hy.data());
      fresh = false;
      ++sinceMeasured;
      decrease = direction(in, b);
      done = small && trusted && decrease <= s.epsilon;
      // Before calling it converged on a matrix built up over more steps
      // than there are parameters, measure the Hessian here and ask again.
      if (done && sinceMeasured > n && measureHessian(in, b, f)) {
        sinceMeasured = 0;
        decrease = direction(in, b);
        done = decrease <= s.epsilon;
      }
    }
    if (iterationDue(in, s.iterations)) iterationTrace(in, s.iterations, f, s.deltaLL);
    // A point no step improves on: at the maximum when the fresh model of
    // the measured curvature expects nothing more, else stuck.
    if (done || (!moved && fresh && small && decrease <= s.epsilon)) reason = 5;
    else if (!moved && !(decrease <= s.epsilon) && s.evals < s.maxEvals) reason = 6;
    reason = stopCheck(in, reason);
    if (reason == 0 && monitorPoll(in)) runMonitor(in, "In bfgs iteration " + std::to_string(s.iterations));
  } while (reason == 0);
  return reason;
}

}  // namespace zav
