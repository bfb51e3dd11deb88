// The EXIF block of every JPEG the library writes: a copy says that its
// colours are sRGB (ColorSpace 1, for photo frames that read no ICC
// profile) and that its pixels are upright (Orientation 1), and keeps when
// the photo was taken and with which camera. Nothing else travels: no
// location, no thumbnail, no maker notes.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/isource/decode/Exif.h"

namespace isource {

// The APP1 payload: "Exif\0\0", then a little-endian TIFF structure with
// Make, Model, Orientation and the EXIF directory (ExifVersion,
// DateTimeOriginal, OffsetTimeOriginal, ColorSpace); no second directory.
std::vector<uint8_t> MakeExifBlock(const PhotoInfo& info);

} // namespace isource
