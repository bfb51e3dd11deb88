// Where the image view gets its display bitmaps: the picture shown, whole,
// at the size it takes on screen. The view asks whenever that size changes
// (a new picture, a resize, a turn) and owns what it gets; the maker decides
// which pixels it is made from (a picture read reduced at first, the full
// one once it is there), so the view never touches the imaging library.
#pragma once

#include <windows.h>

#include <cstdint>

class TDisplaySource {
public:
    // A bitmap for `dc` of the whole picture at width x height device
    // pixels, owned by the caller; null when none can be made. `reuse` (taken
    // over) is the view's previous display bitmap, refilled when it has the
    // size and kind the new one would have, else deleted.
    virtual HBITMAP MakeDisplayBitmap(HDC dc, int32_t width, int32_t height, HBITMAP reuse) = 0;

protected:
    ~TDisplaySource() = default;
};
