// The orientation a JPEG's EXIF block or a TIFF's Orientation tag gives is
// applied, so every picture arrives upright.
#include <gtest/gtest.h>

#include <random>

#include "CorpusFiles.h"
#include "Patching.h"
#include "imaging/isource/decode/Decode.h"
#include "imaging/isource/decode/Exif.h"
#include "imaging/isource/decode/Orientation.h"

using isource::DecodeStatus;

namespace {

corpus::Picture Decoded(const std::vector<uint8_t>& bytes) {
    RecordingSink sink;
    EXPECT_EQ(isource::DecodeImage(bytes.data(), bytes.size(), sink), DecodeStatus::Ok);
    return sink.Picture();
}

void ExpectSame(const corpus::Picture& got, const corpus::Picture& want, const std::string& what) {
    ASSERT_EQ(got.width, want.width) << what;
    ASSERT_EQ(got.height, want.height) << what;
    EXPECT_EQ(corpus::MaxDifference(got, want), 0) << what;
}

TEST(Orientation, TransformsMatchTheirDefinitions) {
    // Odd sides and more than one block each way, so partial blocks occur.
    corpus::Picture stored{70, 45, std::vector<uint8_t>(70 * 45 * 3)};
    std::mt19937 random(7);
    for (uint8_t& b : stored.rgb)
        b = static_cast<uint8_t>(random());
    for (int o = 1; o <= 8; ++o) {
        corpus::Picture got = stored;
        if (isource::OrientationSwapsSides(o)) {
            got.width = stored.height;
            got.height = stored.width;
            isource::OrientInto(stored.rgb.data(), stored.width, stored.height, o, got.rgb.data());
        } else {
            isource::OrientInPlace(got.rgb.data(), stored.width, stored.height, o);
        }
        ExpectSame(got, corpus::Upright(stored, o), "orientation " + std::to_string(o));
    }
}

TEST(Orientation, ExifTurnsTheCorpusPhotosUpright) {
    // The corpus's own references were made with the orientation applied.
    for (const char* file : {"jpeg_exif_orient6.jpg", "jpeg_exif_orient8.jpg"}) {
        const std::vector<uint8_t> bytes = corpus::ReadBytes(corpus::PathOf(file));
        ExpectSame(Decoded(bytes), corpus::ReadPpm(corpus::PathOf(std::string(file) + ".ref.ppm")), file);
    }
}

TEST(Orientation, EveryExifValueIsApplied) {
    for (const char* file :
         {"jpeg_exif_orient6.jpg", "jpeg_exif_orient8.jpg"}) { // little- and big-endian EXIF
        const std::vector<uint8_t> original = corpus::ReadBytes(corpus::PathOf(file));
        const corpus::Picture stored =
            corpus::ReadPpm(corpus::PathOf(std::string(file) + ".noorient.ref.ppm"));
        ASSERT_GT(stored.width, 0);
        bool bigEndian = false;
        const size_t value = patch::ExifOrientationValue(original, bigEndian);
        ASSERT_GT(value, 0u);
        for (int o = 0; o <= 9; ++o) { // 0 and 9 are no orientation: the picture stays as stored
            std::vector<uint8_t> bytes = original;
            bytes[value] = static_cast<uint8_t>(bigEndian ? 0 : o);
            bytes[value + 1] = static_cast<uint8_t>(bigEndian ? o : 0);
            const int expected = o >= 1 && o <= 8 ? o : 1;
            ExpectSame(Decoded(bytes), corpus::Upright(stored, expected),
                       std::string(file) + " orientation " + std::to_string(o));
        }
    }
}

TEST(Orientation, EveryTiffValueIsApplied) {
    // Strips in either byte order, and tiles.
    for (const char* file : {"tiff_rgb_none_II.tif", "tiff_rgb_none_MM.tif", "tiff_tiled_64.tif"}) {
        const std::vector<uint8_t> original = corpus::ReadBytes(corpus::PathOf(file));
        const corpus::Picture stored = corpus::ReadPpm(corpus::PathOf(std::string(file) + ".ref.ppm"));
        const size_t entry = patch::FindTiffEntry(original, 274);
        ASSERT_GT(entry, 0u) << file;
        for (int o = 1; o <= 8; ++o) {
            std::vector<uint8_t> bytes = original;
            patch::SetTiffEntry(bytes, entry, 3, static_cast<uint32_t>(o));
            ExpectSame(Decoded(bytes), corpus::Upright(stored, o),
                       std::string(file) + " orientation " + std::to_string(o));
        }
    }
}

std::vector<uint8_t> ExifBlock(bool bigEndian, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    std::vector<uint8_t> b = {'E', 'x', 'i', 'f', 0, 0};
    auto put = [&](uint32_t v, int size) {
        for (int i = 0; i < size; ++i)
            b.push_back(static_cast<uint8_t>(bigEndian ? v >> (8 * (size - 1 - i)) : v >> (8 * i)));
    };
    b.push_back(bigEndian ? 'M' : 'I');
    b.push_back(bigEndian ? 'M' : 'I');
    put(42, 2);
    put(8, 4);                                       // IFD0 right after the header
    put(2, 2);                                       // two entries
    put(0x010F, 2), put(2, 2), put(4, 4), put(0, 4); // Make, unrelated
    put(tag, 2), put(type, 2), put(count, 4);
    if (type == 3)
        put(value, 2), put(0, 2);
    else
        put(value, 4);
    put(0, 4);
    return b;
}

TEST(Orientation, ExifBlockReading) {
    struct Case {
        const char* what;
        std::vector<uint8_t> block;
        int expected;
    } cases[] = {
        {"little-endian SHORT", ExifBlock(false, 0x0112, 3, 1, 6), 6},
        {"big-endian SHORT", ExifBlock(true, 0x0112, 3, 1, 8), 8},
        {"LONG", ExifBlock(false, 0x0112, 4, 1, 3), 3},
        {"value out of range", ExifBlock(false, 0x0112, 3, 1, 9), 1},
        {"zero", ExifBlock(true, 0x0112, 3, 1, 0), 1},
        {"count of two", ExifBlock(false, 0x0112, 3, 2, 6), 1},
        {"no orientation entry", ExifBlock(false, 0x0131, 3, 1, 6), 1},
        {"not EXIF", {'X', 'M', 'P', 0, 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isource::ExifOrientation(c.block.data(), c.block.size()), c.expected) << c.what;

    // Every cut of a good block reads as no orientation, never past its end.
    const std::vector<uint8_t> good = ExifBlock(false, 0x0112, 3, 1, 6);
    for (size_t cut = 0; cut + 1 < good.size(); ++cut) {
        const std::vector<uint8_t> part(good.begin(), good.begin() + cut);
        const int o = isource::ExifOrientation(part.data(), part.size());
        EXPECT_TRUE(o == 1 || (o == 6 && cut >= good.size() - 4)) << cut;
    }
    // A directory pointer beyond the block.
    std::vector<uint8_t> far = good;
    far[10] = 0xF0;
    EXPECT_EQ(isource::ExifOrientation(far.data(), far.size()), 1);
}

} // namespace
