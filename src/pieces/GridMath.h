#pragma once
// Rounding used by the grid search and the grid accessors. Every Round of the
// layout arithmetic rounds to nearest with ties to even; integer quotients are
// rounded exactly so that no floating-point step can move a tie.

#include <cstdint>

namespace duduri::gridmath {

// Round(a / b) for a >= 0, b > 0, ties to even.
constexpr std::uint32_t RoundDiv(std::uint32_t a, std::uint32_t b) {
  const std::uint32_t q = a / b;
  const std::uint32_t r2 = (a % b) * 2;
  if (r2 > b || (r2 == b && (q & 1u) != 0)) return q + 1;
  return q;
}

}  // namespace duduri::gridmath
