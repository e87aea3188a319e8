// The scanner: token kinds, texts, values and positions, the source stack
// with INCLUDE search, inline programs, the look-ahead, traces and the two
// syntax-error reports.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "scan/scanner.h"
#include "support.h"

namespace zav {
namespace {

namespace fs = std::filesystem;

using test::endedRun;

class Scanner : public ::testing::Test {
 protected:
  Interp in;
  fs::path dir;

  void SetUp() override {
    char templ[] = "/tmp/zav_scanner_XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir = templ;
    initScanner(in);
  }
  void TearDown() override {
    closeAllSources(in);
    fs::remove_all(dir);
  }

  std::string write(const fs::path& rel, const std::string& text) {
    fs::path p = dir / rel;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
  }
  // Opens a program file holding the text; returns its name.
  std::string open(const std::string& text) {
    std::string name = write("prog.zav", text);
    openSource(in, name);
    return name;
  }
  // Every token up to and including END OF FILE.
  std::vector<Token> all() {
    std::vector<Token> out;
    for (;;) {
      Tok k = peekKind(in);
      out.push_back(currentToken(in));
      advance(in);
      if (k == Tok::EndOfFile && out.back().depth == 0) return out;  // not an included file's end
    }
  }
  std::vector<Tok> kinds(const std::string& text) {
    open(text);
    std::vector<Tok> out;
    for (const Token& t : all()) out.push_back(t.kind);
    return out;
  }
};

TEST(TokenNames, BlanksAndQuotesArePartOfTheNames) {
  EXPECT_EQ(tokName(Tok::Comma), ",");
  EXPECT_EQ(tokName(Tok::CmplxFunction), "CMPLX FUNCTION");
  EXPECT_EQ(tokName(Tok::IntrinsicProc), "INTRINSIC PROC");
  EXPECT_EQ(tokName(Tok::ParamForm), "FORM");
  EXPECT_EQ(tokName(Tok::Form), "FORM");
  EXPECT_EQ(tokName(Tok::StartState), "_START ");
  EXPECT_EQ(tokName(Tok::InSingleQuote), "MATCH '");
  EXPECT_EQ(tokName(Tok::InDoubleQuote), "MATCH \"");
  EXPECT_EQ(tokName(Tok::InComment), " COMMENT");
  EXPECT_EQ(tokName(Tok::InOperator), " OPERATOR ");
  EXPECT_EQ(tokName(Tok::Bad), " BAD");
  EXPECT_EQ(tokName(Tok::InNumber), " number");
  EXPECT_EQ(static_cast<int>(Tok::DropIf), 98);
  EXPECT_EQ(static_cast<int>(Tok::IntNumber), 116);
}

TEST_F(Scanner, KeywordsIgnoreCaseAndWordsKeepTheirText) {
  open("begin BEGIN Begin form Zav\nmyVar");
  std::vector<Token> t = all();
  ASSERT_EQ(t.size(), 7u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(t[i].kind, Tok::Begin);
  EXPECT_EQ(t[1].text, "BEGIN");
  EXPECT_EQ(t[2].text, "Begin");
  EXPECT_EQ(t[3].kind, Tok::Form);  // the later of the two FORM codes
  EXPECT_EQ(t[4].kind, Tok::Zav);
  EXPECT_EQ(t[5].kind, Tok::Identifier);
  EXPECT_EQ(t[5].text, "myVar");
  EXPECT_EQ(t[6].kind, Tok::EndOfFile);
  EXPECT_EQ(t[6].text, "\x04");
}

TEST_F(Scanner, QuotedTexts) {
  open("'a' 'ab' \"a\" '' \"it's\"");
  std::vector<Token> t = all();
  ASSERT_EQ(t.size(), 6u);
  EXPECT_EQ(t[0].kind, Tok::Character);
  EXPECT_EQ(t[0].text, "a");
  EXPECT_EQ(t[1].kind, Tok::QuotedStr);
  EXPECT_EQ(t[1].text, "ab");
  EXPECT_EQ(t[2].kind, Tok::QuotedStr);  // a double-quoted text is never a Character
  EXPECT_EQ(t[2].text, "a");
  EXPECT_EQ(t[3].kind, Tok::QuotedStr);
  EXPECT_EQ(t[3].text, "");
  EXPECT_EQ(t[4].text, "it's");
}

TEST_F(Scanner, WordsOperatorsAndSymbols) {
  using enum Tok;
  EXPECT_EQ(kinds("x.LOW a_1.b2"), (std::vector<Tok>{Identifier, Identifier, EndOfFile}));
  EXPECT_EQ(kinds("a<>b"), (std::vector<Tok>{Identifier, NotEqual, Identifier, EndOfFile}));
  EXPECT_EQ(kinds("= == < > <= >= ,;[]()-^*/+:"),
            (std::vector<Tok>{Assign, Equal, Less, Greater, LessEq, GreaterEq, Comma, Semicolon, LBracket, RBracket,
                              LParen, RParen, Minus, Caret, Star, Slash, Plus, Colon, EndOfFile}));
  // "<<" is two operators: only "=" and ">" continue one.
  EXPECT_EQ(kinds("a<<b"), (std::vector<Tok>{Identifier, Less, Less, Identifier, EndOfFile}));
  EXPECT_EQ(kinds("a\\b"), (std::vector<Tok>{Identifier, Identifier, EndOfFile}));
}

TEST_F(Scanner, BadTokenIsReportedAndHandedOn) {
  std::string name = write("prog.zav", "a=>b @");
  in.pos.errorFile = true;
  testing::internal::CaptureStdout();
  openSource(in, name);
  std::vector<Token> t = all();
  std::fflush(stdout);
  std::string out = testing::internal::GetCapturedStdout();
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[1].kind, Tok::Bad);
  EXPECT_EQ(t[1].text, "=>");
  EXPECT_EQ(t[2].kind, Tok::Identifier);
  EXPECT_EQ(t[3].kind, Tok::Bad);
  EXPECT_EQ(t[3].text, "@");
  EXPECT_EQ(out,
            "Unexpected token or statement on line 1 col 2\nToken: =>\n"
            "Unexpected token or statement on line 1 col 6\nToken: @\n");
  // The error-file step ran (the .erk file names the source), but the run goes on.
  EXPECT_TRUE(fs::exists(dir / "prog.erk"));
}

TEST_F(Scanner, NumbersAndTheirValues) {
  open("42 1.5E-3 3_1/2 3/2 2i 7.");
  std::vector<Token> t = all();
  ASSERT_EQ(t.size(), 9u);
  EXPECT_EQ(t[0].kind, Tok::IntNumber);
  EXPECT_EQ(t[0].intValue, 42);
  EXPECT_EQ(t[1].kind, Tok::RealNumber);
  EXPECT_EQ(t[1].text, "1.5E-3");
  EXPECT_NEAR(static_cast<double>(t[1].realValue), 0.0015, 1e-18);  // 15/10000 exactly in decimal
  EXPECT_EQ(t[2].kind, Tok::RealNumber);
  EXPECT_EQ(t[2].text, "3_1/2");
  EXPECT_EQ(t[2].realValue, 3.5L);
  EXPECT_EQ(t[3].kind, Tok::IntNumber);
  EXPECT_EQ(t[4].kind, Tok::Slash);
  EXPECT_EQ(t[5].kind, Tok::IntNumber);
  EXPECT_EQ(t[5].intValue, 2);
  EXPECT_EQ(t[6].kind, Tok::ComplexNumber);
  EXPECT_EQ(t[6].complexValue.re, 0.0L);
  EXPECT_EQ(t[6].complexValue.im, 2.0L);
  EXPECT_EQ(t[7].kind, Tok::RealNumber);
  EXPECT_EQ(t[7].realValue, 7.0L);
}

TEST_F(Scanner, MinusFollowsOnlyTheFirstE) {
  // "1E-2E-1": the second E takes no "-", so the number text is 1E-2E, which
  // is not a number.
  std::string name = write("prog.zav", "1E-2E-1");
  std::string out = endedRun([&] {
    openSource(in, name);
    peekKind(in);
  });
  EXPECT_NE(out.find("Bad number format found while scanning \"1E-2E\""), std::string::npos) << out;
}

TEST_F(Scanner, LowerCaseEIsAnOrdinaryNumberCharacter) {
  std::string name = write("prog.zav", "x = 1e-5");
  std::string out = endedRun([&] {
    openSource(in, name);
    all();
  });
  EXPECT_EQ(out, "Bad number format found while scanning \"1e\"\n" + name + "(1,5) Error while parsing line 1 col 5 in " +
                     name + "\n");
  EXPECT_EQ(in.pos.line, 1);
  EXPECT_EQ(in.pos.column, 5);
  EXPECT_TRUE(in.scan.sources.empty());  // a syntax stop closes every source
}

TEST_F(Scanner, PositionsFollowLinesAndColumns) {
  std::string name = open("x = 1\n  yy\t= 22\r\n\n last");
  std::vector<Token> t = all();
  ASSERT_EQ(t.size(), 8u);
  struct {
    int line, col;
  } want[] = {{1, 1}, {1, 3}, {1, 5}, {2, 3}, {2, 6}, {2, 8}, {4, 2}};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(t[i].line, want[i].line) << i;
    EXPECT_EQ(t[i].column, want[i].col) << i;
    EXPECT_EQ(t[i].file, name);
  }
  EXPECT_EQ(t[5].text, "22");  // the carriage return of a CR LF line is not part of it
}

TEST_F(Scanner, CommentsAreSkipped) {
  open("{ a comment\n over lines } x # to the end = ; \ny{}z");
  std::vector<Token> t = all();
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].text, "x");
  EXPECT_EQ(t[0].line, 2);
  EXPECT_EQ(t[0].column, 15);
  EXPECT_EQ(t[1].text, "y");
  EXPECT_EQ(t[2].text, "z");
}

