// The DATA statement layer: the summary statistics of data variables, and
// the guards around reading them (the observation index, statistic symbols
// that follow their variable, a DATA statement started from a transform).
// The printed tables and the reader's messages are pinned by the golden
// cases in tests/programs/data.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "data/datastore.h"
#include "support.h"

namespace zav {
namespace {

// ---- summary statistics ----
// Reference values: exact rational arithmetic by hand, and python3 decimal
// (30 digits) for the square roots.

void expectSummary(const DataSummary& s, Real sum, Real sumSq, Real mean, Real var, Real stdev, Real min, Real max) {
  const Real tol = 1e-15L;
  EXPECT_NEAR(s[DataStat::Sum], sum, tol);
  EXPECT_NEAR(s[DataStat::SumSq], sumSq, tol);
  EXPECT_NEAR(s[DataStat::Mean], mean, tol);
  EXPECT_NEAR(s[DataStat::Var], var, tol);
  EXPECT_NEAR(s[DataStat::StDev], stdev, tol);
  EXPECT_EQ(s[DataStat::Min], min);
  EXPECT_EQ(s[DataStat::Max], max);
}

TEST(DataStats, HandComputedSamples) {
  // 2 4 4 4 5 5 7 9: sum 40, sum of squares 232, mean 5,
  // var (232 - 8*25)/7 = 32/7, stdev sqrt(32/7) = 2.13808993529939507747...
  const Real a[] = {2, 4, 4, 4, 5, 5, 7, 9};
  expectSummary(summarize(a, 8), 40, 232, 5, 32.0L / 7, 2.13808993529939507747L, 2, 9);
  // 1.5 -2.25 10 0.125: sum 9.375, squares 107.328125, mean 2.34375,
  // var 28.45182291666..., stdev 5.33402502025127987369...
  const Real b[] = {1.5L, -2.25L, 10, 0.125L};
  expectSummary(summarize(b, 4), 9.375L, 107.328125L, 2.34375L, 28.4518229166666666667L, 5.33402502025127987369L,
                -2.25L, 10);
}

TEST(DataStats, SmallCounts) {
  // One value: VAR and STDEV are 0, MIN = MAX = MEAN.
  const Real one[] = {-3.5L};
  expectSummary(summarize(one, 1), -3.5L, 12.25L, -3.5L, 0, 0, -3.5L, -3.5L);
  // None: every statistic is 0.
  expectSummary(summarize(one, 0), 0, 0, 0, 0, 0, 0, 0);
}

TEST(DataStats, MinAndMaxStartFromTheFirstValue) {
  // All negative: a MAX that started from 0 would be wrong.
  const Real v[] = {-7, -2, -9};
  const DataSummary s = summarize(v, 3);
  EXPECT_EQ(s[DataStat::Min], -9);
  EXPECT_EQ(s[DataStat::Max], -2);
}

TEST(DataStats, EqualValuesGiveZeroNotNaN) {
  // 0.1 is inexact, so SUMSQ - n*MEAN^2 may round below zero.
  std::vector<Real> v(7, 0.1L);
  const DataSummary s = summarize(v.data(), 7);
  EXPECT_GE(s[DataStat::Var], 0);
  EXPECT_FALSE(std::isnan(s[DataStat::StDev]));
  EXPECT_NEAR(s[DataStat::StDev], 0, 1e-9L);
}

TEST(DataStats, StrideReadsOneColumnOfRows) {
  // Rows of (x, y): the x column is 1 3 5, mean 3, var 4, stdev 2.
  const Real rows[] = {1, 100, 3, 200, 5, 300};
  expectSummary(summarize(rows, 3, 2), 9, 35, 3, 4, 2, 1, 5);
  expectSummary(summarize(rows + 1, 3, 2), 600, 140000, 200, 10000, 100, 100, 300);
}

// ---- programs ----

using test::Outcome;

class DataProgram : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("zav_data_test_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string file(const std::string& name, const std::string& text) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path) << text;
    return path;
  }

  // Runs a one-line program with -e; the tables and header are switched off.
  static Outcome run(const std::string& program) {
    const std::string text = "PRINT_COUNTS = FALSE PRINT_DATA_STATS = FALSE PRINT_BASIC = FALSE " + program;
    return test::runLine(text);
  }

