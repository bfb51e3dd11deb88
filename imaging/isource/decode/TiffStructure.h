// A look at a TIFF file's structure before libtiff reads it: whether the
// file is whole (its chain of directories and every value and strip or tile
// they point to lie inside it) and the size its first picture declares.
// libtiff reads a cut file's first page as far as it can reach and quietly
// drops tags that point past the end; a file that lost its end is damaged
// even where the first picture survived, and must not pass for whole.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isource {

struct TiffOutline {
    bool whole = false;
    uint64_t width = 0; // of the first directory; 0 when it has none
    uint64_t height = 0;
};

TiffOutline OutlineTiff(const uint8_t* data, size_t size);

} // namespace isource
