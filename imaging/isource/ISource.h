// The entry points of the imaging library _ISource30.dll as the program calls
// them: stdcall, undecorated names (see ISource30.def). This header is all
// the program and the library share.
#pragma once

#include <stdint.h>

#ifdef _WIN32
#define IS3_CALL __stdcall
#else
#define IS3_CALL
#endif

// Handles as the program sees them. A memory handle is a movable global
// memory block (the caller frees it); bitmap and device-context handles are
// the platform's.
typedef struct IS3SourceObject* IS3Source;
typedef struct IS3DestObject* IS3Dest;
typedef void* IS3Memory;
typedef void* IS3Bitmap;
typedef void* IS3DeviceContext;

// What ReadImageToRGBEx may do beyond ReadImageToRGB; a zero field asks for
// nothing. `size` is sizeof(IS3ReadOptions) as the caller knows it.
typedef struct IS3ReadOptions {
    uint32_t size;
    // Refuse a picture whose width x height x 3 bytes exceed this, before any
    // of it is allocated (kIS3OverLimit; width and height still tell its
    // size). 0: no limit beyond the library's own.
    uint32_t maxBytes;
    // Read while decoding: once it is non-zero the read stops within a few
    // rows (JPEG, PNG and TIFF; other formats when they are done) and fails
    // with kIS3Cancelled. Another thread may set it at any time.
    const volatile int32_t* cancel;
    // A block from an earlier read that the picture may be decoded into
    // instead of a fresh one (fresh memory costs the system a page fault a
    // page). The call takes it over: it comes back as the result or is freed.
    IS3Memory reuse;
    // A reduced picture is enough as long as it still covers the picture
    // fitted into a box of fitWidth x fitHeight (upright, as the picture
    // arrives): a JPEG is then decoded at the smallest of libjpeg's DCT
    // scales (1/8 to 8/8) that does, in a fraction of the time; other
    // formats arrive whole. 0 x 0: the whole picture.
    uint32_t fitWidth;
    uint32_t fitHeight;
    // Where the picture's size at full scale (upright) is stored when not
    // null, also for a picture refused by maxBytes; equal to the size read
    // unless the picture was reduced.
    uint32_t* fullWidth;
    uint32_t* fullHeight;
} IS3ReadOptions;
// A caller of the first version, whose `size` ends before fitWidth, is
// served as before.

