// The about dialog: product name, version, maker and a picture whose caption
// shows while the mouse is over it. One instance lives for the program; each
// showing is modal, and a showing after the first opens where the last one
// was left (the first is centred on the screen).
#pragma once

#include "ui/Dialog.h"
#include "ui/Handles.h"

#include <windows.h>

#include <string>

// The maker's web address, opened by a click on it.
extern const char* const kMakerAddress;

class TdlgAbout : public ui::Dialog {
public:
    // address: what a click on the maker's address opens.
    explicit TdlgAbout(std::string address = kMakerAddress);
    ~TdlgAbout() override;
    TdlgAbout(const TdlgAbout&) = delete;
    TdlgAbout& operator=(const TdlgAbout&) = delete;

    // Shows the dialog modally to `owner` until OK or the close box.
    void ShowModal(HWND owner);

private:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void FormCreate();
    // The fonts and the picture for a scale (dots per inch), made once per scale.
    void ApplyDpi(int dpi);
    HWND AddControl(const char* className, const char* text, DWORD style, int id, const RECT& area,
                    HFONT font);
    void TrackLogo(POINT client);

    void btnOkClick();
    void lblDotComClick();
    void imgLogoMouseEnter();
    void imgLogoMouseLeave();

    std::string m_sAddress;
    bool m_bOverLogo = false;
    bool m_bPlaced = false; // shown before: reopen at m_ptLast
    POINT m_ptLast{};
    int m_nDpi = 0;
    ui::UniqueBitmap m_bmpLogo;
    ui::UniqueFont m_fontForm;
    ui::UniqueFont m_fontImgInfo;
    ui::UniqueFont m_fontTitle;
    ui::UniqueFont m_fontBy;
    ui::UniqueFont m_fontMaker;
    ui::UniqueFont m_fontDotCom;
};
