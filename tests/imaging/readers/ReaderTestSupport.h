// Helpers for the reader tests: files and reference pictures from disk, a
// sink that records what the reader asked for, and byte builders for
// hand-made files.
#pragma once

#include "imaging/isource/decode/Decode.h"

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace isource {

inline void PrintTo(DecodeStatus status, std::ostream* os) {
    static const char* const kNames[] = {"Ok",          "UnknownFormat", "Corrupt",
                                         "Unsupported", "TooLarge",      "OutOfMemory"};
    *os << kNames[static_cast<int>(status)];
}

} // namespace isource

namespace readertest {

std::vector<uint8_t> ReadFileBytes(const std::string& path);

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
};

// Binary P6 with 8-bit samples, as the corpus keeps its reference decodes.
bool ReadPpm(const std::string& path, Picture& picture);

// Largest difference of any sample; -1 when the sizes differ.
int MaxDifference(const Picture& a, const Picture& b);

class PictureSink : public isource::PixelSink {
public:
    explicit PictureSink(size_t limitBytes = 64u << 20) : m_nLimit(limitBytes) {}

    uint8_t* Allocate(int32_t width, int32_t height) override;

    Picture picture;
    int allocations = 0;

private:
    size_t m_nLimit;
};

// Appends little- and big-endian fields to a file being made by hand.
class Bytes {
public:
    Bytes& U8(unsigned v);
    Bytes& Le16(unsigned v);
    Bytes& Le32(uint32_t v);
    Bytes& Be16(unsigned v);
    Bytes& Be32(uint32_t v);
    Bytes& Raw(std::initializer_list<uint8_t> bytes);
    Bytes& Raw(const std::vector<uint8_t>& bytes);
    Bytes& Text(const char* text);
    Bytes& Fill(size_t count, uint8_t value);

    void PutLe32(size_t at, uint32_t v);
    void PutBe32(size_t at, uint32_t v);
    size_t size() const { return data.size(); }

    std::vector<uint8_t> data;
};

// A picture given as 0xRRGGBB values, top row first, to state expectations.
Picture PictureOf(int32_t width, int32_t height, std::initializer_list<uint32_t> rgb);

} // namespace readertest
