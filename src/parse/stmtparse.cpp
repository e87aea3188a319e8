#include "parse/stmtparse.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/interp.h"
#include "data/datastmt.h"
#include "estimate/model.h"
#include "exec/assign.h"
#include "exec/proctable.h"
#include "funcs/eval.h"
#include "parse/exprparse.h"
#include "scan/scanner.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// The first tokens of statements. CURVE joins them inside a PLOT body.
constexpr KindSet kStatementStart{Tok::Data,       Tok::Model,        Tok::PModel,     Tok::Plot,    Tok::MultiPlot,
                                  Tok::Procedure,  Tok::Function,     Tok::Include,    Tok::For,     Tok::PFor,
                                  Tok::If,         Tok::Repeat,       Tok::While,      Tok::Begin,   Tok::PBegin,
                                  Tok::Break,      Tok::Continue,     Tok::Exit,       Tok::ProfileBegin,
                                  Tok::ProfileNext, Tok::Identifier};

constexpr TypeSet kLiteralTypes = 250;  // CHAR, BOOLEAN, INTEGER, REAL, COMPLEX, STRING
constexpr TypeSet kNumeric = typeBit(ValueType::Integer) | typeBit(ValueType::Real) | typeBit(ValueType::Complex);
constexpr TypeSet kText = typeBit(ValueType::Char) | typeBit(ValueType::String);

void trace(Interp& in, const std::string& text) {
  if (in.set.debugParse) std::printf("%s\n", text.c_str());
}

KindSet startSet(const Interp& in) {
  KindSet s = kStatementStart;
  if (in.plotDepth > 0) s.add(Tok::Curve);
  return s;
}

// The END (or another closing keyword) after a statement list.
void matchAfterList(Interp& in, Tok closing, KindSet also = {}) {
  KindSet set = startSet(in) | also;
  set.add(closing);
  match(in, closing, set);
}

std::string identifierText(Interp& in) {
  peekKind(in);
  std::string text = currentToken(in).text;
  match(in, Tok::Identifier, KindSet{Tok::Identifier});
  return text;
}

bool isText(const ExprNode* e) { return (kText & typeBit(e->resultType)) != 0; }

using NodePtr = std::unique_ptr<StmtNode>;

NodePtr newStatement(StmtKind kind) {
  NodePtr s(new StmtNode);
  s->kind = kind;
  return s;
}

StmtNode* done(Interp& in, NodePtr s) {
  finishStatement(in, s.get());
  return s.release();
}

ExprNode* identifierNode(Symbol* s) {
  auto* n = new ExprNode(0, s->dims ? NodeKind::Array : NodeKind::Identifier, 0);
  n->symbol = s;
  n->resultType = s->type;
  n->opType = s->type;
  return n;
}

ExprNode* valueOrLiteral(Interp& in) {
  return peekKind(in) == Tok::LBracket ? parseArrayLiteral(in) : parseExpression(in);
}

// ---- array literals ----

// Element counts down the first-element chain: the shape a nested literal has.
std::vector<int> shapeOf(const ExprNode* e) {
  std::vector<int> shape;
  while (e && e->kind == NodeKind::DataArray) {
    shape.push_back(e->childCount());
    e = e->children.empty() ? nullptr : e->children[0];
  }
  return shape;
}

