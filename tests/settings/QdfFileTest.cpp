// CQdf on real files under Wine: creation, records in place and moved, the
// rebuild after the index grew, text keys with the system's comparison,
// damaged and foreign files, and the system's error texts.
#include "settings/Qdf.h"

#include "FileHelpers.h"
#include "support/SystemError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>

namespace {
constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE | FILE_SHARE_READ;

std::vector<uint8_t> Record(uint32_t key, size_t length) {
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = uint8_t(key * 31 + i * 7 + 1);
    return bytes;
}

std::string SystemText(int32_t error) {
    char text[256];
    return GetSystemErrorText(error, text, sizeof(text));
}
} // namespace

TEST(QdfFile, NewFileLayout) {
    TempFolder folder;
    const std::string name = folder.File("new.qdf");
    {
        CQdf file;
        ASSERT_TRUE(file.Open(name.c_str(), 1, OPEN_ALWAYS, kReadWrite));
        // Header and index reach the disk at once for a new file.
        const std::vector<uint8_t> bytes = ReadBytes(name);
        ASSERT_EQ(bytes.size(), 12644u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[44])), "QDF_FILE 2.0");
        EXPECT_EQ(bytes[76], 1);
        EXPECT_EQ(WordAt(bytes, 80), 12u);
        EXPECT_EQ(WordAt(bytes, 84), 1024u);
        EXPECT_EQ(WordAt(bytes, 88), 0u);
        EXPECT_TRUE(std::all_of(bytes.begin() + 356, bytes.end(), [](uint8_t b) { return b == 0; }));
    }
    // Closed state after Close.
    CQdf closed;
    uint8_t buffer[4];
    EXPECT_EQ(closed.ReadRecord(0u, buffer, 4), 0);
    EXPECT_FALSE(closed.WriteRecord(0u, buffer, 4));
    EXPECT_FALSE(closed.SetAppName("x"));
    EXPECT_FALSE(closed.Open("", 1, OPEN_ALWAYS, kReadWrite));
    EXPECT_FALSE(closed.Open(nullptr, 1, OPEN_ALWAYS, kReadWrite));
    EXPECT_EQ(closed.Header().nKeyType, 0);
    EXPECT_STREQ(closed.Header().szAppName, "QDF_FILE 2.0");
    EXPECT_EQ(closed.Header().nCapacity, 1024);
}

TEST(QdfFile, RecordsInPlaceMovedAndRead) {
    TempFolder folder;
    const std::string name = folder.File("records.qdf");
    CQdf file;
    ASSERT_TRUE(file.Open(name.c_str(), 1, OPEN_ALWAYS, kReadWrite));
    const std::vector<uint8_t> a = Record(3, 540), b = Record(0, 40);
    file.WriteRecord(3u, a.data(), 540);
    file.WriteRecord(0u, b.data(), 40);
    const int32_t firstOffset =
        file.Index().Offset(file.Index().Find(std::vector<uint8_t>{3, 0, 0, 0}.data()).position);
    EXPECT_EQ(firstOffset, 12644);

    // Same length: written over the old bytes.
    const std::vector<uint8_t> a2 = Record(33, 540);
    file.WriteRecord(3u, a2.data(), 540);
    EXPECT_EQ(ReadBytes(name).size(), 12644u + 580);
    // Shorter: still in place; the read gives the new length.
    file.WriteRecord(3u, a.data(), 500);
    std::vector<uint8_t> back(600, 0xCC);
    EXPECT_EQ(file.ReadRecord(3u, back.data(), 600), 500);
    EXPECT_TRUE(std::equal(a.begin(), a.begin() + 500, back.begin()));
    // Longer: moves to the end; the old bytes stay behind unused.
    file.WriteRecord(3u, a2.data(), 540);
    const std::vector<uint8_t> bytes = ReadBytes(name);
    ASSERT_EQ(bytes.size(), 12644u + 580 + 540);
    EXPECT_TRUE(std::equal(a2.begin(), a2.end(), bytes.begin() + 12644 + 580));
    EXPECT_TRUE(std::equal(a.begin(), a.begin() + 500, bytes.begin() + 12644));

    // A smaller buffer gets the first bytes only; absent keys give nothing.
    EXPECT_EQ(file.ReadRecord(3u, back.data(), 10), 10);
    EXPECT_TRUE(std::equal(a2.begin(), a2.begin() + 10, back.begin()));
    EXPECT_EQ(file.ReadRecord(7u, back.data(), 10), 0);
    EXPECT_EQ(file.Header().nMaxRecord, 540);
    EXPECT_EQ(file.Header().nFlags & 1, 1);
    file.Close();

    // Reopened: the index on disk names the moved record.
    CQdf again;
    ASSERT_TRUE(again.Open(name.c_str(), 1, OPEN_EXISTING, kReadWrite));
    EXPECT_EQ(again.ReadRecord(3u, back.data(), 600), 540);
    EXPECT_TRUE(std::equal(a2.begin(), a2.end(), back.begin()));
    EXPECT_EQ(again.ReadRecord(0u, back.data(), 600), 40);
    EXPECT_TRUE(std::equal(b.begin(), b.end(), back.begin()));
}

