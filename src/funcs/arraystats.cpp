#include "funcs/arraystats.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "data/datastore.h"
#include "funcs/catalog.h"
#include "funcs/complex.h"
#include "funcs/eval.h"
#include "funcs/mathlib.h"

namespace zav {
namespace {

[[noreturn]] void dataError(Interp& in, const std::string& msg) { ReportError(in, ErrCat::Data, msg); }

std::string kindText(const ExprNode* n) { return std::string(nodeKindName(n ? n->kind : NodeKind::None)); }

const ExprNode* argAt(const ExprNode* n, int i) {
  return n && i < n->childCount() ? n->children[static_cast<std::size_t>(i)] : nullptr;
}

// What a name stands for is decided by its symbol as it is now: DATATOARRAY
// and ARRAYTODATA change it after the references to it were parsed.
bool isDataVariable(const ExprNode* n) {
  return n && (n->kind == NodeKind::Identifier || n->kind == NodeKind::Array) && n->symbol &&
         n->symbol->has(kDataVar);
}

bool isWholeArray(const ExprNode* n) {
  return n && (n->kind == NodeKind::Array || (n->kind == NodeKind::Identifier && n->children.empty())) &&
         n->symbol && n->symbol->dims && !n->symbol->has(kDataVar);
}

// A data variable's observations. The variables of an earlier DATA
// statement keep the count of their own reading, which is N_OBS for the
// current one; reading by that count never runs past the block.
std::int32_t dataLength(const Symbol& s) { return dataObsCount(s); }

// The sequence a statistic or VSORT works on: a whole array, or the column
// of a data variable.
struct Sequence {
  Symbol* sym = nullptr;
  std::int32_t length = 0;
  bool dataVar = false;

  ValueType type() const { return sym->type; }
  Real real(Interp& in, std::int32_t i) const {  // i from 0
    if (dataVar) return static_cast<const Real*>(sym->block)[i];
    if (sym->type == ValueType::Integer) return element<ValueType::Integer>(in, *sym, i + 1);
    return element<ValueType::Real>(in, *sym, i + 1);
  }
  Complex complex(Interp& in, std::int32_t i) const {
    if (!dataVar && sym->type == ValueType::Complex) return element<ValueType::Complex>(in, *sym, i + 1);
    return Complex{real(in, i), 0};
  }
};

// The whole-array or data-variable node n, or nothing.
bool sequenceOf(Interp& in, const ExprNode* n, Sequence& out) {
  if (isDataVariable(n)) {
    out.sym = n->symbol;
    out.dataVar = true;
    out.length = dataLength(*n->symbol);
    return true;
  }
  if (isWholeArray(n)) {
    requireBlock(in, *n->symbol);
    out.sym = n->symbol;
    out.dataVar = false;
    out.length = n->symbol->count;
    return true;
  }
  return false;
}

Sequence firstArgument(Interp& in, const ExprNode* call) {
  Sequence s;
  const ExprNode* x = argAt(call, 0);
  if (!sequenceOf(in, x, s))
    dataError(in, "Argument 1 to " + std::string(functionName(static_cast<Fn>(call->index))) +
                      " was not an array or data variable, it was " + kindText(x));
  return s;
}

// The fewest observations among the data variables an expression reads.
std::int32_t fewestObservations(const ExprNode* n) {
  std::int32_t fewest = std::numeric_limits<std::int32_t>::max();
  if (!n) return fewest;
  if (n->symbol && n->symbol->has(kDataVar)) fewest = dataLength(*n->symbol);
  for (const ExprNode* c : n->children) fewest = std::min(fewest, fewestObservations(c));
  return fewest;
}

// The weight argument: none (all 1), an array or data variable of the
// sequence's length, or an expression evaluated with the element number as
// the observation index.
struct Weights {
  Interp& in;
  const ExprNode* node = nullptr;
  Sequence array;
  bool isArray = false;

