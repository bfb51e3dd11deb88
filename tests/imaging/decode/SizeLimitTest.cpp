// Pictures too large for a 32-bit process are refused from their headers,
// before anything is allocated; pictures the sink will not hold fail
// without a second try.
#include <gtest/gtest.h>

#include "CorpusFiles.h"
#include "Patching.h"
#include "imaging/isource/decode/Decode.h"

using isource::DecodeStatus;

namespace {

struct Declared {
    uint32_t width, height;
    DecodeStatus expected;
};

// width * height * 3 is at most 0x7FFFFFFF: 30000 x 23860 fits, 30000 x 23861 does not.
const Declared kSizes[] = {
    {30000, 23861, DecodeStatus::TooLarge},
    {23861, 30000, DecodeStatus::TooLarge},
    {60000, 60000, DecodeStatus::TooLarge},
    {30000, 23860, DecodeStatus::OutOfMemory}, // allowed, so the (refusing) sink is asked
};

void ExpectRefusal(const std::vector<uint8_t>& bytes, const Declared& d, const char* what) {
    RecordingSink sink(/*refuse=*/true);
    EXPECT_EQ(isource::DecodeImage(bytes.data(), bytes.size(), sink), d.expected)
        << what << " " << d.width << " x " << d.height;
    if (d.expected == DecodeStatus::TooLarge) {
        EXPECT_EQ(sink.m_nCalls, 0) << what;
    } else {
        EXPECT_EQ(sink.m_nCalls, 1) << what;
        EXPECT_EQ(sink.m_nWidth, static_cast<int32_t>(d.width));
        EXPECT_EQ(sink.m_nHeight, static_cast<int32_t>(d.height));
    }
}

TEST(SizeLimit, PngHeaderSizes) {
    const std::vector<uint8_t> tiny = corpus::ReadBytes(corpus::PathOf("tiny_1x1.png"));
    const size_t ihdr = patch::FindPngChunk(tiny, "IHDR");
    ASSERT_GT(ihdr, 0u);
    for (const Declared& d : kSizes) {
        std::vector<uint8_t> big = tiny;
        patch::PutBigEndian(big, ihdr, d.width, 4);
        patch::PutBigEndian(big, ihdr + 4, d.height, 4);
        patch::FixPngCrc(big, ihdr);
        ExpectRefusal(big, d, "png");
    }
}

TEST(SizeLimit, PngRowsLargerThanAnyPictureAreRefused) {
    // 500 000 000 x 1 passes the picture rule (1.5 GB), but as 16-bit RGBA
    // each row takes 4 GB before it becomes RGB.
    std::vector<uint8_t> wide = corpus::ReadBytes(corpus::PathOf("tiny_1x1.png"));
    const size_t ihdr = patch::FindPngChunk(wide, "IHDR");
    ASSERT_GT(ihdr, 0u);
    patch::PutBigEndian(wide, ihdr, 500000000, 4);
    wide[ihdr + 8] = 16; // bit depth
    wide[ihdr + 9] = 6;  // RGBA
    patch::FixPngCrc(wide, ihdr);
    ExpectRefusal(wide, {500000000, 1, DecodeStatus::TooLarge}, "png");
}

TEST(SizeLimit, JpegFrameSizes) {
    const std::vector<uint8_t> tiny = corpus::ReadBytes(corpus::PathOf("tiny_1x1.jpg"));
    const size_t sof = patch::FindJpegMarker(tiny, 0xC0);
    ASSERT_GT(sof, 0u);
    for (const Declared& d : kSizes) {
        if (d.width > 65535 || d.height > 65535)
            continue; // a JPEG frame cannot declare it
        std::vector<uint8_t> big = tiny;
        patch::PutBigEndian(big, sof + 4, d.height, 2);
        patch::PutBigEndian(big, sof + 6, d.width, 2);
        ExpectRefusal(big, d, "jpeg");
    }
}

TEST(SizeLimit, TiffDirectorySizes) {
    const std::vector<uint8_t> wide = corpus::ReadBytes(corpus::PathOf("wide_1000x1.tif"));
    for (const Declared& d : kSizes) {
        std::vector<uint8_t> big = wide;
        patch::SetTiffEntry(big, patch::FindTiffEntry(big, 256), 4, d.width);
        patch::SetTiffEntry(big, patch::FindTiffEntry(big, 257), 4, d.height);
        patch::SetTiffEntry(big, patch::FindTiffEntry(big, 278), 4, d.height); // still one strip
        ExpectRefusal(big, d, "tiff");
    }
}

TEST(SizeLimit, TurnedJpegAsksForTheUprightSize) {
    // The orientation is known before the sink is asked, so it is asked once,
    // with the sides exchanged.
    const std::vector<uint8_t> bytes = corpus::ReadBytes(corpus::PathOf("jpeg_exif_orient6.jpg"));
    RecordingSink sink(/*refuse=*/true);
    EXPECT_EQ(isource::DecodeImage(bytes.data(), bytes.size(), sink), DecodeStatus::OutOfMemory);
    EXPECT_EQ(sink.m_nCalls, 1);
    EXPECT_EQ(sink.m_nWidth, 160);
    EXPECT_EQ(sink.m_nHeight, 120);
}

} // namespace
