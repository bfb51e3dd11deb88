#include "app/PictureCache.h"

#include "app/MainRules.h"
#include "app/PictureRules.h"

#include <algorithm>
#include <utility>

namespace {

// What the program can address: its address space, or the machine's memory
// when that is less.
uint64_t AddressableMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return 0;
    return std::min<uint64_t>(status.ullTotalVirtual, status.ullTotalPhys);
}

uint64_t PictureBytesOf(const CImage& image) {
    return image.HasPicture() ? uint64_t(image.Width()) * uint64_t(image.Height()) * 3u : 0;
}

// The display bitmap: four bytes a pixel of the picture on screen, at most
// the screen.
uint64_t DisplayBitmapBytes(const CImage& image) {
    const uint64_t nScreen = uint64_t(std::max(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1)) *
                             uint64_t(std::max(GetSystemMetrics(SM_CYVIRTUALSCREEN), 1)) * 4u;
    return std::min(PictureBytesOf(image) / 3 * 4, nScreen);
}

bool QuarterTurn(int32_t nRotation) {
    return nRotation == 0 || nRotation == 2;
}

} // namespace

CPictureCache::CPictureCache(CImage& image, HWND hWindow, UINT nMessage)
    : m_Image(image), m_ReadAhead(hWindow, nMessage), m_nMemory(AddressableMemory()) {}

CPictureCache::~CPictureCache() {
    DropReadAhead();
}

int CPictureCache::Held() const {
    return (m_Image.HasPicture() ? 1 : 0) + (m_pAhead ? 1 : 0) + (m_Spare ? 1 : 0) +
           (m_sAheadPath.empty() || m_pAhead ? 0 : 1);
}

void CPictureCache::Count(int nExtra) {
    m_Stats.nPeakPictures = std::max(m_Stats.nPeakPictures, Held() + nExtra);
}

void CPictureCache::StopReadAhead() {
    m_ReadAhead.Cancel();
    m_nAheadId = 0;
    m_sAheadPath.clear();
    m_bAheadShown = false;
    if (m_pAhead) {
        m_Spare.Reset(m_pAhead->ReleaseBlock());
        m_pAhead.reset();
    }
    m_pAheadBetween.reset();
}

void CPictureCache::DropReadAhead() {
    StopReadAhead();
    m_Spare.Reset();
}

bool CPictureCache::TurnTo(int32_t nRotation) {
    m_nWanted = nRotation;
    const int32_t nCode = TurnBetween(m_nTurn, nRotation);
    return nCode < 0 || Turn(uint8_t(nCode));
}

void CPictureCache::DropPreview() {
    m_pPreview.reset();
    m_sPreviewPath.clear();
    m_PreviewStamp = TFileStamp{};
}

const CImage* CPictureCache::Shown() const {
    if (m_pPreview)
        return m_pPreview.get();
    return m_Image.HasPicture() ? &m_Image : nullptr;
}

SIZE CPictureCache::ShownSize() const {
    const CImage* pShown = Shown();
    if (pShown == nullptr)
        return SIZE{0, 0};
    // The reduced read is never turned; the image object may be.
    const int32_t nTurn = m_pPreview ? m_nWanted : TurnBetween(m_nTurn, m_nWanted);
    const bool bExchange = QuarterTurn(nTurn);
    return bExchange ? SIZE{pShown->FullHeight(), pShown->FullWidth()}
                     : SIZE{pShown->FullWidth(), pShown->FullHeight()};
}

HBITMAP CPictureCache::MakeDisplayBitmap(HDC dc, int32_t width, int32_t height, HBITMAP reuse) {
    const CImage* pShown = Shown();
    if (pShown == nullptr) {
        if (reuse != nullptr)
            DeleteObject(reuse);
        return nullptr;
    }
    const int32_t nTurn = m_pPreview ? m_nWanted : TurnBetween(m_nTurn, m_nWanted);
    m_nDisplaySide = std::max(width, height);
    if (pShown == &m_Image) {
        const bool bExchange = QuarterTurn(nTurn);
        if (const CImage* pBetween = Between(bExchange ? height : width, bExchange ? width : height))
            return pBetween->CreateDisplayBitmap(dc, width, height, nTurn, reuse);
    }
    return pShown->CreateDisplayBitmap(dc, width, height, nTurn, reuse);
}

const CImage* CPictureCache::Between(int32_t sw, int32_t sh) {
    if (m_pBetween && m_nBetweenOf == m_Image.Content() &&
        BetweenServes(m_pBetween->Width(), m_pBetween->Height(), sw, sh))
        return m_pBetween.get();
    m_pBetween.reset();
    const TBetweenSize size = BetweenSize(m_Image.Width(), m_Image.Height(), std::max(sw, sh));
    if (size.nWidth == 0)
        return nullptr;
    auto pBetween = std::make_unique<CImage>();
    if (!m_Image.ScaledCopy(*pBetween, size.nWidth, size.nHeight))
        return nullptr; // short of memory: straight from the picture
    m_pBetween = std::move(pBetween);
    m_nBetweenOf = m_Image.Content();
    ++m_Stats.nBetweens;
    return m_pBetween.get();
}

