// Integer scaling with the platform's rounding. Every conversion between view
// and picture coordinates and every ratio or copy-size step goes through it,
// so it must give exactly what the system's MulDiv gives.
#pragma once

#include <cstdint>

namespace snapwell {

// a * b / c with a 64-bit product, rounded to nearest with halves away from
// zero; -1 for a zero divisor and for a result outside +-2147483647.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// Half of n, truncated toward zero (half of -3 is -1).
constexpr int32_t Half(int32_t n) { return n / 2; }

} // namespace snapwell
