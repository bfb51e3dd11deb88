#include "imaging/isource/decode/Colour.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "imaging/isource/pixels/Bands.h"

namespace isource {

namespace {

// Little CMS reports a damaged profile through its context's handler; we
// only want the failed call.
void SilentErrors(cmsContext, cmsUInt32Number, const char*) {}

// One context per conversion, so nothing is shared between decodes but the
// default CMYK conversion, which is made once and never changed.
class Context {
public:
    Context() : m_ctx(cmsCreateContext(nullptr, nullptr)) {
        if (m_ctx)
            cmsSetLogErrorHandlerTHR(m_ctx, SilentErrors);
    }
    ~Context() {
        if (m_ctx)
            cmsDeleteContext(m_ctx);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    cmsContext Get() const { return m_ctx; }

private:
    cmsContext m_ctx;
};

class Profile {
public:
    Profile(cmsHPROFILE profile = nullptr) : m_profile(profile) {}
    ~Profile() {
        if (m_profile)
            cmsCloseProfile(m_profile);
    }
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;
    Profile& operator=(cmsHPROFILE profile) {
        if (m_profile)
            cmsCloseProfile(m_profile);
        m_profile = profile;
        return *this;
    }
    cmsHPROFILE Get() const { return m_profile; }
    cmsHPROFILE Release() {
        cmsHPROFILE profile = m_profile;
        m_profile = nullptr;
        return profile;
    }

private:
    cmsHPROFILE m_profile;
};

// A Little CMS transform with the context it lives in; the transform goes first.
class Transform : public ColourConversion {
public:
    Transform(std::unique_ptr<Context> context, cmsHTRANSFORM transform, size_t inBytes)
        : m_context(std::move(context)), m_transform(transform), m_nInBytes(inBytes) {}
    ~Transform() override { cmsDeleteTransform(m_transform); }

    void ConvertRgb(uint8_t* pixels, size_t count) const override { Run(pixels, count, pixels); }
    void ConvertCmyk(const uint8_t* cmyk, size_t count, uint8_t* rgb) const override { Run(cmyk, count, rgb); }

    // `count` pixels of the transform's input format into packed RGB.
    void Run(const uint8_t* in, size_t count, uint8_t* out) const {
        constexpr size_t kChunk = size_t(1) << 30; // Little CMS counts pixels in 32 bits
        while (count > 0) {
            const size_t n = std::min(count, kChunk);
            cmsDoTransform(m_transform, in, out, cmsUInt32Number(n));
            in += n * m_nInBytes;
            out += n * 3;
            count -= n;
        }
    }

private:
    std::unique_ptr<Context> m_context;
    cmsHTRANSFORM m_transform;
    size_t m_nInBytes;
};

// Grey samples through a grey profile: one sRGB colour per level.
class GreyTable : public ColourConversion {
public:
    explicit GreyTable(const Transform& grey) { grey.Run(Levels().data(), 256, &m_table[0][0]); }
    void ConvertRgb(uint8_t* pixels, size_t count) const override {
        for (size_t i = 0; i < count; ++i, pixels += 3) {
            const uint8_t* colour = m_table[pixels[0]];
            pixels[0] = colour[0], pixels[1] = colour[1], pixels[2] = colour[2];
        }
    }
    void ConvertCmyk(const uint8_t*, size_t, uint8_t*) const override {}

