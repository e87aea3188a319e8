#include "parse/exprparse.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "exec/assign.h"
#include "funcs/catalog.h"
#include "funcs/eval.h"
#include "parse/stmtparse.h"
#include "scan/scanner.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

constexpr TypeSet kAnyValue = 248;  // BOOLEAN, INTEGER, REAL, COMPLEX, STRING

// Nodes are held by unique_ptr while they are built, so a parse error (which
// unwinds to the driver) leaves nothing behind.
using Node = std::unique_ptr<ExprNode>;

void trace(Interp& in, const std::string& text) {
  if (in.set.debugParse) std::printf("%s\n", text.c_str());
}

Node relation(Interp& in);

// Types an operator or an intrinsic call by its catalog class.
void typeCall(Interp& in, ExprNode* n) {
  std::vector<ValueType> types;
  types.reserve(n->children.size());
  for (const ExprNode* c : n->children) types.push_back(c ? c->resultType : ValueType::Undef);
  const Fn f = static_cast<Fn>(n->index);
  CallTyping t = typeFunctionCall(f, types);
  if (!t.ok) badFunctionArgType(in, f, t.found, t.expected);
  n->resultType = t.result;
  n->opType = t.op;
}

Node operatorNode(Interp& in, Fn f, Node a, Node b) {
  // Operators work on single values; a whole array here would only fail
  // once the program runs.
  for (const ExprNode* operand : {a.get(), b.get()})
    if (operand && operand->kind == NodeKind::Array)
      parseError(in, "Array " + operand->symbol->name + " used with an operator: an element such as " +
                         operand->symbol->name + "[...] is needed");
  Node n = std::make_unique<ExprNode>(static_cast<std::uint16_t>(f), NodeKind::Function, b ? 2 : 1);
  n->children[0] = a.release();
  if (b) n->children[1] = b.release();
  settleHeight(in, n.get());
  typeCall(in, n.get());
  return n;
}

// A name or a form: its children and statement blocks were parsed by the
// whole parser, so its height takes in the tallest tree seen meanwhile.
template <class F>
Node composite(Interp& in, F&& parse) {
  const std::int32_t outer = in.depth.seen;
  in.depth.seen = 0;
  Node n = parse();
  settleHeight(in, n.get(), in.depth.seen);
  in.depth.seen = std::max(outer, n->height);
  return n;
}

Node identifierNode(Symbol* s) {
  Node n = std::make_unique<ExprNode>(0, NodeKind::Identifier, 0);
  n->symbol = s;
  n->resultType = s->type;
  n->opType = s->type;
  return n;
}

Node literal(Interp& in) {
  const Token& t = currentToken(in);
  Symbol* s = nullptr;
  switch (t.kind) {
    case Tok::True:
    case Tok::False:
      trace(in, "B const " + t.text);
      s = lookup(in, t.kind == Tok::True ? "TRUE" : "FALSE");
      break;
    case Tok::QuotedStr:
      trace(in, "S const " + t.text);
      s = makeConstant(in, ValueType::String);
      setString(in, *s, 1, t.text);
      break;
    case Tok::Character:
      trace(in, "C const " + t.text);
      s = makeConstant(in, ValueType::Char);
      setChar(in, *s, 1, t.text.empty() ? '\0' : t.text[0]);
      break;
    case Tok::RealNumber:
      trace(in, "R const: " + t.text);
      s = makeConstant(in, ValueType::Real);
      setReal(in, *s, 1, t.realValue);
      break;
    case Tok::ComplexNumber:
      trace(in, "Cmplx const: " + t.text);
      s = makeConstant(in, ValueType::Complex);
      setComplex(in, *s, 1, t.complexValue);
      break;
    default:  // Tok::IntNumber
      trace(in, "I const: " + t.text);
      s = makeConstant(in, ValueType::Integer);
      setInteger(in, *s, 1, t.intValue);
      break;
  }
  advance(in);
  return identifierNode(s);
}

// IF c THEN e {ELSEIF c THEN e} ELSE e END, as one node whose type unifies
// every value.
Node ifForm(Interp& in) {
  Node n = std::make_unique<ExprNode>(0, NodeKind::If, 0);
  advance(in);  // IF
  n->children.push_back(parseBoolean(in));
  match(in, Tok::Then, KindSet{Tok::Then});
  n->children.push_back(parseExpression(in));
  n->resultType = n->children.back()->resultType;
  auto addValue = [&](ExprNode* v) {
    n->children.push_back(v);
    CallTyping t = pairRule(v->resultType, n->resultType, kAnyValue);
    if (!t.ok) badArgTypeTo(in, nodeKindName(NodeKind::If), t.found, t.expected);
    n->resultType = t.result;
  };
  while (peekKind(in) == Tok::ElseIf) {
    advance(in);
    n->children.push_back(parseBoolean(in));
    match(in, Tok::Then, KindSet{Tok::Then});
    addValue(parseExpression(in));
  }
  match(in, Tok::Else, KindSet{Tok::Else, Tok::ElseIf});
  addValue(parseExpression(in));
  match(in, Tok::End, KindSet{Tok::End});
  n->opType = n->resultType;
  return n;
}

