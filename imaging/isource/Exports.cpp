// The exported entry points of _ISource30.dll. Each is a thin stdcall shim
// over the library's plain C++ code: it checks and converts its arguments,
// sets the last error, and never lets an exception out.
#include <windows.h>

#include "imaging/isource/Bitmaps.h"
#include "imaging/isource/FileDest.h"
#include "imaging/isource/FileSource.h"
#include "imaging/isource/ISource.h"
#include "imaging/isource/LastError.h"
#include "imaging/isource/encode/ExifBlock.h"
#include "imaging/isource/encode/JpegWriter.h"
#include "imaging/isource/pixels/Crop.h"
#include "imaging/isource/pixels/Resample.h"
#include "imaging/isource/pixels/Rotate.h"
#include "imaging/isource/pixels/Shade.h"

#include <atomic>
#include <climits>
#include <cstddef>
#include <cstring>
#include <vector>

using isource::Guarded;
using isource::SetLastError;

namespace {

std::atomic<uint32_t> g_bitmapMethod{kIS3BitmapCompatible};

isource::FileSource* SourceOf(IS3Source source) {
    return reinterpret_cast<isource::FileSource*>(source);
}
isource::FileDest* DestOf(IS3Dest dest) {
    return reinterpret_cast<isource::FileDest*>(dest);
}

// Sizes arrive as unsigned 32-bit words; anything beyond int32 is refused.
bool Fits(std::initializer_list<uint32_t> values) {
    for (uint32_t v : values)
        if (v > uint32_t(INT_MAX))
            return false;
    return true;
}

// The common end of the pixel entry points: 1 on success, else 0 with the
// argument error set.
uint32_t Result(bool ok) {
    if (!ok)
        SetLastError(kIS3BadArgument);
    return ok ? 1u : 0u;
}

// The size of the first IS3ReadOptions, which ended with `reuse`.
constexpr uint32_t kReadOptionsV1 = offsetof(IS3ReadOptions, fitWidth);

isource::PixelRect RectOf(const int32_t* rect) {
    return {rect[0], rect[1], rect[2], rect[3]};
}

} // namespace

