// A check that a TIFF file is whole: its chain of directories and every
// value and strip or tile they point to lie inside the file. libtiff reads a
// cut file's first page as far as it can reach and quietly drops tags that
// point past the end; a file that lost its end is damaged even where the
// first picture survived, and must not pass for whole.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isource {

bool TiffStructureIsWhole(const uint8_t* data, size_t size);

} // namespace isource
