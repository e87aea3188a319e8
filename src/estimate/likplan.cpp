// A DATA form whose body is one PDF term is compiled into a plan: each time
// variable, parameter and the hazard multiplier becomes either an invariant
// (an expression that reads no data variable and no D_IDX and has no side
// effect, evaluated once per likelihood by the interpreter) or a short
// postfix program over the observation's data variables, read by index. A
// plan runs on the worker threads: its programs read the settings and the
// data and write only their own block's sum; a domain error marks the block
// failed instead of stopping the run, so the interpreter can report it.
#include "estimate/likplan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/interp.h"
#include "data/datastore.h"
#include "dists/densities.h"
#include "dists/lnscore.h"
#include "dists/lnterm.h"
#include "dists/pdfcatalog.h"
#include "dists/pdfeval.h"
#include "estimate/model.h"
#include "estimate/workers.h"
#include "funcs/catalog.h"
#include "funcs/eval.h"
#include "funcs/fastexp.h"
#include "funcs/mathlib.h"
#include "parse/forms.h"
#include "parse/node.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// Observations per block: the summing order, and so the value, depends on
// it and on nothing else.
constexpr std::int32_t kBlock = 4096;
constexpr int kStackDepth = 32;
constexpr int kMaxTimes = 4;
constexpr Real kInf = std::numeric_limits<Real>::infinity();
// Within +-kLnKRange a hazard multiplier's logarithm gives a finite,
// positive k.
constexpr Real kLnKRange = 11000;

enum class Op : std::uint8_t { Const, RealVar, IntVar, Index, Add, Sub, Mul, Div, Neg, Exp, Ln, Sqrt, Param };

struct Instr {
  Op op = Op::Const;
  std::uint8_t form = 0;     // Param: its form
  std::uint16_t pairs = 0;   // Param: covariate pairs on the stack
  std::int32_t slot = 0;     // Const: invariant; RealVar, IntVar: data variable; Param: parameter
};

struct Slot {
  bool present = false;
  std::vector<Instr> code;
  bool fixed() const { return code.size() == 1 && code[0].op == Op::Const; }
};

struct Plan;

// A slot resolved for one evaluation: a data variable read directly, a
// value fixed for the evaluation, or a program.
struct Arg {
  const Real* real = nullptr;
  const std::vector<Instr>* code = nullptr;
  Real value = 0;
};

// What one evaluation shares with the workers, refreshed on each call.
struct Frame {
  const Plan* plan = nullptr;
  Interp* in = nullptr;
  std::vector<Real> inv;       // invariant values
  std::vector<Real> pvals;     // parameter values of the PARAM nodes with covariates
  std::vector<Real> lnPvals;   // and their logarithms
  Arg vars[kMaxTimes];
  Arg params[kMaxPdfParams];
  Arg kArg;
  // A hazard multiplier p exp(sum x b) over data variables x, its b fixed:
  // worked without the program.
  struct Term {
    const Real* x;
    Real b;
  };
  std::vector<Term> linear;
  int linearSlot = -1;
  bool simple = false;  // the block loop of the common case applies
  std::vector<const void*> data;
  const Real* freq = nullptr;
  // The per-observation record when it is on: each block writes its own
  // slice of the terms and frequencies.
  Real* recTerm = nullptr;
  Real* recFreq = nullptr;
  // ln of the first time variable per observation, for the laws that start
  // from it, while a model runs; else null.
  const Real* lnT = nullptr;
  LnGuard guard{};
  bool modelRunning = false;
  bool lawFixed = false;
  bool lawBad = false;  // fixed parameters outside their range while a model is solved
  LogLaw law;
  Support sup{};
  bool kFixed = false;
  Real k = 1, lnK = 0;
  std::int32_t nObs = 0;
  std::vector<Real> sums;
  std::vector<char> failed;
  // The score pass: each block's derivatives of its log-likelihood with
  // respect to the law's parameters, each covariate coefficient of the
  // hazard multiplier, and ln k, in that order.
  std::size_t scoreWidth = 0;
  std::vector<Real> scores;
  // For a score pass over a law whose parameters vary: each parameter's
  // value p (fixed, or its form's own) and its form's covariate pairs.
  struct Form {
    bool fixed = true;
    int form = 0;
    Real p = 0;
    std::vector<Term> pairs;
  };
  std::vector<Form> forms;
};

struct Plan {
  bool ok = false;
  int pdf = 0;
  int timeRange = 0;
  int varCount = 0;
  int paramCount = 0;
  int count = 0;  // time variables given
  Slot vars[kMaxTimes];
  Slot params[kMaxPdfParams];
  Slot k;
  bool paramsFixed = true;
  std::vector<const ExprNode*> invariants;
  std::vector<const ExprNode*> paramNodes;
  std::vector<Symbol*> data;
  std::vector<std::pair<const Symbol*, bool>> seen;  // identifiers and whether each was a data variable
  Frame frame;
  // The log times of one model run: the times they were taken from.
  std::vector<Real> lnTimes;
  const Real* lnTimesOf = nullptr;
  std::uint64_t lnTimesRun = 0;
};

bool isIndexSymbol(const Symbol* s) { return s->name == "D_IDX"; }

bool readsObservation(const ExprNode* n) {
  if (!n) return false;
  if (n->kind == NodeKind::Identifier && ((n->symbol->flags & kDataVar) || isIndexSymbol(n->symbol))) return true;
  for (const ExprNode* c : n->children)
    if (readsObservation(c)) return true;
  return false;
}

// Functions of their arguments alone: nothing drawn, printed or stored.
bool pureFunction(Fn f) {
  switch (f) {
    case Fn::ABS: case Fn::ADD: case Fn::SUBTRACT: case Fn::MULTIPLY: case Fn::DIVIDE: case Fn::NEGATE:
    case Fn::INC: case Fn::DEC: case Fn::INVERT: case Fn::EXP: case Fn::LN: case Fn::LOG: case Fn::LOG10:
    case Fn::SQRT: case Fn::SQR: case Fn::POWER: case Fn::MIN: case Fn::MAX: case Fn::MIX: case Fn::SIN:
    case Fn::COS: case Fn::TAN: case Fn::SINH: case Fn::COSH: case Fn::TANH: case Fn::ARCTAN: case Fn::ERF:
    case Fn::ERFC: case Fn::GAMMA: case Fn::LNGAMMA: case Fn::LOGISTIC: case Fn::LOGIT: case Fn::FISHER:
    case Fn::FISHERINV: case Fn::FLOOR: case Fn::CEIL: case Fn::ROUND: case Fn::TRUNC: case Fn::INT:
    case Fn::FRAC: case Fn::NORMAL: case Fn::NORMALCDF: case Fn::SIGN: case Fn::SGN: case Fn::HEAVISIDE:
    case Fn::ISEQ: case Fn::ISNE: case Fn::ISLT: case Fn::ISLE: case Fn::ISGT: case Fn::ISGE: case Fn::ANDF:
    case Fn::ORF: case Fn::NOTF: return true;
    default: return false;
  }
}

bool pure(const ExprNode* n) {
  if (!n) return true;
  switch (n->kind) {
    case NodeKind::Identifier:
    case NodeKind::If:
    case NodeKind::Param:
    case NodeKind::Pdf: break;
    case NodeKind::Function:
      if (!pureFunction(static_cast<Fn>(n->index))) return false;
      break;
    default: return false;
  }
  for (const ExprNode* c : n->children)
    if (!pure(c)) return false;
  return true;
}

