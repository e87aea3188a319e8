// Statements end to end through the driver: the messages of the statement
// parser, of assignment and of the executor, and what runs when.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "support.h"

namespace zav {
namespace {

using test::Outcome;
using test::runArgs;
using test::runLine;  // -e: no banner, no file name in messages

struct ErrorCase {
  const char* program;
  const char* category;
  const char* message;
};

// The error line ends with "Error (<category>): <message>"; the position
// before it is pinned by the golden programs.
void expectError(const ErrorCase& c) {
  SCOPED_TRACE(c.program);
  const Outcome o = runLine(c.program);
  EXPECT_EQ(o.status, kExitError);
  const std::string want = std::string("Error (") + c.category + "): " + c.message + "\n";
  EXPECT_NE(o.out.find(want), std::string::npos) << "output was:\n" << o.out;
}

TEST(StatementParse, Errors) {
  const ErrorCase cases[] = {
      {"x = 3 x = 2.5", "parser", "Can't assign value of type REAL to variable of type INTEGER"},
      {"i:INTEGER = 3.0", "parser", "Can't assign value of type REAL to variable of type INTEGER"},
      {"b = TRUE b = 1", "parser", "Can't assign value of type INTEGER to variable of type BOOLEAN"},
      {"s:STRING = 1", "parser", "Can't assign value of type INTEGER to variable of type STRING"},
      {"c:COMPLEX = TRUE", "parser", "Can't assign value of type BOOLEAN to variable of type COMPLEX"},
      {"PI = 3.0", "parser", "Can't assign to constant PI"},
      {"q[1] = 2", "parser", "Subscripted variable \"q\" doesn't exist"},
      {"FOR t = 0 TO 1 STEPS 2.5 DO END", "parser", "STEPS variable must be integer"},
      {"t = 1 FOR t = 0 TO 1 STEPS 3 DO END", "parser", "FOR variable (t) with STEPS must be type REAL"},
      {"i = 1 FOR i = 0 TO 1.5 DO END", "parser", "Can't assign value of type REAL to variable of type INTEGER"},
      {"i = 1 FOR i = 0 TO 4 STEP 0.5 DO END", "parser", "Can't assign value of type REAL to variable of type INTEGER"},
      {"FOR PI = 1 TO 2 DO END", "parser", "Can't assign to constant PI"},
      {"b = TRUE FOR b = [1, 2] DO END", "parser", "Can't assign value of type INTEGER to variable of type BOOLEAN"},
      {"PROFILEBEGIN(1.5) END", "parser", "Integer expression was expected for PROFILE size"},
      {"PROCEDURE p(f: FILE) END", "parser", "FILE arguments must be VAR parameters"},
      {"FUNCTION f(): INTEGER RETURN = 1.5 END", "parser",
       "Can't assign value of type REAL to variable of type INTEGER"},
      {"PLOT(1) END", "parser", "Expected a string or string function"},
      {"MULTIPLOT(2, 2.0) END", "parser", "Arguments to MULTIPLOT must integer.  Found INTEGER and REAL"},
      {"MULTIPLOT(2.5 1) END", "parser", "Arguments to MULTIPLOT must integer.  Found REAL and INTEGER"},
      {"PLOT CURVE KEY 1 x = 1 TO 2 x x END END", "parser", "A string must follow KEY"},
      {"PLOT CURVE AXES TRUE x = 1 TO 2 x x END END", "parser", "A string must follow AXES"},
      {"PLOT CURVE x = 1 TO 2 x x TRUE END END", "parser", "BOOLEAN not allowed here in CURVE"},
      {"PLOT CURVE x = 1 TO 2 x x \"s\" 1 END END", "parser", "INTEGER not allowed here in CURVE"},
      {"CURVE x = 1 TO 2 x x END", "parser", "Unknown statement beginning CURVE"},
      {"PLOT END CURVE x = 1 TO 2 x x END", "parser", "Unknown statement beginning CURVE"},
      {"IF 1 THEN END", "parser", " Boolean expression was expected "},
      {"WHILE 1 DO END", "parser", " Boolean expression was expected "},
      // -e makes its variables static.
      {"x:INTEGER x:REAL", "sym table", "Declaring x (REAL). Symbol exists already (INTEGER)"},
      {"a:REAL[3 TO 1]", "parser", "Bad array bounds for a: 3 TO 1"},
      {"PROCEDURE p(a: INTEGER, b: INTEGER) END p(1)", "parser",
       "Wrong number of parameters. Called with 1, expected 2"},
      {"WRITELN(1) INC(1, 2)", "parser", "Wrong number of parameters. Called with 2, expected 1"},
      {"PROCEDURE p(VAR a: INTEGER) END p(1 + 2)", "parser", "Arg passed to VAR parameter a is not an identifier"},
  };
  for (const ErrorCase& c : cases) expectError(c);
}

TEST(StatementParse, ArrayShapeErrors) {
  const ErrorCase cases[] = {
      {"a:REAL[1 TO 3] = 0 b:REAL[0 TO 2] = 0 a = b", "parser",
       "Bad subscripts assigning a an array variable/function . dimension 1  a range: 1 to 3. Found: 0 to 2."},
      {"a:REAL[1 TO 2, 1 TO 3] = 0 b:REAL[1 TO 2, 0 TO 2] = 0 a = b", "parser",
       "Bad subscripts assigning a an array variable/function . dimension 2  a range: 1 to 3. Found: 0 to 2."},
      {"a:REAL[0 TO 2] = [1, 2, 3]", "parser",
       "Bad subscripts assigning a an array variable/function . dimension 1  a range: 0 to 2. Found: 1 to 3."},
      {"a:REAL[1 TO 2, 1 TO 2] = [1, 2]", "parser",
       "Wrong number of dimensions assigning a an array variable/function . Expected 2, found 1"},
      {"a:REAL[1 TO 2] = [[1, 2] [3, 4]]", "parser",
       "Wrong number of dimensions assigning a an array variable/function . Expected 1, found 2"},
      {"y:REAL[1 TO 2] = 0 x = 1.5 x = y", "parser", "Cannot assign an array variable/function to scalar x"},
      {"v = [1, 2, 3]", "parser", "Cannot assign an array variable/function to scalar v"},
      // An element takes no array, whatever the shapes.
      {"y:REAL[1 TO 2] = 0 z:REAL[1 TO 2] = 0 z[1] = y", "parser",
       "Cannot assign an array variable/function to scalar z"},
      {"a = [1, [2, 3]]", "parser", "Incorrect number of dimensions in DATAARRAY.  Found 1 expected 0"},
      {"a = [[1, 2], 3]", "parser", "Incorrect number of dimensions in DATAARRAY.  Found 0 expected 1"},
      // A ragged literal has no shape to store into.
      {"a = [[1, 2], [3]]", "parser", "Incorrect number of elements in DATAARRAY.  Found 1 expected 2"},
      {"a:BOOLEAN[1 TO 2] = [TRUE, 1]", "parser",
       "Bad argument type to DATAARRAY. Found:  BOOLEAN INTEGER . Expected:  CHAR BOOLEAN INTEGER REAL COMPLEX "
       "STRING "},
      {"PROCEDURE p(VAR v: REAL[1 TO 3]) END w:REAL[0 TO 2] = 0 p(w)", "parser",
       "Bad subscripts assigning v passed as a VAR parameter to w. dimension 1  v range: 1 to 3. Found: 0 to 2."},
      // A FUNCTION symbol takes no value of any type.
      {"FUNCTION f(): INTEGER RETURN = 1 END f = 2", "parser", "Bad type assigned in statement"},
  };
  for (const ErrorCase& c : cases) expectError(c);
}

TEST(StatementRun, Errors) {
  const ErrorCase cases[] = {
      {"FOR i = 1 TO 10 STEP 0 DO END", "run time", "FOR loop step size is zero"},
      {"FOR x = 1 TO 2 STEP 0.0 DO END", "run time", "FOR loop step size is zero"},
      {"FOR x = 1 TO 2 STEPS 1 DO END", "run time", "FOR loop step size is zero"},
      // A zero step that STEPS computes (an empty range) is the same fault.
      {"FOR x = 1 TO 1 STEPS 3 DO END", "run time", "FOR loop step size is zero"},
      {"c:COMPLEX = 0 FOR c = 1 TO 2 DO END", "run time", "c is wrong type [COMPLEX] for FOR loop variable"},
      {"ch:CHAR = \"xy\"", "run time", "assigning a STRING with length <> 1 to a CHAR"},
      {"s:STRING[1 TO 2] = \"ab\" c:CHAR[1 TO 2] = 'z' c = s", "run time",
       "assigning a STRING with length <> 1 to a CHAR"},
      {"f: FILE g: FILE f = g", "run time", "Can't assign a file type: f"},
      {"f: FILE[1 TO 2] g: FILE[1 TO 2] f = g", "run time", "Can't assign to a file type: f"},
      {"a:INTEGER[1 TO 3] = 0 a[4] = 1", "run time", "Subscript out of range for a. Found 4.  Valid range is [1 to 3]"},
  };
  for (const ErrorCase& c : cases) expectError(c);
}

TEST(StatementParse, UnexpectedTokenAfterNameIsASyntaxError) {
  const Outcome o = runLine("x = 1 x + 1");
  EXPECT_EQ(o.status, kExitError);
  EXPECT_NE(o.out.find("The bad token is: +\nOne of the following was expected: \n    [\n    =\n    :\n"),
            std::string::npos)
      << o.out;
}

TEST(StatementParse, MissingEndListsTheStatementStarts) {
  const Outcome o = runLine("WHILE FALSE DO x = 1");
  EXPECT_EQ(o.status, kExitError);
  EXPECT_NE(o.out.find("Unexpectedly came to end of file\nOne of the following was expected: \n    DATA\n"),
            std::string::npos)
      << o.out;
  EXPECT_NE(o.out.find("    END\n    IDENTIFIER\n"), std::string::npos) << o.out;
}

struct OutputCase {
  const char* program;
  const char* out;
};

TEST(StatementRun, Results) {
  const OutputCase cases[] = {
      // x[i,j,k] is element k of row j of plane i of the literal.
      {"x:INTEGER[1 TO 2, 1 TO 2, 1 TO 2] = [[[1, 2] [3, 4]] [[5, 6] [7, 8]]] "
       "WRITELN(x[2, 1, 2], x[1, 2, 1], x[2, 2, 2], x[1, 1, 1])",
       "6381\n"},
      // Storage order runs the first subscript fastest.
      {"x:INTEGER[1 TO 2, 1 TO 3] = [[1, 2, 3] [4, 5, 6]] FOR v = x DO WRITE(v) END WRITELN", "142536\n"},
      // BREAK leaves the variable at the value of the pass it ended.
      {"FOR i = 1 TO 5 DO IF i = 3 THEN BREAK END END WRITELN(i)", "3\n"},
      {"FOR i = 1 TO 2 DO END WRITELN(i)", "3\n"},
      // A loop that ends at the top of the range leaves the variable there.
      {"n = 0 FOR i = 2147483646 TO 2147483647 DO n = n + 1 END WRITELN(n, \" \", i)", "2 2147483647\n"},
      {"n = 0 FOR i = -2147483647 TO 2147483647 STEP 2147483647 DO n = n + 1 END WRITELN(n)", "3\n"},
      // CONTINUE in WHILE goes back to the condition.
      {"i = 0 WHILE i < 5 DO i = i + 1 IF i > 2 THEN CONTINUE END WRITE(i) END WRITELN", "12\n"},
      // EXIT in a FUNCTION ends its body; RETURN holds what was set.
      {"FUNCTION f(): INTEGER RETURN = 1 EXIT RETURN = 2 END WRITELN(f())", "1\n"},
      // A VAR parameter bound to an element of an array.
      {"PROCEDURE inc2(VAR k: INTEGER) k = k + 2 END a:INTEGER[1 TO 2] = [5, 7] inc2(a[2]) WRITELN(a[1], a[2])",
       "59\n"},
      // Value parameters are evaluated before the callee's activation exists.
      {"FUNCTION d(n: INTEGER): INTEGER IF n = 0 THEN RETURN = 0 ELSE RETURN = n + d(n - 1) END END "
       "WRITELN(d(100))",
       "5050\n"},
      {"s:STRING = 'a' s = s + \"bc\" ch:CHAR = 'z' s = ch WRITELN(s, s)", "zz\n"},
      // The parallel forms run as their plain ones: passes in order, and
      // what a PBEGIN body assigns is there after it.
      {"PFOR i = 1 TO 3 DO WRITE(i) IF i = 2 THEN BREAK END END PBEGIN q = 5 END WRITELN(q)", "125\n"},
  };
  for (const OutputCase& c : cases) {
    SCOPED_TRACE(c.program);
    const Outcome o = runLine(c.program);
    EXPECT_EQ(o.status, kExitOk);
    EXPECT_EQ(o.out, c.out);
  }
}

TEST(StatementRun, WritingToAClosedFileStops) {
  const Outcome o = runLine("f: FILE WRITELN(f, 1)");
  EXPECT_EQ(o.status, kExitError);
  EXPECT_NE(o.out.find("Error (run time): writing to a file  : File is not open\n"), std::string::npos) << o.out;
}

TEST(StatementRun, OutputBeforeAnErrorIsKept) {
  const Outcome o = runLine("WRITELN(\"one\") FOR i = 1 TO 2 STEP 0 DO END WRITELN(\"two\")");
  EXPECT_EQ(o.out.substr(0, 4), "one\n");
  EXPECT_EQ(o.out.find("two"), std::string::npos);
}

TEST(StatementRun, ProcedureNotYetAvailableStops) {
  // A catalog procedure whose layer is missing must stop, not pass silently.
  const Outcome o = runLine("FINISHPLOT(TRUE)");
  EXPECT_EQ(o.status, kExitError);
  EXPECT_NE(o.out.find("Error (run time): "), std::string::npos) << o.out;
}

// A program file run with -p is parsed whole (its parse errors reported) but
// nothing of it runs.
class ProgramFile : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("zav_stmt_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string write(const std::string& name, const std::string& text) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path) << text;
    return path;
  }
  std::filesystem::path dir_;
};

TEST_F(ProgramFile, ParseOnlyRunsNothing) {
  const std::string path = write("p.zav",
                                 "ZAV\n WRITELN(\"block one\")\n FOR i = 1 TO 2 STEP 0 DO END\nEND\n"
                                 "ZAV\n WRITELN(\"block two\")\nEND\n");
  const Outcome o = runArgs({"-q", "-p", path});
  EXPECT_EQ(o.status, kExitOk);
  EXPECT_EQ(o.out, "Reading from " + path + "\n");
}

TEST_F(ProgramFile, ParseOnlyStillReportsParseErrors) {
  const std::string path = write("p.zav", "ZAV\n x = 1\n x = 2.5\nEND\n");
  const Outcome o = runArgs({"-q", "-p", path});
  EXPECT_EQ(o.status, kExitError);
  EXPECT_NE(o.out.find("Error (parser): Can't assign value of type REAL to variable of type INTEGER"),
            std::string::npos)
      << o.out;
}

TEST_F(ProgramFile, ParseTraceMarksTheStartOfEachBlock) {
  const std::string path = write("p.zav", "ZAV BEGIN END END ZAV BREAK END");
  const Outcome o = runArgs({"-q", "-dp", path});
  EXPECT_EQ(o.status, kExitOk);
  const std::string begin = "== Begin BEGIN...END block\n";
  const std::string end = "== End BEGIN...END block\n";
  const std::string start = "End Parsing.  Begin execution\n";
  const auto b = o.out.find(begin);
  const auto e = o.out.find(end);
  const auto s1 = o.out.find(start);
  const auto brk = o.out.find("== BREAK stmt\n");
  const auto s2 = o.out.find(start, s1 + 1);
  ASSERT_NE(b, std::string::npos) << o.out;
  ASSERT_NE(s2, std::string::npos) << o.out;
  EXPECT_LT(b, e);
  EXPECT_LT(e, s1);
  EXPECT_LT(s1, brk);
  EXPECT_LT(brk, s2);
}

TEST_F(ProgramFile, DeclaringTwiceInOneScopeIsAnError) {
  const std::string path = write("p.zav", "ZAV\n x: INTEGER\n x: REAL\nEND\n");
  const Outcome o = runArgs({"-q", path});
  EXPECT_EQ(o.status, kExitError);
  EXPECT_NE(o.out.find("Error (sym table): x already exists and cannot be declared again\n"), std::string::npos)
      << o.out;
}

TEST_F(ProgramFile, IncludeReadsTheFileInPlace) {
  write("inc.zav", "WRITELN(\"included\") y = 2\n");
  const std::string path = write("main.zav", "ZAV\n WRITELN(\"before\")\n INCLUDE \"inc.zav\"\n WRITELN(y * 21)\nEND\n");
  const std::string cwd = std::filesystem::current_path().string();
  std::filesystem::current_path(dir_);
  const Outcome o = runArgs({"-q", "main.zav"});
  std::filesystem::current_path(cwd);
  EXPECT_EQ(o.status, kExitOk);
  EXPECT_EQ(o.out, "before\nincluded\n42\n");
  (void)path;
}

// A BEGIN left open at the end of an included file stops at that file's end,
// not at the main file's END; the .erk file points there too.
TEST_F(ProgramFile, StatementCutOffByTheEndOfAnIncludedFile) {
  const std::string inc = write("cut.inc", "x = 1\nBEGIN\n  y = 2\n");
  const std::string path = write("main.zav", "ZAV\n INCLUDE \"" + inc + "\"\n z = 3\nEND\n");
  const Outcome o = runArgs({"-q", "-af", path});
  EXPECT_EQ(o.status, kExitError);
  EXPECT_EQ(o.out.substr(0, o.out.find("One of")),
            inc + "(3,8) Bad syntax, line 3 column 8 of " + inc + "\nUnexpectedly came to end of file\n");
  std::ifstream erk(dir_ / "cut.erk");
  std::string file, position;
  std::getline(erk, file);
  std::getline(erk, position);
  EXPECT_EQ(file, inc);
  EXPECT_EQ(position, "3 8");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "main.erk"));
}