ExprNode* literalLevel(Interp& in) {
  match(in, Tok::LBracket, KindSet{Tok::LBracket});
  std::unique_ptr<ExprNode> n(new ExprNode(0, NodeKind::DataArray, 0));
  std::vector<int> firstShape;
  while (peekKind(in) != Tok::RBracket) {
    ExprNode* e = peekKind(in) == Tok::LBracket ? literalLevel(in) : parseExpression(in);
    n->children.push_back(e);
    const std::vector<int> shape = shapeOf(e);
    if (n->childCount() == 1) {
      if ((kLiteralTypes & typeBit(e->resultType)) == 0) badArgType(in, n.get(), typeBit(e->resultType), kLiteralTypes);
      n->resultType = e->resultType;
      n->opType = e->resultType;
      firstShape = shape;
    } else {
      if (shape.size() != firstShape.size())
        parseError(in, "Incorrect number of dimensions in DATAARRAY.  Found " + std::to_string(shape.size()) +
                           " expected " + std::to_string(firstShape.size()));
      // A ragged literal has no rectangular shape to store into.
      for (std::size_t k = 0; k < shape.size(); ++k)
        if (shape[k] != firstShape[k])
          parseError(in, "Incorrect number of elements in DATAARRAY.  Found " + std::to_string(shape[k]) +
                             " expected " + std::to_string(firstShape[k]));
      unify(in, n.get(), e->resultType, ValueType::Undef, kLiteralTypes);
    }
    skipOptionalComma(in);
  }
  advance(in);  // "]"
  return n.release();
}

// ---- declarations ----

ValueType typeKeyword(Interp& in, bool staticAllowed) {
  switch (peekKind(in)) {
    case Tok::Integer: advance(in); return ValueType::Integer;
    case Tok::Real: advance(in); return ValueType::Real;
    case Tok::Complex: advance(in); return ValueType::Complex;
    case Tok::Boolean: advance(in); return ValueType::Boolean;
    case Tok::String: advance(in); return ValueType::String;
    case Tok::Char: advance(in); return ValueType::Char;
    case Tok::File: advance(in); return ValueType::File;
    default: break;
  }
  KindSet expected{Tok::Integer, Tok::Real, Tok::Complex, Tok::Boolean, Tok::String, Tok::Char, Tok::File};
  if (staticAllowed) expected.add(Tok::Static);
  syntaxError(in, currentToken(in), expected);
}

std::int32_t boundValue(Interp& in) {
  std::unique_ptr<ExprNode> e(parseExpression(in));
  return evalInteger(in, e.get());
}

// "[" lo TO hi {[,] lo TO hi} "]"
Dims parseBounds(Interp& in, const std::string& name) {
  Dims d;
  advance(in);  // "["
  do {
    const std::int32_t lo = boundValue(in);
    match(in, Tok::To, KindSet{Tok::To});
    const std::int32_t hi = boundValue(in);
    if (static_cast<std::int64_t>(hi) < static_cast<std::int64_t>(lo) - 1)
      parseError(in, "Bad array bounds for " + name + ": " + std::to_string(lo) + " TO " + std::to_string(hi));
    d.lo.push_back(lo);
    d.hi.push_back(hi);
    skipOptionalComma(in);
  } while (peekKind(in) != Tok::RBracket);
  advance(in);  // "]"
  const std::int64_t n = d.elements();
  if (n > kMaxElements) parseError(in, "Bad array bounds for " + name + ": too many elements");
  return d;
}

// ---- statements ----

StmtNode* parseIf(Interp& in) {
  trace(in, "== Begin IF THEN stmt");
  NodePtr s = newStatement(StmtKind::If);
  advance(in);  // IF or ELSEIF
  s->cond = parseBoolean(in);
  match(in, Tok::Then, KindSet{Tok::Then});
  s->body = parseStmtList(in);
  switch (peekKind(in)) {
    case Tok::ElseIf:
      // The nested IF stands alone in the ELSE list and consumes the END.
      s->elseBody = parseIf(in);
      break;
    case Tok::Else:
      advance(in);
      s->elseBody = parseStmtList(in);
      matchAfterList(in, Tok::End);
      break;
    default: matchAfterList(in, Tok::End, KindSet{Tok::Else, Tok::ElseIf}); break;
  }
  trace(in, "== End IF THEN stmt");
  return done(in, std::move(s));
}

StmtNode* parseRepeat(Interp& in) {
  trace(in, "== Begin REPEAT stmt");
  NodePtr s = newStatement(StmtKind::Repeat);
  advance(in);
  s->body = parseStmtList(in);
  matchAfterList(in, Tok::Until);
  s->cond = parseBoolean(in);
  trace(in, "== End REPEAT stmt");
  return done(in, std::move(s));
}

