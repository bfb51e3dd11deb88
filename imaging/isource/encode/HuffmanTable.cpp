#include "imaging/isource/encode/HuffmanTable.h"

#include <algorithm>
#include <cstring>

namespace isource {
namespace {

// The 256 symbols and the held-back code point, which takes the last code of
// the longest length: then no real symbol is given the all-ones code.
constexpr int kSymbols = 257;
constexpr int kReserved = 256;
constexpr int kMaxLength = 16;

// Code lengths by Huffman's procedure. Each live tree is named by one of its
// symbols; the two lightest trees are joined, the lighter one (for equal
// weights the one named by the higher symbol) giving the joined tree its
// name. Following that order exactly is what makes the tables match libjpeg's.
void CodeLengths(const int64_t (&weightIn)[kSymbols], int (&length)[kSymbols]) {
    int64_t weight[kSymbols];
    int next[kSymbols]; // the members of a tree, chained from its name
    int last[kSymbols]; // the chain's end
    for (int s = 0; s < kSymbols; ++s) {
        weight[s] = weightIn[s];
        next[s] = -1;
        last[s] = s;
        length[s] = 0;
    }
    // The lightest live tree other than `skip`; for equal weights the
    // higher name. -1 when there is none.
    auto lightest = [&](int skip) {
        int best = -1;
        for (int s = 0; s < kSymbols; ++s)
            if (weight[s] > 0 && s != skip && (best < 0 || weight[s] <= weight[best]))
                best = s;
        return best;
    };
    for (;;) {
        const int a = lightest(-1);
        const int b = lightest(a);
        if (b < 0)
            break;
        weight[a] += weight[b];
        weight[b] = 0;
        // Every member of both trees moves one level further from the root.
        for (int s = a; s >= 0; s = next[s])
            ++length[s];
        for (int s = b; s >= 0; s = next[s])
            ++length[s];
        next[last[a]] = b;
        last[a] = last[b];
    }
}

} // namespace

HuffmanTable OptimalHuffmanTable(const SymbolCounts& counts) {
    int64_t weight[kSymbols];
    for (int s = 0; s < 256; ++s)
        weight[s] = std::max<int64_t>(counts.of[s], 0);
    weight[kReserved] = 1;
    int length[kSymbols];
    CodeLengths(weight, length);

    // A tree of 257 leaves is at most 256 deep.
    int perLength[kSymbols] = {};
    int longest = 0;
    for (int s = 0; s < kSymbols; ++s)
        if (length[s] > 0) {
            ++perLength[length[s]];
            longest = std::max(longest, length[s]);
        }

    // Over-long codes come in pairs at the longest length: one of a pair
    // takes their parent's place one level up, the other and a leaf from the
    // next shorter length in use become the two children of that leaf.
    for (int n = longest; n > kMaxLength; --n)
        while (perLength[n] > 0) {
            int shorter = n - 2;
            while (perLength[shorter] == 0)
                --shorter;
            perLength[n] -= 2;
            perLength[n - 1] += 1;
            perLength[shorter + 1] += 2;
            perLength[shorter] -= 1;
        }
    // The held-back point is the last code of the longest length.
    int n = std::min(longest, kMaxLength);
    while (n > 0 && perLength[n] == 0)
        --n;
    if (n > 0)
        --perLength[n];

    HuffmanTable table{};
    for (int k = 1; k <= kMaxLength; ++k)
        table.bits[k] = uint8_t(perLength[k]);
    // Symbols in order of their unlimited length, then of value: the limited
    // lengths are dealt out in that order, so the rarest symbols keep the
    // longest codes.
    int placed = 0;
    for (int k = 1; k < kSymbols; ++k)
        for (int s = 0; s < 256; ++s)
            if (length[s] == k)
                table.huffval[placed++] = uint8_t(s);
    return table;
}

void CountEverySymbol(SymbolCounts& counts, TableClass kind) {
    auto atLeastOne = [&](int symbol) { counts.of[symbol] = std::max<int64_t>(counts.of[symbol], 1); };
    if (kind == TableClass::kDc) {
        for (int size = 0; size <= 11; ++size)
            atLeastOne(size);
        return;
    }
    atLeastOne(0x00); // end of block
    atLeastOne(0xF0); // sixteen zeros
    for (int run = 0; run < 16; ++run)
        for (int size = 1; size <= 10; ++size)
            atLeastOne(run << 4 | size);
}

} // namespace isource