void noteIdentifiers(Plan& plan, const ExprNode* n) {
  if (!n) return;
  if (n->kind == NodeKind::Identifier) plan.seen.emplace_back(n->symbol, (n->symbol->flags & kDataVar) != 0);
  for (const ExprNode* c : n->children) noteIdentifiers(plan, c);
}

int dataSlot(Plan& plan, Symbol* s) {
  for (std::size_t i = 0; i < plan.data.size(); ++i)
    if (plan.data[i] == s) return static_cast<int>(i);
  plan.data.push_back(s);
  return static_cast<int>(plan.data.size()) - 1;
}

// Appends the program of n; false when n cannot run outside the interpreter.
bool emit(Plan& plan, const ExprNode* n, std::vector<Instr>& code) {
  if (!readsObservation(n)) {
    if (!pure(n) || !(typeBit(n->resultType) & (typeBit(ValueType::Integer) | typeBit(ValueType::Real))))
      return false;
    Instr c;
    c.slot = static_cast<std::int32_t>(plan.invariants.size());
    plan.invariants.push_back(n);
    code.push_back(c);
    return true;
  }
  Instr x;
  switch (n->kind) {
    case NodeKind::Identifier: {
      Symbol* s = n->symbol;
      if (isIndexSymbol(s)) {
        x.op = Op::Index;
      } else if (s->type == ValueType::Real) {
        x.op = Op::RealVar;
      } else if (s->type == ValueType::Integer) {
        x.op = Op::IntVar;
      } else {
        return false;
      }
      if (x.op != Op::Index) x.slot = dataSlot(plan, s);
      code.push_back(x);
      return true;
    }
    case NodeKind::Function: {
      if (n->resultType != ValueType::Real || n->opType == ValueType::Complex) return false;
      int args = 1;
      switch (static_cast<Fn>(n->index)) {
        case Fn::ADD: x.op = Op::Add, args = 2; break;
        case Fn::SUBTRACT: x.op = Op::Sub, args = 2; break;
        case Fn::MULTIPLY: x.op = Op::Mul, args = 2; break;
        case Fn::DIVIDE: x.op = Op::Div, args = 2; break;
        case Fn::NEGATE: x.op = Op::Neg; break;
        case Fn::EXP: x.op = Op::Exp; break;
        case Fn::LN:
        case Fn::LOG: x.op = Op::Ln; break;
        case Fn::SQRT: x.op = Op::Sqrt; break;
        default: return false;
      }
      if (n->childCount() != args) return false;
      for (const ExprNode* c : n->children)
        if (!c || !emit(plan, c, code)) return false;
      code.push_back(x);
      return true;
    }
    case NodeKind::Param: {
      if (!plainParamForm(n->index) || n->childCount() % 2 != 0 || n->childCount() / 2 > 0xffff) return false;
      for (const ExprNode* c : n->children)
        if (!c || !emit(plan, c, code)) return false;
      x.op = Op::Param;
      x.form = static_cast<std::uint8_t>(n->index);
      x.pairs = static_cast<std::uint16_t>(n->childCount() / 2);
      x.slot = static_cast<std::int32_t>(plan.paramNodes.size());
      plan.paramNodes.push_back(n);
      code.push_back(x);
      return true;
    }
    default: return false;
  }
}

bool deepEnough(const std::vector<Instr>& code) {
  int depth = 0;
  for (const Instr& x : code) {
    switch (x.op) {
      case Op::Const: case Op::RealVar: case Op::IntVar: case Op::Index: ++depth; break;
      case Op::Add: case Op::Sub: case Op::Mul: case Op::Div: --depth; break;
      case Op::Param: depth += 1 - 2 * x.pairs; break;
      default: break;
    }
    if (depth > kStackDepth) return false;
  }
  return true;
}

bool compileSlot(Plan& plan, const ExprNode* n, Slot& slot) {
  slot.present = n != nullptr;
  if (!n) return true;
  return emit(plan, n, slot.code) && deepEnough(slot.code);
}

void compile(Plan& plan, const ExprNode* dataNode) {
  plan = Plan{};
  if (dataNode->block(0) || dataNode->block(2)) return;
  if (static_cast<DataForm>(dataNode->index) != DataForm::SUMLL) return;
  const ExprNode* e = dataNode->children[1];
  if (!e || e->kind != NodeKind::Pdf || !pdfHasLogTerm(e->index)) return;
  const PdfInfo& info = *pdfInfo(e->index);
  if (info.varCount > kMaxTimes) return;
  plan.pdf = e->index;
  plan.timeRange = info.timeRange;
  plan.varCount = info.varCount;
  plan.paramCount = info.paramCount;
  noteIdentifiers(plan, e);
  auto child = [&](int i) { return i < e->childCount() ? e->children[static_cast<std::size_t>(i)] : nullptr; };
  for (int i = 0; i < info.varCount; ++i) {
    if (!compileSlot(plan, child(i), plan.vars[i])) return;
    if (plan.vars[i].present) ++plan.count;
  }
  for (int i = 0; i < info.paramCount; ++i) {
    if (!compileSlot(plan, child(info.varCount + i), plan.params[i])) return;
    if (plan.params[i].present && !plan.params[i].fixed()) plan.paramsFixed = false;
  }
  if (info.hazard && !compileSlot(plan, child(info.varCount + info.paramCount), plan.k)) return;
  plan.ok = true;
}

bool stale(const Plan& plan) {
  for (const auto& [s, wasData] : plan.seen)
    if (((s->flags & kDataVar) != 0) != wasData) return true;
  return false;
}

// Runs a program for observation i (from 1). False on a domain error. When
// the program ends in an exponential hazard multiplier, lnOut gets ln k as
// ln p + xb.
bool run(const Frame& f, const std::vector<Instr>& code, std::int32_t i, Real& out, Real* lnOut) {
  Real st[kStackDepth + 1];
  int top = -1;
  const Settings& set = f.in->set;
  for (const Instr& x : code) {
    switch (x.op) {
      case Op::Const: st[++top] = f.inv[static_cast<std::size_t>(x.slot)]; break;
      case Op::RealVar: st[++top] = static_cast<const Real*>(f.data[static_cast<std::size_t>(x.slot)])[i - 1]; break;
      case Op::IntVar:
        st[++top] = static_cast<const std::int32_t*>(f.data[static_cast<std::size_t>(x.slot)])[i - 1];
        break;
      case Op::Index: st[++top] = static_cast<Real>(i); break;
      case Op::Add: --top, st[top] = st[top] + st[top + 1]; break;
      case Op::Sub: --top, st[top] = st[top] - st[top + 1]; break;
      case Op::Mul: --top, st[top] = st[top] * st[top + 1]; break;
      case Op::Div: --top, st[top] = st[top] / st[top + 1]; break;
      case Op::Neg: st[top] = -st[top]; break;
      case Op::Exp: st[top] = std::exp(st[top]); break;
      case Op::Ln: {
        const Real v = st[top];
        if (v < 0) return false;
        st[top] = v == 0 ? set.negInfinity : std::log(v);
        break;
      }
      case Op::Sqrt: {
        const Real v = st[top];
        if (v < 0) return false;
        st[top] = isPosOo(set, v) ? v : (v == 0 ? 0 : std::sqrt(v));
        break;
      }
      case Op::Param: {
        const int base = top - 2 * x.pairs + 1;
        Real xb = 0;
        for (int j = 0; j < x.pairs; ++j) xb += st[base + 2 * j] * st[base + 2 * j + 1];
        const Real p = f.pvals[static_cast<std::size_t>(x.slot)];
        top = base;
        st[top] = plainParamValue(set, x.form, p, xb);
        if (lnOut && &x == &code.back() && x.form == static_cast<int>(ParamForm::HazardMultiplier) &&
            set.expHazard && p > 0)
          *lnOut = f.lnPvals[static_cast<std::size_t>(x.slot)] + xb;
        break;
      }
    }
  }
  out = st[0];
  return true;
}

