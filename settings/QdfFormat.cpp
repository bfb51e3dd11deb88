#include "settings/QdfFormat.h"

#include "settings/Bytes.h"

#include <cstring>

using settings::LoadI16;
using settings::LoadI32;
using settings::StoreI16;
using settings::StoreI32;

namespace {
constexpr size_t kAppNameAt = 44;
constexpr size_t kKeyTypeAt = 76;
constexpr size_t kPaddingAt = 78;
constexpr size_t kEntrySizeAt = 80;
constexpr size_t kCapacityAt = 84;
constexpr size_t kCountAt = 88;
constexpr size_t kMaxRecordAt = 92;
constexpr size_t kFlagsAt = 96;
constexpr size_t kReserved2At = 100;
} // namespace

namespace qdf {

int32_t KeySize(int keyType) {
    static constexpr int32_t kSizes[] = {4, 4, 8, 16, 32, 64, 128, 256, 384, 512};
    return keyType >= kMinKeyType && keyType <= kMaxKeyType ? kSizes[keyType - 1] : 0;
}

uint32_t SumHashWords(const uint8_t* bytes, size_t length) {
    auto wordAt = [&](size_t start) {
        uint32_t word = 0;
        for (size_t i = 0; i < 4 && start + i < length; ++i)
            word |= uint32_t(bytes[start + i]) << (8 * i);
        return word;
    };
    uint32_t sum = 0;
    for (size_t start = 0; start < length; start += 4)
        sum += wordAt(start);
    for (size_t start = 1; start < length; start += 4)
        sum += wordAt(start);
    return sum;
}

} // namespace qdf

void t_QdfHeader::Reset() {
    std::memset(reserved, 0, sizeof(reserved));
    std::memset(padding, 0, sizeof(padding));
    std::memset(reserved2, 0, sizeof(reserved2));
    SetAppName(qdf::kDefaultAppName);
    nKeyType = 0;
    nEntrySize = 0;
    nCapacity = qdf::kInitialCapacity;
    nCount = 0;
    nMaxRecord = 0;
    nFlags = 0;
}

void t_QdfHeader::SetAppName(const char* name) {
    std::memset(szAppName, 0, sizeof(szAppName));
    for (size_t i = 0; name && i + 1 < sizeof(szAppName) && name[i] != '\0'; ++i)
        szAppName[i] = name[i];
}

t_QdfHeader::Image t_QdfHeader::ToImage() const {
    Image image{};
    std::memcpy(&image[0], reserved, sizeof(reserved));
    std::memcpy(&image[kAppNameAt], szAppName, sizeof(szAppName));
    StoreI16(&image[kKeyTypeAt], nKeyType);
    std::memcpy(&image[kPaddingAt], padding, sizeof(padding));
    StoreI32(&image[kEntrySizeAt], nEntrySize);
    StoreI32(&image[kCapacityAt], nCapacity);
    StoreI32(&image[kCountAt], nCount);
    StoreI32(&image[kMaxRecordAt], nMaxRecord);
    StoreI32(&image[kFlagsAt], nFlags);
    std::memcpy(&image[kReserved2At], reserved2, sizeof(reserved2));
    return image;
}

t_QdfHeader t_QdfHeader::FromImage(const uint8_t* bytes) {
    t_QdfHeader h;
    // Reserved areas are kept as read, so a file goes back out as it came in.
    std::memcpy(h.reserved, &bytes[0], sizeof(h.reserved));
    std::memcpy(h.szAppName, &bytes[kAppNameAt], sizeof(h.szAppName));
    h.nKeyType = LoadI16(&bytes[kKeyTypeAt]);
    std::memcpy(h.padding, &bytes[kPaddingAt], sizeof(h.padding));
    h.nEntrySize = LoadI32(&bytes[kEntrySizeAt]);
    h.nCapacity = LoadI32(&bytes[kCapacityAt]);
    h.nCount = LoadI32(&bytes[kCountAt]);
    h.nMaxRecord = LoadI32(&bytes[kMaxRecordAt]);
    h.nFlags = LoadI32(&bytes[kFlagsAt]);
    std::memcpy(h.reserved2, &bytes[kReserved2At], sizeof(h.reserved2));
    return h;
}
