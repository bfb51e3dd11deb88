// The image object: one picture in memory as packed 3-byte pixels (the
// library's R, G, B order, rows back to back) with its size, and every
// picture operation of the workflow through the imaging library. Also the
// list of file extensions that count as images.
#pragma once

#include "imaging/ImageRules.h"
#include "imaging/isource/ISource.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// "tif", "tiff", "jpg", "jpeg", "bmp", "psd", "png"; empty until InitImaging.
extern std::vector<std::string> g_ImageExtensions;

// The picture's bytes: from the standard allocator, or a global memory block
// taken over from the library as it was decoded (kept locked while held).
struct TPixelRelease {
    HGLOBAL hMemory = nullptr;
    void operator()(uint8_t* p) const;
};
using TPixels = std::unique_ptr<uint8_t[], TPixelRelease>;

// What a load may do beyond Load: stop when asked from another thread,
// refuse a picture too large for the memory it may take, and decode into
// the block of a picture no longer needed (see ReleaseBlock).
struct TLoadOptions {
    size_t nMaxBytes = 0;                      // 0: no limit beyond the library's
    const volatile int32_t* pCancel = nullptr; // non-zero: stop
    HGLOBAL hReuse = nullptr;                  // taken over by the load
    // A reduced picture is enough while it covers the picture fitted into
    // this box (see FullWidth); 0 x 0: the whole picture.
    int32_t nFitWidth = 0;
    int32_t nFitHeight = 0;
};
enum class TLoadResult { Loaded, Failed, OverLimit, Cancelled };

class CImage {
public:
    CImage() = default;
    ~CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    // Reads the file (format told by its content); false leaves no picture.
    bool Load(const std::string& sPath);
    TLoadResult Load(const std::string& sPath, const TLoadOptions& options);
    void Unload();
    // Gives up the picture's memory for a later load to decode into (null
    // when it is not a block from the library, which is then freed); the
    // object is left empty.
    HGLOBAL ReleaseBlock();
    // Exchanges pictures (and sizes) with `other`.
    void Swap(CImage& other) noexcept;
    // Which picture the object holds: a number no other picture held by any
    // image object had, taken anew whenever the pixels change (a load, a
    // transformation, Unload) and exchanged by Swap. What was made from the
    // pixels is still theirs while the number is the same.
    uint64_t Content() const { return m_nContent; }
    // `out` holds the whole picture scaled to nWidth x nHeight (as Resize
    // does it); false, and `out` empty, on failure.
    bool ScaledCopy(CImage& out, int32_t nWidth, int32_t nHeight) const;

    // A display bitmap of the picture for `hDC`, owned by the caller; null
    // without a picture or on failure. `hReuse` (taken over) is a bitmap no
    // longer shown, refilled instead of a new one when it has the size and
    // kind the new one would have.
    HBITMAP CreateBitmap(HDC hDC, HBITMAP hReuse = nullptr) const;
    // The display bitmap of the picture turned by `nTurn` (0 right, 1 half,
    // 2 left, -1 none) at nWidth x nHeight, the turned picture's size on
    // screen, scaled with an area-correct filter; owned by the caller, null
    // on failure. `hReuse` as for CreateBitmap.
    HBITMAP CreateDisplayBitmap(HDC hDC, int32_t nWidth, int32_t nHeight, int32_t nTurn,
                                HBITMAP hReuse = nullptr) const;

    // 0 = 90 degrees right, 1 = 180 degrees, 2 = 90 degrees left. Each
    // transformation builds a new buffer and leaves the picture unchanged
    // when it fails (also when memory runs short).
    bool Rotate(uint8_t nCode);
    bool Resize(int32_t nWidth, int32_t nHeight);
    // True when the picture was cut: the rectangle (clamped to the picture)
    // is not empty and smaller than the picture.
    bool Crop(int32_t nLeft, int32_t nTop, int32_t nRight, int32_t nBottom);

