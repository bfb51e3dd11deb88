#include "imaging/isource/bmp/BmpReader.h"

#include "imaging/isource/bmp/BmpLayout.h"
#include "imaging/isource/bmp/BmpRle.h"

#include <cstring>

namespace isource {
namespace {

struct Rgb {
    uint8_t r, g, b;
};

struct Palette {
    Rgb entries[256];
    int count;
};

Palette ReadPalette(const uint8_t* data, const BmpLayout& layout) {
    Palette palette{};
    palette.count = layout.paletteCount;
    const uint8_t* p = data + layout.paletteOffset;
    for (int i = 0; i < layout.paletteCount; ++i, p += layout.paletteEntrySize) {
        palette.entries[i] = Rgb{p[2], p[1], p[0]};
    }
    return palette;
}

// Widens an n-bit component to 8 bits by repeating its bit pattern, so that
// 0 stays 0 and all ones becomes 255; wider components keep their top 8 bits.
class ComponentScale {
public:
    explicit ComponentScale(const BmpMask& mask) : m_nShift(mask.shift), m_nBits(mask.bits) {
        if (m_nBits == 0 || m_nBits > 8) {
            return;
        }
        for (uint32_t v = 0; v < (1u << m_nBits); ++v) {
            uint32_t wide = 0;
            int filled = 0;
            while (filled < 8) {
                wide = wide << m_nBits | v;
                filled += m_nBits;
            }
            m_table[v] = static_cast<uint8_t>(wide >> (filled - 8));
        }
    }

    bool Present() const { return m_nBits > 0; }

