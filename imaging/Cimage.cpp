#include "imaging/Cimage.h"

#include "imaging/ImageRules.h"
#include "imaging/ImagingLibrary.h"
#include "support/LongPath.h"
#include "support/NarrowText.h"
#include "ui/Handles.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

std::vector<std::string> g_ImageExtensions;

namespace {

using imaging::PictureBytes;

TPixels NewBuffer(size_t nBytes) {
    if (nBytes == 0)
        return nullptr;
    return TPixels(new (std::nothrow) uint8_t[nBytes]);
}

// Owns a library destination until it is closed; the close result says
// whether everything written reached the file.
class CDestination {
public:
    explicit CDestination(const char* szPath) : m_hDest(g_IS3.m_pOpenFileDest(szPath, 0)) {}
    ~CDestination() { Close(); }
    CDestination(const CDestination&) = delete;
    CDestination& operator=(const CDestination&) = delete;

    IS3Dest Get() const { return m_hDest; }
    bool Close() {
        const bool bClosed = m_hDest != nullptr && g_IS3.m_pCloseDest(m_hDest) != 0;
        m_hDest = nullptr;
        return bClosed;
    }

private:
    IS3Dest m_hDest;
};

// The longest name the file systems give one file. Wine reports a longer
// one as not found; it is refused here with the reason Windows gives.
constexpr size_t kMaxNameChars = 255;

// Whether a copy may be written to `sTarget` (a long path): nothing there
// yet, a file that is neither read-only nor a folder (renaming over a
// read-only file would succeed on some systems), or a device, which cannot
// be replaced and keeps no file worth protecting, so the copy goes straight
// into it (`bDevice`). False with the system's error set otherwise.
bool InspectTarget(const std::wstring& sTarget, bool& bDevice) {
    bDevice = false;
    const DWORD nAttributes = GetFileAttributesW(sTarget.c_str());
    if (nAttributes == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND)
        return true;
    if (nAttributes != INVALID_FILE_ATTRIBUTES &&
        (nAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // Devices have no attributes under Wine; their handle tells them apart.
    const ui::UniqueHandle hTarget(CreateFileW(sTarget.c_str(), 0,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!hTarget.Valid())
        return false;
    bDevice = GetFileType(hTarget.Get()) != FILE_TYPE_DISK;
    return true;
}

// A fresh empty file beside the copy, which the library writes and which
// then replaces the copy; removed again unless it did.
class CTempFile {
public:
    CTempFile() = default;
    ~CTempFile() {
        if (!m_sPath.empty())
            DeleteFileW(m_sPath.c_str());
    }
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;

    // Creates it in the folder, given as the ANSI text the library takes and
    // as the long path: "~snw", eight hex digits, ".tmp". Created
    // exclusively, so no two copies ever share it. False with the system's
    // error set.
    bool Create(const std::string& sAnsiFolder, const std::wstring& sFolder) {
        static std::atomic<uint32_t> s_nNext{uint32_t(GetTickCount() ^ (GetCurrentProcessId() << 16))};
        for (int nTry = 0; nTry < 0x10000; ++nTry) {
            char szName[20];
            std::snprintf(szName, sizeof szName, "~snw%08X.tmp", unsigned(s_nNext++));
            const std::wstring sPath = sFolder + std::wstring(szName, szName + std::strlen(szName));
            const HANDLE hFile = CreateFileW(sPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr);
            if (hFile != INVALID_HANDLE_VALUE) {
                CloseHandle(hFile);
                m_sPath = sPath;
                m_sAnsiPath = sAnsiFolder + szName;
                return true;
            }
            if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
        }
        return false;
    }

    const std::string& AnsiPath() const { return m_sAnsiPath; }

    bool MoveOver(const std::wstring& sTarget) {
        if (!MoveFileExW(m_sPath.c_str(), sTarget.c_str(), MOVEFILE_REPLACE_EXISTING))
            return false;
        m_sPath.clear();
        return true;
    }

private:
    std::wstring m_sPath;
    std::string m_sAnsiPath;
};

} // namespace

void TPixelRelease::operator()(uint8_t* p) const {
    if (hMemory == nullptr) {
        delete[] p;
        return;
    }
    GlobalUnlock(hMemory);
    GlobalFree(hMemory);
}

CImage::~CImage() {
    Unload();
}

bool CImage::Load(const std::string& sPath) {
    Unload();
    if (!g_IS3.Complete())
        return false;
    g_IS3.m_pGetLibVersion();
    m_hSource = g_IS3.m_pOpenFileSource(sPath.c_str());
    if (m_hSource == nullptr)
        return false;
    g_IS3.m_pGuessFileType(m_hSource);
    g_IS3.m_pSeek(m_hSource, 0, 0);
    uint32_t nWidth = 0, nHeight = 0;
    HGLOBAL hMemory = static_cast<HGLOBAL>(g_IS3.m_pReadImageToRGB(m_hSource, &nWidth, &nHeight));
    m_nWidth = m_nFullWidth = int32_t(nWidth);
    m_nHeight = m_nFullHeight = int32_t(nHeight);
    if (hMemory != nullptr && !TakeMemory(hMemory, m_nWidth, m_nHeight))
        GlobalFree(hMemory);
    if (HasPicture())
        ReadExif();
    g_IS3.m_pCloseSource(m_hSource);
    m_hSource = nullptr;
    return HasPicture();
}

TLoadResult CImage::Load(const std::string& sPath, const TLoadOptions& options) {
    Unload();
    IS3ReadOptions read{};
    read.size = sizeof read;
    // Beyond 32 bits no limit is needed: the library refuses such pictures itself.
    read.maxBytes = options.nMaxBytes > UINT32_MAX ? 0 : uint32_t(options.nMaxBytes);
    read.cancel = options.pCancel;
    read.reuse = options.hReuse;
    uint32_t nFullWidth = 0, nFullHeight = 0;
    if (options.nFitWidth > 0 && options.nFitHeight > 0) {
        read.fitWidth = uint32_t(options.nFitWidth);
        read.fitHeight = uint32_t(options.nFitHeight);
    }
    read.fullWidth = &nFullWidth;
    read.fullHeight = &nFullHeight;
    if (!g_IS3.Complete()) {
        if (options.hReuse != nullptr)
            GlobalFree(options.hReuse);
        return TLoadResult::Failed;
    }
    m_hSource = g_IS3.m_pOpenFileSource(sPath.c_str());
    if (m_hSource == nullptr) {
        if (options.hReuse != nullptr)
            GlobalFree(options.hReuse);
        return TLoadResult::Failed;
    }
    uint32_t nWidth = 0, nHeight = 0;
    HGLOBAL hMemory = static_cast<HGLOBAL>(g_IS3.m_pReadImageToRGBEx(m_hSource, &nWidth, &nHeight, &read));
    const uint32_t nError = hMemory == nullptr ? g_IS3.m_pGetLastError() : uint32_t(kIS3Ok);
    if (hMemory != nullptr && !TakeMemory(hMemory, int32_t(nWidth), int32_t(nHeight)))
        GlobalFree(hMemory);
    if (HasPicture()) {
        ReadExif();
        m_nFullWidth = int32_t(nFullWidth);
        m_nFullHeight = int32_t(nFullHeight);
    }
    g_IS3.m_pCloseSource(m_hSource);
    m_hSource = nullptr;
    if (HasPicture())
        return TLoadResult::Loaded;
    return nError == kIS3OverLimit   ? TLoadResult::OverLimit
           : nError == kIS3Cancelled ? TLoadResult::Cancelled
                                     : TLoadResult::Failed;
}

void CImage::ReadExif() {
    m_vExif.resize(g_IS3.m_pGetSourceExif(m_hSource, nullptr, 0));
    if (!m_vExif.empty() &&
        g_IS3.m_pGetSourceExif(m_hSource, m_vExif.data(), uint32_t(m_vExif.size())) != m_vExif.size())
        m_vExif.clear();
}

HGLOBAL CImage::ReleaseBlock() {
    // The deleter names the block only while it holds the picture.
    HGLOBAL hMemory = m_pRGB ? m_pRGB.get_deleter().hMemory : nullptr;
    if (hMemory == nullptr) {
        Unload();
        return nullptr;
    }
    GlobalUnlock(hMemory);
    m_pRGB.release();
    m_pRGB = TPixels();
    m_vExif.clear();
    Changed();
    return hMemory;
}

void CImage::Swap(CImage& other) noexcept {
    std::swap(m_pRGB, other.m_pRGB);
    std::swap(m_nContent, other.m_nContent);
    std::swap(m_nWidth, other.m_nWidth);
    std::swap(m_nHeight, other.m_nHeight);
    std::swap(m_nFullWidth, other.m_nFullWidth);
    std::swap(m_nFullHeight, other.m_nFullHeight);
    std::swap(m_nBytesPerPixel, other.m_nBytesPerPixel);
    std::swap(m_nBitsPerPixel, other.m_nBitsPerPixel);
    m_vExif.swap(other.m_vExif);
}

void CImage::Unload() {
    if (m_hSource != nullptr) {
        g_IS3.m_pCloseSource(m_hSource);
        m_hSource = nullptr;
    }
    m_pRGB = TPixels(); // the deleter forgets the block too
    m_vExif.clear();
    Changed();
}

void CImage::Changed() {
    static std::atomic<uint64_t> s_nLast{0};
    m_nContent = ++s_nLast;
}

bool CImage::ScaledCopy(CImage& out, int32_t nWidth, int32_t nHeight) const {
    out.Unload();
    if (!HasPicture() || nWidth <= 0 || nHeight <= 0)
        return false;
    TPixels pScaled = ScaledRegion({0, 0, m_nWidth, m_nHeight}, nWidth, nHeight);
    if (!pScaled)
        return false;
    out.m_nBytesPerPixel = m_nBytesPerPixel;
    out.m_nBitsPerPixel = m_nBitsPerPixel;
    out.Attach(std::move(pScaled), nWidth, nHeight);
    return true;
}

HBITMAP CImage::CreateBitmap(HDC hDC, HBITMAP hReuse) const {
    if (!HasPicture()) {
        if (hReuse != nullptr)
            DeleteObject(hReuse);
        return nullptr;
    }
    return static_cast<HBITMAP>(
        g_IS3.m_pRGBToHBITMAP(m_pRGB.get(), uint32_t(m_nWidth), uint32_t(m_nHeight), hReuse, hDC));
}

HBITMAP CImage::CreateDisplayBitmap(HDC hDC, int32_t nWidth, int32_t nHeight, int32_t nTurn,
                                    HBITMAP hReuse) const {
    if (!HasPicture() || nWidth <= 0 || nHeight <= 0) {
        if (hReuse != nullptr)
            DeleteObject(hReuse);
        return nullptr;
    }
    return static_cast<HBITMAP>(g_IS3.m_pScaleToHBITMAP(m_pRGB.get(), uint32_t(m_nWidth), uint32_t(m_nHeight),
                                                        uint32_t(Stride()), uint32_t(nTurn), uint32_t(nWidth),
                                                        uint32_t(nHeight), hReuse, hDC));
}

bool CImage::Rotate(uint8_t nCode) {
    if (!HasPicture())
        return false;
    TPixels pTurned = NewBuffer(PictureBytes(m_nWidth, m_nHeight, m_nBytesPerPixel));
    if (!pTurned)
        return false;
    const bool bExchange = imaging::TurnExchangesSides(nCode);
    const int32_t nDestStride = (bExchange ? m_nHeight : m_nWidth) * m_nBytesPerPixel;
    if (!g_IS3.m_pQuickRotateImage(m_pRGB.get(), uint32_t(m_nWidth), uint32_t(m_nHeight), uint32_t(Stride()),
                                   pTurned.get(), uint32_t(nDestStride), nCode, uint32_t(m_nBytesPerPixel)))
        return false;
    if (bExchange)
        Attach(std::move(pTurned), m_nHeight, m_nWidth);
    else
        Attach(std::move(pTurned), m_nWidth, m_nHeight);
    return true;
}

bool CImage::Resize(int32_t nWidth, int32_t nHeight) {
    return HasPicture() && ResizeRegion({0, 0, m_nWidth, m_nHeight}, nWidth, nHeight);
}

bool CImage::ResizeRegion(const imaging::TCropRect& region, int32_t nWidth, int32_t nHeight) {
    TPixels pScaled = ScaledRegion(region, nWidth, nHeight);
    if (!pScaled)
        return false;
    Attach(std::move(pScaled), nWidth, nHeight);
    return true;
}

TPixels CImage::ScaledRegion(const imaging::TCropRect& region, int32_t nWidth, int32_t nHeight) const {
    if (nWidth == 0 || nHeight == 0 || !HasPicture())
        return nullptr;
    TPixels pScaled = NewBuffer(PictureBytes(nWidth, nHeight, m_nBytesPerPixel));
    if (!pScaled)
        return nullptr;
    const uint8_t* pFirst =
        m_pRGB.get() + ptrdiff_t{region.nTop} * Stride() + ptrdiff_t{region.nLeft} * m_nBytesPerPixel;
    if (!g_IS3.m_pResizeImage(pFirst, uint32_t(region.nRight - region.nLeft),
                              uint32_t(region.nBottom - region.nTop), uint32_t(Stride()), pScaled.get(),
                              uint32_t(nWidth), uint32_t(nHeight), uint32_t(nWidth * m_nBytesPerPixel),
                              uint32_t(m_nBytesPerPixel)))
        return nullptr;
    return pScaled;
}

bool CImage::Crop(int32_t nLeft, int32_t nTop, int32_t nRight, int32_t nBottom) {
    imaging::TCropRect crop{nLeft, nTop, nRight, nBottom};
    if (!HasPicture() || !imaging::ClampCrop(crop, m_nWidth, m_nHeight))
        return false;
    const int32_t nCropWidth = crop.nRight - crop.nLeft;
    const int32_t nCropHeight = crop.nBottom - crop.nTop;
    // Only the crop's size: the cut picture is all the new buffer holds.
    TPixels pCut = NewBuffer(PictureBytes(nCropWidth, nCropHeight, m_nBytesPerPixel));
    if (!pCut)
        return false;
    const int32_t rect[4] = {crop.nLeft, crop.nTop, crop.nRight, crop.nBottom};
    if (!g_IS3.m_pCropImage(m_pRGB.get(), uint32_t(m_nWidth), uint32_t(m_nHeight), uint32_t(Stride()),
                            pCut.get(), uint32_t(nCropWidth * m_nBytesPerPixel), rect,
                            uint32_t(m_nBytesPerPixel)))
        return false;
    Attach(std::move(pCut), nCropWidth, nCropHeight);
    return true;
}

template <typename Encode> bool CImage::WriteTarget(const std::string& sPath, Encode encode) {
    // Whatever fails below says why in m_nWriteError; a step that leaves no
    // system error behind counts as a write fault.
    const auto fail = [this](DWORD nError) {
        m_nWriteError = nError != 0 ? nError : ERROR_WRITE_FAULT;
        return false;
    };
    m_nWriteError = 0;
    // The copy folder may be as long as MAX_PATH by itself: every file call
    // here takes the long form of the path.
    const std::wstring sTarget = LongPath(sPath);
    const size_t nSlash = sTarget.find_last_of(L'\\');
    if (nSlash == std::wstring::npos)
        return fail(ERROR_INVALID_NAME);
    if (sTarget.size() - nSlash - 1 > kMaxNameChars || sTarget.size() >= longpath::kMaxPathChars)
        return fail(ERROR_FILENAME_EXCED_RANGE);
    bool bDevice = false;
    if (!InspectTarget(sTarget, bDevice))
        return fail(GetLastError());
    // The temporary file lives in the target's folder, so replacing the
    // target is a rename on the same volume.
    CTempFile temp;
    if (!bDevice && !temp.Create(imaging::FolderOf(sPath), sTarget.substr(0, nSlash + 1)))
        return fail(GetLastError());
    CDestination dest(bDevice ? sPath.c_str() : temp.AnsiPath().c_str());
    if (dest.Get() == nullptr)
        return fail(GetLastError());
    // The copy keeps when the photo was taken and with which camera.
    if (!m_vExif.empty())
        g_IS3.m_pSetDestExif(dest.Get(), m_vExif.data(), uint32_t(m_vExif.size()));

    SetLastError(0);
    DWORD nNoPicture = 0;
    const bool bWritten = encode(dest.Get(), nNoPicture);
    const bool bClosed = dest.Close();
    if (!bWritten || !bClosed || !(bDevice || temp.MoveOver(sTarget)))
        return fail(nNoPicture != 0 ? nNoPicture : GetLastError());
    return true;
}

bool CImage::WriteJpeg(const std::string& sPath, int32_t nWidth, int32_t nHeight, int32_t nLeft, int32_t nTop,
                       int32_t nRight, int32_t nBottom, int32_t nRotation, int32_t nQuality, int32_t nColour,
                       int32_t nSize) {
    return WriteTarget(sPath, [&](IS3Dest hDest, DWORD& nNoPicture) {
        // Each step that fails leaves the picture as it was for the next one.
        const int32_t nInnerWidth = nWidth - nSize;
        const int32_t nInnerHeight = nHeight - nSize;
        // When both cutting and scaling are due, the cut is scaled straight
        // out of the picture: the same pixels without an intermediate copy of
        // the cut. Should that fail, the steps run one by one.
        imaging::TCropRect cut{nLeft, nTop, nRight, nBottom};
        const bool bCuts = HasPicture() && imaging::ClampCrop(cut, m_nWidth, m_nHeight);
        const bool bScales =
            bCuts && (cut.nRight - cut.nLeft != nInnerWidth || cut.nBottom - cut.nTop != nInnerHeight);
        if (!bScales || !ResizeRegion(cut, nInnerWidth, nInnerHeight)) {
            Crop(nLeft, nTop, nRight, nBottom);
            if (m_nWidth != nInnerWidth || m_nHeight != nInnerHeight)
                Resize(nInnerWidth, nInnerHeight);
        }
        if (imaging::IsTurnCode(nRotation))
            Rotate(uint8_t(nRotation));
        if (nSize != 0)
            AddShadow(nColour, nSize);
        if (!HasPicture()) {
            nNoPicture = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        SetLastError(0);
        return g_IS3.m_pWriteJPG(hDest, m_pRGB.get(), uint32_t(m_nWidth), uint32_t(m_nHeight),
                                 uint32_t(nQuality), uint32_t(m_nBitsPerPixel), nullptr, 0) != 0;
    });
}

bool CImage::WriteCopy(const std::string& sPath, int32_t nWidth, int32_t nHeight, int32_t nLeft, int32_t nTop,
                       int32_t nRight, int32_t nBottom, int32_t nQuality) {
    return WriteTarget(sPath, [&](IS3Dest hDest, DWORD& nNoPicture) {
        if (!HasPicture()) {
            nNoPicture = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        // The same steps as WriteJpeg's: a cut that is not the whole picture
        // (else the whole picture), scaled when its size is not the copy's.
        imaging::TCropRect cut{nLeft, nTop, nRight, nBottom};
        if (!imaging::ClampCrop(cut, m_nWidth, m_nHeight))
            cut = {0, 0, m_nWidth, m_nHeight};
        const int32_t nCutWidth = cut.nRight - cut.nLeft, nCutHeight = cut.nBottom - cut.nTop;
        const uint8_t* pFirst =
            m_pRGB.get() + ptrdiff_t{cut.nTop} * Stride() + ptrdiff_t{cut.nLeft} * m_nBytesPerPixel;
        int32_t nOutWidth = nCutWidth, nOutHeight = nCutHeight, nStride = Stride();
        TPixels pScaled;
        // A size of 0 cannot be scaled to: the cut is written as it is, as
        // WriteJpeg leaves it when its scaling fails.
        if ((nCutWidth != nWidth || nCutHeight != nHeight) && nWidth > 0 && nHeight > 0) {
            pScaled = ScaledRegion(cut, nWidth, nHeight);
            if (pScaled) {
                pFirst = pScaled.get();
                nOutWidth = nWidth;
                nOutHeight = nHeight;
                nStride = nWidth * m_nBytesPerPixel;
            }
        }
        SetLastError(0);
        return g_IS3.m_pWriteJPG(hDest, pFirst, uint32_t(nOutWidth), uint32_t(nOutHeight), uint32_t(nQuality),
                                 uint32_t(m_nBitsPerPixel), nullptr, uint32_t(nStride)) != 0;
    });
}

bool CImage::AddShadow(int32_t nColour, int32_t nSize) {
    if (!HasPicture() || nSize <= 0)
        return false;
    const int32_t w = m_nWidth, h = m_nHeight, bpp = m_nBytesPerPixel;
    if (int64_t{w} + nSize > INT32_MAX || int64_t{h} + nSize > INT32_MAX)
        return false;
    const int32_t W = w + nSize, H = h + nSize, nStride = W * bpp;
    const size_t nBytes = PictureBytes(W, H, bpp);
    TPixels pCanvas = NewBuffer(nBytes);
    if (!pCanvas)
        return false;
    uint8_t* pc = pCanvas.get();

    std::memset(pc, 0, nBytes);
    auto fill = [&](int32_t nL, int32_t nT, int32_t nR, int32_t nB, uint32_t nFill) {
        const int32_t rect[4] = {nL, nT, nR, nB};
        g_IS3.m_pFillSolidRect(pc, uint32_t(W), uint32_t(H), uint32_t(bpp), uint32_t(nStride), rect, nFill,
                               0);
    };
    fill(w, 0, W, H, uint32_t(nColour));
    fill(0, h, W, H, uint32_t(nColour));
    g_IS3.m_pGetLastError();
    for (int32_t i = 0; i < nSize; ++i) {
        const uint32_t nShade = imaging::ShadeOf(uint32_t(nColour), i, nSize);
        fill(w + i, i, w + i + 1, h + i, nShade);
        fill(i, h + i, w + i, h + i + 1, nShade);
    }

    TPixels pBlurred = NewBuffer(nBytes);
    if (!pBlurred)
        return false;
    g_IS3.m_pBlurImage(pc, uint32_t(W), uint32_t(H), uint32_t(bpp), uint32_t(nStride), pBlurred.get(),
                       uint32_t(nStride), 100, 7);
    std::memcpy(pc, pBlurred.get(), nBytes);
    pBlurred.reset();
    g_IS3.m_pGetLastError();

    g_IS3.m_pOverlayImage(pc, uint32_t(W), uint32_t(H), uint32_t(bpp), uint32_t(nStride), m_pRGB.get(),
                          uint32_t(w), uint32_t(h), uint32_t(Stride()), 0, 0, 1.0, 0);
    const bool bOk = g_IS3.m_pGetLastError() == kIS3Ok;

    // The canvas becomes the picture as a 3-byte picture, like one read
    // from memory.
    Attach(std::move(pCanvas), W, H);
    m_nBytesPerPixel = 3;
    m_nBitsPerPixel = 24;
    return bOk;
}

bool CImage::IsImageExtension(const std::string& sExtension) {
    const std::string sBare = imaging::WithoutLeadingDot(sExtension);
    if (sBare.empty())
        return false;
    for (const std::string& sKnown : g_ImageExtensions)
        if (CompareNames(sBare, sKnown) == CSTR_EQUAL)
            return true;
    return false;
}

bool CImage::CopyFromMemory(HGLOBAL hMemory, int32_t nWidth, int32_t nHeight) {
    m_pRGB.reset();
    Changed();
    m_vExif.clear();
    m_nBitsPerPixel = 0;
    m_nBytesPerPixel = 1;
    const void* pLocked = hMemory != nullptr ? GlobalLock(hMemory) : nullptr;
    if (pLocked == nullptr)
        return false;
    const size_t nBytes = PictureBytes(nWidth, nHeight, 3);
    // Never read past the block, whatever size the caller claims.
    if (nBytes != 0 && GlobalSize(hMemory) >= nBytes) {
        m_pRGB = NewBuffer(nBytes);
        if (m_pRGB) {
            std::memcpy(m_pRGB.get(), pLocked, nBytes);
            m_nWidth = m_nFullWidth = nWidth;
            m_nHeight = m_nFullHeight = nHeight;
            m_nBitsPerPixel = 24;
            m_nBytesPerPixel = 3;
        }
    }
    GlobalUnlock(hMemory);
    return HasPicture();
}

bool CImage::TakeMemory(HGLOBAL hMemory, int32_t nWidth, int32_t nHeight) {
    m_pRGB.reset();
    Changed();
    m_nBitsPerPixel = 0;
    m_nBytesPerPixel = 1;
    const size_t nBytes = PictureBytes(nWidth, nHeight, 3);
    if (nBytes == 0 || GlobalSize(hMemory) < nBytes)
        return false;
    auto* pLocked = static_cast<uint8_t*>(GlobalLock(hMemory));
    if (pLocked == nullptr)
        return false;
    m_pRGB = TPixels(pLocked, TPixelRelease{hMemory});
    m_nWidth = m_nFullWidth = nWidth;
    m_nHeight = m_nFullHeight = nHeight;
    m_nBitsPerPixel = 24;
    m_nBytesPerPixel = 3;
    return true;
}

void CImage::Attach(std::unique_ptr<uint8_t[]> pBuffer, int32_t nWidth, int32_t nHeight) {
    Attach(TPixels(pBuffer.release()), nWidth, nHeight);
}

void CImage::Attach(TPixels pBuffer, int32_t nWidth, int32_t nHeight) {
    m_pRGB = std::move(pBuffer);
    Changed();
    m_nWidth = m_nFullWidth = nWidth;
    m_nHeight = m_nFullHeight = nHeight;
}
