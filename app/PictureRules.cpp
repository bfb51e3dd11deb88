#include "app/PictureRules.h"

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

uint64_t ReadAheadLimit(uint64_t nMemory, uint64_t nShownBytes, uint64_t nBitmapBytes) {
    const uint64_t nBudget = nMemory / 2;
    const uint64_t nTaken = nShownBytes + nBitmapBytes;
    return nTaken < nBudget ? nBudget - nTaken : 0;
}
