// Parsing of the PDF family of expression forms.
#include "parse/pdfform.h"

#include <cstdio>
#include <memory>
#include <string>

#include "core/interp.h"
#include "dists/pdfcatalog.h"
#include "estimate/model.h"
#include "funcs/catalog.h"
#include "parse/exprparse.h"
#include "scan/scanner.h"

namespace zav {
namespace {

constexpr TypeSet kNumeric = typeBit(ValueType::Integer) | typeBit(ValueType::Real);
constexpr int kFormSlots = 5;  // q, left, right, tol, maxits

// Times, probabilities and parameters are numbers.
void requireNumeric(Interp& in, const ExprNode* form, const ExprNode* part) {
  if (part && !(typeBit(part->resultType) & kNumeric))
    badArgTypeTo(in, nodeKindName(form->kind), typeBit(part->resultType), kNumeric);
}

}  // namespace

ExprNode* parsePdfForm(Interp& in, NodeKind kind) {
  advance(in);  // the keyword
  const int pdf = match(in, Tok::DistFunction, KindSet{Tok::DistFunction});
  const PdfInfo& info = *pdfInfo(pdf);
  const int m = kind == NodeKind::Pdf ? info.varCount : kFormSlots;
  const int n = info.paramCount;
  const int h = info.hazard ? 1 : 0;

  auto node = std::make_unique<ExprNode>(static_cast<std::uint16_t>(pdf), kind, 0);
  node->resultType = ValueType::Real;
  node->opType = ValueType::Real;
  parseArgList(in, node.get(), 1, m);
  for (const ExprNode* c : node->children) requireNumeric(in, node.get(), c);
  node->children.resize(static_cast<std::size_t>(m + n + h), nullptr);

  for (int i = 0; i < n; ++i) {
    if (i > 0) skipOptionalComma(in);
    if (in.set.debugParse)
      std::printf("Reading arg %d of %d for %s\n", i + 1, n, std::string(info.name).c_str());
    ExprNode* p = parseExpression(in);
    node->children[static_cast<std::size_t>(m + i)] = p;
    requireNumeric(in, node.get(), p);
  }
  if (h) {
    skipOptionalComma(in);
    if (peekKind(in) == Tok::Hazard) node->children[static_cast<std::size_t>(m + n)] = parseHazardClause(in);
  }
  match(in, Tok::End, KindSet{Tok::End});
  return node.release();
}

}  // namespace zav
