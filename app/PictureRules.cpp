#include "app/PictureRules.h"

#include <algorithm>

namespace {

// Quarter turns clockwise of a rotation code: -1 none, 0 one, 1 two, 2 three.
int32_t QuarterTurns(int32_t nCode) {
    return nCode >= 0 && nCode <= 2 ? nCode + 1 : 0;
}

} // namespace

bool operator==(const TFileStamp& a, const TFileStamp& b) {
    return a.bValid && b.bValid && a.nSize == b.nSize && a.nWriteTime == b.nWriteTime;
}

int32_t TurnBetween(int32_t nFrom, int32_t nTo) {
    const int32_t nQuarters = (QuarterTurns(nTo) - QuarterTurns(nFrom) + 4) % 4;
    return nQuarters - 1;
}

TBetweenSize BetweenSize(int32_t w, int32_t h, int32_t nSide) {
    if (w <= 0 || h <= 0 || nSide <= 0)
        return {};
    const int64_t box = 2 * int64_t{nSide};
    if (w <= 2 * box && h <= 2 * box)
        return {};
    const int64_t W = w, H = h;
    if (W >= H)
        return {int32_t(box), int32_t(std::max<int64_t>(1, (H * box + W / 2) / W))};
    return {int32_t(std::max<int64_t>(1, (W * box + H / 2) / H)), int32_t(box)};
}

bool BetweenServes(int32_t bw, int32_t bh, int32_t sw, int32_t sh) {
    return int64_t{bw} * 2 >= int64_t{sw} * 3 && int64_t{bh} * 2 >= int64_t{sh} * 3;
}

uint64_t ReadAheadLimit(uint64_t nMemory, uint64_t nShownBytes, uint64_t nBitmapBytes) {
    const uint64_t nBudget = nMemory / 2;
    const uint64_t nTaken = nShownBytes + nBitmapBytes;
    return nTaken < nBudget ? nBudget - nTaken : 0;
}
