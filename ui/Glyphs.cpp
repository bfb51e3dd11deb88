#include "ui/Glyphs.h"

#include "ui/Dib.h"
#include "ui/Dpi.h"
#include "ui/Handles.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ui {

namespace {

// DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
uint32_t DibColour(COLORREF c) {
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// A 32-bit top-down section of `width` x `height` holding `pixels`.
UniqueBitmap SectionOf(const std::vector<uint32_t>& pixels, int width, int height) {
    BITMAPINFO bi = TopDownInfo(width, height);
    void* bits = nullptr;
    UniqueBitmap section(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (section)
        std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(bits));
    return section;
}

// The pixels of a bitmap, top-down, 0x00RRGGBB; empty when unreadable.
std::vector<uint32_t> PixelsOf(HBITMAP bitmap, int& width, int& height) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return {};
    width = info.bmWidth;
    height = info.bmHeight;
    BITMAPINFO bi = TopDownInfo(width, height);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    WindowDC screen(nullptr);
    if (!GetDIBits(screen.Get(), bitmap, 0, height, pixels.data(), &bi, DIB_RGB_COLORS))
        return {};
    for (uint32_t& p : pixels)
        p &= 0x00FFFFFF;
    return pixels;
}

} // namespace

UniqueBitmap LoadGlyphStrip(HINSTANCE module, int resourceId, int glyphSize, COLORREF maskColour,
                            int scaledSize) {
    UniqueBitmap strip(static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip || glyphSize <= 0 || scaledSize <= 0 || scaledSize == glyphSize)
        return strip;
    int width = 0, height = 0;
    const std::vector<uint32_t> pixels = PixelsOf(strip.Get(), width, height);
    if (pixels.empty() || height != glyphSize)
        return strip; // not a strip of square glyphs: shown as drawn
    const int count = width / glyphSize;
    const std::vector<uint32_t> scaled =
        ScaleGlyphStrip(pixels, glyphSize, count, scaledSize, DibColour(maskColour));
    if (scaled.empty())
        return strip;
    return SectionOf(scaled, count * scaledSize, scaledSize);
}

UniqueImageList LoadGlyphList(HINSTANCE module, int resourceId, int glyphSize, COLORREF maskColour,
                              int scaledSize) {
    // The list takes its own copy of the pixels; adding with a mask colour
    // blackens that colour in the bitmap handed over, so it gets its own.
    const UniqueBitmap strip = LoadGlyphStrip(module, resourceId, glyphSize, maskColour, scaledSize);
    if (!strip)
        return {};
    BITMAP info{};
    GetObjectA(strip.Get(), sizeof info, &info);
    if (scaledSize > 0)
        glyphSize = info.bmHeight; // the glyphs are square, scaled or not
    const int count = glyphSize > 0 ? info.bmWidth / glyphSize : 0;
    UniqueImageList list(ImageList_Create(glyphSize, glyphSize, ILC_COLOR24 | ILC_MASK, count, 0));
    if (list && ImageList_AddMasked(list.Get(), strip.Get(), maskColour) < 0)
        return {};
    return list;
}

UniqueBitmap OnBackground(HBITMAP bitmap, COLORREF maskColour, COLORREF background) {
    if (!bitmap)
        return {};
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info))
        return {};
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = -info.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    WindowDC screen(nullptr);
    if (!GetDIBits(screen.Get(), bitmap, 0, info.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS))
        return {};
    // DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
    const auto dib = [](COLORREF c) {
        return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
    };
    for (uint32_t& p : pixels)
        if ((p & 0x00FFFFFF) == dib(maskColour))
            p = dib(background);
    void* bits = nullptr;
    UniqueBitmap copy(CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (copy)
        std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(bits));
    return copy;
}

} // namespace ui
