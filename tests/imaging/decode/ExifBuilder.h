// EXIF blocks as cameras and phones write them, built in memory for the
// tests: the first directory (make, model, orientation, pointers to the
// EXIF and GPS directories), the EXIF directory (date taken and its
// offset), a GPS directory and a second directory for a thumbnail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace exiftest {

struct Spec {
    bool bigEndian = false;
    int orientation = 1;
    std::string make, model, date, offset;
    bool gps = false;       // a GPS directory with a latitude
    bool thumbnail = false; // a second directory pointing at a JPEG thumbnail
};

class Writer {
public:
    explicit Writer(bool bigEndian) : m_big(bigEndian) {}
    void Put(std::vector<uint8_t>& to, size_t at, uint32_t v, int size) const {
        for (int i = 0; i < size; ++i)
            to[at + size_t(i)] = uint8_t(m_big ? v >> (8 * (size - 1 - i)) : v >> (8 * i));
    }
    void Append(std::vector<uint8_t>& to, uint32_t v, int size) const {
        to.resize(to.size() + size_t(size));
        Put(to, to.size() - size_t(size), v, size);
    }

private:
    bool m_big;
};

struct Entry {
    uint16_t tag, type;
    uint32_t count;
    std::vector<uint8_t> bytes; // the value as stored (in the structure's byte order)
};

inline Entry Ascii(uint16_t tag, const std::string& s) {
    Entry e{tag, 2, uint32_t(s.size() + 1), std::vector<uint8_t>(s.begin(), s.end())};
    e.bytes.push_back(0);
    return e;
}

inline Entry Number(const Writer& w, uint16_t tag, uint16_t type, uint32_t v) {
    Entry e{tag, type, 1, {}};
    w.Append(e.bytes, v, type == 3 ? 2 : 4);
    return e;
}

// Appends a directory at the end of `out`; returns where its next-directory
// offset lies.
inline size_t AppendDirectory(const Writer& w, std::vector<uint8_t>& out, const std::vector<Entry>& entries) {
    const size_t start = out.size();
    size_t data = start + 2 + entries.size() * 12 + 4;
    w.Append(out, uint32_t(entries.size()), 2);
    for (const Entry& e : entries) {
        w.Append(out, e.tag, 2);
        w.Append(out, e.type, 2);
        w.Append(out, e.count, 4);
        if (e.bytes.size() <= 4) {
            std::vector<uint8_t> value = e.bytes;
            value.resize(4, 0);
            out.insert(out.end(), value.begin(), value.end());
        } else {
            w.Append(out, uint32_t(data), 4);
            data += e.bytes.size() + (e.bytes.size() & 1);
        }
    }
    const size_t next = out.size();
    w.Append(out, 0, 4);
    for (const Entry& e : entries)
        if (e.bytes.size() > 4) {
            out.insert(out.end(), e.bytes.begin(), e.bytes.end());
            if (e.bytes.size() & 1)
                out.push_back(0);
        }
    return next;
}

// The bare TIFF structure (what a PNG eXIf chunk holds).
inline std::vector<uint8_t> BuildTiff(const Spec& s) {
    const Writer w(s.bigEndian);
    std::vector<uint8_t> out = {uint8_t(s.bigEndian ? 'M' : 'I'), uint8_t(s.bigEndian ? 'M' : 'I')};
    w.Append(out, 42, 2);
    w.Append(out, 8, 4);
    std::vector<Entry> first;
    if (!s.make.empty())
        first.push_back(Ascii(0x010F, s.make));
    if (!s.model.empty())
        first.push_back(Ascii(0x0110, s.model));
    first.push_back(Number(w, 0x0112, 3, uint32_t(s.orientation)));
    first.push_back(Number(w, 0x8769, 4, 0)); // EXIF directory, filled in below
    if (s.gps)
        first.push_back(Number(w, 0x8825, 4, 0));
    const size_t firstAt = out.size();
    const size_t firstNext = AppendDirectory(w, out, first);
    auto entryValue = [&](size_t index) { return firstAt + 2 + index * 12 + 8; };
    const size_t exifIndex = first.size() - (s.gps ? 2 : 1);

    w.Put(out, entryValue(exifIndex), uint32_t(out.size()), 4);
    std::vector<Entry> exif;
    if (!s.date.empty())
        exif.push_back(Ascii(0x9003, s.date));
    if (!s.offset.empty())
        exif.push_back(Ascii(0x9011, s.offset));
    AppendDirectory(w, out, exif);
    if (s.gps) {
        w.Put(out, entryValue(exifIndex + 1), uint32_t(out.size()), 4);
        Entry latitude{0x0002, 5, 3, {}};
        for (uint32_t v : {52u, 1u, 31u, 1u, 0u, 1u})
            w.Append(latitude.bytes, v, 4);
        AppendDirectory(w, out, {Ascii(0x0001, "N"), latitude});
    }
    if (s.thumbnail) {
        w.Put(out, firstNext, uint32_t(out.size()), 4);
        const size_t thumbnailEntries = out.size();
        AppendDirectory(w, out, {Number(w, 0x0201, 4, 0), Number(w, 0x0202, 4, 4)});
        w.Put(out, thumbnailEntries + 2 + 8, uint32_t(out.size()), 4);
        out.insert(out.end(), {0xFF, 0xD8, 0xFF, 0xD9});
    }
    return out;
}

// The APP1 payload of a JPEG: "Exif\0\0" and the structure.
inline std::vector<uint8_t> App1Payload(const std::vector<uint8_t>& tiff) {
    std::vector<uint8_t> out = {'E', 'x', 'i', 'f', 0, 0};
    out.insert(out.end(), tiff.begin(), tiff.end());
    return out;
}

// The JPEG with a segment of this marker and payload right after SOI.
inline std::vector<uint8_t> WithSegment(const std::vector<uint8_t>& jpeg, uint8_t marker,
                                        const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    const size_t length = payload.size() + 2;
    out.insert(out.end(), {0xFF, marker, uint8_t(length >> 8), uint8_t(length)});
    out.insert(out.end(), payload.begin(), payload.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

} // namespace exiftest
