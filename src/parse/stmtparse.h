// The statement parser: program blocks to statement lists.
#pragma once
#include <string>

#include "parse/node.h"

namespace zav {

struct Interp;

// Statements while the current token can begin one; returns the head.
StmtNode* parseStmtList(Interp& in);
// One statement (used by PREASSIGN and POSTASSIGN too); nullptr for an
// INCLUDE, which makes no statement.
StmtNode* parseStatement(Interp& in);

// Steps over the ends of included files that no statement being parsed
// began in. A statement begun inside an included file must end there: the
// file's end stays in its way as an end of file, so the error names that
// file and its end.
void skipIncludeEnds(Interp& in);

// "[" e {[,] e} "]" with nested levels: a DATAARRAY node over an anonymous
// constant array symbol whose dimensions are 1..count per level.
ExprNode* parseArrayLiteral(Interp& in);

// What a declaration declares.
enum class DeclRole {
  Variable,   // name ":" decl in a statement
  Parameter,  // a formal parameter of a PROCEDURE or FUNCTION
  Result,     // the RETURN variable of a FUNCTION
};

// After `name` ":": [STATIC] type [ "[" lo TO hi {[,] lo TO hi} "]" ].
// Declares the name in the current scope and returns its symbol; the bounds
// are evaluated now. `byRef` marks a VAR parameter (no storage of its own).
Symbol* parseDeclaration(Interp& in, const std::string& name, DeclRole role, bool byRef = false);

// Sets the statement's position to where its reading ended.
void finishStatement(Interp& in, StmtNode* s);

}  // namespace zav