[[gnu::always_inline]] inline bool argValue(const Frame& f, const Arg& a, std::int32_t i, Real& out) {
  if (a.real) {
    out = a.real[i - 1];
    return true;
  }
  if (!a.code) {
    out = a.value;
    return true;
  }
  return run(f, *a.code, i, out, nullptr);
}

// The guarded log-likelihood term of observation i; false on a failure the
// interpreter must report.
bool termVarying(const Frame& f, std::int32_t i, const Real* v, Real k, Real lnK, Real& out) {
  const Plan& plan = *f.plan;
  Real p[kMaxPdfParams] = {};
  for (int j = 0; j < plan.paramCount; ++j)
    if (!argValue(f, f.params[j], i, p[j])) return false;
  if (!pdfParamsInRange(plan.pdf, p)) {
    if (!f.modelRunning) return false;
    out = guardLn(f.guard, -std::numeric_limits<Real>::infinity());
    return true;
  }
  const Support sup = supportBounds(*f.in, plan.timeRange, p);
  LogLaw law;
  prepareLogLaw(plan.pdf, p, law);
  out = pdfLogTerm(*f.in, law, k, lnK, sup, v, plan.count, f.guard);
  return true;
}

// x b of observation i over the multiplier's covariates.
[[gnu::always_inline]] inline Real linearPredictor(const Frame& f, std::int32_t i) {
  Real xb = 0;
  for (const Frame::Term& t : f.linear) xb += t.x[i - 1] * t.b;
  return xb;
}

// The hazard multiplier of observation i and its logarithm.
[[gnu::always_inline]] inline bool hazard(const Frame& f, std::int32_t i, Real& k, Real& lnK) {
  if (f.kFixed) {
    k = f.k;
    lnK = f.lnK;
    return true;
  }
  lnK = std::numeric_limits<Real>::quiet_NaN();
  if (f.linearSlot >= 0) {
    const Real xb = linearPredictor(f, i);
    const auto slot = static_cast<std::size_t>(f.linearSlot);
    const Real p = f.pvals[slot];
    if (f.in->set.expHazard) {
      k = p * std::exp(xb);
      if (p > 0) lnK = f.lnPvals[slot] + xb;
    } else {
      k = p * xb;
    }
  } else if (f.kArg.code ? !run(f, *f.kArg.code, i, k, &lnK) : !argValue(f, f.kArg, i, k)) {
    return false;
  }
  if (std::isnan(lnK) && k > 0) lnK = std::log(k);
  return true;
}

[[gnu::always_inline]] inline bool term(const Frame& f, std::int32_t i, Real& out) {
  const Plan& plan = *f.plan;
  Real v[kMaxTimes];
  for (int j = 0; j < plan.varCount; ++j)
    if (!argValue(f, f.vars[j], i, v[j])) return false;
  Real k, lnK;
  if (!hazard(f, i, k, lnK)) return false;
  if (!f.lawFixed) return termVarying(f, i, v, k, lnK, out);
  out = f.lawBad ? guardLn(f.guard, -std::numeric_limits<Real>::infinity())
                 : pdfLogTerm(*f.in, f.law, k, lnK, f.sup, v, plan.count, f.guard);
  return true;
}

// ln t of observation i for the log routines: from the run's cache when
// there is one.
template <bool kCached>
[[gnu::always_inline]] inline auto lnTimeOf(const Frame& f, std::int32_t i) {
  if constexpr (kCached) return LnTimeGiven{f.lnT[i - 1]};
  else return LnOfTime{};
}

// The general term for the observations the specialised loops leave to it:
// rare, so a call, and the loops' many instances do not each carry a copy.
[[gnu::noinline]] bool otherTerm(const Frame& f, std::int32_t i, Real& out) { return term(f, i, out); }

// The common case in a loop of its own: a law on [0, oo) or the whole line
// with fixed parameters, times read straight from the data, no truncation. Exact and
// right-censored times take their log density or log survival at once (the
// same steps as lnContribution), any other observation the general term.
// kPdf, when not 0, is the law's code known when compiling, so that the log
// routines' dispatch folds away and the loop holds the one law's steps.
template <bool kCached, Pdf kPdf>
bool simpleBlock(const Frame& f, std::int32_t first, std::int32_t last, Real& total) {
  Real sum = 0;
  const Real* t0 = f.vars[0].real;
  const Real* t1 = f.plan->count >= 2 ? f.vars[1].real : t0;
  const Real inf = f.in->set.infinity, ninf = f.in->set.negInfinity, low = f.sup.low;
  LogLaw law = f.law;
  if constexpr (kPdf != Pdf{}) law.pdf = static_cast<int>(kPdf);
  const LnGuard g = f.guard;
  for (std::int32_t i = first; i <= last; ++i) {
    const Real w = f.freq ? f.freq[i - 1] : 1;
    if (!(w > 0)) continue;
    const Real tO = t0[i - 1], tC = t1[i - 1];
    Real k, lnK;
    if (!hazard(f, i, k, lnK)) return false;
    Real lnx;
    if (!(tO >= low && tO > ninf && tO < inf) || !(k > 0) || (tC != tO && !(tC >= inf))) {
      if (!otherTerm(f, i, lnx)) return false;
      if (f.recTerm) f.recTerm[i - 1] = lnx;
      sum += w * lnx;
      continue;
    }
    const auto ln = lnTimeOf<kCached>(f, i);
    if (tC != tO) {
      lnx = lawLnSurvival(law, tO, ln);
      if (k != 1) lnx = k * lnx;
    } else if (k == 1) {
      lnx = lawLnDensity(law, tO, ln);
    } else {
      Real lnS;
      lawLnBoth(law, tO, lnx, lnS, ln);
      if (lnx != -std::numeric_limits<Real>::infinity()) lnx = lnx + lnK + (k - 1) * lnS;
    }
    if (std::isnan(lnx)) {  // no log-space value: the general term decides
      if (!otherTerm(f, i, lnx)) return false;
    } else {
      lnx = guardLn(g, lnx);
    }
    if (f.recTerm) f.recTerm[i - 1] = lnx;
    sum += w * lnx;
  }
  total = sum;
  return true;
}