TEST_F(Scanner, UnclosedTextsAndComments) {
  struct Case {
    const char* text;
    const char* message;
    int line, col;
  } cases[] = {
      {"x 'abc\n'", "Unclosed ' at end of a line or file", 1, 3},
      {"x\n  \"abc", "Unclosed \" at the end of a line or file", 2, 3},
      {"x {\n never closed", "Unclosed comment at end of file", 1, 3},
  };
  for (const Case& c : cases) {
    Interp fresh;
    std::string name = write("prog.zav", c.text);
    std::string out = endedRun([&] {
      openSource(fresh, name);
      advance(fresh);
      peekKind(fresh);
    });
    std::string where = name + "(" + std::to_string(c.line) + "," + std::to_string(c.col) + ")";
    EXPECT_EQ(out, std::string(c.message) + "\n" + where + " Error while parsing line " + std::to_string(c.line) +
                       " col " + std::to_string(c.col) + " in " + name + "\n");
  }
}

TEST_F(Scanner, WordsCarryTheirCatalogCodes) {
  open("ABS normal SUMMATION FUNCTION logit WriteLn x");
  std::vector<Token> t = all();
  ASSERT_EQ(t.size(), 8u);
  EXPECT_EQ(t[0].kind, Tok::Identifier);
  EXPECT_EQ(t[0].code(Catalog::Function), 1);
  EXPECT_EQ(t[1].code(Catalog::Pdf), 57);
  EXPECT_EQ(t[1].code(Catalog::Function), 140);
  EXPECT_EQ(t[2].code(Catalog::ExprForm), 24);
  EXPECT_EQ(t[2].code(Catalog::DataForm), 3);
  EXPECT_EQ(t[3].kind, Tok::Function);
  EXPECT_EQ(t[3].code(Catalog::ExprForm), 9);  // the later FUNCTION entry
  EXPECT_EQ(t[4].code(Catalog::Function), 130);
  EXPECT_EQ(t[4].code(Catalog::ParamForm), 12);
  EXPECT_EQ(t[5].code(Catalog::Procedure), 39);
  for (int c = 1; c <= kCatalogCount; ++c) EXPECT_EQ(t[6].code(static_cast<Catalog>(c)), 0);
}

