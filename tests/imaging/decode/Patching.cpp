#include "Patching.h"

#include <cstring>

#include <zlib.h>

namespace patch {
namespace {

uint32_t Get(const std::vector<uint8_t>& b, size_t at, int size, bool big) {
    uint32_t v = 0;
    for (int i = 0; i < size; ++i)
        v = v << 8 | b[at + (big ? i : size - 1 - i)];
    return v;
}

void Put(std::vector<uint8_t>& b, size_t at, uint32_t v, int size, bool big) {
    for (int i = 0; i < size; ++i)
        b[at + (big ? size - 1 - i : i)] = static_cast<uint8_t>(v >> (8 * i));
}

bool TiffIsBigEndian(const std::vector<uint8_t>& tiff) {
    return tiff[0] == 'M';
}

} // namespace

void PutBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size) {
    Put(bytes, at, value, size, true);
}

size_t FindJpegMarker(const std::vector<uint8_t>& jpeg, uint8_t code) {
    // Walk the segments from SOI up to the scan.
    size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
        const uint8_t marker = jpeg[at + 1];
        if (marker == code)
            return at + 1;
        if (marker == 0xDA)
            return 0;
        at += 2 + Get(jpeg, at + 2, 2, true);
    }
    return 0;
}

size_t JpegScanStart(const std::vector<uint8_t>& jpeg) {
    const size_t sos = FindJpegMarker(jpeg, 0xDA);
    return sos ? sos + 1 + Get(jpeg, sos + 1, 2, true) : 0;
}

size_t ExifOrientationValue(const std::vector<uint8_t>& jpeg, bool& bigEndian) {
    const size_t app1 = FindJpegMarker(jpeg, 0xE1);
    if (!app1 || std::memcmp(&jpeg[app1 + 3], "Exif\0\0", 6) != 0)
        return 0;
    const size_t tiff = app1 + 9;
    bigEndian = jpeg[tiff] == 'M';
    const size_t ifd = tiff + Get(jpeg, tiff + 4, 4, bigEndian);
    const uint32_t entries = Get(jpeg, ifd, 2, bigEndian);
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t e = ifd + 2 + i * 12;
        if (Get(jpeg, e, 2, bigEndian) == 0x0112)
            return e + 8;
    }
    return 0;
}

size_t FindPngChunk(const std::vector<uint8_t>& png, const char* type) {
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = Get(png, at, 4, true);
        if (std::memcmp(&png[at + 4], type, 4) == 0)
            return at + 8;
        at += 12 + length;
    }
    return 0;
}

void FixPngCrc(std::vector<uint8_t>& png, size_t data) {
    const uint32_t length = Get(png, data - 8, 4, true);
    const uLong crc = crc32(0, &png[data - 4], length + 4);
    Put(png, data + length, static_cast<uint32_t>(crc), 4, true);
}

size_t FindTiffEntry(const std::vector<uint8_t>& tiff, uint16_t tag) {
    const bool big = TiffIsBigEndian(tiff);
    const size_t ifd = Get(tiff, 4, 4, big);
    const uint32_t entries = Get(tiff, ifd, 2, big);
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t e = ifd + 2 + i * 12;
        if (Get(tiff, e, 2, big) == tag)
            return e;
    }
    return 0;
}

void SetTiffEntry(std::vector<uint8_t>& tiff, size_t entry, uint16_t type, uint32_t value) {
    const bool big = TiffIsBigEndian(tiff);
    Put(tiff, entry + 2, type, 2, big);
    Put(tiff, entry + 4, 1, 4, big);
    Put(tiff, entry + 8, 0, 4, big);
    Put(tiff, entry + 8, value, type == 3 ? 2 : 4, big);
}

uint32_t FirstStripOffset(const std::vector<uint8_t>& tiff) {
    const bool big = TiffIsBigEndian(tiff);
    const size_t e = FindTiffEntry(tiff, 273);
    const uint32_t type = Get(tiff, e + 2, 2, big), count = Get(tiff, e + 4, 4, big);
    const int size = type == 3 ? 2 : 4;
    const size_t at = count * size <= 4 ? e + 8 : Get(tiff, e + 8, 4, big);
    return Get(tiff, at, size, big);
}

std::vector<uint8_t> BuildPng(uint32_t width, uint32_t height, int depth, int colourType,
                              const std::vector<std::vector<uint8_t>>& rows,
                              const std::vector<std::pair<std::string, std::vector<uint8_t>>>& chunks) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const std::string& type, const std::vector<uint8_t>& data) {
        for (int i = 3; i >= 0; --i)
            out.push_back(static_cast<uint8_t>(data.size() >> (8 * i)));
        const size_t start = out.size();
        out.insert(out.end(), type.begin(), type.end());
        out.insert(out.end(), data.begin(), data.end());
        const uLong crc = crc32(0, &out[start], static_cast<uInt>(out.size() - start));
        for (int i = 3; i >= 0; --i)
            out.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    };
    std::vector<uint8_t> ihdr(13, 0);
    for (int i = 0; i < 4; ++i)
        ihdr[i] = static_cast<uint8_t>(width >> (24 - 8 * i)),
        ihdr[4 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
    ihdr[8] = static_cast<uint8_t>(depth);
    ihdr[9] = static_cast<uint8_t>(colourType);
    chunk("IHDR", ihdr);
    for (const auto& c : chunks)
        chunk(c.first, c.second);
    std::vector<uint8_t> raw;
    for (const auto& row : rows) {
        raw.push_back(0);
        raw.insert(raw.end(), row.begin(), row.end());
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9);
    packed.resize(packedSize);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return out;
}

} // namespace patch
