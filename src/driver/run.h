// Hands program text to the scanner, parser and executor.
#pragma once
#include <string>

namespace zav {

struct Interp;

// Opens the named file (empty: standard input) as the first source and runs
// it: ZAV ... END blocks, or expression mode when it does not start with ZAV.
void runProgramFile(Interp& in, const std::string& name);
// The same for the source already open.
void runOpenSource(Interp& in);

// Runs command-line argument number `index` as a one-line source: a
// statement list (-e) or expressions (-ex).
void runInline(Interp& in, int index, bool expressions);

}  // namespace zav
