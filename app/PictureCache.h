// The decoded pictures the main window keeps: the picture it shows, in the
// image object, and at most one more, the neighbour read ahead in the
// direction of travel (or the memory of the picture before, waiting to take
// the next one). A picture that was not read ahead is first read reduced,
// just large enough for the view, and shown from that while its full decode
// runs on the read-ahead's thread; whatever needs every pixel waits for it.
// A quarter turn is shown at once from the picture as held (its display
// bitmap is turned); the picture itself is turned when the window asks
// (Use). A picture is used again only while its file's size and time are
// still those it was read with; otherwise the file is read again, so
// nothing changed on disk is ever shown or copied from an old decode.
//
// It is also the view's display source: the view's bitmaps are made from
// the picture shown, reduced or whole, turned as the user turned it.
#pragma once

#include "app/ReadAhead.h"
#include "imaging/Cimage.h"
#include "view/DisplaySource.h"

#include <windows.h>

#include <memory>
#include <string>

class CPictureCache : public TDisplaySource {
public:
    // `image` is the window's image object (not owned); `nMessage` is posted
    // to `hWindow` when a read-ahead finished, with its handle in wParam.
    CPictureCache(CImage& image, HWND hWindow, UINT nMessage);
    ~CPictureCache();
    CPictureCache(const CPictureCache&) = delete;
    CPictureCache& operator=(const CPictureCache&) = delete;

    // Makes the image object hold the file at `sPath` turned by `nRotation`
    // (-1 none, 0 right, 1 half, 2 left), reading the file only when neither
    // the image object nor the read-ahead holds it as it is on disk now. Any
    // other file's read-ahead is dropped. False when the file cannot be
    // read (the image object is then empty) or the picture cannot be turned.
    bool Use(const std::string& sPath, int32_t nRotation);
    // Makes `sPath` the picture shown, turned by `nRotation`, with as
    // little waiting as can be: the image object's or the read-ahead's
    // picture when either holds the file as it is on disk, else a reduced
    // read that covers the picture fitted into nFitWidth x nFitHeight (the
    // view) while the full decode runs in the background (ReadAheadDone
    // tells when it arrived). Nothing is turned. False when the file cannot
    // be read; the image object then holds no picture, as after a load that
    // failed.
    bool Show(const std::string& sPath, int32_t nRotation, int32_t nFitWidth, int32_t nFitHeight);
    // The turn the picture shown is to be seen with from now on; the
    // picture itself is turned by the next Use.
    void SetRotation(int32_t nRotation) { m_nWanted = nRotation; }
    // How the picture is turned where it is held (-1 none).
    int32_t HeldRotation() const { return m_nTurn; }
    // Whether the file's picture is shown (reduced or whole) as the file
    // still is on disk.
    bool Shows(const std::string& sPath) const;
    // Whether the image object holds the whole picture of `sPath`.
    bool HoldsWhole(const std::string& sPath) const { return m_Image.HasPicture() && m_sPath == sPath; }
    // The size of the picture shown as the user sees it (whole, turned); 0 x
    // 0 without one.
    SIZE ShownSize() const;
    // TDisplaySource: the picture shown at the view's size.
    HBITMAP MakeDisplayBitmap(HDC dc, int32_t width, int32_t height, HBITMAP reuse) override;
    // Whether the picture shown of `sPath` (whole or reduced) is one the
    // file no longer has: changed, replaced or gone since it was read.
    bool Outdated(const std::string& sPath) const;
    // Turns the picture held by `nCode` (0 right, 1 half, 2 left). The
    // read-ahead goes first: the turn needs a second picture's memory.
    bool Turn(uint8_t nCode);
    // Starts reading `sPath` ahead, unless it is the picture shown, or the
    // next picture would not fit beside the picture shown and the display
    // bitmap (ReadAheadLimit); then nothing is read ahead.
    void ReadAhead(const std::string& sPath);
    // Stops the read-ahead and frees its memory.
    void DropReadAhead();
    // Stops the read-ahead; the memory of a picture it read stays for the
    // next read-ahead (ReadAhead takes it, or frees it when it reads none),
    // so freeing it costs the user no time now.
    void StopReadAhead();
    // The window's message: request `nId` is done. True when it was the
    // full decode of the picture shown from its reduced read, which now
    // takes its place: the view's bitmap is to be made again.
    bool ReadAheadDone(uint32_t nId);

    // What the program can address, for ReadAheadLimit; tests set less.
    void SetMemory(uint64_t nBytes) { m_nMemory = nBytes; }

    // For tests.
    struct TStats {
        int nDecodes = 0;    // files read for the window while it waited (whole or reduced)
        int nReduced = 0;    // of these, read reduced
        int nReadAheads = 0; // files read ahead whole
        int nRefused = 0;    // read-aheads refused for want of memory
        int nPeakPictures = 0;
        int nHeld = 0; // pictures held now
        int nBetweens = 0; // go-betweens made while the window waited
    };
    TStats Stats();
    // The file whose picture is read ahead or being read ("" none), and
    // whether its picture arrived.
    const std::string& AheadPath() const { return m_sAheadPath; }
    bool AheadArrived() const { return m_pAhead != nullptr; }
    // Whether the picture shown is the reduced read of its file.
    bool ShowsReduced() const { return m_pPreview != nullptr; }

private:
    bool TurnTo(int32_t nRotation);
    // The picture the view is made from: the reduced read, else the image
    // object's; null without either.
    const CImage* Shown() const;
    void DropPreview();
    // The go-between of the image object's picture for a display of sw x sh
    // (before the turn), made when there is none that serves; null when the
    // display is better made from the picture itself.
    const CImage* Between(int32_t sw, int32_t sh);
    // Takes the read-ahead when it holds `sPath` as `stamp` says.
    bool TakeAhead(const std::string& sPath, const TFileStamp& stamp);
    int Held() const;
    // Pictures held now, with `nExtra` about to be allocated.
    void Count(int nExtra);

    CImage& m_Image;
    std::string m_sPath;  // the file the image object holds
    TFileStamp m_Stamp;   // as it was read
    int32_t m_nTurn = -1; // how the picture held is turned
    CReadAhead m_ReadAhead;
    uint32_t m_nAheadId = 0;
    std::string m_sAheadPath;
    std::unique_ptr<CImage> m_pAhead; // arrived, not yet shown
    std::unique_ptr<CImage> m_pAheadBetween; // its go-between, when one was made
    TFileStamp m_AheadStamp;
    bool m_bAheadShown = false; // the read-ahead is the full decode of the picture shown reduced
    std::unique_ptr<CImage> m_pPreview; // the reduced read shown while the full decode runs
    std::string m_sPreviewPath;
    TFileStamp m_PreviewStamp;
    int32_t m_nWanted = -1; // the turn the picture shown is seen with
    std::unique_ptr<CImage> m_pBetween; // of the image object's picture whose Content is m_nBetweenOf
    uint64_t m_nBetweenOf = 0;
    int32_t m_nDisplaySide = 0; // the longer side of the last display made
    ui::UniqueGlobal m_Spare; // memory of the picture before, for the next read
    uint64_t m_nMemory = 0;
    TStats m_Stats;
};
