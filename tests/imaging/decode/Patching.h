// Small editors for corpus files, to make damaged, oversized or re-oriented
// variants of real files in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace patch {

// Offset of the first JPEG marker `code` (the byte after 0xFF), or 0.
size_t FindJpegMarker(const std::vector<uint8_t>& jpeg, uint8_t code);
// Offset of the first byte of entropy-coded data after the first SOS.
size_t JpegScanStart(const std::vector<uint8_t>& jpeg);
// Offset of the value field of the EXIF Orientation entry in a JPEG, or 0.
size_t ExifOrientationValue(const std::vector<uint8_t>& jpeg, bool& bigEndian);

// Offset of the data of the first PNG chunk of this type, or 0.
size_t FindPngChunk(const std::vector<uint8_t>& png, const char* type);
// Recomputes the CRC of the chunk whose data starts at `data`.
void FixPngCrc(std::vector<uint8_t>& png, size_t data);

// Offset of the first IFD entry with this tag, or 0.
size_t FindTiffEntry(const std::vector<uint8_t>& tiff, uint16_t tag);
// Rewrites an entry as one value of type SHORT (3) or LONG (4).
void SetTiffEntry(std::vector<uint8_t>& tiff, size_t entry, uint16_t type, uint32_t value);
// The first strip's offset in the file.
uint32_t FirstStripOffset(const std::vector<uint8_t>& tiff);

// A PNG of unfiltered rows, with optional chunks before the image data.
std::vector<uint8_t> BuildPng(uint32_t width, uint32_t height, int depth, int colourType,
                              const std::vector<std::vector<uint8_t>>& rows,
                              const std::vector<std::pair<std::string, std::vector<uint8_t>>>& chunks = {});

void PutBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size);

} // namespace patch
