#include "imaging/isource/encode/HuffmanStatistics.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "imaging/isource/encode/ForwardDct.h"
#include "imaging/isource/pixels/Bands.h"

namespace isource {
namespace {

// Four horizontally adjacent blocks go through the transform together, one
// per lane, so that both passes of the DCT are plain lane-wise arithmetic.
constexpr int kLanes = 4;
typedef dct::Int32x4 Lanes;
typedef float Floats __attribute__((vector_size(kLanes * sizeof(float))));
typedef Lanes Block[64];
constexpr int32_t kGroupWidth = 8 * kLanes;

// Row-major position of the k-th coefficient of the zigzag scan.
constexpr uint8_t kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// RGB -> YCbCr in 16-bit fixed point. Chroma rounds with just under a half,
// which keeps the largest result at 255 without a clamp. Done in floats:
// every product and partial sum is an integer below 2^24, so exact, and the
// final shift is an exact scaling and a truncation.
constexpr int kScaleBits = 16;
constexpr float Fix(double x) {
    return float(int32_t(x * (1 << kScaleBits) + 0.5));
}
constexpr float kHalf = 1 << (kScaleBits - 1);
constexpr float kChromaBias = (128 << kScaleBits) + (1 << (kScaleBits - 1)) - 1;
constexpr float kUnscale = 1.0f / (1 << kScaleBits);

// Largest size categories a baseline scan of 8-bit samples can code.
constexpr int kMaxDcSize = 11;
constexpr int kMaxAcSize = 10;

int BitLength(uint32_t v) {
    return v == 0 ? 0 : 32 - __builtin_clz(v);
}

uint32_t Magnitude(int32_t v) {
    return v < 0 ? 0u - uint32_t(v) : uint32_t(v);
}

struct Picture {
    const uint8_t* pixels;
    int32_t width, height, stride;
    int32_t blocksAcross, blocksDown;
};

// A pixel's bytes in the low bits of a word, little-endian. Inside the
// picture one 32-bit read (the top byte belongs to the next pixel); at its
// right edge, where no next pixel may follow, byte by byte.
template <int bpp, bool inside> int32_t PixelWord(const uint8_t* p) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixel words are read little-endian");
    if constexpr (bpp == 1) {
        return p[0];
    } else if constexpr (inside) {
        uint32_t word;
        std::memcpy(&word, p, sizeof word);
        return int32_t(word & 0xFFFFFF);
    } else {
        return p[0] | p[1] << 8 | p[2] << 16;
    }
}

// The level-shifted samples of one group of blocks per component, with the
// blocks past the right and bottom edges filled the way libjpeg fills them:
// the last column, then the last row, repeated. `offset` holds the byte
// offset in a row of each of the group's columns.
template <int bpp, bool inside>
void LoadGroup(const Picture& pic, int32_t blockRow, const int32_t* offset, Block* planes) {
    for (int r = 0; r < 8; ++r) {
        const int32_t y = std::min(blockRow * 8 + r, pic.height - 1);
        const uint8_t* row = pic.pixels + ptrdiff_t(y) * pic.stride;
        for (int c = 0; c < 8; ++c) {
            const Lanes word = {
                PixelWord<bpp, inside>(row + offset[c]), PixelWord<bpp, inside>(row + offset[8 + c]),
                PixelWord<bpp, inside>(row + offset[16 + c]), PixelWord<bpp, inside>(row + offset[24 + c])};
            if constexpr (bpp == 1) {
                planes[0][r * 8 + c] = word - 128;
            } else {
                const Floats red = __builtin_convertvector(word & 0xFF, Floats);
                const Floats green = __builtin_convertvector((word >> 8) & 0xFF, Floats);
                const Floats blue = __builtin_convertvector(word >> 16, Floats);
                const Floats luma = (red * Fix(0.29900) + green * Fix(0.58700) + blue * Fix(0.11400) + kHalf);
                const Floats cb =
                    (kChromaBias - red * Fix(0.16874) - green * Fix(0.33126) + blue * Fix(0.50000));
                const Floats cr =
                    (kChromaBias + red * Fix(0.50000) - green * Fix(0.41869) - blue * Fix(0.08131));
                planes[0][r * 8 + c] = __builtin_convertvector(luma * kUnscale, Lanes) - 128;
                planes[1][r * 8 + c] = __builtin_convertvector(cb * kUnscale, Lanes) - 128;
                planes[2][r * 8 + c] = __builtin_convertvector(cr * kUnscale, Lanes) - 128;
            }
        }
    }
}

// The quantised blocks of a group as the scan codes them: their DC values;
// for each AC coefficient in zigzag order, the symbol coding it with the
// zeros before it (undefined where it is zero); which ones are not zero, as
// bits (1..31 in low, 32..63 in high); and the runs of sixteen zeros.
struct CodedGroup {
    Lanes dc;
    Lanes symbol[64];
    Lanes low, high;
    Lanes sixteens;
};

// One quantiser as the AC loop takes it: each step's half and reciprocal in
// every lane, in zigzag order.
struct AcSteps {
    Floats half[64];
    Floats reciprocal[64];
};

void CodeGroup(const Block& block, const dct::Divisor& dcDivisor, const AcSteps& steps, CodedGroup& out) {
    out.dc = dct::Quantise(block[0], dcDivisor);
    Lanes low = {}, high = {}, sixteens = {}, zeros = {};
    for (int k = 1; k < 64; ++k) {
        const auto q = dct::SizeOfQuotient(block[kZigzag[k]], steps.half[k], steps.reciprocal[k]);
        sixteens += (zeros >> 4) & q.nonZero;
        out.symbol[k] = (zeros & 15) << 4 | q.size;
        zeros = (zeros + 1) & ~q.nonZero;
        if (k < 32)
            low |= q.nonZero & int32_t(1u << k);
        else
            high |= q.nonZero & int32_t(1u << (k - 32));
    }
    out.low = low;
    out.high = high;
    out.sixteens = sixteens;
}

// What one band of block rows found. Counts are gathered per block row in
// 32 bits (a row holds far fewer than 2^32 symbols) and then added up.
struct BandCounter {
    ScanStatistics counts;
    uint32_t rowDc[2][16];
    uint32_t rowAc[2][256];
    // For each component, the DC of the band's first and latest block: the
    // first is coded against the band above, once all bands are done.
    bool started[3];
    int32_t firstDc[3];
    int32_t lastDc[3];

