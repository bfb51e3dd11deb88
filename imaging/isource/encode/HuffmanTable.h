// Huffman tables made for a scan from the number of times it uses each
// symbol: code lengths by Huffman's procedure with one code point held back
// (no code may be all ones), limited to 16 bits, in the form a DHT segment
// carries them.
#pragma once

#include <cstdint>

namespace isource {

// How often a scan uses each of the 256 symbols of one table.
struct SymbolCounts {
    int64_t of[256];
};

// One table as a DHT segment holds it: bits[n] symbols have an n-bit code
// (bits[0] unused), huffval lists the symbols from the shortest code to the
// longest.
struct HuffmanTable {
    uint8_t bits[17];
    uint8_t huffval[256];
};

// The shortest codes for `counts` under the format's limits; symbols with
// no count get no code. Ties are broken the way libjpeg breaks them, so the
// same counts give the same table as its optimisation pass.
HuffmanTable OptimalHuffmanTable(const SymbolCounts& counts);

// Which kind of table a count set is for: DC tables code size categories
// 0..11, AC tables run/size pairs (run 0..15, size 1..10), end of block and
// the run of sixteen zeros.
enum class TableClass { kDc, kAc };

// Gives every symbol a baseline scan of that class may contain a count of at
// least one, so that a table built from them codes any scan: libjpeg writes
// undecodable data, without an error, for a symbol that has no code.
void CountEverySymbol(SymbolCounts& counts, TableClass kind);

} // namespace isource
