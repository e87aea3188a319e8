// The one way a run ends on a fatal error.
#pragma once
#include <string>
#include <string_view>

namespace zav {

struct Interp;

enum class ErrCat { Unknown = 0, Math = 1, RunTime = 2, SymTable = 3, Parser = 4, Data = 5, Funct = 6 };

std::string_view errCatName(ErrCat c);

// Thrown to end the run; only main catches it. Carries the exit status.
struct RunEnd {
  int status;
};

// Exit statuses of the process.
constexpr int kExitOk = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

// Writes "file(line,col) Error (category): message", the " Line n of file"
// line when a source line is known, the .erk file when asked, and ends the run.
[[noreturn]] void ReportError(Interp& in, ErrCat cat, std::string_view message);

// The shared tail of every error report: the .erk file (with -af), then the end.
[[noreturn]] void errorFileStepAndEnd(Interp& in);

// Writes the .erk file for the current source position, if -af asked for it.
void writeErrorFile(const Interp& in);

}  // namespace zav
