// Where the include files that ship with zav (lib/) are found after the
// user's own search: beside the installed executable, or in the source tree
// when zav runs from its build folder.
#pragma once
#include <string>

namespace zav {

// A colon-separated directory list, in search order.
std::string libraryDirs();

}  // namespace zav
