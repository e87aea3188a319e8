// State of the math library that lives with the interpreter: the ln n! cache
// is filled lazily, so a fresh interpreter starts with an empty one.
#pragma once
#include <array>

#include "symbols/value.h"

namespace zav {

constexpr int kFactTableMax = 120;  // n! and ln n! are tabled for n = 0 .. 120

struct MathState {
  std::array<Real, kFactTableMax + 1> lnFact{};
  std::array<bool, kFactTableMax + 1> lnFactKnown{};
};

}  // namespace zav
