// Fuzz target: any bytes as a record file. Reading its header and index must
// never crash or allocate beyond the file's size; an index that loads must
// find each of its keys where it stands and stay sorted through inserts and
// growth.
#include "settings/QdfException.h"
#include "settings/QdfIndex.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
void Require(bool condition) {
    if (!condition)
        std::abort();
}

void CheckSorted(const CQdfIndex& index) {
    const t_QdfHeader& h = index.Header();
    Require(h.nCount >= 0 && h.nCount <= h.nCapacity);
    Require(index.Table().size() == size_t(h.nCapacity) * size_t(h.nEntrySize));
    for (int32_t i = 0; i < h.nCount; ++i) {
        const uint8_t* key = index.Table().data() + size_t(i) * h.nEntrySize;
        const CQdfIndex::Slot slot = index.Find(key);
        Require(slot.found && slot.position == i);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < qdf::kHeaderSize)
        return 0;
    const t_QdfHeader header = t_QdfHeader::FromImage(data);
    const int64_t fileSize = int64_t(size);
    for (int wanted : {int(qdf::kIntegerKeyType), int(header.nKeyType)}) {
        // As the file layer checks a file before using it.
        CQdfIndex index;
        if (index.LoadStart(data, size, fileSize, wanted) != QdfCheck::ok) {
            Require(!index.IsOpen());
            continue;
        }
        Require(CQdfIndex::CheckHeader(header, fileSize, wanted) == QdfCheck::ok);
        Require(qdf::kHeaderSize + CQdfIndex::TableBytes(header) <= size);
        CheckSorted(index);
        for (int32_t i = 0; i < index.Header().nCount; ++i) {
            const int64_t offset = index.Offset(i), length = index.Length(i);
            Require(offset >= 0 && length >= 0 && offset + length <= fileSize);
        }

        // Keys drawn from the file's last bytes, inserted until the table grows.
        const size_t keySize = size_t(index.KeySize());
        std::vector<uint8_t> key;
        const size_t tail = size > 64 ? size - 64 : 0;
        for (size_t at = tail; at + 4 <= size; ++at) {
            bool made;
            if (qdf::IsTextKeyType(index.KeyType())) {
                char text[8] = {};
                std::memcpy(text, data + at, 4);
                made = index.MakeKey(text, key);
            } else {
                made = index.MakeKey(uint32_t(data[at]) | uint32_t(data[at + 1]) << 8, key);
            }
            if (!made)
                continue;
            Require(key.size() == keySize);
            const int32_t before = index.Header().nCount;
            try {
                const int32_t position = index.Insert(key.data());
                Require(index.Find(key.data()).found && index.Find(key.data()).position == position);
            } catch (const CQdfException&) {
                return 0; // the table cannot grow further
            }
            Require(index.Header().nCount == before || index.Header().nCount == before + 1);
        }
        CheckSorted(index);
    }
    return 0;
}
