// Argument sets for the benchmarks of the fast functions: kCount values
// spread evenly over [lo, hi], in an order that a stride coprime with
// kCount shuffles, so that neighbouring calls land in different table
// entries as real data would.
#pragma once
#include <vector>

#include "symbols/value.h"

namespace zav::bench {

constexpr int kCount = 4096;

inline std::vector<Real> linear(Real lo, Real hi) {
  std::vector<Real> v(kCount);
  for (int i = 0; i < kCount; ++i) v[(i * 1237) % kCount] = lo + (hi - lo) * i / (kCount - 1);
  return v;
}

}  // namespace zav::bench