// The loop of the common case for the law at hand: its own for the laws fits
// use most (with the run's log times for those that start from ln t).
bool lawBlock(const Frame& f, std::int32_t first, std::int32_t last, Real& total) {
  const auto pdf = static_cast<Pdf>(f.law.pdf);
  if (f.lnT) {
    switch (pdf) {
      case Pdf::LNNORMAL: return simpleBlock<true, Pdf::LNNORMAL>(f, first, last, total);
      case Pdf::LOGNORMAL: return simpleBlock<true, Pdf::LOGNORMAL>(f, first, last, total);
      case Pdf::LNLOGISTIC: return simpleBlock<true, Pdf::LNLOGISTIC>(f, first, last, total);
      default: return simpleBlock<true, Pdf{}>(f, first, last, total);
    }
  }
  switch (pdf) {
    case Pdf::EXPONENTIAL: return simpleBlock<false, Pdf::EXPONENTIAL>(f, first, last, total);
    case Pdf::NORMAL: return simpleBlock<false, Pdf::NORMAL>(f, first, last, total);
    case Pdf::GAUSSIAN: return simpleBlock<false, Pdf::GAUSSIAN>(f, first, last, total);
    case Pdf::LOGISTIC: return simpleBlock<false, Pdf::LOGISTIC>(f, first, last, total);
    case Pdf::GAMMA: return simpleBlock<false, Pdf::GAMMA>(f, first, last, total);
    default: return simpleBlock<false, Pdf{}>(f, first, last, total);
  }
}

// The same loop for the Weibull law, its log density and log survival
// written out. K is how the hazard multiplier comes: none, fixed, or (Linear)
// p exp(xb) over covariates with p > 0, which enters only as
// ln k = ln p + xb: with z = t/a, k z^b = exp(ln k + b ln z), and one
// exponential per observation serves both the multiplier and the law.
enum class K { One, Fixed, Linear };
template <bool kWeighted, K kMode, bool kCached>
bool weibullLoop(const Frame& f, std::int32_t first, std::int32_t last, Real& total) {
  const Real* t0 = f.vars[0].real;
  const Real* t1 = f.plan->count >= 2 ? f.vars[1].real : t0;
  const Real inf = f.in->set.infinity;
  const Real lnA = f.law.c[0], lnNorm = f.law.c[1], shape = f.law.p[1];
  const LnGuard g = f.guard;
  const Real lnP = kMode == K::Linear ? f.lnPvals[static_cast<std::size_t>(f.linearSlot)] : 0;
  Real sum = 0;
  for (std::int32_t i = first; i <= last; ++i) {
    Real w = 1;
    if constexpr (kWeighted) {
      w = f.freq[i - 1];
      if (!(w > 0)) continue;
    }
    const Real tO = t0[i - 1], tC = t1[i - 1];
    Real k = 1, lnK = 0;
    if constexpr (kMode == K::Fixed) k = f.k, lnK = f.lnK;
    if constexpr (kMode == K::Linear) lnK = lnP + linearPredictor(f, i);
    // Beyond ln k = +-kLnKRange, k itself would overflow or vanish, and
    // the general term decides.
    const bool kOk = kMode == K::One || (kMode == K::Fixed ? k > 0 : std::fabs(lnK) < kLnKRange);
    Real lnx;
    if (!(tO >= 0 && tO < inf) || (tC != tO && !(tC >= inf)) || !kOk) {
      if (!otherTerm(f, i, lnx)) return false;
      if (f.recTerm) f.recTerm[i - 1] = lnx;
      sum += kWeighted ? w * lnx : lnx;
      continue;
    }
    const Real lnz = (kCached ? f.lnT[i - 1] : fastLog(tO)) - lnA;
    if constexpr (kMode == K::Linear) {
      const Real kzb = fastExp(lnK + shape * lnz);
      if (tC != tO) lnx = -kzb;
      else lnx = kzb == kInf ? -kzb : lnNorm + (shape == 1 ? 0 : (shape - 1) * lnz) + lnK - kzb;
    } else {
      const Real zb = fastExp(shape * lnz);
      if (tC != tO) {
        lnx = kMode == K::One || k == 1 ? -zb : k * -zb;
      } else {
        lnx = zb == kInf ? -zb : lnNorm + (shape == 1 ? 0 : (shape - 1) * lnz) - zb;
        if (kMode != K::One && k != 1 && lnx != -kInf) lnx = lnx + lnK + (k - 1) * -zb;
      }
    }
    lnx = guardLn(g, lnx);
    if (f.recTerm) f.recTerm[i - 1] = lnx;
    sum += kWeighted ? w * lnx : lnx;
  }
  total = sum;
  return true;
}

template <bool kWeighted, K kMode>
bool weibullBlock(const Frame& f, std::int32_t first, std::int32_t last, Real& total) {
  return f.lnT ? weibullLoop<kWeighted, kMode, true>(f, first, last, total)
               : weibullLoop<kWeighted, kMode, false>(f, first, last, total);
}

// What the record holds for observations the loops skip: every frequency,
// and a zero term until the observation's own is written.
void fillRecord(const Frame& f, std::int32_t first, std::int32_t last) {
  for (std::int32_t i = first; i <= last; ++i) {
    f.recTerm[i - 1] = 0;
    f.recFreq[i - 1] = f.freq ? f.freq[i - 1] : 1;
  }
}

void sumBlock(void* ctx, int b) {
  Frame& f = *static_cast<Frame*>(ctx);
  const std::int32_t first = b * kBlock + 1;
  const std::int32_t last = std::min<std::int32_t>(f.nObs, first + kBlock - 1);
  if (f.recFreq) fillRecord(f, first, last);
  Real sum = 0;
  if (f.simple) {
    const Real lnP = f.linearSlot >= 0 ? f.lnPvals[static_cast<std::size_t>(f.linearSlot)] : 0;
    const bool linear = f.linearSlot >= 0 && f.in->set.expHazard && std::isfinite(lnP);
    const bool weibull = f.law.pdf == static_cast<int>(Pdf::WEIBULL) && (f.kFixed || linear);
    const K mode = !f.kFixed ? K::Linear : f.k == 1 ? K::One : K::Fixed;
    bool done;
    if (!weibull) done = lawBlock(f, first, last, sum);
    else if (f.freq)
      done = mode == K::One     ? weibullBlock<true, K::One>(f, first, last, sum)
             : mode == K::Fixed ? weibullBlock<true, K::Fixed>(f, first, last, sum)
                                : weibullBlock<true, K::Linear>(f, first, last, sum);
    else
      done = mode == K::One     ? weibullBlock<false, K::One>(f, first, last, sum)
             : mode == K::Fixed ? weibullBlock<false, K::Fixed>(f, first, last, sum)
                                : weibullBlock<false, K::Linear>(f, first, last, sum);
    if (!done)
      f.failed[static_cast<std::size_t>(b)] = 1;
    f.sums[static_cast<std::size_t>(b)] = sum;
    return;
  }
  for (std::int32_t i = first; i <= last; ++i) {
    const Real w = f.freq ? f.freq[i - 1] : 1;
    if (!(w > 0)) continue;
    Real t;
    if (!term(f, i, t)) {
      f.failed[static_cast<std::size_t>(b)] = 1;
      return;
    }
    if (f.recTerm) f.recTerm[i - 1] = t;
    sum += w * t;
  }
  f.sums[static_cast<std::size_t>(b)] = sum;
}

