// The records of the DATA statement layer: what a DATA statement declares,
// what each run of one produced, and the storage of data variables.
//
// A data variable is a static REAL symbol whose block holds n + 7 elements:
// its value for each of the n kept observations, then SUM, SUMSQ, MEAN, VAR,
// STDEV, MIN and MAX. The seven symbols "v.SUM" .. "v.MAX" are bound into
// those last elements, so whoever replaces a data variable's block must do it
// through storeDataValues, which rebinds them.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "parse/node.h"
#include "symbols/value.h"

namespace zav {

struct Interp;
struct Symbol;

// The statistics that follow the observations, in storage order.
enum class DataStat { Sum = 0, SumSq, Mean, Var, StDev, Min, Max };
constexpr int kDataStatCount = 7;

// A KEEPIF (keep = true) or DROPIF (keep = false) condition.
struct DataCondition {
  bool keep = true;
  std::unique_ptr<ExprNode> test;
};

// One declaration of a DATA statement.
struct DataVarSpec {
  Symbol* symbol = nullptr;
  std::int32_t field = 0;  // 0 for a computed variable
  std::int32_t line = 1;
  std::unique_ptr<ExprNode> transform;  // none when absent
  std::vector<DataCondition> conditions;
};

// What one parsed DATA statement declares, in declaration order.
struct DataSpec {
  std::vector<DataVarSpec> vars;
  std::int32_t linesPerObs = 1;  // the largest LINE, at least 1
};

// One executed DATA statement. The live counters are the bound settings
// (LINE_NUMB, N_OBS, ...); a store keeps what its own run ended with.
struct DataStore {
  const DataSpec* desc = nullptr;
  Symbol* frequency = nullptr;  // FREQUENCY, else FREQ, else none
  std::int32_t totalObs = 0, nVars = 0, lineNumb = 0, nObs = 0, droppedObs = 0;
};

// A data variable with the seven statistic symbols bound into its block.
struct DataVarStats {
  Symbol* var = nullptr;
  std::array<Symbol*, kDataStatCount> stats{};
};

// The layer's part of the interpreter. Specs live as long as the interpreter
// (the statements that point at them may be freed earlier).
struct DataState {
  std::vector<std::unique_ptr<DataSpec>> specs;
  std::vector<DataStore> stores;  // in execution order; the last is current
  std::vector<DataVarStats> vars;
  bool reading = false;  // a DATA statement is building its observations
};

// The summary of n values, as a data variable stores it.
struct DataSummary {
  std::array<Real, kDataStatCount> stat{};
  Real& operator[](DataStat s) { return stat[static_cast<std::size_t>(s)]; }
  Real operator[](DataStat s) const { return stat[static_cast<std::size_t>(s)]; }
};

// SUM, SUMSQ, MEAN (SUM / n), VAR (the sum of squared deviations from the
// mean over n - 1), STDEV, MIN, MAX of values[0 .. n-1], reading every
// stride-th value. All 0 for n = 0; VAR and STDEV are 0 for n < 2.
DataSummary summarize(const Real* values, std::int32_t n, std::size_t stride = 1);

// Declares `name` as a data variable in the current scope, with its seven
// statistic symbols "name.SUM" .. "name.MAX" (each INFINITY until read).
// An existing data variable (FREQUENCY, FREQ) is taken as it is.
Symbol* declareDataVariable(Interp& in, const std::string& name);

// The current store, or nullptr before any DATA statement ran.
const DataStore* currentDataStore(const Interp& in);

// The number of observations a data variable holds (0 before it was read).
std::int32_t dataObsCount(const Symbol& v);

// Replaces the block of data variable `v` by n values (read every stride-th
// from `values`) and their statistics, and rebinds its statistic symbols.
void storeDataValues(Interp& in, Symbol& v, const Real* values, std::int32_t n, std::size_t stride = 1);

// Makes `block` (n values and room for the statistics behind them, from
// createBlock) the block of data variable `v`, computing its statistics and
// rebinding its statistic symbols. The block may be larger than that.
void adoptDataValues(Interp& in, Symbol& v, void* block, std::int32_t n);

// round(SUM) of a frequency variable (ties to even, as ROUND).
std::int32_t frequencyTotal(const Symbol& freq);

// Recomputes the statistics of a data variable after its values changed in
// place; TOTAL_OBS follows when it is the current store's frequency variable.
void refreshDataStats(Interp& in, Symbol& v);

}  // namespace zav
