// The intrinsic procedure table: the statements that act on files, the
// console, the clock and variables by reference. The 1-based row is the
// procedure number a call statement stores.
#pragma once
#include <cstdint>
#include <string_view>

namespace zav {

enum class Proc : int {
  ARRAYTODATA = 1,
  BOOTSTRAP,
  CHDIR,
  CLOSE,
  COPYDATAVAR,
  DATAFILE,
  DATATOARRAY,
  DEC,
  DRAWDOWN,
  DUMPSYMBOL,
  DUMPTABLE,
  ERASE,
  EXEC,
  FILETIME,
  FINDQUIT,
  FINISHPLOT,
  FLUSH,
  GETDATE,
  GETTIME,
  HALT,
  INC,
  MKDIR,
  OPENAPPEND,
  OPENREAD,
  OPENWRITE,
  OUTFILE,
  PLOTFILE,
  PRINT,
  PRINTLN,
  PTRANSFORM,
  READ,
  READLN,
  RENAME,
  RMDIR,
  SEED,
  SLEEP,
  VSORT,
  WRITE,
  WRITELN,
  WRITEPLOT,
  WRITEPLOTLN,
};

constexpr int kProcCount = 41;
constexpr int kAnyArgs = -1;

struct ProcInfo {
  std::string_view name;  // at most 12 characters
  std::int8_t argCount;   // kAnyArgs: any number
  std::string_view help;  // the help line, at most 52 characters
};

// The row of a number; numbers outside 1..41 give nullptr.
const ProcInfo* procInfo(int code);
const ProcInfo& procInfo(Proc p);
inline std::string_view procName(Proc p) { return procInfo(p).name; }

}  // namespace zav
