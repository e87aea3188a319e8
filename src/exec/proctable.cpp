#include "exec/proctable.h"

#include <array>

namespace zav {
namespace {
constexpr std::array<ProcInfo, kProcCount> kProcs = {{
    {"ARRAYTODATA", -1, "Converts array variable(s) to DATA variables(s)"},
    {"BOOTSTRAP", 2, "Creates bootstrap frequencies x2 from x1"},
    {"CHDIR", 1, "Changes to the specified directory"},
    {"CLOSE", 1, "Closes a file"},
    {"COPYDATAVAR", 2, "Copies data var x1 to x2"},
    {"DATAFILE", 1, "Names and assigns the data file"},
    {"DATATOARRAY", -1, "Converts DATA variable(s) to array(s)"},
    {"DEC", 1, "Subtracts one from an integer variable"},
    {"DRAWDOWN", 2, "Removes x2 observations from frequency array x1"},
    {"DUMPSYMBOL", 1, "Gives information about a symbol-table symbol"},
    {"DUMPTABLE", 0, "Prints out the entire symbol table"},
    {"ERASE", 1, "Erases a file"},
    {"EXEC", 2, "Executes command x1 with arguments x2"},
    {"FILETIME", -1, "Returns yr, mo, dy, hr, min, sec for file x1"},
    {"FINDQUIT", 0, "Frees resources after using findfirst/findnext"},
    {"FINISHPLOT", 1, "Closes plotfile, generates (pauses if true) a plot"},
    {"FLUSH", 1, "Flushes a file buffer"},
    {"GETDATE", -1, "Returns current Year, Month, Day"},
    {"GETTIME", -1, "Returns current Hour, Minute, Second, 100th_Sec"},
    {"HALT", 0, "Halts execution of the program"},
    {"INC", 1, "Adds one to an integer variable"},
    {"MKDIR", 1, "Creates a directory"},
    {"OPENAPPEND", 2, "Opens a text file for appending"},
    {"OPENREAD", 2, "Opens a text file for reading"},
    {"OPENWRITE", 2, "Opens a text file for writing"},
    {"OUTFILE", 1, "Names and assigns an output file"},
    {"PLOTFILE", 1, "Opens plot file (FPLOT) for plotting"},
    {"PRINT", -1, "Prints arg(s) to the output file"},
    {"PRINTLN", -1, "Prints arg(s) to the output file w/newline"},
    {"PTRANSFORM", 3, "Computes x1 and StdErr (x2) from Expr x3 (in MODEL)"},
    {"READ", -1, "Reads from a file"},
    {"READLN", -1, "Reads a line from a file"},
    {"RENAME", 2, "Changes a file's name"},
    {"RMDIR", 1, "Deletes a directory"},
    {"SEED", 1, "Sets a random number seed"},
    {"SLEEP", 1, "Sleeps for the specified milliseconds"},
    {"VSORT", -1, "Sorts one or more arrays"},
    {"WRITE", -1, "Writes arg(s) to standard output or file"},
    {"WRITELN", -1, "Writes arg(s) to standard output or file w/newline"},
    {"WRITEPLOT", -1, "Writes arg(s) to the plot file"},
    {"WRITEPLOTLN", -1, "Writes arg(s) to the plot file w/newline"},
}};
static_assert(static_cast<int>(Proc::WRITEPLOTLN) == kProcCount);
}  // namespace

const ProcInfo* procInfo(int code) {
  return code >= 1 && code <= kProcCount ? &kProcs[static_cast<std::size_t>(code - 1)] : nullptr;
}

const ProcInfo& procInfo(Proc p) { return kProcs[static_cast<std::size_t>(static_cast<int>(p) - 1)]; }

}  // namespace zav