// The log of a truncation window, ln[S(tL)^k - S(tR)^k] (S(tL - 1) for a
// count), its scores in the law's parameters, and in ln k. A bound beyond
// the support is no bound; false where a bound is NaN.
bool window(const Frame& f, const LogLaw& law, const Support& sup, Real k, Real tL, Real tR, Real& lnW, Real* dW,
            Real& dWk) {
  const Real inf = f.in->set.infinity, ninf = f.in->set.negInfinity;
  if (std::isnan(tL) || std::isnan(tR)) return false;
  Real lnL = 0, lnR = -kInf;
  Real dF[kMaxPdfParams] = {}, dL[kMaxPdfParams] = {}, dR[kMaxPdfParams] = {};
  if (sup.low < tL && tL > ninf) {
    const Real t = law.discrete ? tL - 1 : tL;
    lnL = lawLnSurvival(law, t);
    if (!std::isfinite(lnL)) return lnW = -kInf, true;
    lawScores(law, t, lnL, dF, dL);
  }
  if (tL < tR && tR < sup.high && tR < inf) {
    lnR = lawLnSurvival(law, tR);
    if (lnR > -kInf) lawScores(law, tR, lnR, dF, dR);
  }
  const int np = f.plan->paramCount;
  const Real r = lnR == -kInf ? 0 : fastExp(k * (lnR - lnL));
  if (!(r < 1)) return lnW = -kInf, true;
  lnW = k * lnL + (r == 0 ? 0 : fastLog1p(-r));
  for (int j = 0; j < np; ++j) dW[j] = k * (dL[j] - r * dR[j]) / (1 - r);
  dWk = k * (lnL - (r == 0 ? 0 : r * lnR)) / (1 - r);
  return true;
}

// What one observation's scores come to.
enum class Scored { Add, Skip, Fail };

// The scores of observation i under `law` (its parameters' in d, ln k's in
// dk), before its frequency. An exact time adds d ln f + (k - 1) d ln S,
// and 1 + k ln S for ln k; a right-censored one k d ln S, and k ln S; an
// interval-censored one, with r = S(b)^k / S(a)^k,
// k (d ln S(a) - r d ln S(b)) / (1 - r), and k (ln S(a) - r ln S(b)) / (1 - r).
// A truncation window takes the same form away, with its bounds for a and
// b. A term that the guard holds at its bound adds nothing (Skip); any
// other case the loops leave to differences (Fail).
template <bool kCached>
Scored observationScores(const Frame& f, const LogLaw& law, const Support& sup, Real k, Real lnK, std::int32_t i,
                         Real* d, Real& dk) {
  const int np = f.plan->paramCount, count = f.plan->count;
  const Real inf = f.in->set.infinity, low = sup.low, high = sup.high;
  Real tO = f.vars[0].real[i - 1], tC = count >= 2 ? f.vars[1].real[i - 1] : tO;
  const bool exact = tC == tO;
  bool interval = !exact && tC < inf;
  // The truncation window, ln W = ln[S(tL)^k - S(tR)^k], and its scores,
  // which the observation's own lose.
  Real lnW = 0, dW[kMaxPdfParams] = {}, dWk = 0;
  if (count >= 3) {
    const Real tL = f.vars[2].real[i - 1], tR = count >= 4 ? f.vars[3].real[i - 1] : inf;
    if (!window(f, law, sup, k, tL, tR, lnW, dW, dWk)) return Scored::Fail;
    if (lnW == -inf) return Scored::Skip;  // an empty window: the guard's floor
    // Times outside the window are cut to it, as the value has them.
    if (exact && !(tL <= tO && tO <= tR)) return Scored::Skip;
    if (!exact) {
      tO = std::max(tL, tO);
      if (tR <= tO) return Scored::Skip;
      tC = std::min(tC, tR);
      interval = tC < inf;
      // Stranger cases (a censored time before the support, an interval
      // the window leaves empty) are the differences' to take.
      if (!(tO >= low && tO < tC)) return Scored::Fail;
    }
  }
  if (!(tO > -inf && tO < inf) || (interval && !(tO < tC && tC < high))) return Scored::Fail;
  if (tO < low || tO > high) return Scored::Skip;
  auto inGuard = [&](Real lnx) { return lnx - lnW > f.guard.lnSmallest && lnx - lnW < f.guard.lnLargest; };
  Real dF[kMaxPdfParams] = {}, dS[kMaxPdfParams] = {};
  if (interval) {
    // S(a) = 1 at the support's lower end, where it has no slope.
    Real hA = -1, hB;
    const Real lnA = tO > low ? lawLnSurvivalHazard(law, tO, hA) : 0, lnB = lawLnSurvivalHazard(law, tC, hB);
    const Real r = fastExp(k * (lnB - lnA));
    if (!inGuard(k * lnA + fastLog1p(-r))) return Scored::Skip;
    Real dFb[kMaxPdfParams] = {}, dSb[kMaxPdfParams] = {};
    if (tO > low) lawScores(law, tO, lnA, dF, dS, true, {}, hA);
    lawScores(law, tC, lnB, dFb, dSb, true, {}, hB);
    for (int j = 0; j < np; ++j) d[j] = k * (dS[j] - r * dSb[j]) / (1 - r) - dW[j];
    dk = k * (lnA - r * lnB) / (1 - r) - dWk;
    return Scored::Add;
  }
  // The run's ln t serves while the time is the observation's own.
  auto terms = [&](auto ln) {
    Real lnF = 0, lnS = 0, hz = -1;
    const bool survival = !exact || k != 1;
    const bool scored = logisticTerms(law, tO, lnF, lnS, dF, dS, ln);
    if (!scored) {
      // A right-censored time wants ln S alone; with it come the normal
      // laws' hazard for their scores.
      if (!exact) lnS = lawLnSurvivalHazard(law, tO, hz, ln);
      else if (!survival && !densityScoreReadsSurvival(law.pdf)) lnF = lawLnDensity(law, tO, ln);
      else lawLnBoth(law, tO, lnF, lnS, ln);
    }
    if (!inGuard(exact ? (k == 1 ? lnF : lnF + lnK + (k - 1) * lnS) : k * lnS)) return Scored::Skip;
    if (!scored) lawScores(law, tO, lnS, dF, dS, survival, ln, hz);
    for (int j = 0; j < np; ++j) d[j] = (exact ? dF[j] + (k - 1) * dS[j] : k * dS[j]) - dW[j];
    dk = (exact ? 1 + k * lnS : k * lnS) - dWk;
    return Scored::Add;
  };
  if (kCached && tO == f.vars[0].real[i - 1]) return terms(lnTimeOf<kCached>(f, i));
  return terms(LnOfTime{});
}

