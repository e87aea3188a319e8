// Fuzzes the scanner and the parsers: the input is a program file, parsed
// whole (-p) by the driver; what parsing evaluates (array bounds) runs
// under the harness caps.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  zav::fuzz::quietProcess();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static zav::fuzz::MemoryFile program("program.zav");
  if (zav::fuzz::reachesOutside(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  program.set(data, size);
  zav::fuzz::runCapped({"-q", "-b", "-p", program.path()});
  return 0;
}