StmtNode* parseWhile(Interp& in) {
  trace(in, "== Begin WHILE stmt");
  NodePtr s = newStatement(StmtKind::While);
  advance(in);
  s->cond = parseBoolean(in);
  match(in, Tok::Do, KindSet{Tok::Do});
  s->body = parseStmtList(in);
  matchAfterList(in, Tok::End);
  trace(in, "== End WHILE stmt");
  return done(in, std::move(s));
}

bool isReal(const ExprNode* e) { return e && e->resultType == ValueType::Real; }

StmtNode* parseFor(Interp& in, bool parallel) {
  trace(in, "== Begin [P]FOR stmt");
  NodePtr s = newStatement(StmtKind::For);
  s->flag = parallel ? 1 : 0;
  advance(in);
  const std::string name = identifierText(in);
  match(in, Tok::Assign, KindSet{Tok::Assign});
  s->first = valueOrLiteral(in);
  if (s->first->kind == NodeKind::Array || s->first->kind == NodeKind::DataArray) {
    s->form = ForForm::List;
    s->var = findOrCreate(in, name, s->first->resultType, 0);
    checkAssignType(in, *s->var, s->first->resultType);
  } else {
    match(in, Tok::To, KindSet{Tok::To});
    s->limit = parseExpression(in);
    ValueType type = isReal(s->first) || isReal(s->limit) ? ValueType::Real : ValueType::Integer;
    if (peekKind(in) == Tok::Step) {
      advance(in);
      s->form = ForForm::Step;
      s->step = parseExpression(in);
      if (isReal(s->step)) type = ValueType::Real;
    } else if (peekKind(in) == Tok::Steps) {
      advance(in);
      s->form = ForForm::Steps;
      s->step = parseExpression(in);
      if (s->step->resultType != ValueType::Integer) parseError(in, "STEPS variable must be integer");
      const Symbol* old = lookup(in, name);
      if (old && old->type != ValueType::Real)
        parseError(in, "FOR variable (" + name + ") with STEPS must be type REAL");
      type = ValueType::Real;
    }
    s->var = findOrCreate(in, name, type, 0);
    checkAssign(in, *s->var, s->first);
    checkAssign(in, *s->var, s->limit);
    if (s->form == ForForm::Step) checkAssign(in, *s->var, s->step);
  }
  match(in, Tok::Do, KindSet{Tok::Do});
  s->body = parseStmtList(in);
  matchAfterList(in, Tok::End);
  trace(in, "== End FOR stmt");
  return done(in, std::move(s));
}

StmtNode* parseBegin(Interp& in, bool parallel) {
  trace(in, "== Begin BEGIN...END block");
  NodePtr s = newStatement(StmtKind::Begin);
  s->flag = parallel ? 1 : 0;
  advance(in);
  s->body = parseStmtList(in);
  matchAfterList(in, Tok::End);
  trace(in, "== End BEGIN...END block");
  return done(in, std::move(s));
}

// The predefined PROFILE array, whatever a local name may hide.
Symbol* profileArray(Interp& in) {
  SymbolTable* saved = in.current;
  in.current = in.global;
  Symbol* p = lookup(in, "PROFILE");
  in.current = saved;
  return p;
}

StmtNode* parseProfileBegin(Interp& in) {
  trace(in, "== Begin PROFILEBEGIN...END block");
  NodePtr s = newStatement(StmtKind::ProfileBegin);
  advance(in);
  if (peekKind(in) == Tok::LParen) {
    advance(in);
    s->cond = parseExpression(in);
    if (s->cond->resultType != ValueType::Integer) parseError(in, "Integer expression was expected for PROFILE size");
    match(in, Tok::RParen, KindSet{Tok::RParen});
  }
  s->var = profileArray(in);
  s->body = parseStmtList(in);
  matchAfterList(in, Tok::End);
  trace(in, "== End PROFILEBEGIN...END block");
  return done(in, std::move(s));
}

