// Plot output helpers that programs reach only indirectly: the data-file
// stem of a plot file name, the search for the gnuplot program, and the
// errors of FINISHPLOT and CURVE outside their context.
#include "exec/plot.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/error.h"
#include "core/interp.h"
#include "core/predefined.h"

namespace zav {
namespace {

TEST(PlotStem, CutsAtTheLastFullStopOfTheFileName) {
  struct Case {
    const char* name;
    const char* stem;
  } cases[] = {
      {"fig.plt", "fig."},        {"a.b.plt", "a.b."},          {"fig", "fig."},
      {"dir.d/fig", "dir.d/fig."}, {"dir.d/fig.plt", "dir.d/fig."}, {"", "."},
      {"fig.", "fig."},
  };
  for (const Case& c : cases) EXPECT_EQ(plotDataStem(c.name), c.stem) << c.name;
}

// A scratch directory with an executable stand-in for gnuplot.
class GnuplotSearch : public ::testing::Test {
 protected:
  GnuplotSearch() {
    char tmpl[] = "/tmp/zav_plot_XXXXXX";
    dir = ::mkdtemp(tmpl);
    program = dir + "/fakeplot";
    std::ofstream(program) << "#!/bin/sh\nexit 0\n";
    ::chmod(program.c_str(), 0755);
    const char* env = std::getenv("GNUPLOT");
    hadEnv = env != nullptr;
    if (env) savedEnv = env;
    ::unsetenv("GNUPLOT");
  }
  ~GnuplotSearch() override {
    if (hadEnv) ::setenv("GNUPLOT", savedEnv.c_str(), 1);
    else ::unsetenv("GNUPLOT");
    std::remove(program.c_str());
    ::rmdir(dir.c_str());
  }
  std::string dir, program, savedEnv;
  bool hadEnv = false;
};

TEST_F(GnuplotSearch, SettingFirstThenEnvironment) {
  EXPECT_EQ(findGnuplot(program), program);
  EXPECT_EQ(findGnuplot(""), "");
  EXPECT_EQ(findGnuplot(dir + "/no-such-plotter"), "");
  // The environment variable stands in when the setting finds nothing.
  ::setenv("GNUPLOT", program.c_str(), 1);
  EXPECT_EQ(findGnuplot(dir + "/no-such-plotter"), program);
  EXPECT_EQ(findGnuplot(""), program);
  // A bare name is looked up along PATH only, never in the working folder.
  EXPECT_EQ(findGnuplot("sh").empty(), false);
  ::unsetenv("GNUPLOT");
  const std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(::chdir(dir.c_str()), 0);
  EXPECT_EQ(findGnuplot("fakeplot"), "");
  ASSERT_EQ(::chdir(cwd.c_str()), 0);
}

std::string stopMessage(Interp& in, void (*action)(Interp&)) {
  testing::internal::CaptureStdout();
  try {
    action(in);
  } catch (const RunEnd&) {
  }
  return testing::internal::GetCapturedStdout();
}

TEST(PlotErrors, FinishplotAndCurveNeedTheirContext) {
  Interp in;
  createPredefined(in);
  const std::string finish = stopMessage(in, [](Interp& i) { procFinishplot(i, nullptr); });
  EXPECT_NE(finish.find("Error (run time): FINISHPLOT: plotfile is not defined"), std::string::npos) << finish;

  StmtNode curve;
  curve.kind = StmtKind::Curve;
  curve.curve = new CurveRecord;
  static StmtNode* stmt;
  stmt = &curve;
  const std::string outside = stopMessage(in, [](Interp& i) { runCurve(i, *stmt); });
  EXPECT_NE(outside.find("Error (run time): PLOT statement must be executed before CURVE"), std::string::npos)
      << outside;
}

}  // namespace
}  // namespace zav
