// The benchmark's copy job, the same for every tool that runs it: turn the
// picture 90 degrees right, cut the widest 16:9 band out of the middle of
// the turned picture, scale it to 1920 x 1080 and write it at quality 100.
#pragma once

#include <cstdint>
#include <cstdio>

namespace bench {

struct CopyGeometry {
    int32_t left, top, right, bottom; // crop in the turned picture
    int32_t outWidth, outHeight;
};

constexpr int32_t kOutWidth = 1920;
constexpr int32_t kOutHeight = 1080;
constexpr int32_t kQuality = 100;

// For a picture of width x height before turning.
constexpr CopyGeometry GeometryFor(int32_t width, int32_t height) {
    const int32_t turnedWidth = height, turnedHeight = width;
    const int32_t cropHeight = turnedWidth * 9 / 16 < turnedHeight ? turnedWidth * 9 / 16 : turnedHeight;
    const int32_t top = (turnedHeight - cropHeight) / 2;
    return {0, top, turnedWidth, top + cropHeight, kOutWidth, kOutHeight};
}

// One result line the driver script reads: "key=value" pairs.
inline void PrintGeometry(const CopyGeometry& g) {
    std::printf("crop_left=%d crop_top=%d crop_width=%d crop_height=%d ", g.left, g.top, g.right - g.left,
                g.bottom - g.top);
}

} // namespace bench
