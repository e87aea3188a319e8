// Cost of walking an expression tree: an arithmetic expression over REAL
// variables and constants is parsed once, then evaluated with evalReal in
// the loop. Items processed are tree nodes, so items/s gives the time per
// node; the time_per_node counter shows it directly.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "core/predefined.h"
#include "funcs/eval.h"
#include "funcs/machine.h"
#include "parse/exprparse.h"
#include "scan/scanner.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// 20 nodes: ADD, SUBTRACT, MULTIPLY, DIVIDE and SQRT over x, y, z and
// REAL literals.
constexpr const char* kExpression = "SQRT(x * x + y * y) / (z + 1.5) + x * 2.5 - y / 3.25";

int countNodes(const ExprNode* n) {
  if (!n) return 0;
  int count = 1;
  for (const ExprNode* c : n->children) count += countNodes(c);
  return count;
}

struct Fixture {
  Interp in;
  std::unique_ptr<ExprNode> tree;
  Symbol* x = nullptr;
  Symbol* y = nullptr;
  Symbol* z = nullptr;

  Fixture() {
    initMachineConstants(in.set);
    initOs(in.os);
    createPredefined(in);
    initScanner(in);
    x = declareStatic(in, "x", ValueType::Real, nullptr, 0);
    y = declareStatic(in, "y", ValueType::Real, nullptr, 0);
    z = declareStatic(in, "z", ValueType::Real, nullptr, 0);
    setReal(in, *x, 1, 3.0L);
    setReal(in, *y, 1, 4.0L);
    setReal(in, *z, 1, 0.5L);
    in.drv.args = {"zav", kExpression};
    in.drv.inlineIndex = 1;
    openSource(in, "");
    tree.reset(parseExpression(in));
    in.drv.inlineIndex = 0;
    resetScanner(in);
  }
};

void BM_EvalRealTree(benchmark::State& state) {
  Fixture f;
  const int nodes = countNodes(f.tree.get());
  // 5/2 + 7.5 - 4/3.25, worked by hand; a wrong tree would make the timing
  // meaningless.
  const Real expected = 2.5L + 7.5L - 4.0L / 3.25L;
  try {
    const Real v = evalReal(f.in, f.tree.get());
    if (v < expected - 1e-15L || v > expected + 1e-15L) {
      state.SkipWithError("the expression evaluated to the wrong value");
      return;
    }
  } catch (const RunEnd&) {
    state.SkipWithError("the expression stopped the run");
    return;
  }
  // evalReal lives in another translation unit, so the call cannot be
  // hoisted out of the loop.
  for (auto _ : state) benchmark::DoNotOptimize(evalReal(f.in, f.tree.get()));
  state.SetItemsProcessed(state.iterations() * nodes);
  state.counters["nodes"] = nodes;
  state.counters["time_per_node"] = benchmark::Counter(
      nodes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EvalRealTree);

}  // namespace
}  // namespace zav

BENCHMARK_MAIN();
