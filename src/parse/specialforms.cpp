// The special expression forms whose meaning belongs to the calculus, the
// distribution catalog and the likelihood layer.
#include <memory>
#include <string>

#include "exec/assign.h"
#include "estimate/model.h"
#include "funcs/catalog.h"
#include "parse/exprparse.h"
#include "parse/pdfform.h"
#include "scan/scanner.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

using Node = std::unique_ptr<ExprNode>;

constexpr TypeSet kNumeric = typeBit(ValueType::Integer) | typeBit(ValueType::Real);

// Limits, points, steps and bodies of the calculus forms are numbers; any
// other type would only fail once the form runs.
void requireNumeric(Interp& in, const ExprNode* form, const ExprNode* part) {
  if (part && !(typeBit(part->resultType) & kNumeric))
    badArgTypeTo(in, nodeKindName(form->kind), typeBit(part->resultType), kNumeric);
}

void requireNumericChildren(Interp& in, const ExprNode* form) {
  for (const ExprNode* c : form->children) requireNumeric(in, form, c);
}

// The variable a form sets: found, or declared with the form's type. An
// existing variable must be able to hold the values the form gives it.
Symbol* formVariable(Interp& in, ValueType type) {
  peekKind(in);
  const std::string name = currentToken(in).text;
  match(in, Tok::Identifier, KindSet{Tok::Identifier});
  Symbol* s = findOrCreate(in, name, type, 0);
  checkAssignType(in, *s, type);
  return s;
}

Node newForm(NodeKind kind) {
  Node n = std::make_unique<ExprNode>(0, kind, 0);
  n->resultType = ValueType::Real;
  n->opType = ValueType::Real;
  return n;
}

// DERIVATIVE [(order)] var = point [,] expression [[,] dx] END; the slots
// are point, expression, dx, order.
Node derivativeForm(Interp& in) {
  Node n = newForm(NodeKind::Derivative);
  n->children.assign(4, nullptr);
  advance(in);  // DERIVATIVE
  if (peekKind(in) == Tok::LParen) {
    advance(in);
    n->children[3] = parseExpression(in);
    match(in, Tok::RParen, KindSet{Tok::RParen});
  }
  n->symbol = formVariable(in, ValueType::Real);
  match(in, Tok::Assign, KindSet{Tok::Assign});
  n->children[0] = parseExpression(in);
  skipOptionalComma(in);
  n->children[1] = parseExpression(in);
  skipOptionalComma(in);
  if (peekKind(in) != Tok::End) n->children[2] = parseExpression(in);
  match(in, Tok::End, KindSet{Tok::End});
  requireNumericChildren(in, n.get());
  return n;
}

// KEYWORD var (list) expression END: FINDMIN, FINDZERO, INTEGRATE,
// SUMMATION and PRODUCT. The body is the last child.
Node bracketedForm(Interp& in, NodeKind kind, ValueType varType, int min, int max) {
  Node n = newForm(kind);
  advance(in);  // the keyword
  n->symbol = formVariable(in, varType);
  parseArgList(in, n.get(), min, max);
  n->children.push_back(parseExpression(in));
  match(in, Tok::End, KindSet{Tok::End});
  requireNumericChildren(in, n.get());
  return n;
}

}  // namespace

bool isExpressionKeyword(NodeKind k) {
  switch (k) {
    case NodeKind::Identifier:
    case NodeKind::UserFunction:
    case NodeKind::Array:
    case NodeKind::DataArray:
    case NodeKind::Function:
    case NodeKind::None: return false;
    default: return true;
  }
}

ExprNode* parseSpecialForm(Interp& in, NodeKind kind) {
  switch (kind) {
    case NodeKind::Derivative: return derivativeForm(in).release();
    case NodeKind::FindMin: return bracketedForm(in, kind, ValueType::Real, 2, 5).release();
    case NodeKind::FindZero: return bracketedForm(in, kind, ValueType::Real, 2, 4).release();
    case NodeKind::Integrate: return bracketedForm(in, kind, ValueType::Real, 2, 3).release();
    case NodeKind::Summation:
    case NodeKind::Product: return bracketedForm(in, kind, ValueType::Integer, 2, 3).release();
    case NodeKind::Param: return parseParamForm(in);
    case NodeKind::Data:
    case NodeKind::PData: return parseDataForm(in, kind);
    case NodeKind::Level:
    case NodeKind::LevelDelta: return parseLevelForm(in, kind);
    case NodeKind::Pdf:
    case NodeKind::PHazard:
    case NodeKind::PPdf:
    case NodeKind::Quantile:
    case NodeKind::Qdf: return parsePdfForm(in, kind);
    default: break;
  }
  // PENDING: the distribution and likelihood forms arrive with their layers.
  syntaxStop(in, std::string(nodeKindName(kind)) + " expressions are not available yet");
}

}  // namespace zav
