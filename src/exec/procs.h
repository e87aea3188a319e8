// Intrinsic procedures: the call statement's dispatch by procedure number,
// and the write routine that the output procedures share.
#pragma once
#include <string>

#include "parse/node.h"

namespace zav {

struct Interp;
struct TextFile;

// Runs procedure number `code` (the numbering of the procedure table) with
// the argument holder of its call statement, at source line `line`.
void callProcedure(Interp& in, int code, const ExprNode* args, int line);

// Writes each argument to `file`, a FILE argument switching the file for the
// arguments after it; each item is followed by WRITEDELIMITER, and `newline`
// ends the line after the last one.
void writeItems(Interp& in, TextFile* file, const ExprNode* args, bool newline);

// One value as WRITE shows it: REAL with REALWIDTH and REALDECIMALS, COMPLEX
// with COMPLEXWIDTH and COMPLEXDECIMALS, the others plainly. Nothing for a
// type without a written form.
void formatValue(Interp& in, const ExprNode* n, std::string& out);

// Puts text on a file open for writing; a failure is the "writing to a file"
// run-time error.
void putText(Interp& in, TextFile& f, const std::string& text);

}  // namespace zav
