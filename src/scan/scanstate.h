// The scanner's part of the interpreter context: the stack of open sources,
// the current line, the token look-ahead and the word tables.
#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "scan/token.h"

namespace zav {

struct SymbolTable;

// Closes a source file; standard input is left open.
struct SourceFileCloser {
  void operator()(std::FILE* f) const {
    if (f && f != stdin) std::fclose(f);
  }
};

// One open source. The top of the stack is the one read.
struct Source {
  std::string name;
  std::unique_ptr<std::FILE, SourceFileCloser> file;  // none for an inline program
  bool inlineText = false;                            // its one line is the -e/-ex argument
  bool inlineRead = false;
  std::int32_t line = 0;
  std::int32_t column = 0;
  bool endTaken = false;  // an included source's end-of-file token has been scanned
};

constexpr int kLookAhead = 3;

struct ScanState {
  std::vector<Source> sources;
  // Every source name statements were read from, kept for the whole run:
  // a statement names its file by index, for reports made while it runs.
  std::vector<std::string> fileNames;
  std::string lineBuf;        // the current line with a carriage return appended
  std::size_t linePos = 0;    // index of the character after the current one
  std::int32_t lineDepth = 0;  // the depth of the source the current line came from
  int ch = ' ';               // current character; 4 at the end of all sources
  bool lineReadPending = true;
  bool inlineOpened = false;  // the inline argument has been taken as a source
  bool lineEndsExpression = false;  // the calculator: a line end where an expression may end ends it

  std::array<Token, kLookAhead> ahead;
  int aheadCount = 0;
  bool curFresh = false;  // cur already holds ahead[0]
  Token cur;              // the parser's current token

  SymbolTable* keywords = nullptr;
  std::array<SymbolTable*, kCatalogCount> catalogs{};
};

}  // namespace zav
