// Pictures in the wide colour spaces phones and cameras write (Display P3,
// Adobe RGB) arrive in sRGB: through an ICC profile in a PNG iCCP chunk or
// in JPEG APP2 chunks, or through a PNG's gAMA and cHRM. The reference is
// worked out here in double precision from the primaries and curves (no
// colour library), and a decode must come within a loose CIEDE2000 bound of
// it, so a conversion that went missing or wrong shows at once. The
// measurement against another program is bench/ColourBench.cpp.
#include <gtest/gtest.h>

#include <cstdio> // jpeglib.h needs FILE
#include <cstdlib>
#include <jpeglib.h>
#include <lcms2.h>
#include <zlib.h>

#include "CorpusFiles.h"
#include "DeltaE.h"
#include "Patching.h"
#include "imaging/isource/decode/Decode.h"

using colourtest::Vec3;
using isource::DecodeStatus;

namespace {

constexpr double kAdobeGamma = 563.0 / 256;

// 216 colours: every mix of six levels, one pixel each, 18 x 12.
std::vector<uint8_t> Patches() {
    static const uint8_t kLevels[] = {0, 40, 90, 140, 200, 255};
    std::vector<uint8_t> rgb;
    for (uint8_t r : kLevels)
        for (uint8_t g : kLevels)
            for (uint8_t b : kLevels)
                rgb.insert(rgb.end(), {r, g, b});
    return rgb;
}

// An RGB profile of these primaries (D65) under one curve, as its bytes.
std::vector<uint8_t> Profile(const std::array<double, 8>& xy, cmsToneCurve* curve) {
    const cmsCIExyY white = {xy[0], xy[1], 1.0};
    const cmsCIExyYTRIPLE primaries = {{xy[2], xy[3], 1.0}, {xy[4], xy[5], 1.0}, {xy[6], xy[7], 1.0}};
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

cmsToneCurve* SrgbCurve() {
    const cmsFloat64Number p[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    return cmsBuildParametricToneCurve(nullptr, 4, p);
}

// The patches as samples of a space with these primaries and this curve
// (from sample to linear light), converted to sRGB the long way.
std::vector<uint8_t> Expected(const std::array<double, 8>& xy, double (*toLinear)(double)) {
    const std::vector<uint8_t> samples = Patches();
    std::vector<uint8_t> out;
    for (size_t i = 0; i < samples.size(); i += 3) {
        const Vec3 linear = {toLinear(samples[i] / 255.0), toLinear(samples[i + 1] / 255.0),
                             toLinear(samples[i + 2] / 255.0)};
        const std::array<uint8_t, 3> srgb = colourtest::LinearToSrgb8(xy, linear);
        out.insert(out.end(), srgb.begin(), srgb.end());
    }
    return out;
}

double AdobeToLinear(double v) {
    return std::pow(v, kAdobeGamma);
}
double GammaOneToLinear(double v) {
    return v;
}

std::vector<uint8_t> BigEndian(uint32_t v) {
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

std::vector<uint8_t> PatchPng(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& chunks) {
    const std::vector<uint8_t> rgb = Patches();
    std::vector<std::vector<uint8_t>> rows;
    for (size_t y = 0; y < 12; ++y)
        rows.emplace_back(rgb.begin() + std::ptrdiff_t(y * 18 * 3), rgb.begin() + std::ptrdiff_t((y + 1) * 18 * 3));
    return patch::BuildPng(18, 12, 8, 2, rows, chunks);
}

std::vector<uint8_t> IccpChunk(const std::vector<uint8_t>& profile) {
    uLongf packedSize = compressBound(uLong(profile.size()));
    std::vector<uint8_t> data = {'p', 0, 0};
    data.resize(3 + packedSize);
    compress2(data.data() + 3, &packedSize, profile.data(), uLong(profile.size()), 9);
    data.resize(3 + packedSize);
    return data;
}

// The patches as a JPEG at quality 100, 4:4:4, with the profile in APP2 chunks.
std::vector<uint8_t> PatchJpeg(const std::vector<uint8_t>& profile) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = 18;
    cinfo.image_height = 12;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int c = 0; c < 3; ++c)
        cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    jpeg_write_icc_profile(&cinfo, profile.data(), unsigned(profile.size()));
    std::vector<uint8_t> rgb = Patches();
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = rgb.data() + cinfo.next_scanline * 18 * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> file(out, out + outSize);
    free(out);
    return file;
}

TEST(Colour, WideGamutPicturesArriveInSrgb) {
    const std::vector<uint8_t> p3 = Profile(colourtest::kDisplayP3Primaries, SrgbCurve());
    const std::vector<uint8_t> adobe = Profile(colourtest::kAdobeRgbPrimaries, cmsBuildGamma(nullptr, kAdobeGamma));
    // cHRM: white, red, green, blue, each x and y times 100000.
    std::vector<uint8_t> adobeChrm;
    for (double v : colourtest::kAdobeRgbPrimaries) {
        const std::vector<uint8_t> b = BigEndian(uint32_t(std::lround(v * 100000)));
        adobeChrm.insert(adobeChrm.end(), b.begin(), b.end());
    }
    const std::vector<uint8_t> p3Expected = Expected(colourtest::kDisplayP3Primaries, colourtest::SrgbToLinear);
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        std::vector<uint8_t> expected;
        double meanBound, p99Bound;
    } cases[] = {
        {"Display P3 PNG (iCCP)", PatchPng({{"iCCP", IccpChunk(p3)}}), p3Expected, 0.2, 1.0},
        {"Adobe RGB PNG (iCCP)", PatchPng({{"iCCP", IccpChunk(adobe)}}),
         Expected(colourtest::kAdobeRgbPrimaries, AdobeToLinear), 0.2, 1.0},
        {"Display P3 JPEG (APP2)", PatchJpeg(p3), p3Expected, 0.5, 1.5},
        {"PNG of linear samples, Adobe RGB primaries (gAMA 1, cHRM)",
         PatchPng({{"gAMA", BigEndian(100000)}, {"cHRM", adobeChrm}}),
         Expected(colourtest::kAdobeRgbPrimaries, GammaOneToLinear), 0.2, 1.0},
    };
    const std::vector<uint8_t> untouched = Patches();
    for (const Case& c : cases) {
        RecordingSink sink;
        ASSERT_EQ(isource::DecodeImage(c.file.data(), c.file.size(), sink), DecodeStatus::Ok) << c.what;
        const corpus::Picture got = sink.Picture();
        ASSERT_EQ(got.rgb.size(), c.expected.size()) << c.what;
        const colourtest::Differences d = colourtest::Compare(got.rgb.data(), c.expected.data(), 216);
        EXPECT_LT(d.mean, c.meanBound) << c.what;
        EXPECT_LT(d.p99, c.p99Bound) << c.what;
        // Taking the samples as sRGB would be far off.
        EXPECT_GT(colourtest::Compare(untouched.data(), c.expected.data(), 216).p99, 2 * c.p99Bound) << c.what;
    }
}

TEST(Colour, SrgbTagsCostNothing) {
    // The sRGB chunk, and gAMA 1/2.2 with sRGB's primaries, are sRGB: the
    // samples arrive as stored.
    std::vector<uint8_t> srgbChrm;
    for (double v : colourtest::kSrgbPrimaries) {
        const std::vector<uint8_t> b = BigEndian(uint32_t(std::lround(v * 100000)));
        srgbChrm.insert(srgbChrm.end(), b.begin(), b.end());
    }
    const std::vector<uint8_t> srgb = Profile(colourtest::kSrgbPrimaries, SrgbCurve());
    for (const auto& file : {PatchPng({{"sRGB", {0}}}), PatchPng({{"gAMA", BigEndian(45455)}, {"cHRM", srgbChrm}}),
                             PatchPng({{"iCCP", IccpChunk(srgb)}})}) {
        RecordingSink sink;
        ASSERT_EQ(isource::DecodeImage(file.data(), file.size(), sink), DecodeStatus::Ok);
        const std::vector<uint8_t> stored = Patches();
        EXPECT_EQ(corpus::MaxDifference(sink.Picture(), corpus::Picture{18, 12, stored}), 0);
    }
}

} // namespace
