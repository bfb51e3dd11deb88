#include "imaging/ImageRules.h"

#include <algorithm>

namespace imaging {

bool ClampCrop(TCropRect& crop, int32_t nWidth, int32_t nHeight) {
    crop.nLeft = std::max(crop.nLeft, 0);
    crop.nTop = std::max(crop.nTop, 0);
    crop.nRight = std::min(crop.nRight, nWidth);
    crop.nBottom = std::min(crop.nBottom, nHeight);
    // 64-bit differences: a right of INT32_MAX over a left of 0 is fine, and
    // a left near INT32_MIN cannot survive the clamp anyway.
    const int64_t nCropWidth = int64_t{crop.nRight} - crop.nLeft;
    const int64_t nCropHeight = int64_t{crop.nBottom} - crop.nTop;
    return nCropWidth >= 1 && nCropHeight >= 1 && (nCropWidth < nWidth || nCropHeight < nHeight);
}

uint32_t ShadeOf(uint32_t nColour, int32_t i, int32_t nSize) {
    if (nSize <= 0)
        return 0;
    const double r = double(nSize - i) / double(nSize);
    const double f = 1.0 - r * r;
    uint32_t nShade = 0;
    for (int nShift = 0; nShift <= 16; nShift += 8) {
        const double v = double((nColour >> nShift) & 0xFFu) * f;
        nShade |= uint32_t(std::clamp(v, 0.0, 255.0)) << nShift;
    }
    return nShade;
}

std::string WithoutLeadingDot(std::string sExtension) {
    if (!sExtension.empty() && sExtension.front() == '.')
        sExtension.erase(0, 1);
    return sExtension;
}

size_t PictureBytes(int32_t nWidth, int32_t nHeight, int32_t nBpp) {
    if (nWidth <= 0 || nHeight <= 0 || nBpp <= 0)
        return 0;
    const uint64_t nBytes = uint64_t(nWidth) * uint64_t(nHeight) * uint64_t(nBpp);
    return nBytes <= 0x7FFFFFFFull ? size_t(nBytes) : 0;
}

std::string FolderOf(const std::string& sPath) {
    const size_t nSlash = sPath.find_last_of("\\/:");
    return nSlash == std::string::npos ? std::string() : sPath.substr(0, nSlash + 1);
}

} // namespace imaging
