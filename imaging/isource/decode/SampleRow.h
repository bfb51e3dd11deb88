// Turning one row of decoded samples, as the codec libraries deliver them,
// into packed 8-bit RGB: deep samples are rounded (v * 255 / max, to the
// nearest), alpha is composited on white, CMYK is converted by the plain
// formula R = (1 - C)(1 - K) without colour management.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isource {

class ColourConversion;

enum class ColourModel {
    Grey,           // one sample, 0 = black
    GreyMinIsWhite, // one sample, 0 = white
    Rgb,            // three samples
    Palette,        // one sample indexing the palette
    Cmyk,           // four samples, 0 = no ink
    CmykInverted,   // four samples, 0 = full ink (the Adobe JPEG convention)
};

enum class AlphaKind {
    None,
    Straight,      // colour samples are not multiplied by alpha
    Premultiplied, // colour samples are already multiplied by alpha
};

struct SampleLayout {
    ColourModel model = ColourModel::Rgb;
    int bitsPerSample = 8;   // 1 to 16; 16-bit samples in the host's byte order
    int samplesPerPixel = 3; // samples per pixel in one plane; ignored when planar
    bool planar = false;     // sample s of every pixel is in plane s, one sample per pixel
    AlphaKind alpha = AlphaKind::None;
    int alphaSample = 0;
    // Palette model: red, green, blue triples scaled to paletteMax.
    const uint16_t* palette = nullptr;
    size_t paletteEntries = 0;
    uint32_t paletteMax = 65535;
    // CMYK models: the conversion of 8-bit inks (0 = none) to RGB; null for
    // the plain formula.
    const ColourConversion* cmyk = nullptr;
};

// Number of colour samples a model reads (the alpha sample comes on top).
int ColourSamples(ColourModel model);

// Converts `count` pixels. planes[0] holds the row when the layout is not
// planar; otherwise planes[s] holds sample s (only the samples the model and
// the alpha use are read). Pixel i is written at out + i * outStep.
void ConvertSamples(const SampleLayout& layout, const uint8_t* const* planes, size_t count, uint8_t* out,
                    size_t outStep = 3);

} // namespace isource