    void EndRow() {
        for (int t = 0; t < 2; ++t) {
            for (int s = 0; s < 16; ++s)
                counts.dc[t].of[s] += rowDc[t][s];
            for (int s = 0; s < 256; ++s)
                counts.ac[t].of[s] += rowAc[t][s];
        }
        std::fill_n(&rowDc[0][0], 2 * 16, 0u);
        std::fill_n(&rowAc[0][0], 2 * 256, 0u);
    }
};

// Counts the symbols of the first `blocks` blocks of a group of component
// `ci`, in scan order.
void CountGroup(const CodedGroup& coded, int blocks, int ci, BandCounter& band) {
    const int table = ci == 0 ? 0 : 1;
    uint32_t* dc = band.rowDc[table];
    uint32_t* ac = band.rowAc[table];
    for (int lane = 0; lane < blocks; ++lane) {
        const int32_t dcValue = coded.dc[lane];
        if (band.started[ci])
            ++dc[BitLength(Magnitude(dcValue - band.lastDc[ci]))];
        else
            band.firstDc[ci] = dcValue;
        band.started[ci] = true;
        band.lastDc[ci] = dcValue;

        // The masks in 32-bit halves, as quick on the 32-bit target.
        for (uint32_t nonZero = uint32_t(coded.low[lane]); nonZero != 0; nonZero &= nonZero - 1)
            ++ac[coded.symbol[__builtin_ctz(nonZero)][lane]];
        for (uint32_t nonZero = uint32_t(coded.high[lane]); nonZero != 0; nonZero &= nonZero - 1)
            ++ac[coded.symbol[32 + __builtin_ctz(nonZero)][lane]];
        ac[0xF0] += uint32_t(coded.sixteens[lane]);
        if (uint32_t(coded.high[lane]) >> 31 == 0)
            ++ac[0x00]; // end of block, unless the last coefficient ends it
    }
}

void Add(ScanStatistics& to, const ScanStatistics& from) {
    for (int t = 0; t < 2; ++t)
        for (int s = 0; s < 256; ++s) {
            to.dc[t].of[s] += from.dc[t].of[s];
            to.ac[t].of[s] += from.ac[t].of[s];
        }
}

// Sizes the scan cannot code mean coefficients out of range: libjpeg
// refuses such a picture, and so do we.
bool Codable(const ScanStatistics& s) {
    for (int t = 0; t < 2; ++t) {
        for (int size = kMaxDcSize + 1; size < 256; ++size)
            if (s.dc[t].of[size] != 0)
                return false;
        for (int run = 0; run < 16; ++run)
            for (int size = kMaxAcSize + 1; size < 16; ++size)
                if (s.ac[t].of[run << 4 | size] != 0)
                    return false;
    }
    return true;
}

template <int bpp>
void CountBand(const Picture& pic, const dct::Divisor (&dcDivisors)[2], const AcSteps (&acSteps)[2],
               int32_t begin, int32_t end, BandCounter& band) {
    constexpr int components = bpp == 3 ? 3 : 1;
    Block planes[components];
    const int32_t groups = (pic.blocksAcross + kLanes - 1) / kLanes;
    CodedGroup coded;
    for (int32_t blockRow = begin; blockRow < end; ++blockRow) {
        for (int32_t group = 0; group < groups; ++group) {
            int32_t offset[kGroupWidth];
            for (int32_t p = 0; p < kGroupWidth; ++p)
                offset[p] = std::min(group * kGroupWidth + p, pic.width - 1) * bpp;
            if ((group + 1) * kGroupWidth < pic.width)
                LoadGroup<bpp, true>(pic, blockRow, offset, planes);
            else
                LoadGroup<bpp, false>(pic, blockRow, offset, planes);
            const int blocks = int(std::min<int32_t>(kLanes, pic.blocksAcross - group * kLanes));
            for (int ci = 0; ci < components; ++ci) {
                dct::Forward(planes[ci]);
                const int table = ci == 0 ? 0 : 1;
                CodeGroup(planes[ci], dcDivisors[table], acSteps[table], coded);
                CountGroup(coded, blocks, ci, band);
            }
        }
        band.EndRow();
    }
}

} // namespace

