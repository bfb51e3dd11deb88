#include "imaging/isource/decode/TiffStructure.h"

#include <algorithm>
#include <vector>

namespace isource {
namespace {

constexpr size_t kMaxDirectories = 4096;

constexpr uint16_t kImageWidth = 256;
constexpr uint16_t kImageLength = 257;
constexpr uint16_t kStripOffsets = 273;
constexpr uint16_t kStripByteCounts = 279;
constexpr uint16_t kTileOffsets = 324;
constexpr uint16_t kTileByteCounts = 325;

// Bytes per value of each TIFF field type (1 BYTE to 18 IFD8); 0 for the
// types libtiff ignores.
uint64_t TypeSize(uint16_t type) {
    static const uint8_t kSizes[19] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4, 0, 0, 8, 8, 8};
    return type < 19 ? kSizes[type] : 0;
}

class TiffFile {
public:
    TiffFile(const uint8_t* data, size_t size) : m_pData(data), m_nSize(size) {}

    bool Check();
    uint64_t m_nWidth = 0;
    uint64_t m_nHeight = 0;

private:
    struct Entry {
        uint16_t tag, type;
        uint64_t count;
        uint64_t valueAt; // where the values are: inside the entry or at its offset
    };

    bool Has(uint64_t offset, uint64_t length) const {
        return offset <= m_nSize && length <= m_nSize - offset;
    }
    uint64_t Read(uint64_t at, int bytes) const {
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            const uint8_t b = m_pData[at + (m_bBig ? i : bytes - 1 - i)];
            v = v << 8 | b;
        }
        return v;
    }
    bool CheckDirectory(uint64_t at, uint64_t& next, bool firstDirectory);
    bool CheckStrips(const Entry& offsets, const Entry& counts) const;

    const uint8_t* m_pData;
    uint64_t m_nSize;
    bool m_bBig = false; // big-endian
    bool m_bBigTiff = false;
};

bool TiffFile::Check() {
    if (m_nSize < 8)
        return false;
    m_bBig = m_pData[0] == 'M';
    const uint64_t version = Read(2, 2);
    uint64_t first;
    if (version == 42) {
        first = Read(4, 4);
    } else if (version == 43) {
        m_bBigTiff = true;
        if (!Has(0, 16) || Read(4, 2) != 8 || Read(6, 2) != 0)
            return false;
        first = Read(8, 8);
    } else {
        return false;
    }

    std::vector<uint64_t> seen;
    for (uint64_t at = first; at != 0;) {
        if (seen.size() == kMaxDirectories)
            return true; // libtiff never goes this far for the first page
        if (std::find(seen.begin(), seen.end(), at) != seen.end())
            return false;
        seen.push_back(at);
        if (!CheckDirectory(at, at, seen.size() == 1))
            return false;
    }
    return !seen.empty();
}

bool TiffFile::CheckDirectory(uint64_t at, uint64_t& next, bool firstDirectory) {
    const int countBytes = m_bBigTiff ? 8 : 2;
    const int offsetBytes = m_bBigTiff ? 8 : 4;
    const uint64_t entryBytes = m_bBigTiff ? 20 : 12;
    if (!Has(at, countBytes))
        return false;
    const uint64_t entries = Read(at, countBytes);
    if (entries > (m_nSize - at) / entryBytes)
        return false;
    const uint64_t first = at + countBytes;
    if (!Has(first + entries * entryBytes, offsetBytes))
        return false;
    next = Read(first + entries * entryBytes, offsetBytes);

    Entry strips[2] = {}, tiles[2] = {};
    for (uint64_t i = 0; i < entries; ++i) {
        const uint64_t e = first + i * entryBytes;
        Entry entry{static_cast<uint16_t>(Read(e, 2)), static_cast<uint16_t>(Read(e + 2, 2)),
                    Read(e + 4, offsetBytes), e + 4 + offsetBytes};
        const uint64_t size = TypeSize(entry.type);
        if (size == 0)
            continue;
        if (entry.count > m_nSize / size)
            return false;
        if (entry.count * size > static_cast<uint64_t>(offsetBytes)) {
            entry.valueAt = Read(entry.valueAt, offsetBytes);
            if (!Has(entry.valueAt, entry.count * size))
                return false;
        }
        if (firstDirectory && entry.count == 1 && (entry.tag == kImageWidth || entry.tag == kImageLength)) {
            const uint64_t value = Read(entry.valueAt, static_cast<int>(std::min<uint64_t>(size, 8)));
            (entry.tag == kImageWidth ? m_nWidth : m_nHeight) = value;
        }
        switch (entry.tag) {
        case kStripOffsets:
            strips[0] = entry;
            break;
        case kStripByteCounts:
            strips[1] = entry;
            break;
        case kTileOffsets:
            tiles[0] = entry;
            break;
        case kTileByteCounts:
            tiles[1] = entry;
            break;
        default:
            break;
        }
    }
    return CheckStrips(strips[0], strips[1]) && CheckStrips(tiles[0], tiles[1]);
}

bool TiffFile::CheckStrips(const Entry& offsets, const Entry& counts) const {
    const uint64_t n = std::min(offsets.count, counts.count);
    const uint64_t offsetSize = TypeSize(offsets.type), countSize = TypeSize(counts.type);
    if (offsetSize > 8 || countSize > 8 || offsetSize == 1 || countSize == 1)
        return true; // not integer arrays libtiff would use; it refuses them itself
    for (uint64_t i = 0; i < n; ++i) {
        const uint64_t offset = Read(offsets.valueAt + i * offsetSize, static_cast<int>(offsetSize));
        const uint64_t count = Read(counts.valueAt + i * countSize, static_cast<int>(countSize));
        if (count != 0 && !Has(offset, count))
            return false;
    }
    return true;
}

} // namespace

TiffOutline OutlineTiff(const uint8_t* data, size_t size) {
    TiffFile file(data, size);
    TiffOutline outline;
    outline.whole = file.Check();
    outline.width = file.m_nWidth;
    outline.height = file.m_nHeight;
    return outline;
}

} // namespace isource
