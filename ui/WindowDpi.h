// A window's screen scale and what is made for it: fonts, frames, glyph
// strips and cursors. The sizes themselves come from ui/Dpi.h.
#pragma once

#include "ui/Dpi.h"
#include "ui/Handles.h"

#include <windows.h>

namespace ui {

// The scale of the screen the window is on (dots per inch): the window's own
// where the system tracks it per window (Windows 10 1607 and later), else
// the scale of its device context, the system's.
int WindowDpi(HWND window);

// A font `height` pixels high at 96 DPI, for `dpi`.
UniqueFont CreateFontForDpi(const char* face, int height, int dpi, bool underline = false);

// The outer size of a window whose client area is `client` at `dpi`: the
// frame measured at that scale where the system can (Windows 10 1607 and
// later), else at the system's.
SIZE FrameSizeForDpi(SIZE client, DWORD style, bool menu, DWORD exStyle, int dpi);

// A cursor from the module's resources drawn at the size the scale asks for
// (32 pixels at 96 DPI), its hot spot moved with it.
UniqueCursor LoadCursorForDpi(HINSTANCE module, int resourceId, int dpi);

} // namespace ui
