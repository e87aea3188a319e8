#include "scan/scanner.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "core/error.h"
#include "core/interp.h"
#include "core/libdirs.h"
#include "core/os.h"
#include "dists/pdfcatalog.h"
#include "exec/proctable.h"
#include "funcs/catalog.h"
#include "parse/forms.h"
#include "scan/numlit.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

constexpr int kEndChar = 4;     // the current character once every source is read
constexpr int kLineEnd = '\r';  // appended to every line read
constexpr int kCtrlZ = 26;      // old end-of-text marker, skipped like a blank

// ---------------------------------------------------------------- word tables

// One constant INTEGER symbol per name, valued by its code. A name given
// twice keeps the later code.
template <class NameOf>
SymbolTable* buildTable(Interp& in, int count, NameOf nameOf) {
  SymbolTable* saved = in.current;
  SymbolTable* t = pushTable(in, nullptr);
  in.current = t;
  for (int code = 1; code <= count; ++code) {
    const std::string_view name = nameOf(code);
    Symbol* s = lookupHere(in, name);
    if (!s) s = declareStatic(in, name, ValueType::Integer, nullptr, kConst);
    setInteger(in, *s, 1, code);
  }
  in.current = saved;
  return t;
}

int valueIn(Interp& in, SymbolTable* t, std::string_view name) {
  if (!t) return 0;
  SymbolTable* saved = in.current;
  in.current = t;
  Symbol* s = lookupHere(in, name);
  in.current = saved;
  return s ? getInteger(in, *s, 1) : 0;
}

void buildTables(Interp& in) {
  ScanState& s = in.scan;
  if (s.keywords) return;
  s.keywords = buildTable(in, kKeywordCount, [](int k) { return tokName(k); });
  auto slot = [&](Catalog c) -> SymbolTable*& { return s.catalogs[static_cast<std::size_t>(c) - 1]; };
  slot(Catalog::Pdf) = buildTable(in, kPdfCount, [](int k) { return pdfInfo(k)->name; });
  slot(Catalog::ExprForm) = buildTable(in, kExprFormCount, [](int k) { return exprFormName(k); });
  slot(Catalog::Function) = buildTable(in, kFunctionCount, [](int k) { return functionInfo(k).name; });
  slot(Catalog::Procedure) = buildTable(in, kProcCount, [](int k) { return procInfo(k)->name; });
  slot(Catalog::ParamForm) = buildTable(in, kParamFormCount, [](int k) { return paramFormName(k); });
  slot(Catalog::DataForm) = buildTable(in, kDataFormCount, [](int k) { return dataFormName(k); });
}

// ------------------------------------------------------------------- sources

// The first directory of a colon (or semicolon) separated list that holds
// the file; the path is the directory as listed joined with the name.
std::string searchDirs(const std::string& name, const std::string& list) {
  if (name.empty() || name[0] == '/') return "";
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find_first_of(":;", start);
    if (end == std::string::npos) end = list.size();
    std::string dir = list.substr(start, end - start);
    if (!dir.empty()) {
      std::string candidate = dir.back() == '/' ? dir + name : dir + "/" + name;
      if (fileExists(candidate)) return candidate;
    }
    start = end + 1;
  }
  return "";
}

bool readFileLine(std::FILE* f, std::string& out) {
  out.clear();
  bool any = false;
  int c;
  while ((c = std::getc(f)) != EOF) {
    any = true;
    if (c == '\n') break;
    out += static_cast<char>(c);
  }
  // Lines written with CR LF read as the same line.
  if (!out.empty() && out.back() == '\r') out.pop_back();
  return any;
}

// -------------------------------------------------------------- characters

void echo(const Interp& in, int c) {
  if (!in.set.debugEcho) return;
  std::putchar(c == kLineEnd ? '\n' : c);
}

