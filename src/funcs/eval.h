// The typed evaluators: one entry per result type, walking expression trees.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "parse/node.h"
#include "symbols/value.h"

namespace zav {

struct Interp;
struct TextFile;

Real evalReal(Interp& in, const ExprNode* n);
std::int32_t evalInteger(Interp& in, const ExprNode* n);
bool evalBoolean(Interp& in, const ExprNode* n);
Complex evalComplex(Interp& in, const ExprNode* n);
void evalString(Interp& in, const ExprNode* n, std::string& out);
std::string evalString(Interp& in, const ExprNode* n);
char evalChar(Interp& in, const ExprNode* n);
TextFile* evalFile(Interp& in, const ExprNode* n);

// The 1-based element number that the subscripts of an identifier select.
int linearIndex(Interp& in, const ExprNode* n);

// A call of a user PROCEDURE or FUNCTION: evaluates the actual arguments in
// the caller's activation, then pushes a fresh activation of the routine's
// table and binds them (VAR parameters share the caller's storage). The
// caller runs the body and reads RETURN before leaving. While the body runs
// the routine's table is the current one, so names looked up at run time
// (DUMPSYMBOL, DUMPTABLE, the monitor) find its own symbols first; entering
// returns the caller's table for leaving to restore.
SymbolTable* enterRoutine(Interp& in, const Routine& r, const std::vector<ExprNode*>& actuals);
void leaveRoutine(Interp& in, const Routine& r, SymbolTable* caller);

// The routine a PROCEDURE or FUNCTION symbol holds.
Routine* routineOf(const Symbol& s);

}  // namespace zav
