#include "driver/help.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>

#include "dists/pdfcatalog.h"
#include "driver/interp.h"
#include "driver/pdfhelp.h"
#include "exec/proctable.h"
#include "funcs/catalog.h"
#include "parse/forms.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

std::string upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

// Exact: equal ignoring case. Partial: the name occurs within (an empty
// name matches everything).
bool matches(std::string_view name, std::string_view topic, bool partial) {
  if (partial) return name.empty() || upper(topic).find(upper(name)) != std::string::npos;
  return !name.empty() && upper(name) == upper(topic);
}

struct Topic {
  std::string_view names[2];
  std::string_view text;
};

constexpr Topic kTopics[] = {
    {{"ZAV"},
     "A program is one or more blocks:\n"
     "  ZAV\n    <statements>\n  END\n"
     "Each block is parsed whole and then run; later blocks see what earlier\n"
     "blocks declared. A file that does not start with ZAV is read as a list of\n"
     "expressions, each evaluated and printed.\n"},
    {{"MODEL"},
     "MODEL\n"
     "  [BEGIN <statements run before each iteration> END]\n"
     "  <likelihood expression>\n"
     "  [BEGIN <statements run after each likelihood> END]\n"
     "RUN\n"
     "  FULL                     the full model\n"
     "  REDUCE p1=p2             p1 takes the value of p2\n"
     "  REDUCE p3=c              p3 is fixed at the constant c\n"
     "  WITH p1, p2              only p1 and p2 are free\n"
     "  WITH p1 (p2, p3) p4      makes the four models p1 p2 p3 p4, p1 p2 p4,\n"
     "                           p1 p3 p4 and p1 p4\n"
     "  [THEN <statements> END]  run after each model\n"
     "END\n"},
    {{"DATA"},
     "DATA\n"
     "  [LINE n]                  observations start on line n of the data file\n"
     "  name FIELD n              variable name is read from field n\n"
     "  KEEPIF <boolean expr>     keeps the observations where it holds\n"
     "  DROPIF <boolean expr>     drops the observations where it holds\n"
     "  name = <expression>       a transformed or created variable\n"
     "END\n"},
    {{"IF"}, "IF <bexpr> THEN <statements>\n[ELSEIF <bexpr> THEN <statements>]\n[ELSE <statements>]\nEND\n"},
    {{"BEGIN"}, "BEGIN <statements> END\n"},
    {{"STATEMENTS"}, ""},
    {{"REPEAT"}, "REPEAT <statements> UNTIL <bexpr>\n"},
    {{"WHILE"}, "WHILE <bexpr> DO <statements> END\n"},
    {{"FOR"},
     "FOR v = e1 TO e2 DO <statements> END\n"
     "FOR v = e1 TO e2 STEP e3 DO <statements> END\n"
     "FOR v = e1 TO e2 STEPS n DO <statements> END     (v REAL, n points)\n"
     "FOR v = [expr1, expr2, ...] DO <statements> END  (v takes each value)\n"},
    {{"PFOR"}, "PFOR: a FOR loop whose iterations may run as separate processes.\n"},
    {{"PBEGIN"}, "PBEGIN <statements> END: each statement may run as a separate process.\n"},
    {{"PMODEL"}, "PMODEL: a MODEL whose runs may each run as a separate process.\n"},
    {{"PROCEDURE"},
     "Calling: name(arg1, arg2, ...)\n"
     "Defining:\n"
     "  PROCEDURE name(a:type [VAR] b:type ...) <statements> END\n"
     "  FUNCTION name(a:type ...) :type <statements, assigning RETURN> END\n"
     "VAR arguments are passed by reference; others by value.\n"},
    {{"ASSIGNMENT"},
     "v = expr\nv:type\nv:type = expr\nv:type[c1 TO c2, c3 TO c4] [= [[...] [...]]]\n"
     "types: CHAR BOOLEAN INTEGER REAL COMPLEX STRING FILE; STATIC before the type\n"},
    {{"FUNCTION"}, "Function expressions: name(arg1, arg2, ...). Special expression forms:\n"},
    {{"INCLUDE"}, "INCLUDE \"file\" reads the statements of file in place.\n"},
    {{"BREAK", "CONTINUE"}, "BREAK leaves a FOR, REPEAT or WHILE loop; CONTINUE goes on with its next pass.\n"},
    {{"CURVE"},
     "CURVE [KEY s] [WITH s] [AXES s] i = from TO to | x(from, to, points)\n"
     "      [BY j = from TO to | y(from, to, points)] e1 e2 [e3] ... END\n"},
    {{"PLOT"}, "PLOT [(s1, s2, ...)] <CURVE statements> END   (open the plot file first with PLOTFILE)\n"},
    {{"PROFILEBEGIN", "PROFILENEXT"},
     "PROFILEBEGIN [(n)] <statements> END times statements: each PROFILENEXT stores the\n"
     "seconds since the last one in PROFILE[PROFILE_INDEX].\n"},
    {{"WITH"}, "CURVE ... WITH s: s is a gnuplot style (lines, points, linespoints, ...).\n"},
    {{"MULTIPLOT"}, "MULTIPLOT (nx, ny) <PLOT statements> END\n"},
    {{"EXIT"}, "EXIT leaves a procedure, function or program block.\n"},
    {{"FUNCTIONS"}, ""},
    {{"SYMBOLS", "SYMBOL"}, ""},
    {{"PROCEDURES"}, ""},
    {{"FORMS"}, ""},
    {{"HAZARD"},
     "PDF NORMAL(t) mu, sigma,\n"
     "  HAZARD\n"
     "    COVAR age PARAM b_age LOW = -10 HIGH = 10 START = 0 END\n"
     "    COVAR sex PARAM b_sex LOW = -10 HIGH = 10 START = 0 END\n"
     "END\n"
     "multiplies the hazard by exp(b_age*age + b_sex*sex).\n"},
    {{"PDFS"}, ""},
    {{"NUMBER", "NUMBERS"},
     "Suffixes (symbol, name, factor):\n"
     "  Y yotta 1E24   Z zetta 1E21   E exa 1E18   P peta 1E15   T tera 1E12\n"
     "  G giga 1E9     M mega 1E6     k kilo 1E3   h hecto 100   da deka 10\n"
     "  d deci 0.1     c,% centi 0.01 m milli 1E-3 u micro 1E-6  n nano 1E-9\n"
     "  p pico 1E-12   f femto 1E-15  a atto 1E-18 z zepto 1E-21 y yocto 1E-24\n"
     "  Ki Mi Gi Ti Pi Ei: powers of 1024\n"
     "Forms: 12  -3.5  1.5E-3  2.5i (imaginary)  16#FF (base 2 to 36)  XIV (Roman)\n"
     "  12:30:15, 1:30pm (times)  12H30'15\" (hours/degrees, minutes, seconds)\n"
     "  3_1/2 (fractions)  1/31/2024, 31-jan-2024, 2024.01.31 (dates as Julian days)\n"
     "Type the micro sign as Alt-230 and the degree sign as Alt-248.\n"},
};