    // Crops, resizes to width - size by height - size, turns by `nRotation`
    // (0 to 2; anything else leaves it), adds a shadow of `nSize` pixels,
    // and writes the JPEG, with the photo's EXIF facts (see Exif). The file is written beside the target under a
    // temporary name and replaces the target only once it is complete, so
    // a failed copy leaves an existing file as it was; a read-only file or a
    // folder of that name is never replaced, and a device is written
    // straight into. The path may be longer than MAX_PATH (a copy folder of
    // 259 characters and a long name). True only when the target now holds
    // the new JPEG.
    bool WriteJpeg(const std::string& sPath, int32_t nWidth, int32_t nHeight, int32_t nLeft, int32_t nTop,
                   int32_t nRight, int32_t nBottom, int32_t nRotation, int32_t nQuality, int32_t nColour,
                   int32_t nSize);
    // Writes what WriteJpeg writes with no turn and no shadow, leaving the
    // picture as it is: the cut is scaled into a buffer of the copy's size,
    // or written where it lies when it keeps its size.
    bool WriteCopy(const std::string& sPath, int32_t nWidth, int32_t nHeight, int32_t nLeft, int32_t nTop,
                   int32_t nRight, int32_t nBottom, int32_t nQuality);
    // The system's error number for the last WriteJpeg or WriteCopy that
    // failed (never 0 after a failure), for telling the user why.
    DWORD LastWriteError() const { return m_nWriteError; }

    // Grows the picture by `nSize` pixels to the right and at the bottom,
    // with a soft dark edge fading into `nColour` (0x00BBGGRR).
    bool AddShadow(int32_t nColour, int32_t nSize);

    // Whether files with this extension (with or without its one leading
    // dot) are offered for loading; compared ignoring case the system's way.
    static bool IsImageExtension(const std::string& sExtension);

    // Copies width x height x 3 bytes out of a global memory block.
    bool CopyFromMemory(HGLOBAL hMemory, int32_t nWidth, int32_t nHeight);
    // Takes the buffer as the picture; the pixel size stays.
    void Attach(std::unique_ptr<uint8_t[]> pBuffer, int32_t nWidth, int32_t nHeight);

    // The EXIF block of the photo's facts a copy keeps (date taken, camera),
    // as the library read it from the file the picture came from; empty
    // when it had none or the picture came from memory.
    const std::vector<uint8_t>& Exif() const { return m_vExif; }

    bool HasPicture() const { return m_pRGB != nullptr; }
    const uint8_t* Pixels() const { return m_pRGB.get(); }
    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }
    // The picture's size in the file: the size held unless a load with a
    // fit box read it reduced (Reduced), which only a display may take.
    int32_t FullWidth() const { return m_nFullWidth; }
    int32_t FullHeight() const { return m_nFullHeight; }
    bool Reduced() const { return HasPicture() && (m_nFullWidth != m_nWidth || m_nFullHeight != m_nHeight); }
    int32_t BytesPerPixel() const { return m_nBytesPerPixel; }
    int32_t BitsPerPixel() const { return m_nBitsPerPixel; }

private:
    int32_t Stride() const { return m_nWidth * m_nBytesPerPixel; }
    // The pixels changed: a new content number.
    void Changed();
    void Attach(TPixels pBuffer, int32_t nWidth, int32_t nHeight);
    // Scales the region (inside the picture) to the size as the new picture.
    bool ResizeRegion(const imaging::TCropRect& region, int32_t nWidth, int32_t nHeight);
    // The region scaled into a new buffer; null when that failed.
    TPixels ScaledRegion(const imaging::TCropRect& region, int32_t nWidth, int32_t nHeight) const;
    // Writes the JPEG through a temporary file beside the target (see
    // WriteJpeg); `encode` writes into the library destination it is given.
    template <typename Encode> bool WriteTarget(const std::string& sPath, Encode encode);
    // Like CopyFromMemory, but the block itself becomes the picture: no
    // second copy of a freshly decoded picture. False (block untouched)
    // when it is too small for the size.
    bool TakeMemory(HGLOBAL hMemory, int32_t nWidth, int32_t nHeight);
    // Keeps the EXIF facts the library found in the source it just read.
    void ReadExif();

    IS3Source m_hSource = nullptr;
    TPixels m_pRGB;
    uint64_t m_nContent = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nFullWidth = 0;
    int32_t m_nFullHeight = 0;
    int32_t m_nBytesPerPixel = 1;
    int32_t m_nBitsPerPixel = 0;
    DWORD m_nWriteError = 0;
    std::vector<uint8_t> m_vExif;
};
