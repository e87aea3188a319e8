// Fuzzes the whole interpreter: the input is a program file, parsed and run
// by the driver with its loops, calls and numerical forms capped by a step
// budget and its arrays by a byte limit, so no input can hang the fuzzer.
// Programs read and write files, data files, plot files and restart and
// termination files in a private folder; a program that could name a file
// outside it, start a process or read the clock is not run.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "harness.h"

namespace {
zav::fuzz::PrivateFolder* folder = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  zav::fuzz::quietProcess();
  zav::fuzz::absoluteArtifactPrefix(argc, argv);
  static zav::fuzz::PrivateFolder own;
  folder = &own;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (zav::fuzz::mayLeaveFolder(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  folder->enter("program.zav", data, size);
  // -Sw and -t: every MODEL run writes its restart file and looks for its
  // termination file, as a long fit would.
  zav::fuzz::runCapped({"-q", "-b", "-Sw", "-t", "program.zav"});
  folder->leave();
  return 0;
}
