// The status bar: the hint or the crop in panel 0, then ratio, maximum,
// source and copy sizes; panel 5 stays empty.
#include "app/Mainform.h"

#include "app/MainRules.h"

#include <vector>

namespace {
constexpr int kPanelCount = 6;
constexpr int kLastPanelWidth = 50;
constexpr int kFirstPanelDesignWidth = 400;
} // namespace

void TfrmMain::SetStatusText(int nPanel, const std::string& sText) {
    SendMessageA(StatusBarWnd, SB_SETTEXTA, static_cast<WPARAM>(nPanel),
                 reinterpret_cast<LPARAM>(sText.c_str()));
}

std::string TfrmMain::StatusText(int panel) const {
    const LRESULT info = SendMessageA(StatusBarWnd, SB_GETTEXTLENGTHA, static_cast<WPARAM>(panel), 0);
    std::vector<char> text(static_cast<size_t>(LOWORD(info)) + 1, '\0');
    SendMessageA(StatusBarWnd, SB_GETTEXTA, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

void TfrmMain::StatusBarResize() {
    // Panel 0 takes whatever the fixed panels leave.
    RECT client{};
    GetClientRect(StatusBarWnd, &client);
    const int nLast = Px(kLastPanelWidth);
    int widths[kPanelCount] = {Px(kFirstPanelDesignWidth), m_nStatusPanelWidth, m_nStatusPanelWidth,
                               m_nStatusPanelWidth,        m_nStatusPanelWidth, nLast};
    if (client.right > 0)
        widths[0] = client.right - 4 * m_nStatusPanelWidth - nLast;
    int edges[kPanelCount];
    int right = 0;
    for (int i = 0; i < kPanelCount; ++i) {
        right += widths[i];
        edges[i] = right;
    }
    SendMessageA(StatusBarWnd, SB_SETPARTS, kPanelCount, reinterpret_cast<LPARAM>(edges));
}

void TfrmMain::UpdateRatioPanel() {
    const TProperties& p = m_pState->Settings();
    SetStatusText(1, RatioText(p.m_nMaxWidth, p.m_nMaxHeight));
}

void TfrmMain::UpdateStatusBar(const TStatusData* pData) {
    if (m_bClosed)
        return;
    const bool bPicture = m_pImageCtrl && m_pImageCtrl->HasPicture();
    const TProperties& p = m_pState->Settings();

    const TRect crop = pData && bPicture ? pData->Crop : TRect{0, 0, 0, 0};
    SetStatusText(0, CropText(crop.Left, crop.Top, crop.Right, crop.Bottom));
    UpdateRatioPanel();
    const bool bShown = bPicture && p.m_bMaxSize;
    SetStatusText(2,
                  MaximumText(p.HasMaxDimensions(), bShown ? p.m_nMaxWidth : 0, bShown ? p.m_nMaxHeight : 0));
    const bool bSource = pData && bPicture && m_pImage;
    SetStatusText(3, SourceText(bSource ? pData->SourceWidth : 0, bSource ? pData->SourceHeight : 0));
    const TSize copy = pData && bPicture ? pData->CopySize : TSize{0, 0};
    SetStatusText(4, CopyText(copy.Width, copy.Height));
    UpdateWindow(StatusBarWnd);
}

void TfrmMain::ResetStatus() {
    const TStatusData cleared;
    UpdateStatusBar(&cleared);
}

void TfrmMain::AppHint(const std::string& sHint) {
    if (!m_bClosed)
        SetStatusText(0, HintText(sHint));
}
