// The image object's rules that need no window or handle: which crops cut,
// the shade of the drop shadow, the form of an extension, the size of a
// picture buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace imaging {

struct TCropRect {
    int32_t nLeft;
    int32_t nTop;
    int32_t nRight;
    int32_t nBottom;
};

// Clamps the crop to a width x height picture (negative left or top to 0,
// right and bottom to the picture's edges) and tells whether it cuts: both
// sides at least 1 and at least one smaller than the picture's.
bool ClampCrop(TCropRect& crop, int32_t nWidth, int32_t nHeight);

// Quarter turns (codes 0 and 2) exchange width and height; the half turn
// (1) keeps them.
constexpr bool TurnExchangesSides(int32_t nCode) {
    return nCode == 0 || nCode == 2;
}
constexpr bool IsTurnCode(int32_t nCode) {
    return nCode >= 0 && nCode <= 2;
}

// Step i of a shadow `nSize` pixels wide: the colour's three bytes scaled by
// 1 - ((size - i) / size)^2 and truncated, black next to the picture and
// close to the colour at the outer edge.
uint32_t ShadeOf(uint32_t nColour, int32_t i, int32_t nSize);

// The extension without one leading dot (".jpg" -> "jpg", "..jpg" ->
// ".jpg", "." -> "").
std::string WithoutLeadingDot(std::string sExtension);

// Bytes of a width x height picture of `nBpp` bytes a pixel, or 0 when the
// size is not positive or would not fit a 32-bit process's address space.
size_t PictureBytes(int32_t nWidth, int32_t nHeight, int32_t nBpp);

// The folder part of a path, up to and including the last separator ("\",
// "/", or the colon of a drive), or "" for a bare file name.
std::string FolderOf(const std::string& sPath);

} // namespace imaging
