#include "support/AboutDialog.h"

#include "resources/AboutIds.h"
#include "resources/StringIds.h"
#include "support/MulDiv.h"
#include "support/StringTable.h"
#include "ui/Window.h"
#include "ui/WindowDpi.h"

#include "Version.h"

#include <shellapi.h>

#include <vector>

const char* const kMakerAddress = "http://www.quillonsoft.example/";

namespace {
// In pixels at 96 DPI, taken for the dialog's scale when it opens.
constexpr int kClientWidth = 362;
constexpr int kClientHeight = 229;
constexpr int kBorder = 6;
constexpr int kLogoPanelWidth = 185;
constexpr int kMargin = 3; // around the picture
constexpr int kLogoWidth = 151;
constexpr int kLogoHeight = 145;
constexpr int kFixedLabelWidth = 171;

const char* const kVersionText = "Version " SNAPWELL_VERSION_TEXT;
const char* const kMakerText = "Quillon Software";
const char* const kDotComText = "www.quillonsoft.example";
// Set wide: a narrow "\xA9" is no character at all where the process's code
// page is UTF-8, and "\xC2\xA9" two wrong ones where it is not.
const wchar_t* const kCopyrightText = L"Copyright \u00A9 2026\nQuillon Software";

// The picture at `width` x `height`, smoothly scaled; the picture itself
// when the size is its own or the copy cannot be made.
ui::UniqueBitmap ScaledPicture(ui::UniqueBitmap picture, int width, int height) {
    BITMAP info{};
    if (!picture || !GetObjectA(picture.Get(), sizeof info, &info) ||
        (info.bmWidth == width && info.bmHeight == height))
        return picture;
    ui::WindowDC screen(nullptr);
    ui::UniqueBitmap scaled(CreateCompatibleBitmap(screen.Get(), width, height));
    if (!scaled)
        return picture;
    {
        ui::UniqueMemoryDC from(screen.Get());
        ui::UniqueMemoryDC to(screen.Get());
        ui::ScopedSelect source(from.Get(), picture.Get());
        ui::ScopedSelect target(to.Get(), scaled.Get());
        SetStretchBltMode(to.Get(), HALFTONE);
        SetBrushOrgEx(to.Get(), 0, 0, nullptr);
        StretchBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
    return scaled;
}

// Height of `text` (all its lines) in `font`: what a label sized to its
// text would take.
int TextHeight(HWND window, HFONT font, const char* text) {
    ui::WindowDC dc(window);
    ui::ScopedSelect select(dc.Get(), font);
    RECT area{0, 0, 1000, 0};
    DrawTextA(dc.Get(), text, -1, &area, DT_CALCRECT | DT_NOPREFIX);
    return area.bottom - area.top;
}

RECT Area(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}
} // namespace

TdlgAbout::TdlgAbout(std::string address) : m_sAddress(std::move(address)) {}

void TdlgAbout::ApplyDpi(int dpi) {
    if (dpi == m_nDpi && m_bmpLogo)
        return;
    m_nDpi = dpi;
    m_fontForm = ui::CreateFontForDpi("MS Sans Serif", 10, dpi);
    m_fontImgInfo = ui::CreateFontForDpi("Arial", 11, dpi);
    m_fontTitle = ui::CreateFontForDpi("Arial", 16, dpi);
    m_fontBy = ui::CreateFontForDpi("Arial", 12, dpi);
    m_fontMaker = ui::CreateFontForDpi("Arial", 15, dpi);
    m_fontDotCom = ui::CreateFontForDpi("Arial", 12, dpi, true);
    m_bmpLogo = ScaledPicture(ui::UniqueBitmap(static_cast<HBITMAP>(
                                  LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ABOUT_LOGO),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))),
                              ui::ScaleForDpi(kLogoWidth, dpi), ui::ScaleForDpi(kLogoHeight, dpi));
}

TdlgAbout::~TdlgAbout() = default;

void TdlgAbout::ShowModal(HWND owner) {
    RunModal(owner, MAKEINTRESOURCEA(IDD_ABOUT));
}

INT_PTR TdlgAbout::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        FormCreate();
        SetFocus(GetDlgItem(Handle(), IDOK));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            btnOkClick();
            return TRUE;
        }
        if (LOWORD(wp) == IDC_ABOUT_DOTCOM && HIWORD(wp) == STN_CLICKED) {
            lblDotComClick();
            return TRUE;
        }
        return FALSE;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == GetDlgItem(Handle(), IDC_ABOUT_DOTCOM)) {
            SetCursor(LoadCursorA(nullptr, IDC_HAND));
            SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_MOUSEMOVE: {
        // The picture lets the mouse through to the dialog, so its moves
        // arrive here.
        const ui::MousePoint at = ui::MouseFromLParam(lp);
        TrackLogo(POINT{at.x, at.y});
        return TRUE;
    }
    case WM_MOUSELEAVE:
        imgLogoMouseLeave();
        return TRUE;
    case WM_DESTROY: {
        RECT frame{};
        GetWindowRect(Handle(), &frame);
        m_ptLast = POINT{frame.left, frame.top};
        m_bPlaced = true;
        m_bOverLogo = false;
        return FALSE;
    }
    default:
        return FALSE;
    }
}

