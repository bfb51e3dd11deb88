// The PSD reader on hand-made files: the kinds the corpus lacks (alpha of the
// merged picture, 16-bit grey, bitmap mode, a transparent index, large
// documents, PackBits corner cases) and malformed sections and rows, which
// must fail without asking for a picture.
#include "HandMadeCases.h"

#include "imaging/isource/decode/Colour.h"
#include "imaging/isource/psd/PsdReader.h"

#include <gtest/gtest.h>

namespace {

using isource::DecodeStatus;
using readertest::BadCase;
using readertest::Bytes;
using readertest::CaseName;
using readertest::Picture;
using readertest::PictureOf;

struct PsdSpec {
    unsigned version = 1;
    unsigned channels = 3;
    uint32_t width = 1;
    uint32_t height = 1;
    unsigned depth = 8;
    unsigned mode = 3;
    std::vector<uint8_t> colourData;
    std::vector<uint8_t> resources;
    std::vector<uint8_t> layers; // the layer and mask section's content
    unsigned compression = 0;
    std::vector<uint8_t> image; // what follows the compression field
};

std::vector<uint8_t> MakePsd(const PsdSpec& s) {
    Bytes b;
    b.Text("8BPS").Be16(s.version).Fill(6, 0).Be16(s.channels).Be32(s.height).Be32(s.width);
    b.Be16(s.depth).Be16(s.mode);
    b.Be32(static_cast<uint32_t>(s.colourData.size())).Raw(s.colourData);
    b.Be32(static_cast<uint32_t>(s.resources.size())).Raw(s.resources);
    if (s.version == 2) {
        b.Be32(0);
    }
    b.Be32(static_cast<uint32_t>(s.layers.size())).Raw(s.layers);
    b.Be16(s.compression).Raw(s.image);
    return b.data;
}

// A layer section whose count is negative: the merged picture has
// transparency. Large documents give the layer info's length in 8 bytes.
std::vector<uint8_t> TransparentLayers(bool large = false) {
    Bytes b;
    if (large) {
        b.Be32(0);
    }
    b.Be32(2).Be16(0xFFFF);
    return b.data;
}

// PackBits rows with their byte counts in front, 2 bytes each (4 in large documents).
std::vector<uint8_t> RleImage(const std::vector<std::vector<uint8_t>>& rows, int countSize = 2) {
    Bytes b;
    for (const auto& row : rows) {
        countSize == 2 ? b.Be16(static_cast<unsigned>(row.size()))
                       : b.Be32(static_cast<uint32_t>(row.size()));
    }
    for (const auto& row : rows) {
        b.Raw(row);
    }
    return b.data;
}

readertest::Decoded Decode(const std::vector<uint8_t>& bytes) {
    return readertest::DecodeWith(isource::DecodePsd, bytes);
}

PsdSpec Rgb(uint32_t width, std::vector<uint8_t> planes, unsigned channels = 3) {
    PsdSpec s;
    s.width = width;
    s.channels = channels;
    s.image = std::move(planes);
    return s;
}

std::vector<uint8_t> IndexedTable() {
    std::vector<uint8_t> table(768, 0);
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<uint8_t>(i);             // red
        table[256 + i] = static_cast<uint8_t>(255 - i); // green
        table[512 + i] = 0x40;                          // blue
    }
    return table;
}

using GoodCase = readertest::GoodCase<PsdSpec>;

class PsdDecodes : public testing::TestWithParam<GoodCase> {};

TEST_P(PsdDecodes, ToTheExpectedPicture) {
    readertest::ExpectPicture(Decode(MakePsd(GetParam().spec)), GetParam().expected);
}

// A row of `width` pixels as the default CMYK profile shows their inks
// (0 = none): what CMYK documents without a profile of their own become.
readertest::Picture DefaultCmyk(int32_t width, const std::vector<uint8_t>& inks) {
    readertest::Picture picture{width, 1, std::vector<uint8_t>(size_t(width) * 3)};
    isource::ColourConversion::ForCmyk({})->ConvertCmyk(inks.data(), size_t(width), picture.rgb.data());
    return picture;
}