// Takes the next line of the top source, popping exhausted sources; with
// none left the current character becomes the end character. An included
// source first ends in the end character of its own, so that its end is a
// token: a statement begun in the file cannot run on into the one that
// included it, and its error names the file.
void readLine(Interp& in) {
  ScanState& s = in.scan;
  s.lineReadPending = false;
  std::string text;
  while (!s.sources.empty()) {
    Source& src = s.sources.back();
    bool got = false;
    if (src.inlineText) {
      if (!src.inlineRead) {
        src.inlineRead = true;
        got = true;
        const int idx = in.drv.inlineIndex;
        if (idx > 0 && idx < static_cast<int>(in.drv.args.size())) text = in.drv.args[static_cast<std::size_t>(idx)];
        if (in.set.verbose) std::printf("Doing: %s\n", text.c_str());
      }
    } else {
      got = readFileLine(src.file.get(), text);
    }
    if (got) {
      ++src.line;
      src.column = 1;
      s.lineBuf = std::move(text);
      s.lineBuf += static_cast<char>(kLineEnd);
      s.linePos = 1;
      s.ch = static_cast<unsigned char>(s.lineBuf[0]);
      s.lineDepth = static_cast<std::int32_t>(s.sources.size());
      if (in.pos.file != src.name) {
        in.pos.file = src.name;
        in.pos.fileIndex = -1;
      }
      in.pos.line = src.line;
      in.pos.column = 1;
      echo(in, s.ch);
      return;
    }
    if (s.sources.size() > 1 && !src.endTaken) {
      s.lineBuf.clear();
      s.linePos = 0;
      s.ch = kEndChar;
      s.lineDepth = static_cast<std::int32_t>(s.sources.size());
      if (src.line == 0) {  // an empty file ends where it starts
        in.pos.file = src.name;
        in.pos.fileIndex = -1;
        in.pos.line = 1;
        in.pos.column = 1;
      }
      return;
    }
    s.sources.pop_back();
    if (!s.sources.empty()) {
      const Source& outer = s.sources.back();
      in.pos.file = outer.name;
      in.pos.fileIndex = -1;
      in.pos.line = outer.line;
      in.pos.column = outer.column;
    }
  }
  s.lineBuf.clear();
  s.linePos = 0;
  s.ch = kEndChar;
  s.lineDepth = 0;
}

void nextChar(Interp& in) {
  ScanState& s = in.scan;
  if (s.lineReadPending || s.linePos >= s.lineBuf.size() || s.sources.empty()) {
    readLine(in);
    return;
  }
  s.ch = static_cast<unsigned char>(s.lineBuf[s.linePos++]);
  // After an INCLUDE the rest of its line is still the including source's.
  Source& src = s.sources[static_cast<std::size_t>(s.lineDepth) - 1];
  ++src.column;
  in.pos.column = src.column;
  echo(in, s.ch);
}

// The character after the current one on the line, 0 at its end.
int lookAheadChar(const ScanState& s) {
  return s.linePos < s.lineBuf.size() ? static_cast<unsigned char>(s.lineBuf[s.linePos]) : 0;
}

bool isLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }

// Number characters other than E, "_" and "/", which have rules of their own.
bool isNumberChar(int c) {
  return isDigit(c) || c == '.' || c == ':' || c == '\'' || c == '"' || c == '`' || (c >= 'a' && c <= 'z') ||
         (c >= 'A' && c <= 'Z' && c != 'E') || c == 230 || c == 248;
}

// -------------------------------------------------------------- the reports

[[noreturn]] void endWithTokenPosition(Interp& in, const Token& t) {
  if (in.drv.inlineIndex == 0) closeAllSources(in);
  in.pos.file = t.file;
  in.pos.fileIndex = -1;
  in.pos.line = t.line;
  in.pos.column = t.column;
  errorFileStepAndEnd(in);
}

[[noreturn]] void syntaxStopAt(Interp& in, const Token& tok, std::string_view message) {
  const Token t = tok;  // the reference may point into state that closing sources clears
  std::printf("%.*s\n", static_cast<int>(message.size()), message.data());
  if (t.kind == Tok::EndOfFile) {
    std::printf("%s(%d,%d) Error at end of file in %s\n", t.file.c_str(), t.line, t.column, t.file.c_str());
  } else {
    std::printf("%s(%d,%d) Error while parsing line %d col %d in %s\n", t.file.c_str(), t.line, t.column, t.line,
                t.column, t.file.c_str());
  }
  endWithTokenPosition(in, t);
}

// ------------------------------------------------------------------ scanning

void take(Interp& in, std::string& text) {
  text += static_cast<char>(in.scan.ch);
  nextChar(in);
}

void scanQuoted(Interp& in, Token& t, int quote) {
  t.kind = quote == '\'' ? Tok::InSingleQuote : Tok::InDoubleQuote;
  nextChar(in);
  while (in.scan.ch != quote) {
    const int c = in.scan.ch;
    if (c == kLineEnd || c == '\n' || c == kEndChar) {
      syntaxStopAt(in, t,
                   quote == '\'' ? "Unclosed ' at end of a line or file" : "Unclosed \" at the end of a line or file");
    }
    take(in, t.text);
  }
  nextChar(in);
  t.kind = (quote == '\'' && t.text.size() == 1) ? Tok::Character : Tok::QuotedStr;
}

