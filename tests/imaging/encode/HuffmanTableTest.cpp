// Optimal tables from hand-made counts: the format's limits (16 bits, no
// all-ones code), the degenerate tables, the symbols made codable for
// writing; libjpeg's own table builder is the reference for the rest.
#include "imaging/isource/encode/HuffmanTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "imaging/encode/LibjpegReference.h"

// libjpeg's builder behind optimize_coding: exported, though not in its
// public header.
extern "C" void jpeg_gen_optimal_table(j_compress_ptr cinfo, JHUFF_TBL* htbl, long freq[]);

using isource::HuffmanTable;
using isource::SymbolCounts;

namespace {

// Each symbol's code length, after checking what every table must hold:
// codes for exactly the counted symbols, once each, and the all-ones code
// of the longest length left free.
std::vector<int> Lengths(const HuffmanTable& t, const SymbolCounts& counts) {
    std::vector<int> length(256, 0);
    int64_t space = 0; // in units of 2^-16
    for (int k = 1, i = 0; k <= 16; ++k)
        for (int n = 0; n < t.bits[k]; ++n, ++i) {
            EXPECT_EQ(length[t.huffval[i]], 0) << "symbol " << int(t.huffval[i]) << " twice";
            length[t.huffval[i]] = k;
            space += int64_t{1} << (16 - k);
        }
    for (int s = 0; s < 256; ++s)
        EXPECT_EQ(length[s] > 0, counts.of[s] > 0) << "symbol " << s;
    EXPECT_LT(space, int64_t{1} << 16);
    return length;
}

std::vector<int> Libjpegs(const SymbolCounts& counts) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    JHUFF_TBL* table = jpeg_alloc_huff_table(reinterpret_cast<j_common_ptr>(&cinfo));
    long freq[257] = {};
    for (int s = 0; s < 256; ++s)
        freq[s] = long(counts.of[s]);
    jpeg_gen_optimal_table(&cinfo, table, freq);
    const std::vector<int> entries = encode_test::Entries(table->bits, table->huffval);
    jpeg_destroy_compress(&cinfo);
    return entries;
}

} // namespace

TEST(HuffmanTable, LimitsCodesTo16BitsAndKeepsTheAllOnesCodeFree) {
    // Counts growing like the Fibonacci numbers make the Huffman tree one
    // level deeper per symbol: 30 levels before the limit.
    SymbolCounts fib{};
    for (int s = 0, a = 1, b = 1; s < 30; ++s, b += a, a = b - a)
        fib.of[s * 7 + 3] = a;
    const HuffmanTable t = isource::OptimalHuffmanTable(fib);
    const std::vector<int> length = Lengths(t, fib);
    EXPECT_GT(t.bits[16], 0);
    for (int s = 2; s < 30; ++s) // the first two tie
        EXPECT_LE(length[s * 7 + 3], length[(s - 1) * 7 + 3]) << "rarer symbol, shorter code: " << s;
    EXPECT_EQ(encode_test::Entries(t), Libjpegs(fib));

    SymbolCounts all{}; // every symbol, over six orders of magnitude
    for (int s = 0; s < 256; ++s)
        all.of[s] = 1 + (int64_t{s} * s * s * 61) % 1000003;
    const HuffmanTable full = isource::OptimalHuffmanTable(all);
    Lengths(full, all);
    EXPECT_EQ(encode_test::Entries(full), Libjpegs(all));
}

TEST(HuffmanTable, HoldsBackTheReservedCodePointAndHandlesTinyCounts) {
    // Four equal counts would fill the four 2-bit codes; the held-back point
    // pushes one to 3 bits: the highest symbol, as libjpeg breaks ties.
    SymbolCounts four{};
    for (int s : {0x00, 0x01, 0x02, 0x11})
        four.of[s] = 10;
    const HuffmanTable t = isource::OptimalHuffmanTable(four);
    EXPECT_EQ(Lengths(t, four)[0x11], 3);
    EXPECT_EQ(encode_test::Entries(t),
              (std::vector<int>{0, 3, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x01, 0x02, 0x11}));

    SymbolCounts one{};
    one.of[0x05] = 1234;
    EXPECT_EQ(encode_test::Entries(isource::OptimalHuffmanTable(one)),
              (std::vector<int>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x05}));
    EXPECT_EQ(encode_test::Entries(isource::OptimalHuffmanTable(SymbolCounts{})), std::vector<int>(16, 0));
}

TEST(HuffmanTable, EverySymbolOfABaselineScanGetsACode) {
    SymbolCounts dc{};
    dc.of[0] = 5000;
    dc.of[3] = 2;
    isource::CountEverySymbol(dc, isource::TableClass::kDc);
    EXPECT_EQ(dc.of[0], 5000);
    std::vector<int> length = Lengths(isource::OptimalHuffmanTable(dc), dc);
    EXPECT_EQ(std::count(length.begin(), length.begin() + 12, 0), 0) << "sizes 0..11";
    EXPECT_EQ(std::count(length.begin() + 12, length.end(), 0), 256 - 12);

    SymbolCounts ac{};
    ac.of[0x00] = 90000;
    ac.of[0x01] = 50000;
    isource::CountEverySymbol(ac, isource::TableClass::kAc);
    length = Lengths(isource::OptimalHuffmanTable(ac), ac);
    EXPECT_GT(length[0xF0], 0);
    for (int run = 0; run < 16; ++run)
        for (int size = 1; size <= 15; ++size)
            EXPECT_EQ(length[run << 4 | size] > 0, size <= 10) << run << "/" << size;
}
