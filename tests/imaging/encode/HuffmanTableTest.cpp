// Optimal tables from hand-made counts: the format's limits (16 bits, no
// all-ones code), the degenerate tables, the symbols made codable for
// writing, and libjpeg's own table builder as the reference for the rest.
#include "imaging/isource/encode/HuffmanTable.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdint>
#include <set>
#include <vector>

#include <jpeglib.h>

#include "imaging/encode/LibjpegReference.h"

// libjpeg's builder behind optimize_coding; exported, though not in its
// public header.
extern "C" void jpeg_gen_optimal_table(j_compress_ptr cinfo, JHUFF_TBL* htbl, long freq[]);

using isource::HuffmanTable;
using isource::SymbolCounts;

namespace {

SymbolCounts Counts(const std::vector<std::pair<int, int64_t>>& given) {
    SymbolCounts c{};
    for (const auto& [symbol, count] : given)
        c.of[symbol] = count;
    return c;
}

int Symbols(const HuffmanTable& t) {
    int n = 0;
    for (int k = 1; k <= 16; ++k)
        n += t.bits[k];
    return n;
}

// The canonical code space a table uses, in units of 2^-16: below 2^16
// means the all-ones code of the longest length is free.
int64_t CodeSpace(const HuffmanTable& t) {
    int64_t space = 0;
    for (int k = 1; k <= 16; ++k)
        space += int64_t{t.bits[k]} << (16 - k);
    return space;
}

// Checks what every table must satisfy and returns its code lengths.
std::vector<int> Lengths(const HuffmanTable& t, const SymbolCounts& counts) {
    std::vector<int> length(256, 0);
    std::set<int> seen;
    int i = 0;
    for (int k = 1; k <= 16; ++k)
        for (int n = 0; n < t.bits[k]; ++n, ++i) {
            EXPECT_TRUE(seen.insert(t.huffval[i]).second) << "symbol " << int(t.huffval[i]) << " twice";
            EXPECT_GT(counts.of[t.huffval[i]], 0) << "code for unused symbol " << int(t.huffval[i]);
            length[t.huffval[i]] = k;
        }
    int used = 0;
    for (int64_t c : counts.of)
        used += c > 0;
    EXPECT_EQ(i, used);
    EXPECT_LT(CodeSpace(t), int64_t{1} << 16);
    return length;
}

HuffmanTable Libjpegs(const SymbolCounts& counts) {
    jpeg_compress_struct cinfo{};
    encode_test::JumpError err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = encode_test::JumpOut;
    HuffmanTable out{};
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        ADD_FAILURE() << "libjpeg refused the counts";
        return out;
    }
    jpeg_create_compress(&cinfo);
    JHUFF_TBL* table = jpeg_alloc_huff_table(reinterpret_cast<j_common_ptr>(&cinfo));
    long freq[257] = {};
    for (int s = 0; s < 256; ++s)
        freq[s] = long(counts.of[s]);
    jpeg_gen_optimal_table(&cinfo, table, freq);
    encode_test::CopyTable(table, out);
    jpeg_destroy_compress(&cinfo);
    return out;
}

} // namespace

TEST(HuffmanTable, LimitsCodesTo16BitsAndKeepsTheAllOnesCodeFree) {
    // Counts growing like the Fibonacci numbers make a Huffman tree one
    // level deeper per symbol: 30 levels before limiting.
    SymbolCounts fib{};
    int64_t a = 1, b = 1;
    for (int s = 0; s < 30; ++s) {
        fib.of[s * 7 + 3] = a;
        const int64_t next = a + b;
        a = b;
        b = next;
    }
    const HuffmanTable t = isource::OptimalHuffmanTable(fib);
    const std::vector<int> length = Lengths(t, fib);
    EXPECT_GT(t.bits[16], 0) << "the limit was not reached";
    // More frequent symbols never get longer codes (the first two tie).
    for (int s = 2; s < 30; ++s)
        EXPECT_LE(length[s * 7 + 3], length[(s - 1) * 7 + 3]) << s;
    EXPECT_TRUE(encode_test::SameTable(t, Libjpegs(fib)));

    // Every symbol, counts spread over six orders of magnitude.
    SymbolCounts all{};
    for (int s = 0; s < 256; ++s)
        all.of[s] = 1 + (int64_t{s} * s * s * 61) % 1000003;
    const HuffmanTable full = isource::OptimalHuffmanTable(all);
    Lengths(full, all);
    EXPECT_TRUE(encode_test::SameTable(full, Libjpegs(all)));
}

TEST(HuffmanTable, HoldsBackTheReservedCodePoint) {
    // Four equally frequent symbols would fill all four 2-bit codes; one of
    // them moves to 3 bits, beside the held-back point.
    const SymbolCounts four = Counts({{0x01, 10}, {0x02, 10}, {0x11, 10}, {0x00, 10}});
    const HuffmanTable t = isource::OptimalHuffmanTable(four);
    Lengths(t, four);
    EXPECT_EQ(t.bits[2], 3);
    EXPECT_EQ(t.bits[3], 1);
    EXPECT_EQ(Symbols(t), 4);
    // Ties go the way libjpeg breaks them: the highest symbol goes deepest.
    EXPECT_EQ(t.huffval[3], 0x11);
    EXPECT_TRUE(encode_test::SameTable(t, Libjpegs(four)));
}

TEST(HuffmanTable, DegenerateCounts) {
    const SymbolCounts one = Counts({{0x05, 1234}});
    const HuffmanTable single = isource::OptimalHuffmanTable(one);
    EXPECT_EQ(single.bits[1], 1);
    EXPECT_EQ(Symbols(single), 1);
    EXPECT_EQ(single.huffval[0], 0x05);

    const HuffmanTable none = isource::OptimalHuffmanTable(SymbolCounts{});
    EXPECT_EQ(Symbols(none), 0);
}

TEST(HuffmanTable, EverySymbolOfABaselineScanGetsACode) {
    SymbolCounts dc = Counts({{0, 5000}, {3, 2}});
    isource::CountEverySymbol(dc, isource::TableClass::kDc);
    const HuffmanTable dcTable = isource::OptimalHuffmanTable(dc);
    std::vector<int> length = Lengths(dcTable, dc);
    for (int size = 0; size <= 11; ++size)
        EXPECT_GT(length[size], 0) << size;
    EXPECT_EQ(Symbols(dcTable), 12);
    EXPECT_EQ(dc.of[0], 5000) << "counts already there stay";

    SymbolCounts ac = Counts({{0x00, 90000}, {0x01, 50000}});
    isource::CountEverySymbol(ac, isource::TableClass::kAc);
    const HuffmanTable acTable = isource::OptimalHuffmanTable(ac);
    length = Lengths(acTable, ac);
    EXPECT_EQ(Symbols(acTable), 162);
    EXPECT_GT(length[0xF0], 0);
    for (int run = 0; run < 16; ++run)
        for (int size = 1; size <= 10; ++size)
            EXPECT_GT(length[run << 4 | size], 0) << run << "/" << size;
    EXPECT_EQ(length[0x0B], 0) << "sizes past 10 are not baseline";
}
