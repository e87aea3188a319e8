// The delta method for a function of the estimates: its gradient by central
// differences over the free parameters, each step a small fraction of that
// parameter's own standard error (so the step suits the parameter's scale
// and the curvature the data can resolve), and sqrt(g' V g).
#include "estimate/transform.h"

#include <cmath>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "estimate/estimate.h"
#include "funcs/eval.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// The step for parameter k is this fraction of its standard error: small
// enough that the O(h^2) error of central differences stays far below the
// printed digits, large enough that extended-precision rounding does too.
constexpr Real kStepPerSE = 1e-4L;

// Gradients of up to this many parameters live on the stack: SETRANSFORM
// may sit in the post-likelihood block, run after every evaluation.
constexpr std::size_t kStackParams = 16;

void checkVariable(Interp& in, const ExprNode* a, int position) {
  const std::string at = "Argument " + std::to_string(position) + " to PTRANSFORM ";
  if (!a || a->kind != NodeKind::Identifier)
    ReportError(in, ErrCat::Data,
                at + "was not a variable, it was " + std::string(nodeKindName(a ? a->kind : NodeKind::None)));
  if (a->symbol->has(kConst)) ReportError(in, ErrCat::Data, at + "was a constant");
  if (a->symbol->type != ValueType::Real) ReportError(in, ErrCat::Data, at + "was not a REAL variable");
}

// The element a variable argument names (a DATA variable: the current
// observation, as an assignment to it does).
int element(Interp& in, const ExprNode* n) {
  const Symbol& s = *n->symbol;
  if (s.has(kDataVar) || (n->children.empty() && !s.dims)) return 1;
  return linearIndex(in, n);
}

}  // namespace

Real transformSE(Interp& in, const ExprNode* e) {
  const RunWork& w = in.models.work;
  const std::size_t n = w.free.size();
  if (n == 0) return 0;
  if (!in.set.invertFlag || w.matrix.size() != n * n) return in.set.infinity;
  Real local[kStackParams];
  std::vector<Real> heap;
  Real* g = local;
  if (n > kStackParams) {
    heap.assign(n, 0);
    g = heap.data();
  }
  for (std::size_t k = 0; k < n; ++k) {
    g[k] = 0;
    const Real v = w.matrix[k * n + k];
    if (!(v > 0) || std::isinf(v)) continue;  // a parameter without spread adds nothing
    const Real h = kStepPerSE * std::sqrt(v);
    Real& x = paramValue(in, k);
    const Real saved = x;
    x = saved + h;
    const Real up = evalReal(in, e);
    x = saved - h;
    const Real down = evalReal(in, e);
    x = saved;
    g[k] = (up - down) / (2 * h);
  }
  Real var = 0;
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) var += g[i] * w.matrix[i * n + j] * g[j];
  return std::sqrt(var > 0 ? var : 0);
}

Real evalSETransform(Interp& in, const ExprNode* e) {
  if (!in.modelRunning) ReportError(in, ErrCat::RunTime, "SETRANSFORM must be called from within a MODEL statement");
  return transformSE(in, e);
}

void procPtransform(Interp& in, const ExprNode* args) {
  if (!in.modelRunning) ReportError(in, ErrCat::RunTime, "PTRANSFORM must be called from within a MODEL statement");
  auto arg = [&](int k) -> const ExprNode* {
    return args && k < args->childCount() ? args->children[static_cast<std::size_t>(k)] : nullptr;
  };
  checkVariable(in, arg(0), 1);
  checkVariable(in, arg(1), 2);
  const ExprNode* e = arg(2);
  if (!e || (e->resultType != ValueType::Real && e->resultType != ValueType::Integer))
    ReportError(in, ErrCat::Data, "Argument 3 to PTRANSFORM was not a REAL or INTEGER expression");
  const Real value = evalReal(in, e);
  const Real se = transformSE(in, e);
  setReal(in, *arg(0)->symbol, element(in, arg(0)), value);
  setReal(in, *arg(1)->symbol, element(in, arg(1)), se);
}

}  // namespace zav