TEST_F(Scanner, MatchReturnsCatalogIndexes) {
  open("sqrt WEIBULL PRODUCT then Println POWEREXP integrate");
  EXPECT_EQ(match(in, Tok::NFunction), 180);
  EXPECT_EQ(match(in, Tok::DistFunction), 83);
  EXPECT_EQ(match(in, Tok::DataForm), 5);
  EXPECT_EQ(match(in, Tok::Then), 0);
  EXPECT_EQ(match(in, Tok::IntrinsicProc), 29);
  EXPECT_EQ(match(in, Tok::ParamForm), 17);
  EXPECT_EQ(match(in, Tok::CmplxFunction), 11);
  EXPECT_EQ(peekKind(in), Tok::EndOfFile);
}

TEST_F(Scanner, SyntaxErrorListsTheExpectedKinds) {
  std::string name = write("prog.zav", "x = foo bar");
  std::string out = endedRun([&] {
    openSource(in, name);
    advance(in);
    advance(in);
    match(in, Tok::Then, KindSet{Tok::End, Tok::Then, Tok::ParamForm});
  });
  std::string want = name + "(1,5) Bad syntax, line 1 column 5 of " + name +
                     "\nThe bad token is: foo\nOne of the following was expected: \n    FORM\n";
  for (const char* f : {"ADD", "DIVIDE", "EXCESS", "EXPADD", "FISHER", "FISHERINV", "INVADD", "INVERT", "INVLOGLIN",
                        "INVMULTIPLY", "LOGISTIC", "LOGIT", "LOGLIN", "MULTIPLY", "NUMBER", "POWER", "POWEREXP"})
    want += std::string("       ") + f + "\n";
  want += "    THEN\n    END\n";
  EXPECT_EQ(out, want);
  EXPECT_EQ(in.pos.column, 5);
  EXPECT_TRUE(in.scan.sources.empty());
}