StmtNode* parseProfileNext(Interp& in) {
  trace(in, "== Begin PROFILENEXT");
  NodePtr s = newStatement(StmtKind::ProfileNext);
  advance(in);
  s->var = profileArray(in);
  trace(in, "== End PROFILENEXT");
  return done(in, std::move(s));
}

StmtNode* parseJump(Interp& in, StmtKind kind, const char* text) {
  trace(in, text);
  NodePtr s = newStatement(kind);
  advance(in);
  return done(in, std::move(s));
}

StmtNode* parseRoutine(Interp& in, bool isFunction) {
  trace(in, isFunction ? "== Begin FUNCTION define stmt" : "== Begin PROCEDURE define stmt");
  NodePtr s = newStatement(isFunction ? StmtKind::FuncDef : StmtKind::ProcDef);
  advance(in);
  const std::string name = identifierText(in);
  // Declared before the body is read, so the body may call it.
  Symbol* self = declareStatic(in, name, isFunction ? ValueType::Function : ValueType::Procedure, nullptr, 0);
  auto* r = new Routine;
  in.routines.push_back(r);
  r->self = self;
  element<ValueType::Procedure>(in, *self, 1) = r;
  s->var = self;
  s->routine = r;

  r->table = pushTable(in, in.current);
  in.current = r->table;
  if (peekKind(in) == Tok::LParen) {
    advance(in);
    while (peekKind(in) != Tok::RParen) {
      bool byRef = false;
      if (peekKind(in) == Tok::Var) {
        advance(in);
        byRef = true;
      }
      peekKind(in);
      const std::string param = currentToken(in).text;
      match(in, Tok::Identifier, KindSet{Tok::Var, Tok::Identifier, Tok::RParen});
      match(in, Tok::Colon, KindSet{Tok::Colon});
      r->params.push_back(parseDeclaration(in, param, DeclRole::Parameter, byRef));
      r->byRef.push_back(byRef);
      skipOptionalComma(in);
    }
    advance(in);  // ")"
  }
  if (isFunction) {
    match(in, Tok::Colon, KindSet{Tok::Colon});
    r->result = parseDeclaration(in, "RETURN", DeclRole::Result);
  }
  s->body = parseStmtList(in);
  r->body = s->body;
  matchAfterList(in, Tok::End);
  in.current = popTable(in, r->table);
  trace(in, isFunction ? "== End FUNCTION define stmt" : "== End PROCEDURE define stmt");
  return done(in, std::move(s));
}

StmtNode* parsePlot(Interp& in) {
  trace(in, "== Begin PLOT stmt");
  NodePtr s = newStatement(StmtKind::Plot);
  advance(in);
  if (peekKind(in) == Tok::LParen) {
    s->cond = new ExprNode(0, NodeKind::None, 0);
    parseArgList(in, s->cond, -1, -1);
    for (const ExprNode* e : s->cond->children)
      if (!isText(e)) parseError(in, "Expected a string or string function");
  }
  ++in.plotDepth;
  s->body = parseStmtList(in);
  matchAfterList(in, Tok::End);
  --in.plotDepth;
  trace(in, "== End PLOT stmt");
  return done(in, std::move(s));
}

StmtNode* parseMultiPlot(Interp& in) {
  trace(in, "== Begin MULTIPLOT stmt");
  NodePtr s = newStatement(StmtKind::MultiPlot);
  advance(in);
  match(in, Tok::LParen, KindSet{Tok::LParen});
  s->cond = parseExpression(in);
  skipOptionalComma(in);
  s->first = parseExpression(in);
  match(in, Tok::RParen, KindSet{Tok::RParen});
  if (s->cond->resultType != ValueType::Integer || s->first->resultType != ValueType::Integer)
    parseError(in, "Arguments to MULTIPLOT must integer.  Found " + std::string(typeName(s->cond->resultType)) +
                       " and " + std::string(typeName(s->first->resultType)));
  s->body = parseStmtList(in);
  matchAfterList(in, Tok::End);
  trace(in, "== End MULTIPLOT stmt");
  return done(in, std::move(s));
}