bool CPictureCache::Shows(const std::string& sPath) const {
    const TFileStamp now = StampOf(sPath);
    return (m_pPreview && m_sPreviewPath == sPath && m_PreviewStamp == now) ||
           (!m_pPreview && m_Image.HasPicture() && m_sPath == sPath && m_Stamp == now);
}

bool CPictureCache::Turn(uint8_t nCode) {
    DropReadAhead();
    Count(1);
    const bool bBetween = m_pBetween && m_nBetweenOf == m_Image.Content();
    if (!m_Image.Rotate(nCode))
        return false;
    // The go-between turns with the picture, cheaply.
    if (bBetween && m_pBetween->Rotate(nCode))
        m_nBetweenOf = m_Image.Content();
    else
        m_pBetween.reset();
    m_nTurn = CombineRotation(m_nTurn, nCode);
    return true;
}

bool CPictureCache::TakeAhead(const std::string& sPath, const TFileStamp& stamp) {
    if (m_sAheadPath != sPath)
        return false;
    if (!m_pAhead && m_ReadAhead.Reading(sPath)) {
        m_pAhead = m_ReadAhead.Await(m_AheadStamp, &m_pAheadBetween);
        m_nAheadId = 0;
    }
    if (!m_pAhead || m_AheadStamp != stamp)
        return false;
    // The picture shown before keeps its memory for the next read-ahead
    // (none when it went into this very decode).
    m_Image.Swap(*m_pAhead);
    if (HGLOBAL hBefore = m_pAhead->ReleaseBlock())
        m_Spare.Reset(hBefore);
    m_pAhead.reset();
    // Its go-between (or none) replaces the one of the picture before.
    m_pBetween = std::move(m_pAheadBetween);
    m_nBetweenOf = m_Image.Content(); // made from the very picture swapped in
    m_sAheadPath.clear();
    m_bAheadShown = false;
    m_sPath = sPath;
    m_Stamp = stamp;
    m_nTurn = -1;
    return true;
}

bool CPictureCache::Use(const std::string& sPath, int32_t nRotation) {
    const TFileStamp now = StampOf(sPath);
    if (m_Image.HasPicture() && m_sPath == sPath && m_Stamp == now) {
        DropPreview();
        return TurnTo(nRotation);
    }
    // The full decode of a picture shown reduced is awaited here.
    if (TakeAhead(sPath, now)) {
        DropPreview();
        return TurnTo(nRotation);
    }
    DropPreview();

    // Read here, the user waiting, into the memory of the picture shown
    // before. Going elsewhere stops the read-ahead, so nothing else is read
    // meanwhile (the memory of its picture waits for the next one: two
    // pictures, as while it was read); the file shown read again (changed
    // on disk) keeps it.
    if (sPath != m_sPath)
        StopReadAhead();
    m_sPath.clear();
    TLoadOptions options;
    options.hReuse = m_Image.ReleaseBlock();
    Count(1);
    TLoadResult result = m_Image.Load(sPath, options);
    if (result == TLoadResult::Failed && m_Spare) {
        // A larger picture may not have fitted beside the kept memory.
        m_Spare.Reset();
        result = m_Image.Load(sPath, TLoadOptions());
    }
    if (result != TLoadResult::Loaded)
        return false;
    ++m_Stats.nDecodes;
    // Changed while it was read: kept for now, read again when next used.
    const TFileStamp after = StampOf(sPath);
    m_sPath = sPath;
    m_Stamp = after == now ? now : TFileStamp{};
    m_nTurn = -1;
    return TurnTo(nRotation);
}

