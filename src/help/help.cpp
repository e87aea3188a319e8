#include "help/help.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/interp.h"
#include "core/runoptions.h"
#include "dists/pdfcatalog.h"
#include "exec/plot.h"
#include "exec/proctable.h"
#include "funcs/catalog.h"
#include "help/helptopics.h"
#include "help/pdfhelp.h"
#include "help/settinghelp.h"
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

// What each parameter form makes of p and the covariate sum XB, and the
// restriction that goes with it (empty when there is none).
struct FormHelp {
  std::string_view formula, restriction;
};
constexpr FormHelp kFormTexts[] = {
    {"", ""},
    {"p + XB", ""},
    {"p/XB", "XB <> 0"},
    {"p*[1 + exp(XB)]", "NEGINFINITY < p' < INFINITY"},
    {"exp(p + XB)", "0 < p' < INFINITY for NEGINFINITY < (p + XB) < INFINITY"},
    {"ln[(1 + p + XB)/(1 - p - XB)]/2", "-1 < p' < 1"},
    {"[exp(2(p + XB)) - 1]/[exp(2(p + XB)) + 1]", "NEGINFINITY < p' < INFINITY"},
    {"XB + 1/p", "p <> 0"},
    {"1/[p + exp(XB)]", "p + exp(XB) <> 0"},
    {"exp(XB)/p", "p <> 0"},
    {"XB/p", "p <> 0"},
    {"1/[1 + exp(p + XB)]", "0 < p' < 1"},
    {"log[exp(p + XB)]/[1 + exp(p + XB)]", "0 < p' < 1"},
    {"p*exp(XB)", "NEGINFINITY < p' < INFINITY"},
    {"p*XB", "NEGINFINITY < p' < INFINITY"},
    {"p", ""},
    {"p^XB", ""},
    {"p^exp(XB)", ""},
};

std::string paramFormText(int f) {
  const FormHelp& h = kFormTexts[static_cast<std::size_t>(f)];
  std::string s(h.formula);
  if (!h.restriction.empty()) {
    s += ", where ";
    s += h.restriction;
  }
  return s;
}

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

// One line per plot style: the CURVE expressions it needs in 2-D and 3-D
// (a range when it uses more columns than it needs).
void printStyleTable() {
  auto counts = [](int dims, int required, int columns) {
    std::string s = std::to_string(dims + required);
    if (columns > required) s += " to " + std::to_string(dims + columns);
    return s;
  };
  std::printf("%-15s %-16s %s\n", "style", "2-D expressions", "3-D expressions");
  for (const PlotStyle& st : plotStyles())
    std::printf("%-15s %-16s %s\n", std::string(st.name).c_str(),
                counts(2, st.extraRequired, st.extraColumns).c_str(),
                st.allows3d ? counts(3, st.extraRequired3d, st.extraColumns3d).c_str() : "2-D only");
}

// Prints the body of a topic, with the lists some topics carry.
void printTopic(Interp& in, const HelpTopic& t) {
  std::printf("%.*s", static_cast<int>(t.text.size()), t.text.data());
  const std::string_view first = t.names[0];
  if (first == "STATEMENTS") printStatementList();
  else if (first == "FUNCTION") printFormList();
  else if (first == "WITH") printStyleTable();
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

void printLongOptions() {
  std::printf("Options beyond the language (before the program file):\n");
  for (const LongOptInfo& o : kLongOptions) {
    std::string left("--");
    left.append(o.name);
    if (!o.value.empty()) left.append("=").append(o.value);
    std::printf("  %-17s %.*s\n", left.c_str(), static_cast<int>(o.help.size()), o.help.data());
  }
}

}  // namespace

void helpLookup(Interp& in, const std::string& name, bool partial) {
  bool matched = false;
  auto hit = [&](const HelpTopic& t) {
    for (std::string_view n : t.names)
      if (!n.empty() && matches(name, n, partial)) return true;
    return false;
  };
  for (const HelpTopic& t : helpTopics())
    if (hit(t)) {
      printTopic(in, t);
      matched = true;
    }
  for (const HelpTopic& t : specialFormTopics())
    if (hit(t)) {
      std::printf("%.*s", static_cast<int>(t.text.size()), t.text.data());
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
                  paramFormText(f).c_str());
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
    std::fputs(settingHelpLines(name).c_str(), stdout);
    matched = true;
  }
  if (!matched) {
    printGuide();
    if (name.empty()) printLongOptions();
  }
  std::fflush(stdout);
}

}  // namespace zav
