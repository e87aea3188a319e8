// Helpers shared by the unit tests: running code that must end the run,
// capturing what it prints, setting up an interpreter the way the driver
// does, parsing a text as an inline source, and running the whole driver.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "core/os.h"
#include "core/predefined.h"
#include "driver/driver.h"
#include "funcs/machine.h"
#include "parse/exprparse.h"
#include "scan/scanner.h"

namespace zav::test {

// Pass as the expected status when only the ending of the run matters.
inline constexpr int kAnyStatus = std::numeric_limits<int>::min();

// What f printed to standard output.
template <class F>
std::string captured(F&& f) {
  testing::internal::CaptureStdout();
  std::forward<F>(f)();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

// Runs f, which must end the run (throw RunEnd) with the given status;
// returns what it printed.
template <class F>
std::string endedRun(F&& f, int status = kExitError) {
  testing::internal::CaptureStdout();
  bool ended = false;
  int got = 0;
  try {
    std::forward<F>(f)();
  } catch (const RunEnd& e) {
    ended = true;
    got = e.status;
  }
  std::fflush(stdout);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(ended) << "expected the run to end\n" << out;
  if (ended && status != kAnyStatus) {
    EXPECT_EQ(got, status) << out;
  }
  return out;
}

// The exact text f printed when it ended the run, or "" when it returned;
// for comparing a whole report in one assertion.
template <class F>
std::string stopText(F&& f) {
  testing::internal::CaptureStdout();
  bool stopped = false;
  try {
    std::forward<F>(f)();
  } catch (const RunEnd&) {
    stopped = true;
  }
  std::string out = testing::internal::GetCapturedStdout();
  return stopped ? out : std::string();
}

// The whole report of a math error raised before any source line was read.
inline std::string mathError(const std::string& message) { return "(0,0) Error (math): " + message + "\n"; }

// Checks that f ends the run with kExitError and that its report line
// carries the category and the message.
template <class F>
void expectError(F&& f, const std::string& category, const std::string& message) {
  const std::string out = endedRun(std::forward<F>(f));
  EXPECT_NE(out.find(") Error (" + category + "): " + message + "\n"), std::string::npos) << out;
}

// The start-up steps the driver takes before it reads a program.
inline void prepareInterp(Interp& in) {
  initMachineConstants(in.set);
  initOs(in.os);
  createPredefined(in);
  initScanner(in);
}

// Makes text the current source, read as a command-line (-e) program.
inline void openInline(Interp& in, const std::string& text) {
  in.drv.args = {"zav", text};
  in.drv.inlineIndex = 1;
  openSource(in, "");
}

// Closes the inline source so the next text starts fresh.
inline void closeInline(Interp& in) {
  in.drv.inlineIndex = 0;
  resetScanner(in);
}

// Parses text as one expression from an inline source; the caller owns the
// tree. With wholeText, checks that nothing is left after the expression.
inline ExprNode* parseInline(Interp& in, const std::string& text, bool wholeText = true) {
  openInline(in, text);
  ExprNode* n = nullptr;
  try {
    n = parseExpression(in);
  } catch (const RunEnd&) {
    closeInline(in);
    throw;
  }
  if (wholeText) {
    EXPECT_EQ(peekKind(in), Tok::EndOfFile) << "text left over after: " << text;
  }
  closeInline(in);
  return n;
}

// Status and output of one whole run of the driver.
struct Outcome {
  std::string out;
  int status = -1;
};

// Runs the driver in-process on a fresh interpreter; args come after "zav".
inline Outcome runArgs(std::vector<std::string> args) {
  args.insert(args.begin(), "zav");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  Interp in;
  testing::internal::CaptureStdout();
  Outcome o;
  o.status = runDriver(in, static_cast<int>(argv.size()), argv.data());
  o.out = testing::internal::GetCapturedStdout();
  return o;
}

// A one-line program run with -e, as a user would.
inline Outcome runLine(const std::string& text) { return runArgs({"-e", text}); }

}  // namespace zav::test
