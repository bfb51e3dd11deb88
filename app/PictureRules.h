// The rules of the pictures the main window keeps, without a window: what
// tells that a file is as it was when its picture was read, the turn that
// brings a kept picture to the user's rotation, and how much memory reading
// the next picture ahead may take.
#pragma once

#include <cstdint>

// A file's size and last write time. A picture read from a file is used
// again only while its stamp is unchanged; a stamp that could not be read
// equals nothing, not even itself.
struct TFileStamp {
    uint64_t nSize = 0;
    uint64_t nWriteTime = 0;
    bool bValid = false;
};
bool operator==(const TFileStamp& a, const TFileStamp& b);
inline bool operator!=(const TFileStamp& a, const TFileStamp& b) {
    return !(a == b);
}

// The code (0 right, 1 half, 2 left) that turns a picture turned by
// `nFrom` into one turned by `nTo` (rotation codes, -1 none); -1 when they
// are the same.
int32_t TurnBetween(int32_t nFrom, int32_t nTo);

// The most bytes the next picture may take to be read ahead (0: none), so
// that the picture shown, the next one and the display bitmap together take
// at most half of `nMemory`, what the program can address: the other half
// stays for the working buffers of a copy or a turn and for the next display
// bitmap while the view swaps them.
uint64_t ReadAheadLimit(uint64_t nMemory, uint64_t nShownBytes, uint64_t nBitmapBytes);

// Displays of a large picture are made from a go-between: the picture
// reduced once to twice the display's size, so that a resize, a turn or the
// next picture read ahead costs a reduction of a few megapixels, not of the
// whole picture. Its size for displays up to `nSide` pixels on either side:
// the w x h picture fitted into 2 nSide x 2 nSide, or 0 x 0 when the picture
// is not twice as large as that (the display is then made from the picture).
struct TBetweenSize {
    int32_t nWidth = 0;
    int32_t nHeight = 0;
};
TBetweenSize BetweenSize(int32_t w, int32_t h, int32_t nSide);
// Whether a go-between of bw x bh may give a display of sw x sh: at least
// half as large again on both sides, so the display keeps its sharpness.
bool BetweenServes(int32_t bw, int32_t bh, int32_t sw, int32_t sh);
