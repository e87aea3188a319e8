// What each predefined setting and constant is for, printed by the help
// after the symbol's dump.
#pragma once
#include <string>
#include <string_view>

namespace zav {

// The text of a predefined symbol (letter case ignored), empty for any other
// name.
std::string_view settingHelp(std::string_view name);

// The same text in lines of at most 78 columns, each indented two blanks and
// ended by a line end; empty for any other name.
std::string settingHelpLines(std::string_view name);

}  // namespace zav
