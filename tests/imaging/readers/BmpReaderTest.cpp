// The BMP reader on hand-made files: the kinds the corpus lacks (RLE deltas,
// alpha masks, OS/2 2.x headers, 2-bit pixels, wide components) and
// malformed headers and codes, which must fail without asking for a picture.
#include "HandMadeCases.h"

#include "imaging/isource/bmp/BmpReader.h"

#include <gtest/gtest.h>

namespace {

using isource::DecodeStatus;
using readertest::BadCase;
using readertest::Bytes;
using readertest::CaseName;
using readertest::Picture;
using readertest::PictureOf;

struct BmpSpec {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    unsigned bitsPerPixel = 24;
    uint32_t compression = 0;
    std::vector<uint32_t> palette; // 0xRRGGBB
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks; // inside headers of 52 bytes and more, else after the header
    std::vector<uint8_t> pixels;
};

std::vector<uint8_t> MakeBmp(const BmpSpec& spec) {
    Bytes header;
    header.Le32(spec.headerSize);
    if (spec.headerSize == 12) {
        header.Le16(static_cast<unsigned>(spec.width)).Le16(static_cast<unsigned>(spec.height));
        header.Le16(1).Le16(spec.bitsPerPixel);
    } else {
        header.Le32(static_cast<uint32_t>(spec.width)).Le32(static_cast<uint32_t>(spec.height));
        header.Le16(1).Le16(spec.bitsPerPixel).Le32(spec.compression);
        header.Le32(static_cast<uint32_t>(spec.pixels.size())).Le32(2835).Le32(2835);
        header.Le32(spec.colorsUsed).Le32(0);
    }
    Bytes after;
    for (uint32_t mask : spec.masks) {
        (spec.headerSize >= 52 ? header : after).Le32(mask);
    }
    header.data.resize(spec.headerSize); // shorter headers lose their tail, longer ones get zeros
    for (uint32_t c : spec.palette) {
        after.U8(c & 0xFF).U8(c >> 8 & 0xFF).U8(c >> 16 & 0xFF);
        if (spec.headerSize != 12) {
            after.U8(0);
        }
    }
    const uint32_t offset = static_cast<uint32_t>(14 + header.size() + after.size());
    Bytes file;
    file.Text("BM").Le32(offset + static_cast<uint32_t>(spec.pixels.size())).Le32(0).Le32(offset);
    file.Raw(header.data).Raw(after.data).Raw(spec.pixels);
    return file.data;
}

readertest::Decoded Decode(const std::vector<uint8_t>& bytes) {
    return readertest::DecodeWith(isource::DecodeBmp, bytes);
}

const std::vector<uint32_t> kFourColours = {0x0A141E, 0xC80000, 0x00C800, 0x0000C8};

BmpSpec Rle8(int32_t width, int32_t height, std::vector<uint8_t> codes) {
    BmpSpec s;
    s.width = width;
    s.height = height;
    s.bitsPerPixel = 8;
    s.compression = 1;
    s.palette = kFourColours;
    s.colorsUsed = 4;
    s.pixels = std::move(codes);
    return s;
}

BmpSpec Argb32(uint32_t compression, std::vector<uint8_t> bgra) {
    BmpSpec s;
    s.headerSize = 124;
    s.width = static_cast<int32_t>(bgra.size() / 4);
    s.bitsPerPixel = 32;
    s.compression = compression;
    s.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    s.pixels = std::move(bgra);
    return s;
}

using GoodCase = readertest::GoodCase<BmpSpec>;

class BmpDecodes : public testing::TestWithParam<GoodCase> {};

TEST_P(BmpDecodes, ToTheExpectedPicture) {
    readertest::ExpectPicture(Decode(MakeBmp(GetParam().spec)), GetParam().expected);
}

std::vector<GoodCase> GoodCases() {
    std::vector<GoodCase> cases;
    // Bottom row: a run and an end of line; middle row: a delta skips one
    // pixel, a run, end of line; top row: a run, then end of bitmap. Skipped
    // pixels show the first palette colour, as the reference decoder has them.
    cases.push_back({"Rle8DeltaAndEarlyEnds", Rle8(4, 3, {2, 1, 0, 0, 0, 2, 1, 0, 1, 2, 0, 0, 1, 3, 0, 1}),
                     PictureOf(4, 3,
                               {0x0000C8, 0x0A141E, 0x0A141E, 0x0A141E, //
                                0x0A141E, 0x00C800, 0x0A141E, 0x0A141E, //
                                0xC80000, 0xC80000, 0x0A141E, 0x0A141E})});
    // A delta moves right and up the picture (rows are stored bottom-up).
    cases.push_back({"Rle8DeltaUp", Rle8(3, 2, {1, 1, 0, 2, 1, 1, 1, 2, 0, 1}),
                     PictureOf(3, 2, {0x0A141E, 0x0A141E, 0x00C800, 0xC80000, 0x0A141E, 0x0A141E})});
    {
        // An absolute run of three nibbles (two bytes, already even), then a
        // run alternating the nibbles 4 and 5, with a palette of six colours.
        BmpSpec s;
        s.width = 5;
        s.bitsPerPixel = 4;
        s.compression = 2;
        s.palette = {0x000000, 0x110000, 0x220000, 0x330000, 0x440000, 0x550000};
        s.pixels = {0, 3, 0x12, 0x30, 2, 0x45, 0, 1};
        cases.push_back(
            {"Rle4AbsoluteAndRun", s, PictureOf(5, 1, {0x110000, 0x220000, 0x330000, 0x440000, 0x550000})});
    }
    {
        // An absolute RLE8 run of odd length carries a pad byte.
        BmpSpec s = Rle8(3, 1, {0, 3, 1, 2, 3, 0xEE, 0, 1});
        cases.push_back({"Rle8AbsoluteWithPad", s, PictureOf(3, 1, {0xC80000, 0x00C800, 0x0000C8})});
    }
    // Encoders that code each row's padding as pixels: the padding is dropped.
    cases.push_back({"Rle8RowPaddingCoded", Rle8(3, 2, {4, 1, 0, 0, 0, 4, 2, 3, 0, 0, 0, 1}),
                     PictureOf(3, 2, {0x00C800, 0x0000C8, 0x0A141E, 0xC80000, 0xC80000, 0xC80000})});
    {
        BmpSpec s = Rle8(3, 1, {8, 0x12, 0, 1});
        s.bitsPerPixel = 4;
        s.compression = 2;
        s.palette = kFourColours;
        cases.push_back({"Rle4RowPaddingCoded", s, PictureOf(3, 1, {0xC80000, 0x00C800, 0xC80000})});
    }
    // Straight alpha over white, rounded to nearest: opaque black, transparent
    // black, red at 128, green at 64, green 128 at 1 (254.502 rounds up).
    cases.push_back({"V5AlphaBitfields",
                     Argb32(3, {0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255, 128, 0, 255, 0, 64, 0, 128, 0, 1}),
                     PictureOf(5, 1, {0x000000, 0xFFFFFF, 0xFF7F7F, 0xBFFFBF, 0xFEFFFE})});
    // An alpha mask whose every value is 0 means an opaque picture.
    cases.push_back({"V5AlphaAllZeroIsOpaque", Argb32(3, {0, 0, 0, 0, 30, 20, 10, 0, 0, 0, 255, 0}),
                     PictureOf(3, 1, {0x000000, 0x0A141E, 0xFF0000})});
    // Without bit fields the header's alpha mask does not apply.
    cases.push_back({"V5RgbIgnoresAlphaMask", Argb32(0, {0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255, 128}),
                     PictureOf(3, 1, {0x000000, 0x000000, 0xFF0000})});
    {
        // Alpha bit fields after a 40-byte header: A4R4G4B4 in 16 bits.
        BmpSpec s;
        s.width = 2;
        s.bitsPerPixel = 16;
        s.compression = 6;
        s.masks = {0x0F00, 0x00F0, 0x000F, 0xF000};
        s.pixels = {0x5A, 0xF3, 0x00, 0x00}; // 0xF35A opaque, then 0x0000 transparent
        cases.push_back({"AlphaBitfieldsAfterInfoHeader", s, PictureOf(2, 1, {0x3355AA, 0xFFFFFF})});
    }
    {
        // 10-bit components keep their top 8 bits.
        BmpSpec s;
        s.width = 2;
        s.bitsPerPixel = 32;
        s.compression = 3;
        s.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
        s.pixels = {0xFF, 0xFF, 0xFF, 0x3F, 0x00, 0x01, 0x14, 0x20}; // all ones; 0x201, 0x100, 0x100
        cases.push_back({"TenBitComponents", s, PictureOf(2, 1, {0xFFFFFF, 0x804040})});
    }
    {
        // OS/2 2.x, full 64-byte header, 4-byte palette entries.
        BmpSpec s;
        s.headerSize = 64;
        s.width = 3;
        s.bitsPerPixel = 8;
        s.palette = kFourColours;
        s.pixels = {3, 2, 1, 0};
        cases.push_back({"Os2Version2Header", s, PictureOf(3, 1, {0x0000C8, 0x00C800, 0xC80000})});
    }
    {
        // OS/2 2.x header cut to 16 bytes: compression and the rest read as 0.
        BmpSpec s;
        s.headerSize = 16;
        s.width = 1;
        s.height = 2;
        s.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
        cases.push_back({"Os2ShortHeader", s, PictureOf(1, 2, {0x060504, 0x030201})});
    }
    {
        // 2 bits a pixel, 5 pixels in one 4-byte row.
        BmpSpec s;
        s.width = 5;
        s.bitsPerPixel = 2;
        s.palette = kFourColours;
        s.pixels = {0b00011011, 0b10000000, 0, 0};
        cases.push_back(
            {"TwoBitPalette", s, PictureOf(5, 1, {0x0A141E, 0xC80000, 0x00C800, 0x0000C8, 0x00C800})});
    }
    {
        // 1 bit top-down, 9-pixel rows padded to 4 bytes.
        BmpSpec s;
        s.width = 9;
        s.height = -2;
        s.bitsPerPixel = 1;
        s.palette = {0x000000, 0xFFFFFF};
        s.pixels = {0b10000000, 0b10000000, 0, 0, 0b01111111, 0b00000000, 0, 0};
        cases.push_back(
            {"OneBitTopDown", s,
             PictureOf(9, 2,
                       {0xFFFFFF, 0, 0, 0, 0, 0, 0, 0, 0xFFFFFF, //
                        0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0})});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(HandMade, BmpDecodes, testing::ValuesIn(GoodCases()), CaseName<GoodCase>);

class BmpRefuses : public testing::TestWithParam<BadCase> {};

TEST_P(BmpRefuses, WithoutAskingForAPicture) {
    readertest::ExpectRefused(Decode(GetParam().bytes), GetParam().expected);
}

BmpSpec Grey8(int32_t width, int32_t height) {
    BmpSpec s;
    s.width = width;
    s.height = height;
    s.bitsPerPixel = 8;
    s.palette = kFourColours;
    s.pixels.assign(
        static_cast<size_t>((width + 3) / 4 * 4) * static_cast<size_t>(height < 0 ? -height : height), 1);
    return s;
}

std::vector<uint8_t> WithField(std::vector<uint8_t> bytes, size_t at, uint32_t value) {
    Bytes b;
    b.data = std::move(bytes);
    b.PutLe32(at, value);
    return b.data;
}

std::vector<BadCase> BadCases() {
    const std::vector<uint8_t> good = MakeBmp(Grey8(3, 2));
    std::vector<BadCase> cases;
    cases.push_back({"Empty", {}, DecodeStatus::UnknownFormat});
    cases.push_back({"NotABitmap", {'B', 'A', 0, 0, 0, 0}, DecodeStatus::UnknownFormat});
    cases.push_back(
        {"FileHeaderOnly", std::vector<uint8_t>(good.begin(), good.begin() + 14), DecodeStatus::Corrupt});
    cases.push_back({"HeaderSizeZero", WithField(good, 14, 0), DecodeStatus::Corrupt});
    cases.push_back({"HeaderSize13", WithField(good, 14, 13), DecodeStatus::Corrupt});
    cases.push_back({"HeaderPastEnd", WithField(good, 14, 0xFFFFFFF0u), DecodeStatus::Corrupt});
    cases.push_back({"WidthZero", WithField(good, 18, 0), DecodeStatus::Corrupt});
    cases.push_back({"WidthNegative", WithField(good, 18, static_cast<uint32_t>(-3)), DecodeStatus::Corrupt});
    cases.push_back({"HeightZero", WithField(good, 22, 0), DecodeStatus::Corrupt});
    cases.push_back({"HeightMostNegative", WithField(good, 22, 0x80000000u), DecodeStatus::TooLarge});
    cases.push_back({"HugeBoth", WithField(WithField(good, 18, 40000), 22, 40000), DecodeStatus::TooLarge});
    cases.push_back({"HugeWidth", WithField(good, 18, 0x7FFFFFFF), DecodeStatus::TooLarge});
    cases.push_back({"HugeTopDown", WithField(WithField(good, 18, 30000), 22, static_cast<uint32_t>(-30000)),
                     DecodeStatus::TooLarge});
    cases.push_back({"TallerThanItsData", WithField(good, 22, 3), DecodeStatus::Corrupt});
    cases.push_back({"PixelOffsetPastEnd", WithField(good, 10, static_cast<uint32_t>(good.size() + 1)),
                     DecodeStatus::Corrupt});
    cases.push_back({"PixelOffsetHuge", WithField(good, 10, 0xFFFFFFFFu), DecodeStatus::Corrupt});
    cases.push_back({"PixelOffsetInsideHeader", WithField(good, 10, 30), DecodeStatus::Corrupt});
    {
        BmpSpec s = Grey8(3, 2);
        s.palette.clear();
        cases.push_back({"NoPalette", MakeBmp(s), DecodeStatus::Corrupt});
        s.bitsPerPixel = 7;
        cases.push_back({"SevenBits", MakeBmp(s), DecodeStatus::Corrupt});
        s.bitsPerPixel = 0;
        cases.push_back({"ZeroBits", MakeBmp(s), DecodeStatus::Corrupt});
    }
    {
        // Indices 2 and 3 with a palette of two colours.
        BmpSpec s = Grey8(3, 1);
        s.palette = {0, 0xFFFFFF};
        s.pixels = {0, 1, 2, 0};
        cases.push_back({"IndexPastPalette", MakeBmp(s), DecodeStatus::Corrupt});
        s.bitsPerPixel = 4;
        s.pixels = {0x01, 0x30, 0, 0};
        cases.push_back({"NibblePastPalette", MakeBmp(s), DecodeStatus::Corrupt});
    }
    {
        BmpSpec s = Grey8(3, 1);
        s.compression = 4;
        cases.push_back({"EmbeddedJpeg", MakeBmp(s), DecodeStatus::Unsupported});
        s.compression = 5;
        cases.push_back({"EmbeddedPng", MakeBmp(s), DecodeStatus::Unsupported});
        s.compression = 99;
        cases.push_back({"UnknownCompression", MakeBmp(s), DecodeStatus::Unsupported});
        s.compression = 1;
        s.bitsPerPixel = 4;
        cases.push_back({"Rle8WithFourBits", MakeBmp(s), DecodeStatus::Corrupt});
    }
    {
        BmpSpec s;
        s.headerSize = 64;
        s.compression = 3; // OS/2 2.x Huffman 1D
        s.bitsPerPixel = 1;
        s.palette = {0, 0xFFFFFF};
        s.pixels = {0, 0, 0, 0};
        cases.push_back({"Os2Huffman", MakeBmp(s), DecodeStatus::Unsupported});
    }
    {
        // Bit fields whose masks the file ends before.
        BmpSpec s;
        s.bitsPerPixel = 16;
        s.compression = 3;
        std::vector<uint8_t> bytes = MakeBmp(s);
        bytes.resize(14 + 40 + 6);
        cases.push_back({"MasksCutOff", bytes, DecodeStatus::Corrupt});
        s.bitsPerPixel = 8;
        s.masks = {0xE0, 0x1C, 0x03};
        s.pixels = {0, 0, 0, 0};
        cases.push_back({"BitfieldsWithEightBits", MakeBmp(s), DecodeStatus::Corrupt});
    }
    // RLE codes that run off the padded row, out of data or out of the palette.
    cases.push_back({"RleRunPastRow", MakeBmp(Rle8(4, 1, {5, 1, 0, 1})), DecodeStatus::Corrupt});
    cases.push_back({"RleRunsAddUpPastRow", MakeBmp(Rle8(4, 1, {3, 1, 2, 1, 0, 1})), DecodeStatus::Corrupt});
    cases.push_back(
        {"RleAbsolutePastRow", MakeBmp(Rle8(2, 1, {0, 5, 1, 1, 1, 1, 1, 0, 0, 1})), DecodeStatus::Corrupt});
    cases.push_back({"RleAbsoluteCutOff", MakeBmp(Rle8(8, 1, {0, 6, 1, 1, 1})), DecodeStatus::Corrupt});
    cases.push_back({"RleDeltaPastRight", MakeBmp(Rle8(4, 2, {0, 2, 5, 0, 0, 1})), DecodeStatus::Corrupt});
    cases.push_back({"RleDeltaPastTop", MakeBmp(Rle8(4, 2, {0, 2, 0, 3, 0, 1})), DecodeStatus::Corrupt});
    cases.push_back({"RleDeltaCutOff", MakeBmp(Rle8(4, 2, {0, 2, 1})), DecodeStatus::Corrupt});
    cases.push_back(
        {"RleWriteAboveTop", MakeBmp(Rle8(1, 1, {1, 1, 0, 0, 1, 1, 0, 1})), DecodeStatus::Corrupt});
    cases.push_back(
        {"RleLineEndAboveTop", MakeBmp(Rle8(1, 1, {1, 1, 0, 0, 0, 0, 0, 1})), DecodeStatus::Corrupt});
    cases.push_back({"RleNoEndOfBitmap", MakeBmp(Rle8(2, 1, {2, 1, 0, 0})), DecodeStatus::Corrupt});
    cases.push_back({"RleHalfACode", MakeBmp(Rle8(2, 1, {2, 1, 0})), DecodeStatus::Corrupt});
    cases.push_back({"RleRunPastPalette", MakeBmp(Rle8(2, 1, {2, 4, 0, 1})), DecodeStatus::Corrupt});
    cases.push_back(
        {"RleAbsolutePastPalette", MakeBmp(Rle8(3, 1, {0, 3, 1, 9, 1, 0, 0, 1})), DecodeStatus::Corrupt});
    {
        BmpSpec s = Rle8(3, 1, {9, 0x12, 0, 1}); // the padded row holds 8 pixels
        s.bitsPerPixel = 4;
        s.compression = 2;
        cases.push_back({"Rle4RunPastPaddedRow", MakeBmp(s), DecodeStatus::Corrupt});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(HandMade, BmpRefuses, testing::ValuesIn(BadCases()), CaseName<BadCase>);

} // namespace