TEST_F(Scanner, SyntaxErrorAtEndOfFile) {
  std::string name = write("prog.zav", "x");
  std::string out = endedRun([&] {
    openSource(in, name);
    advance(in);
    match(in, Tok::End);
  });
  EXPECT_EQ(out, name + "(1,2) Bad syntax, line 1 column 2 of " + name +
                     "\nUnexpectedly came to end of file\nOne of the following was expected: \n    END\n");
}

TEST_F(Scanner, CatalogMatchFailureIsASyntaxError) {
  std::string name = write("prog.zav", "NOSUCHPDF");
  std::string out = endedRun([&] {
    openSource(in, name);
    match(in, Tok::DistFunction);
  });
  EXPECT_NE(out.find("The bad token is: NOSUCHPDF\nOne of the following was expected: \n    DIST FUNCTION\n"),
            std::string::npos)
      << out;
}

TEST_F(Scanner, SyntaxStopAtTheCurrentToken) {
  std::string name = write("prog.zav", "a\n b");
  std::string out = endedRun([&] {
    openSource(in, name);
    advance(in);
    peekKind(in);
    syntaxStop(in, "Something is wrong");
  });
  EXPECT_EQ(out, "Something is wrong\n" + name + "(2,2) Error while parsing line 2 col 2 in " + name + "\n");

  Interp other;
  std::string out2 = endedRun([&] {
    openSource(other, name);
    advance(other);
    advance(other);
    peekKind(other);
    syntaxStop(other, "No more");
  });
  EXPECT_EQ(out2, "No more\n" + name + "(2,3) Error at end of file in " + name + "\n");
}

