// The colour benchmark's native half (bench/colour-bench drives it beside
// vips):
//   bench_colour picture <out.ppm>       a 1200 x 800 photo-like picture of
//                                        saturated and muted colours, skin
//                                        tones, shadows and highlights
//   bench_colour p3-profile <out.icc>    Display P3 built from its primaries
//                                        (D65, the sRGB tone curve)
//   bench_colour compare <file> <ref.ppm>
//       decodes the file as the library does and prints the CIEDE2000
//       differences to the reference picture ("mean=.. p99=.. max=..") and
//       the decode time ("ms=..").
#include <lcms2.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/isource/decode/Decode.h"
#include "tests/imaging/decode/DeltaE.h"

namespace {

class Sink : public isource::PixelSink {
public:
    uint8_t* Allocate(int32_t width, int32_t height) override {
        m_nWidth = width;
        m_nHeight = height;
        m_pixels.assign(size_t(width) * size_t(height) * 3, 0);
        return m_pixels.data();
    }
    int32_t m_nWidth = 0, m_nHeight = 0;
    std::vector<uint8_t> m_pixels;
};

std::vector<uint8_t> ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Binary P6 with 8-bit samples; comment lines (vips writes one) are skipped.
bool ReadPpm(const char* path, int& width, int& height, std::vector<uint8_t>& rgb) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    size_t at = 0;
    auto number = [&]() -> long {
        while (at < bytes.size() && (bytes[at] == '#' || std::isspace(bytes[at]))) {
            if (bytes[at] == '#')
                while (at < bytes.size() && bytes[at] != '\n')
                    ++at;
            else
                ++at;
        }
        long v = -1;
        while (at < bytes.size() && std::isdigit(bytes[at]))
            v = (v < 0 ? 0 : v * 10) + (bytes[at++] - '0');
        return v;
    };
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        return false;
    at = 2;
    const long w = number(), h = number(), maxval = number();
    if (w <= 0 || h <= 0 || maxval != 255)
        return false;
    ++at;
    const size_t n = size_t(w) * size_t(h) * 3;
    if (bytes.size() < at + n)
        return false;
    width = int(w);
    height = int(h);
    rgb.assign(bytes.begin() + std::ptrdiff_t(at), bytes.begin() + std::ptrdiff_t(at + n));
    return true;
}

// Hue sweeps across, lightness down, saturation in bands; a band of skin
// tones and a band of greys, and a little noise, as photos have.
int Picture(const char* path) {
    const int w = 1200, h = 800;
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    uint32_t seed = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double hue = 6.0 * x / w, light = 1.0 - double(y % 400) / 420;
            const double saturation = y < 400 ? 1.0 : 0.35 + 0.3 * ((x / 100) % 2);
            double c[3];
            for (int i = 0; i < 3; ++i) {
                const double k = std::fmod(hue + 2.0 * (2 - i), 6.0);
                const double v = std::max(0.0, std::min({k, 4 - k, 1.0}));
                c[i] = light * (1 - saturation + saturation * v);
            }
            if (y >= 700 && y < 740) { // skin tones
                c[0] = 0.55 + 0.4 * x / w, c[1] = 0.40 + 0.3 * x / w, c[2] = 0.30 + 0.25 * x / w;
            } else if (y >= 740) { // greys, black to white
                c[0] = c[1] = c[2] = double(x) / (w - 1);
            }
            for (int i = 0; i < 3; ++i) {
                seed = seed * 1664525u + 1013904223u;
                const double noise = (double(seed >> 24) - 128) / 128 * 1.5;
                rgb[(size_t(y) * w + x) * 3 + size_t(i)] =
                    uint8_t(std::lround(std::fmin(255.0, std::fmax(0.0, 255 * c[i] + noise))));
            }
        }
    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return 1;
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    const bool ok = std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
    return std::fclose(f) == 0 && ok ? 0 : 1;
}

int P3Profile(const char* path) {
    const auto& xy = colourtest::kDisplayP3Primaries;
    const cmsCIExyY white = {xy[0], xy[1], 1.0};
    const cmsCIExyYTRIPLE primaries = {{xy[2], xy[3], 1.0}, {xy[4], xy[5], 1.0}, {xy[6], xy[7], 1.0}};
    const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    cmsMLU* description = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(description, "en", "US", "Display P3");
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, description);
    cmsMLUfree(description);
    const bool ok = cmsSaveProfileToFile(profile, path) != 0;
    cmsCloseProfile(profile);
    return ok ? 0 : 1;
}

int Compare(const char* file, const char* reference) {
    const std::vector<uint8_t> bytes = ReadAll(file);
    Sink sink;
    const auto start = std::chrono::steady_clock::now();
    const isource::DecodeStatus status = isource::DecodeImage(bytes.data(), bytes.size(), sink);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    int w = 0, h = 0;
    std::vector<uint8_t> ref;
    if (status != isource::DecodeStatus::Ok || !ReadPpm(reference, w, h, ref) || w != sink.m_nWidth ||
        h != sink.m_nHeight) {
        std::fprintf(stderr, "bench_colour: %s does not decode to the reference's size\n", file);
        return 1;
    }
    const colourtest::Differences d = colourtest::Compare(sink.m_pixels.data(), ref.data(), size_t(w) * h);
    double worst = 0;
    for (size_t i = 0; i < size_t(w) * h; ++i)
        worst = std::fmax(worst, colourtest::DeltaE2000(colourtest::Lab(&sink.m_pixels[i * 3]),
                                                        colourtest::Lab(&ref[i * 3])));
    std::printf("mean=%.3f p99=%.3f max=%.2f ms=%.1f\n", d.mean, d.p99, worst, ms);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "picture" && argc == 3)
        return Picture(argv[2]);
    if (what == "p3-profile" && argc == 3)
        return P3Profile(argv[2]);
    if (what == "compare" && argc == 4)
        return Compare(argv[2], argv[3]);
    std::fprintf(stderr, "usage: bench_colour picture OUT.ppm | p3-profile OUT.icc | compare FILE REF.ppm\n");
    return 2;
}