bool CountScanSymbols(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride, int32_t bpp,
                      const QuantSteps& steps, ScanStatistics& out) noexcept {
    if (pixels == nullptr || width <= 0 || height <= 0 || (bpp != 1 && bpp != 3) ||
        int64_t{stride} < int64_t{width} * bpp)
        return false;
    for (int i = 0; i < 64; ++i)
        if (steps.luma[i] < 1 || steps.luma[i] > 255 || steps.chroma[i] < 1 || steps.chroma[i] > 255)
            return false;
    const dct::Divisor dcDivisors[2] = {dct::DivisorFor(steps.luma[0]), dct::DivisorFor(steps.chroma[0])};
    AcSteps acSteps[2];
    for (int k = 1; k < 64; ++k)
        for (int t = 0; t < 2; ++t) {
            const dct::Divisor d = dct::DivisorFor((t == 0 ? steps.luma : steps.chroma)[kZigzag[k]]);
            acSteps[t].half[k] = Floats{} + float(d.half);
            acSteps[t].reciprocal[k] = Floats{} + d.reciprocal;
        }
    const Picture pic{pixels, width, height, stride, (width + 7) / 8, (height + 7) / 8};
    const int components = bpp == 3 ? 3 : 1;
    try {
        // Per block row, filled only where a band begins or ends.
        std::vector<int32_t> firstDc(size_t(pic.blocksDown) * 3), lastDc(size_t(pic.blocksDown) * 3);
        std::vector<uint8_t> bandStarts(size_t(pic.blocksDown));
        ScanStatistics total{};
        std::mutex totalLock;
        ForEachBand(pic.blocksDown, int64_t{width} * height * bpp, [&](int32_t begin, int32_t end) {
            const auto band = std::make_unique<BandCounter>(); // zeroed
            if (bpp == 3)
                CountBand<3>(pic, dcDivisors, acSteps, begin, end, *band);
            else
                CountBand<1>(pic, dcDivisors, acSteps, begin, end, *band);
            for (int ci = 0; ci < components; ++ci) {
                firstDc[size_t(begin) * 3 + ci] = band->firstDc[ci];
                lastDc[size_t(end - 1) * 3 + ci] = band->lastDc[ci];
            }
            bandStarts[size_t(begin)] = 1;
            const std::lock_guard<std::mutex> hold(totalLock);
            Add(total, band->counts);
        });
        // The DC prediction runs across the whole scan: the first block of a
        // band is coded against the last block of the band before it
        // (against zero at the top).
        for (int32_t row = 0; row < pic.blocksDown; ++row) {
            if (bandStarts[size_t(row)] == 0)
                continue;
            for (int ci = 0; ci < components; ++ci) {
                const int32_t above = row == 0 ? 0 : lastDc[size_t(row - 1) * 3 + ci];
                ++total.dc[ci == 0 ? 0 : 1].of[BitLength(Magnitude(firstDc[size_t(row) * 3 + ci] - above))];
            }
        }
        if (!Codable(total))
            return false;
        out = total;
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace isource
