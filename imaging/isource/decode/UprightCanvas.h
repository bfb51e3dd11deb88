// The decoders' view of the sink: rows are written in the order the file
// stores them, and Finish turns the result upright. The sink is asked once,
// for the upright size, before any row is decoded; a picture that must be
// turned by a quarter is first decoded into a buffer of the canvas's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "imaging/isource/decode/Decode.h"
#include "imaging/isource/decode/Orientation.h"

namespace isource {

class ColourConversion;

class UprightCanvas {
public:
    // Refuses sizes PictureSizeAcceptable refuses, before asking the sink.
    DecodeStatus Open(PixelSink& sink, int64_t storedWidth, int64_t storedHeight, int orientation);

    // Row y of the picture as stored: storedWidth * 3 bytes.
    uint8_t* Row(int32_t y) const { return m_pRows + static_cast<size_t>(y) * m_nStride; }

    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }

    // Turns the finished picture upright in the sink's buffer and converts
    // its colours when given a conversion.
    void Finish(const ColourConversion* colour = nullptr);

private:
    uint8_t* m_pUpright = nullptr;
    std::unique_ptr<uint8_t[]> m_pStored;
    uint8_t* m_pRows = nullptr;
    size_t m_nStride = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int m_nOrientation = kUpright;
};

} // namespace isource
