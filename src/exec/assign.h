// Assignment and type conversion: the checks made while parsing, and the
// element-by-element stores made while running.
#pragma once
#include <string>

#include "parse/node.h"

namespace zav {

struct Interp;

// Parse time. The value's type must fit the target's, the target must not be
// a constant, and an array value must have the target's shape. An `element`
// target (a subscripted name) takes no array value.
void checkAssign(Interp& in, const Symbol& target, const ExprNode* value, bool element = false);
// Only the type and constant rules (the list of a FOR loop is an array whose
// elements, not itself, go to the scalar loop variable).
void checkAssignType(Interp& in, const Symbol& target, ValueType value);
// Dimension count and bounds of target `a` against source `b`; `context` is
// inserted after a's name in the messages.
void checkShapes(Interp& in, const std::string& context, const Symbol& a, const Symbol& b);

// Run time: one assignment statement.
void execAssign(Interp& in, const StmtNode& s);
// Evaluates `value` anew for each element first..last of `target` and stores it.
void assignRange(Interp& in, Symbol& target, int first, int last, const ExprNode* value);
// target[i] := source[j], converted to the target's type.
void copyElement(Interp& in, Symbol& target, int i, const Symbol& source, int j);
// Stores an array literal, the outer level running over the first subscript.
void assignLiteral(Interp& in, Symbol& target, const ExprNode* literal);

}  // namespace zav