TEST(QdfFile, UnsignedKeyOrderOnDisk) {
    TempFolder folder;
    const std::string name = folder.File("order.qdf");
    {
        CQdf file;
        ASSERT_TRUE(file.Open(name.c_str(), 1, OPEN_ALWAYS, kReadWrite));
        for (uint32_t key : {0xFFFFFFFFu, 1u, 0x80000001u, 0u})
            file.WriteRecord(key, &key, 4);
    }
    const std::vector<uint8_t> bytes = ReadBytes(name);
    const std::vector<uint32_t> expected = {0u, 1u, 0x80000001u, 0xFFFFFFFFu};
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(WordAt(bytes, 356 + 12 * i), expected[i]) << i;
}

TEST(QdfFile, GrowthRebuildsTheFileInIndexOrder) {
    TempFolder folder;
    const std::string name = folder.File("grow.qdf");
    std::vector<uint32_t> keys(1025);
    std::iota(keys.begin(), keys.end(), 100u);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
    {
        CQdf file;
        ASSERT_TRUE(file.Open(name.c_str(), 1, OPEN_ALWAYS, kReadWrite));
        for (uint32_t key : keys) {
            // Write each record short first, then longer, so moved records
            // leave unused bytes the rebuild must drop.
            const std::vector<uint8_t> shortOne = Record(key, 3);
            file.WriteRecord(key, shortOne.data(), 3);
            const std::vector<uint8_t> record = Record(key, 5 + key % 11);
            file.WriteRecord(key, record.data(), int32_t(record.size()));
        }
        EXPECT_EQ(file.Header().nCapacity, 1280);
        EXPECT_TRUE(file.Index().Grown());
    }
    const std::vector<uint8_t> bytes = ReadBytes(name);
    ASSERT_GE(bytes.size(), 356u + 1280 * 12);
    EXPECT_EQ(WordAt(bytes, 84), 1280u);
    EXPECT_EQ(WordAt(bytes, 88), 1025u);
    size_t at = 356 + 1280 * 12;
    for (uint32_t i = 0; i < 1025; ++i) {
        const size_t entry = 356 + 12 * size_t(i);
        const uint32_t key = 100 + i;
        ASSERT_EQ(WordAt(bytes, entry), key);
        ASSERT_EQ(WordAt(bytes, entry + 4), at) << key;
        const std::vector<uint8_t> record = Record(key, 5 + key % 11);
        ASSERT_EQ(WordAt(bytes, entry + 8), record.size()) << key;
        ASSERT_TRUE(std::equal(record.begin(), record.end(), bytes.begin() + ptrdiff_t(at))) << key;
        at += record.size();
    }
    EXPECT_EQ(bytes.size(), at);
    for (size_t i = 1025; i < 1280; ++i)
        ASSERT_EQ(WordAt(bytes, 356 + 12 * i) | WordAt(bytes, 360 + 12 * i) | WordAt(bytes, 364 + 12 * i),
                  0u);
    // No temporary copy is left beside the file.
    EXPECT_EQ(folder.List(), std::vector<std::string>{"grow.qdf"});

    CQdf again;
    ASSERT_TRUE(again.Open(name.c_str(), 1, OPEN_EXISTING, kReadWrite));
    std::vector<uint8_t> back(32);
    EXPECT_EQ(again.ReadRecord(1124u, back.data(), 32), int32_t(5 + 1124 % 11));
    EXPECT_FALSE(again.Index().Grown());
}

