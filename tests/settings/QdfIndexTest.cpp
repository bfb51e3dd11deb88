// The record file's header image and its index: checks of what a file may
// hold, the key order, the binary search, insertion and growth.
#include "settings/QdfException.h"
#include "settings/QdfIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {
uint32_t WordAt(const uint8_t* bytes, size_t offset) {
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
           uint32_t(bytes[offset + 3]) << 24;
}
void PutWord(uint8_t* bytes, size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = uint8_t(v >> (8 * i));
}

std::vector<uint8_t> IntKey(const CQdfIndex& index, uint32_t key) {
    std::vector<uint8_t> k;
    EXPECT_TRUE(index.MakeKey(key, k));
    return k;
}

// Header and table of a file with these integer keys, each record of
// `length` bytes laid one after another behind a table of `capacity` entries.
struct FileImage {
    t_QdfHeader header;
    std::vector<uint8_t> table;
    int64_t size;
};
FileImage IntegerFile(const std::vector<uint32_t>& keys, int32_t capacity = 1024, int32_t length = 10) {
    FileImage f;
    f.header.nKeyType = 1;
    f.header.nEntrySize = 12;
    f.header.nCapacity = capacity;
    f.header.nCount = int32_t(keys.size());
    f.table.assign(size_t(capacity) * 12, 0);
    int64_t at = 356 + int64_t(capacity) * 12;
    for (size_t i = 0; i < keys.size(); ++i) {
        PutWord(&f.table[i * 12], 0, keys[i]);
        PutWord(&f.table[i * 12], 4, uint32_t(at));
        PutWord(&f.table[i * 12], 8, uint32_t(length));
        at += length;
    }
    f.size = at;
    return f;
}
} // namespace

TEST(QdfFormat, KeyTypes) {
    const int32_t sizes[] = {4, 4, 8, 16, 32, 64, 128, 256, 384, 512};
    for (int type = 1; type <= 10; ++type) {
        EXPECT_EQ(qdf::KeySize(type), sizes[type - 1]) << type;
        EXPECT_EQ(qdf::EntrySize(type), sizes[type - 1] + 8) << type;
        EXPECT_EQ(qdf::IsTextKeyType(type), type != 1) << type;
    }
    for (int type : {0, -1, 11, 32767})
        EXPECT_EQ(qdf::KeySize(type), 0) << type;
}

TEST(QdfFormat, HeaderImage) {
    t_QdfHeader closed;
    const t_QdfHeader::Image fresh = closed.ToImage();
    ASSERT_EQ(fresh.size(), 356u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&fresh[44])), "QDF_FILE 2.0");
    EXPECT_EQ(WordAt(fresh.data(), 84), 1024u);
    for (size_t i : {0u, 43u, 76u, 77u, 80u, 88u, 92u, 96u, 100u, 355u})
        EXPECT_EQ(fresh[i], 0) << i;

    t_QdfHeader h;
    h.SetAppName("Snapwell");
    h.nKeyType = 1;
    h.nEntrySize = 12;
    h.nCapacity = 1280;
    h.nCount = 3;
    h.nMaxRecord = 540;
    h.nFlags = 1;
    const t_QdfHeader::Image image = h.ToImage();
    EXPECT_EQ(std::memcmp(&image[44], "Snapwell\0\0\0\0", 12), 0);
    EXPECT_EQ(image[76], 1);
    EXPECT_EQ(image[77], 0);
    EXPECT_EQ(WordAt(image.data(), 80), 12u);
    EXPECT_EQ(WordAt(image.data(), 84), 1280u);
    EXPECT_EQ(WordAt(image.data(), 88), 3u);
    EXPECT_EQ(WordAt(image.data(), 92), 540u);
    EXPECT_EQ(WordAt(image.data(), 96), 1u);
    EXPECT_EQ(t_QdfHeader::FromImage(image.data()).ToImage(), image);

    // The name keeps at most 31 characters and its zero.
    h.SetAppName("0123456789012345678901234567890123456789");
    EXPECT_EQ(std::string(h.szAppName, 31), "0123456789012345678901234567890");
    EXPECT_EQ(h.szAppName[31], '\0');
}

