// Fuzzes the whole interpreter: the input is a program file, parsed and run
// by the driver with its loops, calls and numerical forms capped by a step
// budget and its arrays by a byte limit, so no input can hang the fuzzer.
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
  zav::fuzz::runCapped({"-q", "-b", program.path()});
  return 0;
}