TEST(QdfFile, TextKeysUseTheSystemComparison) {
    TempFolder folder;
    const std::string name = folder.File("text.qdf");
    {
        CQdf file;
        ASSERT_TRUE(file.Open(name.c_str(), 4, OPEN_ALWAYS, kReadWrite));
        EXPECT_EQ(file.Header().nEntrySize, 24);
        for (const char* key : {"Gamma", "alpha", "BETA", "delta-15-chars!"})
            file.WriteRecord(key, key, int32_t(std::strlen(key)));
        try {
            file.WriteRecord("sixteen chars!!!", "x", 1);
            ADD_FAILURE() << "a key longer than 15 characters was taken";
        } catch (const CQdfException& e) {
            EXPECT_EQ(e.m_nCode, CQdfException::qeKeyType);
            EXPECT_FALSE(e.m_bSystem);
        }
        try {
            file.WriteRecord(5u, "x", 1);
            ADD_FAILURE() << "an integer key was taken by a text-key file";
        } catch (const CQdfException& e) {
            EXPECT_EQ(e.m_nCode, CQdfException::qeKeyType);
        }
        char back[32] = {};
        EXPECT_EQ(file.ReadRecord("ALPHA", back, sizeof(back)), 5);
        EXPECT_STREQ(back, "alpha");
        // Same key in another case replaces the record.
        file.WriteRecord("gamma", "GAMMA!", 6);
        EXPECT_EQ(file.Header().nCount, 4);
    }
    const std::vector<uint8_t> bytes = ReadBytes(name);
    const char* order[] = {"alpha", "BETA", "delta-15-chars!", "Gamma"};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[356 + 24 * i]), order[i]) << i;

    // The file's key type is checked on opening; the file stays as it was.
    CQdf wrongType;
    try {
        wrongType.Open(name.c_str(), 1, OPEN_ALWAYS, kReadWrite);
        ADD_FAILURE() << "opened with another key type";
    } catch (const CQdfException& e) {
        EXPECT_EQ(e.m_nCode, CQdfException::qeKeyType);
        EXPECT_EQ(e.GetMessage(), name + "\r\nThe index key type does not match");
    }
    EXPECT_FALSE(wrongType.IsOpen());
    EXPECT_EQ(ReadBytes(name), bytes);
}

TEST(QdfFile, HashKey) {
    CQdf file;
    EXPECT_EQ(file.HashKey("abc"), 4425091u);
    EXPECT_EQ(file.HashKey("ABC"), 4425091u);
    // Upper-casing stops at the first zero; the bytes after it still count.
    const char bytes[] = {'a', 0, 'b'};
    EXPECT_EQ(file.HashKey(bytes, 3), 0x00620041u + 0x00006200u);
    // At most the first 256 bytes are hashed.
    const std::string longText(300, 'q');
    EXPECT_EQ(file.HashKey(longText.c_str()), file.HashKey(longText.c_str(), 256));
    EXPECT_NE(file.HashKey(longText.c_str(), 255), file.HashKey(longText.c_str(), 256));
}

