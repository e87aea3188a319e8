// Fuzzes the number-literal parser with any text, and the number-to-text
// conversion with whatever it accepts.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/settings.h"
#include "funcs/machine.h"
#include "funcs/numtext.h"
#include "scan/numlit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static zav::Settings settings = [] {
    zav::Settings s;
    zav::initMachineConstants(s);
    return s;
  }();
  const zav::NumLit n = zav::parseNumber(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!n.valid) return 0;
  switch (n.type) {
    case zav::NumType::Integer: zav::realToText(settings, n.i, 12, 0); break;
    case zav::NumType::Real: zav::realToText(settings, n.r, 15, 8); break;
    default: zav::complexToText(settings, n.c, 15, 8); break;
  }
  return 0;
}