// PREASSIGN statement [,] expression END and POSTASSIGN expression [,] statement END.
Node assignForm(Interp& in, NodeKind kind) {
  Node n = std::make_unique<ExprNode>(0, kind, 2);
  advance(in);
  if (kind == NodeKind::PreAssign) {
    n->setBlock(0, parseStatement(in));
    skipOptionalComma(in);
    n->children[1] = parseExpression(in);
    n->resultType = n->children[1]->resultType;
  } else {
    n->children[0] = parseExpression(in);
    skipOptionalComma(in);
    n->setBlock(1, parseStatement(in));
    n->resultType = n->children[0]->resultType;
  }
  n->opType = n->resultType;
  match(in, Tok::End, KindSet{Tok::End});
  return n;
}

Node expressionForm(Interp& in, NodeKind kind) {
  trace(in, "New func: " + std::string(nodeKindName(kind)));
  switch (kind) {
    case NodeKind::If: return ifForm(in);
    case NodeKind::PreAssign:
    case NodeKind::PostAssign: return assignForm(in, kind);
    default: return Node(parseSpecialForm(in, kind));
  }
}

Node userFunctionCall(Interp& in, Symbol* s) {
  const Routine& r = *routineOf(*s);
  Node n = std::make_unique<ExprNode>(0, NodeKind::UserFunction, 0);
  n->symbol = s;
  n->resultType = r.result ? r.result->type : ValueType::Undef;
  n->opType = n->resultType;
  advance(in);
  const int count = static_cast<int>(r.params.size());
  trace(in, "Call user def function " + s->name + " with " + std::to_string(count) + " argument");
  parseArgList(in, n.get(), count, count);
  checkUserArgs(in, r, n.get());
  return n;
}

Node intrinsicCall(Interp& in, int code) {
  const FunctionInfo& f = functionInfo(static_cast<Fn>(code));
  trace(in, "func: " + std::string(f.name));
  Node n = std::make_unique<ExprNode>(static_cast<std::uint16_t>(code), NodeKind::Function, 0);
  advance(in);
  parseArgList(in, n.get(), f.argCount, f.argCount);
  typeCall(in, n.get());
  return n;
}

// The token that may continue a complete operand. In the calculator a line
// end there ends the expression, so its value shows when Enter is pressed
// rather than once the next line is typed.
Tok peekContinuation(Interp& in) {
  if (in.scan.lineEndsExpression && lineEndsHere(in)) return Tok::EndOfLine;
  return peekKind(in);
}

Node name(Interp& in) {
  const Token& t = currentToken(in);
  const int form = t.code(Catalog::ExprForm);
  if (form > 0 && isExpressionKeyword(static_cast<NodeKind>(form))) return expressionForm(in, static_cast<NodeKind>(form));
  const std::string text = t.text;
  Symbol* s = lookup(in, text);
  if (s && s->type == ValueType::Function) return userFunctionCall(in, s);
  if (s) {
    if (s->type == ValueType::Undef) parseError(in, "Couldn't determine the type for symbol " + text);
    Node n = identifierNode(s);
    advance(in);
    trace(in, "Identifier " + text);
    if (peekContinuation(in) == Tok::LBracket) parseSubscripts(in, n.get());
    else if (s->dims) n->kind = NodeKind::Array;
    return n;
  }
  if (const int code = t.code(Catalog::Function); code > 0) return intrinsicCall(in, code);
  parseError(in, "\"" + text + "\" must be previously declared for use here");
}

Node factor(Interp& in) {
  NestingLevel level(in, false);
  switch (peekKind(in)) {
    case Tok::True:
    case Tok::False:
    case Tok::QuotedStr:
    case Tok::Character:
    case Tok::RealNumber:
    case Tok::ComplexNumber:
    case Tok::IntNumber: return literal(in);
    case Tok::LParen: {
      advance(in);
      Node n = relation(in);
      match(in, Tok::RParen, KindSet{Tok::RParen});
      return n;
    }
    case Tok::Minus: advance(in); return operatorNode(in, Fn::NEGATE, factor(in), nullptr);
    case Tok::Not: advance(in); return operatorNode(in, Fn::NOTF, factor(in), nullptr);
    case Tok::Plus: advance(in); return factor(in);
    default: break;
  }
  const Token& t = currentToken(in);
  if (t.kind == Tok::Identifier || t.code(Catalog::ExprForm) > 0) return composite(in, [&] { return name(in); });
  syntaxError(in, t, KindSet{Tok::LParen, Tok::Minus, Tok::Plus, Tok::Not, Tok::True, Tok::False, Tok::QuotedStr,
                             Tok::Character, Tok::Identifier, Tok::RealNumber, Tok::ComplexNumber, Tok::IntNumber});
}

