// Reading the picture the user will probably look at next on a thread of
// its own, while the user looks at the current one. One request at a time:
// a new request, or Cancel, stops the one before at once (a JPEG, PNG or
// TIFF decode hears it within a few rows) and its picture is dropped. A
// finished read is announced by posting the window's message with the
// request's handle in wParam; the window takes the picture with Take while
// that handle is still the one it wants, so a stale result is simply lost.
#pragma once

#include "app/PictureRules.h"
#include "imaging/Cimage.h"
#include "ui/Handles.h"

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// Size and last write time of a file, or an invalid stamp.
TFileStamp StampOf(const std::string& sPath);

class CReadAhead {
public:
    CReadAhead(HWND hWindow, UINT nMessage);
    ~CReadAhead();
    CReadAhead(const CReadAhead&) = delete;
    CReadAhead& operator=(const CReadAhead&) = delete;

    // Starts reading `sPath` (after stopping whatever was asked before). A
    // picture of more than `nMaxBytes` is refused from its header; `reuse`
    // (taken over) is memory of a picture no longer needed to decode into.
    // With `nBetweenSide`, a picture read whole also gets its go-between for
    // displays up to that size (BetweenSize), made on this thread too.
    // Returns the request's handle.
    uint32_t Request(const std::string& sPath, size_t nMaxBytes, ui::UniqueGlobal reuse,
                     int32_t nBetweenSide = 0);
    // Stops the request and drops its picture; returns once the decode let
    // go of its memory.
    void Cancel();
    // The picture of request `nId` when it was read whole from the file as
    // `stamp` says (unchanged from the start of the read to its end); null
    // when the request failed, was refused, stopped or replaced.
    // `pBetween`, when given, receives the picture's go-between (null when
    // none was made).
    std::unique_ptr<CImage> Take(uint32_t nId, TFileStamp& stamp, std::unique_ptr<CImage>* pBetween = nullptr);
    // Whether the current request reads `sPath` and is not done yet.
    bool Reading(const std::string& sPath);
    // Waits until the current request is done, then takes its picture
    // (for when the user arrives before the picture did).
    std::unique_ptr<CImage> Await(TFileStamp& stamp, std::unique_ptr<CImage>* pBetween = nullptr);

    // For tests: reads finished with a picture, and refused as too large.
    int Reads();
    int Refusals();

private:
    void Work();
    // Stops the current request; the lock is held and kept.
    void StopLocked(std::unique_lock<std::mutex>& lock);
    // Gives the result and its go-between away; the lock is held.
    std::unique_ptr<CImage> HandOver(TFileStamp& stamp, std::unique_ptr<CImage>* pBetween);

    const HWND m_hWindow;
    const UINT m_nMessage;
    std::mutex m_Lock;
    std::condition_variable m_Changed;
    bool m_bQuit = false;
    bool m_bPending = false; // a request waits for the thread
    bool m_bBusy = false;    // the thread reads
    uint32_t m_nLastId = 0;
    uint32_t m_nWanted = 0; // the request whose picture is still wanted, 0 none
    std::string m_sPath;
    size_t m_nMaxBytes = 0;
    ui::UniqueGlobal m_Reuse;
    volatile int32_t m_nCancel = 0; // read by the decoder while it works
    int32_t m_nBetweenSide = 0;
    std::unique_ptr<CImage> m_pResult;
    std::unique_ptr<CImage> m_pResultBetween;
    uint32_t m_nResultId = 0;
    TFileStamp m_ResultStamp;
    int m_nReads = 0;
    int m_nRefusals = 0;
    std::thread m_Thread;
};
