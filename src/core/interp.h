// The interpreter context: every piece of run state lives here, so a fresh
// Interp is a fresh interpreter.
#pragma once
#include <cstdint>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

#include "core/os.h"
#include "core/runoptions.h"
#include "core/settings.h"
#include "data/datastore.h"
#include "dists/random.h"
#include "estimate/modelstate.h"
#include "exec/plotstate.h"
#include "funcs/mathstate.h"
#include "scan/scanstate.h"
#include "symbols/monitor.h"
#include "symbols/symbol.h"

namespace zav {

struct StmtNode;
class WorkerPool;

// Where the scanner is; the error report names it.
struct SourcePos {
  std::string file;
  std::int32_t fileIndex = -1;  // file's index in the scanner's fileNames, -1 when not known
  std::int32_t line = 0;
  std::int32_t column = 0;
  bool errorFile = false;  // -af: leave a .erk file on a fatal error
};

// What the command line left for the run.
struct DriverState {
  std::vector<std::string> args;  // args[0] is the program name, as argv
  int argCount = 0;               // arguments left for the program after the switches
  int inlineIndex = 0;            // position of the -e/-ex text being run, 0 otherwise
  std::string includePath;        // -I
  bool quiet = false;             // -q
  bool staticCreation = false;    // variables made while an inline program runs are static
  int tempCounter = 0;            // numbers the anonymous "%T" constants
  bool dataTransforming = false;  // data variables read element 1 while a DATA transform runs
  bool dataSummaries = false;     // D_IDX may name a data variable's summary elements (the fit's means)
  // The stack the run has: where it starts and how many bytes it holds, so
  // that runaway recursion of user routines ends with a message.
  const char* stackBase = nullptr;
  std::size_t stackBytes = 0;
};

// How deep the parser is, so that hostile nesting ends with a message
// before the stack runs out.
struct ParseDepth {
  int statements = 0;     // statement levels being parsed
  int expressions = 0;    // expression levels being parsed
  std::int32_t seen = 0;  // the tallest expression tree finished since the mark of the current form
  std::int32_t source = 0;  // the source depth the innermost statement being parsed began in; 0 outside one
};

// The directory search of FINDFIRST / FINDNEXT, released by FINDQUIT.
struct FindSearch {
  std::vector<std::string> names;  // the matches, sorted
  std::size_t next = 0;            // the one FINDNEXT returns
};

// A file the program has open, with what the end of the run needs to close it.
struct OpenFile {
  std::FILE* handle = nullptr;
  std::string name;
  bool writing = false;
};

struct Interp {
  Settings set;
  OsInfo os;
  SourcePos pos;
  DriverState drv;
  RunOptions opts;  // the long options
  MathState math;  // the ln n! cache
  RandomState rng;  // RAND, IRAND, RRAND and the annealing maximiser
  SymbolTable* global = nullptr;
  SymbolTable* current = nullptr;
  ScanState scan;
  // Tables of user routines live as long as the interpreter.
  std::vector<SymbolTable*> tables;
  // Parsed blocks and user routines: a procedure defined in one block is
  // called from later ones, so both live as long as the interpreter.
  std::vector<StmtNode*> programs;
  std::vector<Routine*> routines;
  ParseDepth depth;
  int callDepth = 0;  // user routine calls being run
  // Caps for running hostile programs (the fuzzing harnesses): statements,
  // loop passes and the evaluations of the numerical forms each spend one
  // step, and no element block may exceed the byte limit. Negative: no cap,
  // as in every normal run.
  std::int64_t stepBudget = -1;
  std::int64_t blockLimit = -1;
  int plotDepth = 0;  // PLOT bodies being parsed: CURVE is a statement only inside one
  bool modelRunning = false;  // a MODEL's likelihood is being evaluated
  std::vector<OpenFile> openFiles;  // opened by the program (and the output file), not yet closed
  FindSearch find;
  DataState data;  // DATA statements: their declarations, runs and variables
  ModelState models;  // MODEL statements: models, parameters, runs and the run being solved
  PlotState plot;  // PLOT, MULTIPLOT and CURVE: data file numbering and the bodies being run
  // The threads that sum a likelihood's blocks, started by the first
  // likelihood that can use them; workerThreads is 0 until then.
  int workerThreads = 0;
  std::unique_ptr<WorkerPool> workers;
  MonitorState monitor;  // the interactive monitor and the progress line

  Interp();
  ~Interp();
  Interp(const Interp&) = delete;
  Interp& operator=(const Interp&) = delete;
};

// Spends one step of the budget, if there is one.
[[noreturn]] void budgetSpent(Interp& in);
inline void spendStep(Interp& in) {
  if (in.stepBudget >= 0 && in.stepBudget-- == 0) budgetSpent(in);
}

}  // namespace zav
