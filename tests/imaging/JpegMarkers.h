// The marker segments of a JPEG file as a photo frame meets them, and the
// check that a copy is one every frame shows: baseline (SOF0), 8-bit, three
// components at full resolution (4:4:4), quality 100 (every quantiser 1),
// and no markers beyond JFIF, EXIF and an ICC profile. Plain C++, shared by
// the tests that look at written copies.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace jpegtest {

struct Segment {
    uint8_t marker = 0;
    std::vector<uint8_t> payload; // after the length field
};

// The segments from SOI up to and including the first SOS; empty when the
// bytes are no JPEG or a segment runs past the end.
inline std::vector<Segment> ReadSegments(const std::vector<uint8_t>& file) {
    std::vector<Segment> segments;
    if (file.size() < 4 || file[0] != 0xFF || file[1] != 0xD8)
        return {};
    size_t at = 2;
    while (at + 4 <= file.size()) {
        if (file[at] != 0xFF)
            return {};
        Segment s;
        s.marker = file[at + 1];
        const size_t length = size_t(file[at + 2]) << 8 | file[at + 3];
        if (length < 2 || at + 2 + length > file.size())
            return {};
        s.payload.assign(file.begin() + std::ptrdiff_t(at + 4), file.begin() + std::ptrdiff_t(at + 2 + length));
        segments.push_back(s);
        if (s.marker == 0xDA)
            return segments;
        at += 2 + length;
    }
    return {};
}

inline bool StartsWith(const std::vector<uint8_t>& payload, const char* text, size_t length) {
    return payload.size() >= length && std::memcmp(payload.data(), text, length) == 0;
}

// The APP1 EXIF payload ("Exif\0\0" first), empty when there is none.
inline std::vector<uint8_t> ExifPayload(const std::vector<uint8_t>& file) {
    for (const Segment& s : ReadSegments(file))
        if (s.marker == 0xE1 && StartsWith(s.payload, "Exif\0\0", 6))
            return s.payload;
    return {};
}

// What keeps the file from being frame-safe; empty when it is.
inline std::string FrameSafetyProblem(const std::vector<uint8_t>& file) {
    const std::vector<Segment> segments = ReadSegments(file);
    if (segments.empty())
        return "not a JPEG whose segments can be read";
    bool frame = false, jfif = false;
    for (const Segment& s : segments) {
        const uint8_t m = s.marker;
        if (m == 0xC0) {
            const std::vector<uint8_t>& p = s.payload;
            if (p.size() != 6 + 3 * 3 || p[0] != 8 || p[5] != 3)
                return "the frame is not 8-bit with three components";
            for (int c = 0; c < 3; ++c)
                if (p[6 + 3 * c + 1] != 0x11)
                    return "a component is subsampled (not 4:4:4)";
            frame = true;
        } else if ((m >= 0xC1 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC)) {
            return "not baseline: SOF marker " + std::to_string(m - 0xC0);
        } else if (m == 0xDB) {
            // Tables of 8-bit quantisers: a precision/id byte and 64 values each.
            for (size_t t = 0; t + 65 <= s.payload.size(); t += 65) {
                if (s.payload[t] >> 4 != 0)
                    return "a 16-bit quantisation table";
                for (size_t i = 1; i <= 64; ++i)
                    if (s.payload[t + i] != 1)
                        return "a quantiser above 1: not quality 100";
            }
        } else if (m == 0xE0) {
            if (!StartsWith(s.payload, "JFIF\0", 5))
                return "an APP0 segment that is not JFIF";
            jfif = true;
        } else if (m == 0xE1) {
            if (!StartsWith(s.payload, "Exif\0\0", 6))
                return "an APP1 segment that is not EXIF";
        } else if (m == 0xE2) {
            if (!StartsWith(s.payload, "ICC_PROFILE\0", 12))
                return "an APP2 segment that is not an ICC profile";
        } else if ((m >= 0xE3 && m <= 0xEF) || m == 0xFE) {
            return "a further application or comment segment";
        }
    }
    if (!frame)
        return "no baseline frame (SOF0)";
    if (!jfif)
        return "no JFIF header";
    return {};
}

} // namespace jpegtest
