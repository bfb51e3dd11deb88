#include "app/ReadAhead.h"

#include "support/LongPath.h"

#include <new>
#include <utility>

TFileStamp StampOf(const std::string& sPath) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    TFileStamp stamp;
    if (sPath.empty() || !GetFileAttributesExW(LongPath(sPath).c_str(), GetFileExInfoStandard, &data))
        return stamp;
    stamp.nSize = uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    stamp.nWriteTime =
        uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
    stamp.bValid = true;
    return stamp;
}

CReadAhead::CReadAhead(HWND hWindow, UINT nMessage)
    : m_hWindow(hWindow), m_nMessage(nMessage), m_Thread([this] { Work(); }) {}

CReadAhead::~CReadAhead() {
    {
        std::unique_lock<std::mutex> lock(m_Lock);
        StopLocked(lock);
        m_bQuit = true;
    }
    m_Changed.notify_all();
    m_Thread.join();
}

void CReadAhead::StopLocked(std::unique_lock<std::mutex>& lock) {
    m_nWanted = 0;
    if (m_bPending) {
        m_bPending = false;
        m_Reuse.Reset();
    }
    if (m_bBusy) {
        m_nCancel = 1;
        m_Changed.wait(lock, [this] { return !m_bBusy; });
    }
    m_pResult.reset();
    m_pResultBetween.reset();
}

uint32_t CReadAhead::Request(const std::string& sPath, size_t nMaxBytes, ui::UniqueGlobal reuse,
                             int32_t nBetweenSide) {
    uint32_t nId;
    {
        std::unique_lock<std::mutex> lock(m_Lock);
        StopLocked(lock);
        nId = ++m_nLastId;
        m_nWanted = nId;
        m_sPath = sPath;
        m_nMaxBytes = nMaxBytes;
        m_nBetweenSide = nBetweenSide;
        m_Reuse = std::move(reuse);
        m_bPending = true;
    }
    m_Changed.notify_all();
    return nId;
}

void CReadAhead::Cancel() {
    std::unique_lock<std::mutex> lock(m_Lock);
    StopLocked(lock);
}

std::unique_ptr<CImage> CReadAhead::Take(uint32_t nId, TFileStamp& stamp, std::unique_ptr<CImage>* pBetween) {
    std::lock_guard<std::mutex> hold(m_Lock);
    if (!m_pResult || m_nResultId != nId)
        return nullptr;
    return HandOver(stamp, pBetween);
}

std::unique_ptr<CImage> CReadAhead::HandOver(TFileStamp& stamp, std::unique_ptr<CImage>* pBetween) {
    stamp = m_ResultStamp;
    if (pBetween)
        *pBetween = std::move(m_pResultBetween);
    m_pResultBetween.reset();
    return std::move(m_pResult);
}

bool CReadAhead::Reading(const std::string& sPath) {
    std::lock_guard<std::mutex> hold(m_Lock);
    return m_nWanted != 0 && m_sPath == sPath && (m_bPending || m_bBusy);
}

std::unique_ptr<CImage> CReadAhead::Await(TFileStamp& stamp, std::unique_ptr<CImage>* pBetween) {
    std::unique_lock<std::mutex> lock(m_Lock);
    const uint32_t nId = m_nWanted;
    m_Changed.wait(lock, [this] { return !m_bPending && !m_bBusy; });
    if (!m_pResult || m_nResultId != nId || nId == 0)
        return nullptr;
    return HandOver(stamp, pBetween);
}

int CReadAhead::Reads() {
    std::lock_guard<std::mutex> hold(m_Lock);
    return m_nReads;
}

int CReadAhead::Refusals() {
    std::lock_guard<std::mutex> hold(m_Lock);
    return m_nRefusals;
}

void CReadAhead::Work() {
    std::unique_lock<std::mutex> lock(m_Lock);
    for (;;) {
        m_Changed.wait(lock, [this] { return m_bQuit || m_bPending; });
        if (m_bQuit)
            return;
        const uint32_t nId = m_nWanted;
        const std::string sPath = m_sPath;
        const int32_t nBetweenSide = m_nBetweenSide;
        TLoadOptions options;
        options.nMaxBytes = m_nMaxBytes;
        options.pCancel = &m_nCancel;
        ui::UniqueGlobal reuse = std::move(m_Reuse);
        m_bPending = false;
        m_bBusy = true;
        m_nCancel = 0;
        lock.unlock();

        // A file written to while it was read may have given a torn
        // picture: only one whose stamp held from start to end is kept.
        const TFileStamp before = StampOf(sPath);
        std::unique_ptr<CImage> pImage;
        TLoadResult result = TLoadResult::Failed;
        try {
            pImage = std::make_unique<CImage>();
            options.hReuse = reuse.Release(); // the load takes it over
            result = pImage->Load(sPath, options);
        } catch (const std::bad_alloc&) {
            // No memory for the object itself: nothing read ahead.
        }
        reuse.Reset(); // still ours when the load never began
        const bool bWhole = result == TLoadResult::Loaded && before.bValid && StampOf(sPath) == before;
        std::unique_ptr<CImage> pBetween;
        const TBetweenSize between =
            bWhole && !m_nCancel ? BetweenSize(pImage->Width(), pImage->Height(), nBetweenSide) : TBetweenSize{};
        if (between.nWidth > 0) {
            try {
                pBetween = std::make_unique<CImage>();
                if (!pImage->ScaledCopy(*pBetween, between.nWidth, between.nHeight))
                    pBetween.reset(); // the display is then made from the picture
            } catch (const std::bad_alloc&) {
                pBetween.reset();
            }
        }

        lock.lock();
        const bool bKeep = bWhole && nId == m_nWanted;
        if (!bKeep && pImage) {
            // A picture nobody wants is freed before the read counts as
            // done, so whoever stopped it finds its memory free (two
            // pictures at most); freed without the lock held.
            lock.unlock();
            pImage.reset();
            pBetween.reset();
            lock.lock();
        }
        m_bBusy = false;
        m_nReads += result == TLoadResult::Loaded ? 1 : 0;
        m_nRefusals += result == TLoadResult::OverLimit ? 1 : 0;
        if (bKeep) {
            m_pResult = std::move(pImage);
            m_pResultBetween = std::move(pBetween);
            m_nResultId = nId;
            m_ResultStamp = before;
        }
        m_Changed.notify_all();
        lock.unlock();
        PostMessageA(m_hWindow, m_nMessage, WPARAM(nId), 0);
        lock.lock();
    }
}
