// The record file's index in memory: the header, the table of entries sorted
// by key, the checks a table read from disk must pass, the binary search and
// the insert with its growth rule. Plain code; the file layer does the I/O.
#pragma once

#include "settings/QdfFormat.h"

#include <cstdint>
#include <vector>

// How a header or table read from a file stands.
enum class QdfCheck {
    ok,
    keyTypeMismatch, // a sound file with another key type than asked for
    damaged,         // fields that cannot be true for the file
};

class CQdfIndex {
public:
    // Largest table a file may have: no file of the program comes near it,
    // and a damaged header must not make the program allocate what it says.
    static constexpr int64_t kMaxTableBytes = int64_t(64) << 20;

    // Compares two zero-terminated text keys case-insensitively (<0, 0, >0).
    using TextCompare = int (*)(const char*, const char*);
    // The host's comparison: ASCII letters only.
    static int AsciiCompareNoCase(const char* a, const char* b);

    explicit CQdfIndex(TextCompare compare = AsciiCompareNoCase) : m_compare(compare) {}

    // Back to the closed state: the reset header and no table.
    void Reset();
    // A fresh index for a new file: 1024 zeroed entries.
    void Create(int keyType);

    // Whether a header read from a file of `fileSize` bytes can be true:
    // a key type of 1 to 10 with its entry size, 0 <= count <= capacity and a
    // table that fits in the file and in kMaxTableBytes.
    static QdfCheck CheckHeader(const t_QdfHeader& header, int64_t fileSize, int wantedKeyType);
    // Bytes of the table the header describes (valid after CheckHeader ok).
    static size_t TableBytes(const t_QdfHeader& header);
    // Takes a header and its table read from a file of `fileSize` bytes.
    // Each entry in use must hold a terminated key (text types), keys must
    // ascend strictly, and each record must lie in the file's data area.
    // Unused entries are cleared. On anything but ok the index is reset.
    QdfCheck Load(const t_QdfHeader& header, const uint8_t* table, size_t tableBytes, int64_t fileSize,
                  int wantedKeyType);

    // Takes the index from the beginning of a file of `fileSize` bytes, whose
    // first `available` bytes are at `start`: the header, then the table the
    // header describes (a start that ends before the table's end counts as
    // damaged), checked as CheckHeader and Load check them. The one check a
    // file passes before it is used.
    QdfCheck LoadStart(const uint8_t* start, size_t available, int64_t fileSize, int wantedKeyType);

    bool IsOpen() const { return m_header.nKeyType != 0; }
    int KeyType() const { return m_header.nKeyType; }
    int32_t KeySize() const { return qdf::KeySize(m_header.nKeyType); }

    // Builds the key of the open index's type in a zero-filled buffer of the
    // key size. False when the key does not suit the type (an integer for a
    // text type, a text for the integer type, a text longer than key size - 1).
    bool MakeKey(uint32_t key, std::vector<uint8_t>& out) const;
    bool MakeKey(const char* text, std::vector<uint8_t>& out) const;

    struct Slot {
        bool found;
        int32_t position; // the entry, or where the key would be inserted
    };
    Slot Find(const uint8_t* key) const;
    // Finds the key and adds a zeroed entry for it when absent; a full table
    // grows by 256 first, even when the key exists. Returns the entry's
    // position. Raises CQdfException code 1 when the table cannot grow
    // (memory, or beyond kMaxTableBytes).
    int32_t Insert(const uint8_t* key);

    int32_t Offset(int32_t position) const;
    int32_t Length(int32_t position) const;
    void SetRecord(int32_t position, int32_t offset, int32_t length);
    // A record of this length was written: raises nMaxRecord, sets bit 0 of
    // nFlags.
    void NoteWrite(int32_t length);

    // Start of the data area: the header and the whole table.
    int64_t DataStart() const { return int64_t(qdf::kHeaderSize) + int64_t(m_table.size()); }
    bool Grown() const { return m_bGrown; }
    void ClearGrown() { m_bGrown = false; }

    t_QdfHeader& Header() { return m_header; }
    const t_QdfHeader& Header() const { return m_header; }
    const std::vector<uint8_t>& Table() const { return m_table; }

private:
    int Compare(const uint8_t* entryKey, const uint8_t* key) const;
    uint8_t* EntryAt(int32_t position) { return m_table.data() + size_t(position) * m_header.nEntrySize; }
    const uint8_t* EntryAt(int32_t position) const {
        return m_table.data() + size_t(position) * m_header.nEntrySize;
    }

    TextCompare m_compare;
    t_QdfHeader m_header;
    std::vector<uint8_t> m_table;
    bool m_bGrown = false;
};
