#include "driver/driver.h"

#include <cstdio>
#include <ctime>
#include <iostream>
#include <new>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "core/predefined.h"
#include "driver/calc.h"
#include "driver/longopts.h"
#include "driver/run.h"
#include "estimate/progress.h"
#include "exec/files.h"
#include "funcs/machine.h"
#include "funcs/numtext.h"
#include "help/help.h"
#include "scan/numlit.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

constexpr const char* kProgramName = "zav";

const char* const kUsageLines[] = {
    "  -v        iteration histories and other messages are written to the screen",
    "  -q        quiet--don't print header",
    "  -p        only parses the zav file",
    "  -i        runs zav interactively",
    "  -I <path> searches path for INCLUDE files",
    "  -b        batch mode--turns off interactive monitoring while solving",
    "  -Sr       read START values from restart files <name><m#>.<r#>",
    "  -Sw       writes START values to restart files <name><m#>.<r#>",
    "  -e <prog> execute command line argument as a program",
    "  -ex <exp> execute command line argument as an expression",
    "  -t        terminate solving MODEL when file <name>.trm exists",
    "  -d<X>     debugging: x execution, e echo, i integration, d data",
    "                       l likelihood, p parser, s symbol table",
    "  zavfile is the name of the program file",
    "  args are optional arguments to the program",
};

[[noreturn]] void endRun(int status) {
  std::fflush(stdout);
  throw RunEnd{status};
}

// One line of number-test mode.
void numberTest(Interp& in, const std::string& text) {
  NumLit n = parseNumber(text);
  std::printf("\"%s\" is ", text.c_str());
  if (!n.valid) {
    std::printf("bad\n");
  } else if (n.type == NumType::Integer) {
    std::printf("integer %d\n", n.i);
  } else if (n.type == NumType::Real) {
    std::printf("real %s\n", realToText(in.set, n.r, 15, 8).c_str());
  } else {
    std::printf("complex %s\n", complexToText(in.set, n.c, 15, 8).c_str());
  }
}

void printBanner(Interp& in) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  DateTime t = now();
  std::printf("%s %d.%d.%d %s (%s) %s %d %s %04d %02d:%02d:%02d %s\n", kProgramName,
              getIntegerByName(in, "VERSION"), getIntegerByName(in, "RELEASE"), getIntegerByName(in, "REVISION"),
              getStringByName(in, "SYSTEM").c_str(), getStringByName(in, "OSVERSION").c_str(), kDays[t.dayOfWeek % 7],
              t.day, kMonths[(t.month + 11) % 12], t.year, t.hour, t.minute, t.second,
              getStringByName(in, "COPYRIGHT").c_str());
}

bool zavFileDefined(Interp& in) { return lookup(in, "ZAVFILE") != nullptr; }

// Asks for the program file until an existing one is named; an empty answer
// (or the end of input) ends the run normally.
void promptForProgram(Interp& in) {
  for (;;) {
    std::printf("%s Program file to run? ", kProgramName);
    std::fflush(stdout);
    std::string name;
    if (!std::getline(std::cin, name)) name.clear();
    if (!name.empty() && name.back() == '\r') name.pop_back();
    if (name.empty()) endRun(kExitOk);
    if (fileExists(name)) {
      setStringByName(in, "ZAVFILE", name, kStatic);
      return;
    }
    std::printf("  File %s does not exist.  Try again.\n", name.c_str());
  }
}

void reopenOutput(Interp& in) {
  setStringByName(in, "OUTFILENAME", getStringByName(in, "OUTFILENAME"), 0);
  openOutputFile(in);
}