TEST(QdfFormat, HashWords) {
    // "ABC", length 3: the words A B C 0 and B C 0 0.
    EXPECT_EQ(qdf::SumHashWords(reinterpret_cast<const uint8_t*>("ABC"), 3), 4425091u);
    EXPECT_EQ(qdf::SumHashWords(nullptr, 0), 0u);
    const uint8_t five[] = {1, 2, 3, 4, 5};
    // Words at 0 (1 2 3 4), 4 (5) and 1 (2 3 4 5).
    EXPECT_EQ(qdf::SumHashWords(five, 5), 0x04030201u + 0x05u + 0x05040302u);
    const uint8_t ff[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(qdf::SumHashWords(ff, 8), uint32_t(0xFFFFFFFFull * 2 + 0xFFFFFFFFull + 0x00FFFFFFull));
}

TEST(QdfIndex, HeaderChecksAgainstFileSize) {
    struct Case {
        const char* what;
        int16_t keyType;
        int32_t entrySize, capacity, count;
        int64_t fileSize;
        int wanted;
        QdfCheck expect;
    };
    const int64_t fresh = 356 + 1024 * 12;
    const std::vector<Case> cases = {
        {"first run", 1, 12, 1024, 0, fresh, 1, QdfCheck::ok},
        {"records behind", 1, 12, 1024, 3, fresh + 584, 1, QdfCheck::ok},
        {"text type", 5, 40, 1024, 0, 356 + 1024 * 40, 5, QdfCheck::ok},
        {"other key type", 5, 40, 1024, 0, 356 + 1024 * 40, 1, QdfCheck::keyTypeMismatch},
        {"key type 0", 0, 12, 1024, 0, fresh, 1, QdfCheck::damaged},
        {"key type 11", 11, 12, 1024, 0, fresh, 1, QdfCheck::damaged},
        {"entry size wrong", 1, 16, 1024, 0, 356 + 1024 * 16, 1, QdfCheck::damaged},
        {"entry size huge", 1, 0x7FFFFFFF, 1024, 0, fresh, 1, QdfCheck::damaged},
        {"capacity negative", 1, 12, -1, 0, fresh, 1, QdfCheck::damaged},
        {"count negative", 1, 12, 1024, -5, fresh, 1, QdfCheck::damaged},
        {"count above capacity", 1, 12, 1024, 1025, fresh, 1, QdfCheck::damaged},
        {"table past the end", 1, 12, 1024, 0, fresh - 1, 1, QdfCheck::damaged},
        {"capacity huge", 1, 12, 0x7FFFFFFF, 0, fresh, 1, QdfCheck::damaged},
        {"shorter than a header", 1, 12, 0, 0, 355, 1, QdfCheck::damaged},
        {"empty table", 1, 12, 0, 0, 356, 1, QdfCheck::ok},
        {"table at the limit", 10, 520, 129055, 0, int64_t(1) << 33, 10, QdfCheck::ok},
        {"table above the limit", 10, 520, 129056, 0, int64_t(1) << 33, 10, QdfCheck::damaged},
    };
    for (const Case& c : cases) {
        t_QdfHeader h;
        h.nKeyType = c.keyType;
        h.nEntrySize = c.entrySize;
        h.nCapacity = c.capacity;
        h.nCount = c.count;
        EXPECT_EQ(CQdfIndex::CheckHeader(h, c.fileSize, c.wanted), c.expect) << c.what;
    }
}

// The file one run of the program leaves: keys 0, 3 and 4, the records
// behind the table in the order the main window writes them (0, 4, 3).
std::vector<uint8_t> ProgramFile() {
    t_QdfHeader h;
    h.SetAppName("Snapwell");
    h.nKeyType = 1;
    h.nEntrySize = 12;
    h.nCount = 3;
    h.nMaxRecord = 540;
    h.nFlags = 1;
    const t_QdfHeader::Image image = h.ToImage();
    std::vector<uint8_t> file(image.begin(), image.end());
    file.resize(356 + 1024 * 12 + 40 + 4 + 540, 0x5A);
    std::fill(file.begin() + 356, file.begin() + 12644, uint8_t(0));
    const uint32_t entries[3][3] = {{0, 12644, 40}, {3, 12688, 540}, {4, 12684, 4}};
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = 0; j < 3; ++j)
            PutWord(&file[356 + 12 * i], 4 * j, entries[i][j]);
    return file;
}

