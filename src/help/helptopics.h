// The fixed texts of zav -h: the topic blocks and the blocks of the special
// expression forms, each in the order the lookup tries them.
#pragma once
#include <span>
#include <string_view>

namespace zav {

// A block printed when the name matches one of its names. A text may hold
// "Example:" followed by lines indented two blanks: a program fragment that
// parses as written (the tests check that each one does).
struct HelpTopic {
  std::string_view names[2];
  std::string_view text;
};

std::span<const HelpTopic> helpTopics();
std::span<const HelpTopic> specialFormTopics();

}  // namespace zav