// The scores of a block's observations of a law with fixed parameters, in
// the law's parameters, each covariate coefficient of the hazard
// multiplier, and ln k.
//
// The Weibull law's exact and right-censored times are written out: with
// z = t/a and u = k z^b = exp(ln k + b ln z), an exact time adds
// b (u - 1)/a, 1/b + ln z (1 - u) and 1 - u; a censored one b u/a, -u ln z
// and -u; one exponential per observation.
template <bool kCached>
void scoreLoop(Frame& f, int b) {
  const std::int32_t first = b * kBlock + 1;
  const std::int32_t last = std::min<std::int32_t>(f.nObs, first + kBlock - 1);
  const int np = f.plan->paramCount;
  const std::size_t nc = f.linear.size();
  Real* g = f.scores.data() + static_cast<std::size_t>(b) * f.scoreWidth;
  const Real* t0 = f.vars[0].real;
  const Real* t1 = f.plan->count >= 2 ? f.vars[1].real : t0;
  const Real inf = f.in->set.infinity;
  const LogLaw& law = f.law;
  const bool weibull = law.pdf == static_cast<int>(Pdf::WEIBULL) && f.plan->count <= 2;
  const Real lnP = f.linearSlot >= 0 ? f.lnPvals[static_cast<std::size_t>(f.linearSlot)] : 0;
  const Real scale = law.p[0], shape = law.p[1], lnScale = law.c[0], lnNorm = law.c[1];
  for (std::int32_t i = first; i <= last; ++i) {
    const Real w = f.freq ? f.freq[i - 1] : 1;
    if (!(w > 0)) continue;
    const Real tO = t0[i - 1], tC = t1[i - 1];
    const bool interval = tC != tO && tC < inf;
    Real dk;
    if (weibull && !interval && tO > 0 && tO < inf && (f.kFixed || std::isfinite(lnP))) {
      const Real lnK = f.kFixed ? f.lnK : lnP + linearPredictor(f, i);
      if (!(std::fabs(lnK) < kLnKRange)) {
        f.failed[static_cast<std::size_t>(b)] = 1;
        return;
      }
      const bool exact = tC == tO;
      const Real lnz = (kCached ? f.lnT[i - 1] : fastLog(tO)) - lnScale;
      const Real u = fastExp(lnK + shape * lnz);
      const Real lnx = exact ? lnNorm + (shape - 1) * lnz + lnK - u : -u;
      if (!(lnx > f.guard.lnSmallest && lnx < f.guard.lnLargest)) continue;
      g[0] += w * shape * (exact ? u - 1 : u) / scale;
      g[1] += w * (exact ? 1 / shape + lnz * (1 - u) : -u * lnz);
      dk = w * (exact ? 1 - u : -u);
    } else {
      Real k, lnK, d[kMaxPdfParams] = {};
      const Scored s = !hazard(f, i, k, lnK) || !(k > 0)
                           ? Scored::Fail
                           : observationScores<kCached>(f, law, f.sup, k, lnK, i, d, dk);
      if (s == Scored::Skip) continue;
      if (s == Scored::Fail) {
        f.failed[static_cast<std::size_t>(b)] = 1;
        return;
      }
      for (int j = 0; j < np; ++j) g[j] += w * d[j];
      dk *= w;
    }
    for (std::size_t m = 0; m < nc; ++m) g[static_cast<std::size_t>(np) + m] += dk * f.linear[m].x[i - 1];
    g[static_cast<std::size_t>(np) + nc] += dk;
  }
}

// d v/d p and d v/d xb of a parameter form's value v = form(p, xb).
void formSlopes(const Settings& set, int form, Real p, Real xb, Real v, Real& dp, Real& dxb) {
  switch (static_cast<ParamForm>(form)) {
    case ParamForm::None: case ParamForm::NUMBER: dp = 1, dxb = 0; return;
    case ParamForm::ADD: dp = 1, dxb = 1; return;
    case ParamForm::DIVIDE: dp = 1 / xb, dxb = -v / xb; return;
    case ParamForm::EXCESS: {
      const Real e = std::exp(xb);
      dp = 1 + e, dxb = p * e;
      return;
    }
    case ParamForm::EXPADD: dp = v, dxb = v; return;
    case ParamForm::INVADD: dp = -1 / (p * p), dxb = 1; return;
    case ParamForm::INVERT: dp = -v * v, dxb = -v * v; return;
    case ParamForm::INVLOGLIN: dp = -v / p, dxb = v; return;
    case ParamForm::INVMULTIPLY: dp = -v / p, dxb = 1 / p; return;
    case ParamForm::LOGISTIC: dp = dxb = (set.altLogistic ? 1 : -1) * v * (1 - v); return;
    case ParamForm::LOGLIN: dp = std::exp(xb), dxb = v; return;
    case ParamForm::MULTIPLY: dp = xb, dxb = p; return;
    default: dp = 0, dxb = 1; return;
  }
}

// The same scores where the law's parameters vary over the observations
// through their forms' covariates, v = form(p, x b): each parameter's score
// reaches its p through d v/d p and its coefficients through d v/d xb x,
// laid after ln k's in the order of the law's parameters.
void varyingScoreBlock(void* ctx, int b) {
  Frame& f = *static_cast<Frame*>(ctx);
  const std::int32_t first = b * kBlock + 1;
  const std::int32_t last = std::min<std::int32_t>(f.nObs, first + kBlock - 1);
  const Plan& plan = *f.plan;
  const int np = plan.paramCount;
  const std::size_t nc = f.linear.size();
  Real* g = f.scores.data() + static_cast<std::size_t>(b) * f.scoreWidth;
  const Settings& set = f.in->set;
  for (std::int32_t i = first; i <= last; ++i) {
    const Real w = f.freq ? f.freq[i - 1] : 1;
    if (!(w > 0)) continue;
    Real p[kMaxPdfParams] = {}, dp[kMaxPdfParams] = {}, dxb[kMaxPdfParams] = {};
    for (int j = 0; j < np; ++j) {
      const Frame::Form& form = f.forms[static_cast<std::size_t>(j)];
      if (form.fixed) {
        p[j] = form.p, dp[j] = 1;
        continue;
      }
      Real xb = 0;
      for (const Frame::Term& t : form.pairs) xb += t.x[i - 1] * t.b;
      p[j] = plainParamValue(set, form.form, form.p, xb);
      formSlopes(set, form.form, form.p, xb, p[j], dp[j], dxb[j]);
    }
    Real k, lnK, d[kMaxPdfParams] = {}, dk = 0;
    Scored s = Scored::Fail;
    if (pdfParamsInRange(plan.pdf, p) && hazard(f, i, k, lnK) && k > 0) {
      LogLaw law;
      prepareLogLaw(plan.pdf, p, law);
      s = observationScores<false>(f, law, supportBounds(*f.in, plan.timeRange, p), k, lnK, i, d, dk);
    }
    if (s == Scored::Skip) continue;
    if (s == Scored::Fail) {
      f.failed[static_cast<std::size_t>(b)] = 1;
      return;
    }
    std::size_t at = static_cast<std::size_t>(np) + nc + 1;
    for (int j = 0; j < np; ++j) {
      g[j] += w * d[j] * dp[j];
      for (const Frame::Term& t : f.forms[static_cast<std::size_t>(j)].pairs) g[at++] += w * d[j] * dxb[j] * t.x[i - 1];
    }
    dk *= w;
    for (std::size_t m = 0; m < nc; ++m) g[static_cast<std::size_t>(np) + m] += dk * f.linear[m].x[i - 1];
    g[static_cast<std::size_t>(np) + nc] += dk;
  }
}

void scoreBlock(void* ctx, int b) {
  Frame& f = *static_cast<Frame*>(ctx);
  if (f.lnT) scoreLoop<true>(f, b);
  else scoreLoop<false>(f, b);
}

void releasePlan(void* p) { delete static_cast<Plan*>(p); }

Plan& planOf(const ExprNode* n) {
  if (!n->cache) {
    n->cache = new Plan;
    n->releaseCache = releasePlan;
    compile(*static_cast<Plan*>(n->cache), n);
  }
  Plan& plan = *static_cast<Plan*>(n->cache);
  if (stale(plan)) compile(plan, n);
  return plan;
}

WorkerPool* pool(Interp& in) {
  if (in.workerThreads == 0) {
    in.workerThreads = likelihoodThreads();
    if (in.workerThreads > 1) in.workers = std::make_unique<WorkerPool>(in.workerThreads);
  }
  return in.workers.get();
}