TEST(QdfIndex, OnlyAWholeSoundFileLoads) {
    const std::vector<uint8_t> whole = ProgramFile();
    ASSERT_EQ(whole.size(), 13228u);
    // Cut at every length, the last record or more is missing.
    for (size_t n = 0; n <= whole.size(); ++n) {
        CQdfIndex index;
        const QdfCheck expect = n == whole.size() ? QdfCheck::ok : QdfCheck::damaged;
        ASSERT_EQ(index.LoadStart(whole.data(), n, int64_t(n), 1), expect) << "cut at " << n;
        ASSERT_EQ(index.IsOpen(), expect == QdfCheck::ok) << "cut at " << n;
    }
    // A start that ends before the table (a read that stopped short).
    CQdfIndex index;
    EXPECT_EQ(index.LoadStart(whole.data(), 12643, 13228, 1), QdfCheck::damaged);

    struct Case {
        const char* what;
        size_t at;
        uint32_t word;
        QdfCheck expect;
    };
    const std::vector<Case> cases = {
        {"absurd capacity", 84, 0x7FFFFFFF, QdfCheck::damaged},
        {"capacity beyond the file", 84, 1100, QdfCheck::damaged},
        {"absurd count", 88, 0x7FFFFFFF, QdfCheck::damaged},
        {"count negative", 88, 0x80000000u, QdfCheck::damaged},
        {"count beyond the entries", 88, 4, QdfCheck::damaged},
        {"entry past the end", 356 + 12 + 4, 13228, QdfCheck::damaged},
        {"entry far past the end", 356 + 12 + 4, 0x7FFFFF00, QdfCheck::damaged},
        {"length past the end", 356 + 12 + 8, 541, QdfCheck::damaged},
        {"absurd length", 356 + 8, 0x7FFFFFFF, QdfCheck::damaged},
        {"entry in the header", 356 + 4, 100, QdfCheck::damaged},
        {"entry size of a text key", 80, 16, QdfCheck::damaged},
        {"text keys", 76, 2, QdfCheck::keyTypeMismatch},
        {"another program's name", 44, 0x636F6F46, QdfCheck::ok},
        {"a shorter last record", 356 + 12 + 8, 500, QdfCheck::ok},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> file = whole;
        PutWord(file.data(), c.at, c.word);
        EXPECT_EQ(index.LoadStart(file.data(), file.size(), int64_t(file.size()), 1), c.expect) << c.what;
    }

    // Random bytes, and random bytes behind a sound header, are never sound.
    std::mt19937 rng(17);
    for (int i = 0; i < 200; ++i) {
        std::vector<uint8_t> file(rng() % 20000);
        for (auto& b : file)
            b = uint8_t(rng());
        if (i % 2 == 1 && file.size() >= 356)
            std::copy(whole.begin(), whole.begin() + 356, file.begin());
        EXPECT_NE(index.LoadStart(file.data(), file.size(), int64_t(file.size()), 1), QdfCheck::ok) << i;
    }
}

TEST(QdfIndex, LoadChecksEveryEntry) {
    struct Case {
        const char* what;
        void (*spoil)(FileImage&);
        QdfCheck expect;
    };
    const std::vector<Case> cases = {
        {"sound", [](FileImage&) {}, QdfCheck::ok},
        {"keys out of order", [](FileImage& f) { PutWord(&f.table[0], 0, 9); }, QdfCheck::damaged},
        {"equal keys", [](FileImage& f) { PutWord(&f.table[12], 0, 0); }, QdfCheck::damaged},
        {"record past the end", [](FileImage& f) { PutWord(&f.table[24], 8, 11); }, QdfCheck::damaged},
        {"record inside the table", [](FileImage& f) { PutWord(&f.table[12], 4, 356); }, QdfCheck::damaged},
        {"negative offset", [](FileImage& f) { PutWord(&f.table[0], 4, 0xFFFFFFF0u); }, QdfCheck::damaged},
        {"negative length", [](FileImage& f) { PutWord(&f.table[0], 8, 0xFFFFFFFFu); }, QdfCheck::damaged},
        {"empty record anywhere",
         [](FileImage& f) { PutWord(&f.table[0], 4, 0), PutWord(&f.table[0], 8, 0); }, QdfCheck::ok},
        {"short table", [](FileImage& f) { f.table.pop_back(); }, QdfCheck::damaged},
    };
    for (const Case& c : cases) {
        FileImage f = IntegerFile({0, 3, 4});
        c.spoil(f);
        CQdfIndex index;
        EXPECT_EQ(index.Load(f.header, f.table.data(), f.table.size(), f.size, 1), c.expect) << c.what;
        EXPECT_EQ(index.IsOpen(), c.expect == QdfCheck::ok) << c.what;
    }

    // Entries past the count are cleared, so they go back out as zeros.
    FileImage f = IntegerFile({7});
    f.table[12 * 5] = 0xEE;
    CQdfIndex index;
    ASSERT_EQ(index.Load(f.header, f.table.data(), f.table.size(), f.size, 1), QdfCheck::ok);
    EXPECT_EQ(index.Table()[12 * 5], 0);
    EXPECT_EQ(index.Length(0), 10);

    // A text key must end inside its field.
    t_QdfHeader h;
    h.nKeyType = 2;
    h.nEntrySize = 12;
    h.nCapacity = 4;
    h.nCount = 1;
    std::vector<uint8_t> table(48, 0);
    std::memcpy(table.data(), "ABCD", 4);
    EXPECT_EQ(index.Load(h, table.data(), table.size(), 356 + 48, 2), QdfCheck::damaged);
    table[3] = 0;
    EXPECT_EQ(index.Load(h, table.data(), table.size(), 356 + 48, 2), QdfCheck::ok);
}

