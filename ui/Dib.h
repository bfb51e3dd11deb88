// How a 32-bit picture stored top row first lies in memory, for making
// sections and reading bitmaps back (GetDIBits, CreateDIBSection).
#pragma once

#include <windows.h>

namespace ui {

inline BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

} // namespace ui
