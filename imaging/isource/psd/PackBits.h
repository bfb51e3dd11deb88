// PackBits, as Photoshop compresses each row of its image data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isource {

// Unpacks codes from in[0, inSize) into exactly outSize bytes of out. False
// when the codes end before the row is full or a run would overflow it. A
// null `out` only checks the codes. Bytes left over after the row count as
// padding.
bool UnpackBitsRow(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize);

} // namespace isource