TEST_F(Scanner, LookAheadHoldsThreeTokens) {
  open("a b c d");
  EXPECT_EQ(peekToken(in, 3).text, "c");
  EXPECT_EQ(peekToken(in, 1).text, "a");
  EXPECT_EQ(currentToken(in).text, "a");
  advance(in);
  EXPECT_EQ(currentToken(in).text, "a");  // the dropped token stays current until the next peek
  EXPECT_EQ(peekToken(in, 3).text, "d");
  EXPECT_EQ(currentToken(in).text, "b");
  std::string out = endedRun([&] { peekToken(in, 4); });
  EXPECT_NE(out.find("Error (parser): Error: gettoken overflow"), std::string::npos) << out;
}

TEST_F(Scanner, SkipOptionalComma) {
  open("a , b c");
  advance(in);
  skipOptionalComma(in);
  EXPECT_EQ(peekToken(in, 1).text, "b");
  advance(in);
  skipOptionalComma(in);
  EXPECT_EQ(peekToken(in, 1).text, "c");
}

TEST_F(Scanner, IncludedFileIsReadInPlace) {
  std::string main = write("main.zav", "a INCLUDE \"zav_scan_part.zav\" b\nc");
  write("zav_scan_part.zav", "p\nq");
  openSource(in, main);
  EXPECT_EQ(match(in, Tok::Identifier), 0);
  EXPECT_EQ(match(in, Tok::Include), 0);
  match(in, Tok::QuotedStr);
  openSource(in, (dir / currentToken(in).text).string());
  std::vector<Token> t = all();
  // The rest of the INCLUDE line comes first, then the included lines and
  // the included file's own end, just after its last line.
  std::vector<std::string> texts;
  for (const Token& k : t) texts.push_back(k.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"b", "p", "q", "\x04", "c", "\x04"}));
  EXPECT_EQ(t[0].file, main);  // the rest of the line keeps its own position
  EXPECT_EQ(t[0].line, 1);
  EXPECT_EQ(t[0].column, 31);
  EXPECT_EQ(t[1].file, (dir / "zav_scan_part.zav").string());
  EXPECT_EQ(t[2].line, 2);
  EXPECT_EQ(t[3].kind, Tok::EndOfFile);
  EXPECT_EQ(t[3].file, (dir / "zav_scan_part.zav").string());
  EXPECT_EQ(t[3].line, 2);
  EXPECT_EQ(t[3].column, 2);
  EXPECT_EQ(t[4].file, main);
  EXPECT_EQ(t[4].line, 2);
  // Depth: the rest of the INCLUDE line is the program's, the included lines
  // and their end one deeper, the end of everything none.
  std::vector<std::int32_t> depths;
  for (const Token& k : t) depths.push_back(k.depth);
  EXPECT_EQ(depths, (std::vector<std::int32_t>{1, 2, 2, 2, 1, 0}));
}

TEST_F(Scanner, ErrorInsideIncludeNamesTheIncludeFile) {
  std::string main = write("main.zav", "a\nb");
  std::string part = write("part.zav", "\n  1e");
  std::string out = endedRun([&] {
    openSource(in, main);
    advance(in);
    openSource(in, part);
    all();
  });
  EXPECT_EQ(out, "Bad number format found while scanning \"1e\"\n" + part + "(2,3) Error while parsing line 2 col 3 in " +
                     part + "\n");
}

