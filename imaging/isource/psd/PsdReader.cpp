#include "imaging/isource/psd/PsdReader.h"

#include "imaging/isource/decode/Colour.h"
#include "imaging/isource/psd/PackBits.h"
#include "imaging/isource/psd/PsdLayout.h"

#include <memory>
#include <new>
#include <vector>

namespace isource {
namespace {

// Hands out the rows of one channel of the composite in order, unpacking
// PackBits rows into a buffer of its own.
class ChannelRows {
public:
    ChannelRows(const uint8_t* data, const PsdLayout& layout, int channel)
        : m_pData(data), m_pLayout(&layout), m_nChannel(channel), m_nNext(layout.channelStart[channel]) {
        if (layout.rle) {
            m_row.resize(layout.rowBytes);
        }
    }

    // Row y of the channel (rows must be asked for in order), or null when its
    // codes do not make exactly one row. With check only, nothing is unpacked.
    const uint8_t* Next(int32_t y, bool checkOnly) {
        const uint8_t* at = m_pData + m_nNext;
        if (!m_pLayout->rle) {
            m_nNext += m_pLayout->rowBytes;
            return at;
        }
        const uint64_t index = uint64_t(m_nChannel) * uint64_t(m_pLayout->height) + uint64_t(y);
        const uint8_t* count = m_pLayout->rowCounts + index * uint64_t(m_pLayout->rowCountSize);
        uint64_t length = 0;
        for (int i = 0; i < m_pLayout->rowCountSize; ++i) {
            length = length << 8 | count[i];
        }
        m_nNext += length;
        uint8_t* out = checkOnly ? nullptr : m_row.data();
        if (!UnpackBitsRow(at, static_cast<size_t>(length), out, m_pLayout->rowBytes)) {
            return nullptr;
        }
        return checkOnly ? at : m_row.data();
    }

private:
    const uint8_t* m_pData;
    const PsdLayout* m_pLayout;
    int m_nChannel;
    uint64_t m_nNext;
    std::vector<uint8_t> m_row;
};

// 16-bit samples round to the nearest 8-bit level.
inline uint8_t Sample(const uint8_t* row, int32_t x, int depth) {
    if (depth == 8) {
        return row[x];
    }
    const unsigned v = unsigned(row[2 * size_t(x)]) << 8 | row[2 * size_t(x) + 1];
    return static_cast<uint8_t>((v + 128) / 257);
}

// Straight alpha over white, rounded to nearest.
inline uint8_t OverWhite(uint8_t colour, uint8_t alpha) {
    return static_cast<uint8_t>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

// Photoshop stores CMYK inverted (255 = no ink). Cyan, magenta and yellow
// are kept in the picture's R, G and B and black in a plane of its own,
// until all four go through the colour conversion together.
void ConvertCmykRows(const PsdLayout& layout, const ColourConversion& cmyk, const uint8_t* black, uint8_t* out) {
    const size_t width = size_t(layout.width);
    std::vector<uint8_t> inks(width * 4);
    for (int32_t y = 0; y < layout.height; ++y) {
        uint8_t* row = out + size_t(y) * width * 3;
        const uint8_t* k = black + size_t(y) * width;
        for (size_t x = 0; x < width; ++x) {
            inks[x * 4] = uint8_t(255 - row[x * 3]);
            inks[x * 4 + 1] = uint8_t(255 - row[x * 3 + 1]);
            inks[x * 4 + 2] = uint8_t(255 - row[x * 3 + 2]);
            inks[x * 4 + 3] = uint8_t(255 - k[x]);
        }
        cmyk.ConvertCmyk(inks.data(), width, row);
    }
}

// Puts one row of one channel into the picture's row (CMYK's black into
// `black`, its row of the black plane). Colour channels come before the
// alpha channel, and CMYK's black after cyan, magenta and yellow.
void ApplyRow(const PsdLayout& layout, int channel, const uint8_t* row, uint8_t* dst, uint8_t* black) {
    const int32_t width = layout.width;
    if (channel == layout.colourChannels) { // transparency
        for (int32_t x = 0; x < width; ++x, dst += 3) {
            const uint8_t a = Sample(row, x, layout.depth);
            dst[0] = OverWhite(dst[0], a);
            dst[1] = OverWhite(dst[1], a);
            dst[2] = OverWhite(dst[2], a);
        }
        return;
    }
    switch (layout.mode) {
    case PsdMode::Bitmap:
        for (int32_t x = 0; x < width; ++x, dst += 3) {
            const bool black = (row[x >> 3] >> (7 - (x & 7))) & 1;
            dst[0] = dst[1] = dst[2] = black ? 0 : 255;
        }
        break;
    case PsdMode::Greyscale:
    case PsdMode::Duotone:
        for (int32_t x = 0; x < width; ++x, dst += 3) {
            dst[0] = dst[1] = dst[2] = Sample(row, x, layout.depth);
        }
        break;
    case PsdMode::Indexed:
        for (int32_t x = 0; x < width; ++x, dst += 3) {
            const int index = row[x];
            if (index == layout.transparentIndex) {
                dst[0] = dst[1] = dst[2] = 255;
            } else {
                dst[0] = layout.colourTable[index];
                dst[1] = layout.colourTable[256 + index];
                dst[2] = layout.colourTable[512 + index];
            }
        }
        break;
    case PsdMode::Rgb:
        for (int32_t x = 0; x < width; ++x) {
            dst[3 * size_t(x) + channel] = Sample(row, x, layout.depth);
        }
        break;
    case PsdMode::Cmyk:
        if (channel < 3) {
            for (int32_t x = 0; x < width; ++x) {
                dst[3 * size_t(x) + channel] = Sample(row, x, layout.depth);
            }
        } else {
            for (int32_t x = 0; x < width; ++x) {
                black[x] = Sample(row, x, layout.depth);
            }
        }
        break;
    }
}

} // namespace

DecodeStatus DecodePsd(const uint8_t* data, size_t size, PixelSink& sink) {
    if (data == nullptr) {
        return DecodeStatus::UnknownFormat;
    }
    PsdLayout layout;
    const DecodeStatus status = ReadPsdLayout(data, size, layout);
    if (status != DecodeStatus::Ok) {
        return status;
    }
    // Every row the picture needs must unpack to exactly one row before the
    // picture is allocated: a damaged file yields nothing.
    if (layout.rle) {
        for (int channel = 0; channel < layout.UsedChannels(); ++channel) {
            ChannelRows rows(data, layout, channel);
            for (int32_t y = 0; y < layout.height; ++y) {
                if (rows.Next(y, true) == nullptr) {
                    return DecodeStatus::Corrupt;
                }
            }
        }
    }
    // Colours as the file's profile describes them; CMYK always through one.
    ColourTag tag;
    if (layout.icc != nullptr && layout.iccSize <= kMaxProfileBytes) {
        tag.icc.assign(layout.icc, layout.icc + layout.iccSize);
    }
    std::unique_ptr<ColourConversion> colour;
    std::unique_ptr<uint8_t[]> black;
    if (layout.mode == PsdMode::Cmyk) {
        colour = ColourConversion::ForCmyk(tag.icc);
        if (colour == nullptr) {
            return DecodeStatus::OutOfMemory;
        }
        black.reset(new (std::nothrow) uint8_t[size_t(layout.width) * size_t(layout.height)]);
        if (black == nullptr) {
            return DecodeStatus::OutOfMemory;
        }
    } else if (layout.mode == PsdMode::Rgb || layout.mode == PsdMode::Indexed) {
        colour = ColourConversion::ForSamples(tag, SampleSpace::Rgb);
    } else if (layout.mode == PsdMode::Greyscale) {
        colour = ColourConversion::ForSamples(tag, SampleSpace::Grey);
    }
    uint8_t* out = sink.Allocate(layout.width, layout.height);
    if (out == nullptr) {
        return DecodeStatus::OutOfMemory;
    }
    const size_t stride = size_t(layout.width) * 3;
    for (int channel = 0; channel < layout.UsedChannels(); ++channel) {
        ChannelRows rows(data, layout, channel);
        for (int32_t y = 0; y < layout.height; ++y) {
            const uint8_t* row = rows.Next(y, false);
            if (row == nullptr) {
                return DecodeStatus::Corrupt;
            }
            ApplyRow(layout, channel, row, out + size_t(y) * stride,
                     black ? black.get() + size_t(y) * size_t(layout.width) : nullptr);
        }
        // The colours are converted once all colour channels are in, before
        // the transparency composites them on white.
        if (channel == layout.colourChannels - 1 && colour != nullptr) {
            if (black) {
                ConvertCmykRows(layout, *colour, black.get(), out);
                black.reset();
            } else {
                colour->ConvertPicture(out, layout.width, layout.height);
            }
        }
    }
    return DecodeStatus::Ok;
}

} // namespace isource
