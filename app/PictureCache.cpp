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
    if (m_pAhead) {
        m_Spare.Reset(m_pAhead->ReleaseBlock());
        m_pAhead.reset();
    }
}

void CPictureCache::DropReadAhead() {
    StopReadAhead();
    m_Spare.Reset();
}

bool CPictureCache::TurnTo(int32_t nRotation) {
    const int32_t nCode = TurnBetween(m_nTurn, nRotation);
    return nCode < 0 || Turn(uint8_t(nCode));
}

bool CPictureCache::Turn(uint8_t nCode) {
    DropReadAhead();
    Count(1);
    if (!m_Image.Rotate(nCode))
        return false;
    m_nTurn = CombineRotation(m_nTurn, nCode);
    return true;
}

bool CPictureCache::TakeAhead(const std::string& sPath, const TFileStamp& stamp) {
    if (m_sAheadPath != sPath)
        return false;
    if (!m_pAhead && m_ReadAhead.Reading(sPath)) {
        m_pAhead = m_ReadAhead.Await(m_AheadStamp);
        m_nAheadId = 0;
    }
    if (!m_pAhead || m_AheadStamp != stamp)
        return false;
    // The picture shown before keeps its memory for the next read-ahead.
    m_Image.Swap(*m_pAhead);
    m_Spare.Reset(m_pAhead->ReleaseBlock());
    m_pAhead.reset();
    m_sAheadPath.clear();
    m_sPath = sPath;
    m_Stamp = stamp;
    m_nTurn = -1;
    return true;
}

bool CPictureCache::Use(const std::string& sPath, int32_t nRotation) {
    const TFileStamp now = StampOf(sPath);
    if (m_Image.HasPicture() && m_sPath == sPath && m_Stamp == now)
        return TurnTo(nRotation);
    if (TakeAhead(sPath, now))
        return TurnTo(nRotation);

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

bool CPictureCache::Outdated(const std::string& sPath) const {
    return m_Image.HasPicture() && m_sPath == sPath && m_Stamp != StampOf(sPath);
}

void CPictureCache::ReadAhead(const std::string& sPath) {
    if (sPath.empty() || (sPath == m_sPath && m_Image.HasPicture())) {
        DropReadAhead();
        return;
    }
    if (sPath == m_sAheadPath)
        return; // already read or being read
    m_ReadAhead.Cancel();
    m_pAhead.reset();
    // The display bitmap takes four bytes a pixel.
    const uint64_t nShown = PictureBytesOf(m_Image);
    const uint64_t nLimit = ReadAheadLimit(m_nMemory, nShown, nShown / 3 * 4);
    if (nLimit == 0) {
        m_nAheadId = 0;
        m_sAheadPath.clear();
        m_Spare.Reset();
        ++m_Stats.nRefused;
        return;
    }
    Count(m_Spare ? 0 : 1);
    m_sAheadPath = sPath;
    m_nAheadId = m_ReadAhead.Request(sPath, size_t(std::min<uint64_t>(nLimit, SIZE_MAX)), std::move(m_Spare));
}

void CPictureCache::ReadAheadDone(uint32_t nId) {
    if (nId == 0 || nId != m_nAheadId)
        return; // dropped meanwhile
    m_nAheadId = 0;
    m_pAhead = m_ReadAhead.Take(nId, m_AheadStamp);
    if (!m_pAhead)
        m_sAheadPath.clear();
}

CPictureCache::TStats CPictureCache::Stats() {
    TStats stats = m_Stats;
    stats.nReadAheads = m_ReadAhead.Reads();
    stats.nRefused += m_ReadAhead.Refusals();
    stats.nHeld = Held();
    return stats;
}
