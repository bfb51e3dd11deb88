// Glyph strips from a module's bitmap resources: square glyphs side by side
// in one 24-bit bitmap, one colour standing for "transparent".
#pragma once

#include "ui/Handles.h"

#include <windows.h>
#include <commctrl.h>

namespace ui {

// An image list of the strip's glyphs, or none when the resource is missing.
// Glyphs drawn `glyphSize` pixels a side are scaled to `scaledSize` (see
// ScaleGlyphStrip in ui/Dpi.h); 0 keeps them as drawn.
UniqueImageList LoadGlyphList(HINSTANCE module, int resourceId, int glyphSize, COLORREF maskColour,
                              int scaledSize = 0);

// The strip as a device-independent bitmap, or none; scaled as above.
UniqueBitmap LoadGlyphStrip(HINSTANCE module, int resourceId, int glyphSize = 0, COLORREF maskColour = 0,
                            int scaledSize = 0);

// A copy of a bitmap with every pixel of `maskColour` painted `background`,
// for controls that show a plain bitmap; none when `bitmap` is null.
UniqueBitmap OnBackground(HBITMAP bitmap, COLORREF maskColour, COLORREF background);

} // namespace ui
