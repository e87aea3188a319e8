// The fast long double exp, log and log1p beside the C library's, each
// summing f over 4096 arguments spread evenly over the range a likelihood
// meets (exp: [-50, 50], log: [1e-6, 1e6] evenly in ln x, log1p: [-0.5, 20]).
// The ns_per_call counter is the figure to compare; the machines are shared
// and noisy, so compare std and fast from the same run, by their least:
//   build/fastexp_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "funcs/fastexp.h"
#include "spread.h"

namespace zav {
namespace {

using bench::kCount;
using bench::linear;

std::vector<Real> logarithmic(Real lo, Real hi) {
  std::vector<Real> v = linear(std::log(lo), std::log(hi));
  for (Real& x : v) x = std::exp(x);
  return v;
}

template <Real (*F)(Real)>
void sumOver(benchmark::State& state, const std::vector<Real>& args) {
  for (auto _ : state) {
    Real sum = 0;
    for (Real x : args) sum += F(x);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["ns_per_call"] = benchmark::Counter(
      kCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

Real stdExp(Real x) { return std::exp(x); }
Real stdLog(Real x) { return std::log(x); }
Real stdLog1p(Real x) { return std::log1p(x); }

const std::vector<Real> kExpArgs = linear(-50, 50);
const std::vector<Real> kLogArgs = logarithmic(1e-6L, 1e6L);
const std::vector<Real> kLog1pArgs = linear(-0.5L, 20);

void BM_StdExp(benchmark::State& s) { sumOver<stdExp>(s, kExpArgs); }
void BM_FastExp(benchmark::State& s) { sumOver<fastExp>(s, kExpArgs); }
void BM_StdLog(benchmark::State& s) { sumOver<stdLog>(s, kLogArgs); }
void BM_FastLog(benchmark::State& s) { sumOver<fastLog>(s, kLogArgs); }
void BM_StdLog1p(benchmark::State& s) { sumOver<stdLog1p>(s, kLog1pArgs); }
void BM_FastLog1p(benchmark::State& s) { sumOver<fastLog1p>(s, kLog1pArgs); }

// Other work on a shared machine only ever adds time, so the least of the
// repetitions is the steadiest figure to compare.
double least(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

BENCHMARK(BM_StdExp)->ComputeStatistics("min", least);
BENCHMARK(BM_FastExp)->ComputeStatistics("min", least);
BENCHMARK(BM_StdLog)->ComputeStatistics("min", least);
BENCHMARK(BM_FastLog)->ComputeStatistics("min", least);
BENCHMARK(BM_StdLog1p)->ComputeStatistics("min", least);
BENCHMARK(BM_FastLog1p)->ComputeStatistics("min", least);

}  // namespace
}  // namespace zav

BENCHMARK_MAIN();
