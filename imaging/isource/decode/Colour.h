// Colour management of decoded pictures through Little CMS: samples in the
// colours a file's ICC profile (or a PNG's gAMA and cHRM) describes are
// converted to sRGB with the perceptual intent, so that the picture shown
// and the copy written look as the file's maker meant on any screen or
// photo frame that assumes sRGB. CMYK samples always go through a profile:
// the file's own, or our default press profile (offset on coated paper,
// DefaultCmykProfile.cpp) when it has none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace isource {

// What a file says about the colours of its samples.
struct ColourTag {
    std::vector<uint8_t> icc; // an embedded ICC profile; empty when none
    bool srgb = false;        // a PNG sRGB chunk: the samples are sRGB already
    uint32_t pngGamma = 0;    // a PNG gAMA chunk (the file's gamma x 100000); 0 when none
    bool hasChromaticities = false;
    // A PNG cHRM chunk: white, red, green, blue as x, y pairs.
    double chromaticities[8] = {};
};

// The decoded samples a conversion gets: RGB triples, or grey ones (R = G = B).
enum class SampleSpace { Rgb, Grey };

// Profiles larger than this are ignored (the largest real ones, CMYK press
// profiles with every intent, take about 4 MB).
constexpr size_t kMaxProfileBytes = 16u << 20;

// One conversion to sRGB, made once per picture. Its calls keep no state,
// so several threads may convert parts of one picture at once.
class ColourConversion {
public:
    // For RGB or grey samples: null when nothing is to be done (no tag, an
    // sRGB tag or profile, a profile of another colour space than the
    // samples', or one Little CMS cannot use).
    static std::unique_ptr<ColourConversion> ForSamples(const ColourTag& tag, SampleSpace space);
    // For CMYK samples (0 = no ink): through the embedded profile when it
    // is a usable CMYK one, else through the default profile. Null only when
    // no conversion could be made at all (out of memory).
    static std::unique_ptr<ColourConversion> ForCmyk(const std::vector<uint8_t>& icc);

    virtual ~ColourConversion() = default;

    // Converts packed 8-bit RGB in place (RGB and grey conversions).
    virtual void ConvertRgb(uint8_t* pixels, size_t count) const = 0;
    // Converts packed 8-bit CMYK (0 = no ink) into packed RGB (CMYK ones).
    virtual void ConvertCmyk(const uint8_t* cmyk, size_t count, uint8_t* rgb) const = 0;

    // Converts a whole packed RGB picture in place, in bands on the processors.
    void ConvertPicture(uint8_t* pixels, int32_t width, int32_t height) const;
};

// The default CMYK profile's bytes, made anew on each call (tens of
// milliseconds); empty only when out of memory.
std::vector<uint8_t> DefaultCmykProfile();

} // namespace isource
