// The monitor's pieces that need no terminal: the menu writer, the poll's
// refusals, and the progress line's text. The menu itself is driven through
// a pseudo-terminal by tests/monitor/monitor_pty.py.
#include "symbols/monitor.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "core/interp.h"
#include "core/predefined.h"
#include "estimate/progress.h"
#include "symbols/symtab.h"

namespace zav {
namespace {

TEST(Monitor, MenuWriterBracketsHotKeys) {
  struct Case {
    const char* text;
    const char* keys;
    bool endLine;
    const char* shown;
  };
  const Case cases[] = {
      {"eXit Resume One_step Pick_sym Change_sym Search_syms Help: ", "CHOPRSX", false,
       "e(X)it (R)esume (O)ne_step (P)ick_sym (C)hange_sym (S)earch_syms (H)elp: "},
      {"  EXit zav", "X", true, "  E(X)it zav\n"},
      {"  Resume solving for One step", "O", true, "  Resume solving for (O)ne step\n"},
      {"no keys", "", false, "no keys"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    writeMenu(c.text, c.keys, c.endLine);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.shown) << c.text;
  }
}

TEST(Monitor, PollNeverSaysYesWithoutTerminalOrWithBatchMode) {
  if (::isatty(STDIN_FILENO)) GTEST_SKIP() << "standard input is a terminal";
  Interp in;
  createPredefined(in);
  EXPECT_FALSE(monitorPoll(in));  // no task running
  {
    MonitorTask task(in);
    for (int i = 0; i < 1000; ++i) EXPECT_FALSE(monitorPoll(in));
    EXPECT_FALSE(in.os.savedConsole);
  }
  in.monitor.oneStep = true;
  EXPECT_TRUE(monitorPoll(in));
  in.set.batchMode = true;  // BATCHMODE wins over a pending one step
  EXPECT_FALSE(monitorPoll(in));
}

TEST(Monitor, TaskEndClearsOneStep) {
  Interp in;
  createPredefined(in);
  {
    MonitorTask task(in);
    in.monitor.oneStep = true;
  }
  EXPECT_FALSE(in.monitor.oneStep);
  EXPECT_EQ(in.monitor.tasks, 0);
}

TEST(Progress, LineNamesRunMethodCountsAndTime) {
  Interp in;
  createPredefined(in);
  setStringByName(in, "METHOD", "SIMPLEX", 0);
  ProgressState& p = in.monitor.progress;
  p.model = 2;
  p.runNumber = 3;
  in.set.iterations = 0;
  in.set.evals = 4;
  in.set.logLikelihood = 0;
  EXPECT_EQ(progressText(in, 2'500'000'000LL, false), "Model 2 Run 3: SIMPLEX iteration 0, 4 evals, 00:00:02");
  in.set.iterations = 7;
  in.set.evals = 120;
  in.set.logLikelihood = 16.5L;  // the objective: minus the log-likelihood
  EXPECT_EQ(progressText(in, 3'725'000'000'000LL, true),
            "Model 2 Run 3: SIMPLEX iteration 7, 120 evals, ll -16.5000, 01:02:05 - press any key for the monitor");
}

TEST(Progress, NarrowTerminalDropsWholeFields) {
  Interp in;
  createPredefined(in);
  setStringByName(in, "METHOD", "SIMPLEX", 0);
  in.monitor.progress.model = 2;
  in.monitor.progress.runNumber = 3;
  in.set.iterations = 7;
  in.set.evals = 120;
  in.set.logLikelihood = 16.5L;
  const struct {
    std::size_t width;
    const char* text;
  } cases[] = {
      {101, "Model 2 Run 3: SIMPLEX iteration 7, 120 evals, ll -16.5000, 01:02:05 - press any key for the monitor"},
      {79, "Model 2 Run 3: iteration 7, ll -16.5000 - press any key for the monitor"},
      {40, "Model 2 Run 3: iteration 7, ll -16.5000"},
      {30, "Model 2 Run 3: iteration 7"},
      {20, "Model 2 Run 3:"},
      {11, "Model 2 Run"},
      {4, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(progressText(in, 3'725'000'000'000LL, true, c.width), c.text) << c.width;
}

}  // namespace
}  // namespace zav