// name = from TO to  (INTEGER index)  or  name ( from [,] to [,] [points] )  (REAL index)
void parseCurveIndex(Interp& in, CurveIndex& c) {
  const std::string name = identifierText(in);
  if (peekKind(in) == Tok::Assign) {
    advance(in);
    c.rangeForm = true;
    c.var = findOrCreate(in, name, ValueType::Integer, 0);
    c.from = parseExpression(in);
    match(in, Tok::To, KindSet{Tok::To});
    c.to = parseExpression(in);
    return;
  }
  if (peekKind(in) != Tok::LParen) syntaxError(in, currentToken(in), KindSet{Tok::LParen});
  advance(in);
  c.rangeForm = false;
  c.var = findOrCreate(in, name, ValueType::Real, 0);
  c.from = parseExpression(in);
  skipOptionalComma(in);
  c.to = parseExpression(in);
  skipOptionalComma(in);
  if (peekKind(in) != Tok::RParen) c.points = parseExpression(in);
  match(in, Tok::RParen, KindSet{Tok::RParen});
}

StmtNode* parseCurve(Interp& in) {
  trace(in, "== Begin CURVE stmt");
  NodePtr s = newStatement(StmtKind::Curve);
  s->curve = new CurveRecord;
  CurveRecord& c = *s->curve;
  advance(in);
  for (;;) {
    const Tok k = peekKind(in);
    ExprNode** slot = k == Tok::Key ? &c.key : k == Tok::With ? &c.with : k == Tok::Axes ? &c.axes : nullptr;
    if (!slot) break;
    advance(in);
    delete *slot;
    *slot = nullptr;
    *slot = parseExpression(in);
    if (!isText(*slot)) parseError(in, "A string must follow " + std::string(tokName(k)));
  }
  parseCurveIndex(in, c.first);
  if (peekKind(in) == Tok::By) {
    advance(in);
    c.hasBy = true;
    parseCurveIndex(in, c.by);
  }
  c.exprs = new ExprNode(0, NodeKind::None, 0);
  const int required = c.hasBy ? 3 : 2;
  for (int k = 0; k < required; ++k) {
    c.exprs->children.push_back(parseExpression(in));
    skipOptionalComma(in);
  }
  // Extra plot values come first, strings for the plot command last.
  TypeSet allowed = kNumeric | kText;
  while (peekKind(in) != Tok::End) {
    ExprNode* e = parseExpression(in);
    c.exprs->children.push_back(e);
    const TypeSet t = typeBit(e->resultType);
    if ((allowed & t) == 0) parseError(in, std::string(typeName(e->resultType)) + " not allowed here in CURVE");
    if ((kNumeric & t) == 0) allowed &= ~kNumeric;
    skipOptionalComma(in);
  }
  advance(in);  // END
  trace(in, "== End CURVE stmt");
  return done(in, std::move(s));
}

void parseInclude(Interp& in) {
  trace(in, "== Begin INCLUDE");
  advance(in);
  const Tok k = peekKind(in);
  if (k != Tok::QuotedStr && k != Tok::Character) syntaxError(in, currentToken(in), KindSet{Tok::QuotedStr});
  const std::string name = currentToken(in).text;
  advance(in);
  openSource(in, name);
  trace(in, "==== End INCLUDE");
}

// ---- identifier statements ----

StmtNode* intrinsicCall(Interp& in, int code) {
  const ProcInfo* p = procInfo(code);
  const std::string name(p->name);
  trace(in, "==== Begin Intrinsic PROCEDURE " + name + " Call");
  NodePtr s = newStatement(StmtKind::Intrinsic);
  s->code = code;
  advance(in);
  s->args = new ExprNode(0, NodeKind::None, 0);
  parseArgList(in, s->args, p->argCount, p->argCount);
  trace(in, "==== End Intrinsic PROCEDURE " + name + " Call");
  return done(in, std::move(s));
}

