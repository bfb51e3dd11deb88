#include "ReaderTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace readertest {

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool ReadPpm(const std::string& path, Picture& picture) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    // Header: "P6", width, height, maximum, each after white space, then one
    // white-space byte before the samples.
    size_t at = 0;
    auto token = [&]() -> long {
        while (at < bytes.size() &&
               (bytes[at] == ' ' || bytes[at] == '\n' || bytes[at] == '\r' || bytes[at] == '\t')) {
            ++at;
        }
        long value = 0;
        bool digits = false;
        while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9') {
            value = value * 10 + (bytes[at++] - '0');
            digits = true;
        }
        return digits ? value : -1;
    };
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6') {
        return false;
    }
    at = 2;
    const long width = token(), height = token(), maximum = token();
    if (width <= 0 || height <= 0 || maximum != 255 || at >= bytes.size()) {
        return false;
    }
    ++at;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
    if (bytes.size() - at != count) {
        return false;
    }
    picture.width = static_cast<int32_t>(width);
    picture.height = static_cast<int32_t>(height);
    picture.rgb.assign(bytes.begin() + static_cast<long>(at), bytes.end());
    return true;
}

int MaxDifference(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size()) {
        return -1;
    }
    int worst = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        const int d = std::abs(int(a.rgb[i]) - int(b.rgb[i]));
        worst = d > worst ? d : worst;
    }
    return worst;
}

uint8_t* PictureSink::Allocate(int32_t width, int32_t height) {
    ++allocations;
    if (width <= 0 || height <= 0 || uint64_t(width) * uint64_t(height) * 3 > m_nLimit) {
        return nullptr;
    }
    picture.width = width;
    picture.height = height;
    // A marker fill, so pixels a reader forgets to write show in comparisons.
    picture.rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0xA5);
    return picture.rgb.data();
}

Bytes& Bytes::U8(unsigned v) {
    data.push_back(static_cast<uint8_t>(v));
    return *this;
}
Bytes& Bytes::Le16(unsigned v) {
    return U8(v & 0xFF).U8(v >> 8 & 0xFF);
}
Bytes& Bytes::Le32(uint32_t v) {
    return Le16(v & 0xFFFF).Le16(v >> 16);
}
Bytes& Bytes::Be16(unsigned v) {
    return U8(v >> 8 & 0xFF).U8(v & 0xFF);
}
Bytes& Bytes::Be32(uint32_t v) {
    return Be16(v >> 16).Be16(v & 0xFFFF);
}
Bytes& Bytes::Raw(std::initializer_list<uint8_t> bytes) {
    data.insert(data.end(), bytes.begin(), bytes.end());
    return *this;
}
Bytes& Bytes::Raw(const std::vector<uint8_t>& bytes) {
    data.insert(data.end(), bytes.begin(), bytes.end());
    return *this;
}
Bytes& Bytes::Text(const char* text) {
    while (*text != '\0') {
        U8(static_cast<uint8_t>(*text++));
    }
    return *this;
}
Bytes& Bytes::Fill(size_t count, uint8_t value) {
    data.insert(data.end(), count, value);
    return *this;
}

void Bytes::PutLe32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        data.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
    }
}

void Bytes::PutBe32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        data.at(at + i) = static_cast<uint8_t>(v >> (24 - 8 * i));
    }
}

Picture PictureOf(int32_t width, int32_t height, std::initializer_list<uint32_t> rgb) {
    Picture p;
    p.width = width;
    p.height = height;
    for (uint32_t v : rgb) {
        p.rgb.push_back(static_cast<uint8_t>(v >> 16));
        p.rgb.push_back(static_cast<uint8_t>(v >> 8));
        p.rgb.push_back(static_cast<uint8_t>(v));
    }
    return p;
}

} // namespace readertest