// The parse trace of each statement form, in the order the statements are
// read; the token and expression trace lines in between are left out.
TEST_F(ProgramFile, ParseTraceOfEveryStatementForm) {
  const std::string inc = write("inc.zav", "z = 3\n");
  const std::string path = write("p.zav",
                                 "ZAV\n"
                                 " x: STATIC INTEGER[1 TO 2] = 0\n"
                                 " x[1] = 2\n"
                                 " y = 1\n"
                                 " PROCEDURE p(VAR a: INTEGER) a = 1 END\n"
                                 " FUNCTION f(): REAL RETURN = 1 END\n"
                                 " p(y)\n"
                                 " WRITELN(y)\n"
                                 " IF TRUE THEN ELSEIF FALSE THEN END\n"
                                 " REPEAT UNTIL TRUE\n"
                                 " WHILE FALSE DO END\n"
                                 " PFOR i = 1 TO 2 DO BREAK END\n"
                                 " FOR j = 1 TO 2 DO CONTINUE END\n"
                                 " PBEGIN EXIT END\n"
                                 " PROFILEBEGIN PROFILENEXT END\n"
                                 " PLOT MULTIPLOT(1, 1) END CURVE k = 1 TO 2 k k END END\n"
                                 " INCLUDE \"" + inc + "\"\n"
                                 "END\n");
  // -p: parsed whole, nothing run (PLOT would need a plot file).
  const Outcome o = runArgs({"-q", "-p", "-dp", path});
  EXPECT_EQ(o.status, kExitOk) << o.out;
  std::string traces;
  std::size_t at = 0;
  while (at < o.out.size()) {
    std::size_t end = o.out.find('\n', at);
    if (end == std::string::npos) end = o.out.size();
    const std::string line = o.out.substr(at, end - at);
    if (line.rfind("==", 0) == 0 || line.rfind(" Parse type for ", 0) == 0 || line.rfind("End Parsing", 0) == 0)
      traces += line + "\n";
    at = end + 1;
  }
  EXPECT_EQ(traces,
            "== def assignment of x\n"
            " Parse type for x\n"
            "== array assignment to x\n"
            "== assignment statement to y\n"
            "== Begin PROCEDURE define stmt\n"
            " Parse type for a\n"
            "== assignment statement to a\n"
            "== End PROCEDURE define stmt\n"
            "== Begin FUNCTION define stmt\n"
            " Parse type for RETURN\n"
            "== assignment statement to RETURN\n"
            "== End FUNCTION define stmt\n"
            "==== Begin user-defined PROCEDURE call to p\n"
            "==== End user-defined PROCEDURE call to p\n"
            "==== Begin Intrinsic PROCEDURE WRITELN Call\n"
            "==== End Intrinsic PROCEDURE WRITELN Call\n"
            // The ELSEIF is an IF of its own inside the first one.
            "== Begin IF THEN stmt\n"
            "== Begin IF THEN stmt\n"
            "== End IF THEN stmt\n"
            "== End IF THEN stmt\n"
            "== Begin REPEAT stmt\n"
            "== End REPEAT stmt\n"
            "== Begin WHILE stmt\n"
            "== End WHILE stmt\n"
            "== Begin [P]FOR stmt\n"
            "== BREAK stmt\n"
            "== End FOR stmt\n"
            "== Begin [P]FOR stmt\n"
            "== CONTINUE stmt\n"
            "== End FOR stmt\n"
            "== Begin BEGIN...END block\n"
            "== EXIT stmt\n"
            "== End BEGIN...END block\n"
            "== Begin PROFILEBEGIN...END block\n"
            "== Begin PROFILENEXT\n"
            "== End PROFILENEXT\n"
            "== End PROFILEBEGIN...END block\n"
            "== Begin PLOT stmt\n"
            "== Begin MULTIPLOT stmt\n"
            "== End MULTIPLOT stmt\n"
            "== Begin CURVE stmt\n"
            "== End CURVE stmt\n"
            "== End PLOT stmt\n"
            "== Begin INCLUDE\n"
            "==== End INCLUDE\n"
            "== assignment statement to z\n"
            "End Parsing.  Begin execution\n");
}

TEST(StatementRun, JumpTraces) {
  const Outcome o = runArgs({"-dx", "-e", "FOR i = 1 TO 1 DO CONTINUE END PROCEDURE p() EXIT END p()"});
  EXPECT_EQ(o.status, kExitOk);
  EXPECT_EQ(o.out,
            "1: statement block\n"
            "1: FOR i = ...\n"
            "1: statement block\n"
            "1: CONTINUE\n"
            "1: Call user procedure p()\n"
            "1: statement block\n"
            "1: EXIT\n");
}

TEST(InlineProgram, ParseTraceBeforeRunning) {
  const Outcome o = runArgs({"-dp", "-e", "WRITELN(\"ran\")"});
  const auto trace = o.out.find("End CL, start execution\n");
  ASSERT_NE(trace, std::string::npos) << o.out;
  EXPECT_NE(o.out.find("\nran\n", trace), std::string::npos) << o.out;
}

TEST(InlineProgram, TrailingTokensAreASyntaxError) {
  const Outcome o = runLine("x = 1 )");
  EXPECT_EQ(o.status, kExitError);
  EXPECT_NE(o.out.find("The bad token is: )"), std::string::npos) << o.out;
}

}  // namespace
}  // namespace zav