// The log times of the plan's first time variable for the running model,
// taken once per run rather than once per evaluation: a fit evaluates the
// likelihood dozens of times over the same data, and ln t was the costliest
// step of the laws that start from it.
const Real* logTimes(Interp& in, Plan& plan) {
  const Frame& f = plan.frame;
  const auto n = static_cast<std::size_t>(f.nObs);
  if (plan.lnTimesOf != f.vars[0].real || plan.lnTimesRun != in.models.runSerial || plan.lnTimes.size() != n) {
    plan.lnTimes.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      const Real t = f.vars[0].real[i];
      plan.lnTimes[i] = t > 0 ? fastLog(t) : (t == 0 ? -kInf : Real(0));
    }
    plan.lnTimesOf = f.vars[0].real;
    plan.lnTimesRun = in.models.runSerial;
  }
  return plan.lnTimes.data();
}

// Resolves the data, evaluates the invariants and prepares what the
// parameters fix; false when the general loop must run instead.
bool prepare(Interp& in, Plan& plan, std::int32_t& first) {
  Frame& f = plan.frame;
  f.plan = &plan;
  f.in = &in;
  f.nObs = in.set.nObs;
  f.data.resize(plan.data.size());
  for (std::size_t j = 0; j < plan.data.size(); ++j) {
    const Symbol& s = *plan.data[j];
    const void* block = elementBlock(s);
    const std::int32_t n = s.count >= 7 ? s.count - 7 : s.count;
    if (!block || n < f.nObs) return false;
    f.data[j] = block;
  }
  const DataStore* store = currentDataStore(in);
  const Symbol* freqSym = store ? store->frequency : nullptr;
  f.freq = freqSym ? static_cast<const Real*>(freqSym->block) : nullptr;
  first = 1;
  if (f.freq)
    while (first <= f.nObs && !(f.freq[first - 1] > 0)) ++first;
  if (first > f.nObs) return true;
  in.set.dIdx = first;
  f.inv.resize(plan.invariants.size());
  for (std::size_t j = 0; j < plan.invariants.size(); ++j) f.inv[j] = evalReal(in, plan.invariants[j]);
  f.pvals.resize(plan.paramNodes.size());
  for (std::size_t j = 0; j < plan.paramNodes.size(); ++j)
    f.pvals[j] = *static_cast<const Real*>(elementBlock(*plan.paramNodes[j]->symbol));
  f.lnPvals.resize(plan.paramNodes.size());
  for (std::size_t j = 0; j < plan.paramNodes.size(); ++j)
    f.lnPvals[j] = f.pvals[j] > 0 ? std::log(f.pvals[j]) : std::numeric_limits<Real>::quiet_NaN();
  auto resolve = [&](const Slot& slot, Arg& a) {
    a = Arg{};
    if (!slot.present) return;
    if (slot.fixed()) a.value = f.inv[static_cast<std::size_t>(slot.code[0].slot)];
    else if (slot.code.size() == 1 && slot.code[0].op == Op::RealVar)
      a.real = static_cast<const Real*>(f.data[static_cast<std::size_t>(slot.code[0].slot)]);
    else a.code = &slot.code;
  };
  for (int j = 0; j < plan.varCount; ++j) resolve(plan.vars[j], f.vars[j]);
  for (int j = 0; j < plan.paramCount; ++j) resolve(plan.params[j], f.params[j]);
  resolve(plan.k, f.kArg);
  f.guard = lnGuard(in.set);
  f.modelRunning = in.modelRunning;
  f.lawFixed = plan.paramsFixed;
  f.lawBad = false;
  if (f.lawFixed) {
    Real p[kMaxPdfParams] = {};
    for (int j = 0; j < plan.paramCount; ++j) argValue(f, f.params[j], first, p[j]);
    if (in.modelRunning && !pdfParamsInRange(plan.pdf, p)) {
      f.lawBad = true;
    } else {
      checkPdfParams(in, plan.pdf, p);
      f.sup = supportBounds(in, plan.timeRange, p);
      prepareLogLaw(plan.pdf, p, f.law);
    }
  }
  f.linear.clear();
  f.linearSlot = -1;
  if (plan.k.present && !plan.k.fixed()) {
    const std::vector<Instr>& code = plan.k.code;
    const Instr& last = code.back();
    bool linear = last.op == Op::Param && last.form == static_cast<int>(ParamForm::HazardMultiplier) &&
                  code.size() == 2 * static_cast<std::size_t>(last.pairs) + 1;
    for (std::size_t j = 0; linear && j + 1 < code.size(); j += 2) {
      linear = code[j].op == Op::RealVar && code[j + 1].op == Op::Const;
      if (linear)
        f.linear.push_back({static_cast<const Real*>(f.data[static_cast<std::size_t>(code[j].slot)]),
                            f.inv[static_cast<std::size_t>(code[j + 1].slot)]});
    }
    if (linear) f.linearSlot = last.slot;
  }
  f.kFixed = !plan.k.present || plan.k.fixed();
  f.k = 1;
  f.lnK = 0;
  if (plan.k.present && f.kFixed) {
    f.k = f.kArg.value;
    f.lnK = f.k > 0 ? std::log(f.k) : std::numeric_limits<Real>::quiet_NaN();
  }
  f.simple = f.lawFixed && !f.lawBad && plan.count >= 1 && plan.count <= 2 && f.vars[0].real &&
             (plan.count == 1 || f.vars[1].real) && (f.sup.low == 0 || f.sup.low <= in.set.negInfinity) &&
             f.sup.high == in.set.infinity &&
             plan.pdf != static_cast<int>(Pdf::RECTANGULAR) && plan.pdf != static_cast<int>(Pdf::UNIFORM);
  f.lnT = f.simple && in.modelRunning && lawReadsLnTime(f.law) ? logTimes(in, plan) : nullptr;
  return true;
}

// The free parameter that an invariant is (its bare PARAM or name), -1 when
// it depends on none, -2 when it depends on one otherwise.
int freeParamOf(const Interp& in, const ExprNode* e) {
  const std::vector<ModelParam*>& free = in.models.work.free;
  auto index = [&](const Symbol* s) {
    for (std::size_t k = 0; k < free.size(); ++k)
      if (free[k]->symbol == s) return static_cast<int>(k);
    return -1;
  };
  const bool bare = (e->kind == NodeKind::Identifier ||
                     (e->kind == NodeKind::Param && e->childCount() == 0 &&
                      (e->index == static_cast<int>(ParamForm::None) || e->index == static_cast<int>(ParamForm::NUMBER))));
  if (bare && index(e->symbol) >= 0) return index(e->symbol);
  if ((e->kind == NodeKind::Identifier || e->kind == NodeKind::Param) && index(e->symbol) >= 0) return -2;
  for (const ExprNode* c : e->children)
    if (c && freeParamOf(in, c) != -1) return -2;
  return -1;
}

}  // namespace

