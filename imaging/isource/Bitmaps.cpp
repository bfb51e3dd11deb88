// A compatible bitmap for a true-colour screen is a 32-bit section filled on
// the processors; for other devices it is filled in bands of rows through a
// small buffer, so making it never holds a second converted copy of the
// whole picture.
#include "imaging/isource/Bitmaps.h"

#include "imaging/isource/pixels/BitmapRows.h"
#include "imaging/isource/pixels/PixelBuffer.h"
#include "imaging/isource/pixels/Resample.h"
#include "imaging/isource/pixels/Rotate.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

namespace isource {
namespace {

constexpr int32_t kBandBytes = 1 << 20;

BITMAPINFO BitmapInfo(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP MakeSection(const uint8_t* rgb, int32_t width, int32_t height, HDC dc) {
    BITMAPINFO info = BitmapInfo(width, -height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr)
        return bitmap;
    RgbToBitmapRows(rgb, width, height, width * 3, static_cast<uint8_t*>(bits), BitmapRowBytes(width));
    GdiFlush();
    return bitmap;
}

// A 32-bit section in the layout of a true-colour screen: what a compatible
// bitmap holds there, but filled by the processors straight from the
// picture instead of through a conversion by the system, and painted as
// fast.
// Bottom-up, as GetObject describes every section (a top-down one too,
// under Wine), so one made here is told by its description alone.
void FillScreenSection(const uint8_t* rgb, int32_t width, int32_t height, void* bits) {
    uint8_t* lastRow = static_cast<uint8_t*>(bits) + ptrdiff_t(height - 1) * width * 4;
    RgbToBgrxRows(rgb, width, height, width * 3, lastRow, -width * 4);
    GdiFlush();
}

HBITMAP MakeScreenSection(const uint8_t* rgb, int32_t width, int32_t height, HDC dc) {
    BITMAPINFO info = BitmapInfo(width, height);
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr && bits != nullptr)
        FillScreenSection(rgb, width, height, bits);
    return bitmap;
}

bool TrueColourScreen(HDC dc) {
    // A memory context's compatible bitmap takes the form of the bitmap
    // selected into it, so only a window's or the screen's context counts.
    return GetObjectType(dc) == OBJ_DC && GetDeviceCaps(dc, BITSPIXEL) == 32 &&
           GetDeviceCaps(dc, PLANES) == 1 && GetDeviceCaps(dc, TECHNOLOGY) == DT_RASDISPLAY;
}

HBITMAP MakeCompatible(const uint8_t* rgb, int32_t width, int32_t height, HDC dc) {
    if (TrueColourScreen(dc))
        return MakeScreenSection(rgb, width, height, dc);
    const int32_t rowBytes = BitmapRowBytes(width);
    const int32_t bandRows = std::clamp(kBandBytes / rowBytes, 1, height);
    std::unique_ptr<uint8_t[]> band(new (std::nothrow) uint8_t[size_t(bandRows) * size_t(rowBytes)]);
    if (!band)
        return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    if (bitmap == nullptr)
        return nullptr;
    const BITMAPINFO info = BitmapInfo(width, height);
    // Bottom-up scan lines count from the last picture row: rows [y, y + n)
    // are scans [height - y - n, height - y), the lowest row first.
    for (int32_t y = 0; y < height; y += bandRows) {
        const int32_t n = std::min(bandRows, height - y);
        for (int32_t k = 0; k < n; ++k)
            RgbToBitmapRows(rgb + ptrdiff_t(y + n - 1 - k) * width * 3, width, 1, width * 3,
                            band.get() + ptrdiff_t{k} * rowBytes, rowBytes);
        if (SetDIBits(dc, bitmap, UINT(height - y - n), UINT(n), band.get(), &info, DIB_RGB_COLORS) != n) {
            DeleteObject(bitmap);
            return nullptr;
        }
    }
    return bitmap;
}

// Whether `bitmap` is a screen section MakeScreenSection made for a picture
// of this size; its bits then.
void* ScreenSectionBits(HBITMAP bitmap, int32_t width, int32_t height) {
    DIBSECTION section{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof section, &section) != sizeof section)
        return nullptr;
    const BITMAPINFOHEADER& h = section.dsBmih;
    const bool same = h.biWidth == width && h.biHeight == height && h.biBitCount == 32 &&
                      h.biCompression == BI_RGB && section.dsBm.bmBits != nullptr;
    return same ? section.dsBm.bmBits : nullptr;
}

} // namespace

