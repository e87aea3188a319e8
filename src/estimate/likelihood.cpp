// The likelihood of a model: the DATA and PDATA forms that sum per-observation
// terms over the observations, the objective every maximiser minimises, and
// the pseudolikelihood that keeps the simplex inside the bounds.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "data/datastore.h"
#include "driver/interp.h"
#include "estimate/estimate.h"
#include "estimate/model.h"
#include "exec/exec.h"
#include "funcs/catalog.h"
#include "funcs/eval.h"
#include "funcs/numtext.h"
#include "parse/exprparse.h"
#include "parse/forms.h"
#include "parse/stmtparse.h"
#include "scan/scanner.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

std::string num(const Interp& in, Real x, int w, int d) { return realToText(in.set, x, w, d); }

// A DATA form may name its data form bare (DATA SUMLL ...) as well as with
// FORM = name, as long as the word is not a variable of the program.
bool bareDataForm(Interp& in) {
  const Token& t = currentToken(in);
  return t.kind == Tok::Identifier && t.code(Catalog::DataForm) > 0 && !lookup(in, t.text);
}

void accumulationTrace(const Interp& in, DataForm form, Real v, Real acc) {
  const char* label = form == DataForm::SUMLL ? "illik = " : "f = ";
  const char* sum = form == DataForm::SUMLL ? " Sum(illik) = "
                    : (form == DataForm::SUM || form == DataForm::SUMMATION) ? " Sum(f) = "
                                                                              : " prod(f) = ";
  std::printf("%s%s%s%s\n", label, num(in, v, 9, 2).c_str(), sum, num(in, acc, 9, 2).c_str());
}

}  // namespace

ExprNode* parseDataForm(Interp& in, NodeKind kind) {
  advance(in);  // DATA or PDATA
  std::unique_ptr<ExprNode> n = std::make_unique<ExprNode>(static_cast<std::uint16_t>(DataForm::SUMLL), kind, 3);
  n->resultType = ValueType::Real;
  n->opType = ValueType::Real;
  if (peekKind(in) == Tok::Begin) {
    advance(in);
    n->setBlock(0, parseStmtList(in));
    match(in, Tok::End);
    skipOptionalComma(in);
  }
  const Tok k = peekKind(in);
  if (k == Tok::Form || k == Tok::ParamForm) {
    advance(in);
    match(in, Tok::Assign);
    n->index = static_cast<std::uint16_t>(match(in, Tok::DataForm, KindSet{Tok::DataForm}));
  } else if (bareDataForm(in)) {
    n->index = static_cast<std::uint16_t>(match(in, Tok::DataForm, KindSet{Tok::DataForm}));
  }
  ExprNode* e = parseExpression(in);
  n->children[1] = e;
  constexpr TypeSet kNumeric = typeBit(ValueType::Integer) | typeBit(ValueType::Real);
  if (!(typeBit(e->resultType) & kNumeric)) badArgTypeTo(in, nodeKindName(kind), typeBit(e->resultType), kNumeric);
  skipOptionalComma(in);
  if (peekKind(in) == Tok::Begin) {
    advance(in);
    n->setBlock(2, parseStmtList(in));
    match(in, Tok::End);
  }
  match(in, Tok::End);
  return n.release();
}

Real guardedLog(const Interp& in, Real x) {
  if (x <= in.set.smallestLikelihood) return in.set.smallestLLikelihood;
  if (x >= in.set.largestLikelihood) return in.set.largestLLikelihood;
  return std::log(x);
}

void enableObsRecord(Interp& in, bool on) {
  ObsRecord& r = in.models.record;
  r.enabled = on;
  const auto n = static_cast<std::size_t>(in.set.nObs > 0 ? in.set.nObs : 0);
  if (on) {
    r.term.assign(n, 0);
    r.freq.assign(n, 0);
  } else {
    r.term.clear();
    r.term.shrink_to_fit();
    r.freq.clear();
    r.freq.shrink_to_fit();
  }
}

