// The shared decoder corpus as the tests read it: the manifest, the files,
// the reference decodes, and the measures to compare pictures by.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/isource/decode/Decode.h"

namespace corpus {

struct Entry {
    std::string file;
    std::string format; // jpeg, png, tiff, bmp, psd, empty, unknown
    int width = 0;      // as the header claims, in stored orientation
    int height = 0;
    bool load = false; // else the file must be refused
    std::string notes;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

std::string PathOf(const std::string& file);
std::vector<Entry> Manifest();
std::vector<uint8_t> ReadBytes(const std::string& path);
// A binary P6 file with 8-bit samples; an empty picture when unreadable.
Picture ReadPpm(const std::string& path);

isource::ImageFormat FormatNamed(const std::string& name);

int MaxDifference(const Picture& a, const Picture& b);
double Psnr(const Picture& a, const Picture& b); // 99 for identical pictures

// Reads the picture of the stored pixel that lands at each upright pixel,
// straight from the definition of the eight orientations.
Picture Upright(const Picture& stored, int orientation);

} // namespace corpus

// A sink that keeps what it was asked and hands out a vector, or refuses.
class RecordingSink : public isource::PixelSink {
public:
    explicit RecordingSink(bool refuse = false) : m_bRefuse(refuse) {}
    uint8_t* Allocate(int32_t width, int32_t height) override {
        ++m_nCalls;
        m_nWidth = width;
        m_nHeight = height;
        if (m_bRefuse)
            return nullptr;
        m_vPixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
        return m_vPixels.data();
    }
    corpus::Picture Picture() const { return {m_nWidth, m_nHeight, m_vPixels}; }

    bool m_bRefuse;
    int m_nCalls = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    std::vector<uint8_t> m_vPixels;
};
