// The JPEG writer's files, read back with libjpeg and by their markers:
// close to the input, baseline, JFIF, full chroma at quality 90 and above,
// Huffman tables made for the picture, and failures reported.
#include "imaging/isource/encode/JpegWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "imaging/encode/LibjpegReference.h"

namespace {

struct MemorySink : isource::ByteSink {
    std::vector<uint8_t> bytes;
    bool Write(const uint8_t* data, size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
};

// Writes through the C library to a real file; a full device makes it fail.
struct FileSink : isource::ByteSink {
    std::FILE* file;
    explicit FileSink(std::FILE* f) : file(f) {}
    bool Write(const uint8_t* data, size_t size) override {
        return std::fwrite(data, 1, size, file) == size && std::fflush(file) == 0;
    }
};

// A detailed picture: smooth colour fields, an edge and fine texture.
std::vector<uint8_t> Scene(int w, int h, int bpp) {
    std::vector<uint8_t> p(size_t(w) * h * bpp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < bpp; ++c) {
                double v = 120 + 80 * std::sin(x * 0.05 + c * 2) * std::cos(y * 0.04 - c) +
                           ((x / 7 + y / 5) % 2) * 12;
                if (x > w * 2 / 3)
                    v = 255 - v / 2;
                p[(size_t(y) * w + x) * bpp + c] = uint8_t(std::lround(std::fmin(255, std::fmax(0, v))));
            }
    return p;
}

struct Decoded {
    int width = 0, height = 0, components = 0;
    bool jfif = false;
    bool progressive = false;
    std::vector<uint8_t> pixels;
};

bool Decode(const std::vector<uint8_t>& file, Decoded& out) {
    jpeg_decompress_struct cinfo{};
    encode_test::JumpError err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = encode_test::JumpOut;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(file.data()), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    out.jfif = cinfo.saw_JFIF_marker;
    out.progressive = cinfo.progressive_mode;
    jpeg_start_decompress(&cinfo);
    out.width = int(cinfo.output_width);
    out.height = int(cinfo.output_height);
    out.components = cinfo.output_components;
    out.pixels.resize(size_t(out.width) * out.height * out.components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.pixels.data() + size_t(cinfo.output_scanline) * out.width * out.components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    const bool clean = cinfo.err->num_warnings == 0;
    jpeg_destroy_decompress(&cinfo);
    return clean;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    const double mse = sum / double(a.size());
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The segments before the scan: marker code and payload.
struct Segment {
    int marker;
    std::vector<uint8_t> data;
};

std::vector<Segment> Segments(const std::vector<uint8_t>& f) {
    std::vector<Segment> out;
    if (f.size() < 4 || f[0] != 0xFF || f[1] != 0xD8)
        return out;
    size_t i = 2;
    while (i + 4 <= f.size() && f[i] == 0xFF) {
        const int marker = f[i + 1];
        const size_t length = size_t(f[i + 2]) << 8 | f[i + 3];
        if (length < 2 || i + 2 + length > f.size())
            break;
        out.push_back(
            {marker, std::vector<uint8_t>(f.begin() + long(i) + 4, f.begin() + long(i + 2 + length))});
        if (marker == 0xDA)
            break;
        i += 2 + length;
    }
    return out;
}

std::vector<uint8_t> Encode(const std::vector<uint8_t>& pixels, int w, int h, int bpp, int quality) {
    MemorySink sink;
    EXPECT_TRUE(isource::EncodeJpeg(pixels.data(), w, h, w * bpp, bpp, quality, sink));
    return sink.bytes;
}

} // namespace

TEST(JpegWriter, ReadsBackCloseToTheInput) {
    const struct {
        int quality;
        double minPsnr;
    } cases[] = {{100, 45.0}, {95, 40.0}, {90, 38.0}, {75, 32.0}};
    const std::vector<uint8_t> scene = Scene(163, 117, 3);
    for (const auto& c : cases) {
        Decoded d;
        ASSERT_TRUE(Decode(Encode(scene, 163, 117, 3, c.quality), d)) << c.quality;
        ASSERT_EQ(d.width, 163);
        ASSERT_EQ(d.height, 117);
        ASSERT_EQ(d.components, 3);
        EXPECT_GE(Psnr(d.pixels, scene), c.minPsnr) << "quality " << c.quality;
    }
    const std::vector<uint8_t> grey = Scene(64, 33, 1);
    Decoded g;
    ASSERT_TRUE(Decode(Encode(grey, 64, 33, 1, 100), g));
    EXPECT_EQ(g.components, 1);
    EXPECT_GE(Psnr(g.pixels, grey), 45.0);
}

TEST(JpegWriter, FilesAreBaselineJfifWithFullChromaFromQuality90) {
    const std::vector<uint8_t> scene = Scene(80, 64, 3);
    for (int quality : {100, 95, 90, 89, 50}) {
        SCOPED_TRACE(quality);
        const std::vector<uint8_t> file = Encode(scene, 80, 64, 3, quality);
        const std::vector<Segment> segments = Segments(file);
        ASSERT_FALSE(segments.empty());
        EXPECT_EQ(segments.front().marker, 0xE0);
        EXPECT_EQ(std::string(segments.front().data.begin(), segments.front().data.begin() + 5),
                  std::string("JFIF\0", 5));
        int frames = 0;
        for (const Segment& s : segments) {
            // SOF1 to SOF15 (C1-CF but DHT C4, JPG C8, DAC CC) mark other processes.
            const bool otherFrame = s.marker > 0xC0 && s.marker <= 0xCF && s.marker != 0xC4 &&
                                    s.marker != 0xC8 && s.marker != 0xCC;
            EXPECT_FALSE(otherFrame) << std::hex << s.marker;
            if (s.marker != 0xC0)
                continue;
            ++frames;
            ASSERT_EQ(s.data.size(), 6u + 3u * 3u);
            EXPECT_EQ(s.data[0], 8); // 8-bit samples
            const int wantLuma = quality >= 90 ? 0x11 : 0x22;
            EXPECT_EQ(s.data[6 + 1], wantLuma);
            EXPECT_EQ(s.data[9 + 1], 0x11);
            EXPECT_EQ(s.data[12 + 1], 0x11);
        }
        EXPECT_EQ(frames, 1);
        Decoded d;
        ASSERT_TRUE(Decode(file, d));
        EXPECT_TRUE(d.jfif);
        EXPECT_FALSE(d.progressive);
    }
}

TEST(JpegWriter, HuffmanTablesAreMadeForThePicture) {
    // The standard luminance DC table's code counts; an optimised table for a
    // real picture has other counts.
    const uint8_t standardDcCounts[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> file = Encode(Scene(96, 96, 3), 96, 96, 3, 100);
    bool sawLumaDc = false;
    for (const Segment& s : Segments(file)) {
        if (s.marker != 0xC4)
            continue;
        // A DHT segment may hold several tables: class/id, 16 counts, symbols.
        for (size_t i = 0; i + 17 <= s.data.size();) {
            size_t symbols = 0;
            for (int k = 0; k < 16; ++k)
                symbols += s.data[i + 1 + k];
            if (s.data[i] == 0x00) {
                sawLumaDc = true;
                EXPECT_NE(0, std::memcmp(s.data.data() + i + 1, standardDcCounts, 16));
            }
            i += 17 + symbols;
        }
    }
    EXPECT_TRUE(sawLumaDc);
}

TEST(JpegWriter, ReportsWhatCannotBeWritten) {
    std::vector<uint8_t> wide(70000u * 3u, 128);
    MemorySink sink;
    EXPECT_FALSE(
        isource::EncodeJpeg(wide.data(), 70000, 1, 70000 * 3, 3, 90, sink)); // beyond the format's 65500
    EXPECT_FALSE(isource::EncodeJpeg(wide.data(), 0, 1, 3, 3, 90, sink));
    EXPECT_FALSE(isource::EncodeJpeg(wide.data(), 10, 1, 29, 3, 90, sink));
    EXPECT_FALSE(isource::EncodeJpeg(wide.data(), 10, 1, 40, 4, 90, sink));
    EXPECT_FALSE(isource::EncodeJpeg(nullptr, 10, 1, 30, 3, 90, sink));
}

TEST(JpegWriter, ReportsAFullDevice) {
#ifdef _WIN32
    const char* device = "Z:\\dev\\full";
#else
    const char* device = "/dev/full";
#endif
    std::FILE* full = std::fopen(device, "wb");
    if (full == nullptr)
        GTEST_SKIP() << "no full device here";
    FileSink sink(full);
    const std::vector<uint8_t> scene = Scene(200, 150, 3);
    EXPECT_FALSE(isource::EncodeJpeg(scene.data(), 200, 150, 600, 3, 100, sink));
    std::fclose(full);
}

// From quality 90 the tables come from our own statistics pass and the file
// is written in one pass: the same coefficients as libjpeg's optimised file,
// and a few hundred bytes more at most, since our tables also code the
// symbols the picture does not use: 12 more DC, up to 162 more AC symbols.
TEST(JpegWriter, FullChromaFilesHoldLibjpegsCoefficients) {
    const struct {
        int width, height, bpp, quality;
    } cases[] = {
        {163, 117, 3, 100}, {163, 117, 3, 90}, {64, 33, 1, 100}, {64, 33, 1, 40}, {1921, 1081, 3, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.bpp) + " at " +
                     std::to_string(c.quality));
        const encode_test::Picture p{c.width, c.height, c.bpp, Scene(c.width, c.height, c.bpp)};
        const std::vector<uint8_t> ours = Encode(p.pixels, c.width, c.height, c.bpp, c.quality);
        const std::vector<uint8_t> theirs = encode_test::LibjpegOptimised(p, c.quality);
        encode_test::FileContents a, b;
        ASSERT_TRUE(encode_test::ReadFile(ours, a));
        ASSERT_TRUE(encode_test::ReadFile(theirs, b));
        EXPECT_TRUE(a.coefficients == b.coefficients);
        EXPECT_EQ(a.dc[0].size(), 16u + 12u);
        EXPECT_EQ(a.ac[0].size(), 16u + 162u);
        EXPECT_LE(ours.size(), theirs.size() + 2 * (12 + 162) + theirs.size() / 2000);
    }
}

// Below quality 90 (chroma subsampled) libjpeg's own optimisation makes the
// tables: the file is the one libjpeg writes.
TEST(JpegWriter, SubsampledFilesAreLibjpegsOwn) {
    const encode_test::Picture scene{80, 64, 3, Scene(80, 64, 3)};
    for (int quality : {89, 50}) {
        const std::vector<uint8_t> theirs = encode_test::LibjpegOptimised(scene, quality);
        ASSERT_FALSE(theirs.empty());
        EXPECT_TRUE(Encode(scene.pixels, 80, 64, 3, quality) == theirs) << quality;
    }
}
