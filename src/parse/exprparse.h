// The expression parser: tokens to typed expression trees.
#pragma once
#include "parse/node.h"
#include <string>

#include "symbols/value.h"

namespace zav {

struct Interp;

// One expression at the current token.
ExprNode* parseExpression(Interp& in);
// The same, and its type must be BOOLEAN.
ExprNode* parseBoolean(Interp& in);

// Reads "(" e [,] e ... ")" into new children of node; no "(" means no
// arguments. min = -1 disables the count check.
void parseArgList(Interp& in, ExprNode* node, int min, int max);

// After the name of `node->symbol`: "[" subscripts "]" into the node's
// children, with the subscript checks.
void parseSubscripts(Interp& in, ExprNode* node);

// The coercion step: sets node's opType and resultType from the two operand
// types (b = Undef stands for the node's own result type) and the allowed set.
void unify(Interp& in, ExprNode* node, ValueType a, ValueType b, TypeSet allowed);

// Checks the actual arguments of a user routine call against its formals.
void checkUserArgs(Interp& in, const Routine& r, ExprNode* args);

// The "Bad argument type" parse error; for an intrinsic call the function's
// help line comes first.
[[noreturn]] void badArgType(Interp& in, const ExprNode* node, TypeSet found, TypeSet expected);

// A parse error: category "parser".
[[noreturn]] void parseError(Interp& in, const std::string& message);

// Whether a word of the expression-form catalog starts a form of its own
// (IF, SUMMATION, PDF, ...) rather than naming a node kind only.
bool isExpressionKeyword(NodeKind k);

// The forms parsed by the layers that own them (calculus, distributions,
// likelihood): the current token is the form's keyword.
ExprNode* parseSpecialForm(Interp& in, NodeKind kind);

// How deep statements may nest, how deep expressions may nest (counted on
// their own, so a deep statement nest is reported as such), and how tall one expression
// tree may grow (a flat sum of n terms is n levels tall). Both are far beyond
// real programs and keep the recursion of parsing, evaluating, listing and
// freeing well within the stack the driver runs the interpreter on.
constexpr int kMaxNesting = 5000;
constexpr std::int32_t kMaxExprHeight = 100000;

// One level of nesting for as long as it lives; one level too many is the
// parse error "Expression nested too deeply" or "Statements nested too deeply".
class NestingLevel {
 public:
  NestingLevel(Interp& in, bool statement);
  ~NestingLevel();
  NestingLevel(const NestingLevel&) = delete;
  NestingLevel& operator=(const NestingLevel&) = delete;

 private:
  int& level_;
};

// Sets a finished node's height from its children (and from the tallest
// tree `seen` while its parts were parsed) and checks it.
void settleHeight(Interp& in, ExprNode* n, std::int32_t seenInside = 0);

// An anonymous constant ("%T" + number) of the given type.
Symbol* makeConstant(Interp& in, ValueType type);

}  // namespace zav
