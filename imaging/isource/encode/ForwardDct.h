// The integer forward DCT and quantiser that libjpeg uses for JDCT_ISLOW,
// to the bit: 13-bit fixed-point rotations, rows first with two extra bits
// of precision, columns second, results scaled by 8; then division by eight
// times the quantiser step, rounded half away from zero. Written for any
// lane type with the integer operators, so one block (int32_t) or several
// side by side (Int32x4) go through the same code.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace isource {
namespace dct {

typedef int32_t Int32x4 __attribute__((vector_size(16)));

// Two values per lane, for sums of their products with two constants. The
// rotations' inputs and constants all fit in 16 bits (the rotated values
// are sums of at most four row results, each within +-4100), which SSE2
// multiplies and adds in pairs in one instruction.
template <typename V> struct Pair { V a, b; };

template <typename V> inline Pair<V> Pack(V a, V b) {
    return {a, b};
}

template <typename V> inline V Dot(const Pair<V>& p, int32_t ca, int32_t cb) {
    return p.a * ca + p.b * cb;
}

#ifdef __SSE2__
struct Packed4 {
    __m128i halves; // a in the low, b in the high 16 bits of each lane
};

inline Packed4 Pack(Int32x4 a, Int32x4 b) {
    return {__m128i((a & 0xFFFF) | (b << 16))};
}

inline Int32x4 Dot(const Packed4& p, int32_t ca, int32_t cb) {
    return Int32x4(
        _mm_madd_epi16(p.halves, _mm_set1_epi32(int32_t(uint32_t(ca & 0xFFFF) | uint32_t(cb) << 16))));
}
#endif

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
template <int n, typename V> inline V Descale(V x) {
    return (x + (int32_t{1} << (n - 1))) >> n;
}

// One 8-point transform of x[0], x[step], ... in place. The even outputs
// 0 and 4 are exact sums, shifted by evenShift (left when positive, a
// rounded right shift when negative); the others are rounded down by
// oddBits.
template <int evenShift, int oddBits, int step, typename V> inline void Transform8(V* x) {
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
    // The rotations with their shared products multiplied out, which in
    // integers changes nothing.
    const auto even = Pack(t12, t13);
    x[2 * step] = Descale<oddBits>(Dot(even, k0_541196100, k0_541196100 + k0_765366865));
    x[6 * step] = Descale<oddBits>(Dot(even, k0_541196100 - k1_847759065, k0_541196100));

    const auto odd45 = Pack(t4, t5), odd67 = Pack(t6, t7);
    constexpr int32_t c = k1_175875602;
    x[7 * step] = Descale<oddBits>(Dot(odd45, k0_298631336 - k0_899976223 - k1_961570560 + c, c) +
                                   Dot(odd67, c - k1_961570560, c - k0_899976223));
    x[5 * step] = Descale<oddBits>(Dot(odd45, c, k2_053119869 - k2_562915447 - k0_390180644 + c) +
                                   Dot(odd67, c - k2_562915447, c - k0_390180644));
    x[3 * step] = Descale<oddBits>(Dot(odd45, c - k1_961570560, c - k2_562915447) +
                                   Dot(odd67, k3_072711026 - k2_562915447 - k1_961570560 + c, c));
    x[1 * step] = Descale<oddBits>(Dot(odd45, c - k0_899976223, c - k0_390180644) +
                                   Dot(odd67, c, k1_501321110 - k0_899976223 - k0_390180644 + c));
}

// The 2-D transform of level-shifted samples (-128..127), row-major, in
// place; results are eight times the orthonormal DCT, within +-8200.
template <typename V> inline void Forward(V (&block)[64]) {
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
    float reciprocal; // 1 / (8 * step), rounded up
};

inline Divisor DivisorFor(int32_t step) {
    const int32_t d = 8 * step;
    int ceilLog = 0;
    while ((int32_t{1} << ceilLog) < d)
        ++ceilLog;
    const int shift = 15 + ceilLog;
    const int64_t power = int64_t{1} << shift;
    // The reciprocal's 24 significant bits by integer division, rounded up:
    // floating-point division could be carried out with excess precision.
    int floorLog = 0;
    while ((int32_t{2} << floorLog) <= d)
        ++floorLog;
    const int64_t significand = ((int64_t{1} << (24 + floorLog)) + d - 1) / d;
    const float reciprocal = std::ldexp(float(significand), -(24 + floorLog));
    return {d / 2, int32_t((power + d - 1) / d), shift, reciprocal};
}

template <typename V> inline V Quantise(V x, const Divisor& divisor) {
    const V sign = x >> 31;
    const V magnitude = (x ^ sign) - sign;
    const V quotient = ((magnitude + divisor.half) * divisor.multiplier) >> divisor.shift;
    return (quotient ^ sign) - sign;
}

// The size category (bit length) of the quantised magnitude, without the
// quotient: the exponent of n = |x| + half times the rounded-up reciprocal,
// both from Divisor. For n below 2^15 and 8 * step at most 2040 the product
// lands on the right side of every power of two: at or above 2^j exactly
// when n >= 8 * step * 2^j, and the reciprocal's error is too small to carry
// any lower n across. F is the float type as wide as V.
template <typename V> struct QuotientSize {
    V size;
    V nonZero; // all ones where the quotient is not zero
};

template <typename F, typename V> inline QuotientSize<V> SizeOfQuotient(V x, F half, F reciprocal) {
    static_assert(sizeof(F) == sizeof(V), "float and integer lanes must match");
    F product;
    V aboveOne;
    if constexpr (std::is_arithmetic_v<V>) {
        product = (std::fabs(F(x)) + half) * reciprocal;
        aboveOne = product >= 1 ? -1 : 0;
    } else {
        const V magnitude = V(__builtin_convertvector(x, F)) & 0x7FFFFFFF; // the float's sign cleared
        product = (F(magnitude) + half) * reciprocal;
        aboveOne = product >= 1;
    }
    V bits;
    std::memcpy(&bits, &product, sizeof bits);
    return {((bits >> 23) - 126) & aboveOne, aboveOne}; // exponent 1 for [1, 2)
}

} // namespace dct
} // namespace isource
