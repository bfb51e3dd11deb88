// The benchmark's copy job, the same for every tool that runs it: cut the
// widest 16:9 band out of the middle of the picture, scale it to 1920 x 1080
// and write it at quality 100 (what `vips thumbnail ... 1920 --height 1080
// --crop centre` does).
#pragma once

#include <cstdint>
#include <cstdio>

namespace bench {

struct CopyGeometry {
    int32_t left, top, right, bottom; // the cut
    int32_t outWidth, outHeight;
};

constexpr int32_t kOutWidth = 1920;
constexpr int32_t kOutHeight = 1080;
constexpr int32_t kQuality = 100;

constexpr CopyGeometry GeometryFor(int32_t width, int32_t height) {
    const int32_t cutHeight = width * 9 / 16 < height ? width * 9 / 16 : height;
    const int32_t cutWidth = cutHeight * 16 / 9 < width ? cutHeight * 16 / 9 : width;
    const int32_t left = (width - cutWidth) / 2, top = (height - cutHeight) / 2;
    return {left, top, left + cutWidth, top + cutHeight, kOutWidth, kOutHeight};
}

// One result line the driver script reads: "key=value" pairs.
inline void PrintGeometry(const CopyGeometry& g) {
    std::printf("crop_left=%d crop_top=%d crop_width=%d crop_height=%d ", g.left, g.top, g.right - g.left,
                g.bottom - g.top);
}

} // namespace bench
