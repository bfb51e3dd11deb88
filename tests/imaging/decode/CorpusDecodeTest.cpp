// Every file of the shared corpus is recognised by its content, loads or is
// refused as its manifest says, and loads to its reference picture.
#include <gtest/gtest.h>

#include "CorpusFiles.h"
#include "imaging/isource/decode/Decode.h"

using corpus::Entry;
using isource::DecodeStatus;
using isource::ImageFormat;

namespace {

// Formats whose reader is linked into DecodeImage in this build.
bool Decodable(ImageFormat format) {
    switch (format) {
    case ImageFormat::Jpeg:
    case ImageFormat::Png:
    case ImageFormat::Tiff:
        return true;
#ifdef SNAPWELL_HAVE_BMP_READER
    case ImageFormat::Bmp:
        return true;
#endif
#ifdef SNAPWELL_HAVE_PSD_READER
    case ImageFormat::Psd:
        return true;
#endif
    default:
        return false;
    }
}

bool Mentions(const Entry& e, const char* text) {
    return e.notes.find(text) != std::string::npos;
}

// The corpus pictures whose colours the decoder manages (an ICC profile,
// CMYK, a PNG gAMA) have references of their own in sRGB, made by another
// program with the same profiles (data/README.md); the corpus's references
// show their raw samples.
std::string ManagedReference(const Entry& e) {
    const std::string file = e.file == "jpeg_cmyk_no_app14.jpg" ? "jpeg_cmyk_adobe_inverted.jpg" : e.file;
    const std::string path = std::string(SNAPWELL_DECODE_TEST_DATA) + "/managed/" + file + ".png";
    return corpus::ReadBytes(path).empty() ? std::string() : path;
}

// A plain PNG (no colour chunks) as the reference picture.
corpus::Picture ReadReferencePng(const std::string& path) {
    const std::vector<uint8_t> bytes = corpus::ReadBytes(path);
    RecordingSink sink;
    if (isource::DecodeImage(bytes.data(), bytes.size(), sink) != DecodeStatus::Ok)
        return {};
    return sink.Picture();
}

// How close a decode must come to its reference: lossy codecs by PSNR (the
// references come from another build of the same JPEG library), lossless
// ones exactly, except where 16-bit rounding may legitimately move a level.
// Managed colours come within a few levels of the other program's (it works
// in floating point, Little CMS here through 8-bit tables).
struct Tolerance {
    double minPsnr;
    int maxDifference;
};

constexpr int kManagedLevels = 4;

Tolerance ToleranceFor(const Entry& e, bool managed) {
    const bool lossy = e.format == "jpeg" || Mentions(e, "JPEG (Compression=7)");
    if (managed)
        return {lossy ? 35.0 : 0, lossy ? 255 : kManagedLevels};
    if (lossy)
        return {35.0, 255};
    if (Mentions(e, "<=8 level"))
        return {0, 8};
    if (Mentions(e, "<=1") || Mentions(e, "APPROX"))
        return {0, 1};
    return {0, 0};
}

std::string NameOf(const testing::TestParamInfo<Entry>& info) {
    std::string name = info.param.file;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

class CorpusFile : public testing::TestWithParam<Entry> {};

TEST(Corpus, ManifestListsFilesOfEveryDecodedFormat) {
    int jpeg = 0, png = 0, tiff = 0;
    for (const Entry& e : corpus::Manifest()) {
        jpeg += e.format == "jpeg";
        png += e.format == "png";
        tiff += e.format == "tiff";
    }
    EXPECT_GT(jpeg, 10);
    EXPECT_GT(png, 10);
    EXPECT_GT(tiff, 10);
}

TEST_P(CorpusFile, IsRecognisedByItsContent) {
    const Entry& e = GetParam();
    const std::vector<uint8_t> bytes = corpus::ReadBytes(corpus::PathOf(e.file));
    ASSERT_FALSE(bytes.empty() && e.format != "empty") << e.file;
    EXPECT_EQ(isource::GuessFormat(bytes.data(), bytes.size()), corpus::FormatNamed(e.format));
}

TEST_P(CorpusFile, LoadsAsItsManifestSays) {
    const Entry& e = GetParam();
    const ImageFormat format = corpus::FormatNamed(e.format);
    if (!Decodable(format))
        GTEST_SKIP() << "no reader for " << e.format << " in this build";
    const std::vector<uint8_t> bytes = corpus::ReadBytes(corpus::PathOf(e.file));
    RecordingSink sink;
    const DecodeStatus status = isource::DecodeImage(bytes.data(), bytes.size(), sink);
    if (!e.load) {
        EXPECT_NE(status, DecodeStatus::Ok) << e.file;
        return;
    }
    ASSERT_EQ(status, DecodeStatus::Ok) << e.file;
    EXPECT_EQ(sink.m_nCalls, 1);

    // The manifest gives the stored size; the upright picture of an
    // EXIF-turned file has its sides exchanged.
    const bool turned = Mentions(e, "Orientation=6") || Mentions(e, "Orientation=8");
    EXPECT_EQ(sink.m_nWidth, turned ? e.height : e.width);
    EXPECT_EQ(sink.m_nHeight, turned ? e.width : e.height);

    const std::string managed = ManagedReference(e);
    const corpus::Picture ref =
        managed.empty() ? corpus::ReadPpm(corpus::PathOf(e.file + ".ref.ppm")) : ReadReferencePng(managed);
    ASSERT_GT(ref.width, 0) << "no reference for " << e.file;
    ASSERT_EQ(ref.width, sink.m_nWidth);
    ASSERT_EQ(ref.height, sink.m_nHeight);
    const corpus::Picture got = sink.Picture();
    const Tolerance t = ToleranceFor(e, !managed.empty());
    const double psnr = corpus::Psnr(got, ref);
    const int worst = corpus::MaxDifference(got, ref);
    EXPECT_GE(psnr, t.minPsnr) << e.file;
    EXPECT_LE(worst, t.maxDifference) << e.file << " (PSNR " << psnr << ")";
}

INSTANTIATE_TEST_SUITE_P(Manifest, CorpusFile, testing::ValuesIn(corpus::Manifest()), NameOf);

} // namespace
