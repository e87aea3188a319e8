// The predefined symbols: settings, switches, constants and published
// results that programs read and assign like their own variables.
#pragma once
#include <string>
#include <string_view>

namespace zav {

struct Interp;

// Creates every predefined symbol in the global table, group by group, with
// its default; bound ones share storage with the fields of `in.set`.
// Sets up the system identity first if the driver has not.
void createPredefined(Interp& in);

// The default GNUPLOTINIT for a system name; `ownSystem` is the name of the
// system this program runs on.
std::string gnuplotInitFor(std::string_view system, std::string_view ownSystem);

}  // namespace zav
