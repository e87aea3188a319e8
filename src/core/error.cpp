#include "core/error.h"

#include <array>
#include <cstdio>

#include "core/interp.h"
#include "core/os.h"

namespace zav {
namespace {
constexpr std::array<std::string_view, 7> kCategoryNames = {"Unknown",   "math",   "run time", "sym table",
                                                            "parser",    "data",   "funct"};

}  // namespace

std::string_view errCatName(ErrCat c) {
  auto i = static_cast<std::size_t>(c);
  return i < kCategoryNames.size() ? kCategoryNames[i] : kCategoryNames[0];
}

void writeErrorFile(const Interp& in) {
  if (!in.pos.errorFile || in.pos.file.empty()) return;
  const std::string erk = withoutExtension(in.pos.file) + ".erk";
  std::FILE* f = std::fopen(erk.c_str(), "w");
  if (!f) return;  // an editor aid only: failing to leave it must not mask the error itself
  // The editor reads the first line as the file to open: an absolute name
  // without "." or ".." steps, as the full-path service gives it.
  std::fprintf(f, "%s\n%d %d\n", fullPath(in.pos.file).c_str(), in.pos.line, in.pos.column);
  std::fclose(f);
}

void errorFileStepAndEnd(Interp& in) {
  writeErrorFile(in);
  std::fflush(stdout);
  throw RunEnd{kExitError};
}

void ReportError(Interp& in, ErrCat cat, std::string_view message) {
  std::string msg(message.substr(0, kMaxText));
  std::printf("%s(%d,%d) Error (%.*s): %s\n", in.pos.file.c_str(), in.pos.line, in.pos.column,
              static_cast<int>(errCatName(cat).size()), errCatName(cat).data(), msg.c_str());
  if (in.pos.line > 0) std::printf(" Line %d of %s\n", in.pos.line, in.pos.file.c_str());
  errorFileStepAndEnd(in);
}

}  // namespace zav