TEST_F(Scanner, IncludeSearchUsesThePathThenZavlibs) {
  const char* name = "zav_scan_search_test.zav";
  ASSERT_FALSE(fs::exists(name));
  write(fs::path("inc1") / name, "fromInclude");
  write(fs::path("inc2") / name, "fromInc2");
  write(fs::path("libs") / name, "fromLibs");
  const std::string libs = (dir / "nothing").string() + ":" + (dir / "libs").string();
  const char* old = std::getenv("ZAVLIBS");
  std::string saved = old ? old : "";
  setenv("ZAVLIBS", libs.c_str(), 1);

  in.drv.includePath = (dir / "inc2").string() + ":" + (dir / "inc1").string();
  openSource(in, name);
  EXPECT_EQ(peekToken(in, 1).text, "fromInc2");
  EXPECT_EQ(in.pos.file, (dir / "inc2" / name).string());
  closeAllSources(in);

  Interp viaLibs;
  openSource(viaLibs, name);
  EXPECT_EQ(peekToken(viaLibs, 1).text, "fromLibs");
  EXPECT_EQ(viaLibs.pos.file, (dir / "libs" / name).string());

  Interp missing;
  setenv("ZAVLIBS", "", 1);
  std::string out = endedRun([&] { openSource(missing, name); });
  EXPECT_NE(out.find("Error (run time): opening for reading FILE zav_scan_search_test.zav : File was not found"),
            std::string::npos)
      << out;

  if (old)
    setenv("ZAVLIBS", saved.c_str(), 1);
  else
    unsetenv("ZAVLIBS");
}

TEST_F(Scanner, IncludeOpenedAfterTheEndIsStillRead) {
  std::string main = write("main.zav", "a");
  std::string part = write("part.zav", "p");
  openSource(in, main);
  advance(in);
  EXPECT_EQ(peekKind(in), Tok::EndOfFile);
  advance(in);
  openSource(in, part);
  EXPECT_EQ(peekToken(in, 1).text, "p");
}

TEST_F(Scanner, InlineProgramIsOneLine) {
  in.drv.args = {"zav", "-e", "x = 'y'"};
  in.drv.inlineIndex = 2;
  in.set.verbose = true;
  testing::internal::CaptureStdout();
  openSource(in, "");
  std::vector<Token> t = all();
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Doing: x = 'y'\n");
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[2].kind, Tok::Character);
  EXPECT_EQ(t[2].file, "");
  EXPECT_EQ(t[2].column, 5);

  // Afterwards the scanner starts afresh on a file.
  in.drv.inlineIndex = 0;
  in.set.verbose = false;
  resetScanner(in);
  std::string name = write("prog.zav", "z");
  openSource(in, name);
  EXPECT_EQ(peekToken(in, 1).text, "z");
}

TEST_F(Scanner, IncludeInsideAnInlineProgramReadsTheFile) {
  std::string part = write("part.zav", "p");
  in.drv.args = {"zav", "-e", "a"};
  in.drv.inlineIndex = 2;
  openSource(in, "");
  advance(in);
  openSource(in, part);
  std::vector<Token> t = all();
  ASSERT_EQ(t.size(), 3u);  // p, the end of part.zav, the end of everything
  EXPECT_EQ(t[0].text, "p");
  EXPECT_EQ(t[1].file, part);
}

TEST_F(Scanner, ParseAndEchoTraces) {
  std::string name = write("prog.zav", "x\n=");
  in.set.debugParse = true;
  in.set.debugEcho = true;
  testing::internal::CaptureStdout();
  openSource(in, name);
  all();
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Reading from " + name + "\nx\nToken IDENTIFIER l:1 c:1 ->x<-\n=\nToken = l:2 c:1 ->=<-\n" +
                "Token END OF FILE l:2 c:2 ->\x04<-\n");
}

TEST_F(Scanner, TemporaryNames) {
  EXPECT_EQ(makeTempName(in), "%T1");
  EXPECT_EQ(makeTempName(in), "%T2");
  in.drv.tempCounter = 65535;
  EXPECT_EQ(makeTempName(in), "%T65536");  // no 16-bit wrap back to a name in use
  in.drv.tempCounter = 99999999;
  EXPECT_EQ(makeTempName(in), "%T10000000");  // cut to 10 characters
}

TEST_F(Scanner, LongTextsAreCutTo255) {
  open("'" + std::string(300, 'q') + "'");
  EXPECT_EQ(peekToken(in, 1).text.size(), 255u);
}

}  // namespace
}  // namespace zav
