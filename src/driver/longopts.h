// Long options: the run-wide options beyond the language's own switches.
#pragma once
#include <string>

namespace zav {

struct Interp;

// Takes one argument that starts with "--"; an option zav does not know,
// or a missing or unwanted value, is a usage report.
void readLongOption(Interp& in, const std::string& arg);

}  // namespace zav
