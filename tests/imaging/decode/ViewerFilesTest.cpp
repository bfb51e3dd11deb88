// Files that every photo viewer opens open here too: JPEGs over which
// libjpeg only warns about what lies around the picture (stray bytes before
// a marker, a damaged or outsized EXIF block), PNGs with a damaged colour
// chunk; orientation in a PNG's eXIf chunk is applied; and the facts a copy
// keeps (date taken, camera) are read from every format that carries EXIF,
// leaving location and thumbnail behind.
#include <gtest/gtest.h>
#include <zlib.h>

#include "CorpusFiles.h"
#include "ExifBuilder.h"
#include "Patching.h"
#include "imaging/isource/decode/Decode.h"
#include "imaging/isource/decode/Exif.h"
#include "imaging/isource/decode/Orientation.h"

using isource::DecodeStatus;
using isource::PhotoInfo;

namespace {

corpus::Picture DecodeOk(const std::vector<uint8_t>& bytes, const std::string& what) {
    RecordingSink sink;
    EXPECT_EQ(isource::DecodeImage(bytes.data(), bytes.size(), sink), DecodeStatus::Ok) << what;
    return sink.Picture();
}

std::vector<uint8_t> Insert(std::vector<uint8_t> bytes, size_t at, const std::vector<uint8_t>& more) {
    bytes.insert(bytes.begin() + std::ptrdiff_t(at), more.begin(), more.end());
    return bytes;
}

// A PNG chunk right after IHDR.
std::vector<uint8_t> WithPngChunk(const std::vector<uint8_t>& png, const char* type,
                                  const std::vector<uint8_t>& data) {
    std::vector<uint8_t> chunk(4);
    patch::PutBigEndian(chunk, 0, uint32_t(data.size()), 4);
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(0, chunk.data() + 4, uInt(chunk.size() - 4));
    chunk.resize(chunk.size() + 4);
    patch::PutBigEndian(chunk, chunk.size() - 4, uint32_t(crc), 4);
    return Insert(png, 8 + 25, chunk);
}

const exiftest::Spec kCameraPhoto = [] {
    exiftest::Spec s;
    s.make = "Acme";
    s.model = "Acme Snap 7";
    s.date = "2023:07:14 18:02:33";
    s.offset = "+02:00";
    s.gps = true;
    s.thumbnail = true;
    return s;
}();

void ExpectCameraFacts(const PhotoInfo& info, const std::string& what) {
    EXPECT_EQ(info.dateTimeOriginal, "2023:07:14 18:02:33") << what;
    EXPECT_EQ(info.offsetTimeOriginal, "+02:00") << what;
    EXPECT_EQ(info.make, "Acme") << what;
    EXPECT_EQ(info.model, "Acme Snap 7") << what;
}

TEST(ViewerFiles, JpegsWithWarningsAboutTheirSurroundingsOpen) {
    const std::vector<uint8_t> good = corpus::ReadBytes(corpus::PathOf("jpeg_baseline_420.jpg"));
    const corpus::Picture picture = DecodeOk(good, "the file itself");
    const size_t dqt = patch::FindJpegMarker(good, 0xDB) - 1;
    ASSERT_GT(dqt, 2u);
    const std::vector<uint8_t> junk = {0x00, 0x13, 0x37, 0x42, 0x99, 0x00, 0x01};
    const std::vector<uint8_t> tiff = exiftest::BuildTiff(kCameraPhoto);

    // An EXIF block that fills its segment to the limit, and one continued in
    // a second segment without a header of its own.
    std::vector<uint8_t> full = exiftest::App1Payload(tiff);
    full.resize(65533, 0xAB);
    const std::vector<uint8_t> split = exiftest::WithSegment(
        exiftest::WithSegment(good, 0xE1, std::vector<uint8_t>(tiff.begin() + 40, tiff.end())), 0xE1,
        exiftest::App1Payload(std::vector<uint8_t>(tiff.begin(), tiff.begin() + 40)));
    // A block whose directories point far outside it.
    std::vector<uint8_t> damaged = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0x7F, 1, 0};

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool dated;
    } cases[] = {
        {"junk before the first marker", Insert(good, 2, junk), false},
        {"stray bytes before a marker", Insert(good, dqt, junk), false},
        {"an EXIF block of the largest size", exiftest::WithSegment(good, 0xE1, full), true},
        {"an EXIF block over two segments", split, false},
        {"a damaged EXIF block", exiftest::WithSegment(good, 0xE1, damaged), false},
    };
    for (const Case& c : cases) {
        const corpus::Picture got = DecodeOk(c.bytes, c.what);
        EXPECT_EQ(corpus::MaxDifference(got, picture), 0) << c.what;
        const PhotoInfo info = isource::ReadPhotoInfo(c.bytes.data(), c.bytes.size());
        if (c.dated)
            ExpectCameraFacts(info, c.what);
        else
            EXPECT_TRUE(info.Empty()) << c.what;
    }
}

