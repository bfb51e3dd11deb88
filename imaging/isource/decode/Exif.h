// Reading EXIF blocks: the orientation a picture is stored in, and the few
// facts about the photo that a copy keeps (when it was taken, with which
// camera). An EXIF block is a TIFF structure; JPEG files carry it in an APP1
// segment after "Exif\0\0", PNG files in an eXIf chunk, PSD files in image
// resource 1058, and a TIFF file is one itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace isource {

// What a copy of a photo keeps of its source's EXIF block. Texts are
// printable ASCII only, without the terminating zero; empty when absent.
struct PhotoInfo {
    std::string dateTimeOriginal;   // "YYYY:MM:DD HH:MM:SS"
    std::string offsetTimeOriginal; // "+HH:MM"
    std::string make;
    std::string model;
    bool Empty() const {
        return dateTimeOriginal.empty() && offsetTimeOriginal.empty() && make.empty() && model.empty();
    }
};

// The Orientation tag (1 to 8) of the first directory of an APP1 segment's
// payload ("Exif\0\0" and a TIFF structure); 1 when the payload is no EXIF
// block, has no such tag, or the tag cannot be read.
int ExifOrientation(const uint8_t* payload, size_t size);
// The same for a bare TIFF structure (a PNG eXIf chunk).
int TiffOrientation(const uint8_t* tiff, size_t size);

// The photo facts of a bare TIFF structure; whatever cannot be read is left
// empty. Never reads outside [tiff, tiff + size).
PhotoInfo ReadTiffPhotoInfo(const uint8_t* tiff, size_t size);
// The same for an APP1 payload ("Exif\0\0" first); empty when it is none.
PhotoInfo ReadExifPhotoInfo(const uint8_t* payload, size_t size);

// The photo facts of a whole file, by its format: the first EXIF block of a
// JPEG before its picture data, a PNG's eXIf chunk before its image data, a
// TIFF's first directory and its EXIF directory, a PSD's EXIF resource.
// Empty for other formats and damaged blocks.
PhotoInfo ReadPhotoInfo(const uint8_t* data, size_t size);

} // namespace isource
