// Reading the orientation out of a JPEG file's EXIF block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isource {

// The Orientation tag (1 to 8) of the first directory of an APP1 segment's
// payload ("Exif\0\0" and a TIFF structure); 1 when the payload is no EXIF
// block, has no such tag, or the tag cannot be read.
int ExifOrientation(const uint8_t* payload, size_t size);

} // namespace isource
