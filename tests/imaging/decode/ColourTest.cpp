// Pictures in the wide colour spaces phones and cameras write (Display P3,
// Adobe RGB) arrive in sRGB: through an ICC profile in a PNG iCCP chunk or
// in JPEG APP2 chunks, or through a PNG's gAMA and cHRM. CMYK pictures go
// through their own profile, or without one through the press model of the
// default CMYK profile. The reference is worked out here in double
// precision from the primaries and curves, or from the press model (no
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
#include "imaging/isource/decode/Colour.h"
#include "imaging/isource/decode/Decode.h"
#include "imaging/isource/decode/PressModel.h"

using colourtest::Mat3;
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

// A JPEG at quality 100 of samples in this colour space, every component
// at full resolution, with the profile in APP2 chunks unless it is empty.
std::vector<uint8_t> Jpeg(int width, int height, J_COLOR_SPACE space, std::vector<uint8_t> samples,
                          const std::vector<uint8_t>& profile) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = space == JCS_CMYK ? 4 : 3;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int c = 0; c < cinfo.num_components; ++c)
        cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    if (!profile.empty())
        jpeg_write_icc_profile(&cinfo, profile.data(), unsigned(profile.size()));
    const size_t stride = size_t(width) * size_t(cinfo.input_components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = samples.data() + cinfo.next_scanline * stride;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> file(out, out + outSize);
    free(out);
    return file;
}

// The patches as a JPEG, 4:4:4, with the profile in APP2 chunks.
std::vector<uint8_t> PatchJpeg(const std::vector<uint8_t>& profile) {
    return Jpeg(18, 12, JCS_RGB, Patches(), profile);
}

// 256 inks (0 = none): every mix of four levels of each, 16 x 16.
std::vector<uint8_t> InkPatches() {
    static const uint8_t kLevels[] = {0, 85, 170, 255};
    std::vector<uint8_t> cmyk;
    for (uint8_t c : kLevels)
        for (uint8_t m : kLevels)
            for (uint8_t y : kLevels)
                for (uint8_t k : kLevels)
                    cmyk.insert(cmyk.end(), {c, m, y, k});
    return cmyk;
}

// The inks as an Adobe CMYK JPEG, which stores them inverted (0 = solid).
std::vector<uint8_t> InkJpeg(const std::vector<uint8_t>& profile) {
    std::vector<uint8_t> samples = InkPatches();
    for (uint8_t& v : samples)
        v = uint8_t(255 - v);
    return Jpeg(16, 16, JCS_CMYK, samples, profile);
}

Mat3 Product(const Mat3& a, const Mat3& b) {
    Mat3 m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                m[i][j] += a[i][k] * b[k][j];
    return m;
}

// The inks as the press model prints them, in sRGB as a perceptual
// conversion shows them: relative to the paper, the print's darkest black
// (all four inks solid, taken as a neutral) moved to the screen's black,
// and from the profiles' D50 white to sRGB's D65 by the Bradford transform.
std::vector<uint8_t> PressExpected() {
    const Vec3 d50 = {0.9642, 1.0, 0.8249}, d65 = {0.3127 / 0.3290, 1.0, (1 - 0.3127 - 0.3290) / 0.3290};
    const Mat3 bradford = {{{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}}};
    const Vec3 cone50 = colourtest::Times(bradford, d50), cone65 = colourtest::Times(bradford, d65);
    const Mat3 scale = {
        {{cone65[0] / cone50[0], 0, 0}, {0, cone65[1] / cone50[1], 0}, {0, 0, cone65[2] / cone50[2]}}};
    const Mat3 toSrgb = Product(colourtest::Inverse(colourtest::RgbToXyz(colourtest::kSrgbPrimaries)),
                                Product(colourtest::Inverse(bradford), Product(scale, bradford)));
    const isource::press::Xyz paper = isource::press::Paper();
    const double black = isource::press::Print(1, 1, 1, 1).y / paper.y;
    const std::vector<uint8_t> inks = InkPatches();
    std::vector<uint8_t> out;
    for (size_t i = 0; i < inks.size(); i += 4) {
        const isource::press::Xyz print = isource::press::Print(inks[i] / 255.0, inks[i + 1] / 255.0,
                                                                inks[i + 2] / 255.0, inks[i + 3] / 255.0);
        const Vec3 relative = {print.x / paper.x, print.y / paper.y, print.z / paper.z};
        Vec3 xyz;
        for (int c = 0; c < 3; ++c)
            xyz[c] = d50[c] * (relative[c] - black) / (1 - black);
        const Vec3 linear = colourtest::Times(toSrgb, xyz);
        for (int c = 0; c < 3; ++c)
            out.push_back(
                uint8_t(std::lround(255 * colourtest::LinearToSrgb(std::clamp(linear[c], 0.0, 1.0)))));
    }
    return out;
}