Node power(Interp& in) {
  Node n = factor(in);
  while (peekContinuation(in) == Tok::Caret) {
    advance(in);
    Node rhs = factor(in);
    n = operatorNode(in, Fn::POWER, std::move(n), std::move(rhs));
  }
  return n;
}

Fn mulOp(Tok k) {
  switch (k) {
    case Tok::Star: return Fn::MULTIPLY;
    case Tok::Slash: return Fn::DIVIDE;
    case Tok::Div: return Fn::IDIV;
    case Tok::Mod: return Fn::MODULO;
    case Tok::Shl: return Fn::SHIFTLEFT;
    case Tok::Shr: return Fn::SHIFTRIGHT;
    case Tok::And: return Fn::ANDF;
    default: return Fn{};
  }
}

Node term(Interp& in) {
  Node n = power(in);
  for (Fn f; (f = mulOp(peekContinuation(in))) != Fn{};) {
    advance(in);
    Node rhs = power(in);
    n = operatorNode(in, f, std::move(n), std::move(rhs));
  }
  return n;
}

Fn addOp(Tok k) {
  switch (k) {
    case Tok::Plus: return Fn::ADD;
    case Tok::Minus: return Fn::SUBTRACT;
    case Tok::Or: return Fn::ORF;
    case Tok::Xor: return Fn::XORF;
    default: return Fn{};
  }
}

Node sum(Interp& in) {
  Node n = term(in);
  for (Fn f; (f = addOp(peekContinuation(in))) != Fn{};) {
    advance(in);
    Node rhs = term(in);
    n = operatorNode(in, f, std::move(n), std::move(rhs));
  }
  return n;
}

Fn relOp(Tok k) {
  switch (k) {
    case Tok::Assign:
    case Tok::Equal: return Fn::ISEQ;
    case Tok::NotEqual: return Fn::ISNE;
    case Tok::Less: return Fn::ISLT;
    case Tok::Greater: return Fn::ISGT;
    case Tok::LessEq: return Fn::ISLE;
    case Tok::GreaterEq: return Fn::ISGE;
    default: return Fn{};
  }
}

Node relation(Interp& in) {
  Node n = sum(in);
  for (Fn f; (f = relOp(peekContinuation(in))) != Fn{};) {
    advance(in);
    Node rhs = sum(in);
    n = operatorNode(in, f, std::move(n), std::move(rhs));
  }
  return n;
}

}  // namespace

ExprNode* parseExpression(Interp& in) { return relation(in).release(); }

ExprNode* parseBoolean(Interp& in) {
  Node n = relation(in);
  if (n->resultType != ValueType::Boolean) parseError(in, " Boolean expression was expected ");
  return n.release();
}

void parseArgList(Interp& in, ExprNode* node, int min, int max) {
  if (peekContinuation(in) == Tok::LParen) {
    advance(in);
    while (peekKind(in) != Tok::RParen) {
      node->children.push_back(parseExpression(in));
      skipOptionalComma(in);
    }
    advance(in);
  }
  if (min < 0) return;
  const int count = node->childCount();
  if (min == max && count != min)
    parseError(in, "Wrong number of parameters. Called with " + std::to_string(count) + ", expected " +
                       std::to_string(min));
  if (min != max && (count < min || count > max))
    parseError(in, "Wrong number of parameters. Called with " + std::to_string(count) + ", expected from " +
                       std::to_string(min) + " to " + std::to_string(max));
}

void parseSubscripts(Interp& in, ExprNode* node) {
  const Symbol& s = *node->symbol;
  int wanted = s.dims ? s.dims->count() : 1;
  if (!s.dims && !s.has(kDataVar)) parseError(in, "\"" + s.name + "\" is not an array and cannot be subscripted");
  match(in, Tok::LBracket, KindSet{Tok::LBracket});
  for (int k = 0; k < wanted; ++k) {
    if (k > 0) skipOptionalComma(in);
    ExprNode* sub = parseExpression(in);
    node->children.push_back(sub);
    if (sub->resultType != ValueType::Integer)
      parseError(in, "Non-integer subscripts found for variable " + s.name + ". Type was " +
                         std::string(typeName(sub->resultType)));
  }
  match(in, Tok::RBracket, KindSet{Tok::RBracket});
}

