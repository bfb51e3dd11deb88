// Helpers of the imaging tests under Wine: reference decodes of the corpus,
// whole-file reads and writes.
#pragma once

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace imagingtest {

inline std::string Corpus(const std::string& name) {
    return std::string(SNAPWELL_CORPUS_DIR) + "/" + name;
}

struct Rgb {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
};

// A binary P6 file with 8-bit samples, as the corpus references are.
inline bool ReadPpm(const std::string& path, Rgb& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    int maxval = 0;
    const bool header = std::fscanf(f, "P6 %d %d %d", &out.width, &out.height, &maxval) == 3 &&
                        maxval == 255 && std::fgetc(f) != EOF;
    out.pixels.resize(header ? size_t(out.width) * size_t(out.height) * 3u : 0u);
    const bool body = header && std::fread(out.pixels.data(), 1, out.pixels.size(), f) == out.pixels.size();
    std::fclose(f);
    return body;
}

inline double Psnr(const uint8_t* a, const uint8_t* b, size_t n) {
    double sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * double(n) / sum);
}

inline std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return bytes;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

inline bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace imagingtest
