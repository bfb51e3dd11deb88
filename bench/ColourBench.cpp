// The colour benchmark's native half (bench/colour-bench drives it beside
// vips):
//   bench_colour picture <out.ppm>       a 1200 x 800 photo-like picture of
//                                        saturated and muted colours, skin
//                                        tones, shadows and highlights
//   bench_colour p3-profile <out.icc>    Display P3 built from its primaries
//                                        (D65, the sRGB tone curve)
//   bench_colour cmyk-profile <out.icc>  the library's default CMYK profile
//   bench_colour cmyk-patches <out.raw>  36 x 36 CMYK patches, every mix of
//                                        six levels of each ink, as raw bytes
//   bench_colour press-model <data.ti3>  the press model behind the default
//       CMYK profile against a characterization data set (CGATS, CMYK and
//       XYZ fields): CIEDE2000 of each patch, both relative to the paper
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
#include <sstream>
#include <string>
#include <vector>

#include "imaging/isource/decode/Colour.h"
#include "imaging/isource/decode/Decode.h"
#include "imaging/isource/decode/PressModel.h"
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

bool WriteAll(const char* path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

int CmykProfile(const char* path) {
    const std::vector<uint8_t> icc = isource::DefaultCmykProfile();
    return !icc.empty() && WriteAll(path, icc) ? 0 : 1;
}

int CmykPatches(const char* path) {
    std::vector<uint8_t> cmyk;
    for (int c = 0; c < 6; ++c)
        for (int m = 0; m < 6; ++m)
            for (int y = 0; y < 6; ++y)
                for (int k = 0; k < 6; ++k)
                    cmyk.insert(cmyk.end(),
                                {uint8_t(51 * c), uint8_t(51 * m), uint8_t(51 * y), uint8_t(51 * k)});
    return WriteAll(path, cmyk) ? 0 : 1;
}

colourtest::Vec3 LabOf(const isource::press::Xyz& xyz, const isource::press::Xyz& white) {
    auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    const double fx = f(xyz.x / white.x), fy = f(xyz.y / white.y), fz = f(xyz.z / white.z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

// Reads the data set's CMYK and XYZ columns (percentages; XYZ with the
// perfect diffuser at 100) and compares each patch with the model.
int PressModel(const char* path) {
    std::ifstream in(path);
    std::string line;
    std::vector<std::string> fields;
    bool data = false;
    std::vector<double> errors;
    isource::press::Xyz paper = {0, 0, 0};
    struct Patch {
        double cmyk[4];
        isource::press::Xyz xyz;
    };
    std::vector<Patch> patches;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first == "BEGIN_DATA_FORMAT") {
            for (std::string field; std::getline(in, line) && line.rfind("END_DATA_FORMAT", 0) != 0;) {
                std::istringstream names(line);
                while (names >> field)
                    fields.push_back(field);
            }
        } else if (first == "BEGIN_DATA") {
            data = true;
        } else if (first == "END_DATA") {
            data = false;
        } else if (data && !first.empty()) {
            std::vector<std::string> values = {first};
            for (std::string v; words >> v;)
                values.push_back(v);
            auto get = [&](const char* name) {
                for (size_t i = 0; i < fields.size() && i < values.size(); ++i)
                    if (fields[i] == name)
                        return std::stod(values[i]);
                return -1.0;
            };
            Patch p = {{get("CMYK_C") / 100, get("CMYK_M") / 100, get("CMYK_Y") / 100, get("CMYK_K") / 100},
                       {get("XYZ_X") / 100, get("XYZ_Y") / 100, get("XYZ_Z") / 100}};
            if (p.cmyk[0] < 0 || p.xyz.y < 0) {
                std::fprintf(stderr, "bench_colour: %s has no CMYK_* and XYZ_* fields\n", path);
                return 1;
            }
            if (p.cmyk[0] == 0 && p.cmyk[1] == 0 && p.cmyk[2] == 0 && p.cmyk[3] == 0)
                paper = p.xyz;
            patches.push_back(p);
        }
    }
    if (patches.empty() || paper.y <= 0) {
        std::fprintf(stderr, "bench_colour: no patches (or no paper) in %s\n", path);
        return 1;
    }
    const isource::press::Xyz modelPaper = isource::press::Paper();
    for (const Patch& p : patches)
        errors.push_back(colourtest::DeltaE2000(
            LabOf(isource::press::Print(p.cmyk[0], p.cmyk[1], p.cmyk[2], p.cmyk[3]), modelPaper),
            LabOf(p.xyz, paper)));
    std::sort(errors.begin(), errors.end());
    double sum = 0;
    for (double e : errors)
        sum += e;
    std::printf("patches=%zu mean=%.3f p99=%.3f max=%.2f\n", errors.size(), sum / double(errors.size()),
                errors[std::min(errors.size() - 1, errors.size() * 99 / 100)], errors.back());
    return 0;
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
    if (what == "cmyk-profile" && argc == 3)
        return CmykProfile(argv[2]);
    if (what == "cmyk-patches" && argc == 3)
        return CmykPatches(argv[2]);
    if (what == "press-model" && argc == 3)
        return PressModel(argv[2]);
    if (what == "compare" && argc == 4)
        return Compare(argv[2], argv[3]);
    std::fprintf(stderr, "usage: bench_colour picture OUT.ppm | p3-profile OUT.icc | cmyk-profile OUT.icc | "
                         "cmyk-patches OUT.raw | press-model DATA.ti3 | compare FILE REF.ppm\n");
    return 2;
}
