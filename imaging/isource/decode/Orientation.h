// The eight orientations a stored picture may have (the values of the EXIF
// and TIFF Orientation tags) and the transforms that make it upright.
#pragma once

#include <cstdint>

namespace isource {

// 1 upright as stored, 2 mirrored left to right, 3 upside down, 4 mirrored
// top to bottom, 5 transposed, 6 needs a quarter turn clockwise, 7
// transverse, 8 needs a quarter turn anticlockwise.
constexpr int kUpright = 1;

constexpr bool IsValidOrientation(int orientation) {
    return orientation >= 1 && orientation <= 8;
}

// Orientations 5 to 8 exchange width and height.
constexpr bool OrientationSwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// Orientations 1 to 4: makes a packed RGB picture upright where it lies.
void OrientInPlace(uint8_t* pixels, int32_t width, int32_t height, int orientation);

// Orientations 5 to 8: writes the upright picture (height x width pixels) of
// the stored width x height picture into `upright`.
void OrientInto(const uint8_t* stored, int32_t width, int32_t height, int orientation, uint8_t* upright);

} // namespace isource