bool CPictureCache::Show(const std::string& sPath, int32_t nRotation, int32_t nFitWidth, int32_t nFitHeight) {
    const TFileStamp now = StampOf(sPath);
    if (m_Image.HasPicture() && m_sPath == sPath && m_Stamp == now) {
        DropPreview();
        m_nWanted = nRotation;
        return true;
    }
    if (m_pPreview && m_sPreviewPath == sPath && m_PreviewStamp == now) {
        m_nWanted = nRotation;
        return true;
    }
    // Read ahead, or being read: a decode under way is nearer its end than
    // a new one would be.
    if (TakeAhead(sPath, now)) {
        DropPreview();
        m_nWanted = nRotation;
        return true;
    }

    // Read reduced while the user waits.
    auto pPreview = std::make_unique<CImage>();
    TLoadOptions options;
    const bool bExchange = QuarterTurn(nRotation);
    options.nFitWidth = bExchange ? nFitHeight : nFitWidth;
    options.nFitHeight = bExchange ? nFitWidth : nFitHeight;
    if (sPath != m_sPath)
        StopReadAhead();
    TLoadResult result = pPreview->Load(sPath, options);
    if (result != TLoadResult::Loaded) {
        // As a load that failed: the image object holds no picture, and the
        // view keeps what it shows until it is told otherwise.
        DropPreview();
        m_sPath.clear();
        m_nTurn = -1;
        const bool bHeld = m_Image.HasPicture() || m_Spare;
        m_Image.Unload();
        if (result == TLoadResult::Failed && bHeld) {
            // A picture read whole (a format without a reduced read) may
            // not have fitted beside the pictures kept: once more with their
            // memory given back.
            DropReadAhead();
            result = pPreview->Load(sPath, options);
        }
        if (result != TLoadResult::Loaded)
            return false;
    }
    ++m_Stats.nDecodes;
    const TFileStamp after = StampOf(sPath);
    const TFileStamp stamp = after == now ? now : TFileStamp{};
    DropPreview();
    m_nWanted = nRotation;
    if (!pPreview->Reduced()) {
        // Small enough to arrive whole (or a format read whole anyway): it
        // is the picture, and the one before keeps its memory for the next
        // read-ahead.
        StopReadAhead();
        m_Image.Swap(*pPreview);
        if (HGLOBAL hBefore = pPreview->ReleaseBlock())
            m_Spare.Reset(hBefore);
        m_sPath = sPath;
        m_Stamp = stamp;
        m_nTurn = -1;
        return true;
    }
    ++m_Stats.nReduced;
    m_pPreview = std::move(pPreview);
    m_sPreviewPath = sPath;
    m_PreviewStamp = stamp;
    // The full decode on the read-ahead's thread, into the memory of the
    // picture shown before, with no limit but the library's, as a read
    // while the user waits would have.
    StopReadAhead();
    m_sPath.clear();
    m_nTurn = -1;
    ui::UniqueGlobal reuse(m_Image.ReleaseBlock());
    Count(1);
    m_sAheadPath = sPath;
    m_bAheadShown = true;
    m_nAheadId = m_ReadAhead.Request(sPath, 0, std::move(reuse), std::max(nFitWidth, nFitHeight));
    return true;
}

bool CPictureCache::Outdated(const std::string& sPath) const {
    if (m_pPreview && m_sPreviewPath == sPath)
        return m_PreviewStamp != StampOf(sPath);
    return m_Image.HasPicture() && m_sPath == sPath && m_Stamp != StampOf(sPath);
}

void CPictureCache::ReadAhead(const std::string& sPath) {
    if (m_bAheadShown)
        return; // the picture shown comes first; the window asks again once it is whole
    if (sPath.empty() || (sPath == m_sPath && m_Image.HasPicture())) {
        DropReadAhead();
        return;
    }
    if (sPath == m_sAheadPath)
        return; // already read or being read
    m_ReadAhead.Cancel();
    m_pAhead.reset();
    m_pAheadBetween.reset();
    const uint64_t nShown = PictureBytesOf(m_Image);
    const uint64_t nLimit = ReadAheadLimit(m_nMemory, nShown, DisplayBitmapBytes(m_Image));
    if (nLimit == 0) {
        m_nAheadId = 0;
        m_sAheadPath.clear();
        m_Spare.Reset();
        ++m_Stats.nRefused;
        return;
    }
    Count(m_Spare ? 0 : 1);
    m_sAheadPath = sPath;
    m_nAheadId = m_ReadAhead.Request(sPath, size_t(std::min<uint64_t>(nLimit, SIZE_MAX)), std::move(m_Spare),
                                     m_nDisplaySide);
}

bool CPictureCache::ReadAheadDone(uint32_t nId) {
    if (nId == 0 || nId != m_nAheadId)
        return false; // dropped meanwhile
    m_nAheadId = 0;
    m_pAhead = m_ReadAhead.Take(nId, m_AheadStamp, &m_pAheadBetween);
    if (!m_pAhead) {
        // A full decode that failed leaves the reduced picture shown; what
        // needs the whole picture reads the file again and says why not.
        m_sAheadPath.clear();
        m_bAheadShown = false;
        return false;
    }
    if (!m_bAheadShown || !m_pPreview || m_sPreviewPath != m_sAheadPath)
        return false;
    // The picture shown is whole now, unless its file changed meanwhile.
    if (!TakeAhead(m_sPreviewPath, m_PreviewStamp))
        return false;
    DropPreview();
    return true;
}

CPictureCache::TStats CPictureCache::Stats() {
    TStats stats = m_Stats;
    stats.nReadAheads = m_ReadAhead.Reads();
    stats.nRefused += m_ReadAhead.Refusals();
    stats.nHeld = Held();
    return stats;
}
