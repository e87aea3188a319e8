// ln Q(z) and the normal hazard phi(z)/Q(z) by fastNormTail beside the
// routines it replaced: fastLog of Boost's long double erfc (the continued
// fraction from z = 30), and the hazard as exp(ln phi(z) - ln Q(z)). Each
// sums over 4096 z spread evenly over [-3, 4], the standardised times of a
// typical fit, or over [4, 20], a far tail. ns_per_call is the figure to
// compare; on a shared machine compare by the least of the repetitions:
//   build/fastnorm_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "dists/densmath.h"
#include "dists/lnlaw.h"
#include "funcs/fastnorm.h"
#include "spread.h"

namespace zav {
namespace {

using bench::kCount;
using bench::linear;

const std::vector<Real> kTypical = linear(-3, 4);
const std::vector<Real> kTail = linear(4, 20);

Real oldLnQ(Real z) { return z < 30 ? fastLog(dens::normUpper(z)) : dens::lnNormUpper(z); }

template <Real (*F)(Real)>
void lnQ(benchmark::State& state, const std::vector<Real>& zs) {
  for (auto _ : state) {
    Real sum = 0;
    for (Real z : zs) sum += F(z);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["ns_per_call"] =
      benchmark::Counter(kCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void oldPair(benchmark::State& state, const std::vector<Real>& zs) {
  for (auto _ : state) {
    Real sum = 0, sumH = 0;
    for (Real z : zs) {
      const Real l = oldLnQ(z);
      sum += l;
      sumH += fastExp(lnlaw::lnNormPdf(z) - l);
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(sumH);
  }
  state.counters["ns_per_call"] =
      benchmark::Counter(kCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void fastPair(benchmark::State& state, const std::vector<Real>& zs) {
  for (auto _ : state) {
    Real sum = 0, sumH = 0;
    for (Real z : zs) {
      Real l, h;
      fastNormTail(z, l, h);
      sum += l;
      sumH += h;
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(sumH);
  }
  state.counters["ns_per_call"] =
      benchmark::Counter(kCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_OldLnQ_Typical(benchmark::State& s) { lnQ<oldLnQ>(s, kTypical); }
void BM_FastLnQ_Typical(benchmark::State& s) { lnQ<fastLnNormUpper>(s, kTypical); }
void BM_OldPair_Typical(benchmark::State& s) { oldPair(s, kTypical); }
void BM_FastPair_Typical(benchmark::State& s) { fastPair(s, kTypical); }
void BM_OldLnQ_Tail(benchmark::State& s) { lnQ<oldLnQ>(s, kTail); }
void BM_FastLnQ_Tail(benchmark::State& s) { lnQ<fastLnNormUpper>(s, kTail); }
void BM_OldPair_Tail(benchmark::State& s) { oldPair(s, kTail); }
void BM_FastPair_Tail(benchmark::State& s) { fastPair(s, kTail); }

double least(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

BENCHMARK(BM_OldLnQ_Typical)->ComputeStatistics("min", least);
BENCHMARK(BM_FastLnQ_Typical)->ComputeStatistics("min", least);
BENCHMARK(BM_OldPair_Typical)->ComputeStatistics("min", least);
BENCHMARK(BM_FastPair_Typical)->ComputeStatistics("min", least);
BENCHMARK(BM_OldLnQ_Tail)->ComputeStatistics("min", least);
BENCHMARK(BM_FastLnQ_Tail)->ComputeStatistics("min", least);
BENCHMARK(BM_OldPair_Tail)->ComputeStatistics("min", least);
BENCHMARK(BM_FastPair_Tail)->ComputeStatistics("min", least);

}  // namespace
}  // namespace zav

BENCHMARK_MAIN();
