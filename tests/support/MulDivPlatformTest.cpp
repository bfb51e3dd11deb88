// Our MulDiv against the platform's own over edge triples and many random
// ones: the platform is the oracle.
#include "support/MulDiv.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {
void ExpectSameAsPlatform(int32_t a, int32_t b, int32_t c) {
    ASSERT_EQ(snapwell::MulDiv(a, b, c), ::MulDiv(a, b, c)) << a << " * " << b << " / " << c;
}
} // namespace

TEST(MulDivPlatform, EdgeTriples) {
    const std::vector<int32_t> edges = {0,       1,          -1,         2,          -2,          3,
                                        -3,      7,          -7,         10,         600,         800,
                                        -800,    65535,      65536,      -65536,     46341,       1 << 30,
                                        -(1 << 30), INT32_MAX, INT32_MIN, INT32_MAX - 1, INT32_MIN + 1};
    for (int32_t a : edges)
        for (int32_t b : edges)
            for (int32_t c : edges)
                ExpectSameAsPlatform(a, b, c);
}

TEST(MulDivPlatform, ExactHalves) {
    for (int32_t c = -40; c <= 40; ++c)
        for (int32_t a = -100; a <= 100; ++a)
            ExpectSameAsPlatform(a, 1, c);
}

TEST(MulDivPlatform, RandomTriples) {
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int32_t> screen(-5000, 30000);
    for (int i = 0; i < 200000; ++i)
        ExpectSameAsPlatform(any(rng), any(rng), any(rng));
    // Magnitudes of view and picture coordinates, where the rules live.
    for (int i = 0; i < 200000; ++i)
        ExpectSameAsPlatform(screen(rng), screen(rng), screen(rng));
}