HWND TdlgAbout::AddControl(const char* className, const char* text, DWORD style, int id, const RECT& area,
                           HFONT font) {
    HWND control =
        CreateWindowExA(0, className, text, WS_CHILD | style, area.left, area.top, area.right - area.left,
                        area.bottom - area.top, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void TdlgAbout::FormCreate() {
    const std::string product = LoadResString(IDS_PRODUCT);
    SetWindowTextA(Handle(), ("About " + product).c_str());
    ApplyDpi(ui::WindowDpi(Handle()));
    const auto px = [this](int design) { return ui::ScaleForDpi(design, m_nDpi); };
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(m_fontForm.Get()), FALSE);

    // The frame around a 362 x 229 client area; centred the first time,
    // afterwards where the user left it.
    const SIZE frame = ui::FrameSizeForDpi(SIZE{px(kClientWidth), px(kClientHeight)},
                                           static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)), false,
                                           static_cast<DWORD>(GetWindowLongA(Handle(), GWL_EXSTYLE)), m_nDpi);
    const int width = frame.cx;
    const int height = frame.cy;
    if (!m_bPlaced)
        m_ptLast = POINT{snapwell::Half(GetSystemMetrics(SM_CXSCREEN) - width),
                         snapwell::Half(GetSystemMetrics(SM_CYSCREEN) - height)};
    SetWindowPos(Handle(), nullptr, m_ptLast.x, m_ptLast.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

    // Left panel: the picture centred at the top, its caption below, OK.
    const int logoLeft =
        px(kBorder + kMargin) + snapwell::Half(px(kLogoPanelWidth) - 2 * px(kMargin) - px(kLogoWidth));
    HWND logo =
        AddControl("STATIC", nullptr, WS_VISIBLE | SS_BITMAP, IDC_ABOUT_LOGO,
                   Area(logoLeft, px(kBorder + kMargin), px(kLogoWidth), px(kLogoHeight)), m_fontForm.Get());
    SendMessageA(logo, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_bmpLogo.Get()));
    const std::string imgInfo = LoadResString(IDS_LOGO_INFO);
    const int infoTop = px(kBorder + kMargin + kLogoHeight + kMargin);
    AddControl("STATIC", imgInfo.c_str(), SS_CENTER | SS_NOPREFIX, IDC_ABOUT_IMGINFO,
               Area(px(kBorder), infoTop, px(kLogoPanelWidth),
                    TextHeight(Handle(), m_fontImgInfo.Get(), imgInfo.c_str())),
               m_fontImgInfo.Get());
    AddControl("BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK,
               Area(px(kBorder + 62), px(kBorder + 193), px(61), px(20)), m_fontForm.Get());

    // Right panel: the labels stacked from the top, each centred.
    struct Label {
        int id;
        const char* text;
        HFONT font;
        int gap;    // space above the label
        int width;  // 0: the panel's
        int height; // 0: the text's
        DWORD style;
    };
    const Label labels[] = {
        {IDC_ABOUT_TITLE, product.c_str(), m_fontTitle.Get(), 25, 0, 0, 0},
        {IDC_ABOUT_VERSION, kVersionText, m_fontForm.Get(), 20, 0, 0, 0},
        {IDC_ABOUT_BY, "by", m_fontBy.Get(), 12, 0, 0, 0},
        {IDC_ABOUT_MAKER, kMakerText, m_fontMaker.Get(), 0, 0, 0, 0},
        {IDC_ABOUT_DOTCOM, kDotComText, m_fontDotCom.Get(), 12, kFixedLabelWidth, 14, SS_NOTIFY},
        {IDC_ABOUT_COPYRIGHT, "", m_fontForm.Get(), 12, kFixedLabelWidth, 27, 0},
    };
    const int panelLeft = px(kBorder + kLogoPanelWidth);
    const int panelWidth = px(kClientWidth - kBorder) - panelLeft;
    int top = px(kBorder);
    for (const Label& label : labels) {
        const int labelWidth = label.width ? px(label.width) : panelWidth;
        const int labelHeight =
            label.height ? px(label.height) : TextHeight(Handle(), label.font, label.text);
        top += px(label.gap);
        AddControl("STATIC", label.text, WS_VISIBLE | SS_CENTER | SS_NOPREFIX | label.style, label.id,
                   Area(panelLeft + snapwell::Half(panelWidth - labelWidth), top, labelWidth, labelHeight),
                   label.font);
        top += labelHeight;
    }
    SetDlgItemTextW(Handle(), IDC_ABOUT_COPYRIGHT, kCopyrightText);
}

void TdlgAbout::TrackLogo(POINT client) {
    RECT logo{};
    GetWindowRect(GetDlgItem(Handle(), IDC_ABOUT_LOGO), &logo);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&logo), 2);
    if (PtInRect(&logo, client))
        imgLogoMouseEnter();
    else
        imgLogoMouseLeave();
}

void TdlgAbout::imgLogoMouseEnter() {
    if (m_bOverLogo)
        return;
    m_bOverLogo = true;
    // Hear of the mouse leaving the dialog straight from the picture.
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
    TrackMouseEvent(&track);
    ShowWindow(GetDlgItem(Handle(), IDC_ABOUT_IMGINFO), SW_SHOW);
}

void TdlgAbout::imgLogoMouseLeave() {
    if (!m_bOverLogo)
        return;
    m_bOverLogo = false;
    ShowWindow(GetDlgItem(Handle(), IDC_ABOUT_IMGINFO), SW_HIDE);
}

void TdlgAbout::lblDotComClick() {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    // One message on failure: ours, not the shell's as well.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = m_sAddress.c_str();
    info.nShow = SW_SHOWDEFAULT;
    if (!ShellExecuteExA(&info))
        MessageBoxA(nullptr, "Unable to open browser.", "Error", MB_OK);
}

void TdlgAbout::btnOkClick() {
    EndDialog(Handle(), IDOK);
}