extern "C" {

// Declared from the shared table first, so each definition below must match
// the signature the program calls through.
#define IS3_DECLARE(name, result, params) result IS3_CALL IS3##name params;
IS3_ENTRY_POINTS(IS3_DECLARE)
#undef IS3_DECLARE

uint32_t IS3_CALL IS3Initialize(void) {
    SetLastError(kIS3Ok);
    return 1;
}

uint32_t IS3_CALL IS3GetLibVersion(void) {
    return kIS3LibVersion;
}

uint32_t IS3_CALL IS3GetLastError(void) {
    return isource::LastError();
}

uint32_t IS3_CALL IS3SetHBITMAPCreateMethod(uint32_t method) {
    SetLastError(kIS3Ok);
    if (method != kIS3BitmapDibSection && method != kIS3BitmapCompatible)
        return Result(false);
    g_bitmapMethod = method;
    return 1;
}

IS3Source IS3_CALL IS3OpenFileSource(const char* path) {
    return Guarded<IS3Source>(nullptr, [&]() -> IS3Source {
        isource::FileSource* source = isource::FileSource::Open(path);
        if (source == nullptr)
            SetLastError(kIS3CannotOpen);
        return reinterpret_cast<IS3Source>(source);
    });
}

uint32_t IS3_CALL IS3CloseSource(IS3Source source) {
    SetLastError(kIS3Ok);
    delete SourceOf(source);
    return 1;
}

uint32_t IS3_CALL IS3GuessFileType(IS3Source source) {
    return Guarded<uint32_t>(kIS3FileUnknown, [&] {
        if (source == nullptr) {
            SetLastError(kIS3BadArgument);
            return uint32_t(kIS3FileUnknown);
        }
        return SourceOf(source)->GuessFileType();
    });
}

uint32_t IS3_CALL IS3Seek(IS3Source source, int32_t offset, uint32_t origin) {
    SetLastError(kIS3Ok);
    return Result(source != nullptr && SourceOf(source)->Seek(offset, origin));
}

IS3Memory IS3_CALL IS3ReadImageToRGB(IS3Source source, uint32_t* width, uint32_t* height) {
    return Guarded<IS3Memory>(nullptr, [&]() -> IS3Memory {
        if (source == nullptr || width == nullptr || height == nullptr) {
            SetLastError(kIS3BadArgument);
            return nullptr;
        }
        uint32_t w = 0, h = 0;
        HGLOBAL memory = SourceOf(source)->ReadToRgb(w, h);
        *width = w;
        *height = h;
        return memory;
    });
}

IS3Memory IS3_CALL IS3ReadImageToRGBEx(IS3Source source, uint32_t* width, uint32_t* height,
                                       const IS3ReadOptions* options) {
    // The block to reuse is ours from the call on, also when it fails early.
    isource::ReadLimits limits;
    const bool known = options == nullptr || options->size >= kReadOptionsV1;
    if (options != nullptr && known) {
        limits.maxBytes = options->maxBytes;
        limits.cancel = options->cancel;
        limits.reuse = static_cast<HGLOBAL>(options->reuse);
    }
    const bool second = options != nullptr && options->size >= sizeof(IS3ReadOptions);
    if (second) {
        limits.fitWidth = Fits({options->fitWidth}) ? int32_t(options->fitWidth) : 0;
        limits.fitHeight = Fits({options->fitHeight}) ? int32_t(options->fitHeight) : 0;
    }
    return Guarded<IS3Memory>(nullptr, [&]() -> IS3Memory {
        if (source == nullptr || width == nullptr || height == nullptr || !known) {
            if (limits.reuse != nullptr)
                GlobalFree(limits.reuse);
            SetLastError(kIS3BadArgument);
            return nullptr;
        }
        uint32_t w = 0, h = 0, fullWidth = 0, fullHeight = 0;
        HGLOBAL memory = SourceOf(source)->ReadToRgb(w, h, limits, &fullWidth, &fullHeight);
        *width = w;
        *height = h;
        if (second && options->fullWidth != nullptr)
            *options->fullWidth = fullWidth;
        if (second && options->fullHeight != nullptr)
            *options->fullHeight = fullHeight;
        return memory;
    });
}

IS3Bitmap IS3_CALL IS3RGBToHBITMAP(const uint8_t* pixels, uint32_t width, uint32_t height, IS3Bitmap reuse,
                                   IS3DeviceContext dc) {
    return Guarded<IS3Bitmap>(nullptr, [&]() -> IS3Bitmap {
        if (!Fits({width, height})) {
            if (reuse != nullptr)
                DeleteObject(static_cast<HBITMAP>(reuse));
            SetLastError(kIS3BadArgument);
            return nullptr;
        }
        HBITMAP bitmap = isource::MakeBitmap(pixels, int32_t(width), int32_t(height), static_cast<HDC>(dc),
                                             g_bitmapMethod, static_cast<HBITMAP>(reuse));
        if (bitmap == nullptr)
            SetLastError(kIS3CannotMakeBitmap);
        return bitmap;
    });
}

IS3Bitmap IS3_CALL IS3ScaleToHBITMAP(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t stride,
                                     uint32_t turn, uint32_t outWidth, uint32_t outHeight, IS3Bitmap reuse,
                                     IS3DeviceContext dc) {
    return Guarded<IS3Bitmap>(nullptr, [&]() -> IS3Bitmap {
        HBITMAP bitmap = nullptr;
        if (Fits({width, height, stride, outWidth, outHeight}))
            bitmap = isource::MakeDisplayBitmap(pixels, int32_t(width), int32_t(height), int32_t(stride),
                                                turn <= 2 ? int32_t(turn) : -1, int32_t(outWidth),
                                                int32_t(outHeight), static_cast<HDC>(dc), g_bitmapMethod,
                                                static_cast<HBITMAP>(reuse));
        else if (reuse != nullptr)
            DeleteObject(static_cast<HBITMAP>(reuse));
        if (bitmap == nullptr)
            SetLastError(kIS3CannotMakeBitmap);
        return bitmap;
    });
}

uint32_t IS3_CALL IS3QuickRotateImage(const uint8_t* src, uint32_t width, uint32_t height, uint32_t srcStride,
                                      uint8_t* dst, uint32_t dstStride, uint32_t code, uint32_t bpp) {
    return Guarded<uint32_t>(0, [&] {
        return Result(Fits({width, height, srcStride, dstStride, code, bpp}) &&
                      isource::RotateImage(src, int32_t(width), int32_t(height), int32_t(srcStride), dst,
                                           int32_t(dstStride), int32_t(code), int32_t(bpp)));
    });
}

uint32_t IS3_CALL IS3ResizeImage(const uint8_t* src, uint32_t width, uint32_t height, uint32_t srcStride,
                                 uint8_t* dst, uint32_t newWidth, uint32_t newHeight, uint32_t dstStride,
                                 uint32_t bpp) {
    return Guarded<uint32_t>(0, [&] {
        return Result(Fits({width, height, srcStride, newWidth, newHeight, dstStride, bpp}) &&
                      isource::ResizeImage(src, int32_t(width), int32_t(height), int32_t(srcStride), dst,
                                           int32_t(newWidth), int32_t(newHeight), int32_t(dstStride),
                                           int32_t(bpp)));
    });
}

uint32_t IS3_CALL IS3CropImage(const uint8_t* src, uint32_t width, uint32_t height, uint32_t srcStride,
                               uint8_t* dst, uint32_t dstStride, const int32_t* rect, uint32_t bpp) {
    return Guarded<uint32_t>(0, [&] {
        return Result(rect != nullptr && Fits({width, height, srcStride, dstStride, bpp}) &&
                      isource::CropImage(src, int32_t(width), int32_t(height), int32_t(srcStride), dst,
                                         int32_t(dstStride), RectOf(rect), int32_t(bpp)));
    });
}

IS3Dest IS3_CALL IS3OpenFileDest(const char* path, uint32_t append) {
    return Guarded<IS3Dest>(nullptr, [&]() -> IS3Dest {
        isource::FileDest* dest = isource::FileDest::Open(path, append != 0);
        if (dest == nullptr)
            SetLastError(kIS3CannotOpen);
        return reinterpret_cast<IS3Dest>(dest);
    });
}

uint32_t IS3_CALL IS3WriteJPG(IS3Dest dest, const uint8_t* pixels, uint32_t width, uint32_t height,
                              uint32_t quality, uint32_t bitsPerPixel, const void* palette, uint32_t stride) {
    return Guarded<uint32_t>(0, [&]() -> uint32_t {
        const uint32_t bpp = bitsPerPixel / 8;
        if (dest == nullptr || (bitsPerPixel != 24 && bitsPerPixel != 8) || !Fits({width, height, stride}) ||
            uint64_t{width} * 3u > uint64_t(INT_MAX) || (stride != 0 && stride < width * bpp)) {
            SetLastError(kIS3BadArgument);
            return 0;
        }
        isource::FileDest& file = *DestOf(dest);
        const std::vector<uint8_t> exif = isource::MakeExifBlock(file.Info());
        if (isource::EncodeJpeg(pixels, int32_t(width), int32_t(height),
                                int32_t(stride != 0 ? stride : width * bpp), int32_t(bpp),
                                int32_t(quality > 100 ? 100 : quality), file, &exif))
            return 1;
        SetLastError(file.Failed() ? kIS3CannotWrite : kIS3CannotEncode);
        return 0;
    });
}

uint32_t IS3_CALL IS3CloseDest(IS3Dest dest) {
    SetLastError(kIS3Ok);
    if (dest == nullptr)
        return Result(false);
    const bool ok = DestOf(dest)->Close();
    delete DestOf(dest);
    if (!ok)
        SetLastError(kIS3CannotWrite);
    return ok ? 1 : 0;
}

uint32_t IS3_CALL IS3GetSourceExif(IS3Source source, uint8_t* buffer, uint32_t size) {
    return Guarded<uint32_t>(0, [&]() -> uint32_t {
        SetLastError(kIS3Ok);
        if (source == nullptr) {
            SetLastError(kIS3BadArgument);
            return 0;
        }
        const isource::PhotoInfo& info = SourceOf(source)->Info();
        if (info.Empty())
            return 0;
        const std::vector<uint8_t> block = isource::MakeExifBlock(info);
        if (buffer != nullptr && size >= block.size())
            std::memcpy(buffer, block.data(), block.size());
        return uint32_t(block.size());
    });
}

uint32_t IS3_CALL IS3SetDestExif(IS3Dest dest, const uint8_t* block, uint32_t size) {
    return Guarded<uint32_t>(0, [&]() -> uint32_t {
        SetLastError(kIS3Ok);
        if (dest == nullptr || (block == nullptr && size != 0)) {
            SetLastError(kIS3BadArgument);
            return 0;
        }
        DestOf(dest)->SetInfo(block != nullptr ? isource::ReadExifPhotoInfo(block, size) : isource::PhotoInfo());
        return 1;
    });
}

uint32_t IS3_CALL IS3FillSolidRect(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bpp,
                                   uint32_t stride, const int32_t* rect, uint32_t colour, uint32_t flags) {
    return Guarded<uint32_t>(0, [&] {
        if (!Fits({width, height, bpp, stride}))
            return Result(false);
        const isource::PixelRect whole{0, 0, int32_t(width), int32_t(height)};
        return Result(isource::FillSolidRect(pixels, int32_t(width), int32_t(height), int32_t(bpp),
                                             int32_t(stride), rect ? RectOf(rect) : whole, colour));
    });
}

uint32_t IS3_CALL IS3BlurImage(const uint8_t* src, uint32_t width, uint32_t height, uint32_t bpp,
                               uint32_t srcStride, uint8_t* dst, uint32_t dstStride, uint32_t amount,
                               uint32_t radius) {
    return Guarded<uint32_t>(0, [&] {
        return Result(Fits({width, height, bpp, srcStride, dstStride, amount, radius}) &&
                      isource::BlurImage(src, int32_t(width), int32_t(height), int32_t(bpp),
                                         int32_t(srcStride), dst, int32_t(dstStride), int32_t(amount),
                                         int32_t(radius)));
    });
}

uint32_t IS3_CALL IS3OverlayImage(uint8_t* base, uint32_t width, uint32_t height, uint32_t bpp,
                                  uint32_t stride, const uint8_t* top, uint32_t topWidth, uint32_t topHeight,
                                  uint32_t topStride, int32_t x, int32_t y, double opacity, uint32_t flags) {
    return Guarded<uint32_t>(0, [&] {
        return Result(Fits({width, height, bpp, stride, topWidth, topHeight, topStride}) &&
                      isource::OverlayImage(base, int32_t(width), int32_t(height), int32_t(bpp),
                                            int32_t(stride), top, int32_t(topWidth), int32_t(topHeight),
                                            int32_t(topStride), x, y, opacity));
    });
}

} // extern "C"
