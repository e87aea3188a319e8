// Fuzzes the data-file reader: the input is the data file of a fixed DATA
// statement that reads fields from two lines per observation, transforms,
// and keeps or drops observations.
#include <cstddef>
#include <cstdint>
#include <string>

#include "harness.h"

namespace {

std::string programText(const std::string& dataFile) {
  return "ZAV\n"
         "  DATAFILE(\"" + dataFile + "\")\n"
         "  DATA a FIELD 1  b FIELD 3  c FIELD 2 LINE 2 DROPIF c < -1E300\n"
         "       d = a + b KEEPIF d <> 7 END\n"
         "  WRITELN(N_OBS, DROPPED_OBS, a.MEAN, c.MAX)\n"
         "END\n";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  zav::fuzz::quietProcess();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static zav::fuzz::MemoryFile dataFile("data.dat");
  static zav::fuzz::MemoryFile program("program.zav");
  static const bool ready = [] {
    const std::string text = programText(dataFile.path());
    program.set(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return true;
  }();
  (void)ready;
  dataFile.set(data, size);
  zav::fuzz::runCapped({"-q", "-b", program.path()});
  return 0;
}
