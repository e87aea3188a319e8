#include "core/libdirs.h"

#include <unistd.h>

#include <climits>

namespace zav {
namespace {

std::string executableDir() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  const std::string path(buf, static_cast<std::size_t>(n));
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string libraryDirs() {
  std::string dirs;
  const std::string exe = executableDir();
  if (!exe.empty()) dirs = exe + "/lib:" + exe + "/../lib:" + exe + "/../share/zav/lib";
#ifdef ZAV_SOURCE_LIB
  // A build folder outside the source tree still finds the tree's lib/.
  dirs += std::string(dirs.empty() ? "" : ":") + ZAV_SOURCE_LIB;
#endif
  return dirs;
}

}  // namespace zav