// Everything is resolved before the loop: the frequency storage, the blocks
// and the expression; the loop itself allocates nothing and looks nothing up.
Real evalDataNode(Interp& in, const ExprNode* n) {
  const auto form = static_cast<DataForm>(n->index);
  const DataStore* store = currentDataStore(in);
  const Symbol* freqSym = store ? store->frequency : nullptr;
  const Real* freq = freqSym ? static_cast<const Real*>(freqSym->block) : nullptr;
  const std::int32_t nObs = in.set.nObs;
  ObsRecord& rec = in.models.record;
  const bool recording = rec.enabled && rec.term.size() >= static_cast<std::size_t>(nObs > 0 ? nObs : 0);
  const StmtNode* pre = n->block(0);
  const StmtNode* post = n->block(2);
  const ExprNode* e = n->children[1];
  const bool product = form == DataForm::PROD || form == DataForm::PRODUCT;
  const int debug = in.set.debug;
  Real acc = product ? 1 : 0;
  for (std::int32_t i = 1; i <= nObs; ++i) {
    in.set.dIdx = i;
    const Real w = freq ? freq[i - 1] : 1;
    Real term = 0;
    if (w > 0) {
      if (pre) execList(in, pre);
      const Real v = evalReal(in, e);
      if (post) execList(in, post);
      switch (form) {
        case DataForm::SUMLL:
          term = guardedLog(in, v);
          acc += w * term;
          break;
        case DataForm::SUM:
        case DataForm::SUMMATION:
          term = v;
          acc += w * v;
          break;
        case DataForm::PROD:
        case DataForm::PRODUCT:
          if (recording) term = guardedLog(in, v);
          acc *= w == 1 ? v : std::pow(v, w);
          break;
      }
      if (debug >= 11 && static_cast<int>(form) >= 1) accumulationTrace(in, form, v, acc);
      if (debug >= 8)
        std::printf("llik=%s lik=%s freq=%s Sllik=%s\n", num(in, guardedLog(in, v), 9, 2).c_str(),
                    num(in, v, 9, 2).c_str(), num(in, w, 9, 2).c_str(), num(in, acc, 9, 2).c_str());
    }
    if (recording) {
      rec.term[static_cast<std::size_t>(i - 1)] = term;
      rec.freq[static_cast<std::size_t>(i - 1)] = w;
    }
  }
  return acc;
}

Real objective(Interp& in) {
  const Model& m = *in.models.running;
  if (m.pre) execList(in, m.pre);
  in.set.dIdx = 1;
  const Real v = evalReal(in, m.likelihood.get());
  ++in.set.evals;
  if (m.post) execList(in, m.post);
  if (in.set.debug >= 5 || in.set.debugLik) {
    std::string line = "Func (" + std::to_string(in.set.evals) + ") = " + num(in, v, 10, 5);
    for (std::size_t k = 0; k < in.models.work.free.size(); ++k) line += " p: " + num(in, paramValue(in, k), 8, 4);
    std::printf("%s\n", line.c_str());
  }
  return -v;
}

Real boundedObjective(Interp& in) {
  const RunWork& w = in.models.work;
  for (std::size_t k = 0; k < w.free.size(); ++k) {
    const Real x = paramValue(in, k);
    const bool below = x < w.low[k];
    if (!below && !(x > w.high[k])) continue;
    if (in.set.debug > 5)
      std::printf("Param %zu %s.  Returning a large pseudolikelihood\n", k + 1, below ? "< LOW" : "> HIGH");
    const Real bound = below ? w.low[k] : w.high[k];
    const Real big = in.set.largestLLikelihood;
    const Real pseudo = 0.5L * big + std::log(1 + std::fabs(x - bound));
    return pseudo > big ? pseudo : big;
  }
  return objective(in);
}

}  // namespace zav