HBITMAP MakeBitmap(const uint8_t* rgb, int32_t width, int32_t height, HDC dc, uint32_t method,
                   HBITMAP reuse) {
    if (rgb == nullptr || width <= 0 || height <= 0 || int64_t{width} * height > INT32_MAX / 4) {
        if (reuse != nullptr)
            DeleteObject(reuse);
        return nullptr;
    }
    HDC screen = nullptr;
    if (dc == nullptr)
        dc = screen = GetDC(nullptr);
    // A bitmap no longer shown takes the new picture when it is what would
    // be made anyway: its memory is mapped already, a fresh one is mapped
    // page by page as it is first written.
    void* bits = method == kIS3BitmapCompatible && TrueColourScreen(dc)
                     ? ScreenSectionBits(reuse, width, height)
                     : nullptr;
    HBITMAP bitmap = nullptr;
    if (bits != nullptr) {
        FillScreenSection(rgb, width, height, bits);
        bitmap = std::exchange(reuse, nullptr);
    } else {
        if (reuse != nullptr)
            DeleteObject(std::exchange(reuse, nullptr));
        bitmap = method == kIS3BitmapDibSection ? MakeSection(rgb, width, height, dc)
                                                : MakeCompatible(rgb, width, height, dc);
    }
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return bitmap;
}

HBITMAP MakeDisplayBitmap(const uint8_t* rgb, int32_t width, int32_t height, int32_t stride, int32_t turn,
                          int32_t outWidth, int32_t outHeight, HDC dc, uint32_t method, HBITMAP reuse) {
    const bool quarter = turn == kTurnRight || turn == kTurnLeft;
    // The picture's size on screen before it is turned.
    const int32_t scaledWidth = quarter ? outHeight : outWidth, scaledHeight = quarter ? outWidth : outHeight;
    const bool valid = (turn == -1 || turn == kTurnRight || turn == kTurnHalf || turn == kTurnLeft) &&
                       ValidLayout(rgb, width, height, stride, 3) && outWidth > 0 && outHeight > 0 &&
                       int64_t{outWidth} * outHeight <= INT32_MAX / 4;
    if (!valid) {
        if (reuse != nullptr)
            DeleteObject(reuse);
        return nullptr;
    }
    const size_t bytes = size_t(outWidth) * size_t(outHeight) * 3u;
    std::unique_ptr<uint8_t[]> scaled, turned;
    const uint8_t* shown = rgb;
    int32_t shownStride = stride;
    if (scaledWidth != width || scaledHeight != height || stride != width * 3) {
        scaled.reset(new (std::nothrow) uint8_t[bytes]);
        if (!scaled || !ResizeImage(rgb, width, height, stride, scaled.get(), scaledWidth, scaledHeight,
                                    scaledWidth * 3, 3, ResampleKernel::Triangle)) {
            if (reuse != nullptr)
                DeleteObject(reuse);
            return nullptr;
        }
        shown = scaled.get();
        shownStride = scaledWidth * 3;
    }
    if (turn != -1) {
        turned.reset(new (std::nothrow) uint8_t[bytes]);
        if (!turned || !RotateImage(shown, scaledWidth, scaledHeight, shownStride, turned.get(), outWidth * 3,
                                    turn, 3)) {
            if (reuse != nullptr)
                DeleteObject(reuse);
            return nullptr;
        }
        shown = turned.get();
        scaled.reset();
    }
    return MakeBitmap(shown, outWidth, outHeight, dc, method, reuse);
}

} // namespace isource
