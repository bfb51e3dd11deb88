// Every BMP and PSD file of the shared corpus against its manifest row and
// its reference decode, and truncated copies of each.
#include "ReaderTestSupport.h"

#include "imaging/isource/bmp/BmpReader.h"
#include "imaging/isource/psd/PsdReader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>

namespace {

using isource::DecodeStatus;
using readertest::Picture;
using readertest::PictureSink;

const std::string kCorpus = SNAPWELL_CORPUS_DIR;

struct CorpusFile {
    std::string name;
    std::string format; // "bmp" or "psd"
    int32_t width = 0;
    int32_t height = 0;
    bool load = true;
    std::string notes;
};

std::vector<CorpusFile> ReadManifest() {
    std::vector<CorpusFile> files;
    std::ifstream in(kCorpus + "/MANIFEST.tsv");
    std::string line;
    std::getline(in, line); // column names
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        CorpusFile f;
        std::string width, height, expect;
        std::getline(fields, f.name, '\t');
        std::getline(fields, f.format, '\t');
        std::getline(fields, width, '\t');
        std::getline(fields, height, '\t');
        std::getline(fields, expect, '\t');
        std::getline(fields, f.notes);
        if (f.format != "bmp" && f.format != "psd") {
            continue;
        }
        f.width = std::stoi(width);
        f.height = std::stoi(height);
        f.load = expect == "load";
        files.push_back(f);
    }
    return files;
}

DecodeStatus Decode(const CorpusFile& file, const std::vector<uint8_t>& bytes, size_t size,
                    PictureSink& sink) {
    return file.format == "bmp" ? isource::DecodeBmp(bytes.data(), size, sink)
                                : isource::DecodePsd(bytes.data(), size, sink);
}

std::string TestName(const testing::TestParamInfo<CorpusFile>& info) {
    std::string name;
    for (char c : info.param.name) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

// CMYK documents go through a CMYK profile, and their corpus references
// show the plain formula's colours; the decoder tests keep a reference
// made by another program through the same profile (see their data/README.md).
std::string ManagedReference(const CorpusFile& file) {
    const std::string path = std::string(SNAPWELL_DECODE_TEST_DATA) + "/managed/" + file.name + ".png";
    return readertest::ReadFileBytes(path).empty() ? std::string() : path;
}

bool ReadReference(const CorpusFile& file, Picture& reference) {
    const std::string managed = ManagedReference(file);
    if (managed.empty())
        return readertest::ReadPpm(kCorpus + "/" + file.name + ".ref.ppm", reference);
    // A plain PNG, no colour chunks.
    const std::vector<uint8_t> bytes = readertest::ReadFileBytes(managed);
    PictureSink sink;
    if (isource::DecodeImage(bytes.data(), bytes.size(), sink) != DecodeStatus::Ok)
        return false;
    reference = sink.picture;
    return true;
}

// Files match their reference exactly, but where the manifest allows one
// level: there the reference rounds 16-bit samples its own way, and the
// reader keeps to round(v / 257). Managed CMYK colours come within a few
// levels of the other program's (it works in floating point, Little CMS
// here through 8-bit tables).
int AllowedDifference(const CorpusFile& file) {
    if (!ManagedReference(file).empty())
        return 4;
    return file.notes.find("<=1 level rounding difference allowed") != std::string::npos ? 1 : 0;
}

void PrintTo(const CorpusFile& f, std::ostream* os) {
    *os << f.name;
}

class CorpusReaderTest : public testing::TestWithParam<CorpusFile> {};

TEST(CorpusManifest, ListsBmpAndPsdFiles) {
    // Guards against a missing corpus silently leaving nothing to test.
    const std::vector<CorpusFile> files = ReadManifest();
    int bmp = 0, psd = 0;
    for (const CorpusFile& f : files) {
        (f.format == "bmp" ? bmp : psd) += 1;
    }
    EXPECT_GE(bmp, 16);
    EXPECT_GE(psd, 8);
}

TEST_P(CorpusReaderTest, MatchesManifestAndReference) {
    const CorpusFile& file = GetParam();
    const std::vector<uint8_t> bytes = readertest::ReadFileBytes(kCorpus + "/" + file.name);
    ASSERT_FALSE(bytes.empty());
    PictureSink sink;
    const DecodeStatus status = Decode(file, bytes, bytes.size(), sink);
    if (!file.load) {
        EXPECT_NE(status, DecodeStatus::Ok);
        return;
    }
    ASSERT_EQ(status, DecodeStatus::Ok);
    EXPECT_EQ(sink.allocations, 1);
    EXPECT_EQ(sink.picture.width, file.width);
    EXPECT_EQ(sink.picture.height, file.height);

    Picture reference;
    ASSERT_TRUE(ReadReference(file, reference));
    const int difference = readertest::MaxDifference(sink.picture, reference);
    EXPECT_GE(difference, 0) << "size differs from the reference";
    EXPECT_LE(difference, AllowedDifference(file));
}

TEST_P(CorpusReaderTest, TruncatedCopiesFailWithoutAPicture) {
    const CorpusFile& file = GetParam();
    const std::vector<uint8_t> bytes = readertest::ReadFileBytes(kCorpus + "/" + file.name);
    ASSERT_FALSE(bytes.empty());
    // Every cut inside the headers, a spread through the pixel data, and
    // every one of the last bytes.
    std::vector<size_t> cuts;
    for (size_t n = 0; n < bytes.size() && n < 1200; ++n) {
        cuts.push_back(n);
    }
    for (size_t n = 1200; n < bytes.size(); n += 97) {
        cuts.push_back(n);
    }
    for (size_t back = 1; back <= 24 && back <= bytes.size(); ++back) {
        cuts.push_back(bytes.size() - back);
    }
    for (size_t cut : cuts) {
        // A copy of exactly `cut` bytes, so the sanitizers see any read past it.
        const std::vector<uint8_t> copy(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        PictureSink sink;
        const DecodeStatus status = Decode(file, copy, copy.size(), sink);
        EXPECT_NE(status, DecodeStatus::Ok) << "cut at " << cut << " of " << bytes.size();
        EXPECT_EQ(sink.allocations, 0) << "cut at " << cut << " of " << bytes.size();
    }
}

TEST_P(CorpusReaderTest, RefusingSinkGivesOutOfMemory) {
    const CorpusFile& file = GetParam();
    const std::vector<uint8_t> bytes = readertest::ReadFileBytes(kCorpus + "/" + file.name);
    if (!file.load) {
        GTEST_SKIP();
    }
    PictureSink sink(0);
    EXPECT_EQ(Decode(file, bytes, bytes.size(), sink), DecodeStatus::OutOfMemory);
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusReaderTest, testing::ValuesIn(ReadManifest()), TestName);

} // namespace
