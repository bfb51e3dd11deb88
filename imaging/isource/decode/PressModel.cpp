#include "imaging/isource/decode/PressModel.h"

#include <algorithm>
#include <cmath>

namespace isource::press {

namespace {

// The sixteen solid overprints as measured for the characterization data of
// ANSI CGATS/SWOP TR 003-2007 (SWOP proofing on grade 3 coated paper; D50,
// 2 degree observer, 0/45 geometry, white backing), XYZ with the perfect
// diffuser at 100; where the data set prints a patch twice, the mean of the
// two. Index bits: 1 cyan, 2 magenta, 4 yellow, 8 black.
constexpr double kSolids[16][3] = {
    {78.900, 81.830, 67.530}, // paper
    {16.460, 24.910, 51.390}, // C
    {32.300, 16.670, 14.950}, // M
    {6.440, 5.040, 17.040},   // CM
    {67.120, 72.000, 7.810},  // Y
    {9.250, 20.250, 8.190},   // CY
    {29.570, 15.910, 2.620},  // MY
    {4.210, 4.350, 3.670},    // CMY
    {2.440, 2.530, 2.100},    // K
    {1.150, 1.470, 2.070},    // CK
    {1.540, 1.110, 0.940},    // MK
    {0.880, 0.750, 1.120},    // CMK
    {1.970, 2.180, 0.870},    // YK
    {0.990, 1.460, 0.940},    // CYK
    {1.510, 1.210, 0.650},    // MYK
    {0.840, 0.880, 0.710},    // CMYK
};

// Light that enters the paper beside a dot and leaves it under one (or the
// reverse) makes tints darker than their inked area alone: the Yule-Nielsen
// n. Offset on coated stock is usually put between 1.5 and 2, and anything
// from 1.7 to 2 (with the dot gains below fitted to it) meets the data
// set's 1617 patches about equally well: at 1.8, CIEDE2000 mean 1.3, 99th
// percentile 2.8, worst 3.6 (bench/colour-bench).
constexpr double kN = 1.8;

// What remains of the tone value increase is the dots' own spread on the
// press, 4 g a (1 - a) on a coverage a: g per ink (C, M, Y, K), fitted by
// least squares to the data set's tint ramps of each ink alone under kN.
constexpr double kDotGain[4] = {0.0928, 0.0814, 0.0560, 0.0517};

// The solids' tristimulus values to the power 1 / n, the terms the model
// mixes; worked out once.
struct Roots {
    double v[16][3];
    Roots() {
        for (int i = 0; i < 16; ++i)
            for (int c = 0; c < 3; ++c)
                v[i][c] = std::pow(kSolids[i][c] / 100, 1 / kN);
    }
};

double Coverage(double ink, int which) {
    const double a = std::clamp(ink, 0.0, 1.0);
    return std::clamp(a + 4 * kDotGain[which] * a * (1 - a), 0.0, 1.0);
}

} // namespace

Xyz Paper() {
    return {kSolids[0][0] / 100, kSolids[0][1] / 100, kSolids[0][2] / 100};
}

Xyz Print(double cyan, double magenta, double yellow, double black) {
    static const Roots s_roots;
    const double a[4] = {Coverage(cyan, 0), Coverage(magenta, 1), Coverage(yellow, 2), Coverage(black, 3)};
    // Each overprint covers the share of the surface where exactly its inks
    // lie, the dots of the four screens falling independently (Demichel).
    double sum[3] = {0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        double share = 1;
        for (int ink = 0; ink < 4; ++ink)
            share *= (i >> ink & 1) ? a[ink] : 1 - a[ink];
        for (int c = 0; c < 3; ++c)
            sum[c] += share * s_roots.v[i][c];
    }
    return {std::pow(sum[0], kN), std::pow(sum[1], kN), std::pow(sum[2], kN)};
}

} // namespace isource::press
