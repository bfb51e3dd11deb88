#include "ui/Glyphs.h"

#include "ui/Handles.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ui {

UniqueBitmap LoadGlyphStrip(HINSTANCE module, int resourceId) {
    return UniqueBitmap(static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

UniqueImageList LoadGlyphList(HINSTANCE module, int resourceId, int glyphSize, COLORREF maskColour) {
    // The list takes its own copy of the pixels; adding with a mask colour
    // blackens that colour in the bitmap handed over, so it gets its own.
    const UniqueBitmap strip = LoadGlyphStrip(module, resourceId);
    if (!strip)
        return {};
    BITMAP info{};
    GetObjectA(strip.Get(), sizeof info, &info);
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