    uint8_t operator()(uint32_t pixel) const {
        if (m_nBits == 0) {
            return 0;
        }
        const uint64_t value = (uint64_t(pixel) >> m_nShift) & ((uint64_t(1) << m_nBits) - 1);
        return m_nBits <= 8 ? m_table[value] : static_cast<uint8_t>(value >> (m_nBits - 8));
    }

private:
    int m_nShift;
    int m_nBits;
    uint8_t m_table[256] = {};
};

// Straight alpha over white, rounded to nearest.
inline uint8_t OverWhite(uint8_t colour, uint8_t alpha) {
    return static_cast<uint8_t>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

inline uint32_t ReadPixelValue(const uint8_t* p, int bytes) {
    uint32_t v = p[0] | uint32_t(p[1]) << 8;
    if (bytes > 2) {
        v |= uint32_t(p[2]) << 16;
    }
    if (bytes > 3) {
        v |= uint32_t(p[3]) << 24;
    }
    return v;
}

class UncompressedRows {
public:
    UncompressedRows(const uint8_t* data, const BmpLayout& layout)
        : m_pFirst(data + layout.pixelOffset),
          m_nStride(static_cast<size_t>((uint64_t(layout.width) * layout.bitsPerPixel + 31) / 32 * 4)) {}

    const uint8_t* Row(int32_t row) const { return m_pFirst + static_cast<size_t>(row) * m_nStride; }

private:
    const uint8_t* m_pFirst;
    size_t m_nStride;
};

inline unsigned IndexAt(const uint8_t* row, int32_t x, int bpp) {
    if (bpp == 8) {
        return row[x];
    }
    const size_t bit = static_cast<size_t>(x) * bpp;
    const unsigned shift = 8 - bpp - static_cast<unsigned>(bit % 8);
    return (row[bit / 8] >> shift) & ((1u << bpp) - 1);
}

// A short palette leaves some indices undefined; a file that uses one has no
// defined picture, so it is refused before anything is allocated.
bool IndicesInRange(const UncompressedRows& rows, const BmpLayout& layout, int paletteCount) {
    if (paletteCount >= (1 << layout.bitsPerPixel)) {
        return true;
    }
    for (int32_t row = 0; row < layout.height; ++row) {
        const uint8_t* src = rows.Row(row);
        for (int32_t x = 0; x < layout.width; ++x) {
            if (IndexAt(src, x, layout.bitsPerPixel) >= static_cast<unsigned>(paletteCount)) {
                return false;
            }
        }
    }
    return true;
}

// Some writers declare an alpha mask but leave every alpha value 0; such a
// file means an opaque picture, not an invisible one.
bool AnyAlpha(const UncompressedRows& rows, const BmpLayout& layout, const ComponentScale& alpha) {
    const int bytes = layout.bitsPerPixel / 8;
    for (int32_t row = 0; row < layout.height; ++row) {
        const uint8_t* src = rows.Row(row);
        for (int32_t x = 0; x < layout.width; ++x, src += bytes) {
            if (alpha(ReadPixelValue(src, bytes)) != 0) {
                return true;
            }
        }
    }
    return false;
}

size_t RowBytes(const BmpLayout& layout) {
    return static_cast<size_t>(layout.width) * 3;
}

int32_t PictureRow(const BmpLayout& layout, int32_t storedRow) {
    return layout.topDown ? storedRow : layout.height - 1 - storedRow;
}

DecodeStatus DecodeUncompressed(const uint8_t* data, const BmpLayout& layout, PixelSink& sink) {
    const UncompressedRows rows(data, layout);
    const Palette palette = ReadPalette(data, layout);
    const ComponentScale red(layout.red), green(layout.green), blue(layout.blue), alpha(layout.alpha);
    if (layout.coding == BmpCoding::Indexed && !IndicesInRange(rows, layout, palette.count)) {
        return DecodeStatus::Corrupt;
    }
    const bool useAlpha =
        layout.coding == BmpCoding::Masked && alpha.Present() && AnyAlpha(rows, layout, alpha);

    uint8_t* out = sink.Allocate(layout.width, layout.height);
    if (out == nullptr) {
        return DecodeStatus::OutOfMemory;
    }
    const int bytes = layout.bitsPerPixel / 8;
    for (int32_t row = 0; row < layout.height; ++row) {
        const uint8_t* src = rows.Row(row);
        uint8_t* dst = out + static_cast<size_t>(PictureRow(layout, row)) * RowBytes(layout);
        switch (layout.coding) {
        case BmpCoding::Indexed:
            for (int32_t x = 0; x < layout.width; ++x, dst += 3) {
                const Rgb& c = palette.entries[IndexAt(src, x, layout.bitsPerPixel)];
                dst[0] = c.r;
                dst[1] = c.g;
                dst[2] = c.b;
            }
            break;
        case BmpCoding::Bgr24:
            for (int32_t x = 0; x < layout.width; ++x, src += 3, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
            break;
        case BmpCoding::Masked:
            for (int32_t x = 0; x < layout.width; ++x, src += bytes, dst += 3) {
                const uint32_t v = ReadPixelValue(src, bytes);
                dst[0] = red(v);
                dst[1] = green(v);
                dst[2] = blue(v);
                if (useAlpha) {
                    const uint8_t a = alpha(v);
                    dst[0] = OverWhite(dst[0], a);
                    dst[1] = OverWhite(dst[1], a);
                    dst[2] = OverWhite(dst[2], a);
                }
            }
            break;
        default:
            return DecodeStatus::Corrupt;
        }
    }
    return DecodeStatus::Ok;
}

DecodeStatus DecodeRle(const uint8_t* data, size_t size, const BmpLayout& layout, PixelSink& sink) {
    const Palette palette = ReadPalette(data, layout);
    const bool rle4 = layout.coding == BmpCoding::Rle4;
    const int64_t paddedWidth = (int64_t(layout.width) * (rle4 ? 4 : 8) + 31) / 32 * (rle4 ? 8 : 4);
    const BmpRleShape shape{layout.width, paddedWidth, layout.height, rle4, palette.count};
    const uint8_t* begin = data + layout.pixelOffset;
    const uint8_t* end = data + size;

    // Walk the codes once without writing, so a damaged file is refused
    // before the picture is allocated.
    DecodeStatus status = WalkBmpRle(begin, end, shape, [](int32_t, int32_t, uint8_t) {});
    if (status != DecodeStatus::Ok) {
        return status;
    }
    uint8_t* out = sink.Allocate(layout.width, layout.height);
    if (out == nullptr) {
        return DecodeStatus::OutOfMemory;
    }
    // Pixels the codes skip (deltas, early ends of line or bitmap) take the
    // first palette colour, as the reference decoder shows them.
    const Rgb background = palette.entries[0];
    for (int32_t x = 0; x < layout.width; ++x) {
        out[3 * size_t(x)] = background.r;
        out[3 * size_t(x) + 1] = background.g;
        out[3 * size_t(x) + 2] = background.b;
    }
    for (int32_t y = 1; y < layout.height; ++y) {
        std::memcpy(out + size_t(y) * RowBytes(layout), out, RowBytes(layout));
    }
    return WalkBmpRle(begin, end, shape, [&](int32_t x, int32_t row, uint8_t index) {
        uint8_t* dst = out + static_cast<size_t>(PictureRow(layout, row)) * RowBytes(layout) + size_t(x) * 3;
        const Rgb& c = palette.entries[index];
        dst[0] = c.r;
        dst[1] = c.g;
        dst[2] = c.b;
    });
}

} // namespace

DecodeStatus DecodeBmp(const uint8_t* data, size_t size, PixelSink& sink) {
    if (data == nullptr) {
        return DecodeStatus::UnknownFormat;
    }
    BmpLayout layout;
    const DecodeStatus status = ReadBmpLayout(data, size, layout);
    if (status != DecodeStatus::Ok) {
        return status;
    }
    if (layout.coding == BmpCoding::Rle8 || layout.coding == BmpCoding::Rle4) {
        return DecodeRle(data, size, layout, sink);
    }
    return DecodeUncompressed(data, layout, sink);
}

} // namespace isource