void scanNumber(Interp& in, Token& t) {
  t.kind = Tok::InNumber;
  ScanState& s = in.scan;
  bool firstE = true;
  bool slashAllowed = false;
  for (;;) {
    const int c = s.ch;
    if (isNumberChar(c)) {
      take(in, t.text);
    } else if (c == 'E') {
      take(in, t.text);
      if (s.ch == '-' && firstE) take(in, t.text);
      firstE = false;
    } else if (c == '_') {
      take(in, t.text);
      slashAllowed = true;
    } else if (c == '/' && slashAllowed) {
      take(in, t.text);
      slashAllowed = false;
    } else if (c == 0xC2 && (lookAheadChar(s) == 0xB5 || lookAheadChar(s) == 0xB0)) {
      // The micro and degree signs as a UTF-8 editor writes them.
      take(in, t.text);
      take(in, t.text);
    } else {
      break;
    }
  }
  const NumLit v = parseNumber(t.text);
  if (!v.valid) syntaxStopAt(in, t, "Bad number format found while scanning \"" + t.text + "\"");
  switch (v.type) {
    case NumType::Integer:
      t.kind = Tok::IntNumber;
      t.intValue = v.i;
      t.realValue = v.r;
      break;
    case NumType::Real:
      t.kind = Tok::RealNumber;
      t.realValue = v.r;
      break;
    case NumType::Complex:
      t.kind = Tok::ComplexNumber;
      t.complexValue = v.c;
      break;
  }
}

void scanWord(Interp& in, Token& t) {
  t.kind = Tok::InIdent;
  ScanState& s = in.scan;
  while (isLetter(s.ch) || isDigit(s.ch) || s.ch == '.' || s.ch == '_') take(in, t.text);
  if (t.text.size() > kMaxText) t.text.resize(kMaxText);
  for (int k = 0; k < kCatalogCount; ++k)
    t.codes[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(valueIn(in, s.catalogs[static_cast<std::size_t>(k)], t.text));
  const int kind = valueIn(in, s.keywords, t.text);
  t.kind = kind ? static_cast<Tok>(kind) : Tok::Identifier;
}

// Operators and one-character symbols are whatever the keyword table knows.
void scanSymbol(Interp& in, Token& t, bool operatorChars) {
  t.kind = operatorChars ? Tok::InOperator : Tok::InSymbol;
  take(in, t.text);
  if (operatorChars)
    while (in.scan.ch == '=' || in.scan.ch == '>') take(in, t.text);
  const int kind = valueIn(in, in.scan.keywords, t.text);
  t.kind = kind ? static_cast<Tok>(kind) : Tok::Bad;
}

Token scanToken(Interp& in) {
  ScanState& s = in.scan;
  Token t;
  for (;;) {
    t.kind = Tok::StartState;
    t.line = in.pos.line;
    t.column = in.pos.column;
    t.file = in.pos.file;
    t.depth = s.lineDepth;
    const int c = s.ch;
    if (c == ' ' || c == '\t' || c == kCtrlZ || c == '\\') {
      nextChar(in);
    } else if (c == '{') {
      t.kind = Tok::InComment;
      do {
        nextChar(in);
        if (s.ch == kEndChar) syntaxStopAt(in, t, "Unclosed comment at end of file");
      } while (s.ch != '}');
      nextChar(in);
    } else if (c == '#') {
      while (s.ch != kLineEnd && s.ch != '\n' && s.ch != kEndChar) nextChar(in);
    } else {
      break;
    }
  }
  const int c = s.ch;
  if (c == kEndChar) {
    t.kind = Tok::EndOfFile;
    t.text.assign(1, static_cast<char>(kEndChar));
    if (!s.sources.empty()) {
      // An included source's end: the source stays the current position
      // until the next token is asked for, then reading resumes after the
      // INCLUDE.
      s.sources.back().endTaken = true;
      s.ch = ' ';
      s.lineReadPending = true;
    }
  } else if (c == '\n' || c == kLineEnd) {
    t.kind = Tok::EndOfLine;
    nextChar(in);
  } else if (c == '\'' || c == '"') {
    scanQuoted(in, t, c);
  } else if (isDigit(c)) {
    scanNumber(in, t);
  } else if (isLetter(c)) {
    scanWord(in, t);
  } else {
    scanSymbol(in, t, c == '<' || c == '=' || c == '>');
  }
  if (t.text.size() > kMaxText) t.text.resize(kMaxText);
  if (t.kind == Tok::Bad) {
    std::printf("Unexpected token or statement on line %d col %d\n", t.line, t.column);
    std::printf("Token: %s\n", t.text.c_str());
    writeErrorFile(in);
  }
  return t;
}

// The next meaningful token into the look-ahead buffer.
void fillAhead(Interp& in, int n) {
  ScanState& s = in.scan;
  while (s.aheadCount < n) {
    if (s.aheadCount == kLookAhead) ReportError(in, ErrCat::Parser, "Error: gettoken overflow");
    Token t;
    do {
      t = scanToken(in);
    } while (t.kind == Tok::EndOfLine);
    if (in.set.debugParse) {
      const std::string_view name = tokName(t.kind);
      std::printf("Token %.*s l:%d c:%d ->%s<-\n", static_cast<int>(name.size()), name.data(), t.line, t.column,
                  t.text.c_str());
    }
    s.ahead[static_cast<std::size_t>(s.aheadCount++)] = std::move(t);
  }
  if (!s.curFresh) {
    s.cur = s.ahead[0];
    s.curFresh = true;
  }
}

Catalog catalogOf(Tok k) {
  switch (k) {
    case Tok::DistFunction: return Catalog::Pdf;
    case Tok::CmplxFunction: return Catalog::ExprForm;
    case Tok::NFunction: return Catalog::Function;
    case Tok::IntrinsicProc: return Catalog::Procedure;
    case Tok::ParamForm: return Catalog::ParamForm;
    case Tok::DataForm: return Catalog::DataForm;
    default: return static_cast<Catalog>(0);
  }
}

}  // namespace

