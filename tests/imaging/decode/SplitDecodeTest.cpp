// A JPEG decoded by two jobs, the second starting at any row, is the same
// picture as one job's, row for row; a cut file fails either way; and every
// decoder stops when its sink says so.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio> // jpeglib.h needs FILE
#include <cstdlib>
#include <string>

#include <jpeglib.h>

#include "CorpusFiles.h"
#include "imaging/isource/decode/Decoders.h"

using isource::DecodeStatus;

namespace {

std::vector<std::string> JpegFiles() {
    std::vector<std::string> files;
    for (const corpus::Entry& e : corpus::Manifest())
        if (e.load && e.format == "jpeg")
            files.push_back(e.file);
    return files;
}

TEST(SplitDecode, SameRowsWhereverTheSecondJobStarts) {
    const std::vector<std::string> files = JpegFiles();
    ASSERT_GE(files.size(), 15u);
    for (const std::string& file : files) {
        const std::vector<uint8_t> bytes = corpus::ReadBytes(corpus::PathOf(file));
        RecordingSink one;
        ASSERT_EQ(isource::DecodeJpeg(bytes.data(), bytes.size(), one), DecodeStatus::Ok) << file;
        // Rows of the file as stored: an EXIF turn swaps the sides after.
        const int32_t rows = std::max(one.m_nWidth, one.m_nHeight);
        for (int32_t start : {0, 1, 8, 13, 16, rows / 2, rows - 8, rows - 1, rows, rows + 100}) {
            RecordingSink two;
            ASSERT_EQ(isource::DecodeJpegSplitAt(bytes.data(), bytes.size(), two, start), DecodeStatus::Ok)
                << file << " from row " << start;
            EXPECT_EQ(two.m_nCalls, 1);
            EXPECT_TRUE(two.m_vPixels == one.m_vPixels) << file << " from row " << start;
        }
    }
}

// A textured picture of `width` x `height` through libjpeg with chroma
// sampled `h` x `v` (a camera's 4:2:2 is 2 x 1).
std::vector<uint8_t> MakeJpeg(int width, int height, int h, int v) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 92, TRUE);
    cinfo.comp_info[0].h_samp_factor = h;
    cinfo.comp_info[0].v_samp_factor = v;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(size_t(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                row[size_t(x) * 3 + c] = uint8_t((x * (c + 1) + y * (3 - c) + ((x ^ y) & 31) * 5) & 0xFF);
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&cinfo, &pointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

// Large enough for DecodeJpeg to take two threads and choose the start by
// their speeds; against the top job decoding every row.
TEST(SplitDecode, LargePicturesOnTwoThreadsAsOnOne) {
    for (const auto& sampling : {std::pair<int, int>{2, 1}, {2, 2}, {1, 2}}) {
        const std::vector<uint8_t> bytes = MakeJpeg(1301, 1003, sampling.first, sampling.second);
        RecordingSink two, one;
        ASSERT_EQ(isource::DecodeJpeg(bytes.data(), bytes.size(), two), DecodeStatus::Ok);
        ASSERT_EQ(isource::DecodeJpegSplitAt(bytes.data(), bytes.size(), one, 1003), DecodeStatus::Ok);
        EXPECT_TRUE(two.m_vPixels == one.m_vPixels) << sampling.first << "x" << sampling.second;
    }
}

TEST(SplitDecode, CutFileFailsWhicheverJobMeetsTheCut) {
    const std::vector<uint8_t> whole = corpus::ReadBytes(corpus::PathOf("jpeg_444.jpg"));
    for (size_t cut : {whole.size() / 3, whole.size() * 2 / 3, whole.size() - 2}) {
        const std::vector<uint8_t> part(whole.begin(), whole.begin() + cut);
        for (int32_t start : {0, 40, 117}) {
            RecordingSink sink;
            EXPECT_NE(isource::DecodeJpegSplitAt(part.data(), part.size(), sink, start), DecodeStatus::Ok)
                << "cut to " << cut << ", second job from row " << start;
        }
    }
}

// Says to stop once it was asked a number of times (from any thread).
class StoppingSink : public RecordingSink {
public:
    explicit StoppingSink(int nAnswers) : m_nAnswers(nAnswers) {}
    bool Cancelled() const override { return m_nAsked++ >= m_nAnswers; }

private:
    const int m_nAnswers;
    mutable std::atomic<int> m_nAsked{0};
};

TEST(SplitDecode, EveryDecoderStopsWhenTheSinkSaysSo) {
    const struct {
        const char* file;
        int32_t splitAt; // -1: one job
    } cases[] = {
        {"jpeg_422.jpg", -1},
        {"jpeg_422.jpg", 0},
        {"jpeg_422.jpg", 64},
        {"png_rgb8.png", -1},
        {"png_interlaced_adam7.png", -1},
        {"tiff_lzw.tif", -1},
        {"tiff_tiled_64.tif", -1},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> bytes = corpus::ReadBytes(corpus::PathOf(c.file));
        ASSERT_FALSE(bytes.empty()) << c.file;
        for (int answers : {0, 1}) {
            StoppingSink sink(answers);
            const DecodeStatus status =
                c.splitAt >= 0 ? isource::DecodeJpegSplitAt(bytes.data(), bytes.size(), sink, c.splitAt)
                               : isource::DecodeImage(bytes.data(), bytes.size(), sink);
            EXPECT_EQ(status, DecodeStatus::Cancelled) << c.file << " " << c.splitAt << " " << answers;
        }
    }
}

} // namespace
