// Display bitmaps made from packed RGB pictures.
#pragma once

#include "imaging/isource/ISource.h"

#include <windows.h>

#include <cstdint>

namespace isource {

// A bitmap of the picture owned by the caller, of the kind `method` names
// (IS3BitmapMethod); a compatible bitmap matches `dc`, or the screen when
// `dc` is null. `reuse` (null, or a bitmap no longer needed) is taken over:
// refilled and returned when it is a bitmap of this size and kind, else
// deleted. Null on failure.
HBITMAP MakeBitmap(const uint8_t* rgb, int32_t width, int32_t height, HDC dc, uint32_t method,
                   HBITMAP reuse = nullptr);

} // namespace isource
