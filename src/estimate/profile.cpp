// The profile likelihood behind --profile-ci: minus the log-likelihood with
// one free parameter held where the interval search put it and every other
// free parameter re-maximised, so that correlated estimates move along
// instead of staying at their values at the optimum.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/interp.h"
#include "estimate/estimate.h"

namespace zav {

Real profileObjective(Interp& in, std::size_t k) {
  RunWork& w = in.models.work;
  Settings& s = in.set;
  const std::size_t n = w.free.size();
  if (n < 2) return objective(in);
  // The others sit at their estimates between calls: the warm start, and
  // where they go back to afterwards.
  std::vector<Real> estimates(n);
  for (std::size_t i = 0; i < n; ++i) estimates[i] = paramValue(in, i);

  // Hold parameter k by taking it out of the run's free list for the fit.
  const auto at = static_cast<std::ptrdiff_t>(k);
  ModelParam* held = w.free[k];
  const Real low = w.low[k], high = w.high[k], start = w.start[k];
  w.free.erase(w.free.begin() + at);
  w.low.erase(w.low.begin() + at);
  w.high.erase(w.high.begin() + at);
  w.start.erase(w.start.begin() + at);

  // The fit is a step of the interval search, not a run: it leaves the run's
  // counters, trace and restart file as they were and adds its evaluations.
  struct Saved {
    std::int32_t evals, iterations, iterationPrint;
    Real logLikelihood, deltaLL;
    bool verbose, writeStartFile;
  } const saved{s.evals, s.iterations, s.iterationPrint, s.logLikelihood, s.deltaLL, s.verbose, s.writeStartFile};
  s.verbose = false;
  s.iterationPrint = 0;
  s.writeStartFile = false;
  bfgs(in);
  const Real f = s.logLikelihood;
  const std::int32_t spent = s.evals;
  s.evals = saved.evals + spent;
  s.iterations = saved.iterations;
  s.logLikelihood = saved.logLikelihood;
  s.deltaLL = saved.deltaLL;
  s.verbose = saved.verbose;
  s.iterationPrint = saved.iterationPrint;
  s.writeStartFile = saved.writeStartFile;

  w.free.insert(w.free.begin() + at, held);
  w.low.insert(w.low.begin() + at, low);
  w.high.insert(w.high.begin() + at, high);
  w.start.insert(w.start.begin() + at, start);
  const Real theta = paramValue(in, k);
  for (std::size_t i = 0; i < n; ++i) paramValue(in, i) = estimates[i];
  paramValue(in, k) = theta;
  return f;
}

std::string profileLevelLine(Real ciChisq) {
  // P(chi-square(1) <= 2c) = erf(sqrt(c))
  const Real level = ciChisq > 0 ? 100 * std::erf(std::sqrt(ciChisq)) : 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "Profile likelihood intervals at %.1Lf%%\n", level);
  return buf;
}

}  // namespace zav
