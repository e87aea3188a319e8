// The direct search (METHOD = DIRECT or POWELL): each iteration minimises
// the objective along every free parameter in turn over its whole
// [LOW, HIGH] interval, visiting first the coordinates that gained most. A
// parameter's scale for the line search is its magnitude, at least 1.
#include "estimate/powell.h"

#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "core/interp.h"
#include "estimate/estimate.h"

namespace zav {

int directSearch(Interp& in) {
  Settings& s = in.set;
  const RunWork& w = in.models.work;
  const std::size_t n = w.free.size();
  int reason = 0;
  s.evals = 0;
  s.iterations = 0;
  if (n == 0) {
    s.logLikelihood = objective(in);
    return 5;
  }
  std::vector<Real> improvement(n, 0);
  std::vector<std::size_t> order(n);
  std::size_t last = n;  // none yet
  Real f = objective(in);
  do {
    ++s.iterations;
    const Real previous = f;
    const Real tol =
        s.minimumIts > 0 && s.iterations < s.minimumIts + 1 ? std::pow(10.0L, s.minimumIts - 1) * s.epsilon : s.epsilon;
    Real tol1d = tol / static_cast<Real>(n + 1);
    if (tol1d < s.machineEpsilon) tol1d = s.machineEpsilon;
    for (std::size_t i = 0; i < n; ++i) order[i] = i;
    if (s.iterations > 1) {
      for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
          if (improvement[order[j]] > improvement[order[i]]) std::swap(order[i], order[j]);
      if (order[0] == last && n >= 2) std::swap(order[0], order[1]);
    }
    for (std::size_t i = 0; i < n; ++i) {
      const std::size_t k = order[i];
      if (s.debug > 10) std::printf("%zu Dim %zu of %zu\n", i + 1, k + 1, n);
      const Real before = f;
      Real& x = paramValue(in, k);
      const Real scale = std::fabs(x) > 1 ? std::fabs(x) : 1;
      const LineMin best = lineMinimise(in, w.low[k], w.high[k], x, x, scale, tol1d, [&](Real u) {
        x = u;
        return objective(in);
      });
      x = best.x;
      f = best.f;
      improvement[k] = before - f;
      last = k;
      if (monitorPoll(in)) runMonitor(in, "In direct iteration " + std::to_string(s.iterations));
    }
    s.deltaLL = std::fabs(previous - f);
    s.logLikelihood = f;
    if (iterationDue(in, s.iterations)) iterationTrace(in, s.iterations, f, s.deltaLL);
    if (!(s.epsilon < s.deltaLL) && s.iterations >= s.minimumIts) reason = 5;
    reason = stopCheck(in, reason);
  } while (reason == 0);
  s.logLikelihood = f;
  return reason;
}

}  // namespace zav
