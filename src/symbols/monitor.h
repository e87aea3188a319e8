// The interactive monitor: while a long numerical task runs, a key press at
// the console opens a small menu that shows, searches and changes symbols,
// steps the task once, resumes it or ends the program. The tasks call
// monitorPoll once per step and runMonitor with a title naming where they
// are when it says yes:
//   if (monitorPoll(in)) runMonitor(in, "In direct iteration " + std::to_string(n));
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace zav {

struct Interp;
struct Symbol;
struct SymbolTable;

// The live status line of a MODEL run on a terminal's standard error.
struct ProgressState {
  bool run = false;          // a MODEL run is being solved
  int model = 0, runNumber = 0;
  std::int64_t started = 0;  // steady-clock nanoseconds
  std::int64_t nextDraw = 0;
  std::size_t shown = 0;     // columns of the line on screen, 0 when none
  bool terminal = false;     // standard error is a terminal
};

struct MonitorState {
  bool oneStep = false;
  Symbol* picked = nullptr;
  std::string pickedName;
  SymbolTable* pickedTable = nullptr;
  int tasks = 0;             // monitored tasks running, nested
  bool console = false;      // standard input is a terminal (settled per outermost task)
  std::int64_t nextLook = 0; // steady-clock nanoseconds of the next look at the keyboard
  std::int64_t lastRead = 0; // when the poll last read the clock
  std::int32_t stride = 1;   // polls between clock reads
  std::int32_t countdown = 1;
  ProgressState progress;
};

// Once per step of a task: true when the monitor should be entered. Looks
// at the keyboard (and redraws the progress line) at most every few tens of
// milliseconds, and never when BATCHMODE is on or standard input is not a
// terminal; the keys found are read and discarded.
bool monitorPoll(Interp& in);

// The monitor's menu, after the title line.
void runMonitor(Interp& in, std::string_view title);

// Writes text, putting each character that is in hotKeys between "(" and
// ")", and a line end when asked.
void writeMenu(std::string_view text, std::string_view hotKeys, bool endLine);

// Brackets one monitored task (FINDZERO, FINDMIN, a MODEL run): the console
// is put in single-key mode while one runs and always back in line mode
// when the outermost one ends, however it ends. A MODEL run also gets the
// progress line.
class MonitorTask {
 public:
  explicit MonitorTask(Interp& in);
  MonitorTask(Interp& in, int model, int run);
  ~MonitorTask();
  MonitorTask(const MonitorTask&) = delete;
  MonitorTask& operator=(const MonitorTask&) = delete;

 private:
  Interp& in_;
  bool run_ = false;
};

// Gives the console back to the program (line mode with echo) before it
// reads standard input; the next poll takes single-key mode again.
void releaseConsole(Interp& in);

// Puts the console in line mode and clears the progress line: the end of
// the program, however it ends.
void closeMonitor(Interp& in);

}  // namespace zav
