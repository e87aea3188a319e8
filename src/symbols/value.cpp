#include "symbols/value.h"

#include <array>

namespace zav {
namespace {
constexpr std::array<std::string_view, kValueTypeCount> kTypeNames = {
    "undef type", "CHAR", "POINTER", "BOOLEAN", "INTEGER", "REAL",
    "COMPLEX",    "STRING", "PROCEDURE", "FUNCTION", "FILE"};
constexpr std::array<int, kValueTypeCount> kTypeWidths = {0, 1, 4, 1, 4, 10, 21, 8, 4, 4, 592};
}  // namespace

std::string_view typeName(ValueType t) {
  auto i = static_cast<std::size_t>(t);
  return i < kTypeNames.size() ? kTypeNames[i] : kTypeNames[0];
}

int typeWidth(ValueType t) {
  auto i = static_cast<std::size_t>(t);
  return i < kTypeWidths.size() ? kTypeWidths[i] : 0;
}

}  // namespace zav