TEST(QdfFile, DamagedFilesAreRefusedAndLeftAlone) {
    TempFolder folder;
    std::mt19937 rng(11);
    std::vector<uint8_t> random(13228);
    for (auto& b : random)
        b = uint8_t(rng());
    std::vector<uint8_t> hugeCapacity(12644, 0);
    hugeCapacity[76] = 1;
    hugeCapacity[80] = 12;
    hugeCapacity[84] = 0xFF, hugeCapacity[85] = 0xFF, hugeCapacity[86] = 0xFF, hugeCapacity[87] = 0x7F;
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"truncated header", std::vector<uint8_t>(100, 0)},
        {"random bytes", random},
        {"capacity beyond the file", hugeCapacity},
    };
    for (const Case& c : cases) {
        const std::string name = folder.File("damaged.qdf");
        WriteBytes(name, c.bytes);
        CQdf file;
        try {
            file.Open(name.c_str(), 1, OPEN_ALWAYS, kReadWrite);
            ADD_FAILURE() << c.what << ": opened";
        } catch (const CQdfException& e) {
            EXPECT_EQ(e.m_nCode, CQdfException::qeDamaged) << c.what;
            EXPECT_NE(e.GetMessage().find(name), std::string::npos) << c.what;
        }
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(ReadBytes(name), c.bytes) << c.what;
        char appName[32];
        EXPECT_EQ(CQdf::CheckFile(name.c_str(), 1, appName), QdfFileState::damaged) << c.what;
    }
    char appName[32];
    EXPECT_EQ(CQdf::CheckFile(folder.File("missing.qdf").c_str(), 1, appName), QdfFileState::cannotOpen);
    EXPECT_FALSE(CQdf::ReadHeaderName(folder.File("missing.qdf").c_str(), appName));
    const std::string shortFile = folder.File("short.qdf");
    WriteBytes(shortFile, std::vector<uint8_t>(355, 0));
    EXPECT_THROW(CQdf::ReadHeaderName(shortFile.c_str(), appName), CQdfException);

    // An existing empty file is taken as new.
    const std::string empty = folder.File("empty.qdf");
    WriteBytes(empty, {});
    CQdf file;
    ASSERT_TRUE(file.Open(empty.c_str(), 1, OPEN_EXISTING, kReadWrite));
    file.Close();
    EXPECT_EQ(ReadBytes(empty).size(), 12644u);
    EXPECT_EQ(CQdf::CheckFile(empty.c_str(), 1, appName), QdfFileState::sound);
    EXPECT_STREQ(appName, "QDF_FILE 2.0");
    ASSERT_TRUE(CQdf::ReadHeaderName(empty.c_str(), appName));
    EXPECT_STREQ(appName, "QDF_FILE 2.0");
}

TEST(QdfFile, SystemErrorsCarryTheirTextAndTheFileName) {
    TempFolder folder;
    const std::string missingFolder = folder.File("no such folder\\x.qdf");
    CQdf file;
    try {
        file.Open(missingFolder.c_str(), 1, OPEN_ALWAYS, kReadWrite);
        ADD_FAILURE() << "opened in a missing folder";
    } catch (const CQdfException& e) {
        EXPECT_TRUE(e.m_bSystem);
        EXPECT_EQ(e.m_nCode, ERROR_PATH_NOT_FOUND);
        EXPECT_EQ(e.GetMessage(), SystemText(ERROR_PATH_NOT_FOUND) + missingFolder + "\r\n");
    }

    // Writing through a handle without write access fails with the system's
    // reason.
    const std::string name = folder.File("readonly-access.qdf");
    {
        CQdf create;
        ASSERT_TRUE(create.Open(name.c_str(), 1, OPEN_ALWAYS, kReadWrite));
    }
    const std::vector<uint8_t> before = ReadBytes(name);
    CQdf reader;
    ASSERT_TRUE(reader.Open(name.c_str(), 1, OPEN_EXISTING, GENERIC_READ | FILE_SHARE_READ));
    try {
        reader.WriteRecord(1u, "abcd", 4);
        ADD_FAILURE() << "wrote through a read-only handle";
    } catch (const CQdfException& e) {
        EXPECT_TRUE(e.m_bSystem);
        EXPECT_EQ(e.m_nCode, ERROR_ACCESS_DENIED);
        EXPECT_NE(e.GetMessage().find(name), std::string::npos);
    }
    EXPECT_THROW(reader.Close(), CQdfException);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(ReadBytes(name), before);

    // A name too long to keep is refused rather than cut to another file.
    const std::string longName = folder.File(std::string(300, 'l'));
    try {
        file.Open(longName.c_str(), 1, OPEN_ALWAYS, kReadWrite);
        ADD_FAILURE() << "opened a name longer than 255 characters";
    } catch (const CQdfException& e) {
        EXPECT_EQ(e.m_nCode, ERROR_FILENAME_EXCED_RANGE);
    }
}
