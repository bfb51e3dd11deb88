#include "imaging/isource/decode/UprightCanvas.h"

#include <new>

#include "imaging/isource/decode/Colour.h"

namespace isource {

DecodeStatus UprightCanvas::Open(PixelSink& sink, int64_t storedWidth, int64_t storedHeight,
                                 int orientation) {
    if (!PictureSizeAcceptable(storedWidth, storedHeight))
        return DecodeStatus::TooLarge;
    m_nWidth = static_cast<int32_t>(storedWidth);
    m_nHeight = static_cast<int32_t>(storedHeight);
    m_nOrientation = IsValidOrientation(orientation) ? orientation : kUpright;
    m_nStride = static_cast<size_t>(m_nWidth) * 3;

    const bool swaps = OrientationSwapsSides(m_nOrientation);
    m_pUpright = swaps ? sink.Allocate(m_nHeight, m_nWidth) : sink.Allocate(m_nWidth, m_nHeight);
    if (!m_pUpright)
        return DecodeStatus::OutOfMemory;
    if (swaps) {
        m_pStored.reset(new (std::nothrow) uint8_t[m_nStride * static_cast<size_t>(m_nHeight)]);
        if (!m_pStored)
            return DecodeStatus::OutOfMemory;
        m_pRows = m_pStored.get();
    } else {
        m_pRows = m_pUpright;
    }
    return DecodeStatus::Ok;
}

void UprightCanvas::Finish(const ColourConversion* colour) {
    if (OrientationSwapsSides(m_nOrientation)) {
        OrientInto(m_pStored.get(), m_nWidth, m_nHeight, m_nOrientation, m_pUpright);
        m_pStored.reset();
    } else {
        OrientInPlace(m_pUpright, m_nWidth, m_nHeight, m_nOrientation);
    }
    // Pixel by pixel, so after the turn as well as before it.
    if (colour != nullptr)
        colour->ConvertPicture(m_pUpright, m_nWidth, m_nHeight);
}

} // namespace isource
