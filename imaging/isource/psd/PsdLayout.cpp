#include "imaging/isource/psd/PsdLayout.h"

namespace isource {
namespace {

constexpr size_t kHeaderSize = 26;
constexpr size_t kColourTableSize = 768;
constexpr uint16_t kTransparencyIndexResource = 1047;
constexpr uint16_t kIccProfileResource = 1039;

uint64_t Be(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        v = v << 8 | p[i];
    }
    return v;
}

// Big-endian reads that fail instead of passing the end of the file.
class Cursor {
public:
    Cursor(const uint8_t* data, uint64_t size, uint64_t at) : m_pData(data), m_nSize(size), m_nAt(at) {}

    bool Read(int bytes, uint64_t& value) {
        if (m_nAt > m_nSize || m_nSize - m_nAt < uint64_t(bytes)) {
            return false;
        }
        value = Be(m_pData + m_nAt, bytes);
        m_nAt += bytes;
        return true;
    }

    // Steps over `length` bytes; false when they do not all lie in the file.
    bool Skip(uint64_t length) {
        if (m_nAt > m_nSize || m_nSize - m_nAt < length) {
            return false;
        }
        m_nAt += length;
        return true;
    }

    uint64_t At() const { return m_nAt; }
    uint64_t Left() const { return m_nSize - m_nAt; }

private:
    const uint8_t* m_pData;
    uint64_t m_nSize;
    uint64_t m_nAt;
};

// The image resources are blocks of: signature, id, padded Pascal name,
// length, padded data. Only the transparent colour of indexed pictures and
// the ICC profile are wanted; a damaged block ends the search, not the decode.
void ReadResources(const uint8_t* data, uint64_t begin, uint64_t end, PsdLayout& layout) {
    Cursor c(data, end, begin);
    uint64_t signature, id, nameLength, length;
    while (c.Read(4, signature) && c.Read(2, id) && c.Read(1, nameLength)) {
        if (!c.Skip(nameLength + ((nameLength + 1) & 1)) || !c.Read(4, length)) {
            break;
        }
        const uint64_t at = c.At();
        if (!c.Skip(length + (length & 1))) {
            break;
        }
        if (id == kTransparencyIndexResource && length >= 2 && layout.mode == PsdMode::Indexed &&
            layout.transparentIndex < 0) {
            layout.transparentIndex = static_cast<int>(Be(data + at, 2));
        } else if (id == kIccProfileResource && length > 0) {
            layout.icc = data + at;
            layout.iccSize = static_cast<size_t>(length);
        }
    }
}

// A negative layer count says the first alpha channel of the composite holds
// the merged picture's transparency; otherwise extra channels are saved
// selections or spot colours and play no part in the picture.
bool CompositeHasTransparency(const uint8_t* data, uint64_t begin, uint64_t end, int lengthSize) {
    Cursor c(data, end, begin);
    uint64_t layerInfoLength, count;
    if (!c.Read(lengthSize, layerInfoLength) || layerInfoLength < 2 || layerInfoLength > c.Left() ||
        !c.Read(2, count)) {
        return false;
    }
    return static_cast<int16_t>(count) < 0;
}

DecodeStatus CheckMode(uint64_t mode, uint64_t depth, PsdLayout& layout) {
    if (depth == 32) {
        return DecodeStatus::Unsupported;
    }
    if (depth != 1 && depth != 8 && depth != 16) {
        return DecodeStatus::Corrupt;
    }
    switch (mode) {
    case 0:
        layout.mode = PsdMode::Bitmap;
        layout.colourChannels = 1;
        return depth == 1 ? DecodeStatus::Ok : DecodeStatus::Corrupt;
    case 1:
    case 8: // duotone composites are stored as their grey values
        layout.mode = mode == 1 ? PsdMode::Greyscale : PsdMode::Duotone;
        layout.colourChannels = 1;
        break;
    case 2:
        layout.mode = PsdMode::Indexed;
        layout.colourChannels = 1;
        if (depth != 8) {
            return DecodeStatus::Corrupt;
        }
        break;
    case 3:
        layout.mode = PsdMode::Rgb;
        layout.colourChannels = 3;
        break;
    case 4:
        layout.mode = PsdMode::Cmyk;
        layout.colourChannels = 4;
        break;
    case 7: // multichannel
    case 9: // Lab
        return DecodeStatus::Unsupported;
    default:
        return DecodeStatus::Corrupt;
    }
    return depth == 1 ? DecodeStatus::Corrupt : DecodeStatus::Ok;
}

} // namespace