std::vector<GoodCase> GoodCases() {
    std::vector<GoodCase> cases;
    // Planes R, G, B, A of red, black and green at alpha 255, 0 and 64.
    const std::vector<uint8_t> rgba = {255, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 64};
    {
        PsdSpec s = Rgb(3, rgba, 4);
        s.layers = TransparentLayers();
        cases.push_back({"AlphaOfTheMergedPicture", s, PictureOf(3, 1, {0xFF0000, 0xFFFFFF, 0xBFFFBF})});
    }
    // Without a negative layer count the fourth channel is a saved selection.
    cases.push_back(
        {"ExtraChannelIsNotAlpha", Rgb(3, rgba, 4), PictureOf(3, 1, {0xFF0000, 0x000000, 0x00FF00})});
    {
        PsdSpec s;
        s.mode = 1;
        s.channels = 1;
        s.depth = 16;
        s.width = 5;
        s.image = {0, 0, 0, 128, 0, 129, 0x7F, 0x80, 0xFF, 0xFF}; // 0, 128, 129, 32640, 65535
        cases.push_back({"Grey16RoundsToNearest", s,
                         PictureOf(5, 1, {0x000000, 0x000000, 0x010101, 0x7F7F7F, 0xFFFFFF})});
    }
    {
        PsdSpec s;
        s.mode = 1;
        s.channels = 2;
        s.width = 2;
        s.layers = TransparentLayers();
        s.image = {200, 0, 255, 0};
        cases.push_back({"GreyWithAlpha", s, PictureOf(2, 1, {0xC8C8C8, 0xFFFFFF})});
    }
    {
        PsdSpec s;
        s.mode = 8; // duotone: the stored grey
        s.channels = 1;
        s.width = 2;
        s.image = {30, 220};
        cases.push_back({"DuotoneAsGrey", s, PictureOf(2, 1, {0x1E1E1E, 0xDCDCDC})});
    }
    {
        PsdSpec s;
        s.mode = 0;
        s.depth = 1;
        s.channels = 1;
        s.width = 10;
        s.image = {0b10100000, 0b01000000}; // 1 is black
        cases.push_back(
            {"BitmapMode", s,
             PictureOf(10, 1,
                       {0, 0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0})});
    }
    {
        PsdSpec s;
        s.mode = 2;
        s.channels = 1;
        s.width = 3;
        s.colourData = IndexedTable();
        // Resource 1047 names index 2 as the transparent colour; the resource
        // before it has a name and data of odd lengths, so both are padded.
        Bytes r;
        r.Text("8BIM").Be16(1000).U8(2).Text("xy").U8(0).Be32(3).Raw({1, 2, 3, 0});
        r.Text("8BIM").Be16(1047).U8(0).U8(0).Be32(2).Be16(2);
        s.resources = r.data;
        s.image = {0, 2, 255};
        cases.push_back({"IndexedWithTransparentIndex", s, PictureOf(3, 1, {0x00FF40, 0xFFFFFF, 0xFF0040})});
    }
    {
        // Inverted CMYK: no ink, magenta only, magenta under half black.
        PsdSpec s;
        s.mode = 4;
        s.channels = 4;
        s.width = 3;
        s.image = {255, 255, 255, 255, 0, 0, 255, 255, 255, 255, 255, 128};
        cases.push_back({"CmykInverted", s, DefaultCmyk(3, {0, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 127})});
    }
    {
        PsdSpec s;
        s.mode = 4;
        s.channels = 4;
        s.depth = 16;
        s.image = {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0xFF, 0xFF};
        cases.push_back({"Cmyk16", s, DefaultCmyk(1, {0, 127, 255, 0})});
    }
    {
        // A large document: 8-byte section lengths and 4-byte row counts.
        PsdSpec s;
        s.version = 2;
        s.width = 2;
        s.channels = 4;
        s.layers = TransparentLayers(true);
        s.compression = 1;
        s.image = RleImage({{1, 10, 20}, {0xFF, 30}, {1, 40, 50}, {1, 255, 0}}, 4);
        cases.push_back({"LargeDocument", s, PictureOf(2, 1, {0x0A1E28, 0xFFFFFF})});
    }
    {
        // -128 is a no-op; -2 repeats the next byte three times.
        PsdSpec s;
        s.width = 3;
        s.compression = 1;
        s.image = RleImage({{0x80, 0xFE, 7}, {2, 1, 2, 3}, {0xFE, 9}});
        cases.push_back({"PackBitsCodes", s, PictureOf(3, 1, {0x070109, 0x070209, 0x070309})});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(HandMade, PsdDecodes, testing::ValuesIn(GoodCases()), CaseName<GoodCase>);

class PsdRefuses : public testing::TestWithParam<BadCase> {};

TEST_P(PsdRefuses, WithoutAskingForAPicture) {
    readertest::ExpectRefused(Decode(GetParam().bytes), GetParam().expected);
}

// A valid 2 x 2 RGB file with the header field at `at` (of `bytes` bytes) replaced.
std::vector<uint8_t> WithHeaderField(size_t at, int bytes, uint32_t value, PsdSpec s = Rgb(2, {})) {
    s.height = 2;
    if (s.image.empty()) {
        s.image.assign(12, 0x55);
    }
    std::vector<uint8_t> file = MakePsd(s);
    for (int i = 0; i < bytes; ++i) {
        file.at(at + i) = static_cast<uint8_t>(value >> (8 * (bytes - 1 - i)));
    }
    return file;
}

PsdSpec RleRgb(uint32_t width, const std::vector<std::vector<uint8_t>>& rows) {
    PsdSpec s;
    s.width = width;
    s.compression = 1;
    s.image = RleImage(rows);
    return s;
}

std::vector<BadCase> BadCases() {
    std::vector<BadCase> cases;
    cases.push_back({"Empty", {}, DecodeStatus::UnknownFormat});
    cases.push_back({"WrongSignature", {'8', 'B', 'P', 'X', 0, 1}, DecodeStatus::UnknownFormat});
    {
        std::vector<uint8_t> header = WithHeaderField(4, 2, 1);
        header.resize(25);
        cases.push_back({"ShortHeader", header, DecodeStatus::Corrupt});
        header.resize(26);
        cases.push_back({"HeaderOnly", header, DecodeStatus::Corrupt});
    }
    cases.push_back({"VersionThree", WithHeaderField(4, 2, 3), DecodeStatus::Unsupported});
    cases.push_back({"NoChannels", WithHeaderField(12, 2, 0), DecodeStatus::Corrupt});
    cases.push_back({"TooManyChannels", WithHeaderField(12, 2, 57), DecodeStatus::Corrupt});
    cases.push_back({"TwoChannelRgb", WithHeaderField(12, 2, 2), DecodeStatus::Corrupt});
    cases.push_back({"HeightZero", WithHeaderField(14, 4, 0), DecodeStatus::Corrupt});
    cases.push_back({"WidthZero", WithHeaderField(18, 4, 0), DecodeStatus::Corrupt});
    cases.push_back({"HugeSize", WithHeaderField(14, 4, 40000, Rgb(40000, {0})), DecodeStatus::TooLarge});
    cases.push_back({"HugeHeight", WithHeaderField(14, 4, 0xFFFFFFFFu), DecodeStatus::TooLarge});
    cases.push_back({"DepthSeven", WithHeaderField(22, 2, 7), DecodeStatus::Corrupt});
    cases.push_back({"Depth32", WithHeaderField(22, 2, 32), DecodeStatus::Unsupported});
    cases.push_back({"OneBitRgb", WithHeaderField(22, 2, 1), DecodeStatus::Corrupt});
    cases.push_back({"ModeLab", WithHeaderField(24, 2, 9), DecodeStatus::Unsupported});
    cases.push_back({"ModeMultichannel", WithHeaderField(24, 2, 7), DecodeStatus::Unsupported});
    cases.push_back({"ModeFive", WithHeaderField(24, 2, 5), DecodeStatus::Corrupt});
    cases.push_back({"BitmapOfEightBits", WithHeaderField(24, 2, 0), DecodeStatus::Corrupt});
    cases.push_back({"ColourDataPastEnd", WithHeaderField(26, 4, 0x10000), DecodeStatus::Corrupt});
    cases.push_back({"ResourcesPastEnd", WithHeaderField(30, 4, 0xFFFFFFFFu), DecodeStatus::Corrupt});
    cases.push_back({"LayersPastEnd", WithHeaderField(34, 4, 15), DecodeStatus::Corrupt});
    cases.push_back({"Zip", WithHeaderField(38, 2, 2), DecodeStatus::Unsupported});
    cases.push_back({"UnknownCompression", WithHeaderField(38, 2, 9), DecodeStatus::Corrupt});
    {
        std::vector<uint8_t> file = WithHeaderField(4, 2, 1);
        file.pop_back();
        cases.push_back({"RawOneByteShort", file, DecodeStatus::Corrupt});
    }
    {
        PsdSpec s;
        s.mode = 2;
        s.channels = 1;
        s.colourData.assign(767, 0);
        s.image = {0};
        cases.push_back({"ShortColourTable", MakePsd(s), DecodeStatus::Corrupt});
        s.colourData.assign(768, 0);
        s.depth = 16;
        s.image = {0, 0};
        cases.push_back({"Indexed16", MakePsd(s), DecodeStatus::Corrupt});
    }
    {
        std::vector<uint8_t> file = MakePsd(RleRgb(2, {{1, 1, 2}, {1, 3, 4}, {1, 5, 6}}));
        file.resize(40 + 5); // inside the row counts
        cases.push_back({"RowCountsCutOff", file, DecodeStatus::Corrupt});
    }
    {
        PsdSpec s = RleRgb(2, {{1, 1, 2}, {1, 3, 4}, {1, 5, 6}});
        s.image[1] = 200; // the first row claims more bytes than the file holds
        cases.push_back({"RowCountPastEnd", MakePsd(s), DecodeStatus::Corrupt});
    }
    cases.push_back(
        {"LiteralPastRow", MakePsd(RleRgb(2, {{2, 1, 2, 3}, {1, 3, 4}, {1, 5, 6}})), DecodeStatus::Corrupt});
    cases.push_back(
        {"RepeatPastRow", MakePsd(RleRgb(2, {{0xFD, 1}, {1, 3, 4}, {1, 5, 6}})), DecodeStatus::Corrupt});
    cases.push_back(
        {"RowEndsEarly", MakePsd(RleRgb(2, {{0, 1}, {1, 3, 4}, {1, 5, 6}})), DecodeStatus::Corrupt});
    cases.push_back(
        {"LiteralCutOff", MakePsd(RleRgb(2, {{1, 1}, {1, 3, 4, 0}, {1, 5, 6}})), DecodeStatus::Corrupt});
    cases.push_back(
        {"RepeatWithoutByte", MakePsd(RleRgb(2, {{0xFF}, {1, 3, 4}, {1, 5, 6}})), DecodeStatus::Corrupt});
    cases.push_back({"LastChannelBroken", MakePsd(RleRgb(2, {{1, 1, 2}, {1, 3, 4}, {0x80, 0x80}})),
                     DecodeStatus::Corrupt});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(HandMade, PsdRefuses, testing::ValuesIn(BadCases()), CaseName<BadCase>);

} // namespace
