// The fixed catalogs (functions, procedures, PDFs, forms) and the typing
// rules of intrinsic calls. Expected rows and counts are read off the
// language reference tables, not off the code.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "dists/pdfcatalog.h"
#include "exec/proctable.h"
#include "funcs/catalog.h"
#include "parse/forms.h"
#include "support.h"

namespace zav {
namespace {

using V = ValueType;

constexpr TypeSet bits(std::initializer_list<V> ts) {
  TypeSet s = 0;
  for (V t : ts) s |= typeBit(t);
  return s;
}

TEST(FunctionCatalog, RowsAndLimits) {
  struct Row {
    int code;
    const char* name;
    int args;
    const char* description;
  } rows[] = {
      {1, "ABS", 1, "|x|, the absolute value of x"},
      {17, "ARGCOUNT", 0, "the number of command line arguments"},
      {50, "EARTHDIST", 4, "distance on earth (in km) between lat1 long1 lat2 long2"},
      {53, "EOF", 1, "TRUE when FILE x is at the end of file"},
      {103, "ISEQ", 2, "x1 = x2"},
      {104, "INSERTSTR", 3, "string x1 with x2 inserted at position x3"},
      {105, "ISEVEN", 1, "TRUE if integer x is even"},
      {161, "REMAINDER", 2, "remainder: x1 - x2*int(x1/x2) if x2 <> 0, else 0"},
      {183, "STRINGREPLACE", 5, "x1 with x3 replacing x2; x4=first only; x5=case sensitive"},
      {202, "VMIN", 1, "minimum value in array x"},
      {213, "ZETA", 1, "Riemann's zeta = sum k (1 to oo) of 1/k^x"},
  };
  for (const Row& r : rows) {
    const FunctionInfo& f = functionInfo(r.code);
    EXPECT_EQ(f.name, r.name);
    EXPECT_EQ(f.argCount, r.args) << r.name;
    EXPECT_EQ(f.description, r.description);
  }
  EXPECT_EQ(functionName(Fn::EOF_), "EOF");
  EXPECT_EQ(functionName(Fn::VMIN_), "VMIN");
  EXPECT_EQ(static_cast<int>(Fn::SQRT), 180);
  EXPECT_EQ(static_cast<int>(Fn::NOTF), 143);
  EXPECT_EQ(functionInfo(0).name, "");
  EXPECT_EQ(functionInfo(kFunctionCount + 1).name, "");
  for (int c = 1; c <= kFunctionCount; ++c) {
    const FunctionInfo& f = functionInfo(c);
    EXPECT_FALSE(f.name.empty());
    EXPECT_LE(f.name.size(), 15u);
    EXPECT_LE(f.description.size(), 58u);
    EXPECT_TRUE(f.argCount >= 0 && f.argCount <= 5);
  }
}

TEST(FunctionCatalog, HelpLine) {
  EXPECT_EQ(functionHelpLine(Fn::ABS), "ABS(x) returns |x|, the absolute value of x");
  EXPECT_EQ(functionHelpLine(Fn::RAND), "RAND returns random number from 0 to 1");
  EXPECT_EQ(functionHelpLine(Fn::ISNEAR), "ISNEAR(x1, x2, x3) returns TRUE if x1 is in [x2-x3, x2+x3] else FALSE");
}

// Every row: the help lines are printed as they stand by the help system.
TEST(ProcedureCatalog, Rows) {
  EXPECT_EQ(procInfo(0), nullptr);
  EXPECT_EQ(procInfo(kProcCount + 1), nullptr);
  struct Row {
    int code;
    const char* name;
    int args;
    const char* help;
  } rows[] = {
      {1, "ARRAYTODATA", kAnyArgs, "Converts array variable(s) to DATA variables(s)"},
      {2, "BOOTSTRAP", 2, "Creates bootstrap frequencies x2 from x1"},
      {3, "CHDIR", 1, "Changes to the specified directory"},
      {4, "CLOSE", 1, "Closes a file"},
      {5, "COPYDATAVAR", 2, "Copies data var x1 to x2"},
      {6, "DATAFILE", 1, "Names and assigns the data file"},
      {7, "DATATOARRAY", kAnyArgs, "Converts DATA variable(s) to array(s)"},
      {8, "DEC", 1, "Subtracts one from an integer variable"},
      {9, "DRAWDOWN", 2, "Removes x2 observations from frequency array x1"},
      {10, "DUMPSYMBOL", 1, "Gives information about a symbol-table symbol"},
      {11, "DUMPTABLE", 0, "Prints out the entire symbol table"},
      {12, "ERASE", 1, "Erases a file"},
      {13, "EXEC", 2, "Executes command x1 with arguments x2"},
      {14, "FILETIME", kAnyArgs, "Returns yr, mo, dy, hr, min, sec for file x1"},
      {15, "FINDQUIT", 0, "Frees resources after using findfirst/findnext"},
      {16, "FINISHPLOT", 1, "Closes plotfile, generates (pauses if true) a plot"},
      {17, "FLUSH", 1, "Flushes a file buffer"},
      {18, "GETDATE", kAnyArgs, "Returns current Year, Month, Day"},
      {19, "GETTIME", kAnyArgs, "Returns current Hour, Minute, Second, 100th_Sec"},
      {20, "HALT", 0, "Halts execution of the program"},
      {21, "INC", 1, "Adds one to an integer variable"},
      {22, "MKDIR", 1, "Creates a directory"},
      {23, "OPENAPPEND", 2, "Opens a text file for appending"},
      {24, "OPENREAD", 2, "Opens a text file for reading"},
      {25, "OPENWRITE", 2, "Opens a text file for writing"},
      {26, "OUTFILE", 1, "Names and assigns an output file"},
      {27, "PLOTFILE", 1, "Opens plot file (FPLOT) for plotting"},
      {28, "PRINT", kAnyArgs, "Prints arg(s) to the output file"},
      {29, "PRINTLN", kAnyArgs, "Prints arg(s) to the output file w/newline"},
      {30, "PTRANSFORM", 3, "Computes x1 and StdErr (x2) from Expr x3 (in MODEL)"},
      {31, "READ", kAnyArgs, "Reads from a file"},
      {32, "READLN", kAnyArgs, "Reads a line from a file"},
      {33, "RENAME", 2, "Changes a file's name"},
      {34, "RMDIR", 1, "Deletes a directory"},
      {35, "SEED", 1, "Sets a random number seed"},
      {36, "SLEEP", 1, "Sleeps for the specified milliseconds"},
      {37, "VSORT", kAnyArgs, "Sorts one or more arrays"},
      {38, "WRITE", kAnyArgs, "Writes arg(s) to standard output or file"},
      {39, "WRITELN", kAnyArgs, "Writes arg(s) to standard output or file w/newline"},
      {40, "WRITEPLOT", kAnyArgs, "Writes arg(s) to the plot file"},
      {41, "WRITEPLOTLN", kAnyArgs, "Writes arg(s) to the plot file w/newline"},
  };
  for (const Row& r : rows) {
    const ProcInfo* p = procInfo(r.code);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->name, r.name);
    EXPECT_EQ(p->argCount, r.args) << r.name;
    EXPECT_EQ(p->help, r.help);
  }
  EXPECT_EQ(static_cast<int>(Proc::WRITELN), 39);
  int anyCount = 0;
  for (int c = 1; c <= kProcCount; ++c) {
    EXPECT_LE(procInfo(c)->name.size(), 12u);
    EXPECT_LE(procInfo(c)->help.size(), 52u);
    anyCount += procInfo(c)->argCount == kAnyArgs;
  }
  // ARRAYTODATA DATATOARRAY FILETIME GETDATE GETTIME PRINT PRINTLN READ READLN
  // VSORT WRITE WRITELN WRITEPLOT WRITEPLOTLN
  EXPECT_EQ(anyCount, 14);
}

TEST(PdfCatalog, Rows) {
  EXPECT_EQ(pdfInfo(0), nullptr);
  EXPECT_EQ(pdfInfo(kPdfCount + 1), nullptr);
  const PdfInfo& biv = pdfInfo(Pdf::BIVNORMAL);
  EXPECT_EQ(static_cast<int>(Pdf::BIVNORMAL), 9);
  EXPECT_EQ(biv.varCount, 8);
  EXPECT_EQ(biv.paramCount, 5);
  EXPECT_EQ(biv.paramNames[4], "r");
  EXPECT_EQ(biv.paramRoles[4], static_cast<int>(ParamRole::Correlation));
  EXPECT_EQ(biv.paramRange[4], 3);

  const PdfInfo& w = *pdfInfo(83);
  EXPECT_EQ(w.name, "WEIBULL");
  EXPECT_FALSE(w.discrete);
  EXPECT_EQ(w.paramCount, 2);
  EXPECT_EQ(w.paramNames[0], "a");
  EXPECT_EQ(paramRoleName(w.paramRoles[0]), "Scale");
  EXPECT_EQ(paramRoleName(w.paramRoles[1]), "Shape");
  EXPECT_EQ(w.timeRange, 1);
  EXPECT_TRUE(w.hazard);

  const PdfInfo& atresia = pdfInfo(Pdf::ATRESIA);
  EXPECT_EQ(atresia.varCount, 3);
  EXPECT_TRUE(atresia.hidden);
  EXPECT_EQ(pdfName(Pdf::SILER), "SILER");
  EXPECT_EQ(paramRoleName(pdfInfo(Pdf::SILER).paramRoles[0]), "Age-dependent hazard");
  EXPECT_EQ(pdfInfo(Pdf::ZIPF).timeRange, 4);
  EXPECT_EQ(pdfInfo(Pdf::ZIPF).name, "ZIPF");
  EXPECT_EQ(pdfInfo(Pdf::F).name, "F");

  int hidden = 0, discrete = 0, noHazard = 0;
  for (int c = 1; c <= kPdfCount; ++c) {
    const PdfInfo& p = *pdfInfo(c);
    EXPECT_LE(p.name.size(), 17u);
    EXPECT_LE(p.paramCount, 5);
    for (int i = 0; i < p.paramCount; ++i) EXPECT_FALSE(p.paramNames[static_cast<std::size_t>(i)].empty()) << p.name;
    hidden += p.hidden;
    discrete += p.discrete;
    noHazard += !p.hazard;
  }
  EXPECT_EQ(hidden, 3);     // ATRESIA FDEPLETE FL2PT
  EXPECT_EQ(discrete, 15);  // BERNOULLITRIAL ... ZIPF
  EXPECT_EQ(noHazard, 6);   // BERNOULLITRIAL FAILED FDEPLETE IMMUNE STERILE UNIFORM
}

TEST(PdfCatalog, ConstraintTexts) {
  const PdfInfo& pf = pdfInfo(Pdf::POWERFUNCTION);
  EXPECT_EQ(constraintText(pf.timeRange, "t", pf), "a <= t <= a + b");
  EXPECT_EQ(constraintText(0, "b", pf), "0 < b < +oo");
  EXPECT_EQ(constraintText(23, "a", pf), "-oo < a < +oo");
  const PdfInfo& hg = pdfInfo(Pdf::HYPERGEOMETRIC);
  EXPECT_EQ(constraintText(hg.paramRange[1], "m", hg), "1 <= m <= n");
  const PdfInfo& pe = pdfInfo(Pdf::POLYAEGGENBERGER);
  EXPECT_EQ(constraintText(pe.timeRange, "t", pe), "Unknown constraints on t");
}

TEST(FormTables, Names) {
  EXPECT_EQ(exprFormName(1), "IDENTIFIER");
  EXPECT_EQ(exprFormName(2), "FUNCTION");
  EXPECT_EQ(exprFormName(9), "FUNCTION");
  EXPECT_EQ(exprFormName(22), "QUANTILE");
  EXPECT_EQ(exprFormName(24), "SUMMATION");
  EXPECT_EQ(exprFormName(25), "");
  EXPECT_EQ(paramFormName(1), "ADD");
  EXPECT_EQ(paramFormName(static_cast<int>(ParamForm::INVERT)), "INVERT");
  EXPECT_EQ(paramFormName(12), "LOGIT");
  EXPECT_EQ(paramFormName(17), "POWEREXP");
  EXPECT_EQ(paramFormName(18), "");
  EXPECT_EQ(dataFormName(1), "SUMLL");
  EXPECT_EQ(dataFormName(static_cast<int>(DataForm::PRODUCT)), "PRODUCT");
  EXPECT_EQ(dataFormName(6), "");
}

TEST(Typing, TypeLists) {
  EXPECT_EQ(typeListText(48), " INTEGER REAL ");
  EXPECT_EQ(typeListText(0), " ");
  EXPECT_EQ(typeListText(bits({V::String, V::Char})), " CHAR STRING ");
}

// Result and operand types of calls, from the reference's edge cases and
// the class table.
TEST(Typing, Calls) {
  struct Case {
    Fn f;
    std::vector<V> args;
    bool ok;
    V result, op;
  } cases[] = {
      {Fn::ADD, {V::Char, V::Char}, true, V::String, V::Char},
      {Fn::ADD, {V::Integer, V::Integer}, true, V::Integer, V::Integer},
      {Fn::ADD, {V::Integer, V::Real}, true, V::Real, V::Real},
      {Fn::ADD, {V::String, V::Char}, true, V::String, V::Char},
      {Fn::ADD, {V::Boolean, V::Boolean}, true, V::Boolean, V::Boolean},
      {Fn::ADD, {V::Real, V::Complex}, true, V::Complex, V::Complex},
      {Fn::ADD, {V::Boolean, V::String}, false, V::Undef, V::Undef},
      {Fn::DIVIDE, {V::Integer, V::Integer}, true, V::Real, V::Integer},
      {Fn::IDIV, {V::Integer, V::Integer}, true, V::Integer, V::Integer},
      {Fn::IDIV, {V::Integer, V::Real}, false, V::Undef, V::Undef},
      {Fn::ABS, {V::Complex}, true, V::Real, V::Complex},
      {Fn::ABS, {V::Integer}, true, V::Integer, V::Integer},
      {Fn::SGN, {V::Complex}, true, V::Complex, V::Complex},
      {Fn::SGN, {V::Real}, true, V::Integer, V::Real},
      {Fn::ISEQ, {V::String, V::String}, true, V::Boolean, V::Char},
      {Fn::ISEQ, {V::Boolean, V::Boolean}, true, V::Boolean, V::Boolean},
      {Fn::ISEQ, {V::Integer, V::Real}, true, V::Boolean, V::Real},
      {Fn::ISEQ, {V::Complex, V::Complex}, true, V::Boolean, V::Complex},
      {Fn::ISLT, {V::Complex, V::Complex}, false, V::Undef, V::Undef},
      {Fn::ANDF, {V::Integer, V::Integer}, true, V::Integer, V::Integer},
      {Fn::ANDF, {V::Boolean, V::Boolean}, true, V::Boolean, V::Boolean},
      {Fn::NOTF, {V::Integer}, true, V::Integer, V::Integer},
      {Fn::NEGATE, {V::Complex}, true, V::Complex, V::Complex},
      {Fn::SIN, {V::Integer}, true, V::Real, V::Real},
      {Fn::SIN, {V::Complex}, true, V::Complex, V::Complex},
      // REMAINDER has no complex branch: COMPLEX is refused while reading.
      {Fn::REMAINDER, {V::Integer, V::Complex}, false, V::Undef, V::Undef},
      {Fn::REMAINDER, {V::Real, V::String}, false, V::Undef, V::Undef},
      {Fn::SIGN, {V::Integer, V::Real}, true, V::Integer, V::Real},
      {Fn::SIGN, {V::Real, V::Integer}, true, V::Real, V::Real},
      {Fn::MAX, {V::String, V::String}, true, V::String, V::Char},
      {Fn::MAX, {V::Complex, V::Real}, false, V::Undef, V::Undef},
      {Fn::DELTA, {V::Char, V::Char}, true, V::Integer, V::String},
      {Fn::MIX, {V::Real, V::Integer, V::Complex}, true, V::Complex, V::Complex},
      {Fn::MIX, {V::Complex, V::Real, V::Real}, false, V::Undef, V::Undef},
      {Fn::FDIST, {V::Integer, V::Integer, V::Integer}, true, V::Real, V::Integer},
      {Fn::ISNEAR, {V::Real, V::Integer, V::Real}, true, V::Boolean, V::Real},
      {Fn::COMB, {V::Integer, V::Integer}, true, V::Real, V::Integer},
      {Fn::COMB, {V::Integer, V::Real}, false, V::Undef, V::Undef},
      {Fn::ROUND, {V::Integer}, true, V::Integer, V::Real},  // an INTEGER converts, as in assignment
      {Fn::ROUND, {V::String}, false, V::Undef, V::Undef},
      {Fn::TRUNC, {V::Complex}, true, V::Integer, V::Complex},
      {Fn::VMAX, {V::Char}, true, V::Char, V::Char},
      {Fn::PUT, {V::File}, true, V::File, V::File},
      {Fn::EOF_, {V::File}, true, V::Boolean, V::File},
      {Fn::CONCAT, {V::Char, V::String}, true, V::String, V::Char},
      {Fn::SUBSTRING, {V::String, V::Integer, V::Integer}, true, V::String, V::String},
      {Fn::SUBSTRING, {V::Char, V::Integer, V::Integer}, true, V::String, V::String},  // a CHAR is a 1-char STRING
      {Fn::SUBSTRING, {V::Boolean, V::Integer, V::Integer}, false, V::Undef, V::Undef},
      {Fn::ORD, {V::Char}, true, V::Integer, V::String},
      {Fn::CHR, {V::Integer}, true, V::Char, V::Integer},
      {Fn::PADINT, {V::Integer, V::Integer, V::Char}, true, V::String, V::Integer},
      {Fn::TODAY, {}, true, V::Integer, V::Integer},
      {Fn::GETDIR, {}, true, V::String, V::String},
      {Fn::FREEPARAM, {V::Real}, true, V::Boolean, V::Real},
      {Fn::LUNARPHASE, {V::Integer}, true, V::Real, V::Integer},
  };
  for (const Case& c : cases) {
    CallTyping t = typeFunctionCall(c.f, c.args);
    SCOPED_TRACE(std::string(functionName(c.f)));
    EXPECT_EQ(t.ok, c.ok);
    if (c.ok) {
      EXPECT_EQ(t.result, c.result);
      EXPECT_EQ(t.op, c.op);
    }
  }
}

TEST(Typing, FailureSets) {
  CallTyping t = typeFunctionCall(Fn::ISLT, std::vector<V>{V::Boolean, V::Integer});
  EXPECT_FALSE(t.ok);
  EXPECT_EQ(t.found, bits({V::Boolean, V::Integer}));
  EXPECT_EQ(t.expected, 184u);
  t = typeFunctionCall(Fn::NOTF, std::vector<V>{V::Real});
  EXPECT_EQ(t.expected, bits({V::Boolean}));
  t = typeFunctionCall(Fn::NEGATE, std::vector<V>{V::String});
  EXPECT_EQ(t.expected, 112u);
  // A positional class names the first offending argument.
  t = typeFunctionCall(Fn::INSERTSTR, std::vector<V>{V::String, V::Real, V::Real});
  EXPECT_EQ(t.found, bits({V::Real}));
  EXPECT_EQ(t.expected, bits({V::Char, V::String}));
}

TEST(Typing, PairRuleOrder) {
  // Unify as the IF form uses it: INTEGER and REAL branches give REAL.
  CallTyping t = pairRule(V::Integer, V::Real, 248);
  EXPECT_TRUE(t.ok);
  EXPECT_EQ(t.result, V::Real);
  // INTEGER and STRING branches are an error, and so is a number beside a
  // BOOLEAN, though COMPLEX is allowed and one operand is a number.
  EXPECT_FALSE(pairRule(V::Integer, V::String, 248).ok);
  EXPECT_FALSE(pairRule(V::Real, V::Boolean, 248).ok);
  EXPECT_FALSE(pairRule(V::Complex, V::String, 248).ok);
  // CHAR allowed and two CHARs: the CHAR rule comes before the STRING one.
  t = pairRule(V::Char, V::Char, bits({V::Char, V::String}));
  EXPECT_EQ(t.op, V::String);
  EXPECT_EQ(t.result, V::String);
}

// Every function can be called with some combination of argument types.
TEST(Typing, EveryFunctionHasAValidCall) {
  const V pool[] = {V::Char, V::Boolean, V::Integer, V::Real, V::Complex, V::String, V::File};
  for (int code = 1; code <= kFunctionCount; ++code) {
    const int n = functionInfo(code).argCount;
    std::vector<V> args(static_cast<std::size_t>(n));
    int combos = 1;
    for (int i = 0; i < n; ++i) combos *= 7;
    bool found = false;
    for (int k = 0; k < combos && !found; ++k) {
      int r = k;
      for (int i = 0; i < n; ++i, r /= 7) args[static_cast<std::size_t>(i)] = pool[r % 7];
      CallTyping t = typeFunctionCall(static_cast<Fn>(code), args);
      found = t.ok && t.result != V::Undef;
    }
    EXPECT_TRUE(found) << functionInfo(code).name;
  }
}

TEST(Typing, BadArgumentTypeReport) {
  Interp in;
  EXPECT_EQ(test::endedRun([&] { badFunctionArgType(in, Fn::ISLT, bits({V::Boolean, V::Integer}), 184); }),
            "ISLT(x1, x2) returns x1 < x2\n"
            "(0,0) Error (parser): Bad argument type to function ISLT. Found:  BOOLEAN INTEGER . Expected:  BOOLEAN "
            "INTEGER REAL STRING \n");

  testing::internal::CaptureStdout();
  try {
    badArgTypeTo(in, "IF", bits({V::Integer, V::String}), 248);
  } catch (const RunEnd&) {
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "(0,0) Error (parser): Bad argument type to IF. Found:  INTEGER STRING . Expected:  BOOLEAN INTEGER REAL "
            "COMPLEX STRING \n");
}

}  // namespace
}  // namespace zav
