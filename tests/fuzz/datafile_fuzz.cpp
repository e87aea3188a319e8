// Fuzzes the data-file reader: the input is the data file of a fixed DATA
// statement that reads fields from two lines per observation, transforms,
// and keeps or drops observations. Inputs that are plain two-column numbers
// are also read by a second, simple DATA statement whose observation count
// and column sums must equal those of an independent reading of the bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

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

std::string oracleProgramText(const std::string& dataFile, const std::string& result) {
  return "ZAV\n"
         "  DATAFILE(\"" + dataFile + "\")\n"
         "  DATA a FIELD 1  b FIELD 2 END\n"
         "  OUTFILE(\"" + result + "\")\n"
         "  REALWIDTH = 40\n"
         "  PRINTLN(N_OBS, \" \", a.SUM, \" \", b.SUM)\n"
         "END\n";
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A number every reading agrees on: an optional minus, 1 to 9 digits, and
// optionally a point followed by 1 to 9 digits.
bool plainNumber(std::string_view t) {
  std::size_t i = t.size() > 0 && t[0] == '-' ? 1 : 0;
  std::size_t digits = 0;
  while (i < t.size() && isDigit(t[i])) ++i, ++digits;
  if (digits == 0 || digits > 9) return false;
  if (i == t.size()) return true;
  if (t[i] != '.') return false;
  ++i;
  digits = 0;
  while (i < t.size() && isDigit(t[i])) ++i, ++digits;
  return digits >= 1 && digits <= 9 && i == t.size();
}

struct Reading {
  long count = 0;
  long double sum[2] = {0, 0};
};

// The independent reading: lines end at LF, CR LF or a lone CR; each line
// holds exactly two plain numbers between blanks. False when the bytes are
// anything else (then only the first program runs).
bool simpleReading(std::string_view bytes, Reading& r) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(pos, end - pos);
    pos = end;
    if (pos < bytes.size()) pos += bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n' ? 2 : 1;
    std::vector<std::string_view> fields;
    for (std::size_t i = 0; i < line.size();) {
      if (line[i] == ' ') {
        ++i;
        continue;
      }
      const std::size_t j = std::min(line.find(' ', i), line.size());
      fields.push_back(line.substr(i, j - i));
      i = j;
    }
    if (fields.size() != 2) return false;
    for (int k = 0; k < 2; ++k) {
      if (!plainNumber(fields[static_cast<std::size_t>(k)])) return false;
      r.sum[k] += std::strtold(std::string(fields[static_cast<std::size_t>(k)]).c_str(), nullptr);
    }
    ++r.count;
  }
  return r.count > 0;
}

bool close(long double got, long double want) {
  return std::fabs(got - want) <= 1e-12L * std::fmax(1.0L, std::fabs(want));
}

void checkAgainst(const Reading& want, const std::string& result) {
  long count = -1;
  long double a = NAN, b = NAN;
  if (std::sscanf(result.c_str(), "%ld %Lf %Lf", &count, &a, &b) != 3 || count != want.count ||
      !close(a, want.sum[0]) || !close(b, want.sum[1])) {
    std::fprintf(stderr, "data reading differs: zav read \"%s\", the simple reading %ld %.12Lf %.12Lf\n",
                 result.c_str(), want.count, want.sum[0], want.sum[1]);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  zav::fuzz::quietProcess();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static zav::fuzz::MemoryFile dataFile("data.dat");
  static zav::fuzz::MemoryFile program("program.zav");
  static zav::fuzz::MemoryFile oracle("oracle.zav");
  static zav::fuzz::MemoryFile result("result.txt");
  static const bool ready = [] {
    const std::string text = programText(dataFile.path());
    program.set(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    const std::string check = oracleProgramText(dataFile.path(), result.path());
    oracle.set(reinterpret_cast<const std::uint8_t*>(check.data()), check.size());
    return true;
  }();
  (void)ready;
  dataFile.set(data, size);
  zav::fuzz::runCapped({"-q", "-b", program.path()});
  Reading want;
  if (simpleReading(std::string_view(reinterpret_cast<const char*>(data), size), want)) {
    result.set(nullptr, 0);
    zav::fuzz::runCapped({"-q", "-b", oracle.path()});
    checkAgainst(want, result.get());
  }
  return 0;
}
