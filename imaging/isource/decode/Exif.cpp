#include "imaging/isource/decode/Exif.h"

#include <cstring>

#include "imaging/isource/decode/Orientation.h"

namespace isource {
namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;

struct Reader {
    const uint8_t* p;
    size_t size;
    bool bigEndian;

    bool Has(size_t offset, size_t count) const { return offset <= size && count <= size - offset; }
    uint16_t U16(size_t at) const {
        return bigEndian ? static_cast<uint16_t>(p[at] << 8 | p[at + 1])
                         : static_cast<uint16_t>(p[at + 1] << 8 | p[at]);
    }
    uint32_t U32(size_t at) const {
        return bigEndian ? static_cast<uint32_t>(U16(at)) << 16 | U16(at + 2)
                         : static_cast<uint32_t>(U16(at + 2)) << 16 | U16(at);
    }
};

} // namespace

int ExifOrientation(const uint8_t* payload, size_t size) {
    static const uint8_t kIdent[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (size < sizeof kIdent + 8 || std::memcmp(payload, kIdent, sizeof kIdent) != 0)
        return kUpright;
    Reader tiff{payload + sizeof kIdent, size - sizeof kIdent, false};
    if (tiff.p[0] == 'M' && tiff.p[1] == 'M')
        tiff.bigEndian = true;
    else if (!(tiff.p[0] == 'I' && tiff.p[1] == 'I'))
        return kUpright;
    if (tiff.U16(2) != 42)
        return kUpright;

    const size_t ifd = tiff.U32(4);
    if (!tiff.Has(ifd, 2))
        return kUpright;
    const size_t entries = tiff.U16(ifd);
    for (size_t i = 0; i < entries; ++i) {
        const size_t entry = ifd + 2 + i * 12;
        if (!tiff.Has(entry, 12))
            break;
        if (tiff.U16(entry) != kOrientationTag)
            continue;
        const uint16_t type = tiff.U16(entry + 2);
        if (tiff.U32(entry + 4) != 1)
            break;
        uint32_t value = 0;
        if (type == kTypeShort)
            value = tiff.U16(entry + 8);
        else if (type == kTypeLong)
            value = tiff.U32(entry + 8);
        return IsValidOrientation(static_cast<int>(value)) ? static_cast<int>(value) : kUpright;
    }
    return kUpright;
}

} // namespace isource
