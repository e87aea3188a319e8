// Likelihood confidence limits: for each free parameter, the values on
// either side of its estimate where minus the log-likelihood has risen by
// CI_CHISQ, the other parameters held at their estimates. Each limit is a
// regula falsi root search (Illinois variant) between the estimate and a
// point just inside the parameter's bound.
#include <cmath>
#include <cstdio>
#include <string>

#include "core/interp.h"
#include "estimate/estimate.h"
#include "estimate/intervals.h"
#include "estimate/powell.h"
#include "funcs/numtext.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

Real& realCell(const Symbol& s) { return *static_cast<Real*>(elementBlock(s)); }

// The two ends a limit's search starts from: the estimate and the far point
// by default. When the bound lies far beyond the parameter's scale (the
// default bounds are +-INFINITY/2) a secant from the estimate to it lands
// no nearer the limit than the bound itself, so the limit is bracketed
// first, as the line searches do: steps outward from the estimate that
// double from scale/10, the last point still inside the interval becoming
// the near end. Without a sign change within kMaxSteps the far point is
// tried as usual.
struct CiEnds {
  Real near, rNear, far, rFar;
};

template <class F>
CiEnds ciEnds(Real estimate, Real rEstimate, Real far, F&& residual) {
  constexpr int kMaxSteps = 64;
  const Real scale = std::fabs(estimate) > 1 ? std::fabs(estimate) : 1;
  const Real dir = far < estimate ? -1 : 1;
  if (std::fabs(far - estimate) > kWideBounds * scale) {
    Real near = estimate, rNear = rEstimate, step = scale / 10;
    for (int i = 0; i < kMaxSteps; ++i, step *= 2) {
      const Real u = estimate + dir * step;
      if (dir * (far - u) <= 0) break;
      const Real ru = residual(u);
      if (!(ru > 0)) return {near, rNear, u, ru};
      near = u;
      rNear = ru;
    }
    return {near, rNear, far, residual(far)};
  }
  return {estimate, rEstimate, far, residual(far)};
}

}  // namespace


void confidenceLimits(Interp& in) {
  Settings& s = in.set;
  const RunWork& w = in.models.work;
  const Real chisq = getRealByName(in, "CI_CHISQ");
  const Real delta = getRealByName(in, "CI_LIMIT_DELTA");
  const Real converge = getRealByName(in, "CI_CONVERGE");
  const int maxIts = getIntegerByName(in, "CI_MAXITS");
  const Real tolerance = converge > s.machineEpsilon ? converge : s.machineEpsilon;
  const Real fHat = s.logLikelihood;
  auto num = [&](Real x) { return realToText(s, x, s.realWidth, s.realDecimals); };
  for (std::size_t k = 0; k < w.free.size(); ++k) {
    Real& x = paramValue(in, k);
    const Real estimate = x;
    int calls = 0;  // residuals of the current side: the far point's, then one per iteration
    auto residual = [&](Real theta) {
      if (calls++ > 0 && monitorPoll(in)) runMonitor(in, "Computing CI for parameter " + std::to_string(k + 1) + " iteration " + std::to_string(calls - 1));
      x = theta;
      const Real f = in.opts.profileCi ? profileObjective(in, k) : objective(in);
      x = estimate;
      return 2 * (fHat + chisq - f);
    };
    struct Side {
      const char* word;
      Real far;
      Symbol* target;
    };
    const Side sides[] = {{"Upper", w.high[k] - delta, w.free[k]->uciSym},
                          {"Lower", w.low[k] + delta, w.free[k]->lciSym}};
    for (const Side& side : sides) {
      calls = 0;
      const CiEnds e = ciEnds(estimate, 2 * chisq, side.far, residual);
      const CiSearch r = ciSearch(e.near, e.rNear, e.far, e.rFar, tolerance, maxIts, residual);
      realCell(*side.target) = r.limit;
      const std::string head = std::string("Warning: ") + side.word + " Interval for param " + std::to_string(k + 1);
      if (r.status == 6)
        std::printf("%s not bound between %s and %s\n", head.c_str(), num(estimate).c_str(), num(side.far).c_str());
      else if (r.status == 2)
        std::printf("%s did not converge to %s in %d iterations\n", head.c_str(), num(converge).c_str(), maxIts);
    }
    x = estimate;
  }
}

}  // namespace zav