// What each parameter form makes of p and the covariate sum XB.
constexpr std::string_view kFormTexts[] = {
    "",
    "p + XB",
    "p/XB",
    "p*[1 + exp(XB)]",
    "exp(p + XB)",
    "ln[(1 + p + XB)/(1 - p - XB)]/2",
    "[exp(2(p + XB)) - 1]/[exp(2(p + XB)) + 1]",
    "XB + 1/p",
    "1/[p + exp(XB)]",
    "exp(XB)/p",
    "XB/p",
    "1/[1 + exp(p + XB)]",
    "log[exp(p + XB)]/[1 + exp(p + XB)]",
    "p*exp(XB)",
    "p*XB",
    "p",
    "p^XB",
    "p^exp(XB)",
};

std::string_view paramFormText(int f) { return kFormTexts[static_cast<std::size_t>(f)]; }

void printStatementList() {
  std::printf("Help is available for the following statements:\n");
  std::printf("ASSIGNMENT BEGIN BREAK CONTINUE CURVE DATA EXIT\n");
  std::printf("FOR FUNCTION IF INCLUDE MODEL MULTIPLOT PLOT\n");
  std::printf("PROCEDURE PROFILEBEGIN PROFILENEXT REPEAT WHILE\n\n");
}

void printFormList() {
  for (int i = 1; i <= kExprFormCount; ++i) {
    std::printf("%-15s", std::string(exprFormName(i)).c_str());
    if (i % 5 == 0 || i == kExprFormCount) std::printf("\n");
  }
}