  std::filesystem::path dir_;
};

TEST_F(DataProgram, ObservationIndexOutsideTheObservationsIsAnError) {
  const std::string data = file("three.dat", "1\n2\n3\n");
  const std::string load = "DATAFILE(\"" + data + "\") DATA x FIELD 1 END ";
  struct Case {
    std::string program, found, range;
  };
  const Case cases[] = {
      {load + "D_IDX = 0 WRITELN(x)", "0", "3"},
      {load + "D_IDX = 4 WRITELN(x)", "4", "3"},
      {load + "D_IDX = -1 x = 2.0", "-1", "3"},  // a store is checked as well
      // Before its statement ran a data variable holds no observation.
      {"DATAFILE(\"" + data + "\") IF FALSE THEN DATA y FIELD 1 END END D_IDX = 1 WRITELN(y)", "1", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    const Outcome o = run(c.program);
    EXPECT_EQ(o.status, kExitError);
    const std::string variable = c.range == "0" ? "y" : "x";
    EXPECT_NE(o.out.find("Error (run time): D_IDX out of range for DATA variable " + variable + ". Found " + c.found +
                         ".  Valid range is [1 to " + c.range + "]"),
              std::string::npos)
        << o.out;
  }
  // Inside the range every observation reads back.
  const Outcome ok = run(load + "FOR D_IDX = 1 TO N_OBS DO WRITE(TRUNC(x)) END");
  EXPECT_EQ(ok.status, kExitOk);
  EXPECT_EQ(ok.out, "123");
}

TEST_F(DataProgram, StatisticSymbolsFollowEveryReading) {
  // The same statement run twice with different counts; x.SUM and x.MAX
  // read the new block each time (1+2+3 = 6, then 1+...+5 = 15).
  const Outcome o = run(
      "FOR n = [3, 5] DO CREATE_OBS = n DATA x = D_IDX END WRITE(TRUNC(x.SUM), \" \", TRUNC(x.MAX), \" \") END "
      "WRITELN(TRUNC(x.MEAN))");
  EXPECT_EQ(o.status, kExitOk);
  EXPECT_EQ(o.out, "6 3 15 5 3\n");
}

TEST_F(DataProgram, StatisticsHoldInfinityUntilRead) {
  const Outcome o = run("IF FALSE THEN DATA x = 1 END END WRITELN(ISINFINITY(x.SUM), ISINFINITY(x.MAX))");
  EXPECT_EQ(o.status, kExitOk);
  EXPECT_EQ(o.out, "TRUETRUE\n");
}

TEST_F(DataProgram, ADataStatementCannotStartFromATransform) {
  // The inner statement would rebind the variables of the outer one.
  const Outcome o = run(
      "CREATE_OBS = 2 "
      "FUNCTION again(v: REAL): REAL DATA w = 1 END RETURN = v END "
      "DATA x = again(1.0) END");
  EXPECT_EQ(o.status, kExitError);
  EXPECT_NE(o.out.find("Error (data): A DATA statement cannot run while another one is building its observations"),
            std::string::npos)
      << o.out;
}

TEST_F(DataProgram, ClosingTheDataFileInATransformStopsTheReading) {
  const std::string data = file("two.dat", "1\n2\n");
  const Outcome o = run("DATAFILE(\"" + data +
                        "\") FUNCTION shut(v: REAL): REAL CLOSE(FDATA) RETURN = v END DATA x FIELD 1 = shut(x) END");
  EXPECT_EQ(o.status, kExitError);
  EXPECT_NE(o.out.find("Error (data): The data file " + data + " was closed while it was being read"),
            std::string::npos)
      << o.out;
}

TEST_F(DataProgram, TrailingDelimitersLeaveTheNextFieldMissing) {
  // "4, " has no second field: the observation is dropped, not read.
  const std::string data = file("trail.dat", "1, 2\n4, \n");
  const Outcome o = run("PRINT_COUNTS = TRUE DATAFILE(\"" + data + "\") DATA a FIELD 1 b FIELD 2 END");
  EXPECT_EQ(o.status, kExitOk);
  EXPECT_NE(o.out.find("1 Observations kept and 1 observations dropped.\n1 observations dropped for missing values\n"),
            std::string::npos)
      << o.out;
}

TEST_F(DataProgram, LongNumericFieldsAreReadWhole) {
  // "0." + 252 zeros + "5" and 50 nines: 6e-253 less 5e-303, log10 of it
  // -252.2218487 as printed (log10 6 = 0.778151250). Cut at 255 characters it would be
  // 5e-253 (-252.30103).
  const std::string data = file("long.dat", "0." + std::string(252, '0') + "5" + std::string(50, '9') + " 7\n");
  const Outcome o = run("DATAFILE(\"" + data + "\") DATA a FIELD 1 b FIELD 2 END WRITELN(LOG10(a), \" \", TRUNC(b))");
  EXPECT_EQ(o.status, kExitOk);
  EXPECT_NE(o.out.find("-252.2218487 "), std::string::npos) << o.out;
  EXPECT_NE(o.out.find(" 7\n"), std::string::npos) << o.out;
}

TEST_F(DataProgram, CopyDataVarRequiresDataVariables) {
  const Outcome o = run("CREATE_OBS = 2 DATA x = D_IDX END y = 1.0 COPYDATAVAR(x, y)");
  EXPECT_EQ(o.status, kExitError);
  EXPECT_NE(o.out.find("Error (data): y isn't a data variable.  Can't use it as an argument to COPYDATAVAR"),
            std::string::npos)
      << o.out;
}

TEST_F(DataProgram, WhiteSpaceAfterTheLastObservationEndsTheFile) {
  // Blank and blank-only lines (with a carriage return too) at the end are
  // not observations; the texts WRITE uses for infinities and NaN read back.
  const std::string data = file("tail.dat", "1 +oo\n2 -oo\n3 oo\n4 NaN\n\n  \t\r\n \n");
  const Outcome o = run("DATAFILE(\"" + data +
                        "\") PRINT_DATA_STATS = FALSE DATA a FIELD 1 b FIELD 2 END "
                        "WRITELN(N_OBS) FOR D_IDX = 1 TO N_OBS DO WRITELN(ISNAN(b), \" \", b) END");
  EXPECT_EQ(o.status, kExitOk) << o.out;
  EXPECT_NE(o.out.find("4\nFALSE          +oo\nFALSE          -oo\nFALSE          +oo\nTRUE NaN\n"), std::string::npos) << o.out;
}

TEST_F(DataProgram, ABlankLineBetweenObservationsIsAMissingObservation) {
  const std::string data = file("gap.dat", "1\n\n2\n");
  const Outcome o = run("PRINT_COUNTS = TRUE DATAFILE(\"" + data + "\") DATA a FIELD 1 END");
  EXPECT_EQ(o.status, kExitOk);
  EXPECT_NE(o.out.find("3 lines read"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("1 observations dropped for missing values\n"), std::string::npos) << o.out;
}

}  // namespace
}  // namespace zav
