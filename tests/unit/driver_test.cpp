// The driver run in-process: the banner's shape and the exit statuses.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/interp.h"
#include "support.h"

namespace zav {
namespace {

using test::Outcome;

Outcome run(const std::vector<std::string>& args) { return test::runArgs(args); }

TEST(Driver, BannerNamesVersionSystemDateAndTime) {
  Outcome r = run({"-ex", "1"});
  // The banner is written after the switches, so an inline text that is the
  // last argument ends the run before it: nothing but the value.
  EXPECT_EQ(r.out, "1\n");
  r = run({"-b", "-e", "x = 1", "missing_program.zav"});
  EXPECT_EQ(r.status, kExitUsage);
  const std::string first = r.out.substr(0, r.out.find('\n'));
  const std::regex banner(
      R"(zav 2\.2\.17 \S+ \(\d+\) (Sun|Mon|Tue|Wed|Thu|Fri|Sat) \d{1,2} )"
      R"((Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \d{4} \d\d:\d\d:\d\d .+)");
  EXPECT_TRUE(std::regex_match(first, banner)) << first;
}

TEST(Driver, QuietSuppressesTheBanner) {
  Outcome r = run({"-q", "missing_program.zav"});
  EXPECT_EQ(r.out.rfind("\nError: Couldn't find program file missing_program.zav\n", 0), 0u) << r.out;
}

TEST(Driver, ExitStatuses) {
  EXPECT_EQ(run({"-vx"}).status, kExitOk);
  EXPECT_EQ(run({"-pn", "1"}).status, kExitOk);
  EXPECT_EQ(run({"-q", "-d", "x"}).status, kExitUsage);
  EXPECT_EQ(run({"-ex", "SQRT(-1)"}).status, kExitError);
  EXPECT_EQ(run({"-e", "HALT"}).status, kExitOk);
}

}  // namespace
}  // namespace zav
