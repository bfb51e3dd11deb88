#include "support/MulDiv.h"

namespace snapwell {

namespace {
// Two's-complement negation that wraps like the 32-bit machine instruction
// (the platform negates in 32 bits, so -INT32_MIN stays INT32_MIN).
int32_t WrappingNegate(int32_t v) { return static_cast<int32_t>(0u - static_cast<uint32_t>(v)); }
} // namespace

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0)
        return -1;
    // Work with a positive divisor; the rounding then adds half the divisor
    // for a non-negative quotient and subtracts it for a negative one.
    if (c < 0) {
        a = WrappingNegate(a);
        c = WrappingNegate(c);
    }
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t halfDivisor = c / 2;
    const bool nonNegative = (a < 0 && b < 0) || (a >= 0 && b >= 0);
    const int64_t result = (nonNegative ? product + halfDivisor : product - halfDivisor) / c;
    if (result > 2147483647 || result < -2147483647)
        return -1;
    return static_cast<int32_t>(result);
}

} // namespace snapwell
