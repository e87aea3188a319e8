// Storage of data variables: their blocks of observations and statistics,
// and the statistic symbols bound into them.
#include <cmath>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "data/datastore.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

constexpr std::array<const char*, kDataStatCount> kStatNames = {"SUM", "SUMSQ", "MEAN", "VAR", "STDEV", "MIN", "MAX"};

DataVarStats* statsOf(Interp& in, const Symbol& v) {
  for (DataVarStats& d : in.data.vars)
    if (d.var == &v) return &d;
  return nullptr;
}

// Points the statistic symbols at the elements after the observations. The
// block each held before its first binding is released; from then on the
// block belongs to the variable.
void bindStats(Interp& in, const Symbol& v) {
  DataVarStats* d = statsOf(in, v);
  if (!d) return;
  Real* e = static_cast<Real*>(v.block);
  const std::int32_t n = dataObsCount(v);
  for (int k = 0; k < kDataStatCount; ++k) {
    Symbol& s = *d->stats[static_cast<std::size_t>(k)];
    if (!s.has(kBound)) {
      if (s.block) freeBlock(in, s.block, s.count, s.type);
      s.flags |= kBound;
      s.count = 1;
    }
    s.block = e + n + k;
  }
}

std::int32_t roundToInt32(Real x) {
  const Real r = std::nearbyint(x);  // ties to even, as ROUND
  if (!(r >= -2147483648.0L)) return INT32_MIN;
  if (r > 2147483647.0L) return INT32_MAX;
  return static_cast<std::int32_t>(r);
}

}  // namespace

DataSummary summarize(const Real* values, std::int32_t n, std::size_t stride) {
  DataSummary s;
  Real sum = 0, sumSq = 0, lo = 0, hi = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    const Real x = values[static_cast<std::size_t>(i) * stride];
    sum += x;
    sumSq += x * x;
    if (i == 0 || x < lo) lo = x;
    if (i == 0 || x > hi) hi = x;
  }
  s[DataStat::Sum] = sum;
  s[DataStat::SumSq] = sumSq;
  s[DataStat::Min] = lo;
  s[DataStat::Max] = hi;
  if (n > 0) s[DataStat::Mean] = sum / n;
  if (n >= 2) {
    // Deviations from the mean, not SUMSQ - n MEAN^2: that difference of two
    // large sums cancels to nothing for values far from 0 and close to each
    // other (times in seconds since 1970). The sum of the deviations
    // corrects the rounding of the mean.
    const Real mean = s[DataStat::Mean];
    Real dev = 0, devSq = 0;
    for (std::int32_t i = 0; i < n; ++i) {
      const Real d = values[static_cast<std::size_t>(i) * stride] - mean;
      dev += d;
      devSq += d * d;
    }
    Real var = (devSq - dev * dev / n) / (n - 1);
    if (var < 0) var = 0;
    s[DataStat::Var] = var;
    s[DataStat::StDev] = std::sqrt(var);
  }
  return s;
}

Symbol* declareDataVariable(Interp& in, const std::string& name) {
  if (Symbol* s = lookup(in, name); s && s->has(kDataVar)) return s;
  // Before its first reading the variable holds no observation, only the
  // seven statistics: reading it is an error, not a stray value.
  Dims statsOnly;
  statsOnly.lo = {1};
  statsOnly.hi = {kDataStatCount};
  Symbol* v = declareStatic(in, name, ValueType::Real, &statsOnly, kDataVar);
  v->dims.reset();
  DataVarStats d;
  d.var = v;
  for (int k = 0; k < kDataStatCount; ++k) {
    Symbol* s = declareStatic(in, name + "." + kStatNames[static_cast<std::size_t>(k)], ValueType::Real, nullptr, 0);
    *static_cast<Real*>(s->block) = in.set.infinity;
    d.stats[static_cast<std::size_t>(k)] = s;
  }
  in.data.vars.push_back(d);
  return v;
}

const DataStore* currentDataStore(const Interp& in) {
  return in.data.stores.empty() ? nullptr : &in.data.stores.back();
}

std::int32_t dataObsCount(const Symbol& v) { return v.count >= kDataStatCount ? v.count - kDataStatCount : 0; }

void storeDataValues(Interp& in, Symbol& v, const Real* values, std::int32_t n, std::size_t stride) {
  // The new block is filled before the old one goes: `values` may lie in it.
  void* block = createBlock(in, n + kDataStatCount, ValueType::Real);
  Real* e = static_cast<Real*>(block);
  for (std::int32_t i = 0; i < n; ++i) e[i] = values[static_cast<std::size_t>(i) * stride];
  adoptDataValues(in, v, block, n);
}

void adoptDataValues(Interp& in, Symbol& v, void* block, std::int32_t n) {
  Real* e = static_cast<Real*>(block);
  const DataSummary s = summarize(e, n);
  for (int k = 0; k < kDataStatCount; ++k) e[n + k] = s.stat[static_cast<std::size_t>(k)];
  void* old = v.block;
  const std::int32_t oldCount = v.count;
  v.block = block;
  v.count = n + kDataStatCount;
  freeBlock(in, old, oldCount, ValueType::Real);
  bindStats(in, v);
}

void refreshDataStats(Interp& in, Symbol& v) {
  const std::int32_t n = dataObsCount(v);
  Real* e = static_cast<Real*>(v.block);
  if (!e) return;
  const DataSummary s = summarize(e, n);
  for (int k = 0; k < kDataStatCount; ++k) e[n + k] = s.stat[static_cast<std::size_t>(k)];
  if (in.data.stores.empty() || in.data.stores.back().frequency != &v) return;
  in.set.totalObs = roundToInt32(s[DataStat::Sum]);
  in.data.stores.back().totalObs = in.set.totalObs;
}

std::int32_t frequencyTotal(const Symbol& freq) {
  const std::int32_t n = dataObsCount(freq);
  return roundToInt32(static_cast<const Real*>(freq.block)[n + static_cast<int>(DataStat::Sum)]);
}

}  // namespace zav
