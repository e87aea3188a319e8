// Models and their parameters: the MODEL statement's syntax, the PARAM form
// and the HAZARD clause, the runs (FULL, REDUCE, WITH), the model variables
// made for each run, and how a run's reductions are applied and undone.
#include "estimate/model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "estimate/estimate.h"
#include "funcs/catalog.h"
#include "funcs/eval.h"
#include "funcs/mathlib.h"
#include "funcs/numtext.h"
#include "parse/exprparse.h"
#include "parse/forms.h"
#include "parse/stmtparse.h"
#include "scan/scanner.h"
#include "symbols/symtab.h"

namespace zav {

Model::~Model() {
  freeStmtList(pre);
  freeStmtList(post);
  freeStmtList(then);
  for (StmtNode* t : runThens) freeStmtList(t);
}

namespace {

constexpr TypeSet kNumeric = typeBit(ValueType::Integer) | typeBit(ValueType::Real);

void parseTrace(Interp& in, const char* text) {
  if (in.set.debugParse) std::printf("%s\n", text);
}

Real& realCell(const Symbol& s) { return *static_cast<Real*>(elementBlock(s)); }

Symbol* realConstant(Interp& in, Real v) {
  Symbol* s = makeConstant(in, ValueType::Real);
  realCell(*s) = v;
  return s;
}

ExprNode* numericExpression(Interp& in, const char* what) {
  ExprNode* e = parseExpression(in);
  if (!(typeBit(e->resultType) & kNumeric)) {
    std::unique_ptr<ExprNode> owned(e);
    badArgTypeTo(in, what, typeBit(e->resultType), kNumeric);
  }
  return e;
}

ModelParam* findParam(const Model& m, const Symbol* s) {
  for (const auto& p : m.params)
    if (p->symbol == s) return p.get();
  return nullptr;
}

// A number (optionally negative) or a scalar REAL symbol: the TEST value of
// a PARAM and the value side of a REDUCE pair.
Symbol* numberOrRealScalar(Interp& in) {
  Tok k = peekKind(in);
  bool negative = false;
  if (k == Tok::Minus) {
    advance(in);
    negative = true;
    k = peekKind(in);
  }
  if (k == Tok::RealNumber || k == Tok::IntNumber) {
    const Token& t = currentToken(in);
    Real v = k == Tok::RealNumber ? t.realValue : static_cast<Real>(t.intValue);
    advance(in);
    return realConstant(in, negative ? -v : v);
  }
  if (k == Tok::Identifier && !negative) {
    Symbol* s = lookup(in, currentToken(in).text);
    if (s && s->type == ValueType::Real && !s->dims) {
      advance(in);
      return s;
    }
  }
  parseError(in, "Expected a number or scalar of type REAL");
}

std::unique_ptr<ModelParam> declareParam(Interp& in, Model& m, const std::string& name) {
  if (lookup(in, name)) parseError(in, "\"" + name + "\" exists and cannot be declared as a PARAM");
  (void)m;
  auto p = std::make_unique<ModelParam>();
  p->symbol = declareStatic(in, name, ValueType::Real, nullptr, 0);
  Symbol** companions[] = {&p->lowSym, &p->highSym, &p->startSym, &p->uciSym, &p->lciSym, &p->varSym};
  const char* suffixes[] = {".LOW", ".HIGH", ".START", ".UCI", ".LCI", ".VAR"};
  for (std::size_t i = 0; i < 6; ++i) *companions[i] = declareStatic(in, name + suffixes[i], ValueType::Real, nullptr, 0);
  return p;
}

Model& parsingModel(Interp& in, const std::string& what) {
  if (!in.models.parsing) parseError(in, what + " can only be declared inside a MODEL");
  return *in.models.parsing;
}

// ---- runs ----

// The symbols a run fills when it is solved, named with ".m.r". They are
// made as soon as the run's reductions are known, so the run's own THEN
// block can read them.
void createRunVariables(Interp& in, Model& m, ModelRun& r) {
  SymbolTable* saved = in.current;
  in.current = in.global;
  std::string suffix(1, '.');
  suffix += std::to_string(m.number);
  suffix += '.';
  suffix += std::to_string(r.number);
  auto real = [&](const std::string& name) { return declareStatic(in, name + suffix, ValueType::Real, nullptr, 0); };
  auto integer = [&](const char* name) { return declareStatic(in, name + suffix, ValueType::Integer, nullptr, 0); };
  // Which parameters stay free; the values they are reduced to are read
  // when the run starts (a program variable may have no storage yet).
  for (const auto& [param, value] : r.reductions) {
    (void)value;
    if (param->state == ParamState::Free) param->state = ParamState::Reduced;
  }
  for (const auto& p : m.params) {
    if (p->state != ParamState::Free) continue;
    const std::string& n = p->symbol->name;
    r.vars.push_back({p.get(), real(n), real(n + ".LOW"), real(n + ".HIGH"), real(n + ".START"), real(n + ".UCI"),
                      real(n + ".LCI"), real(n + ".SE")});
  }
  for (const auto& [param, value] : r.reductions) {
    (void)value;
    if (param->state == ParamState::Reduced) param->state = ParamState::Free;
  }
  r.logLik = real("LOGLIKELIHOOD");
  r.freeParams = integer("FREE_PARAMS");
  r.deltaLL = real("DELTA_LL");
  r.iterations = integer("ITERATIONS");
  r.evals = integer("EVALS");
  r.vcvEvals = integer("VCV_EVALS");
  r.ciEvals = integer("CI_EVALS");
  r.invertFlag = declareStatic(in, "INVERT_FLAG" + suffix, ValueType::Boolean, nullptr, 0);
  r.convergeFlag = integer("CONVERGE_FLAG");
  const auto n = static_cast<std::int32_t>(r.vars.size());
  if (n > 0) {
    Dims d;
    d.lo = {1, 1};
    d.hi = {n, n};
    r.vcv = declareStatic(in, "VCV" + suffix, ValueType::Real, &d, 0);
  }
  in.current = saved;
}

StmtNode* optionalThen(Interp& in, Model& m) {
  if (peekKind(in) != Tok::Then) return nullptr;
  advance(in);
  StmtNode* list = parseStmtList(in);
  m.runThens.push_back(list);
  match(in, Tok::End);
  return list;
}

ModelRun& newRun(Model& m) {
  m.runs.emplace_back();
  m.runs.back().number = static_cast<int>(m.runs.size());
  return m.runs.back();
}

// FULL [SURFACE (p1 [,] [p2])] [THEN ... END]
void parseFull(Interp& in, Model& m) {
  advance(in);
  std::array<ModelParam*, 2> surface{};
  if (peekKind(in) == Tok::Surface) {
    advance(in);
    match(in, Tok::LParen);
    for (std::size_t i = 0; i < 2 && peekKind(in) == Tok::Identifier; ++i) {
      const std::string name = currentToken(in).text;
      advance(in);
      const Symbol* s = lookup(in, name);
      if (!s) parseError(in, name + " doesn't exist.");
      surface[i] = findParam(m, s);
      if (!surface[i]) parseError(in, name + " isn't a model parameter.It can't be a surface variable.");
      skipOptionalComma(in);
    }
    match(in, Tok::RParen);
  }
  ModelRun& r = newRun(m);
  r.surface = surface;
  createRunVariables(in, m, r);
  r.then = optionalThen(in, m);
}

// REDUCE p1 = p2 p3 = c ... [THEN ... END]
void parseReduce(Interp& in, Model& m) {
  advance(in);
  std::vector<std::pair<ModelParam*, Symbol*>> pairs;
  while (peekKind(in) == Tok::Identifier) {
    const std::string name = currentToken(in).text;
    advance(in);
    const Symbol* s = lookup(in, name);
    if (!s) parseError(in, "'" + name + "' doesn't exists, so it can't be reduced");
    ModelParam* p = findParam(m, s);
    if (!p) parseError(in, name + " isn't a model parameter. Cannot REDUCE it");
    match(in, Tok::Assign);
    pairs.emplace_back(p, numberOrRealScalar(in));
    skipOptionalComma(in);
  }
  ModelRun& r = newRun(m);
  r.reductions = std::move(pairs);
  createRunVariables(in, m, r);
  r.then = optionalThen(in, m);
}

// WITH p1, p2 (p3, p4) p5 ... [THEN ... END]: one run keeping every listed
// parameter, then one per state of a binary counter over the grouped ones.
void parseWith(Interp& in, Model& m) {
  advance(in);
  std::vector<bool> listed(m.params.size(), false), grouped(m.params.size(), false);
  Tok open = Tok::None;  // the bracket of the group being read
  for (;;) {
    const Tok k = peekKind(in);
    if (k == Tok::Identifier) {
      const std::string name = currentToken(in).text;
      advance(in);
      const Symbol* s = lookup(in, name);
      ModelParam* p = s ? findParam(m, s) : nullptr;
      if (!p) parseError(in, name + " isn't a model parameter.! cannot include it in a WITH list");
      const auto at = static_cast<std::size_t>(std::find_if(m.params.begin(), m.params.end(),
                                                            [&](const auto& q) { return q.get() == p; }) -
                                               m.params.begin());
      listed[at] = true;
      if (open != Tok::None) grouped[at] = true;
    } else if (k == Tok::Comma) {
      advance(in);
    } else if (k == Tok::LParen || k == Tok::LBracket) {
      if (open != Tok::None) parseError(in, " Cannot nest ( or [ in WITH lists");
      open = k;
      advance(in);
    } else if (k == Tok::RParen || k == Tok::RBracket) {
      if (open == Tok::None || (open == Tok::LParen) != (k == Tok::RParen))
        parseError(in, "Cannot mix () and [] in WITH lists");
      open = Tok::None;
      advance(in);
    } else {
      break;
    }
  }
  if (open != Tok::None) match(in, open == Tok::LParen ? Tok::RParen : Tok::RBracket);
  std::vector<std::size_t> members;
  for (std::size_t i = 0; i < grouped.size(); ++i)
    if (grouped[i]) members.push_back(i);
  if (members.size() > 16) parseError(in, "Too many grouped parameters in a WITH list (at most 16)");
  const std::uint32_t states = 1u << members.size();
  const std::size_t first = m.runs.size();
  for (std::uint32_t c = 0; c < states; ++c) {
    std::vector<bool> keep = listed;
    for (std::size_t b = 0; b < members.size(); ++b)
      if (c & (1u << b)) keep[members[b]] = false;
    ModelRun& r = newRun(m);
    for (std::size_t i = 0; i < m.params.size(); ++i) {
      ModelParam* p = m.params[i].get();
      if (!keep[i] && p->state != ParamState::Constant) r.reductions.emplace_back(p, p->test);
    }
    createRunVariables(in, m, r);
  }
  StmtNode* then = optionalThen(in, m);
  for (std::size_t i = first; i < m.runs.size(); ++i) m.runs[i].then = then;
}

}  // namespace

// ---- the PARAM form and the HAZARD clause ----

namespace {

// One covariate term of a PARAM or HAZARD clause, COVAR expression PARAM
// name clauses END, appended to the node as an (expression, PARAM) pair.
void parseCovariatePair(Interp& in, ExprNode* node, const char* what) {
  advance(in);  // COVAR
  node->children.push_back(numericExpression(in, what));
  if (peekKind(in) != Tok::Param) syntaxError(in, currentToken(in), KindSet{Tok::Param});
  node->children.push_back(parseParamForm(in));
}

}  // namespace

// PARAM name {LOW = e | HIGH = e | START = e | TEST = c | FORM = name |
// COVAR e PARAM .. END} END. The parameter is listed before the
// coefficients of its covariates, in the order a reader meets them.
ExprNode* parseParamForm(Interp& in) {
  advance(in);  // PARAM
  peekKind(in);
  const std::string name = currentToken(in).text;
  match(in, Tok::Identifier);
  Model& m = parsingModel(in, "PARAM " + name);
  m.params.push_back(declareParam(in, m, name));
  ModelParam* p = m.params.back().get();
  std::unique_ptr<ExprNode> node(new ExprNode(0, NodeKind::Param, 0));
  node->resultType = ValueType::Real;
  node->opType = ValueType::Real;
  node->symbol = p->symbol;
  node->record = p;
  for (bool done = false; !done;) {
    switch (peekKind(in)) {
      case Tok::Low:
      case Tok::High:
      case Tok::Start: {
        const Tok k = peekKind(in);
        advance(in);
        match(in, Tok::Assign);
        auto& slot = k == Tok::Low ? p->low : k == Tok::High ? p->high : p->start;
        slot.reset(numericExpression(in, "PARAM"));
        break;
      }
      case Tok::Test:
        advance(in);
        match(in, Tok::Assign);
        p->test = numberOrRealScalar(in);
        break;
      case Tok::Form:
      case Tok::ParamForm:
        advance(in);
        match(in, Tok::Assign);
        p->form = match(in, Tok::ParamForm, KindSet{Tok::ParamForm});
        break;
      case Tok::Covar: parseCovariatePair(in, node.get(), "PARAM"); break;
      case Tok::End:
        advance(in);
        done = true;
        break;
      default:
        syntaxError(in, currentToken(in),
                    KindSet{Tok::Low, Tok::High, Tok::Start, Tok::Test, Tok::Form, Tok::Covar, Tok::End});
    }
  }
  if (!p->test) p->test = realConstant(in, getRealByName(in, "TEST_DEFAULT"));
  // NUMBER is p itself: covariates under it would silently do nothing.
  if (!node->children.empty() && p->form == static_cast<int>(ParamForm::NUMBER))
    std::printf("Warning: covariates of PARAM %s are unused by its form NUMBER\n", name.c_str());
  node->index = static_cast<std::uint16_t>(p->form);
  p->node = node.get();
  return node.release();
}

// HAZARD {COVAR expression PARAM name clauses END}: the multiplier is a
// constant parameter of value 1 whose form combines it with the covariates.
ExprNode* parseHazardClause(Interp& in) {
  Model& m = parsingModel(in, "HAZARD");
  advance(in);  // HAZARD
  auto p = std::make_unique<ModelParam>();
  p->symbol = realConstant(in, 1);
  p->test = p->symbol;
  p->form = static_cast<int>(ParamForm::HazardMultiplier);
  p->state = ParamState::Constant;
  std::unique_ptr<ExprNode> node(
      new ExprNode(static_cast<std::uint16_t>(ParamForm::HazardMultiplier), NodeKind::Param, 0));
  node->resultType = ValueType::Real;
  node->opType = ValueType::Real;
  node->symbol = p->symbol;
  while (peekKind(in) == Tok::Covar) parseCovariatePair(in, node.get(), "HAZARD");
  node->record = p.get();
  p->node = node.get();
  m.params.push_back(std::move(p));
  return node.release();
}

bool plainParamForm(int form) {
  switch (static_cast<ParamForm>(form)) {
    case ParamForm::FISHER:
    case ParamForm::FISHERINV:
    case ParamForm::LOGIT:
    case ParamForm::POWER:
    case ParamForm::POWEREXP: return false;
    default: return true;
  }
}

Real plainParamValue(const Settings& set, int form, Real p, Real xb) {
  const Real s = p + xb;
  switch (static_cast<ParamForm>(form)) {
    case ParamForm::None:
    case ParamForm::NUMBER: return p;
    case ParamForm::ADD: return s;
    case ParamForm::DIVIDE: return p / xb;
    case ParamForm::EXCESS: return p * (1 + std::exp(xb));
    case ParamForm::EXPADD: return std::exp(s);
    case ParamForm::INVADD: return xb + 1 / p;
    case ParamForm::INVERT: return 1 / s;
    case ParamForm::INVLOGLIN: return std::exp(xb) / p;
    case ParamForm::INVMULTIPLY: return xb / p;
    case ParamForm::LOGISTIC: return set.altLogistic ? std::exp(s) / (1 + std::exp(s)) : 1 / (1 + std::exp(s));
    case ParamForm::LOGLIN: return p * std::exp(xb);
    case ParamForm::MULTIPLY: return p * xb;
    case ParamForm::HazardMultiplier: return set.expHazard ? p * std::exp(xb) : p * xb;
    default: return xb;
  }
}

Real evalParamNode(Interp& in, const ExprNode* n) {
  const Real p = *static_cast<const Real*>(elementBlock(*n->symbol));
  Real xb = 0;
  for (std::size_t i = 0; i + 1 < n->children.size(); i += 2)
    xb += evalReal(in, n->children[i]) * evalReal(in, n->children[i + 1]);
  const Real s = p + xb;
  switch (static_cast<ParamForm>(n->index)) {
    case ParamForm::FISHER: return mathFisher(in, s);
    case ParamForm::FISHERINV: return mathFisherInv(in, s);
    case ParamForm::LOGIT: return mathLogit(in, s);
    case ParamForm::POWER: return mathPower(in, p, xb);
    case ParamForm::POWEREXP: return mathPower(in, p, std::exp(xb));
    default: return plainParamValue(in.set, n->index, p, xb);
  }
}

bool isFreeParameter(const Interp& in, const Symbol* s) {
  const Model* m = in.models.running;
  if (!m || !s) return false;
  const ModelParam* p = findParam(*m, s);
  return p && p->state == ParamState::Free;
}

// ---- the MODEL statement ----

StmtNode* parseModelStatement(Interp& in) {
  const bool parallel = peekKind(in) == Tok::PModel;
  advance(in);
  in.models.models.push_back(std::make_unique<Model>());
  Model& m = *in.models.models.back();
  m.number = static_cast<int>(in.models.models.size());
  m.parallel = parallel;
  if (peekKind(in) == Tok::Begin) {
    advance(in);
    m.pre = parseStmtList(in);
    match(in, Tok::End);
  }
  Model* outer = in.models.parsing;
  in.models.parsing = &m;
  m.likelihood.reset(numericExpression(in, "MODEL"));
  in.models.parsing = outer;
  if (peekKind(in) == Tok::Begin) {
    advance(in);
    m.post = parseStmtList(in);
    match(in, Tok::End);
  }
  match(in, Tok::Run, KindSet{Tok::Begin, Tok::Run});
  if (peekKind(in) == Tok::Then) {
    advance(in);
    m.then = parseStmtList(in);
    match(in, Tok::End);
  }
  parseTrace(in, "Creating model variables");
  const KindSet runStart{Tok::Full, Tok::Reduce, Tok::With};
  for (bool first = true;; first = false) {
    const Tok k = peekKind(in);
    if (k == Tok::Full) parseFull(in, m);
    else if (k == Tok::Reduce) parseReduce(in, m);
    else if (k == Tok::With) parseWith(in, m);
    else if (k == Tok::End && !first) {
      advance(in);
      break;
    } else {
      KindSet expected = runStart;
      if (!first) expected.add(Tok::End);
      syntaxError(in, currentToken(in), expected);
    }
  }
  parseTrace(in, "Created model variables");
  auto* s = new StmtNode;
  s->kind = StmtKind::Model;
  s->flag = parallel ? 1 : 0;
  s->record = &m;
  return s;
}

// ---- applying and undoing runs ----

void applyRun(Interp& in, Model& m, const ModelRun& r) {
  for (const auto& p : m.params) {
    for (const auto& [param, value] : r.reductions) {
      if (param != p.get()) continue;
      void* target = elementBlock(*value);
      if (!target) ReportError(in, ErrCat::RunTime, "Variable " + value->name + " is not defined here");
      if (p->state != ParamState::Reduced) p->saved = p->symbol->block;
      p->symbol->block = target;
      p->state = ParamState::Reduced;
    }
  }
}

void undoRuns(Interp&, Model& m) {
  for (const auto& p : m.params) {
    if (p->state != ParamState::Reduced) continue;
    p->symbol->block = p->saved;
    p->saved = nullptr;
    p->state = ParamState::Free;
  }
}

void setupBoundsAndStart(Interp& in, Model& m) {
  RunWork& w = in.models.work;
  w.free.clear();
  for (const auto& p : m.params)
    if (p->state == ParamState::Free) w.free.push_back(p.get());
  const std::size_t n = w.free.size();
  w.low.assign(n, 0);
  w.high.assign(n, 0);
  w.start.assign(n, 0);
  const Real lowDefault = getRealByName(in, "LOW_DEFAULT");
  const Real highDefault = getRealByName(in, "HIGH_DEFAULT");
  const Real startDefault = getRealByName(in, "START_DEFAULT");
  for (std::size_t k = 0; k < n; ++k) {
    ModelParam& p = *w.free[k];
    w.low[k] = p.low ? evalReal(in, p.low.get()) : lowDefault;
    w.high[k] = p.high ? evalReal(in, p.high.get()) : highDefault;
    w.start[k] = p.start ? evalReal(in, p.start.get()) : startDefault;
    realCell(*p.lowSym) = w.low[k];
    realCell(*p.highSym) = w.high[k];
    realCell(*p.startSym) = w.start[k];
    realCell(*p.symbol) = w.start[k];
    realCell(*p.uciSym) = w.high[k];
    realCell(*p.lciSym) = w.low[k];
    if (!p.test) ReportError(in, ErrCat::RunTime, "Internal error--TEST was nil");
  }
}

void checkStartValues(Interp& in) {
  const RunWork& w = in.models.work;
  const std::size_t n = w.free.size();
  auto num = [&](Real x) { return realToText(in.set, x, in.set.realWidth, in.set.realDecimals); };
  for (std::size_t k = 0; k < n; ++k) {
    const std::string index = std::to_string(k + 1);
    if (w.low[k] > w.start[k])
      ReportError(in, ErrCat::RunTime,
                  "Param " + index + " START is less than the LOW value.  START=" + num(w.start[k]) +
                      " LOW = " + num(w.low[k]));
    if (!(w.start[k] <= w.high[k]))
      ReportError(in, ErrCat::RunTime,
                  "Param " + index + " START is greater than the HIGH value START=" + num(w.start[k]) +
                      " HIGH = " + num(w.high[k]));
  }
}

Real& paramValue(Interp& in, std::size_t k) { return realCell(*in.models.work.free[k]->symbol); }

void storeRunVariables(Interp& in, const ModelRun& r, const std::vector<Real>& se) {
  const RunWork& w = in.models.work;
  const Settings& s = in.set;
  for (std::size_t k = 0; k < r.vars.size() && k < w.free.size(); ++k) {
    const RunParamVars& v = r.vars[k];
    const ModelParam& p = *v.param;
    realCell(*v.est) = realCell(*p.symbol);
    realCell(*v.low) = realCell(*p.lowSym);
    realCell(*v.high) = realCell(*p.highSym);
    realCell(*v.start) = realCell(*p.startSym);
    realCell(*v.uci) = realCell(*p.uciSym);
    realCell(*v.lci) = realCell(*p.lciSym);
    realCell(*v.se) = k < se.size() ? se[k] : 0;
  }
  realCell(*r.logLik) = -s.logLikelihood;
  *static_cast<std::int32_t*>(r.freeParams->block) = s.freeParams;
  realCell(*r.deltaLL) = s.deltaLL;
  *static_cast<std::int32_t*>(r.iterations->block) = s.iterations;
  *static_cast<std::int32_t*>(r.evals->block) = s.evals;
  *static_cast<std::int32_t*>(r.vcvEvals->block) = s.vcvEvals;
  *static_cast<std::int32_t*>(r.ciEvals->block) = s.ciEvals;
  *static_cast<bool*>(r.invertFlag->block) = s.invertFlag;
  *static_cast<std::int32_t*>(r.convergeFlag->block) = s.convergeFlag;
  if (r.vcv && w.matrix.size() == static_cast<std::size_t>(r.vcv->count))
    std::copy(w.matrix.begin(), w.matrix.end(), static_cast<Real*>(r.vcv->block));
}

}  // namespace zav