// Every entry point: name after the "_IS3" prefix, result, arguments. All
// arguments are 32 bits wide but the opacity of OverlayImage (a double).
// Rectangles are int32 left, top, right, bottom, right and bottom exclusive.
// Results of 0 mean failure unless said otherwise; GetLastError then tells
// why (an IS3Error). WriteJPG's `stride` is the bytes from one row of
// `pixels` to the next, 0 for rows back to back, so a cut of a larger
// picture is written where it lies. RGBToHBITMAP's `reuse` is null or a
// bitmap of an earlier call that is no longer shown: the call takes it over
// and refills it when it has the new bitmap's size and kind (its memory is
// mapped already), else deletes it.
// GetSourceExif gives the EXIF block (an APP1 payload: "Exif\0\0" and a
// TIFF structure) of what the source's last successful read found worth
// keeping in a copy: the date taken with its time offset, the camera's make
// and model; never its location or thumbnail. It returns the block's size,
// 0 when the photo has none of these (no error then), and copies the block
// into `buffer` when `size` holds it. SetDestExif takes those facts out of
// such a block (or any EXIF block; the rest of it is dropped) for the JPEGs
// later written to the destination; a null block clears them. Every JPEG
// written carries an EXIF block saying its colours are sRGB and its pixels
// upright (Orientation 1), with those facts when it was given some.
#define IS3_ENTRY_POINTS(X)                                                                                  \
    X(Initialize, uint32_t, (void))                                                                          \
    X(GetLibVersion, uint32_t, (void))                                                                       \
    X(GetLastError, uint32_t, (void))                                                                        \
    X(SetHBITMAPCreateMethod, uint32_t, (uint32_t method))                                                   \
    X(OpenFileSource, IS3Source, (const char* path))                                                         \
    X(CloseSource, uint32_t, (IS3Source source))                                                             \
    X(GuessFileType, uint32_t, (IS3Source source))                                                           \
    X(Seek, uint32_t, (IS3Source source, int32_t offset, uint32_t origin))                                   \
    X(ReadImageToRGB, IS3Memory, (IS3Source source, uint32_t * width, uint32_t * height))                    \
    X(ReadImageToRGBEx, IS3Memory,                                                                           \
      (IS3Source source, uint32_t * width, uint32_t * height, const IS3ReadOptions* options))                \
    X(RGBToHBITMAP, IS3Bitmap,                                                                               \
      (const uint8_t* pixels, uint32_t width, uint32_t height, IS3Bitmap reuse, IS3DeviceContext dc))        \
    X(ScaleToHBITMAP, IS3Bitmap,                                                                             \
      (const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t stride, uint32_t turn,              \
       uint32_t outWidth, uint32_t outHeight, IS3Bitmap reuse, IS3DeviceContext dc))                         \
    X(QuickRotateImage, uint32_t,                                                                            \
      (const uint8_t* src, uint32_t width, uint32_t height, uint32_t srcStride, uint8_t* dst,                \
       uint32_t dstStride, uint32_t code, uint32_t bpp))                                                     \
    X(ResizeImage, uint32_t,                                                                                 \
      (const uint8_t* src, uint32_t width, uint32_t height, uint32_t srcStride, uint8_t* dst,                \
       uint32_t newWidth, uint32_t newHeight, uint32_t dstStride, uint32_t bpp))                             \
    X(CropImage, uint32_t,                                                                                   \
      (const uint8_t* src, uint32_t width, uint32_t height, uint32_t srcStride, uint8_t* dst,                \
       uint32_t dstStride, const int32_t* rect, uint32_t bpp))                                               \
    X(OpenFileDest, IS3Dest, (const char* path, uint32_t append))                                            \
    X(WriteJPG, uint32_t,                                                                                    \
      (IS3Dest dest, const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t quality,               \
       uint32_t bitsPerPixel, const void* palette, uint32_t stride))                                         \
    X(CloseDest, uint32_t, (IS3Dest dest))                                                                   \
    X(GetSourceExif, uint32_t, (IS3Source source, uint8_t * buffer, uint32_t size))                           \
    X(SetDestExif, uint32_t, (IS3Dest dest, const uint8_t* block, uint32_t size))                            \
    X(FillSolidRect, uint32_t,                                                                               \
      (uint8_t * pixels, uint32_t width, uint32_t height, uint32_t bpp, uint32_t stride,                     \
       const int32_t* rect, uint32_t colour, uint32_t flags))                                                \
    X(BlurImage, uint32_t,                                                                                   \
      (const uint8_t* src, uint32_t width, uint32_t height, uint32_t bpp, uint32_t srcStride, uint8_t* dst,  \
       uint32_t dstStride, uint32_t amount, uint32_t radius))                                                \
    X(OverlayImage, uint32_t,                                                                                \
      (uint8_t * base, uint32_t width, uint32_t height, uint32_t bpp, uint32_t stride, const uint8_t* top,   \
       uint32_t topWidth, uint32_t topHeight, uint32_t topStride, int32_t x, int32_t y, double opacity,      \
       uint32_t flags))

// Function pointer types, one per entry point: IS3Initialize_t and so on.
extern "C" {
#define IS3_DECLARE_POINTER_TYPE(name, result, params) typedef result(IS3_CALL* IS3##name##_t) params;
IS3_ENTRY_POINTS(IS3_DECLARE_POINTER_TYPE)
#undef IS3_DECLARE_POINTER_TYPE
}

// The library's version word: major in the high byte, minor in the low byte.
// 3.1 added GetSourceExif and SetDestExif; 3.2 ScaleToHBITMAP and the fit
// and full size of IS3ReadOptions.
constexpr uint32_t kIS3LibVersion = 0x0302;

// Why the last call failed (GetLastError).
enum IS3Error : uint32_t {
    kIS3Ok = 0,
    kIS3BadArgument = 1,
    kIS3CannotOpen = 2,
    kIS3CannotRead = 3,
    kIS3CannotWrite = 4,
    kIS3UnknownFormat = 5,
    kIS3Corrupt = 6,
    kIS3Unsupported = 7,
    kIS3TooLarge = 8,
    kIS3OutOfMemory = 9,
    kIS3CannotEncode = 10,
    kIS3CannotMakeBitmap = 11,
    kIS3OverLimit = 12, // ReadImageToRGBEx: larger than its maxBytes
    kIS3Cancelled = 13, // ReadImageToRGBEx: its cancel flag was set
};

// What GuessFileType tells from a file's first bytes.
enum IS3FileType : uint32_t {
    kIS3FileUnknown = 0,
    kIS3FileJpeg = 1,
    kIS3FilePng = 2,
    kIS3FileTiff = 3,
    kIS3FileBmp = 4,
    kIS3FilePsd = 5,
};

// RGBToHBITMAP's kinds of bitmap (SetHBITMAPCreateMethod): a 24-bit
// device-independent section, or a bitmap compatible with the given device
// context (the default).
enum IS3BitmapMethod : uint32_t {
    kIS3BitmapDibSection = 0,
    kIS3BitmapCompatible = 1,
};