// Reads the switches; returns with `pos` at the first argument left for the
// program. Switches that end the process throw RunEnd.
void readSwitches(Interp& in, int& pos) {
  const auto& args = in.drv.args;
  const int count = static_cast<int>(args.size()) - 1;
  auto next = [&](int p) { return p <= count ? args[static_cast<std::size_t>(p)] : std::string(); };
  Settings& s = in.set;
  while (pos <= count) {
    const std::string& a = args[static_cast<std::size_t>(pos)];
    if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      readLongOption(in, a);
      ++pos;
      continue;
    }
    if (a == "-d") {
      const std::string level = next(pos + 1);
      NumLit n = parseNumber(level);
      if (!n.valid || n.type != NumType::Integer) usageReport(in, "Couldn't set debug level: \"" + level + "\".");
      s.debug = n.i;
      if (s.verbose) std::printf("Debug level = %d\n", s.debug);
      pos += 2;
      continue;
    }
    if (a == "-I") {
      in.drv.includePath = next(pos + 1);
      if (s.verbose) std::printf("Include path = %s\n", in.drv.includePath.c_str());
      pos += 2;
      continue;
    }
    if (a == "-h" || a == "-H") {
      if (pos == count) {
        helpLookup(in, "", a == "-H");
      } else {
        for (int p = pos + 1; p <= count; ++p) helpLookup(in, args[static_cast<std::size_t>(p)], args[static_cast<std::size_t>(p - 1)] == "-H");
      }
      endRun(kExitOk);
    }
    if (a == "-vx") {
      std::printf("%s%d_%d_%d\n", kProgramName, getIntegerByName(in, "VERSION"), getIntegerByName(in, "RELEASE"),
                  getIntegerByName(in, "REVISION"));
      endRun(kExitOk);
    }
    if (a == "-pn") {
      for (int p = pos + 1; p <= count; ++p) numberTest(in, args[static_cast<std::size_t>(p)]);
      endRun(kExitOk);
    }
    if (a == "-e" || a == "-ex") {
      const int textPos = pos + 1;
      if (textPos > count) usageReport(in, "Incorrect number of parameters");
      in.drv.inlineIndex = textPos;
      in.pos.line = 0;
      in.pos.column = 0;
      reopenOutput(in);
      runInline(in, textPos, a == "-ex");
      in.drv.inlineIndex = 0;
      if (textPos == count) endRun(kExitOk);
      pos += 2;
      continue;
    }
    ++pos;
    if (a == "-b") s.batchMode = true;
    else if (a == "-q") in.drv.quiet = true;
    else if (a == "-af") in.pos.errorFile = true;
    else if (a == "-S") s.readStartFile = s.writeStartFile = s.termFile = s.verbose = true;
    else if (a == "-Sr") s.readStartFile = !s.readStartFile;
    else if (a == "-Sw") s.writeStartFile = !s.writeStartFile;
    else if (a == "-p") s.parseOnly = true;
    else if (a == "-t") s.termFile = !s.termFile;
    else if (a == "-v") s.verbose = !s.verbose;
    else if (a == "-dp") s.debugParse = !s.debugParse;
    else if (a == "-de") s.debugEcho = !s.debugEcho;
    else if (a == "-ds") s.debugSym = true;
    else if (a == "-dd") s.debugData = true;
    else if (a == "-di") s.debugInt = true;
    else if (a == "-dl") s.debugLik = true;
    else if (a == "-dx") s.debugExec = !s.debugExec;
    else if (a == "-i") setStringByName(in, "ZAVFILE", "", kStatic);
    else if (!zavFileDefined(in)) {
      setStringByName(in, "ZAVFILE", a, kStatic);
      return;
    } else {
      usageReport(in, "Incorrect number of parameters");
    }
  }
}

int runAll(Interp& in) {
  initMachineConstants(in.set);
  initOs(in.os);
  in.drv.tempCounter = 0;
  in.pos.errorFile = false;
  createPredefined(in);

  int pos = 1;
  readSwitches(in, pos);
  if (!in.drv.quiet) printBanner(in);
  in.drv.argCount = static_cast<int>(in.drv.args.size()) - 1 - pos + 1;

  if (!zavFileDefined(in)) promptForProgram(in);
  const std::string program = getStringByName(in, "ZAVFILE");
  setStringByName(in, "ZAVFILEBASE", withoutExtension(program), 0);
  reopenOutput(in);

  if (!program.empty() && !fileExists(program)) usageReport(in, "Couldn't find program file " + program);
  in.pos.line = 0;
  in.pos.column = 0;
  if (program.empty()) return runStandardInput(in);
  runProgramFile(in, program);
  return kExitOk;
}

}  // namespace

void usageReport(Interp& in, const std::string& message) {
  (void)in;
  std::printf("\nError: %s\n\nUsage: %s -v -p -i -I <path> -Sr -Sw -b -t -d<X> zavfile args\n", message.c_str(),
              kProgramName);
  for (const char* line : kUsageLines) std::printf("%s\n", line);
  std::printf("\nUsage: %s -h [name1 name2 . . . .]\n", kProgramName);
  std::printf("  help for PDFs, functions, symbols, parameter transforms \n");
  std::printf("  -h matches words exactly, -H searches within words\n");
  std::printf("\nUsage: %s -pn n1 n2 . . . .\n", kProgramName);
  std::printf("  parses n's and returns values and type\n");
  endRun(kExitUsage);
}

namespace {

// The interpreter's own stack: deep enough for the nesting the parser lets
// through, whatever `ulimit -s` says (the pages are used only when needed).
constexpr std::size_t kInterpreterStack = std::size_t{512} << 20;

struct DriverRun {
  Interp& in;
  int status;
};

void runOnStack(void* p, std::size_t stackBytes) {
  DriverRun& run = *static_cast<DriverRun*>(p);
  Interp& in = run.in;
  in.drv.stackBase = static_cast<const char*>(__builtin_frame_address(0));
  if (stackBytes > 0) in.drv.stackBytes = stackBytes;
  try {
    try {
      run.status = runAll(in);
    } catch (const std::bad_alloc&) {
      // Element blocks report their own failure; this catches the rest.
      ReportError(in, ErrCat::RunTime, "Out of memory allocating working storage");
    }
  } catch (const RunEnd& end) {
    run.status = end.status;
  }
  closeMonitor(in);
  if (!closeStandardFiles(in)) run.status = kExitError;
  // Output that never reached standard output cannot be reported there.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    writeRaw(2, "Disk write error\n");
    run.status = kExitError;
  }
}

}  // namespace

int runDriver(Interp& in, int argc, const char* const* argv) {
  in.drv.args.assign(argv, argv + argc);
  // With both on one terminal, output must clear the progress line first.
  if (isTerminal(1) && isTerminal(2)) hookStdout(in.os, progressBeforeOutput, &in);
  DriverRun run{in, kExitOk};
  runWithStack(kInterpreterStack, runOnStack, &run);
  // Back on the caller's stack, with the cautious default size.
  in.drv.stackBase = static_cast<const char*>(__builtin_frame_address(0));
  in.drv.stackBytes = std::size_t{4} << 20;
  unhookStdout(in.os);
  return run.status;
}

}  // namespace zav
