// The scaling rule against values worked out by hand: rounding of halves
// away from zero in all four sign combinations, the zero divisor, overflow.
#include "support/MulDiv.h"

#include <gtest/gtest.h>

using snapwell::Half;
using snapwell::MulDiv;

struct MulDivCase {
    int32_t a, b, c, expected;
};

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    const MulDivCase cases[] = {
        {200, 600, 800, 150},  {200, 800, 600, 267},   {400, 300, 400, 300},   {1, 1, 2, 1},
        {-1, 1, 2, -1},        {1, -1, 2, -1},         {-1, -1, 2, 1},         {1, 1, -2, -1},
        {3, 1, 2, 2},          {-3, 1, 2, -2},         {5, 1, 4, 1},           {7, 1, 4, 2},
        {-5, 1, 4, -1},        {-7, 1, 4, -2},         {10, 1, 3, 3},          {11, 1, 3, 4},
        {0, 5, 7, 0},          {0, -5, 7, 0},          {5, 0, -7, 0},          {2, 3, 1, 6},
        {1, 1, 3, 0},          {2, 1, 3, 1},           {-2, 1, 3, -1},         {2, 1, -3, -1},
        {-2, -1, -3, -1},      {541, 600, 800, 406},   {6000, 1920, 6000, 1920},
    };
    for (const auto& k : cases)
        EXPECT_EQ(MulDiv(k.a, k.b, k.c), k.expected) << k.a << " * " << k.b << " / " << k.c;
}

TEST(MulDiv, ZeroDivisorGivesMinusOne) {
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(0, 0, 0), -1);
    EXPECT_EQ(MulDiv(-100, 7, 0), -1);
}

TEST(MulDiv, UsesA64BitProduct) {
    EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
    EXPECT_EQ(MulDiv(2147483647, 2147483647, 2147483647), 2147483647);
    EXPECT_EQ(MulDiv(-2147483647, 2147483647, 2147483647), -2147483647);
    EXPECT_EQ(MulDiv(65536, 65536, 4), 1073741824);
}

TEST(MulDiv, ResultsOutside32BitsGiveMinusOne) {
    EXPECT_EQ(MulDiv(2147483647, 2, 1), -1);
    EXPECT_EQ(MulDiv(-2147483647, 2, 1), -1);
    EXPECT_EQ(MulDiv(65536, 65536, 1), -1);
    // -2^31 itself is outside the range the platform accepts.
    EXPECT_EQ(MulDiv(-2147483647 - 1, 1, 1), -1);
}

TEST(Half, TruncatesTowardZero) {
    EXPECT_EQ(Half(-3), -1);
    EXPECT_EQ(Half(3), 1);
    EXPECT_EQ(Half(-1), 0);
    EXPECT_EQ(Half(580 - 300), 140);
}
