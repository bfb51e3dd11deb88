// The sink of the reader fuzz targets: it refuses pictures beyond a modest
// size, as a caller short of memory would, and hands out buffers of exactly
// the picture's size, so the sanitizers see any write past the picture.
#pragma once

#include "imaging/isource/decode/Decode.h"

#include <vector>

class FuzzSink : public isource::PixelSink {
public:
    uint8_t* Allocate(int32_t width, int32_t height) override {
        if (m_bAllocated || width <= 0 || height <= 0 ||
            uint64_t(width) * uint64_t(height) * 3 > kLimitBytes) {
            return nullptr;
        }
        m_bAllocated = true;
        m_pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
        return m_pixels.data();
    }

private:
    // Small enough to keep runs fast: RLE bitmaps can claim large pictures
    // in a few bytes, and every accepted picture is filled.
    static constexpr uint64_t kLimitBytes = 4u << 20;
    bool m_bAllocated = false;
    std::vector<uint8_t> m_pixels;
};
