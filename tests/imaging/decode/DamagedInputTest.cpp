// Cut, damaged and hostile files never load: the decoders report a failure
// instead of a partly decoded or papered-over picture, or of a decode that
// would take minutes.
#include <gtest/gtest.h>

#include <string>

#include "CorpusFiles.h"
#include "Patching.h"
#include "imaging/isource/decode/Decode.h"

using isource::DecodeStatus;

namespace {

std::vector<std::string> GoodFilesOfOurFormats() {
    std::vector<std::string> files;
    for (const corpus::Entry& e : corpus::Manifest())
        if (e.load && (e.format == "jpeg" || e.format == "png" || e.format == "tiff"))
            files.push_back(e.file);
    return files;
}

DecodeStatus Decode(const std::vector<uint8_t>& bytes, RecordingSink& sink) {
    return isource::DecodeImage(bytes.data(), bytes.size(), sink);
}

TEST(DamagedInput, EveryCutCopyOfAGoodFileFails) {
    const std::vector<std::string> files = GoodFilesOfOurFormats();
    ASSERT_GT(files.size(), 40u);
    for (const std::string& file : files) {
        const std::vector<uint8_t> whole = corpus::ReadBytes(corpus::PathOf(file));
        ASSERT_GT(whole.size(), 64u) << file;
        // From a few bytes past the signature to one byte short of the end;
        // the tail matters most: the last rows, the end markers, a
        // directory or a value stored at the end of the file.
        std::vector<size_t> cuts = {12, 64, whole.size() / 4, whole.size() / 2, whole.size() * 3 / 4};
        for (size_t back = 1; back <= 24 && back < whole.size(); ++back)
            cuts.push_back(whole.size() - back);
        for (size_t cut : cuts) {
            const std::vector<uint8_t> part(whole.begin(), whole.begin() + cut);
            RecordingSink sink;
            EXPECT_NE(Decode(part, sink), DecodeStatus::Ok)
                << file << " cut to " << cut << " of " << whole.size();
            EXPECT_LE(sink.m_nCalls, 1);
        }
    }
}

TEST(DamagedInput, JpegWithBadEntropyCodedDataFails) {
    const std::vector<uint8_t> good = corpus::ReadBytes(corpus::PathOf("jpeg_baseline_420.jpg"));
    const size_t scan = patch::JpegScanStart(good);
    ASSERT_GT(scan, 0u);
    const size_t middle = scan + (good.size() - scan) / 2;

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        // A run of one bits (stuffed 0xFF 0x00) is no Huffman code at all.
        {"ones", {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}},
        // A restart marker in a file without restart intervals.
        {"marker", {0xFF, 0xD3}},
        // An end-of-image marker halfway through the scan.
        {"early end", {0xFF, 0xD9}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + middle);
        RecordingSink sink;
        EXPECT_EQ(Decode(bad, sink), DecodeStatus::Corrupt) << c.what;
    }
}

TEST(DamagedInput, PngWithDamagedImageDataFails) {
    const std::vector<uint8_t> good = corpus::ReadBytes(corpus::PathOf("png_rgb8.png"));
    const size_t idat = patch::FindPngChunk(good, "IDAT");
    ASSERT_GT(idat, 0u);

    std::vector<uint8_t> badCrc = good;
    badCrc[idat + 100] ^= 0x20;
    std::vector<uint8_t> badData = badCrc; // the same damage under a matching CRC: zlib's check catches it
    patch::FixPngCrc(badData, idat);

    for (const std::vector<uint8_t>* bad : {&badCrc, &badData}) {
        RecordingSink sink;
        EXPECT_EQ(Decode(*bad, sink), DecodeStatus::Corrupt);
    }
}

TEST(DamagedInput, TiffWithDamagedStripsFails) {
    const std::vector<uint8_t> lzw = corpus::ReadBytes(corpus::PathOf("tiff_lzw.tif"));
    // An LZW stream must start with a code the empty table knows.
    std::vector<uint8_t> badCodes = lzw;
    const uint32_t strip = patch::FirstStripOffset(badCodes);
    badCodes[strip] = 0xFF;
    badCodes[strip + 1] = 0xFF;
    badCodes[strip + 2] = 0xFF;
    // A strip said to run past the end of the file.
    std::vector<uint8_t> longStrip = lzw;
    patch::SetTiffEntry(longStrip, patch::FindTiffEntry(longStrip, 279), 4, 0x7FFFFFF);
    // A compression scheme nobody knows.
    std::vector<uint8_t> unknownCodec = lzw;
    patch::SetTiffEntry(unknownCodec, patch::FindTiffEntry(unknownCodec, 259), 3, 4321);

    for (const std::vector<uint8_t>* bad : {&badCodes, &longStrip, &unknownCodec}) {
        RecordingSink sink;
        EXPECT_EQ(Decode(*bad, sink), DecodeStatus::Corrupt);
    }
}

TEST(DamagedInput, JpegOfHundredsOfScansIsRefused) {
    // Legal, but no encoder writes it: each scan costs a walk over every
    // block of the picture, so a small file could keep a decode busy for
    // minutes.
    const std::vector<uint8_t> bytes =
        corpus::ReadBytes(std::string(SNAPWELL_SOURCE_DIR) + "/tests/imaging/decode/data/jpeg_896_scans.jpg");
    ASSERT_EQ(bytes.size(), 9986u);
    RecordingSink sink;
    EXPECT_EQ(Decode(bytes, sink), DecodeStatus::Corrupt);
}

TEST(DamagedInput, BytesOfNoKnownFormatAreRecognisedAsSuch) {
    const std::vector<std::vector<uint8_t>> inputs = {
        {},
        {0xFF},
        {0xFF, 0xD8}, // too short for a JPEG signature
        {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0},
        {'I', 'I', 42, 1},                       // not quite a TIFF header
        {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A}, // cut PNG signature
    };
    for (const auto& bytes : inputs) {
        RecordingSink sink;
        EXPECT_EQ(isource::GuessFormat(bytes.data(), bytes.size()), isource::ImageFormat::Unknown);
        EXPECT_EQ(Decode(bytes, sink), DecodeStatus::UnknownFormat);
        EXPECT_EQ(sink.m_nCalls, 0);
    }
    RecordingSink sink;
    EXPECT_EQ(isource::DecodeImage(nullptr, 0, sink), DecodeStatus::UnknownFormat);
}

TEST(DamagedInput, SignatureWithNothingBehindItFails) {
    const std::vector<std::vector<uint8_t>> inputs = {
        {0xFF, 0xD8, 0xFF, 0xE0},
        {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'},
        {'I', 'I', 42, 0, 8, 0, 0, 0},
        {'M', 'M', 0, 42, 0, 0, 0, 0},
    };
    for (const auto& bytes : inputs) {
        RecordingSink sink;
        EXPECT_EQ(Decode(bytes, sink), DecodeStatus::Corrupt);
        EXPECT_EQ(sink.m_nCalls, 0);
    }
}

} // namespace
