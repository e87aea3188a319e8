// The special expression forms whose meaning belongs to the calculus, the
// distribution catalog and the likelihood layer.
#include <string>

#include "parse/exprparse.h"
#include "scan/scanner.h"

namespace zav {

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
  // PENDING: each of these forms arrives with the layer that computes it.
  syntaxStop(in, std::string(nodeKindName(kind)) + " expressions are not available yet");
}

}  // namespace zav
