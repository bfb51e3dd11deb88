#include "settings/QdfIndex.h"

#include "settings/Bytes.h"
#include "settings/QdfException.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

using settings::LoadI32;
using settings::LoadU32;
using settings::StoreI32;

int CQdfIndex::AsciiCompareNoCase(const char* a, const char* b) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (;; ++a, ++b) {
        const int ca = lower(static_cast<unsigned char>(*a)), cb = lower(static_cast<unsigned char>(*b));
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

void CQdfIndex::Reset() {
    m_header.Reset();
    m_table.clear();
    m_table.shrink_to_fit();
    m_bGrown = false;
}

void CQdfIndex::Create(int keyType) {
    Reset();
    m_header.nKeyType = int16_t(keyType);
    m_header.nEntrySize = qdf::EntrySize(keyType);
    m_header.nCapacity = qdf::kInitialCapacity;
    m_table.assign(size_t(m_header.nCapacity) * m_header.nEntrySize, 0);
}

QdfCheck CQdfIndex::CheckHeader(const t_QdfHeader& header, int64_t fileSize, int wantedKeyType) {
    if (fileSize < int64_t(qdf::kHeaderSize) || qdf::KeySize(header.nKeyType) == 0)
        return QdfCheck::damaged;
    if (header.nEntrySize != qdf::EntrySize(header.nKeyType))
        return QdfCheck::damaged;
    if (header.nCapacity < 0 || header.nCount < 0 || header.nCount > header.nCapacity)
        return QdfCheck::damaged;
    const int64_t tableBytes = int64_t(header.nCapacity) * header.nEntrySize;
    if (tableBytes > fileSize - int64_t(qdf::kHeaderSize) || tableBytes > kMaxTableBytes)
        return QdfCheck::damaged;
    if (header.nKeyType != wantedKeyType)
        return QdfCheck::keyTypeMismatch;
    return QdfCheck::ok;
}

size_t CQdfIndex::TableBytes(const t_QdfHeader& header) {
    return size_t(header.nCapacity) * size_t(header.nEntrySize);
}

QdfCheck CQdfIndex::Load(const t_QdfHeader& header, const uint8_t* table, size_t tableBytes, int64_t fileSize,
                         int wantedKeyType) {
    Reset();
    const QdfCheck check = CheckHeader(header, fileSize, wantedKeyType);
    if (check != QdfCheck::ok)
        return check;
    if (tableBytes != TableBytes(header))
        return QdfCheck::damaged;
    m_header = header;
    m_table.assign(table, table + tableBytes);
    const int32_t keySize = KeySize();
    const int64_t dataStart = DataStart();
    for (int32_t i = 0; i < m_header.nCount; ++i) {
        const uint8_t* entry = EntryAt(i);
        const int64_t offset = LoadI32(entry + keySize), length = LoadI32(entry + keySize + 4);
        const bool sound =
            (!qdf::IsTextKeyType(m_header.nKeyType) || std::memchr(entry, 0, size_t(keySize)) != nullptr) &&
            (i == 0 || Compare(EntryAt(i - 1), entry) < 0) && offset >= 0 && length >= 0 &&
            offset + length <= fileSize && (length == 0 || offset >= dataStart);
        if (!sound) {
            Reset();
            return QdfCheck::damaged;
        }
    }
    // Entries past the count carry nothing; keep them zero as a new file has them.
    std::fill(m_table.begin() + ptrdiff_t(size_t(m_header.nCount) * size_t(m_header.nEntrySize)),
              m_table.end(), uint8_t(0));
    return QdfCheck::ok;
}

QdfCheck CQdfIndex::LoadStart(const uint8_t* start, size_t available, int64_t fileSize, int wantedKeyType) {
    Reset();
    if (start == nullptr || available < qdf::kHeaderSize)
        return QdfCheck::damaged;
    const t_QdfHeader header = t_QdfHeader::FromImage(start);
    const QdfCheck check = CheckHeader(header, fileSize, wantedKeyType);
    if (check != QdfCheck::ok)
        return check;
    const size_t tableBytes = TableBytes(header);
    if (available - qdf::kHeaderSize < tableBytes)
        return QdfCheck::damaged;
    return Load(header, start + qdf::kHeaderSize, tableBytes, fileSize, wantedKeyType);
}

bool CQdfIndex::MakeKey(uint32_t key, std::vector<uint8_t>& out) const {
    if (m_header.nKeyType != qdf::kIntegerKeyType)
        return false;
    out.assign(4, 0);
    settings::StoreU32(out.data(), key);
    return true;
}

bool CQdfIndex::MakeKey(const char* text, std::vector<uint8_t>& out) const {
    if (!qdf::IsTextKeyType(m_header.nKeyType) || text == nullptr)
        return false;
    const size_t keySize = size_t(KeySize());
    const size_t length = strnlen(text, keySize);
    if (length > keySize - 1)
        return false;
    out.assign(keySize, 0);
    std::memcpy(out.data(), text, length);
    return true;
}

int CQdfIndex::Compare(const uint8_t* entryKey, const uint8_t* key) const {
    if (m_header.nKeyType == qdf::kIntegerKeyType) {
        const uint32_t a = LoadU32(entryKey), b = LoadU32(key);
        return a < b ? -1 : a > b ? 1 : 0;
    }
    return m_compare(reinterpret_cast<const char*>(entryKey), reinterpret_cast<const char*>(key));
}

CQdfIndex::Slot CQdfIndex::Find(const uint8_t* key) const {
    int32_t low = 0, high = m_header.nCount;
    while (high > low) {
        const int32_t middle = low + (high - low) / 2;
        const int order = Compare(EntryAt(middle), key);
        if (order > 0)
            high = middle;
        else if (order < 0)
            low = middle + 1;
        else
            return {true, middle};
    }
    return {false, low};
}

int32_t CQdfIndex::Insert(const uint8_t* key) {
    if (m_header.nCount >= m_header.nCapacity) {
        // A table this file layer would refuse on reading is never written.
        const int64_t capacity = int64_t(m_header.nCapacity) + qdf::kGrowthStep;
        if (capacity * m_header.nEntrySize > kMaxTableBytes)
            throw CQdfException(CQdfException::qeUnknown, nullptr);
        try {
            m_table.resize(size_t(capacity) * size_t(m_header.nEntrySize), 0);
        } catch (const std::bad_alloc&) {
            throw CQdfException(CQdfException::qeUnknown, nullptr);
        }
        m_header.nCapacity = int32_t(capacity);
        m_bGrown = true;
    }
    const Slot slot = Find(key);
    if (slot.found)
        return slot.position;
    const size_t entrySize = size_t(m_header.nEntrySize);
    uint8_t* at = EntryAt(slot.position);
    std::memmove(at + entrySize, at, size_t(m_header.nCount - slot.position) * entrySize);
    std::memset(at, 0, entrySize);
    std::memcpy(at, key, size_t(KeySize()));
    ++m_header.nCount;
    return slot.position;
}

int32_t CQdfIndex::Offset(int32_t position) const {
    return LoadI32(EntryAt(position) + KeySize());
}

int32_t CQdfIndex::Length(int32_t position) const {
    return LoadI32(EntryAt(position) + KeySize() + 4);
}

void CQdfIndex::SetRecord(int32_t position, int32_t offset, int32_t length) {
    StoreI32(EntryAt(position) + KeySize(), offset);
    StoreI32(EntryAt(position) + KeySize() + 4, length);
}

void CQdfIndex::NoteWrite(int32_t length) {
    if (m_header.nMaxRecord < length)
        m_header.nMaxRecord = length;
    m_header.nFlags |= 1;
}
