// The downhill simplex (METHOD = SIMPLEX): n + 1 vertices reflected,
// extended, contracted and shrunk until their objective values agree. Trial
// points outside the bounds get the bounded objective's pseudolikelihood,
// which costs no likelihood evaluation and pushes the simplex back inside.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/interp.h"
#include "estimate/estimate.h"
#include "funcs/numtext.h"

namespace zav {
namespace {

std::string num(const Interp& in, Real x, int w, int d) { return realToText(in.set, x, w, d); }

struct Simplex {
  std::size_t n = 0;
  std::vector<Real> p;     // vertex v, coordinate j at p[v * n + j]
  std::vector<Real> y;     // objective of each vertex
  std::vector<Real> psum;  // coordinate sums over the vertices
  std::vector<Real> trial;
  std::size_t best = 0, worst = 0, nextWorst = 0;

  Real* vertex(std::size_t v) { return p.data() + v * n; }

  void sums() {
    for (std::size_t j = 0; j < n; ++j) {
      Real sum = 0;
      for (std::size_t v = 0; v <= n; ++v) sum += p[v * n + j];
      psum[j] = sum;
    }
  }

  void setParams(Interp& in, const Real* x) const {
    for (std::size_t j = 0; j < n; ++j) paramValue(in, j) = x[j];
  }
};

}  // namespace

void simplexRank(const std::vector<Real>& y, std::size_t& best, std::size_t& worst, std::size_t& nextWorst) {
  best = 0;
  if (y[0] > y[1]) {
    worst = 0;
    nextWorst = 1;
  } else {
    worst = 1;
    nextWorst = 0;
  }
  for (std::size_t i = 0; i < y.size(); ++i) {
    if (y[i] < y[best]) best = i;
    if (y[i] > y[worst]) {
      nextWorst = worst;
      worst = i;
    } else if (y[i] > y[nextWorst] && i != worst) {
      nextWorst = i;
    }
  }
}

void simplexTrialPoint(const Real* psum, const Real* worst, std::size_t n, Real factor, Real* trial) {
  const Real f1 = (1 - factor) / static_cast<Real>(n);
  const Real f2 = f1 - factor;
  for (std::size_t j = 0; j < n; ++j) trial[j] = psum[j] * f1 - worst[j] * f2;
}

Real simplexFirstVertex(Real start, Real low, Real high) {
  // Halfway between LOW and START; a start sitting on LOW would give a
  // vertex equal to the start and a flat simplex that never moves that
  // coordinate, so then go halfway towards HIGH instead.
  if (start > low) return low + (start - low) / 2;
  return start + (high - start) / 2;
}

int simplexSearch(Interp& in) {
  Settings& s = in.set;
  const RunWork& w = in.models.work;
  Simplex sx;
  const std::size_t n = sx.n = w.free.size();
  s.evals = 0;
  s.iterations = 0;
  if (n == 0) {
    s.logLikelihood = objective(in);
    return 5;
  }
  sx.p.assign(n * (n + 1), 0);
  sx.y.assign(n + 1, 0);
  sx.psum.assign(n, 0);
  sx.trial.assign(n, 0);
  std::vector<Real> start(n);
  for (std::size_t j = 0; j < n; ++j) start[j] = paramValue(in, j);
  for (std::size_t v = 0; v <= n; ++v) {
    Real* x = sx.vertex(v);
    for (std::size_t j = 0; j < n; ++j) x[j] = start[j];
    if (v < n) x[v] = simplexFirstVertex(start[v], w.low[v], w.high[v]);
    sx.setParams(in, x);
    sx.y[v] = objective(in);
    if (s.debug > 19) {
      std::string line = "y, ylik " + std::to_string(v + 1) + " " + num(in, sx.y[v], 10, 10);
      for (std::size_t j = 0; j < n; ++j) {
        line += ' ';
        line += num(in, x[j], 10, 10);
      }
      std::printf("%s\n", line.c_str());
    }
  }
  sx.sums();

  // Reflects (factor -alpha), extends (gamma) or contracts (beta) the worst
  // vertex through the centroid of the others; keeps the trial when better.
  auto tryPoint = [&](Real factor) {
    if (s.debug > 2) {
      if (factor == -s.simplexAlpha) std::printf("alpha expansion\n");
      else if (factor == s.simplexBeta) std::printf("beta contraction\n");
      else if (factor == s.simplexGamma) std::printf("gamma extrapolation\n");
    }
    Real* worst = sx.vertex(sx.worst);
    simplexTrialPoint(sx.psum.data(), worst, n, factor, sx.trial.data());
    sx.setParams(in, sx.trial.data());
    const Real yTry = boundedObjective(in);
    if (yTry < sx.y[sx.worst]) {
      sx.y[sx.worst] = yTry;
      for (std::size_t j = 0; j < n; ++j) {
        sx.psum[j] += sx.trial[j] - worst[j];
        worst[j] = sx.trial[j];
      }
    }
    return yTry;
  };

  int reason = 0;
  for (;;) {
    simplexRank(sx.y, sx.best, sx.worst, sx.nextWorst);
    s.deltaLL = std::fabs(sx.y[sx.worst] - sx.y[sx.best]);
    s.logLikelihood = sx.y[sx.best];
    // The trace and the stop check (with the restart file it writes) see
    // the best vertex.
    sx.setParams(in, sx.vertex(sx.best));
    if (iterationDue(in, s.iterations)) iterationTrace(in, s.iterations, sx.y[sx.worst], s.deltaLL);
    if (!(s.epsilon < s.deltaLL)) reason = 5;
    reason = stopCheck(in, reason);
    if (reason != 0) break;
    ++s.iterations;
    const Real yTry = tryPoint(-s.simplexAlpha);
    if (yTry < sx.y[sx.best]) {
      tryPoint(s.simplexGamma);
    } else if (yTry >= sx.y[sx.nextWorst]) {
      const Real saved = sx.y[sx.worst];
      if (tryPoint(s.simplexBeta) >= saved) {
        const Real* b = sx.vertex(sx.best);
        for (std::size_t v = 0; v <= n; ++v) {
          if (v == sx.best) continue;
          Real* x = sx.vertex(v);
          for (std::size_t j = 0; j < n; ++j) x[j] = 0.5L * (x[j] + b[j]);
          sx.setParams(in, x);
          sx.y[v] = boundedObjective(in);
        }
        sx.sums();
      }
    }
    if (s.debug > 1) {
      std::string line = "Simplex it: " + std::to_string(s.iterations) + " (" + std::to_string(s.evals) +
                         ") ll = " + num(in, sx.y[sx.worst], 0, 5) + " d(ll) = " + num(in, s.deltaLL, 0, 8) + "\n";
      const Real* x = sx.vertex(sx.worst);
      for (std::size_t j = 0; j < n; ++j) {
        line += ' ';
        line += std::to_string(j + 1);
        line += ": ";
        line += num(in, x[j], 0, 8);
      }
      std::printf("%s\n", line.c_str());
    }
    if (monitorPoll(in)) runMonitor(in, "In simplex iteration " + std::to_string(s.iterations));
  }
  sx.setParams(in, sx.vertex(sx.best));
  s.logLikelihood = sx.y[sx.best];
  return reason;
}

}  // namespace zav
