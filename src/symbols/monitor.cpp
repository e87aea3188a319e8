#include "symbols/monitor.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "estimate/progress.h"
#include "scan/numlit.h"
#include "symbols/symbol.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

// How often the poll looks at the keyboard: often enough that a key press
// answers at once to the eye, rare enough that the system call never shows
// in a likelihood loop.
constexpr std::int64_t kLookInterval = 50'000'000;  // ns
// Even a clock read shows when a step is one evaluation of a tiny
// likelihood, so the poll reads the clock only every `stride` calls: the
// stride doubles while reads come closer than a millisecond and shrinks at
// once in proportion when they come wider apart. Its cap bounds how late a
// key is seen when the steps suddenly become slow.
constexpr std::int64_t kReadFloor = 1'000'000;  // ns
constexpr std::int32_t kMaxStride = 64;

std::int64_t steadyNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool monitorAvailable(const Interp& in) { return in.monitor.console && !in.set.batchMode; }

// Whether the cursor is at the start of a line: a line typed at a prompt
// ends with the echo of its Enter, so "end the line" writes nothing then.
struct Screen {
  bool atLineStart = true;

  void write(std::string_view text) {
    if (text.empty()) return;
    std::fwrite(text.data(), 1, text.size(), stdout);
    atLineStart = text.back() == '\n';
  }
  void endLine() {
    if (!atLineStart) write("\n");
  }
  void menu(std::string_view text, std::string_view hotKeys) {
    writeMenu(text, hotKeys, false);
    atLineStart = false;
  }
  // Writes the prompt and reads the answer; false at end of input.
  bool ask(Interp& in, std::string_view prompt, std::string& answer) {
    const bool got = readConsoleLine(in.os, prompt, answer);
    atLineStart = true;
    return got;
  }
};

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

void pick(Interp& in, Screen& sc) {
  MonitorState& m = in.monitor;
  sc.endLine();
  std::string name;
  sc.ask(in, "Symbol: ", name);
  name = trimmed(name);
  m.picked = name.empty() ? nullptr : lookup(in, name);
  m.pickedName = m.picked ? m.picked->name : std::string();
  m.pickedTable = in.current;
}

// Stores the typed text into element i (from 1) of the symbol by its type.
// Elements are written in place, so a data variable's observation or
// summary element is the one chosen, whatever D_IDX says.
bool storeElement(Interp& in, Symbol& s, int i, const std::string& typed) {
  void* block = elementBlock(s);
  if (!block) return false;
  const std::size_t at = static_cast<std::size_t>(i - 1);
  const std::string text = trimmed(typed);
  switch (s.type) {
    case ValueType::Char:
      if (typed.empty()) return false;
      static_cast<char*>(block)[at] = typed[0];
      return true;
    case ValueType::Pointer: {
      Symbol* target = text.empty() ? nullptr : lookup(in, text);
      if (!target) return false;
      static_cast<Symbol**>(block)[at] = target;
      return true;
    }
    case ValueType::Boolean: {
      const std::string word = upper(text);
      if (word != "TRUE" && word != "FALSE") return false;
      static_cast<bool*>(block)[at] = word == "TRUE";
      return true;
    }
    case ValueType::Integer: {
      const NumLit n = parseNumber(text);
      if (!n.valid || n.type != NumType::Integer) return false;
      static_cast<std::int32_t*>(block)[at] = n.i;
      return true;
    }
    case ValueType::Real: {
      const NumLit n = parseNumber(text);
      if (!n.valid) return false;
      static_cast<Real*>(block)[at] = n.r;
      return true;
    }
    case ValueType::Complex: {
      const NumLit n = parseNumber(text);
      if (!n.valid) return false;
      static_cast<Complex*>(block)[at] = n.c;
      return true;
    }
    case ValueType::String:
      static_cast<std::string*>(block)[at] = typed.substr(0, kMaxText);
      return true;
    default:
      return false;
  }
}

bool change(Interp& in, Screen& sc) {
  MonitorState& m = in.monitor;
  if (!m.picked) pick(in, sc);
  if (!m.picked) return false;
  Symbol& s = *m.picked;
  int index = 1;
  std::string line;
  if (s.count > 1) {
    sc.endLine();
    sc.ask(in, "Index (1 to " + std::to_string(s.count) + "): ", line);
    const NumLit n = parseNumber(trimmed(line));
    if (!n.valid || n.type != NumType::Integer || n.i < 1 || n.i > s.count) return false;
    index = n.i;
  }
  sc.endLine();
  if (!sc.ask(in, "New value: ", line)) return false;
  return storeElement(in, s, index, line);
}

void helpMenu(Interp& in, Screen& sc) {
  sc.endLine();
  sc.write("Menu:\n");
  struct Entry {
    const char* text;
    const char* key;
  };
  static constexpr Entry kEntries[] = {{"  EXit zav", "X"},
                                       {"  Resume solving", "R"},
                                       {"  Resume solving for One step", "O"},
                                       {"  Pick a symbol", "P"}};
  for (const Entry& e : kEntries) {
    sc.menu(e.text, e.key);
    sc.write("\n");
  }
  sc.menu("  Change the value of", "C");
  sc.write(in.monitor.picked ? " " + in.monitor.picked->name + "\n" : std::string(" a symbol\n"));
  sc.menu("  Search for symbols by name", "S");
  sc.write("\n");
}

void search(Interp& in, Screen& sc) {
  sc.endLine();
  std::string text;
  sc.ask(in, "Text to search symbols on: ", text);
  if (!text.empty()) dumpTables(in, text);
}

// SIGINT or SIGTERM during a fit ends the program as the monitor's exit
// does, files flushed and closed, with the status a shell expects of the
// signal.
[[noreturn]] void endInterrupted(Interp& in, int sig) {
  progressErase(in);
  std::fflush(stdout);
  writeRaw(2, "Interrupted\n");
  throw RunEnd{128 + sig};
}

}  // namespace

