// Run-wide options given as long options (--name or --name=value): what the
// language itself has no setting for.
#pragma once
#include <string>
#include <string_view>

namespace zav {

struct RunOptions {
  bool profileCi = false;   // --profile-ci: intervals on the profile likelihood
  std::string resultsFile;  // --results=FILE: every solved run appended as CSV or JSON Lines
};

enum class LongOpt { ProfileCi, Results };

struct LongOptInfo {
  std::string_view name;
  LongOpt code;
  std::string_view value;  // what the value names; empty when the option takes none
  std::string_view help;
};

// The command line reads them from here and `zav -h` lists them.
constexpr LongOptInfo kLongOptions[] = {
    {"profile-ci", LongOpt::ProfileCi, "", "likelihood intervals on the profile (other parameters re-fitted)"},
    {"results", LongOpt::Results, "FILE", "append every solved run to FILE: CSV (.csv) or JSON Lines (.json)"},
};

}  // namespace zav
