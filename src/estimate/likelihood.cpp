// The likelihood of a model: the DATA and PDATA forms that sum per-observation
// terms over the observations, the LEVEL forms that sum over groups of them,
// the objective every maximiser minimises, and the pseudolikelihood that
// keeps the simplex inside the bounds.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "core/interp.h"
#include "data/datastore.h"
#include "dists/pdfeval.h"
#include "dists/powr.h"
#include "estimate/estimate.h"
#include "estimate/likplan.h"
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

namespace {

// The body shared by DATA, PDATA, LEVEL and LEVELDELTA: [BEGIN .. END [,]]
// [FORM = name] expression [[,] BEGIN .. END], into slots o .. o+2.
void parseDataBody(Interp& in, ExprNode* n, NodeKind kind, int o) {
  if (peekKind(in) == Tok::Begin) {
    advance(in);
    n->setBlock(o, parseStmtList(in));
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
  n->children[static_cast<std::size_t>(o + 1)] = e;
  constexpr TypeSet kNumeric = typeBit(ValueType::Integer) | typeBit(ValueType::Real);
  if (!(typeBit(e->resultType) & kNumeric)) badArgTypeTo(in, nodeKindName(kind), typeBit(e->resultType), kNumeric);
  skipOptionalComma(in);
  if (peekKind(in) == Tok::Begin) {
    advance(in);
    n->setBlock(o + 2, parseStmtList(in));
    match(in, Tok::End);
  }
  match(in, Tok::End);
}

}  // namespace

ExprNode* parseDataForm(Interp& in, NodeKind kind) {
  advance(in);  // DATA or PDATA
  std::unique_ptr<ExprNode> n = std::make_unique<ExprNode>(static_cast<std::uint16_t>(DataForm::SUMLL), kind, 3);
  n->resultType = ValueType::Real;
  n->opType = ValueType::Real;
  parseDataBody(in, n.get(), kind, 0);
  return n.release();
}

ExprNode* parseLevelForm(Interp& in, NodeKind kind) {
  advance(in);  // LEVEL or LEVELDELTA
  std::unique_ptr<ExprNode> n = std::make_unique<ExprNode>(static_cast<std::uint16_t>(DataForm::SUMLL), kind, 4);
  n->resultType = ValueType::Real;
  n->opType = ValueType::Real;
  ExprNode* c = parseExpression(in);
  n->children[0] = c;
  if (kind == NodeKind::Level && c->resultType != ValueType::Boolean)
    badArgTypeTo(in, nodeKindName(kind), typeBit(c->resultType), typeBit(ValueType::Boolean));
  match(in, Tok::Then, KindSet{Tok::Then});
  parseDataBody(in, n.get(), kind, 1);
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
  r.filled = false;
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

namespace {

// The parts of a DATA-family node that one observation needs; o is the
// slot of the body's first block (0 for DATA and PDATA, 1 for the levels).
struct DataBody {
  DataForm form;
  const StmtNode* pre;
  const ExprNode* e;
  const StmtNode* post;
  bool product;
  const Real* freq;  // the frequency variable's storage, or null
  bool level;        // the expression is a level's: it weights its own observations
  bool logTerm;      // the body is one PDF term of a SUMLL form: its log is computed directly
  LnGuard guard;
};

// Whether e holds a LEVEL or LEVELDELTA of this summation (one inside a
// nested DATA belongs to that DATA's own loop).
bool holdsLevel(const ExprNode* e) {
  if (!e) return false;
  if (e->kind == NodeKind::Level || e->kind == NodeKind::LevelDelta) return true;
  if (e->kind == NodeKind::Data || e->kind == NodeKind::PData) return false;
  for (const ExprNode* c : e->children)
    if (holdsLevel(c)) return true;
  return false;
}

DataBody dataBody(Interp& in, const ExprNode* n, int o) {
  const auto form = static_cast<DataForm>(n->index);
  const DataStore* store = currentDataStore(in);
  const Symbol* freqSym = store ? store->frequency : nullptr;
  const ExprNode* e = n->children[static_cast<std::size_t>(o + 1)];
  const bool logTerm = form == DataForm::SUMLL && e->kind == NodeKind::Pdf && pdfHasLogTerm(e->index) &&
                       in.set.debug < 8;
  return DataBody{form,
                  n->block(o),
                  e,
                  n->block(o + 2),
                  form == DataForm::PROD || form == DataForm::PRODUCT,
                  freqSym ? static_cast<const Real*>(freqSym->block) : nullptr,
                  holdsLevel(e),
                  logTerm,
                  lnGuard(in.set)};
}

// An observation's weight. A level's term already weights each observation
// of its group by its frequency, so it is not weighted again.
Real observationWeight(const DataBody& b, std::int32_t i) { return b.freq && !b.level ? b.freq[i - 1] : 1; }

// Evaluates observation D_IDX (weight w > 0) and folds it into acc; returns
// the term the per-observation record keeps.
Real foldObservation(Interp& in, const DataBody& b, Real w, bool recording, Real& acc) {
  if (b.pre) execList(in, b.pre);
  if (b.logTerm) {
    const Real term = evalPdfLogTerm(in, b.e, b.guard);
    if (b.post) execList(in, b.post);
    acc += w * term;
    return term;
  }
  const Real v = evalReal(in, b.e);
  if (b.post) execList(in, b.post);
  Real term = 0;
  switch (b.form) {
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
      acc *= w == 1 ? v : dens::powr(v, w);
      break;
  }
  const int debug = in.set.debug;
  if (debug >= 11 && static_cast<int>(b.form) >= 1) accumulationTrace(in, b.form, v, acc);
  if (debug >= 8)
    std::printf("llik=%s lik=%s freq=%s Sllik=%s\n", num(in, guardedLog(in, v), 9, 2).c_str(),
                num(in, v, 9, 2).c_str(), num(in, w, 9, 2).c_str(), num(in, acc, 9, 2).c_str());
  return term;
}

// The watched value of a LEVELDELTA node, compared in its own type.
struct Watched {
  ValueType type = ValueType::Undef;
  Real r = 0;
  Complex c;
  std::string s;
};

void watch(Interp& in, const ExprNode* e, Watched& out) {
  out.type = e->resultType;
  switch (e->resultType) {
    case ValueType::Boolean: out.r = evalBoolean(in, e) ? 1 : 0; break;
    case ValueType::Char: out.r = static_cast<unsigned char>(evalChar(in, e)); break;
    case ValueType::Integer: out.r = evalInteger(in, e); break;
    case ValueType::Complex: out.c = evalComplex(in, e); break;
    case ValueType::String: evalString(in, e, out.s); break;
    default: out.r = evalReal(in, e); break;
  }
}

bool sameWatched(const Watched& a, const Watched& b) {
  switch (a.type) {
    case ValueType::Complex: return a.c.re == b.c.re && a.c.im == b.c.im;
    case ValueType::String: return a.s == b.s;
    default: return a.r == b.r;
  }
}

}  // namespace

// Everything is resolved before the loop: the frequency storage, the blocks
// and the expression; the loop itself allocates nothing and looks nothing up.
// The loop runs on D_IDX itself: a LEVEL node inside the expression consumes
// a run of observations and leaves D_IDX at the last of them, so the next
// term starts after the run.
Real evalDataNode(Interp& in, const ExprNode* n) {
  Real fast;
  if (fastDataSum(in, n, fast)) return fast;
  const DataBody b = dataBody(in, n, 0);
  const std::int32_t nObs = in.set.nObs;
  ObsRecord& rec = in.models.record;
  const bool recording = rec.enabled && rec.term.size() >= static_cast<std::size_t>(nObs > 0 ? nObs : 0);
  Real acc = b.product ? 1 : 0;
  for (std::int32_t i = 1; i <= nObs; ++i) {
    in.set.dIdx = i;
    const Real w = observationWeight(b, i);
    Real term = 0;
    if (w > 0) term = foldObservation(in, b, w, recording, acc);
    if (recording) {
      rec.term[static_cast<std::size_t>(i - 1)] = term;
      rec.freq[static_cast<std::size_t>(i - 1)] = w;
    }
    if (in.set.dIdx > i && in.set.dIdx <= nObs) i = in.set.dIdx;
  }
  return acc;
}

// A level is a group of consecutive observations, starting at the current
// D_IDX (which always belongs to it); each following observation joins while
// the condition holds there (LEVEL) or the watched value equals its value at
// the first observation (LEVELDELTA). The level accumulates its body over the
// group by its own form and leaves D_IDX at the group's last observation.
Real evalLevelNode(Interp& in, const ExprNode* n) {
  const DataBody b = dataBody(in, n, 1);
  const std::int32_t nObs = in.set.nObs;
  const ExprNode* c = n->children[0];
  const bool delta = n->kind == NodeKind::LevelDelta;
  Real acc = b.product ? 1 : 0;
  std::int32_t i = in.set.dIdx < 1 ? 1 : in.set.dIdx;
  if (i > nObs) return acc;
  Watched first, next;
  if (delta) {
    in.set.dIdx = i;
    watch(in, c, first);
  }
  for (;;) {
    in.set.dIdx = i;
    const Real w = observationWeight(b, i);
    if (w > 0) foldObservation(in, b, w, false, acc);
    if (in.set.dIdx > i && in.set.dIdx <= nObs) i = in.set.dIdx;  // a nested level's group
    if (i >= nObs) break;
    in.set.dIdx = i + 1;
    bool joins;
    if (delta) {
      watch(in, c, next);
      joins = sameWatched(first, next);
    } else {
      joins = evalBoolean(in, c);
    }
    if (!joins) break;
    ++i;
  }
  in.set.dIdx = i;
  return acc;
}

Real objective(Interp& in) {
  spendStep(in);
  const Model& m = *in.models.running;
  if (m.pre) execList(in, m.pre);
  in.set.dIdx = 1;
  const Real v = evalReal(in, m.likelihood.get());
  ++in.set.evals;
  RunWork& work = in.models.work;
  if (!work.evaluated) {
    work.evaluated = true;
    work.firstObjective = -v;
  }
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
