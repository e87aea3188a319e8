// zav -h / -H: reference texts about the language.
#pragma once
#include <string>

namespace zav {

struct Interp;

// Prints every topic, catalog entry and symbol that the name matches
// (partial: the name occurs within; otherwise equal ignoring case), or the
// general guide when nothing matched.
void helpLookup(Interp& in, const std::string& name, bool partial);

}  // namespace zav