  Weights(Interp& i, const ExprNode* call, int slot, std::int32_t length) : in(i), node(argAt(call, slot)) {
    if (!node) return;
    const std::string name(functionName(static_cast<Fn>(call->index)));
    isArray = sequenceOf(in, node, array);
    // An index past a data variable's observations would read outside it.
    const std::int32_t have = isArray ? array.length : fewestObservations(node);
    if (have < length)
      dataError(in, "Argument " + std::to_string(slot + 1) + " to " + name +
                        " was not the same length as the first argument");
  }

  template <class F>
  void each(std::int32_t length, F&& f) {
    const std::int32_t savedIdx = in.set.dIdx;
    for (std::int32_t i = 0; i < length; ++i) {
      if (!node) {
        f(i, Complex{1, 0});
      } else if (isArray) {
        f(i, array.complex(in, i));
      } else {
        in.set.dIdx = i + 1;
        f(i, node->resultType == ValueType::Complex ? evalComplex(in, node) : Complex{evalReal(in, node), 0});
      }
    }
    in.set.dIdx = savedIdx;
  }
};

// The sums every moment statistic needs.
struct Moments {
  Real w = 0, wx = 0, wxx = 0;
};

Moments realMoments(Interp& in, const ExprNode* call, const Sequence& x) {
  Moments m;
  Weights weights(in, call, 1, x.length);
  weights.each(x.length, [&](std::int32_t i, Complex wi) {
    const Real xi = x.real(in, i);
    m.w += wi.re;
    m.wx += wi.re * xi;
    m.wxx += wi.re * xi * xi;
  });
  return m;
}

// (sum(w x^2) - (sum(w x))^2 / W) / (W - 1), computed from the deviations
// from the weighted mean: the same sum of squares without the cancellation
// that can leave equal values a negative variance.
Real variance(Interp& in, const ExprNode* call, const Sequence& x) {
  std::vector<Real> w, v;
  w.reserve(static_cast<std::size_t>(x.length));
  v.reserve(static_cast<std::size_t>(x.length));
  Real total = 0, wx = 0;
  Weights weights(in, call, 1, x.length);
  weights.each(x.length, [&](std::int32_t i, Complex wi) {
    w.push_back(wi.re);
    v.push_back(x.real(in, i));
    total += wi.re;
    wx += wi.re * v.back();
  });
  const Real mean = wx / total;
  Real ss = 0;
  for (std::size_t i = 0; i < v.size(); ++i) ss += w[i] * (v[i] - mean) * (v[i] - mean);
  return ss / (total - 1);
}

Real quantileOf(Interp& in, const ExprNode* call, const Sequence& x, Real q) {
  Weights weights(in, call, 1, x.length);
  std::vector<Real> values, w;
  values.reserve(static_cast<std::size_t>(x.length));
  if (weights.node) w.reserve(static_cast<std::size_t>(x.length));
  weights.each(x.length, [&](std::int32_t i, Complex wi) {
    values.push_back(x.real(in, i));
    if (weights.node) w.push_back(wi.re);
  });
  if (values.empty()) return in.set.nan;
  return weightedQuantile(std::move(values), std::move(w), q, in.set.altVQuantile);
}

template <class T, class Less>
T extreme(Interp& in, const Sequence& x, bool wantMax, T empty, Less less) {
  T best = empty;
  for (std::int32_t i = 0; i < x.length; ++i) {
    T v;
    if constexpr (std::is_same_v<T, std::string>) {
      v = x.type() == ValueType::Char ? std::string(1, element<ValueType::Char>(in, *x.sym, i + 1))
                                      : element<ValueType::String>(in, *x.sym, i + 1);
    } else if constexpr (std::is_same_v<T, std::int32_t>) {
      v = element<ValueType::Integer>(in, *x.sym, i + 1);
    } else {
      v = x.real(in, i);
    }
    if (i == 0 || (wantMax ? less(best, v) : less(v, best))) best = v;
  }
  return best;
}

bool wantsMax(const ExprNode* call) { return static_cast<Fn>(call->index) == Fn::VMAX; }

// ---- Conversions and sorting ------------------------------------------

// Swaps elements i and j (from 0) of any array.
void swapElements(Interp& in, Symbol& s, std::int32_t i, std::int32_t j) {
  switch (s.type) {
    case ValueType::Char: std::swap(element<ValueType::Char>(in, s, i + 1), element<ValueType::Char>(in, s, j + 1)); break;
    case ValueType::Boolean:
      std::swap(element<ValueType::Boolean>(in, s, i + 1), element<ValueType::Boolean>(in, s, j + 1));
      break;
    case ValueType::Integer:
      std::swap(element<ValueType::Integer>(in, s, i + 1), element<ValueType::Integer>(in, s, j + 1));
      break;
    case ValueType::Real: std::swap(element<ValueType::Real>(in, s, i + 1), element<ValueType::Real>(in, s, j + 1)); break;
    case ValueType::Complex:
      std::swap(element<ValueType::Complex>(in, s, i + 1), element<ValueType::Complex>(in, s, j + 1));
      break;
    case ValueType::String:
      std::swap(element<ValueType::String>(in, s, i + 1), element<ValueType::String>(in, s, j + 1));
      break;
    case ValueType::Pointer:
      std::swap(element<ValueType::Pointer>(in, s, i + 1), element<ValueType::Pointer>(in, s, j + 1));
      break;
    case ValueType::File: std::swap(element<ValueType::File>(in, s, i + 1), element<ValueType::File>(in, s, j + 1)); break;
    default: break;
  }
}

// Rearranges a sequence so that position k holds what was at perm[k], by
// following the cycles of the permutation with swaps.
void applyOrder(Interp& in, const Sequence& seq, const std::vector<std::int32_t>& perm) {
  std::vector<bool> placed(perm.size(), false);
  for (std::size_t start = 0; start < perm.size(); ++start) {
    if (placed[start]) continue;
    auto k = static_cast<std::int32_t>(start);
    for (;;) {
      placed[static_cast<std::size_t>(k)] = true;
      const std::int32_t from = perm[static_cast<std::size_t>(k)];
      if (placed[static_cast<std::size_t>(from)]) break;
      if (seq.dataVar) {
        Real* e = static_cast<Real*>(seq.sym->block);
        std::swap(e[k], e[from]);
      } else {
        swapElements(in, *seq.sym, k, from);
      }
      k = from;
    }
  }
}

// The order of the keys of VSORT's first array.
bool keyLess(Interp& in, const Sequence& s, std::int32_t a, std::int32_t b) {
  switch (s.dataVar ? ValueType::Real : s.type()) {
    case ValueType::Integer:
    case ValueType::Real: return s.real(in, a) < s.real(in, b);
    case ValueType::Char: return element<ValueType::Char>(in, *s.sym, a + 1) < element<ValueType::Char>(in, *s.sym, b + 1);
    case ValueType::String:
      return element<ValueType::String>(in, *s.sym, a + 1) < element<ValueType::String>(in, *s.sym, b + 1);
    case ValueType::Boolean:
      return element<ValueType::Boolean>(in, *s.sym, a + 1) < element<ValueType::Boolean>(in, *s.sym, b + 1);
    case ValueType::Complex: {
      const Complex x = s.complex(in, a), y = s.complex(in, b);
      return x.re < y.re || (x.re == y.re && x.im < y.im);
    }
    default: return false;
  }
}

}  // namespace

std::vector<std::int32_t> heapSortOrder(std::int32_t n, const std::function<bool(std::int32_t, std::int32_t)>& less) {
  std::vector<std::int32_t> ra(static_cast<std::size_t>(std::max(n, 0)) + 1);
  for (std::int32_t k = 1; k <= n; ++k) ra[static_cast<std::size_t>(k)] = k - 1;
  auto at = [&](std::int32_t k) -> std::int32_t& { return ra[static_cast<std::size_t>(k)]; };
  if (n >= 2) {
    // Build a max-heap from the middle down, then move the root to the end.
    std::int32_t l = (n >> 1) + 1, ir = n;
    for (;;) {
      std::int32_t rra;
      if (l > 1) {
        rra = at(--l);
      } else {
        rra = at(ir);
        at(ir) = at(1);
        if (--ir == 1) {
          at(1) = rra;
          break;
        }
      }
      std::int32_t i = l, j = l + l;
      while (j <= ir) {
        if (j < ir && less(at(j), at(j + 1))) ++j;
        if (less(rra, at(j))) {
          at(i) = at(j);
          i = j;
          j <<= 1;
        } else {
          break;
        }
      }
      at(i) = rra;
    }
  }
  ra.erase(ra.begin());
  return ra;
}

Real weightedQuantile(std::vector<Real> values, std::vector<Real> weights, Real q, bool alternative) {
  const auto n = static_cast<std::int32_t>(values.size());
  if (n == 0) return std::numeric_limits<Real>::quiet_NaN();
  const bool weighted = !weights.empty();
  const std::vector<std::int32_t> order =
      heapSortOrder(n, [&](std::int32_t a, std::int32_t b) { return values[static_cast<std::size_t>(a)] < values[static_cast<std::size_t>(b)]; });
  std::vector<Real> sorted(values.size()), cum(values.size());
  Real total = 0;
  for (std::size_t k = 0; k < values.size(); ++k) {
    const auto from = static_cast<std::size_t>(order[k]);
    sorted[k] = values[from];
    total += weighted ? weights[from] : 1;
    cum[k] = total;
  }
  // The value that covers cumulative-weight position pos: the first whose
  // running total reaches it; before the first, the first element carrying
  // weight; past the total, the last one.
  auto valueAt = [&](Real pos) {
    for (std::size_t k = 0; k < cum.size(); ++k)
      if (pos < 1 ? cum[k] > 0 : cum[k] >= pos) return sorted[k];
    for (std::size_t k = 0; k < cum.size(); ++k)
      if (cum[k] >= total) return sorted[k];
    return sorted.back();
  };
  const Real p = alternative ? 1 + (total - 1) * q : (total + 1) * q;
  const Real e = std::trunc(p);
  const Real f = p - e;
  if (f == 0) return valueAt(e);
  return (1 - f) * valueAt(e) + f * valueAt(e + 1);
}

Real arrayStatReal(Interp& in, const ExprNode* call) {
  const Fn f = static_cast<Fn>(call->index);
  const Sequence x = firstArgument(in, call);
  switch (f) {
    case Fn::VMAX:
    case Fn::VMIN_: {
      const Real empty = wantsMax(call) ? in.set.negInfinity : in.set.infinity;
      return extreme<Real>(in, x, wantsMax(call), empty, [](Real a, Real b) { return a < b; });
    }
    case Fn::VMEDIAN: return quantileOf(in, call, x, 0.5L);
    case Fn::VQUANTILE: {
      const Real q = evalReal(in, argAt(call, 2));
      checkProportion(in, "quantile argument to VQUANTILE", q);
      return quantileOf(in, call, x, q);
    }
    default: break;
  }
  switch (f) {
    case Fn::VSUM: return realMoments(in, call, x).wx;
    case Fn::VSUMSQ: return realMoments(in, call, x).wxx;
    case Fn::VMEAN: {
      const Moments m = realMoments(in, call, x);
      return m.wx / m.w;
    }
    case Fn::VVARIANCE: return variance(in, call, x);
    case Fn::VSTDEV: return std::sqrt(variance(in, call, x));
    default: ReportError(in, ErrCat::RunTime, "Calling real func " + std::string(functionName(f)));
  }
}

Complex arrayStatComplex(Interp& in, const ExprNode* call) {
  const Fn f = static_cast<Fn>(call->index);
  const Sequence x = firstArgument(in, call);
  Weights weights(in, call, 1, x.length);
  Complex w{}, wx{}, wxx{};
  weights.each(x.length, [&](std::int32_t i, Complex wi) {
    const Complex xi = x.complex(in, i);
    const Complex t = cxMul(wi, xi);
    w = cxAdd(w, wi);
    wx = cxAdd(wx, t);
    wxx = cxAdd(wxx, cxMul(t, xi));
  });
  auto var = [&]() { return cxDiv(cxSub(wxx, cxDiv(cxMul(wx, wx), w)), cxSub(w, Complex{1, 0})); };
  switch (f) {
    case Fn::VSUM: return wx;
    case Fn::VSUMSQ: return wxx;
    case Fn::VMEAN: return cxDiv(wx, w);
    case Fn::VVARIANCE: return var();
    case Fn::VSTDEV: return cxSqrt(in, var());
    default: ReportError(in, ErrCat::RunTime, "Calling complex func " + std::string(functionName(f)));
  }
}

std::int32_t arrayExtremeInteger(Interp& in, const ExprNode* call) {
  const Sequence x = firstArgument(in, call);
  const bool wantMax = wantsMax(call);
  const std::int32_t empty = wantMax ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
  return extreme<std::int32_t>(in, x, wantMax, empty, [](std::int32_t a, std::int32_t b) { return a < b; });
}

std::string arrayExtremeText(Interp& in, const ExprNode* call) {
  const Sequence x = firstArgument(in, call);
  return extreme<std::string>(in, x, wantsMax(call), std::string(),
                              [](const std::string& a, const std::string& b) { return a < b; });
}

void procVsort(Interp& in, const ExprNode* args) {
  const int count = args ? args->childCount() : 0;
  if (count == 0) ReportError(in, ErrCat::RunTime, "Too few arguments to VSORT");
  std::vector<Sequence> seqs(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const ExprNode* a = argAt(args, i);
    Sequence& s = seqs[static_cast<std::size_t>(i)];
    if (!sequenceOf(in, a, s))
      dataError(in, "Argument " + std::to_string(i + 1) + " to VSORT  was not an array; it was a " + kindText(a));
    if (s.length != seqs[0].length)
      dataError(in, "Argument " + std::to_string(i + 1) + " to VSORT . was not the same length as the first argument");
  }
  const Sequence& key = seqs[0];
  const std::vector<std::int32_t> perm =
      heapSortOrder(key.length, [&](std::int32_t a, std::int32_t b) { return keyLess(in, key, a, b); });
  for (const Sequence& s : seqs) {
    applyOrder(in, s, perm);
    if (s.dataVar) refreshDataStats(in, *s.sym);
  }
}

void procDataToArray(Interp& in, const ExprNode* args) {
  for (int i = 0; args && i < args->childCount(); ++i) {
    const ExprNode* a = argAt(args, i);
    if (!isDataVariable(a)) {
      const std::string name = a && a->symbol ? a->symbol->name : kindText(a);
      dataError(in, name + " isn't a data variable.  Can't change it to an array.");
    }
    // The block keeps its statistics after the observations, where the
    // statistic symbols still read them; the array covers the observations.
    Symbol& s = *a->symbol;
    const std::int32_t n = dataLength(s);
    s.flags &= ~static_cast<std::uint32_t>(kDataVar);
    s.dims = std::make_unique<Dims>();
    s.dims->lo.push_back(1);
    s.dims->hi.push_back(n);
    s.count = n;
  }
}

void procArrayToData(Interp& in, const ExprNode* args) {
  for (int i = 0; args && i < args->childCount(); ++i) {
    const ExprNode* a = argAt(args, i);
    if (isDataVariable(a)) continue;
    if (!isWholeArray(a))
      dataError(in, "Argument " + std::to_string(i + 1) + " to ARRAYTODATA  was not an array; it was a " + kindText(a));
    Symbol& s = *a->symbol;
    const std::int32_t n = in.set.nObs;
    if (s.count != n) dataError(in, "Argument " + s.name + " is the wrong length   to be converted to a DATAARRAY");
    if (s.type != ValueType::Real) dataError(in, "Argument " + s.name + " is the wrong type   to be converted to a DATAARRAY");
    requireBlock(in, s);
    if (!s.has(kStatic)) {
      // A data variable owns its block; a variable of an activation hands
      // over a copy of its values.
      void* copy = createBlock(in, n, ValueType::Real);
      std::copy_n(static_cast<const Real*>(elementBlock(s)), n, static_cast<Real*>(copy));
      s.block = copy;
      s.flags |= kStatic;
    }
    s.dims.reset();
    s.flags |= kDataVar;
    storeDataValues(in, s, static_cast<const Real*>(s.block), n);
  }
}

}  // namespace zav
