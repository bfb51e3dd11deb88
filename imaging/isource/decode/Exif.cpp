#include "imaging/isource/decode/Exif.h"

#include <cstring>

#include "imaging/isource/decode/Decode.h"
#include "imaging/isource/decode/Orientation.h"

namespace isource {
namespace {

constexpr uint16_t kMakeTag = 0x010F;
constexpr uint16_t kModelTag = 0x0110;
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kExifIfdTag = 0x8769;
constexpr uint16_t kDateTimeOriginalTag = 0x9003;
constexpr uint16_t kOffsetTimeOriginalTag = 0x9011;
constexpr uint16_t kTypeAscii = 2;
constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeIfd = 13;
const uint8_t kExifIdent[6] = {'E', 'x', 'i', 'f', 0, 0};

// Longest text a copy keeps of a maker's or model's name.
constexpr size_t kMaxNameChars = 63;

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

// A reader over a TIFF structure's header; false when it is none (classic
// TIFF only: EXIF blocks are never BigTIFF).
bool OpenTiff(const uint8_t* tiff, size_t size, Reader& reader) {
    if (size < 8)
        return false;
    reader = Reader{tiff, size, false};
    if (tiff[0] == 'M' && tiff[1] == 'M')
        reader.bigEndian = true;
    else if (!(tiff[0] == 'I' && tiff[1] == 'I'))
        return false;
    return reader.U16(2) == 42;
}

// Calls visit(tag, type, count, valueAt) for each entry of the directory at
// `ifd` that lies inside the structure; valueAt is where a value of up to
// four bytes lies, else the offset it names.
template <typename Visit> void Walk(const Reader& r, size_t ifd, Visit visit) {
    if (!r.Has(ifd, 2))
        return;
    const size_t entries = r.U16(ifd);
    for (size_t i = 0; i < entries; ++i) {
        const size_t entry = ifd + 2 + i * 12;
        if (!r.Has(entry, 12))
            return;
        visit(r.U16(entry), r.U16(entry + 2), r.U32(entry + 4), entry + 8);
    }
}

// An ASCII value as a copy may keep it: up to its zero, printable
// characters only, trailing spaces removed, at most `limit` characters.
std::string Text(const Reader& r, uint16_t type, uint32_t count, size_t valueAt, size_t limit) {
    if (type != kTypeAscii || count == 0)
        return {};
    const size_t at = count <= 4 ? valueAt : r.U32(valueAt);
    if (!r.Has(at, count))
        return {};
    std::string text;
    for (size_t i = 0; i < count && r.p[at + i] != 0 && text.size() < limit; ++i) {
        const char c = static_cast<char>(r.p[at + i]);
        if (c < 0x20 || c > 0x7E)
            return {}; // not a text a copy should repeat
        text += c;
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

bool IsDigits(const std::string& s, size_t at, size_t n) {
    for (size_t i = at; i < at + n; ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

// "YYYY:MM:DD HH:MM:SS", the only form EXIF dates take; anything else
// (blanks for an unknown date, a damaged value) is dropped.
bool IsExifDate(const std::string& s) {
    return s.size() == 19 && IsDigits(s, 0, 4) && s[4] == ':' && IsDigits(s, 5, 2) && s[7] == ':' &&
           IsDigits(s, 8, 2) && s[10] == ' ' && IsDigits(s, 11, 2) && s[13] == ':' && IsDigits(s, 14, 2) &&
           s[16] == ':' && IsDigits(s, 17, 2);
}

// "+HH:MM" or "-HH:MM".
bool IsExifOffset(const std::string& s) {
    return s.size() == 6 && (s[0] == '+' || s[0] == '-') && IsDigits(s, 1, 2) && s[3] == ':' &&
           IsDigits(s, 4, 2);
}

bool IsExifPayload(const uint8_t* payload, size_t size) {
    return payload != nullptr && size >= sizeof kExifIdent && std::memcmp(payload, kExifIdent, sizeof kExifIdent) == 0;
}

uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The first EXIF block among a JPEG's segments before its first scan.
PhotoInfo JpegPhotoInfo(const uint8_t* data, size_t size) {
    size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF) { // stray bytes between segments: look for the next marker
            ++at;
            continue;
        }
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // start of scan, end of image
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        const size_t length = size_t(data[at + 2]) << 8 | data[at + 3];
        if (length < 2 || at + 2 + length > size)
            break;
        const uint8_t* payload = data + at + 4;
        if (marker == 0xE1 && IsExifPayload(payload, length - 2)) {
            PhotoInfo info = ReadExifPhotoInfo(payload, length - 2);
            if (!info.Empty())
                return info;
        }
        at += 2 + length;
    }
    return {};
}

// A PNG's eXIf chunk before its image data.
PhotoInfo PngPhotoInfo(const uint8_t* data, size_t size) {
    size_t at = 8;
    while (at + 12 <= size) {
        const uint32_t length = Be32(data + at);
        if (length > size - at - 12)
            break;
        const uint8_t* type = data + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0)
            break;
        if (std::memcmp(type, "eXIf", 4) == 0)
            return ReadTiffPhotoInfo(data + at + 8, length);
        at += 12 + size_t(length);
    }
    return {};
}

// A PSD's image resource 1058 (EXIF data 1): header, mode data, then the
// resources as signature, id, padded Pascal name, length, padded data.
PhotoInfo PsdPhotoInfo(const uint8_t* data, size_t size) {
    size_t at = 26;
    if (size < at + 4)
        return {};
    const size_t modeLength = Be32(data + at);
    if (modeLength > size - at - 4)
        return {};
    at += 4 + modeLength;
    if (size < at + 4)
        return {};
    const size_t resourcesLength = Be32(data + at);
    at += 4;
    if (resourcesLength > size - at)
        return {};
    const size_t end = at + resourcesLength;
    while (at + 7 <= end) {
        const uint16_t id = static_cast<uint16_t>(data[at + 4] << 8 | data[at + 5]);
        const size_t nameLength = data[at + 6];
        size_t next = at + 6 + ((nameLength + 2) & ~size_t(1));
        if (next + 4 > end)
            break;
        const size_t length = Be32(data + next);
        next += 4;
        if (length > end - next)
            break;
        if (id == 1058)
            return ReadTiffPhotoInfo(data + next, length);
        at = next + length + (length & 1);
    }
    return {};
}

} // namespace

int TiffOrientation(const uint8_t* tiff, size_t size) {
    Reader r;
    if (!OpenTiff(tiff, size, r))
        return kUpright;
    int orientation = kUpright;
    bool seen = false;
    Walk(r, r.U32(4), [&](uint16_t tag, uint16_t type, uint32_t count, size_t valueAt) {
        if (tag != kOrientationTag || seen)
            return;
        seen = true;
        uint32_t value = 0;
        if (count == 1 && type == kTypeShort)
            value = r.U16(valueAt);
        else if (count == 1 && type == kTypeLong)
            value = r.U32(valueAt);
        if (IsValidOrientation(static_cast<int>(value)))
            orientation = static_cast<int>(value);
    });
    return orientation;
}

int ExifOrientation(const uint8_t* payload, size_t size) {
    if (!IsExifPayload(payload, size))
        return kUpright;
    return TiffOrientation(payload + sizeof kExifIdent, size - sizeof kExifIdent);
}

PhotoInfo ReadTiffPhotoInfo(const uint8_t* tiff, size_t size) {
    PhotoInfo info;
    Reader r;
    if (tiff == nullptr || !OpenTiff(tiff, size, r))
        return info;
    size_t exifIfd = 0;
    Walk(r, r.U32(4), [&](uint16_t tag, uint16_t type, uint32_t count, size_t valueAt) {
        if (tag == kMakeTag)
            info.make = Text(r, type, count, valueAt, kMaxNameChars);
        else if (tag == kModelTag)
            info.model = Text(r, type, count, valueAt, kMaxNameChars);
        else if (tag == kExifIfdTag && count == 1 && (type == kTypeLong || type == kTypeIfd))
            exifIfd = r.U32(valueAt);
    });
    if (exifIfd != 0) {
        Walk(r, exifIfd, [&](uint16_t tag, uint16_t type, uint32_t count, size_t valueAt) {
            if (tag == kDateTimeOriginalTag)
                info.dateTimeOriginal = Text(r, type, count, valueAt, 19);
            else if (tag == kOffsetTimeOriginalTag)
                info.offsetTimeOriginal = Text(r, type, count, valueAt, 6);
        });
    }
    if (!IsExifDate(info.dateTimeOriginal))
        info.dateTimeOriginal.clear();
    // An offset means nothing without the time it belongs to.
    if (!IsExifOffset(info.offsetTimeOriginal) || info.dateTimeOriginal.empty())
        info.offsetTimeOriginal.clear();
    return info;
}

PhotoInfo ReadExifPhotoInfo(const uint8_t* payload, size_t size) {
    if (!IsExifPayload(payload, size))
        return {};
    return ReadTiffPhotoInfo(payload + sizeof kExifIdent, size - sizeof kExifIdent);
}

PhotoInfo ReadPhotoInfo(const uint8_t* data, size_t size) {
    switch (GuessFormat(data, size)) {
    case ImageFormat::Jpeg:
        return JpegPhotoInfo(data, size);
    case ImageFormat::Png:
        return PngPhotoInfo(data, size);
    case ImageFormat::Tiff:
        return ReadTiffPhotoInfo(data, size);
    case ImageFormat::Psd:
        return PsdPhotoInfo(data, size);
    default:
        return {};
    }
}

} // namespace isource
