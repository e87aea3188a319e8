// The scanner: program text, include files, standard input and command-line
// programs become tokens; it owns the two syntax-error reports.
#pragma once
#include <string>
#include <string_view>

#include "scan/scanstate.h"
#include "scan/token.h"

namespace zav {

struct Interp;

// Builds the keyword table and the six catalog tables (once) and empties the
// look-ahead. Called before the first source is opened.
void initScanner(Interp& in);

// After an inline program: closes what is left of its sources, empties the
// look-ahead, and reads the next line on demand.
void resetScanner(Interp& in);

// Pushes a source: the file itself, else found along the -I path list, else
// along ZAVLIBS; an empty name is standard input. While an inline program
// starts (drv.inlineIndex > 0), its argument is the source's one line. An
// INCLUDE pushes its file right after its name has been matched, before the
// parser looks further ahead.
void openSource(Interp& in, const std::string& name);

// Closes and pops every open source.
void closeAllSources(Interp& in);

// The index of the current position's file among the names of every source
// read so far, the name added when new.
std::int32_t sourceIndex(Interp& in);

// The first look-ahead token's kind (reading one when none is held); that
// token becomes the current token.
Tok peekKind(Interp& in);
// The first token's code in a catalog, 0 when absent.
int peekCatalog(Interp& in, Catalog c);
// The n-th look-ahead token, n = 1..3; a fourth is the "gettoken overflow".
const Token& peekToken(Interp& in, int n);
// The parser's current token.
const Token& currentToken(const Interp& in);

// With nothing looked ahead, whether the rest of the current line holds no
// token, so that a calculator line can end an expression without waiting for
// the next line to be typed.
bool lineEndsHere(const Interp& in);

// Drops the first look-ahead token.
void advance(Interp& in);

// Consumes the next token and checks it: for NFunction, CmplxFunction,
// DistFunction, IntrinsicProc, ParamForm and DataForm its text must name an
// entry of the matching catalog, whose 1-based index is returned; for any
// other kind the token must be of that kind (0 is returned). Otherwise the
// syntax-error report lists `acceptable`.
int match(Interp& in, Tok expected, const KindSet& acceptable);
inline int match(Interp& in, Tok expected) { return match(in, expected, KindSet{expected}); }

// Consumes a "," if one comes next.
void skipOptionalComma(Interp& in);

// "%T" and the next number of the anonymous-constant counter.
std::string makeTempName(Interp& in);

// The code of a name in a catalog table (0 when absent) and the keyword kind
// of a word (Tok::None when it is none).
int catalogCode(Interp& in, Catalog c, std::string_view name);
Tok keywordKind(Interp& in, std::string_view word);

// The parser's syntax error: where, the bad token, and the kinds that were
// expected. Ends the run.
[[noreturn]] void syntaxError(Interp& in, const Token& bad, const KindSet& expected);
// The scanner's (and the parser's own) stop with a message at the current
// token. Ends the run.
[[noreturn]] void syntaxStop(Interp& in, std::string_view message);

}  // namespace zav