// --------------------------------------------------------------- interface

void initScanner(Interp& in) {
  buildTables(in);
  resetScanner(in);
}

void resetScanner(Interp& in) {
  ScanState& s = in.scan;
  closeAllSources(in);
  s.aheadCount = 0;
  s.curFresh = false;
  s.ch = ' ';
  s.lineReadPending = true;
  s.inlineOpened = false;
}

void openSource(Interp& in, const std::string& name) {
  buildTables(in);
  ScanState& s = in.scan;
  const bool inlineSource = in.drv.inlineIndex > 0 && !s.inlineOpened;
  std::string path = name;
  if (!inlineSource && !name.empty() && !fileExists(name)) {
    std::string found = searchDirs(name, in.drv.includePath);
    if (found.empty()) found = searchDirs(name, getEnv("ZAVLIBS"));
    if (found.empty()) found = searchDirs(name, libraryDirs());
    if (!found.empty()) path = found;
  }
  if (in.set.debugParse || in.set.parseOnly)
    std::printf("Reading from %s\n", path.empty() ? "" : fullPath(path).c_str());

  Source src;
  src.name = path;
  if (inlineSource) {
    src.inlineText = true;
    s.inlineOpened = true;
  } else if (path.empty()) {
    src.file.reset(stdin);
  } else {
    if (!fileExists(path)) checkResult(in, kErrFileNotFound, "opening for reading FILE", path);
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (!f) checkResult(in, errnoToCode(errno, OsOp::File), "opening for reading FILE", path);
    src.file.reset(f);
  }
  // The rest of an INCLUDE line is read first and keeps its own position;
  // the new source's position starts with its first line.
  const bool lineGoesOn = !s.sources.empty() && !s.lineReadPending && s.ch != kEndChar;
  s.sources.push_back(std::move(src));
  if (!lineGoesOn) {
    in.pos.file = path;
    in.pos.fileIndex = -1;
    in.pos.line = 1;
    in.pos.column = 1;
  }
  // Once everything had been read, the new source is where reading resumes.
  if (s.ch == kEndChar) {
    s.ch = ' ';
    s.lineReadPending = true;
  }
}

std::int32_t sourceIndex(Interp& in) {
  SourcePos& p = in.pos;
  if (p.fileIndex >= 0) return p.fileIndex;
  std::vector<std::string>& names = in.scan.fileNames;
  auto it = std::find(names.begin(), names.end(), p.file);
  if (it == names.end()) it = names.insert(names.end(), p.file);
  p.fileIndex = static_cast<std::int32_t>(it - names.begin());
  return p.fileIndex;
}

