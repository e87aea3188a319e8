// Simulated annealing (METHOD = ANNEALING) after Corana: random moves along
// one coordinate at a time within per-parameter step lengths, Metropolis
// acceptance of downhill moves at a temperature lowered geometrically, and
// step lengths adjusted so that about half of the moves are accepted. It
// maximises the log-likelihood f = -objective; the random numbers come from
// the language's generator, so a given RANDOMSEED repeats a run exactly.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/interp.h"
#include "dists/random.h"
#include "estimate/estimate.h"
#include "funcs/numtext.h"

namespace zav {
namespace {

struct Counters {
  long uphill = 0, acceptedDown = 0, rejectedDown = 0, optima = 0, outOfBounds = 0;
};

}  // namespace

Real annealStepLength(const Settings& s, Real v, Real r) {
  Real lower = s.saAdjLowerBound;
  if (lower < 0) lower = 0;
  if (lower > 0.5L) lower = 0.5L;
  const Real upper = 1 - lower;
  const Real c = s.saStepLengthAdj;
  if (s.saAltAdjustment) {
    if (r > upper) v *= std::exp(1.5L * c * (r - lower));
    if (r < lower) v *= std::exp(1.5L * c * (r - upper));
  } else {
    if (r > upper) v *= 1 + c * (r - upper) / lower;
    if (r < lower) v /= 1 + c * (lower - r) / lower;
  }
  return v;
}

int annealing(Interp& in) {
  Settings& s = in.set;
  const RunWork& w = in.models.work;
  const std::size_t n = w.free.size();
  s.evals = 0;
  s.iterations = 0;
  auto num = [&](Real v) { return realToText(s, v, s.realWidth, s.realDecimals); };
  std::vector<Real> step(n, s.saStepLength), x(n), best(n);
  std::vector<long> accepted(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = paramValue(in, i);
    if (x[i] > w.high[i] || !(x[i] >= w.low[i])) return 7;
  }
  if (!(s.saTemperature > 0)) return 8;
  if (s.debug > 0) {
    std::printf("Simulated Annealing over %zu params\n", n);
    std::printf("SA_TEMPERATURE: %s\nSA_COOLING: %s\nSA_ADJ_CYCLES: %d\nSA_STEPS: %d\nSA_EPS_NUMBER: %d\n",
                num(s.saTemperature).c_str(), num(s.saCooling).c_str(), s.saAdjCycles, s.saSteps, s.saEpsNumber);
    std::printf("MAXEVALS: %d\nMAXITER: %d\nSA_STEPLENGTH: %s\nSA_STEPLENGTH_ADJ: %s\nRANDOMSEED: %d\n", s.maxEvals,
                s.maxIter, num(s.saStepLength).c_str(), num(s.saStepLengthAdj).c_str(), s.randomSeed);
  }
  Real f = -objective(in);
  Real fBest = f;
  best = x;
  const std::size_t keep = s.saEpsNumber > 0 ? static_cast<std::size_t>(s.saEpsNumber) : 0;
  std::vector<Real> levels(keep, f);
  Real temperature = s.saTemperature;
  Counters count;
  int reason = 0;
  auto setParams = [&](const std::vector<Real>& v) {
    for (std::size_t i = 0; i < n; ++i) paramValue(in, i) = v[i];
  };
  auto table = [&](const char* head, bool current) {
    std::printf("%s\n", head);
    for (std::size_t i = 0; i < n; ++i) {
      std::printf("%10zu %s", i + 1, num(step[i]).c_str());
      if (current) std::printf(" %s", num(x[i]).c_str());
      std::printf(" %s\n", num(best[i]).c_str());
    }
  };
  while (reason == 0) {
    ++s.iterations;
    for (int stepNo = 1; stepNo <= s.saSteps && reason == 0; ++stepNo) {
      for (int cycle = 1; cycle <= s.saAdjCycles && reason == 0; ++cycle) {
        for (std::size_t h = 0; h < n && reason == 0; ++h) {
          const Real old = x[h];
          x[h] = old + (2 * randUniform(in) - 1) * step[h];
          if (x[h] < w.low[h] || x[h] > w.high[h]) {
            x[h] = w.low[h] + randUniform(in) * (w.high[h] - w.low[h]);
            ++count.outOfBounds;
            if (s.debug >= 3) std::printf("  Point rejected as out of bounds\n");
          }
          setParams(x);
          const Real fTrial = -objective(in);
          if (s.debug >= 3) {
            std::printf("Initial llik: %s\nParam      Current parameter  Trial parameter\n", num(f).c_str());
            for (std::size_t i = 0; i < n; ++i)
              std::printf("%5zu %18s %16s\n", i + 1, num(i == h ? old : x[i]).c_str(), num(x[i]).c_str());
            std::printf(" Resulting llik: %s\n", num(fTrial).c_str());
          }
          reason = stopCheck(in, 0);
          if (reason != 0) {
            x[h] = old;
            break;
          }
          if (fTrial >= f) {
            f = fTrial;
            ++count.uphill;
            ++accepted[h];
            if (s.debug >= 3) std::printf("Uphill point accepted: %s\n", num(f).c_str());
            if (fTrial >= fBest) {
              fBest = fTrial;
              best = x;
              ++count.optima;
              if (s.debug >= 3) std::printf("new optimum found: %s\n", num(fBest).c_str());
            }
          } else if (randUniform(in) < std::exp((fTrial - f) / temperature)) {
            f = fTrial;
            ++count.acceptedDown;
            ++accepted[h];
            if (s.debug >= 3) std::printf("Downhill point accepted: %s\n", num(f).c_str());
          } else {
            x[h] = old;
            ++count.rejectedDown;
            if (s.debug >= 3) std::printf("Downhill point rejected: %s\n", num(fTrial).c_str());
          }
          if (monitorPoll(in)) runMonitor(in, "In SA. Dim. " + std::to_string(h + 1) + " cycle " + std::to_string(cycle) + " step " + std::to_string(stepNo) + " iteration " + std::to_string(s.iterations));
        }
      }
      if (reason != 0) break;
      for (std::size_t i = 0; i < n; ++i) {
        const Real r = static_cast<Real>(accepted[i]) / static_cast<Real>(s.saAdjCycles);
        step[i] = annealStepLength(s, step[i], r);
        if (step[i] > w.high[i] - w.low[i]) step[i] = w.high[i] - w.low[i];
        accepted[i] = 0;
      }
      if (s.debug >= 3 && iterationDue(in, s.iterations)) {
        std::printf("Intermediate result after step length adjustment, iter %d\n", s.iterations);
        table("  Parameter New step length  Current parameter   Best parameter", true);
      }
    }
    if (reason != 0) break;
    s.deltaLL = fBest - f;
    if (iterationDue(in, s.iterations)) {
      std::printf("End of temperature reduction cycle, iter %d) Temperature: %s\n", s.iterations,
                  num(temperature).c_str());
      std::printf("Max loglik: %s del LL: %s\n", num(fBest).c_str(), num(s.deltaLL).c_str());
      std::printf("  New maxima : %ld\nMoves uphill: %ld Accepted downhill: %ld Rejected downhill: %ld\n",
                  count.optima, count.uphill, count.acceptedDown, count.rejectedDown);
      std::printf("Out of bounds adjustments: %ld\n", count.outOfBounds);
      table(" Parameter New step length    Best parameter", false);
    }
    bool settled = !(s.epsilon < s.deltaLL);
    for (Real level : levels)
      if (!(std::fabs(f - level) <= s.epsilon)) settled = false;
    if (settled) {
      reason = 5;
      break;
    }
    setParams(best);
    reason = stopCheck(in, 0);
    if (reason != 0) break;
    temperature *= s.saCooling;
    for (std::size_t i = keep; i > 1; --i) levels[i - 1] = levels[i - 2];
    if (keep > 0) levels[0] = f;
    x = best;
    f = fBest;
  }
  setParams(best);
  s.logLikelihood = -fBest;
  if (s.debug > 0) {
    std::printf("Simulated annealing results:\n LogLikelihood: %s\n Iterations %d  Evals: %d  Accepted: %ld  Out of "
                "bounds: %ld\nFinal temperature: %s\n",
                num(fBest).c_str(), s.iterations, s.evals, count.uphill + count.acceptedDown, count.outOfBounds,
                num(temperature).c_str());
    std::printf("Param  Final step length\n");
    for (std::size_t i = 0; i < n; ++i) std::printf("%5zu  %s\n", i + 1, num(step[i]).c_str());
  }
  return reason;
}

}  // namespace zav