// The naive formula: each ink takes its share of one sRGB primary away.
std::vector<uint8_t> NaiveExpected() {
    const std::vector<uint8_t> inks = InkPatches();
    std::vector<uint8_t> out;
    for (size_t i = 0; i < inks.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            out.push_back(uint8_t(std::lround((255 - inks[i + size_t(c)]) * (255 - inks[i + 3]) / 255.0)));
    return out;
}

cmsInt32Number SampleNaive(const cmsUInt16Number in[], cmsUInt16Number out[], void* toLab) {
    const double k = 1 - in[3] / 65535.0;
    const double rgb[3] = {(1 - in[0] / 65535.0) * k, (1 - in[1] / 65535.0) * k, (1 - in[2] / 65535.0) * k};
    cmsCIELab lab;
    cmsDoTransform(static_cast<cmsHTRANSFORM>(toLab), rgb, &lab, 1);
    cmsFloat2LabEncodedV2(out, &lab);
    return TRUE;
}

// A CMYK profile of the naive formula, as unlike a press as a profile gets.
std::vector<uint8_t> NaiveCmykProfile() {
    cmsHPROFILE srgb = cmsCreate_sRGBProfile(), lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM toLab =
        cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(profile, 2.1);
    cmsSetDeviceClass(profile, cmsSigOutputClass);
    cmsSetColorSpace(profile, cmsSigCmykData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsPipeline* table = cmsPipelineAlloc(nullptr, 4, 3);
    cmsStage* grid = cmsStageAllocCLut16bit(nullptr, 17, 4, 3, nullptr);
    cmsStageSampleCLut16bit(grid, SampleNaive, toLab, 0);
    cmsPipelineInsertStage(table, cmsAT_END, grid);
    cmsWriteTag(profile, cmsSigAToB0Tag, table);
    cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsPipelineFree(table);
    cmsCloseProfile(profile);
    cmsDeleteTransform(toLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(srgb);
    return bytes;
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

TEST(Colour, CmykPicturesGoThroughTheirProfileOrThePressModel) {
    const std::vector<uint8_t> press = PressExpected(), naive = NaiveExpected();
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        const std::vector<uint8_t>& expected;
        const std::vector<uint8_t>& other;
        double meanBound, p99Bound;
    } cases[] = {
        {"CMYK JPEG without a profile: the press model", InkJpeg({}), press, naive, 0.5, 1.5},
        {"CMYK JPEG with its own profile (the naive formula)", InkJpeg(NaiveCmykProfile()), naive, press, 0.5,
         1.5},
    };
    for (const Case& c : cases) {
        RecordingSink sink;
        ASSERT_EQ(isource::DecodeImage(c.file.data(), c.file.size(), sink), DecodeStatus::Ok) << c.what;
        const corpus::Picture got = sink.Picture();
        ASSERT_EQ(got.rgb.size(), c.expected.size()) << c.what;
        const colourtest::Differences d = colourtest::Compare(got.rgb.data(), c.expected.data(), 256);
        EXPECT_LT(d.mean, c.meanBound) << c.what;
        EXPECT_LT(d.p99, c.p99Bound) << c.what;
        EXPECT_GT(colourtest::Compare(c.other.data(), c.expected.data(), 256).p99, 2 * c.p99Bound) << c.what;
    }
}

TEST(Colour, DefaultCmykProfileHoldsThePressModel) {
    // Read back as any colour engine reads it, to Lab relative to the paper.
    const std::vector<uint8_t> icc = isource::DefaultCmykProfile();
    cmsHPROFILE profile = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    ASSERT_NE(profile, nullptr);
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM toLab = cmsCreateTransform(profile, TYPE_CMYK_DBL, lab, TYPE_Lab_DBL,
                                             INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_NOOPTIMIZE);
    ASSERT_NE(toLab, nullptr);
    const isource::press::Xyz paper = isource::press::Paper();
    const cmsCIEXYZ paperXyz = {paper.x, paper.y, paper.z};
    double sum = 0, worst = 0;
    uint32_t seed = 1;
    for (int i = 0; i < 2000; ++i) {
        double inks[4];
        for (double& v : inks) {
            seed = seed * 1664525u + 1013904223u;
            v = double(seed >> 8) / double(1 << 24);
        }
        const double percent[4] = {inks[0] * 100, inks[1] * 100, inks[2] * 100, inks[3] * 100};
        cmsCIELab got, want;
        cmsDoTransform(toLab, percent, &got, 1);
        const isource::press::Xyz print = isource::press::Print(inks[0], inks[1], inks[2], inks[3]);
        const cmsCIEXYZ printXyz = {print.x, print.y, print.z};
        cmsXYZ2Lab(&paperXyz, &want, &printXyz);
        const double e = cmsCIE2000DeltaE(&got, &want, 1, 1, 1);
        sum += e;
        worst = std::max(worst, e);
    }
    EXPECT_LT(sum / 2000, 0.1);
    EXPECT_LT(worst, 0.5);
    cmsDeleteTransform(toLab);
    cmsCloseProfile(lab);
    cmsCloseProfile(profile);
}

} // namespace
