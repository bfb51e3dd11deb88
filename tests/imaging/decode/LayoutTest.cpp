// Sample layouts the corpus has no file of, built in memory: bit depths that
// do not fill a byte, deep samples with alpha, premultiplied alpha, planes,
// colour maps of either width, CMYK, YCbCr without JPEG, PNG colour keys.
// The expected pixels follow from the rules: v * 255 / max to the nearest;
// alpha composited on white and truncated; CMYK inks through the default
// CMYK profile (whose own accuracy ColourTest checks).
#include <gtest/gtest.h>

#include <zlib.h>

#include "CorpusFiles.h"
#include "Patching.h"
#include "imaging/isource/decode/Colour.h"
#include "imaging/isource/decode/Decode.h"

using isource::DecodeStatus;

namespace {

using Rgb = std::array<int, 3>;

struct TiffTag {
    uint16_t tag;
    uint16_t type; // 3 SHORT, 4 LONG
    std::vector<uint32_t> values;
};

// A little-endian TIFF with one uncompressed strip per plane.
std::vector<uint8_t> BuildTiff(uint32_t width, uint32_t height, std::vector<TiffTag> tags,
                               const std::vector<std::vector<uint8_t>>& planes) {
    std::vector<uint8_t> out = {'I', 'I', 42, 0, 0, 0, 0, 0};
    auto put = [&](std::vector<uint8_t>& to, size_t at, uint32_t v, int size) {
        for (int i = 0; i < size; ++i)
            to[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    auto append = [&](uint32_t v, int size) {
        out.resize(out.size() + size);
        put(out, out.size() - size, v, size);
    };
    std::vector<uint32_t> offsets, counts;
    for (const auto& plane : planes) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        counts.push_back(static_cast<uint32_t>(plane.size()));
        out.insert(out.end(), plane.begin(), plane.end());
    }
    tags.push_back({256, 4, {width}});
    tags.push_back({257, 4, {height}});
    tags.push_back({273, 4, offsets});
    tags.push_back({278, 4, {height}});
    tags.push_back({279, 4, counts});
    std::sort(tags.begin(), tags.end(), [](const TiffTag& a, const TiffTag& b) { return a.tag < b.tag; });
    // Values that do not fit an entry go before the directory.
    std::vector<uint32_t> where(tags.size(), 0);
    for (size_t i = 0; i < tags.size(); ++i) {
        const int size = tags[i].type == 3 ? 2 : 4;
        if (tags[i].values.size() * size > 4) {
            where[i] = static_cast<uint32_t>(out.size());
            for (uint32_t v : tags[i].values)
                append(v, size);
        }
    }
    if (out.size() % 2)
        out.push_back(0);
    put(out, 4, static_cast<uint32_t>(out.size()), 4);
    append(static_cast<uint32_t>(tags.size()), 2);
    for (size_t i = 0; i < tags.size(); ++i) {
        const int size = tags[i].type == 3 ? 2 : 4;
        append(tags[i].tag, 2);
        append(tags[i].type, 2);
        append(static_cast<uint32_t>(tags[i].values.size()), 4);
        if (where[i]) {
            append(where[i], 4);
        } else {
            const size_t at = out.size();
            append(0, 4);
            for (size_t v = 0; v < tags[i].values.size(); ++v)
                put(out, at + v * size, tags[i].values[v], size);
        }
    }
    append(0, 4);
    return out;
}

std::vector<uint8_t> Le16(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> out;
    for (uint32_t v : values)
        out.push_back(static_cast<uint8_t>(v)), out.push_back(static_cast<uint8_t>(v >> 8));
    return out;
}

void ExpectPixels(const std::vector<uint8_t>& file, int width, int height, const std::vector<Rgb>& expected,
                  const char* what, int tolerance = 0) {
    RecordingSink sink;
    ASSERT_EQ(isource::DecodeImage(file.data(), file.size(), sink), DecodeStatus::Ok) << what;
    ASSERT_EQ(sink.m_nWidth, width) << what;
    ASSERT_EQ(sink.m_nHeight, height) << what;
    for (size_t i = 0; i < expected.size(); ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(sink.m_vPixels[i * 3 + c], expected[i][c], tolerance)
                << what << ", pixel " << i << ", channel " << c;
}

// What the default CMYK profile makes of each pixel's four inks.
std::vector<Rgb> DefaultCmyk(const std::vector<uint8_t>& inks) {
    std::vector<uint8_t> rgb(inks.size() / 4 * 3);
    isource::ColourConversion::ForCmyk({})->ConvertCmyk(inks.data(), inks.size() / 4, rgb.data());
    std::vector<Rgb> out;
    for (size_t i = 0; i < rgb.size(); i += 3)
        out.push_back({rgb[i], rgb[i + 1], rgb[i + 2]});
    return out;
}

TEST(TiffLayouts, SamplesOfEveryKindBecomeRgb) {
    std::vector<uint32_t> byteMap(3 * 16, 0), wordMap(3 * 16, 0);
    byteMap[1] = 255, byteMap[16 + 2] = 128;       // entry 1 red, entry 2 half green, in 8-bit values
    wordMap[1] = 0xFFFF, wordMap[16 + 2] = 0x8080; // the same in 16-bit values

    struct Case {
        const char* what;
        uint32_t width, height;
        std::vector<TiffTag> tags;
        std::vector<std::vector<uint8_t>> planes;
        std::vector<Rgb> expected;
        int tolerance;
    } cases[] = {
        {"2-bit grey, rows padded to a byte",
         3,
         2,
         {{258, 3, {2}}, {262, 3, {1}}},
         {{0x1B, 0xE4}},
         {{0, 0, 0}, {85, 85, 85}, {170, 170, 170}, {255, 255, 255}, {170, 170, 170}, {85, 85, 85}},
         0},
        {"4-bit min-is-white grey, odd width",
         5,
         1,
         {{258, 3, {4}}, {262, 3, {0}}},
         {{0x05, 0xAF, 0x30}},
         {{255, 255, 255}, {170, 170, 170}, {85, 85, 85}, {0, 0, 0}, {204, 204, 204}},
         0},
        {"16-bit RGB with straight alpha",
         3,
         1,
         {{258, 3, {16, 16, 16, 16}}, {262, 3, {2}}, {277, 3, {4}}, {338, 3, {2}}},
         {Le16({0x8080, 0, 0xFFFF, 0xFFFF, 0, 0, 0, 0, 0, 0, 0, 0x8000})},
         {{128, 0, 255}, {255, 255, 255}, {127, 127, 127}},
         0},
        {"planar RGB with premultiplied alpha",
         3,
         1,
         {{258, 3, {8, 8, 8, 8}}, {262, 3, {2}}, {277, 3, {4}}, {284, 3, {2}}, {338, 3, {1}}},
         {{100, 0, 64}, {50, 0, 64}, {0, 0, 64}, {255, 0, 128}},
         {{100, 50, 0}, {255, 255, 255}, {191, 191, 191}},
         0},
        {"4-bit palette, colour map of 8-bit values",
         2,
         1,
         {{258, 3, {4}}, {262, 3, {3}}, {320, 3, byteMap}},
         {{0x12}},
         {{255, 0, 0}, {0, 128, 0}},
         0},
        {"4-bit palette, colour map of 16-bit values",
         2,
         1,
         {{258, 3, {4}}, {262, 3, {3}}, {320, 3, wordMap}},
         {{0x12}},
         {{255, 0, 0}, {0, 128, 0}},
         0},
        {"CMYK, 0 = no ink",
         4,
         1,
         {{258, 3, {8, 8, 8, 8}}, {262, 3, {5}}, {277, 3, {4}}},
         {{0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255, 128, 0, 0, 0}},
         DefaultCmyk({0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255, 128, 0, 0, 0}),
         0},
        // libtiff's RGBA reader renders these; its YCbCr arithmetic may move a level or two.
        {"YCbCr without JPEG, not subsampled",
         3,
         1,
         {{258, 3, {8, 8, 8}}, {262, 3, {6}}, {277, 3, {3}}, {530, 3, {1, 1}}},
         {{128, 128, 128, 255, 128, 128, 76, 85, 255}},
         {{128, 128, 128}, {255, 255, 255}, {254, 0, 0}},
         2},
    };
    for (const Case& c : cases)
        ExpectPixels(BuildTiff(c.width, c.height, c.tags, c.planes), c.width, c.height, c.expected, c.what,
                     c.tolerance);
}

using patch::BuildPng;

TEST(PngLayouts, SamplesOfEveryKindBecomeRgb) {
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int width;
        std::vector<Rgb> expected;
    } cases[] = {
        {"grey with alpha",
         BuildPng(3, 1, 8, 4, {{100, 255, 100, 0, 0, 128}}),
         3,
         {{100, 100, 100}, {255, 255, 255}, {127, 127, 127}}},
        {"16-bit RGB with alpha",
         BuildPng(2, 1, 16, 6, {{0x80, 0x80, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}}),
         2,
         {{128, 255, 0}, {255, 255, 255}}},
        {"RGB with a colour key",
         BuildPng(2, 1, 8, 2, {{10, 20, 30, 10, 20, 31}}, {{"tRNS", {0, 10, 0, 20, 0, 30}}}),
         2,
         {{255, 255, 255}, {10, 20, 31}}},
        {"16-bit grey with a colour key",
         BuildPng(2, 1, 16, 0, {{0x12, 0x34, 0x80, 0x80}}, {{"tRNS", {0x12, 0x34}}}),
         2,
         {{255, 255, 255}, {128, 128, 128}}},
        {"2-bit palette",
         BuildPng(5, 1, 2, 3, {{0x1B, 0x40}}, {{"PLTE", {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}}}),
         5,
         {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 0, 0}}},
    };
    for (const Case& c : cases)
        ExpectPixels(c.file, c.width, 1, c.expected, c.what);
}

} // namespace