    // True when no level moves by more than one: a grey profile of sRGB's curve.
    bool KeepsLevels() const {
        for (int i = 0; i < 256; ++i)
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(m_table[i][c]) - i) > 1)
                    return false;
        return true;
    }

private:
    static std::vector<uint8_t> Levels() {
        std::vector<uint8_t> levels(256);
        for (int i = 0; i < 256; ++i)
            levels[size_t(i)] = uint8_t(i);
        return levels;
    }
    uint8_t m_table[256][3];
};

// The default conversion, made once, lent to each CMYK decode.
class Borrowed : public ColourConversion {
public:
    explicit Borrowed(const ColourConversion& conversion) : m_conversion(conversion) {}
    void ConvertRgb(uint8_t* pixels, size_t count) const override { m_conversion.ConvertRgb(pixels, count); }
    void ConvertCmyk(const uint8_t* cmyk, size_t count, uint8_t* rgb) const override {
        m_conversion.ConvertCmyk(cmyk, count, rgb);
    }

private:
    const ColourConversion& m_conversion;
};

cmsHPROFILE OpenProfile(cmsContext ctx, const uint8_t* icc, size_t size) {
    if (size < 132 || size > kMaxProfileBytes)
        return nullptr;
    return cmsOpenProfileFromMemTHR(ctx, icc, cmsUInt32Number(size));
}

// A transform from `source` (samples of `format`, `inBytes` a pixel) to
// sRGB, perceptual. Takes the profile over and closes it at once, while the
// context it was made in still lives.
std::unique_ptr<Transform> ToSrgb(std::unique_ptr<Context> context, cmsHPROFILE source, cmsUInt32Number format,
                                  size_t inBytes) {
    cmsHTRANSFORM transform = nullptr;
    {
        Profile input(source);
        Profile srgb(cmsCreate_sRGBProfileTHR(context->Get()));
        if (input.Get() && srgb.Get())
            transform = cmsCreateTransformTHR(context->Get(), input.Get(), format, srgb.Get(), TYPE_RGB_8,
                                              INTENT_PERCEPTUAL, 0);
    }
    if (!transform)
        return nullptr;
    return std::make_unique<Transform>(std::move(context), transform, inBytes);
}

// True when the conversion moves no colour by more than a level: an sRGB
// profile under another name, not worth a pass over the picture.
bool KeepsColours(const ColourConversion& conversion) {
    static const uint8_t kLevels[] = {0, 36, 73, 109, 146, 182, 219, 255};
    uint8_t samples[8 * 8 * 8 * 3];
    uint8_t* p = samples;
    for (uint8_t r : kLevels)
        for (uint8_t g : kLevels)
            for (uint8_t b : kLevels)
                *p++ = r, *p++ = g, *p++ = b;
    uint8_t converted[sizeof samples];
    std::copy(samples, samples + sizeof samples, converted);
    conversion.ConvertRgb(converted, sizeof samples / 3);
    for (size_t i = 0; i < sizeof samples; ++i)
        if (std::abs(int(converted[i]) - int(samples[i])) > 1)
            return false;
    return true;
}

// The conversion for samples of `space` through `profile` (taken over);
// null when the profile is of another colour space or cannot be used.
std::unique_ptr<ColourConversion> Through(std::unique_ptr<Context> context, cmsHPROFILE profile,
                                          SampleSpace space) {
    Profile source(profile);
    if (!source.Get())
        return nullptr;
    const cmsColorSpaceSignature kind = cmsGetColorSpace(source.Get());
    std::unique_ptr<ColourConversion> conversion;
    if (space == SampleSpace::Rgb && kind == cmsSigRgbData) {
        conversion = ToSrgb(std::move(context), source.Release(), TYPE_RGB_8, 3);
        if (conversion && KeepsColours(*conversion))
            return nullptr;
    } else if (space == SampleSpace::Grey && kind == cmsSigGrayData) {
        std::unique_ptr<Transform> grey = ToSrgb(std::move(context), source.Release(), TYPE_GRAY_8, 1);
        if (!grey)
            return nullptr;
        auto table = std::make_unique<GreyTable>(*grey);
        if (!table->KeepsLevels())
            conversion = std::move(table);
    }
    return conversion;
}

// PNG gAMA and cHRM as a profile: the primaries (sRGB's when there is no
// cHRM) under a pure power curve (sRGB's when there is no gAMA).
cmsHPROFILE ProfileFromPng(cmsContext ctx, const ColourTag& tag, SampleSpace space) {
    cmsToneCurve* curve = nullptr;
    if (tag.pngGamma != 0) {
        curve = cmsBuildGamma(ctx, 100000.0 / double(tag.pngGamma));
    } else {
        const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
        curve = cmsBuildParametricToneCurve(ctx, 4, srgb);
    }
    if (!curve)
        return nullptr;
    const double* c = tag.chromaticities;
    const bool chrm = tag.hasChromaticities;
    cmsCIExyY white = {chrm ? c[0] : 0.3127, chrm ? c[1] : 0.3290, 1.0};
    cmsHPROFILE profile = nullptr;
    if (space == SampleSpace::Grey) {
        profile = cmsCreateGrayProfileTHR(ctx, &white, curve);
    } else {
        const cmsCIExyYTRIPLE primaries = {{chrm ? c[2] : 0.64, chrm ? c[3] : 0.33, 1.0},
                                           {chrm ? c[4] : 0.30, chrm ? c[5] : 0.60, 1.0},
                                           {chrm ? c[6] : 0.15, chrm ? c[7] : 0.06, 1.0}};
        cmsToneCurve* curves[3] = {curve, curve, curve};
        profile = cmsCreateRGBProfileTHR(ctx, &white, &primaries, curves);
    }
    cmsFreeToneCurve(curve);
    return profile;
}

// gAMA of 1/2.2 (the value sRGB files carry) with sRGB's primaries, or no
// cHRM, is what every viewer takes for sRGB.
bool PngTagIsSrgb(const ColourTag& tag) {
    if (tag.pngGamma != 0 && (tag.pngGamma < 45000 || tag.pngGamma > 46000))
        return false;
    if (!tag.hasChromaticities)
        return true;
    static const double kSrgb[8] = {0.3127, 0.3290, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06};
    for (int i = 0; i < 8; ++i)
        if (std::abs(tag.chromaticities[i] - kSrgb[i]) > 0.01)
            return false;
    return true;
}

std::unique_ptr<ColourConversion> CmykThrough(const uint8_t* icc, size_t size) {
    auto context = std::make_unique<Context>();
    if (!context->Get())
        return nullptr;
    Profile source(OpenProfile(context->Get(), icc, size));
    if (!source.Get() || cmsGetColorSpace(source.Get()) != cmsSigCmykData)
        return nullptr;
    return ToSrgb(std::move(context), source.Release(), TYPE_CMYK_8, 4);
}

} // namespace