StmtNode* userCall(Interp& in, Symbol* proc) {
  trace(in, "==== Begin user-defined PROCEDURE call to " + proc->name);
  NodePtr s = newStatement(StmtKind::UserCall);
  s->var = proc;
  s->routine = routineOf(*proc);
  advance(in);
  s->args = new ExprNode(0, NodeKind::None, 0);
  const int count = static_cast<int>(s->routine->params.size());
  parseArgList(in, s->args, count, count);
  checkUserArgs(in, *s->routine, s->args);
  trace(in, "==== End user-defined PROCEDURE call to " + proc->name);
  return done(in, std::move(s));
}

StmtNode* identifierStatement(Interp& in) {
  const std::string name = currentToken(in).text;
  const int procCode = peekCatalog(in, Catalog::Procedure);
  Symbol* sym = lookup(in, name);
  if (!sym && procCode > 0) return intrinsicCall(in, procCode);
  if (sym && sym->type == ValueType::Procedure) return userCall(in, sym);

  NodePtr s = newStatement(StmtKind::Assign);
  advance(in);  // the name
  switch (peekKind(in)) {
    case Tok::Colon: {
      trace(in, "== def assignment of " + name);
      advance(in);
      Symbol* target = parseDeclaration(in, name, DeclRole::Variable);
      s->target = identifierNode(target);
      if (peekKind(in) == Tok::Assign) {
        advance(in);
        s->value = valueOrLiteral(in);
        checkAssign(in, *target, s->value);
      }
      break;
    }
    case Tok::LBracket: {
      if (!sym) parseError(in, "Subscripted variable \"" + name + "\" doesn't exist");
      trace(in, "== array assignment to " + name);
      s->target = new ExprNode(0, NodeKind::Identifier, 0);
      s->target->symbol = sym;
      s->target->resultType = s->target->opType = sym->type;
      parseSubscripts(in, s->target);
      match(in, Tok::Assign, KindSet{Tok::Assign});
      s->value = parseExpression(in);
      checkAssign(in, *sym, s->value, true);
      break;
    }
    case Tok::Assign: {
      trace(in, "== assignment statement to " + name);
      advance(in);
      s->value = valueOrLiteral(in);
      // A variable comes into being by its first assignment.
      Symbol* target = sym ? sym : findOrCreate(in, name, s->value->resultType, 0);
      s->target = identifierNode(target);
      checkAssign(in, *target, s->value);
      break;
    }
    default: syntaxError(in, currentToken(in), KindSet{Tok::LBracket, Tok::Assign, Tok::Colon});
  }
  return done(in, std::move(s));
}

// Marks, while a statement is parsed, the depth of the source it began in.
class BeganIn {
 public:
  explicit BeganIn(Interp& in) : in_(in), saved_(in.depth.source) { in.depth.source = currentToken(in).depth; }
  ~BeganIn() { in_.depth.source = saved_; }
  BeganIn(const BeganIn&) = delete;
  BeganIn& operator=(const BeganIn&) = delete;

 private:
  Interp& in_;
  std::int32_t saved_;
};

StmtNode* traced(Interp& in, const char* begin, const char* end, StmtNode* (*parse)(Interp&)) {
  trace(in, begin);
  StmtNode* s = parse(in);
  if (s) finishStatement(in, s);
  trace(in, end);
  return s;
}

}  // namespace

void finishStatement(Interp& in, StmtNode* s) {
  s->file = sourceIndex(in);
  s->line = in.pos.line;
  s->column = in.pos.column;
}

