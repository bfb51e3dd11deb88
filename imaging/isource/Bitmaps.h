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

// The display bitmap of a picture (rows `stride` apart) turned by `turn` (a
// TurnCode, or -1 for none) and scaled to outWidth x outHeight, the turned
// picture's size on screen, with the triangle filter: the picture is
// reduced (or enlarged) first and only the small result is turned, so
// neither a turned nor a bitmap copy of the whole picture is ever made.
// `method` and `reuse` as for MakeBitmap.
HBITMAP MakeDisplayBitmap(const uint8_t* rgb, int32_t width, int32_t height, int32_t stride, int32_t turn,
                          int32_t outWidth, int32_t outHeight, HDC dc, uint32_t method, HBITMAP reuse);

} // namespace isource