TEST(QdfIndex, UnsignedOrderAndInsertPositions) {
    CQdfIndex index;
    index.Create(1);
    for (uint32_t key : {4u, 0xFFFFFFFFu, 1u, 0x80000000u, 3u, 0u})
        index.Insert(IntKey(index, key).data());
    const std::vector<uint32_t> expected = {0u, 1u, 3u, 4u, 0x80000000u, 0xFFFFFFFFu};
    ASSERT_EQ(index.Header().nCount, 6);
    for (int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(WordAt(&index.Table()[size_t(i) * 12], 0), expected[size_t(i)]) << i;

    const CQdfIndex::Slot found = index.Find(IntKey(index, 0xFFFFFFFFu).data());
    EXPECT_TRUE(found.found);
    EXPECT_EQ(found.position, 5);
    const CQdfIndex::Slot absent = index.Find(IntKey(index, 2).data());
    EXPECT_FALSE(absent.found);
    EXPECT_EQ(absent.position, 2);
    // Inserting an existing key finds it and adds nothing.
    EXPECT_EQ(index.Insert(IntKey(index, 3).data()), 2);
    EXPECT_EQ(index.Header().nCount, 6);
    EXPECT_FALSE(index.Grown());
}

TEST(QdfIndex, GrowthComesBeforeTheSearch) {
    CQdfIndex index;
    index.Create(1);
    for (uint32_t key = 0; key < 1024; ++key)
        index.Insert(IntKey(index, key * 2).data());
    EXPECT_EQ(index.Header().nCapacity, 1024);
    EXPECT_FALSE(index.Grown());
    // Writing an existing key into the full table grows it all the same.
    EXPECT_EQ(index.Insert(IntKey(index, 10).data()), 5);
    EXPECT_EQ(index.Header().nCapacity, 1280);
    EXPECT_EQ(index.Header().nCount, 1024);
    EXPECT_TRUE(index.Grown());
    EXPECT_EQ(index.Table().size(), 1280u * 12);
    EXPECT_EQ(index.DataStart(), 356 + 1280 * 12);
    index.Insert(IntKey(index, 7).data());
    EXPECT_EQ(index.Header().nCount, 1025);
    for (int32_t i = 1; i < index.Header().nCount; ++i)
        ASSERT_LT(WordAt(&index.Table()[size_t(i - 1) * 12], 0), WordAt(&index.Table()[size_t(i) * 12], 0));
}

TEST(QdfIndex, GrowthStopsAtTheTableLimit) {
    // 129024 entries of 520 bytes fit in 64 MiB; 256 more do not.
    CQdfIndex index;
    index.Create(10);
    t_QdfHeader header = index.Header();
    header.nCapacity = 129024;
    header.nCount = 129024;
    std::vector<uint8_t> table(size_t(header.nCapacity) * 520, 0);
    for (int32_t i = 0; i < header.nCount; ++i)
        std::snprintf(reinterpret_cast<char*>(&table[size_t(i) * 520]), 16, "k%09d", i);
    ASSERT_EQ(index.Load(header, table.data(), table.size(), 356 + int64_t(table.size()), 10), QdfCheck::ok);
    std::vector<uint8_t> key;
    ASSERT_TRUE(index.MakeKey("zzz", key));
    try {
        index.Insert(key.data());
        ADD_FAILURE() << "the table grew beyond the limit";
    } catch (const CQdfException& e) {
        EXPECT_EQ(e.m_nCode, CQdfException::qeUnknown);
    }
    EXPECT_EQ(index.Header().nCapacity, 129024);
    EXPECT_EQ(index.Header().nCount, 129024);
}

TEST(QdfIndex, TextKeysOfEveryType) {
    for (int type = 2; type <= 10; ++type) {
        CQdfIndex index;
        index.Create(type);
        const size_t longest = size_t(qdf::KeySize(type)) - 1;
        std::vector<uint8_t> key;
        EXPECT_FALSE(index.MakeKey(7u, key)) << type;
        EXPECT_FALSE(index.MakeKey(std::string(longest + 1, 'k').c_str(), key)) << type;
        ASSERT_TRUE(index.MakeKey(std::string(longest, 'k').c_str(), key)) << type;
        EXPECT_EQ(key.size(), size_t(qdf::KeySize(type)));
        EXPECT_EQ(key.back(), 0);

        for (const char* text : {"b", "C", "a", "AB"}) {
            ASSERT_TRUE(index.MakeKey(text, key));
            index.Insert(key.data());
        }
        // Case-insensitive order: a, AB, b, C.
        const char* expected[] = {"a", "AB", "b", "C"};
        for (int32_t i = 0; i < 4; ++i)
            EXPECT_STREQ(reinterpret_cast<const char*>(&index.Table()[size_t(i) * qdf::EntrySize(type)]),
                         expected[i])
                << type;
        ASSERT_TRUE(index.MakeKey("c", key));
        EXPECT_TRUE(index.Find(key.data()).found) << type;
        index.Insert(key.data());
        EXPECT_EQ(index.Header().nCount, 4) << type;
    }
    CQdfIndex integers;
    integers.Create(1);
    std::vector<uint8_t> key;
    EXPECT_FALSE(integers.MakeKey("abc", key));
}

TEST(QdfIndex, RecordsAndClosedState) {
    CQdfIndex index;
    index.Create(1);
    const int32_t at = index.Insert(IntKey(index, 3).data());
    EXPECT_EQ(index.Offset(at), 0);
    EXPECT_EQ(index.Length(at), 0);
    index.SetRecord(at, 12644, 540);
    index.NoteWrite(540);
    index.NoteWrite(40);
    EXPECT_EQ(index.Offset(at), 12644);
    EXPECT_EQ(index.Length(at), 540);
    EXPECT_EQ(index.Header().nMaxRecord, 540);
    EXPECT_EQ(index.Header().nFlags, 1);

    index.Reset();
    EXPECT_FALSE(index.IsOpen());
    EXPECT_EQ(index.Header().ToImage(), t_QdfHeader().ToImage());
    EXPECT_TRUE(index.Table().empty());
}

TEST(QdfException, Messages) {
    const CQdfException own(CQdfException::qeKeyType, "C:\\cfg\\Snapwell.cfg");
    EXPECT_FALSE(own.m_bSystem);
    EXPECT_EQ(own.GetMessage(), "C:\\cfg\\Snapwell.cfg\r\nThe index key type does not match");
    const CQdfException system(32, "Sharing violation.\r\n", "C:\\cfg\\Snapwell.cfg");
    EXPECT_TRUE(system.m_bSystem);
    EXPECT_EQ(system.m_nCode, 32);
    EXPECT_EQ(system.GetMessage(), "Sharing violation.\r\nC:\\cfg\\Snapwell.cfg\r\n");
    EXPECT_EQ(CQdfException(CQdfException::qeUnknown, nullptr).GetMessage(), "Unknown File Error");
    EXPECT_EQ(CQdfException(CQdfException::qeDriveType, "").GetMessage(),
              "The drive type does not support writting");

    struct Code {
        int32_t code;
        const char* text;
    };
    for (const Code& c : std::vector<Code>{{0, "Success"},
                                           {1, "Unknown File Error"},
                                           {2, "Read-only file cannot be opened for writing"},
                                           {3, "The index key type does not match"},
                                           {4, "The drive type does not support writting"},
                                           {5, "The drive is not ready"},
                                           {99, "Unknown File Error"}})
        EXPECT_STREQ(CQdfException::CodeText(c.code), c.text) << c.code;

    const std::string longName(300, 'n');
    const CQdfException bounded(200, std::string(250, 's').c_str(), longName.c_str());
    EXPECT_EQ(bounded.GetMessage().size(), 255u);
    EXPECT_EQ(bounded.GetMessage().substr(0, 250), std::string(250, 's'));
}