Symbol* parseDeclaration(Interp& in, const std::string& name, DeclRole role, bool byRef) {
  trace(in, " Parse type for " + name);
  bool isStatic = false;
  if (peekKind(in) == Tok::Static) {
    advance(in);
    isStatic = true;
  }
  const ValueType type = typeKeyword(in, !isStatic);
  if (role == DeclRole::Parameter && type == ValueType::File && !byRef)
    parseError(in, "FILE arguments must be VAR parameters");
  Dims dims;
  const bool hasDims = peekKind(in) == Tok::LBracket;
  if (hasDims) dims = parseBounds(in, name);
  const Dims* d = hasDims ? &dims : nullptr;
  // A VAR parameter refers to the caller's storage through its activation
  // slot, so it always lives in the activation.
  if (role == DeclRole::Parameter && byRef) return declareInActivation(in, name, type, d, true, 0);
  if (isStatic) return declareStatic(in, name, type, d, kStatic);
  if (role == DeclRole::Variable && in.drv.staticCreation) return declareStatic(in, name, type, d, 0);
  return declareInActivation(in, name, type, d, false, 0);
}

ExprNode* parseArrayLiteral(Interp& in) {
  std::unique_ptr<ExprNode> n(literalLevel(in));
  Dims d;
  for (int count : shapeOf(n.get())) {
    d.lo.push_back(1);
    d.hi.push_back(count);
  }
  n->symbol = declareConstant(in, makeTempName(in), n->resultType, &d);
  return n.release();
}

StmtNode* parseStatement(Interp& in) {
  const Tok k = peekKind(in);
  const BeganIn began(in);
  switch (k) {
    case Tok::Data: return traced(in, "== Begin DATA stmt", "== End DATA stmt", parseDataStatement);
    case Tok::Model:
    case Tok::PModel: return traced(in, "== Begin MODEL stmt", "== End MODEL stmt", parseModelStatement);
    case Tok::Plot: return parsePlot(in);
    case Tok::MultiPlot: return parseMultiPlot(in);
    case Tok::Curve:
      if (in.plotDepth > 0) return parseCurve(in);
      break;
    case Tok::Procedure: return parseRoutine(in, false);
    case Tok::Function: return parseRoutine(in, true);
    case Tok::Include: parseInclude(in); return nullptr;
    case Tok::For: return parseFor(in, false);
    case Tok::PFor: return parseFor(in, true);
    case Tok::If: return parseIf(in);
    case Tok::Repeat: return parseRepeat(in);
    case Tok::While: return parseWhile(in);
    case Tok::Begin: return parseBegin(in, false);
    case Tok::PBegin: return parseBegin(in, true);
    case Tok::Break: return parseJump(in, StmtKind::Break, "== BREAK stmt");
    case Tok::Continue: return parseJump(in, StmtKind::Continue, "== CONTINUE stmt");
    case Tok::Exit: return parseJump(in, StmtKind::Exit, "== EXIT stmt");
    case Tok::ProfileBegin: return parseProfileBegin(in);
    case Tok::ProfileNext: return parseProfileNext(in);
    case Tok::Identifier: return identifierStatement(in);
    default: break;
  }
  parseError(in, "Unknown statement beginning " + currentToken(in).text);
}

void skipIncludeEnds(Interp& in) {
  // The end of every source has depth 0 and is never stepped over.
  while (peekKind(in) == Tok::EndOfFile && currentToken(in).depth > in.depth.source) advance(in);
}

StmtNode* parseStmtList(Interp& in) {
  StmtNode* head = nullptr;
  StmtNode* tail = nullptr;
  try {
    for (;;) {
      skipIncludeEnds(in);
      const Tok k = peekKind(in);
      // CURVE always gets here, so that outside a PLOT it is reported as an
      // unknown statement rather than as a missing END.
      if (!kStatementStart.has(k) && k != Tok::Curve) break;
      StmtNode* s = nullptr;
      {
        NestingLevel level(in, true);
        s = parseStatement(in);
      }
      if (!s) continue;
      if (tail) tail->next = s;
      else head = s;
      tail = s;
    }
  } catch (...) {
    freeStmtList(head);
    throw;
  }
  return head;
}

}  // namespace zav
