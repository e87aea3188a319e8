// Value types of the language and their storage widths.
#pragma once
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace zav {

using Real = long double;
static_assert(std::numeric_limits<Real>::digits == 64, "REAL must be the 80-bit extended type");

struct Complex {
  Real re = 0;
  Real im = 0;
};

enum class ValueType : std::uint8_t {
  Undef = 0,
  Char = 1,
  Pointer = 2,
  Boolean = 3,
  Integer = 4,
  Real = 5,
  Complex = 6,
  String = 7,
  Procedure = 8,
  Function = 9,
  File = 10,
};
constexpr int kValueTypeCount = 11;

// Sets of types are bit masks, one bit per type code.
using TypeSet = std::uint32_t;
constexpr TypeSet typeBit(ValueType t) { return TypeSet{1} << static_cast<int>(t); }

// The names the program prints for each type.
std::string_view typeName(ValueType t);

// Bytes per element, as the memory traces report them. The widths are those
// of the language's storage layout, not of the C++ objects that hold them.
int typeWidth(ValueType t);

// Longest text a STRING, name, file name or input line may hold.
constexpr std::size_t kMaxText = 255;

}  // namespace zav
