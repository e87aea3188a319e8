#include "parse/listing.h"

#include <cstdio>
#include <string>

#include "core/interp.h"
#include "dists/pdfcatalog.h"
#include "funcs/catalog.h"
#include "funcs/numtext.h"
#include "parse/forms.h"

namespace zav {
namespace {

void put(std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); }

// A literal shows its value, any other symbol its name.
void listSymbol(Interp& in, const Symbol* s) {
  put(" ");
  if (!s->name.empty() && s->name[0] == '%') {
    const int w = in.set.realWidth, d = in.set.realDecimals;
    switch (s->type) {
      case ValueType::Char: std::printf("'%c'", element<ValueType::Char>(in, *s, 1)); break;
      case ValueType::Boolean: put(element<ValueType::Boolean>(in, *s, 1) ? "TRUE" : "FALSE"); break;
      case ValueType::Integer: std::printf("%d", element<ValueType::Integer>(in, *s, 1)); break;
      case ValueType::Real: put(realToText(in.set, element<ValueType::Real>(in, *s, 1), w, d)); break;
      case ValueType::Complex: put(complexToText(in.set, element<ValueType::Complex>(in, *s, 1), w, d)); break;
      case ValueType::String: std::printf("\"%s\"", element<ValueType::String>(in, *s, 1).c_str()); break;
      case ValueType::File: put("File"); break;
      default: break;
    }
  } else {
    put(s->name);
  }
  put(" ");
}

void listNode(Interp& in, const ExprNode* n);

void listArgs(Interp& in, const ExprNode* n, int from, int to, char open, char close) {
  if (to <= from) return;
  std::putchar(open);
  bool first = true;
  for (int i = from; i < to; ++i) {
    const ExprNode* c = n->children[static_cast<std::size_t>(i)];
    if (!c) continue;
    if (!first) put(", ");
    listNode(in, c);
    first = false;
  }
  std::putchar(close);
}

// A PREASSIGN or POSTASSIGN statement: an assignment shows as target := value.
void listStatement(Interp& in, const StmtNode* s) {
  if (!s || s->kind != StmtKind::Assign || !s->target) return;
  listSymbol(in, s->target->symbol);
  if (s->target->kind == NodeKind::Identifier && !s->target->children.empty())
    listArgs(in, s->target, 0, s->target->childCount(), '[', ']');
  put(" ");
  put(" := ");
  if (s->value) listNode(in, s->value);
}

void listPdfFamily(Interp& in, const ExprNode* n) {
  const PdfInfo* pdf = pdfInfo(n->index);
  if (!pdf) return;
  const int m = n->kind == NodeKind::Pdf ? pdf->varCount : 5;
  const int params = pdf->paramCount;
  put(nodeKindName(n->kind));
  put(" ");
  if (n->kind != NodeKind::Pdf) {
    put("PDF ");
  }
  put(pdf->name);
  std::putchar('(');
  for (int i = 0; i < m && i < n->childCount(); ++i)
    if (n->children[static_cast<std::size_t>(i)]) listNode(in, n->children[static_cast<std::size_t>(i)]);
  std::putchar(')');
  for (int i = 0; i < params && m + i < n->childCount(); ++i) {
    if (i > 0) put(", ");
    if (const ExprNode* c = n->children[static_cast<std::size_t>(m + i)]) listNode(in, c);
  }
  if (pdf->hazard && m + params < n->childCount() && n->children[static_cast<std::size_t>(m + params)]) {
    put(", HAZARD ");
    listNode(in, n->children[static_cast<std::size_t>(m + params)]);
  }
  put(" END ");
}

void listNode(Interp& in, const ExprNode* n) {
  if (!n) return;
  const int count = n->childCount();
  auto child = [&](int i) { return i < count ? n->children[static_cast<std::size_t>(i)] : nullptr; };
  switch (n->kind) {
    case NodeKind::Identifier: listSymbol(in, n->symbol); break;
    case NodeKind::UserFunction:
    case NodeKind::Array:
    case NodeKind::DataArray:
    case NodeKind::None: break;
    case NodeKind::Function:
      put(functionInfo(static_cast<Fn>(n->index)).name);
      put(" ");
      listArgs(in, n, 0, count, '(', ')');
      break;
    case NodeKind::Data:
    case NodeKind::PData:
      put(nodeKindName(n->kind));
      put(" ");
      listNode(in, child(1));
      put(" END ");
      break;
    case NodeKind::Derivative:
      put(nodeKindName(n->kind));
      put(" ");
      if (child(3)) {
        put("(");
        listNode(in, child(3));
        put(" ) ");
      }
      listSymbol(in, n->symbol);
      put("=");
      listNode(in, child(0));
      put(", ");
      listNode(in, child(1));
      if (child(2)) {
        put(", ");
        listNode(in, child(2));
      }
      put(" END ");
      break;
    case NodeKind::FindMin:
    case NodeKind::FindZero:
      put(nodeKindName(n->kind));
      put(" ");
      listSymbol(in, n->symbol);
      listArgs(in, n, 0, count - 1, '(', ')');
      listNode(in, child(count - 1));
      put(" END ");
      break;
    case NodeKind::If:
      put("IF ");
      listNode(in, child(0));
      put(" THEN ");
      listNode(in, child(1));
      for (int i = 2; i + 1 < count; i += 2) {
        put(" ELSEIF ");
        listNode(in, child(i));
        put(" THEN ");
        listNode(in, child(i + 1));
      }
      put(" ELSE ");
      listNode(in, child(count - 1));
      put(" END ");
      break;
    case NodeKind::Integrate:
    case NodeKind::Product:
    case NodeKind::Summation:
      put(nodeKindName(n->kind));
      put(" ");
      listSymbol(in, n->symbol);
      listArgs(in, n, 0, count - 1, '(', ')');
      listNode(in, child(count - 1));
      put("END ");
      break;
    case NodeKind::Level:
    case NodeKind::LevelDelta:
      put(nodeKindName(n->kind));
      put(" ");
      listNode(in, child(0));
      put(" THEN ");
      listNode(in, child(2));
      put(" END ");
      break;
    case NodeKind::Param:
      put(nodeKindName(n->kind));
      put(" ");
      if (n->symbol) listSymbol(in, n->symbol);
      put(nodeKindName(n->kind));
      put(" FORM=");
      put(paramFormName(n->index));
      put(" ");
      for (int i = 0; i + 1 < count; i += 2) {
        if (i > 0) put(", ");
        listNode(in, child(i));
        put(" ");
        listNode(in, child(i + 1));
      }
      put(" END ");
      break;
    case NodeKind::Pdf:
    case NodeKind::PHazard:
    case NodeKind::PPdf:
    case NodeKind::Quantile:
    case NodeKind::Qdf: listPdfFamily(in, n); break;
    case NodeKind::PostAssign:
      put(nodeKindName(n->kind));
      put(" ");
      listNode(in, child(0));
      put(", ");
      listStatement(in, n->block(1));
      put("END ");
      break;
    case NodeKind::PreAssign:
      put(nodeKindName(n->kind));
      put(" ");
      listStatement(in, n->block(0));
      put(", ");
      listNode(in, child(1));
      put(" END ");
      break;
  }
}

}  // namespace

void listExpr(Interp& in, const ExprNode* n) { listNode(in, n); }

}  // namespace zav
