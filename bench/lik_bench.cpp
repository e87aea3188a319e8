// One evaluation of the right-censored Weibull log-likelihood over 100,000
// generated observations, through the interpreter (a DATA form evaluated
// with evalReal) beside a hand-written long-double loop of the same formula,
// without and with a HAZARD covariate, on one and on two threads. The ratio
// to the hand loop is what counts; the machines are shared and noisy:
//   build/lik_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "driver/driver.h"
#include "estimate/modelstate.h"
#include "estimate/workers.h"
#include "funcs/eval.h"
#include "parse/exprparse.h"
#include "scan/scanner.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

constexpr Real kA = 2.1L, kB = 1.4L, kBeta = -0.6L;

// Times from a Weibull law with scale a exp(beta x / b) (the proportional
// hazard exp(beta x)), censored at a uniform time on (0, 3).
constexpr const char* kProgram = R"(ZAV
  PRINT_BASIC = FALSE
  PRINT_DATA_STATS = FALSE
  CREATE_OBS = 100000
  SEED(20261208)
  DATA
    x = RAND
    u = RAND
    t0 = 2.1 * EXP(LN(-LN(u)) / 1.4 + 0.6 * x / 1.4)
    c = 3 * RAND
    t = MIN(t0, c)
    tc = IF t0 > c THEN INFINITY ELSE t END
  END
END
)";

struct Fixture {
  Interp in;
  Model model;  // the HAZARD clause is parsed inside a model
  std::unique_ptr<ExprNode> plain, hazard;
  std::vector<Real> t, tc, x;
  bool ready = false;

  explicit Fixture(int threads) {
    char path[] = "/tmp/zav_lik_benchXXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return;
    const std::string text(kProgram);
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    const char* argv[] = {"zav", "-q", path};
    const int status = written ? runDriver(in, 3, argv) : 1;
    unlink(path);
    if (status != 0) return;
    in.workerThreads = threads;
    if (threads > 1) in.workers = std::make_unique<WorkerPool>(threads);
    plain.reset(parse("DATA PDF WEIBULL(t, tc) 2.1, 1.4 END END"));
    in.models.parsing = &model;
    hazard.reset(parse("DATA PDF WEIBULL(t, tc) 2.1, 1.4, HAZARD COVAR x PARAM beta END END END"));
    in.models.parsing = nullptr;
    setReal(in, *lookup(in, "beta"), 1, kBeta);
    auto column = [&](const char* name, std::vector<Real>& out) {
      const Symbol* s = lookup(in, name);
      const Real* v = static_cast<const Real*>(elementBlock(*s));
      out.assign(v, v + in.set.nObs);
    };
    column("t", t);
    column("tc", tc);
    column("x", x);
    ready = true;
  }

  ExprNode* parse(const char* text) {
    resetScanner(in);
    in.drv.args = {"zav", text};
    in.drv.inlineIndex = 1;
    openSource(in, "");
    ExprNode* e = parseExpression(in);
    in.drv.inlineIndex = 0;
    resetScanner(in);
    return e;
  }
};

// The hand loop: ln f = ln(b/a) + (b-1) ln z - k z^b (+ ln k) for an exact
// time, ln S = -k z^b for a censored one, z = t/a.
Real handLoop(const Fixture& f, bool covariate) {
  const Real lnA = std::log(kA), lnBA = std::log(kB / kA);
  Real sum = 0;
  const std::size_t n = f.t.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Real lz = std::log(f.t[i]) - lnA;
    Real h = std::exp(kB * lz);
    Real lnK = 0;
    if (covariate) {
      lnK = kBeta * f.x[i];
      h *= std::exp(lnK);
    }
    sum += f.tc[i] == f.t[i] ? lnK + lnBA + (kB - 1) * lz - h : -h;
  }
  return sum;
}

void report(benchmark::State& state, std::size_t n) {
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
  state.counters["ns_per_obs"] = benchmark::Counter(static_cast<double>(n),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

void BM_Interpreter(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(1)));
  if (!f.ready) return state.SkipWithError("the data program failed");
  const bool covariate = state.range(0) != 0;
  const ExprNode* e = covariate ? f.hazard.get() : f.plain.get();
  const Real hand = handLoop(f, covariate);
  const Real got = evalReal(f.in, e);
  if (!(std::fabs(got - hand) <= 1e-12L * std::fabs(hand))) {
    std::printf("interpreter %.20Lg, hand loop %.20Lg\n", got, hand);
    return state.SkipWithError("the interpreter and the hand loop disagree");
  }
  for (auto _ : state) benchmark::DoNotOptimize(evalReal(f.in, e));
  report(state, f.t.size());
}
BENCHMARK(BM_Interpreter)->ArgNames({"covariate", "threads"})->Args({0, 1})->Args({1, 1})->Args({0, 2})->Args({1, 2});

void BM_HandLoop(benchmark::State& state) {
  static Fixture f(1);
  if (!f.ready) return state.SkipWithError("the data program failed");
  const bool covariate = state.range(0) != 0;
  for (auto _ : state) benchmark::DoNotOptimize(handLoop(f, covariate));
  report(state, f.t.size());
}
BENCHMARK(BM_HandLoop)->ArgNames({"covariate"})->Arg(0)->Arg(1);

}  // namespace
}  // namespace zav

BENCHMARK_MAIN();