void unify(Interp& in, ExprNode* node, ValueType a, ValueType b, TypeSet allowed) {
  CallTyping t = pairRule(a, b == ValueType::Undef ? node->resultType : b, allowed);
  if (!t.ok) badArgType(in, node, t.found, t.expected);
  node->opType = t.op;
  node->resultType = t.result;
}

void badArgType(Interp& in, const ExprNode* node, TypeSet found, TypeSet expected) {
  if (node->kind == NodeKind::Function) badFunctionArgType(in, static_cast<Fn>(node->index), found, expected);
  badArgTypeTo(in, nodeKindName(node->kind), found, expected);
}

void parseError(Interp& in, const std::string& message) { ReportError(in, ErrCat::Parser, message); }

namespace {
// Bytes of stack the run has used below the driver's mark.
std::size_t stackUsed(const Interp& in) {
  const auto base = reinterpret_cast<std::uintptr_t>(in.drv.stackBase);
  const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  return base > here ? base - here : 0;
}

// The tallest tree the stack can evaluate, list and free: the fixed limit
// on a full-sized stack, less on a small one (a main stack under
// `ulimit -s`), at a generous cost per level.
std::int32_t heightLimit(const Interp& in) {
  constexpr std::size_t kBytesPerLevel = 1024;
  return static_cast<std::int32_t>(
      std::min<std::size_t>(static_cast<std::size_t>(kMaxExprHeight), in.drv.stackBytes / kBytesPerLevel));
}
}  // namespace

// Nesting stops at the fixed limit or when half the stack is used, so that
// running what was parsed (which recurses no deeper per level) still fits.
NestingLevel::NestingLevel(Interp& in, bool statement)
    : level_(statement ? in.depth.statements : in.depth.expressions) {
  if (level_ >= kMaxNesting || stackUsed(in) > in.drv.stackBytes / 2)
    parseError(in, statement ? "Statements nested too deeply" : "Expression nested too deeply");
  ++level_;
}

NestingLevel::~NestingLevel() { --level_; }

void settleHeight(Interp& in, ExprNode* n, std::int32_t seenInside) {
  std::int32_t h = seenInside;
  for (const ExprNode* c : n->children)
    if (c) h = std::max(h, c->height);
  n->height = std::max(n->height, h + 1);
  if (n->height > heightLimit(in)) parseError(in, "Expression nested too deeply");
  in.depth.seen = std::max(in.depth.seen, n->height);
}

Symbol* makeConstant(Interp& in, ValueType type) {
  return declareConstant(in, makeTempName(in), type, nullptr);
}

namespace {
bool typesFit(ValueType formal, ValueType actual) {
  if (formal == actual) return true;
  if (formal == ValueType::Real && actual == ValueType::Integer) return true;
  if (formal == ValueType::Complex && (actual == ValueType::Integer || actual == ValueType::Real)) return true;
  return (formal == ValueType::Char && actual == ValueType::String) ||
         (formal == ValueType::String && actual == ValueType::Char);
}
}  // namespace

void checkUserArgs(Interp& in, const Routine& r, ExprNode* args) {
  for (std::size_t i = 0; i < r.params.size() && i < args->children.size(); ++i) {
    const Symbol& formal = *r.params[i];
    const ExprNode* a = args->children[i];
    if (r.byRef[i]) {
      if (a->kind != NodeKind::Identifier && a->kind != NodeKind::Array)
        parseError(in, "Arg passed to VAR parameter " + formal.name + " is not an identifier");
      if (a->symbol->has(kConst)) parseError(in, "Arg passed to VAR parameter " + formal.name + " is a constant");
      if (a->symbol->type != formal.type)
        parseError(in, "Arg " + a->symbol->name + " passed to VAR parameter " + formal.name +
                           " is the wrong type.  It must be " + std::string(typeName(formal.type)));
      // An array formal shares the caller's whole block, so only a whole array
      // of the same shape fits; a scalar or one element would let the routine
      // reach past the caller's storage.
      // A scalar formal given a whole array would bind its first element.
      const std::string context = " passed as a VAR parameter to " + a->symbol->name;
      if (a->kind == NodeKind::Array) checkShapes(in, context, formal, *a->symbol);
      else if (formal.dims)
        parseError(in, "Wrong number of dimensions assigning " + formal.name + context + ". Expected " +
                           std::to_string(formal.dims->count()) + ", found 0");
    }
    if (!typesFit(formal.type, a->resultType))
      parseError(in, "Incompatable arg (type " + std::string(typeName(a->resultType)) + ") passed for arg number " +
                         std::to_string(i + 1) + ".  Type " + std::string(typeName(formal.type)) + " was expected");
    // A value parameter is assigned its argument, shapes checked alike.
    if (!r.byRef[i]) checkAssign(in, formal, a);
  }
}

}  // namespace zav