void closeAllSources(Interp& in) {
  ScanState& s = in.scan;
  s.sources.clear();
  s.lineBuf.clear();
  s.linePos = 0;
  s.lineDepth = 0;
  s.ch = kEndChar;
  s.lineReadPending = false;
}

Tok peekKind(Interp& in) {
  fillAhead(in, 1);
  return in.scan.ahead[0].kind;
}

int peekCatalog(Interp& in, Catalog c) {
  fillAhead(in, 1);
  return in.scan.ahead[0].code(c);
}

const Token& peekToken(Interp& in, int n) {
  fillAhead(in, n < 1 ? 1 : n);
  return in.scan.ahead[static_cast<std::size_t>(n < 1 ? 0 : n - 1)];
}

const Token& currentToken(const Interp& in) { return in.scan.cur; }

bool lineEndsHere(const Interp& in) {
  const ScanState& s = in.scan;
  if (s.aheadCount > 0 || s.lineReadPending || s.sources.empty()) return false;
  int c = s.ch;
  std::size_t p = s.linePos;
  for (;;) {
    if (c == kLineEnd || c == '\n' || c == '#') return true;
    if ((c != ' ' && c != '\t') || p >= s.lineBuf.size()) return false;
    c = static_cast<unsigned char>(s.lineBuf[p++]);
  }
}

void advance(Interp& in) {
  ScanState& s = in.scan;
  fillAhead(in, 1);
  for (int i = 1; i < s.aheadCount; ++i)
    s.ahead[static_cast<std::size_t>(i - 1)] = std::move(s.ahead[static_cast<std::size_t>(i)]);
  --s.aheadCount;
  s.curFresh = false;
}

int match(Interp& in, Tok expected, const KindSet& acceptable) {
  fillAhead(in, 1);
  advance(in);
  const Token& t = in.scan.cur;
  const Catalog cat = catalogOf(expected);
  if (static_cast<int>(cat) != 0) {
    const int code = catalogCode(in, cat, t.text);
    if (code == 0) syntaxError(in, t, acceptable);
    return code;
  }
  if (t.kind != expected) syntaxError(in, t, acceptable);
  return 0;
}

void skipOptionalComma(Interp& in) {
  if (peekKind(in) == Tok::Comma) advance(in);
}

std::string makeTempName(Interp& in) {
  // The counter is not cut to 16 bits: wrapping would hand out a name that
  // is already taken.
  std::string name = "%T" + std::to_string(++in.drv.tempCounter);
  if (name.size() > 10) name.resize(10);
  return name;
}

int catalogCode(Interp& in, Catalog c, std::string_view name) {
  buildTables(in);
  const int i = static_cast<int>(c);
  if (i < 1 || i > kCatalogCount) return 0;
  return valueIn(in, in.scan.catalogs[static_cast<std::size_t>(i - 1)], name);
}

Tok keywordKind(Interp& in, std::string_view word) {
  buildTables(in);
  return static_cast<Tok>(valueIn(in, in.scan.keywords, word));
}

void syntaxError(Interp& in, const Token& bad, const KindSet& expected) {
  const Token t = bad;
  std::printf("%s(%d,%d) Bad syntax, line %d column %d of %s\n", t.file.c_str(), t.line, t.column, t.line, t.column,
              t.file.c_str());
  if (t.kind == Tok::EndOfFile)
    std::printf("Unexpectedly came to end of file\n");
  else
    std::printf("The bad token is: %s\n", t.text.c_str());
  std::printf("One of the following was expected: \n");
  for (int k = 1; k <= kTokKindCount; ++k) {
    if (!expected.has(static_cast<Tok>(k))) continue;
    const std::string_view name = tokName(k);
    std::printf("    %.*s\n", static_cast<int>(name.size()), name.data());
    if (static_cast<Tok>(k) == Tok::ParamForm) {
      for (int f = 1; f <= kParamFormCount; ++f) {
        const std::string_view form = paramFormName(f);
        std::printf("       %.*s\n", static_cast<int>(form.size()), form.data());
      }
    }
  }
  endWithTokenPosition(in, t);
}

void syntaxStop(Interp& in, std::string_view message) { syntaxStopAt(in, in.scan.cur, message); }

}  // namespace zav