// Prints the body of a topic, with the lists some topics carry.
void printTopic(Interp& in, const Topic& t) {
  std::printf("%.*s", static_cast<int>(t.text.size()), t.text.data());
  const std::string_view first = t.names[0];
  if (first == "STATEMENTS") printStatementList();
  else if (first == "FUNCTION") printFormList();
  else if (first == "FUNCTIONS")
    for (int f = 1; f <= kFunctionCount; ++f) std::printf("%s\n", functionHelpLine(static_cast<Fn>(f)).c_str());
  else if (first == "SYMBOLS") dumpTables(in, "");
  else if (first == "PROCEDURES")
    for (int p = 1; p <= kProcCount; ++p) {
      const ProcInfo& info = *procInfo(p);
      std::printf("%-12s %s\n", std::string(info.name).c_str(), std::string(info.help).c_str());
    }
  else if (first == "FORMS")
    for (int f = 1; f <= kParamFormCount; ++f) std::printf("%s\n", std::string(paramFormName(f)).c_str());
  else if (first == "PDFS")
    for (int p = 1; p <= kPdfCount; ++p)
      if (!pdfInfo(p)->hidden) std::printf("%s\n", std::string(pdfInfo(p)->name).c_str());
}

void printGuide() {
  std::printf("\nType zav -h <keyword> to match keywords exactly.\n");
  std::printf("Type zav -H <keyword> to match partial keywords.\n\n");
  std::printf(" zav -h ZAV gives a program outline.\n");
  std::printf(" zav -h PROCEDURES lists procedures.\n");
  std::printf(" zav -h PDFS lists PDF types.\n");
  std::printf(" zav -h FORMS lists parameter forms.\n");
  std::printf(" zav -h HAZARD gives an example of a hazard specifi" "cation.\n");
  std::printf(" zav -h SYMBOLS lists pre-defined variables.\n");
  std::printf(" zav -h NUMBERS lists number formats.\n");
  std::printf(" zav -h FUNCTIONS lists simple functions,\n");
  std::printf("Help is available for the following types of functions/expressions:\n");
  printFormList();
  std::printf("\n");
  printStatementList();
}

}  // namespace

void helpLookup(Interp& in, const std::string& name, bool partial) {
  bool matched = false;
  for (const Topic& t : kTopics) {
    bool hit = false;
    for (std::string_view n : t.names)
      if (!n.empty() && matches(name, n, partial)) hit = true;
    if (!hit) continue;
    printTopic(in, t);
    matched = true;
  }
  for (int p = 1; p <= kPdfCount; ++p)
    if (matches(name, pdfInfo(p)->name, partial)) {
      std::printf("%s\n", pdfHelp(*pdfInfo(p)).c_str());
      matched = true;
    }
  for (int p = 1; p <= kPdfCount; ++p)
    if (matches(name, pdfInfo(p)->name, partial)) {
      std::printf("%s\n", pdfCatalogHelp(*pdfInfo(p)).c_str());
      matched = true;
    }
  for (int f = 1; f <= kParamFormCount; ++f)
    if (matches(name, paramFormName(f), partial)) {
      std::printf("%s transforms parameter p into a new parameter p' as %s\n", std::string(paramFormName(f)).c_str(),
                  std::string(paramFormText(f)).c_str());
      matched = true;
    }
  for (int f = 1; f <= kFunctionCount; ++f)
    if (matches(name, functionInfo(static_cast<Fn>(f)).name, partial)) {
      std::printf("%s\n", functionHelpLine(static_cast<Fn>(f)).c_str());
      matched = true;
    }
  for (int p = 1; p <= kProcCount; ++p)
    if (matches(name, procInfo(p)->name, partial)) {
      std::printf("%s %s\n", std::string(procInfo(p)->name).c_str(), std::string(procInfo(p)->help).c_str());
      matched = true;
    }
  if (partial) {
    dumpTables(in, name);
    matched = true;
  } else if (Symbol* s = lookup(in, name); s && !name.empty()) {
    std::printf("Symbol: ");
    dumpSymbol(in, s);
    matched = true;
  }
  if (!matched) printGuide();
  std::fflush(stdout);
}

}  // namespace zav
