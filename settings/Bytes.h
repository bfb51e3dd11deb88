// Little-endian integers in byte images, independent of the host's order.
#pragma once

#include "support/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace settings {

inline uint32_t LoadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline int32_t LoadI32(const uint8_t* p) {
    return int32_t(LoadU32(p));
}
inline int16_t LoadI16(const uint8_t* p) {
    return int16_t(uint16_t(p[0] | p[1] << 8));
}

inline void StoreU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
inline void StoreI32(uint8_t* p, int32_t v) {
    StoreU32(p, uint32_t(v));
}
inline void StoreI16(uint8_t* p, int16_t v) {
    p[0] = uint8_t(uint16_t(v));
    p[1] = uint8_t(uint16_t(v) >> 8);
}

// Copies at most size - 1 bytes of a zero-terminated text (null counts as
// empty) and always terminates; a UTF-8 text is never cut inside a character.
inline void CopyBounded(char* dest, size_t size, const char* src) {
    size_t n = 0;
    if (src) {
        const std::string_view text(src);
        n = Utf8CutLength(text, size - 1);
        std::memcpy(dest, src, n);
    }
    dest[n] = '\0';
}

// The same for a field that need not hold a zero: copies up to the first
// zero, at most min(fieldSize, size - 1) characters.
inline void CopyField(char* dest, size_t size, const uint8_t* field, size_t fieldSize) {
    size_t n = 0;
    while (n + 1 < size && n < fieldSize && field[n] != 0) {
        dest[n] = char(field[n]);
        ++n;
    }
    dest[n] = '\0';
}

} // namespace settings