DecodeStatus ReadPsdLayout(const uint8_t* data, size_t size, PsdLayout& layout) {
    if (size < 4 || data[0] != '8' || data[1] != 'B' || data[2] != 'P' || data[3] != 'S') {
        return DecodeStatus::UnknownFormat;
    }
    if (size < kHeaderSize) {
        return DecodeStatus::Corrupt;
    }
    const uint64_t version = Be(data + 4, 2);
    if (version != 1 && version != 2) {
        return DecodeStatus::Unsupported;
    }
    const bool large = version == 2;
    const int lengthSize = large ? 8 : 4;
    const uint64_t channels = Be(data + 12, 2);
    const uint64_t height = Be(data + 14, 4);
    const uint64_t width = Be(data + 18, 4);
    const uint64_t depth = Be(data + 22, 2);
    const uint64_t mode = Be(data + 24, 2);
    if (channels < 1 || channels > 56 || width == 0 || height == 0) {
        return DecodeStatus::Corrupt;
    }
    const DecodeStatus modeStatus = CheckMode(mode, depth, layout);
    if (modeStatus != DecodeStatus::Ok) {
        return modeStatus;
    }
    if (channels < uint64_t(layout.colourChannels)) {
        return DecodeStatus::Corrupt;
    }
    if (!PictureSizeAcceptable(static_cast<int64_t>(width), static_cast<int64_t>(height))) {
        return DecodeStatus::TooLarge;
    }
    layout.width = static_cast<int32_t>(width);
    layout.height = static_cast<int32_t>(height);
    layout.depth = static_cast<int>(depth);
    layout.channels = static_cast<int>(channels);
    layout.rowBytes = depth == 1 ? (layout.width + size_t(7)) / 8 : size_t(layout.width) * (depth / 8);

    Cursor c(data, size, kHeaderSize);
    uint64_t length = 0;
    if (!c.Read(4, length) || length > c.Left()) {
        return DecodeStatus::Corrupt;
    }
    if (layout.mode == PsdMode::Indexed) {
        if (length < kColourTableSize) {
            return DecodeStatus::Corrupt;
        }
        layout.colourTable = data + c.At();
    }
    c.Skip(length);

    if (!c.Read(4, length) || length > c.Left()) {
        return DecodeStatus::Corrupt;
    }
    ReadResources(data, c.At(), c.At() + length, layout);
    c.Skip(length);

    if (!c.Read(lengthSize, length) || length > c.Left()) {
        return DecodeStatus::Corrupt;
    }
    const bool transparency = CompositeHasTransparency(data, c.At(), c.At() + length, lengthSize);
    layout.hasAlpha = transparency && channels > uint64_t(layout.colourChannels) &&
                      layout.mode != PsdMode::Bitmap && layout.mode != PsdMode::Indexed;
    c.Skip(length);

    uint64_t compression = 0;
    if (!c.Read(2, compression)) {
        return DecodeStatus::Corrupt;
    }
    const uint64_t rows = channels * height;
    if (compression == 0) {
        layout.rle = false;
        const uint64_t plane = uint64_t(layout.rowBytes) * height;
        if (plane * channels > c.Left()) {
            return DecodeStatus::Corrupt;
        }
        for (int i = 0; i < layout.UsedChannels(); ++i) {
            layout.channelStart[i] = c.At() + plane * uint64_t(i);
        }
        return DecodeStatus::Ok;
    }
    if (compression == 2 || compression == 3) {
        return DecodeStatus::Unsupported; // ZIP, which Photoshop uses for layers only
    }
    if (compression != 1) {
        return DecodeStatus::Corrupt;
    }
    layout.rle = true;
    layout.rowCountSize = large ? 4 : 2;
    if (rows * uint64_t(layout.rowCountSize) > c.Left()) {
        return DecodeStatus::Corrupt;
    }
    layout.rowCounts = data + c.At();
    c.Skip(rows * uint64_t(layout.rowCountSize));
    uint64_t total = 0;
    for (uint64_t row = 0; row < rows; ++row) {
        if (row % height == 0 && row / height < uint64_t(layout.UsedChannels())) {
            layout.channelStart[row / height] = c.At() + total;
        }
        total += Be(layout.rowCounts + row * uint64_t(layout.rowCountSize), layout.rowCountSize);
    }
    if (total > c.Left()) {
        return DecodeStatus::Corrupt; // truncated
    }
    return DecodeStatus::Ok;
}

} // namespace isource
