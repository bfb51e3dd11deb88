// The record file's layout: a 356-byte header, a table of index entries
// sorted by key, then the data area. Plain code shared by the file layer and
// its tests and fuzz target.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qdf {

constexpr size_t kHeaderSize = 356;
constexpr int32_t kInitialCapacity = 1024;
constexpr int32_t kGrowthStep = 256;
constexpr int kMinKeyType = 1;
constexpr int kMaxKeyType = 10;
constexpr int kIntegerKeyType = 1;
// Name of a file that no application has claimed yet.
constexpr const char* kDefaultAppName = "QDF_FILE 2.0";

// Size of a key of this type (0 for a type outside 1 to 10).
int32_t KeySize(int keyType);
// Size of one index entry: the key, then the record's int32 offset and
// int32 length.
inline int32_t EntrySize(int keyType) {
    return KeySize(keyType) == 0 ? 0 : KeySize(keyType) + 8;
}
inline bool IsTextKeyType(int keyType) {
    return keyType > kIntegerKeyType && keyType <= kMaxKeyType;
}

// Sum of the little-endian 32-bit words that start at offsets 0, 4, 8, ...
// and at 1, 5, 9, ... of the bytes, each word taking only bytes inside the
// length; modulo 2^32. The caller upper-cases and bounds the bytes first.
uint32_t SumHashWords(const uint8_t* bytes, size_t length);

} // namespace qdf

struct t_QdfHeader {
    uint8_t reserved[44];
    char szAppName[32];
    int16_t nKeyType;
    uint8_t padding[2];
    int32_t nEntrySize;
    int32_t nCapacity;
    int32_t nCount;
    int32_t nMaxRecord;
    int32_t nFlags;
    uint8_t reserved2[256];

    using Image = std::array<uint8_t, qdf::kHeaderSize>;

    // The closed state: key type 0, the default name, capacity 1024, count 0,
    // everything else zero.
    t_QdfHeader() { Reset(); }
    void Reset();
    // Zero-fills the name and copies at most 31 characters of the text.
    void SetAppName(const char* name);

    Image ToImage() const;
    static t_QdfHeader FromImage(const uint8_t* bytes);
};