bool fastDataScore(Interp& in, const ExprNode* n, std::vector<Real>& grad) {
  grad.assign(in.models.work.free.size(), 0);
  if (in.set.debug >= 8 || in.set.nObs < 1 || in.drv.dataTransforming || in.drv.dataSummaries ||
      in.models.record.enabled)
    return false;
  Plan& plan = planOf(n);
  if (!plan.ok || !lawHasScore(plan.pdf) || plan.count < 1 || plan.count > 4) return false;
  std::int32_t first = 1;
  if (!prepare(in, plan, first) || first > in.set.nObs) return false;
  Frame& f = plan.frame;
  in.set.dIdx = f.nObs;
  if (f.lawBad) return false;
  for (int j = 0; j < plan.count; ++j)
    if (!f.vars[j].real) return false;
  if (!f.kFixed && (f.linearSlot < 0 || !in.set.expHazard)) return false;
  auto freeIndex = [&](const Symbol* s) {
    for (std::size_t k = 0; k < in.models.work.free.size(); ++k)
      if (in.models.work.free[k]->symbol == s) return static_cast<int>(k);
    return -1;
  };
  // Where each column of the scores goes among the free parameters, and
  // the factor that carries it there: a form's d v/d p where a parameter
  // with a form has no covariates.
  const int np = plan.paramCount;
  const std::size_t nc = f.linear.size();
  int to[kMaxPdfParams + 1] = {};
  Real factor[kMaxPdfParams] = {};
  std::vector<int> covTo(nc, -1), formCovTo;
  f.forms.resize(static_cast<std::size_t>(np));
  for (int j = 0; j < np; ++j) {
    const Slot& slot = plan.params[j];
    Frame::Form& form = f.forms[static_cast<std::size_t>(j)];
    form = Frame::Form{};
    to[j] = -1;
    factor[j] = 1;
    if (!slot.present) continue;
    if (slot.fixed()) {
      const ExprNode* e = plan.invariants[static_cast<std::size_t>(slot.code[0].slot)];
      form.p = f.inv[static_cast<std::size_t>(slot.code[0].slot)];
      to[j] = freeParamOf(in, e);
      if (to[j] != -2) continue;
      if (e->kind != NodeKind::Param || e->childCount() != 0 || !plainParamForm(e->index)) return false;
      to[j] = freeIndex(e->symbol);
      Real dxb;
      formSlopes(in.set, e->index, *static_cast<const Real*>(elementBlock(*e->symbol)), 0, form.p, factor[j], dxb);
      continue;
    }
    // A parameter that varies: its form over covariate pairs (x, b) with x
    // a data variable, or the differences serve.
    const std::vector<Instr>& code = slot.code;
    const Instr& last = code.back();
    if (last.op != Op::Param || code.size() != 2 * static_cast<std::size_t>(last.pairs) + 1) return false;
    form.fixed = false;
    form.form = last.form;
    form.p = f.pvals[static_cast<std::size_t>(last.slot)];
    to[j] = freeIndex(plan.paramNodes[static_cast<std::size_t>(last.slot)]->symbol);
    for (std::size_t m = 0; m + 1 < code.size(); m += 2) {
      if (code[m].op != Op::RealVar || code[m + 1].op != Op::Const) return false;
      form.pairs.push_back({static_cast<const Real*>(f.data[static_cast<std::size_t>(code[m].slot)]),
                            f.inv[static_cast<std::size_t>(code[m + 1].slot)]});
      formCovTo.push_back(freeParamOf(in, plan.invariants[static_cast<std::size_t>(code[m + 1].slot)]));
      if (formCovTo.back() == -2) return false;
    }
  }
  // ln k moves with the multiplier's own parameter: d/dp = (d/d ln k) / p.
  int kTo = -1;
  Real kValue = f.k;
  if (f.linearSlot >= 0) {
    const ExprNode* pn = plan.paramNodes[static_cast<std::size_t>(f.linearSlot)];
    kTo = freeIndex(pn->symbol);
    kValue = f.pvals[static_cast<std::size_t>(f.linearSlot)];
    for (std::size_t m = 0; m < nc; ++m) {
      covTo[m] = freeParamOf(in, plan.invariants[static_cast<std::size_t>(plan.k.code[2 * m + 1].slot)]);
      if (covTo[m] == -2) return false;
    }
  } else if (plan.k.present) {
    kTo = freeParamOf(in, plan.invariants[static_cast<std::size_t>(plan.k.code[0].slot)]);
    if (kTo == -2) return false;
  }
  const int blocks = static_cast<int>((f.nObs + kBlock - 1) / kBlock);
  const std::size_t formBase = static_cast<std::size_t>(np) + nc + 1;
  f.scoreWidth = formBase + formCovTo.size();
  f.scores.assign(static_cast<std::size_t>(blocks) * f.scoreWidth, 0);
  f.failed.assign(static_cast<std::size_t>(blocks), 0);
  f.recTerm = f.recFreq = nullptr;
  void (*block)(void*, int) = f.lawFixed ? scoreBlock : varyingScoreBlock;
  WorkerPool* workers = blocks > 1 ? pool(in) : nullptr;
  if (workers) workers->run(blocks, block, &f);
  else
    for (int b = 0; b < blocks; ++b) block(&f, b);
  std::vector<Real> total(f.scoreWidth, 0);
  for (int b = 0; b < blocks; ++b) {
    if (f.failed[static_cast<std::size_t>(b)]) return false;
    for (std::size_t j = 0; j < f.scoreWidth; ++j) total[j] += f.scores[static_cast<std::size_t>(b) * f.scoreWidth + j];
  }
  for (int j = 0; j < np; ++j)
    if (to[j] >= 0) grad[static_cast<std::size_t>(to[j])] += total[static_cast<std::size_t>(j)] * factor[j];
  for (std::size_t m = 0; m < formCovTo.size(); ++m)
    if (formCovTo[m] >= 0) grad[static_cast<std::size_t>(formCovTo[m])] += total[formBase + m];
  for (std::size_t m = 0; m < nc; ++m)
    if (covTo[m] >= 0) grad[static_cast<std::size_t>(covTo[m])] += total[static_cast<std::size_t>(np) + m];
  if (kTo >= 0) grad[static_cast<std::size_t>(kTo)] += total[static_cast<std::size_t>(np) + nc] / kValue;
  for (Real v : grad)
    if (!std::isfinite(v)) return false;
  return true;
}

bool fastDataSum(Interp& in, const ExprNode* n, Real& value) {
  if (in.set.debug >= 8 || in.set.nObs < 1 || in.drv.dataTransforming || in.drv.dataSummaries) return false;
  Plan& plan = planOf(n);
  if (!plan.ok) return false;
  std::int32_t first = 1;
  if (!prepare(in, plan, first)) return false;
  Frame& f = plan.frame;
  ObsRecord& rec = in.models.record;
  const bool recording = rec.enabled && rec.term.size() >= static_cast<std::size_t>(f.nObs);
  f.recTerm = recording ? rec.term.data() : nullptr;
  // Within one record the frequencies do not change: they are written once.
  f.recFreq = recording && !rec.filled ? rec.freq.data() : nullptr;
  if (f.recFreq && first > f.nObs) fillRecord(f, 1, f.nObs);
  value = 0;
  if (first <= f.nObs) {
    const int blocks = static_cast<int>((f.nObs + kBlock - 1) / kBlock);
    f.sums.assign(static_cast<std::size_t>(blocks), 0);
    f.failed.assign(static_cast<std::size_t>(blocks), 0);
    WorkerPool* workers = blocks > 1 ? pool(in) : nullptr;
    if (workers) {
      workers->run(blocks, sumBlock, &f);
    } else {
      for (int b = 0; b < blocks; ++b) {
        sumBlock(&f, b);
        if (f.failed[static_cast<std::size_t>(b)]) break;
      }
    }
    for (int b = 0; b < blocks; ++b) {
      if (f.failed[static_cast<std::size_t>(b)]) return false;
      value += f.sums[static_cast<std::size_t>(b)];
    }
  }
  in.set.dIdx = f.nObs;
  if (recording) rec.filled = true;
  return true;
}

}  // namespace zav
