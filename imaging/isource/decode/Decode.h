// Decoding of a picture file held in memory, by content (magic bytes), into
// packed 8-bit sRGB: bytes R, G, B, rows top to bottom, no padding. Colour
// profiles are applied (see Colour.h); alpha is composited on white;
// orientation tags are applied, so the picture arrives upright. A decoder
// delivers a whole picture or nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace isource {

enum class ImageFormat { Unknown, Jpeg, Png, Tiff, Bmp, Psd };

enum class DecodeStatus {
    Ok,
    UnknownFormat, // no decoder recognises the bytes
    Corrupt,       // truncated, damaged, or a decoder warned about bad picture data
    Unsupported,   // a valid file of a kind we do not read
    TooLarge,      // width * height * 3 would not fit a 32-bit process
    OutOfMemory,   // the sink refused the buffer
    Cancelled,     // the sink said to stop
};

// Largest picture buffer a 32-bit process can hold; larger pictures are
// refused before anything is allocated.
constexpr uint64_t kMaxPictureBytes = 0x7FFFFFFFull;

// True when a picture of this size may be allocated (both sides positive).
constexpr bool PictureSizeAcceptable(int64_t width, int64_t height) {
    return width > 0 && height > 0 &&
           static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 3u <= kMaxPictureBytes;
}

// A box a reduced picture must still cover once the picture is fitted into
// it (upright sides); 0 x 0: the whole picture is wanted.
struct FitBox {
    int32_t width = 0;
    int32_t height = 0;
    bool Any() const { return width > 0 && height > 0; }
};

// Where a decoder puts the finished picture. Allocate is called at most once
// per successful decode, with the final (upright) size, and returns a buffer
// of width * height * 3 bytes or null to refuse. On any status but Ok the
// caller discards whatever the buffer holds.
class PixelSink {
public:
    virtual ~PixelSink() = default;
    virtual uint8_t* Allocate(int32_t width, int32_t height) = 0;
    // Asked between rows by the JPEG, PNG and TIFF decoders (from any of a
    // decode's threads): true ends the decode with Cancelled.
    virtual bool Cancelled() const { return false; }
    // A JPEG decoder may deliver the picture reduced so long as it still
    // covers the picture fitted into this box; it then tells the size at
    // full scale (upright) before it asks for the buffer.
    virtual FitBox Fit() const { return {}; }
    virtual void FullSize(int32_t /*width*/, int32_t /*height*/) {}
};

// The format the leading bytes announce, whatever the file's name says.
ImageFormat GuessFormat(const uint8_t* data, size_t size);

// Decodes the first picture of a file held in memory. Never throws, keeps no
// state outside the call (so calls may run on several threads at once; a
// large sequential JPEG is itself decoded on two threads), and
// reads nothing beyond `size`. Damaged picture data of any kind (a cut
// file, a bad checksum, a codec's warning about the picture's data) fails
// the decode; damaged metadata around it does not. Beyond the
// sink's buffer a decode holds a few rows, except that a picture its
// orientation tag turns by a quarter needs a second full buffer, a
// progressive JPEG needs libjpeg's coefficients (about one picture more),
// and TIFF kinds only libtiff's RGBA reader renders (YCbCr without JPEG,
// CIE Lab, LogLuv) need its 32-bit raster.
DecodeStatus DecodeImage(const uint8_t* data, size_t size, PixelSink& sink);

} // namespace isource
