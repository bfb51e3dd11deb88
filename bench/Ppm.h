// Binary PPM (P6, 8-bit) files: the lossless exchange format between the
// benchmark programs, vips and ImageMagick.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

struct RgbPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels; // R, G, B, rows packed
};

// The next header number, skipping white space and "#" comments (vips
// writes one).
inline bool HeaderNumber(std::FILE* f, int& value) {
    int c = std::fgetc(f);
    while (c == '#' || c == ' ' || c == '\n' || c == '\r' || c == '\t') {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = std::fgetc(f);
        c = std::fgetc(f);
    }
    if (c < '0' || c > '9')
        return false;
    value = 0;
    for (; c >= '0' && c <= '9'; c = std::fgetc(f))
        value = value * 10 + (c - '0');
    return c != EOF; // the single white-space byte after the number is consumed
}

inline bool ReadPpm(const std::string& path, RgbPicture& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    int maxval = 0;
    bool ok = std::fgetc(f) == 'P' && std::fgetc(f) == '6' && HeaderNumber(f, out.width) &&
              HeaderNumber(f, out.height) && HeaderNumber(f, maxval) && maxval == 255 && out.width > 0 &&
              out.height > 0;
    if (ok) {
        out.pixels.resize(size_t(out.width) * size_t(out.height) * 3u);
        ok = std::fread(out.pixels.data(), 1, out.pixels.size(), f) == out.pixels.size();
    }
    std::fclose(f);
    return ok;
}

inline bool WritePpm(const std::string& path, const RgbPicture& picture) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", picture.width, picture.height);
    const bool ok = std::fwrite(picture.pixels.data(), 1, picture.pixels.size(), f) == picture.pixels.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace bench
