#include "imaging/isource/encode/ExifBlock.h"

#include <string>

namespace isource {
namespace {

constexpr uint16_t kTypeUndefined = 7;
constexpr uint16_t kTypeAscii = 2;
constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;

struct Entry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    std::vector<uint8_t> value; // values of more than four bytes go after the directory
    uint32_t inline_value = 0;  // otherwise, little-endian in the entry
};

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, uint16_t(v));
    Put16(out, uint16_t(v >> 16));
}

Entry Ascii(uint16_t tag, const std::string& text) {
    Entry e{tag, kTypeAscii, uint32_t(text.size() + 1), std::vector<uint8_t>(text.begin(), text.end())};
    e.value.push_back(0);
    if (e.count <= 4) {
        for (size_t i = 0; i < e.value.size(); ++i)
            e.inline_value |= uint32_t(e.value[i]) << (8 * i);
        e.value.clear();
    }
    return e;
}

Entry Short(uint16_t tag, uint16_t value) {
    return Entry{tag, kTypeShort, 1, {}, value};
}

// Writes one directory at the end of `out` (whose first byte is the TIFF
// header's), its long values after it; the next-directory offset is 0 or,
// for an entry whose value is filled in later, patched by the caller.
void WriteDirectory(std::vector<uint8_t>& out, const std::vector<Entry>& entries) {
    const size_t start = out.size();
    size_t data = start + 2 + entries.size() * 12 + 4;
    Put16(out, uint16_t(entries.size()));
    for (const Entry& e : entries) {
        Put16(out, e.tag);
        Put16(out, e.type);
        Put32(out, e.count);
        if (e.value.empty()) {
            Put32(out, e.inline_value);
        } else {
            Put32(out, uint32_t(data));
            data += e.value.size() + (e.value.size() & 1);
        }
    }
    Put32(out, 0); // no further directory: no thumbnail
    for (const Entry& e : entries) {
        out.insert(out.end(), e.value.begin(), e.value.end());
        if (e.value.size() & 1)
            out.push_back(0);
    }
}

} // namespace

std::vector<uint8_t> MakeExifBlock(const PhotoInfo& info) {
    // Offsets count from the TIFF header, which follows the six bytes "Exif\0\0".
    std::vector<uint8_t> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};

    std::vector<Entry> first;
    if (!info.make.empty())
        first.push_back(Ascii(0x010F, info.make));
    if (!info.model.empty())
        first.push_back(Ascii(0x0110, info.model));
    first.push_back(Short(0x0112, 1)); // upright as stored
    first.push_back(Entry{0x8769, kTypeLong, 1, {}, 0});
    size_t pointerAt = 8 + 2 + (first.size() - 1) * 12 + 8;
    WriteDirectory(tiff, first);

    const uint32_t exifAt = uint32_t(tiff.size());
    for (int i = 0; i < 4; ++i)
        tiff[pointerAt + size_t(i)] = uint8_t(exifAt >> (8 * i));
    std::vector<Entry> exif;
    Entry version{0x9000, kTypeUndefined, 4, {}, 0};
    version.inline_value = uint32_t('0') | uint32_t('2') << 8 | uint32_t('3') << 16 | uint32_t('2') << 24;
    exif.push_back(version);
    if (!info.dateTimeOriginal.empty())
        exif.push_back(Ascii(0x9003, info.dateTimeOriginal));
    if (!info.offsetTimeOriginal.empty())
        exif.push_back(Ascii(0x9011, info.offsetTimeOriginal));
    exif.push_back(Short(0xA001, 1)); // ColorSpace: sRGB
    WriteDirectory(tiff, exif);

    std::vector<uint8_t> block = {'E', 'x', 'i', 'f', 0, 0};
    block.insert(block.end(), tiff.begin(), tiff.end());
    return block;
}

} // namespace isource
