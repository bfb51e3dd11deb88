// Glyph strips from a module's bitmap resources: square glyphs side by side
// in one 24-bit bitmap, one colour standing for "transparent".
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace ui {

// An image list of the strip's glyphs (owned by the caller), or null when
// the resource is missing.
HIMAGELIST LoadGlyphList(HINSTANCE module, int resourceId, int glyphSize, COLORREF maskColour);

// The strip as a device-independent bitmap (owned by the caller), or null.
HBITMAP LoadGlyphStrip(HINSTANCE module, int resourceId);

// A copy of a bitmap with every pixel of `maskColour` painted `background`,
// for controls that show a plain bitmap (owned by the caller); null when
// `bitmap` is null.
HBITMAP OnBackground(HBITMAP bitmap, COLORREF maskColour, COLORREF background);

} // namespace ui
