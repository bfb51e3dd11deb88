// Glyph strips from a module's bitmap resources: square glyphs side by side
// in one 24-bit bitmap, one colour standing for "transparent".
#pragma once

#include "ui/Handles.h"

#include <windows.h>
#include <commctrl.h>

namespace ui {

// An image list of the strip's glyphs, or none when the resource is missing.
UniqueImageList LoadGlyphList(HINSTANCE module, int resourceId, int glyphSize, COLORREF maskColour);

// The strip as a device-independent bitmap, or none.
UniqueBitmap LoadGlyphStrip(HINSTANCE module, int resourceId);

// A copy of a bitmap with every pixel of `maskColour` painted `background`,
// for controls that show a plain bitmap; none when `bitmap` is null.
UniqueBitmap OnBackground(HBITMAP bitmap, COLORREF maskColour, COLORREF background);

} // namespace ui
