// The integer forward DCT and quantiser that libjpeg uses for JDCT_ISLOW,
// to the bit: 13-bit fixed-point rotations, rows first with two extra bits
// of precision, columns second, results scaled by 8; then division by eight
// times the quantiser step, rounded half away from zero. Written for any
// lane type with the integer operators, so one block (int32_t) or several
// side by side (a vector of int32_t) go through the same code.
#pragma once

#include <cstdint>

namespace isource {
namespace dct {

constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;

// The rotation constants, cos and sin terms scaled by 2^13.
constexpr int32_t k0_298631336 = 2446;
constexpr int32_t k0_390180644 = 3196;
constexpr int32_t k0_541196100 = 4433;
constexpr int32_t k0_765366865 = 6270;
constexpr int32_t k0_899976223 = 7373;
constexpr int32_t k1_175875602 = 9633;
constexpr int32_t k1_501321110 = 12299;
constexpr int32_t k1_847759065 = 15137;
constexpr int32_t k1_961570560 = 16069;
constexpr int32_t k2_053119869 = 16819;
constexpr int32_t k2_562915447 = 20995;
constexpr int32_t k3_072711026 = 25172;

// Divides by 2^n rounding to nearest, halves upward.
template <int n, typename V>
inline V Descale(V x) {
    return (x + (int32_t{1} << (n - 1))) >> n;
}

// One 8-point transform of x[0], x[step], ... in place. The even outputs
// 0 and 4 are exact sums, shifted by evenShift (left when positive, a
// rounded right shift when negative); the others are rounded down by
// oddBits.
template <int evenShift, int oddBits, int step, typename V>
inline void Transform8(V* x) {
    const V t0 = x[0 * step] + x[7 * step], t7 = x[0 * step] - x[7 * step];
    const V t1 = x[1 * step] + x[6 * step], t6 = x[1 * step] - x[6 * step];
    const V t2 = x[2 * step] + x[5 * step], t5 = x[2 * step] - x[5 * step];
    const V t3 = x[3 * step] + x[4 * step], t4 = x[3 * step] - x[4 * step];

    const V t10 = t0 + t3, t13 = t0 - t3, t11 = t1 + t2, t12 = t1 - t2;
    if constexpr (evenShift >= 0) {
        // A multiplication: shifting negative values left is undefined.
        x[0 * step] = (t10 + t11) * (int32_t{1} << evenShift);
        x[4 * step] = (t10 - t11) * (int32_t{1} << evenShift);
    } else {
        x[0 * step] = Descale<-evenShift>(t10 + t11);
        x[4 * step] = Descale<-evenShift>(t10 - t11);
    }
    const V e = (t12 + t13) * k0_541196100;
    x[2 * step] = Descale<oddBits>(e + t13 * k0_765366865);
    x[6 * step] = Descale<oddBits>(e - t12 * k1_847759065);

    const V z5 = (t4 + t5 + t6 + t7) * k1_175875602;
    const V z1 = (t4 + t7) * -k0_899976223;
    const V z2 = (t5 + t6) * -k2_562915447;
    const V z3 = (t4 + t6) * -k1_961570560 + z5;
    const V z4 = (t5 + t7) * -k0_390180644 + z5;
    x[7 * step] = Descale<oddBits>(t4 * k0_298631336 + z1 + z3);
    x[5 * step] = Descale<oddBits>(t5 * k2_053119869 + z2 + z4);
    x[3 * step] = Descale<oddBits>(t6 * k3_072711026 + z2 + z3);
    x[1 * step] = Descale<oddBits>(t7 * k1_501321110 + z1 + z4);
}

// The 2-D transform of level-shifted samples (-128..127), row-major, in
// place; results are eight times the orthonormal DCT, within +-8200.
template <typename V>
inline void Forward(V (&block)[64]) {
    for (int row = 0; row < 8; ++row)
        Transform8<kPass1Bits, kConstBits - kPass1Bits, 1>(block + row * 8);
    for (int col = 0; col < 8; ++col)
        Transform8<-kPass1Bits, kConstBits + kPass1Bits, 8>(block + col);
}

// Division of a transform output by 8 * step (step 1..255), rounded half
// away from zero, done as a multiplication. With n = |x| + 4 * step below
// 2^15 and shift = 15 + ceil(log2(8 * step)), the multiplier's error times n
// stays below 2^shift, so the quotient is exact, and n * multiplier stays
// below 2^31.
struct Divisor {
    int32_t half;
    int32_t multiplier;
    int shift;
};

constexpr Divisor DivisorFor(int32_t step) {
    const int32_t d = 8 * step;
    int ceilLog = 0;
    while ((int32_t{1} << ceilLog) < d)
        ++ceilLog;
    const int shift = 15 + ceilLog;
    const int64_t power = int64_t{1} << shift;
    return {d / 2, int32_t((power + d - 1) / d), shift};
}

// |x| divided by 8 * step as above: all the Huffman symbols of the AC
// coefficients need.
template <typename V>
inline V QuantisedMagnitude(V x, const Divisor& divisor) {
    const V sign = x >> 31;
    const V magnitude = (x ^ sign) - sign;
    return ((magnitude + divisor.half) * divisor.multiplier) >> divisor.shift;
}

template <typename V>
inline V Quantise(V x, const Divisor& divisor) {
    const V sign = x >> 31;
    return (QuantisedMagnitude(x, divisor) ^ sign) - sign;
}

} // namespace dct
} // namespace isource