bool monitorPoll(Interp& in) {
  if (const int sig = pendingInterrupt()) endInterrupted(in, sig);
  MonitorState& m = in.monitor;
  if (in.set.batchMode) {
    // No keys are read, but a MODEL run still shows its progress.
    if (!m.progress.run) return false;
  } else if (m.oneStep) {
    return true;
  } else if (m.tasks == 0) {
    return false;
  }
  if (--m.countdown > 0) return false;
  const std::int64_t t = steadyNow();
  const std::int64_t gap = t - m.lastRead;
  if (gap < kReadFloor) {
    if (m.stride < kMaxStride) m.stride *= 2;
  } else if (m.stride > 1) {
    m.stride = static_cast<std::int32_t>(std::max<std::int64_t>(1, m.stride * kReadFloor / gap));
  }
  m.lastRead = t;
  m.countdown = m.stride;
  if (t < m.nextLook) return false;
  m.nextLook = t + kLookInterval;
  if (m.progress.run) progressTick(in, t, monitorAvailable(in));
  if (!monitorAvailable(in)) return false;
  if (!in.os.savedConsole) consoleKeyMode(in.os, true);
  if (!keyWaiting()) return false;
  while (keyWaiting())
    if (readKey() < 0) break;
  return true;
}

void writeMenu(std::string_view text, std::string_view hotKeys, bool endLine) {
  std::string out;
  for (char c : text) {
    if (hotKeys.find(c) != std::string_view::npos) {
      out += '(';
      out += c;
      out += ')';
    } else {
      out += c;
    }
  }
  if (endLine) out += '\n';
  std::fwrite(out.data(), 1, out.size(), stdout);
}

void runMonitor(Interp& in, std::string_view title) {
  MonitorState& m = in.monitor;
  if (m.picked && (m.pickedTable != in.current || lookup(in, m.pickedName) != m.picked)) m.picked = nullptr;
  progressErase(in);
  // The menu reads single keys, also after a one-step resume during which
  // the program may have read standard input.
  if (m.console && !in.os.savedConsole) consoleKeyMode(in.os, true);
  Screen sc;
  sc.write(std::string(title) + "\n");
  for (;;) {
    m.oneStep = false;
    if (m.picked) {
      sc.endLine();
      dumpSymbol(in, m.picked);
      sc.atLineStart = true;
    }
    sc.menu("eXit Resume One_step Pick_sym Change_sym Search_syms Help: ", "CHOPRSX");
    std::fflush(stdout);
    const int got = readKey();
    if (const int sig = pendingInterrupt()) endInterrupted(in, sig);
    // Nothing more can be typed: solving goes on without the monitor.
    if (got < 0) {
      sc.endLine();
      m.console = false;
      return;
    }
    // A cursor or function key sends several bytes: one press, one answer.
    if (got == 27)
      while (keyWaiting())
        if (readKey() < 0) break;
    char key = static_cast<char>(got);
    if (key >= 'a' && key <= 'z') key = static_cast<char>(key - 'a' + 'A');
    if (got > ' ' && got < 127) sc.write(std::string(1, key));  // control bytes would upset the terminal
    sc.endLine();
    switch (key) {
      case '?':
      case 'H': helpMenu(in, sc); break;
      case 'R': std::fflush(stdout); return;
      case 'O':
        m.oneStep = true;
        std::fflush(stdout);
        return;
      case 'P': pick(in, sc); break;
      case 'C':
        if (!change(in, sc)) {
          sc.endLine();
          sc.write("Assignment failed\n");
        }
        break;
      case 'S': search(in, sc); break;
      case 'X': std::fflush(stdout); throw RunEnd{kExitOk};
      default: sc.write("huh?\n"); break;
    }
  }
}

MonitorTask::MonitorTask(Interp& in) : in_(in) {
  MonitorState& m = in.monitor;
  if (m.tasks++ == 0) {
    m.console = isTerminal(0);
    // Short tasks never touch the terminal: the first look comes a little
    // after the start.
    m.lastRead = steadyNow();
    m.nextLook = m.lastRead + kLookInterval;
    m.stride = m.countdown = 1;
  }
}

MonitorTask::MonitorTask(Interp& in, int model, int run) : MonitorTask(in) {
  ProgressState& p = in.monitor.progress;
  if (p.run) return;  // a MODEL inside a run's THEN block: the outer run keeps the line
  run_ = true;
  p.run = true;
  p.model = model;
  p.runNumber = run;
  p.started = steadyNow();
  p.nextDraw = 0;
  p.terminal = isTerminal(2);
  deferInterrupts(true);
  // A key pressed at any time during a fit counts, and is not echoed.
  if (monitorAvailable(in)) consoleKeyMode(in.os, true);
}

MonitorTask::~MonitorTask() {
  MonitorState& m = in_.monitor;
  if (run_) {
    progressErase(in_);
    m.progress.run = false;
    deferInterrupts(false);
    // A signal that came after the fit's last step (while its tables were
    // written) still ends the program, with everything written so far kept.
    if (const int sig = pendingInterrupt(); sig && std::uncaught_exceptions() == 0) {
      std::fflush(nullptr);
      writeRaw(2, "Interrupted\n");
      std::_Exit(128 + sig);
    }
  }
  if (--m.tasks == 0) {
    m.oneStep = false;
    consoleKeyMode(in_.os, false);
  }
}

void releaseConsole(Interp& in) {
  if (in.os.savedConsole) consoleKeyMode(in.os, false);
}

void closeMonitor(Interp& in) {
  progressErase(in);
  consoleKeyMode(in.os, false);
}

}  // namespace zav
