// BOOTSTRAP, DRAWDOWN and COPYDATAVAR. They work on a data variable's own
// observations (its block), so a variable of an earlier DATA statement is
// handled at its own length, and they leave D_IDX alone.
#include "data/dataprocs.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "data/datastore.h"
#include "dists/random.h"
#include "funcs/eval.h"

namespace zav {
namespace {

[[noreturn]] void dataError(Interp& in, const std::string& msg) { ReportError(in, ErrCat::Data, msg); }

const ExprNode* argAt(const ExprNode* args, int k) {
  return args && k < args->childCount() ? args->children[static_cast<std::size_t>(k)] : nullptr;
}

Symbol& dataVarArg(Interp& in, const ExprNode* args, int k, const char* proc) {
  const ExprNode* n = argAt(args, k);
  if (!n || n->kind != NodeKind::Identifier || !n->symbol || !n->symbol->has(kDataVar)) {
    const std::string name = n && n->symbol ? n->symbol->name : std::string(nodeKindName(n ? n->kind : NodeKind::None));
    dataError(in, name + " isn't a data variable.  Can't use it as an argument to " + proc);
  }
  return *n->symbol;
}

Real* values(Symbol& v) { return static_cast<Real*>(v.block); }

// A frequency as a whole count; a negative one counts as none.
std::int64_t frequency(Real x) {
  const Real r = std::nearbyint(x);
  if (!(r > 0)) return 0;
  return r > 2147483647.0L ? 2147483647 : static_cast<std::int64_t>(r);
}

}  // namespace

// N draws from 1..N, N the total frequency: observation o owns the next
// round(x1[o]) of the numbers 1..N, and x2[o] counts the draws that hit its
// numbers. (Counting hits per owner gives the same result as keeping one
// counter per number and summing each owner's counters, without N counters.)
void procBootstrap(Interp& in, const ExprNode* args) {
  Symbol& from = dataVarArg(in, args, 0, "BOOTSTRAP");
  Symbol& to = dataVarArg(in, args, 1, "BOOTSTRAP");
  const std::int32_t n = dataObsCount(from);
  if (dataObsCount(to) != n)
    dataError(in, "BOOTSTRAP: " + from.name + " and " + to.name + " hold different numbers of observations");
  std::vector<std::int64_t> upTo(static_cast<std::size_t>(n));  // last number each observation owns
  std::int64_t total = 0;
  for (std::int32_t o = 0; o < n; ++o) upTo[static_cast<std::size_t>(o)] = total += frequency(values(from)[o]);
  if (total > 2147483647) dataError(in, "BOOTSTRAP: the sum of frequencies of " + from.name + " is too large");
  std::vector<Real> hits(static_cast<std::size_t>(n), 0);
  for (std::int64_t draw = 0; draw < total; ++draw) {
    const std::int64_t r = randInt(in, 1, static_cast<std::int32_t>(total));
    std::size_t lo = 0, hi = upTo.size() - 1;  // the first owner whose range reaches r
    while (lo < hi) {
      const std::size_t mid = (lo + hi) / 2;
      if (upTo[mid] >= r) hi = mid; else lo = mid + 1;
    }
    hits[lo] += 1;
  }
  for (std::int32_t o = 0; o < n; ++o) values(to)[o] = hits[static_cast<std::size_t>(o)];
  refreshDataStats(in, to);
}

void procDrawdown(Interp& in, const ExprNode* args) {
  Symbol& freq = dataVarArg(in, args, 0, "DRAWDOWN");
  const ExprNode* countArg = argAt(args, 1);
  if (!countArg || countArg->resultType != ValueType::Integer)
    ReportError(in, ErrCat::RunTime,
                "Argument 2 to DRAWDOWN must be an INTEGER, found " +
                    std::string(typeName(countArg ? countArg->resultType : ValueType::Undef)));
  const std::int32_t remove = evalInteger(in, countArg);
  const std::int32_t n = dataObsCount(freq);
  Real* x = values(freq);
  std::int64_t sum = 0;
  for (std::int32_t o = 0; o < n; ++o) sum += frequency(x[o]);
  if (sum < remove)
    dataError(in, "DRAWDOWN: Can't remove " + std::to_string(remove) + " when the sum of frequencies is " +
                      std::to_string(sum));
  if (sum > 2147483647) dataError(in, "DRAWDOWN: the sum of frequencies of " + freq.name + " is too large");
  for (std::int32_t k = 0; k < remove && sum > 0; ++k) {
    const std::int64_t r = randInt(in, 1, static_cast<std::int32_t>(sum));
    std::int64_t reached = 0;
    std::int32_t o = 0;
    while ((reached += frequency(x[o])) < r) ++o;
    // Kept equal to the sum of the rounded frequencies, which a fractional
    // frequency (1.5 rounds to 2, 0.5 to 0) can lower by more than one.
    sum -= frequency(x[o]);
    x[o] -= 1;
    sum += frequency(x[o]);
  }
  refreshDataStats(in, freq);
}

void procCopydatavar(Interp& in, const ExprNode* args) {
  Symbol& from = dataVarArg(in, args, 0, "COPYDATAVAR");
  Symbol& to = dataVarArg(in, args, 1, "COPYDATAVAR");
  if (&from == &to) return;
  storeDataValues(in, to, values(from), dataObsCount(from));
}

}  // namespace zav
