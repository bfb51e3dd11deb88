#include "imaging/isource/bmp/BmpLayout.h"

#include <algorithm>
#include <cstring>

namespace isource {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12; // OS/2 1.x: 16-bit width and height, 3-byte palette entries
constexpr size_t kInfoHeaderSize = 40; // Windows 3
constexpr size_t kLongestHeader = 124; // Windows V5; longer headers are read as far as that

// Compression values of the Windows headers; OS/2 2.x gives 3 and 4 other meanings.
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Only the lowest run of set bits counts; a mask with gaps has no sensible
// meaning, and its stray high bits must not widen the component.
BmpMask MakeMask(uint32_t mask) {
    BmpMask m;
    if (mask == 0) {
        return m;
    }
    while ((mask & 1u) == 0) {
        mask >>= 1;
        ++m.shift;
    }
    while ((mask & 1u) != 0) {
        mask >>= 1;
        ++m.bits;
    }
    return m;
}

// OS/2 2.x headers are 16 to 64 bytes long (the tail may be left off); the
// Windows headers have sizes of their own within that range.
bool IsOs2Header(uint32_t headerSize) {
    return headerSize >= 16 && headerSize <= 64 && headerSize != 40 && headerSize != 52 && headerSize != 56;
}

} // namespace

DecodeStatus ReadBmpLayout(const uint8_t* data, size_t size, BmpLayout& layout) {
    if (size < 2 || data[0] != 'B' || data[1] != 'M') {
        return DecodeStatus::UnknownFormat;
    }
    if (size < kFileHeaderSize + 4) {
        return DecodeStatus::Corrupt;
    }
    const uint32_t pixelOffset = Le32(data + 10);
    const uint32_t headerSize = Le32(data + kFileHeaderSize);
    if (headerSize < kCoreHeaderSize || (headerSize > kCoreHeaderSize && headerSize < 16) ||
        headerSize > size - kFileHeaderSize) {
        return DecodeStatus::Corrupt;
    }

    // Fields a shortened header leaves out read as zero.
    uint8_t h[kLongestHeader] = {};
    std::memcpy(h, data + kFileHeaderSize, std::min<size_t>(headerSize, kLongestHeader));

    int64_t width = 0;
    int64_t height = 0;
    uint32_t compression = kBiRgb;
    uint32_t colorsUsed = 0;
    const bool core = headerSize == kCoreHeaderSize;
    const bool os2 = IsOs2Header(headerSize);
    if (core) {
        width = Le16(h + 4);
        height = Le16(h + 6);
        layout.bitsPerPixel = Le16(h + 10);
        layout.paletteEntrySize = 3;
    } else {
        width = static_cast<int32_t>(Le32(h + 4));
        height = static_cast<int32_t>(Le32(h + 8));
        layout.bitsPerPixel = Le16(h + 14);
        compression = Le32(h + 16);
        colorsUsed = Le32(h + 32);
        layout.paletteEntrySize = 4;
    }
    if (width <= 0 || height == 0) {
        return DecodeStatus::Corrupt;
    }
    layout.topDown = height < 0;
    height = height < 0 ? -height : height;
    if (!PictureSizeAcceptable(width, height)) {
        return DecodeStatus::TooLarge;
    }
    layout.width = static_cast<int32_t>(width);
    layout.height = static_cast<int32_t>(height);

    const int bpp = layout.bitsPerPixel;
    size_t maskBytes = 0; // masks stored after a 40-byte header
    uint32_t masks[4] = {};
    switch (compression) {
    case kBiRgb:
        if (bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8) {
            layout.coding = BmpCoding::Indexed;
        } else if (bpp == 24) {
            layout.coding = BmpCoding::Bgr24;
        } else if (bpp == 16) {
            layout.coding = BmpCoding::Masked; // implicit X1R5G5B5
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        } else if (bpp == 32) {
            layout.coding = BmpCoding::Masked; // BGRX: the fourth byte is not alpha
            masks[0] = 0x00FF0000;
            masks[1] = 0x0000FF00;
            masks[2] = 0x000000FF;
        } else {
            return DecodeStatus::Corrupt;
        }
        break;
    case kBiRle8:
    case kBiRle4:
        if (bpp != (compression == kBiRle8 ? 8 : 4)) {
            return DecodeStatus::Corrupt;
        }
        layout.coding = compression == kBiRle8 ? BmpCoding::Rle8 : BmpCoding::Rle4;
        break;
    case kBiBitfields:
    case kBiAlphaBitfields: {
        if (os2) {
            return DecodeStatus::Unsupported; // OS/2 2.x: Huffman 1D
        }
        if (bpp != 16 && bpp != 24 && bpp != 32) {
            return DecodeStatus::Corrupt;
        }
        layout.coding = BmpCoding::Masked;
        const size_t count = compression == kBiAlphaBitfields ? 4 : 3;
        const uint8_t* source = h + kInfoHeaderSize;
        if (headerSize < kInfoHeaderSize + 4 * count) {
            maskBytes = 4 * count;
            if (size - kFileHeaderSize - headerSize < maskBytes) {
                return DecodeStatus::Corrupt;
            }
            source = data + kFileHeaderSize + headerSize;
        }
        for (size_t i = 0; i < count; ++i) {
            masks[i] = Le32(source + 4 * i);
        }
        // Headers from V3 on carry an alpha mask; it counts with bit fields.
        if (compression == kBiBitfields && headerSize >= kInfoHeaderSize + 16) {
            masks[3] = Le32(h + kInfoHeaderSize + 12);
        }
        break;
    }
    default:
        return DecodeStatus::Unsupported; // embedded JPEG or PNG, OS/2 RLE24, CMYK kinds
    }
    layout.red = MakeMask(masks[0]);
    layout.green = MakeMask(masks[1]);
    layout.blue = MakeMask(masks[2]);
    layout.alpha = MakeMask(masks[3]);

    const uint64_t headersEnd = kFileHeaderSize + uint64_t(headerSize) + maskBytes;
    if (pixelOffset < headersEnd || pixelOffset > size) {
        return DecodeStatus::Corrupt;
    }
    layout.pixelOffset = pixelOffset;
    layout.paletteOffset = static_cast<size_t>(headersEnd);

    if (bpp <= 8) {
        // The palette is what lies between the headers and the pixels, as far
        // as the header declares it.
        const uint32_t full = 1u << bpp;
        const uint32_t declared = colorsUsed == 0 ? full : std::min(colorsUsed, full);
        const uint64_t room = (pixelOffset - headersEnd) / layout.paletteEntrySize;
        layout.paletteCount = static_cast<int>(std::min<uint64_t>(declared, room));
        if (layout.paletteCount == 0) {
            return DecodeStatus::Corrupt;
        }
    }

    if (layout.coding != BmpCoding::Rle8 && layout.coding != BmpCoding::Rle4) {
        const uint64_t stride = (uint64_t(layout.width) * uint64_t(bpp) + 31) / 32 * 4;
        if (stride * uint64_t(layout.height) > size - pixelOffset) {
            return DecodeStatus::Corrupt; // truncated
        }
    }
    return DecodeStatus::Ok;
}

} // namespace isource