std::unique_ptr<ColourConversion> ColourConversion::ForSamples(const ColourTag& tag, SampleSpace space) {
    if (!tag.icc.empty()) {
        auto context = std::make_unique<Context>();
        if (!context->Get())
            return nullptr;
        cmsHPROFILE profile = OpenProfile(context->Get(), tag.icc.data(), tag.icc.size());
        // A profile that cannot be used counts as none; a PNG's gAMA may
        // still say something.
        if (profile)
            return Through(std::move(context), profile, space);
    }
    if (tag.srgb || (tag.pngGamma == 0 && !tag.hasChromaticities) || PngTagIsSrgb(tag))
        return nullptr;
    // Beyond exponents of 1/100 and 100 a gamma is a damaged chunk.
    if (tag.pngGamma != 0 && (tag.pngGamma < 1000 || tag.pngGamma > 10000000))
        return nullptr;
    // Primaries say nothing about grey samples.
    if (space == SampleSpace::Grey && tag.pngGamma == 0)
        return nullptr;
    auto context = std::make_unique<Context>();
    if (!context->Get())
        return nullptr;
    cmsHPROFILE profile = ProfileFromPng(context->Get(), tag, space);
    return Through(std::move(context), profile, space);
}

std::unique_ptr<ColourConversion> ColourConversion::ForCmyk(const std::vector<uint8_t>& icc) {
    if (!icc.empty()) {
        std::unique_ptr<ColourConversion> own = CmykThrough(icc.data(), icc.size());
        if (own)
            return own;
    }
    // Made on first use and kept for the process; the profile itself is
    // only needed until its transform is made.
    static const std::unique_ptr<ColourConversion> s_default = []() -> std::unique_ptr<ColourConversion> {
        const std::vector<uint8_t> icc = DefaultCmykProfile();
        if (icc.empty())
            return nullptr;
        return CmykThrough(icc.data(), icc.size());
    }();
    if (!s_default)
        return nullptr;
    return std::make_unique<Borrowed>(*s_default);
}

void ColourConversion::ConvertPicture(uint8_t* pixels, int32_t width, int32_t height) const {
    const size_t stride = size_t(width) * 3;
    ForEachBand(height, int64_t(stride) * height, [&](int32_t begin, int32_t end) {
        ConvertRgb(pixels + size_t(begin) * stride, size_t(end - begin) * size_t(width));
    });
}

} // namespace isource