TEST(ViewerFiles, PngEXifOrientationIsAppliedAndBadColourChunksIgnored) {
    const std::vector<uint8_t> png = corpus::ReadBytes(corpus::PathOf("png_rgb8.png"));
    const corpus::Picture stored = DecodeOk(png, "the file itself");
    for (bool big : {false, true})
        for (int orientation : {3, 6, 8}) {
            exiftest::Spec s = kCameraPhoto;
            s.bigEndian = big;
            s.orientation = orientation;
            const std::vector<uint8_t> turned = WithPngChunk(png, "eXIf", exiftest::BuildTiff(s));
            const std::string what = "eXIf orientation " + std::to_string(orientation);
            const corpus::Picture got = DecodeOk(turned, what);
            const corpus::Picture want = corpus::Upright(stored, orientation);
            ASSERT_EQ(got.width, want.width) << what;
            EXPECT_EQ(corpus::MaxDifference(got, want), 0) << what;
            ExpectCameraFacts(isource::ReadPhotoInfo(turned.data(), turned.size()), what);
        }
    // A profile that does not inflate, and one of another colour space than
    // the samples' (CMYK on RGB): the picture shows as if untagged.
    std::vector<uint8_t> cmykHeader(132, 0);
    std::copy_n("CMYK", 4, cmykHeader.begin() + 16);
    uLongf packedSize = compressBound(uLong(cmykHeader.size()));
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, cmykHeader.data(), uLong(cmykHeader.size()), 9);
    packed.resize(packedSize);
    std::vector<uint8_t> wrongKind = {'x', 0, 0};
    wrongKind.insert(wrongKind.end(), packed.begin(), packed.end());
    for (const auto& bad : {std::vector<uint8_t>{'x', 0, 0, 1, 2, 3, 4, 5, 6}, wrongKind}) {
        const corpus::Picture got = DecodeOk(WithPngChunk(png, "iCCP", bad), "a bad iCCP chunk");
        EXPECT_EQ(corpus::MaxDifference(got, stored), 0);
    }
}

TEST(ViewerFiles, PhotoFactsAreReadFromEveryFormatWithExif) {
    const std::vector<uint8_t> tiff = exiftest::BuildTiff(kCameraPhoto);
    exiftest::Spec bigSpec = kCameraPhoto;
    bigSpec.bigEndian = true;
    const std::vector<uint8_t> bigTiff = exiftest::BuildTiff(bigSpec);
    const std::vector<uint8_t> jpeg = corpus::ReadBytes(corpus::PathOf("jpeg_baseline_420.jpg"));
    const std::vector<uint8_t> png = corpus::ReadBytes(corpus::PathOf("png_rgb8.png"));

    // A PSD: header, no mode data, the EXIF resource (an odd-length name
    // first), no layers, no image data (the reader of facts needs none).
    std::vector<uint8_t> psd = {'8', 'B', 'P', 'S', 0, 1};
    psd.resize(26, 0);
    psd.insert(psd.end(), {0, 0, 0, 0});
    std::vector<uint8_t> resources = {'8', 'B', 'I', 'M', 0x04, 0x22, 1, 'x'};
    resources.resize(resources.size() + 4);
    patch::PutBigEndian(resources, resources.size() - 4, uint32_t(tiff.size()), 4);
    resources.insert(resources.end(), tiff.begin(), tiff.end());
    psd.resize(psd.size() + 4);
    patch::PutBigEndian(psd, psd.size() - 4, uint32_t(resources.size()), 4);
    psd.insert(psd.end(), resources.begin(), resources.end());

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"JPEG, little-endian EXIF", exiftest::WithSegment(jpeg, 0xE1, exiftest::App1Payload(tiff))},
        {"JPEG, big-endian EXIF", exiftest::WithSegment(jpeg, 0xE1, exiftest::App1Payload(bigTiff))},
        {"PNG eXIf", WithPngChunk(png, "eXIf", bigTiff)},
        {"TIFF", tiff},
        {"PSD", psd},
    };
    for (const Case& c : cases) {
        ExpectCameraFacts(isource::ReadPhotoInfo(c.bytes.data(), c.bytes.size()), c.what);
        // However the block is cut, nothing is read outside it (the
        // sanitizers watch) and a date is either whole or absent.
        for (size_t cut = 0; cut < c.bytes.size() && cut < 600; ++cut) {
            const PhotoInfo info = isource::ReadPhotoInfo(c.bytes.data(), cut);
            EXPECT_TRUE(info.dateTimeOriginal.empty() || info.dateTimeOriginal == kCameraPhoto.date);
        }
    }
    // Values that are no dates or offsets are dropped, not copied.
    exiftest::Spec odd = kCameraPhoto;
    odd.date = "    :  :     :  :  ";
    odd.offset = "+2";
    const std::vector<uint8_t> oddTiff = exiftest::BuildTiff(odd);
    const PhotoInfo info = isource::ReadTiffPhotoInfo(oddTiff.data(), oddTiff.size());
    EXPECT_TRUE(info.dateTimeOriginal.empty());
    EXPECT_TRUE(info.offsetTimeOriginal.empty());
    EXPECT_EQ(info.make, "Acme");
}

} // namespace
