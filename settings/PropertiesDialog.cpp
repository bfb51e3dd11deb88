#include "settings/PropertiesDialog.h"

#include "resources/PictureIds.h"
#include "resources/StringIds.h"
#include "settings/Config.h"
#include "support/Folders.h"
#include "support/Help.h"
#include "support/LongPath.h"
#include "support/MulDiv.h"
#include "support/Paths.h"
#include "support/StringTable.h"
#include "ui/Glyphs.h"
#include "ui/WindowDpi.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {
// The client area the controls are placed in; a wider dialog stretches them.
// Every size here is in pixels at 96 DPI and taken for the dialog's scale.
constexpr int kDesignWidth = 442;
constexpr int kDesignHeight = 349;
constexpr int kPadding = 4;
// Outer size limits: the user can only make the dialog wider.
constexpr int kMinWidth = 450;
constexpr int kMinHeight = 383;
constexpr int kMaxHeight = 384;
constexpr int kFontHeight = 11;
// WM_DPICHANGED, which older headers lack.
constexpr UINT kDpiChanged = 0x02E0;
// The folder fields hold 259 characters and their zero: a longer typed
// folder would be stored cut, naming another folder. The boxes count
// characters; in UTF-8 a folder within the limit may still take more bytes
// than its field holds, which OK refuses (ConfirmFolderFits).
constexpr int kFolderTextLimit = 259;

// How a control follows the client area's width (and the buttons its height).
enum Anchor {
    akFixed,       // keeps its place and size
    akStretch,     // keeps both of its distances to the sides
    akRight,       // keeps its distance to the right edge
    akSpread,      // moves in proportion to the width (radio group columns)
    akRightBottom, // keeps its distances to the right and bottom edges
};

struct ControlSpec {
    int id;
    const char* className;
    const char* text;
    DWORD style;
    int left, top, width, height; // in the 442 x 349 client area
    Anchor anchor;
};

constexpr DWORD kGroup = BS_GROUPBOX | WS_GROUP;
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;

// Every control in tab order: a group box first, then what it holds.
const ControlSpec kControls[] = {
    {IDC_PROP_FOLDERS, "BUTTON", "Image Folders", kGroup, 4, 4, 434, 90, akStretch},
    {IDC_PROP_SOURCE_LABEL, "STATIC", "Source:", kLabel, 14, 28, 42, 13, akFixed},
    {IDC_PROP_SOURCE, "EDIT", "", kEdit | ES_READONLY, 58, 24, 344, 21, akStretch},
    {IDC_PROP_SOURCE_BROWSE, "BUTTON", "", kButton | BS_BITMAP, 406, 23, 22, 22, akRight},
    {IDC_PROP_TARGET_LABEL, "STATIC", "Copy:", kLabel, 14, 62, 42, 13, akFixed},
    {IDC_PROP_TARGET, "EDIT", "", kEdit, 58, 58, 344, 21, akStretch},
    {IDC_PROP_TARGET_BROWSE, "BUTTON", "", kButton | BS_BITMAP, 406, 57, 22, 22, akRight},

    {IDC_PROP_SIZE, "BUTTON", "Maximum Image Copy Size / Ratio", kGroup, 4, 94, 434, 57, akStretch},
    {IDC_PROP_WIDTH_LABEL, "STATIC", "Width:", kLabel, 14, 119, 38, 13, akFixed},
    {IDC_PROP_WIDTH, "EDIT", "0", kEdit, 58, 115, 75, 21, akFixed},
    {IDC_PROP_HEIGHT_LABEL, "STATIC", "Height:", kLabel, 150, 119, 40, 13, akFixed},
    {IDC_PROP_HEIGHT, "EDIT", "0", kEdit, 192, 115, 75, 21, akFixed},
    {IDC_PROP_INVERT, "BUTTON", "Invert", kButton, 284, 113, 75, 25, akFixed},

    {IDC_PROP_FILENAME, "BUTTON", "Image copy filename", kGroup, 4, 151, 434, 54, akStretch},
    {IDC_PROP_ALWAYS_PROMPT, "BUTTON", "Always Prompt", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 14, 175,
     136, 17, akSpread},
    {IDC_PROP_PROMPT_OVERWRITE, "BUTTON", "Prompt Overwrite", BS_AUTORADIOBUTTON, 157, 175, 136, 17,
     akSpread},
    {IDC_PROP_NEVER_PROMPT, "BUTTON", "Never Prompt", BS_AUTORADIOBUTTON, 300, 175, 130, 17, akSpread},

    {IDC_PROP_MISCELLANY, "BUTTON", "", kGroup, 4, 205, 434, 79, akStretch},
    {IDC_PROP_SNAP_RATIO, "BUTTON", "Snap To Ratio", kCheck, 14, 217, 190, 17, akFixed},
    {IDC_PROP_MAX_SIZE, "BUTTON", "Enforce Maximum Size", kCheck, 14, 239, 190, 17, akFixed},
    {IDC_PROP_AUTO_ADVANCE, "BUTTON", "Auto Advance", kCheck, 220, 217, 200, 17, akFixed},
    {IDC_PROP_KEEP_PREV_RECT, "BUTTON", "Keep Previous Crop Rectangle", kCheck, 220, 239, 200, 17, akFixed},
    {IDC_PROP_ENLARGEMENT, "BUTTON", "Allow Enlargement", kCheck, 14, 261, 190, 17, akFixed},

    {IDC_PROP_OK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 194, 312, 82, 25, akRightBottom},
    {IDC_PROP_CANCEL, "BUTTON", "Cancel", kButton, 282, 312, 75, 25, akRightBottom},
    {IDC_PROP_HELP, "BUTTON", "Help", kButton, 363, 312, 75, 25, akRightBottom},
};

// The radio items in the order of the prompt modes.
constexpr int kFilenameItems[] = {IDC_PROP_ALWAYS_PROMPT, IDC_PROP_PROMPT_OVERWRITE, IDC_PROP_NEVER_PROMPT};

bool IsSizeBox(int id) {
    return id == IDC_PROP_WIDTH || id == IDC_PROP_HEIGHT;
}

// The folder glyph for the scale with its magenta background in the button
// face colour; none while the program carries no glyph.
ui::UniqueBitmap LoadFolderGlyph(int dpi) {
    const ui::UniqueBitmap glyph =
        ui::LoadGlyphStrip(GetModuleHandleA(nullptr), IDB_FOLDER_GLYPH, PICTURE_GLYPH_SIZE,
                           PICTURE_MASK_COLOUR, ui::ScaleForDpi(PICTURE_GLYPH_SIZE, dpi));
    return ui::OnBackground(glyph.Get(), PICTURE_MASK_COLOUR, GetSysColor(COLOR_BTNFACE));
}

// An empty dialog frame (templates must start on a 4-byte boundary); the
// controls are made from kControls.
struct alignas(4) FrameTemplate {
    DLGTEMPLATE frame;
    WORD menu, windowClass, title; // none, the dialog class, no title
};
} // namespace

TdlgProperties::TdlgProperties() = default;

TdlgProperties::~TdlgProperties() = default;

void TdlgProperties::LoadFromProperties(TProperties* pProperties) {
    m_bCanUpdate = false;
    m_pProperties = pProperties;
    if (Handle())
        FillControls();
}

int TdlgProperties::ShowModal(HWND hOwner) {
    FrameTemplate dialog{};
    dialog.frame.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    dialog.frame.dwExtendedStyle = WS_EX_DLGMODALFRAME;
    return RunModal(hOwner, &dialog.frame) == IDOK ? 1 : 2;
}

INT_PTR TdlgProperties::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETMINMAXINFO: {
        // Also while the frame is made, before WM_INITDIALOG.
        const int dpi = ui::WindowDpi(Handle());
        auto* limits = reinterpret_cast<MINMAXINFO*>(lp);
        limits->ptMinTrackSize = POINT{ui::ScaleForDpi(kMinWidth, dpi), ui::ScaleForDpi(kMinHeight, dpi)};
        limits->ptMaxTrackSize.y = ui::ScaleForDpi(kMaxHeight, dpi);
        limits->ptMaxSize.y = limits->ptMaxTrackSize.y;
        return TRUE;
    }
    case kDpiChanged: {
        // Moved to a screen of another scale: the system's rectangle, and
        // the controls, font and glyph for the new scale.
        m_nDpi = LOWORD(wp);
        ApplyDpi();
        const RECT& r = *reinterpret_cast<const RECT*>(lp);
        SetWindowPos(Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        LayOut();
        return TRUE;
    }
    case WM_INITDIALOG:
        FormCreate();
        FillControls();
        FormShow();
        return TRUE; // focus to the first control
    case WM_SIZE:
        LayOut();
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return TRUE;
    case WM_CLOSE:
        // The close box; the dialog manager would turn it into IDCANCEL,
        // which is Escape's and does nothing here.
        CloseWith(IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

void TdlgProperties::OnCommand(int id, int code) {
    if (IsSizeBox(id)) {
        if (code == EN_SETFOCUS)
            OnWidthHeightFocus();
        else if (code == EN_KILLFOCUS)
            OnWidthHeightBlur();
        else if (code == EN_CHANGE)
            OnWidthHeightChange();
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_PROP_OK:
        btnOKClick();
        break;
    case IDC_PROP_CANCEL:
        btnCancelClick();
        break;
    case IDC_PROP_HELP:
        btnHelpClick();
        break;
    case IDC_PROP_SOURCE_BROWSE:
        btnSourceClick();
        break;
    case IDC_PROP_TARGET_BROWSE:
        btnTargetClick();
        break;
    case IDC_PROP_INVERT:
        btnRatioInvertClick();
        break;
    case IDC_PROP_SNAP_RATIO:
        SwitchClick(SizeSwitch::SnapRatio);
        break;
    case IDC_PROP_MAX_SIZE:
        SwitchClick(SizeSwitch::MaxSize);
        break;
    case IDC_PROP_ENLARGEMENT:
        SwitchClick(SizeSwitch::Enlargement);
        break;
    default:
        break; // IDCANCEL from Escape among them
    }
}

int TdlgProperties::Px(int design) const {
    return ui::ScaleForDpi(design, m_nDpi);
}

void TdlgProperties::ApplyDpi() {
    m_fontForm = ui::CreateFontForDpi("Tahoma", kFontHeight, m_nDpi);
    m_bmpFolder = LoadFolderGlyph(m_nDpi);
    for (const ControlSpec& spec : kControls)
        SendDlgItemMessageA(Handle(), spec.id, WM_SETFONT, reinterpret_cast<WPARAM>(m_fontForm.Get()), FALSE);
    for (int id : {IDC_PROP_SOURCE_BROWSE, IDC_PROP_TARGET_BROWSE})
        SendDlgItemMessageA(Handle(), id, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(m_bmpFolder.Get()));
}

void TdlgProperties::FormCreate() {
    SetWindowTextA(Handle(), LoadResString(IDS_PRODUCT).c_str());
    m_nDpi = ui::WindowDpi(Handle());
    for (const ControlSpec& spec : kControls) {
        const DWORD exStyle = std::string(spec.className) == "EDIT" ? WS_EX_CLIENTEDGE : 0;
        CreateWindowExA(exStyle, spec.className, spec.text, WS_CHILD | WS_VISIBLE | spec.style, Px(spec.left),
                        Px(spec.top), Px(spec.width), Px(spec.height), Handle(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), GetModuleHandleA(nullptr),
                        nullptr);
    }
    ApplyDpi();
    for (int id : {IDC_PROP_SOURCE, IDC_PROP_TARGET})
        SendDlgItemMessageA(Handle(), id, EM_LIMITTEXT, kFolderTextLimit, 0);
    for (int id : {IDC_PROP_WIDTH, IDC_PROP_HEIGHT}) {
        SendDlgItemMessageA(Handle(), id, EM_LIMITTEXT, kSizeTextLimit, 0);
        SetWindowSubclass(GetDlgItem(Handle(), id), &TdlgProperties::EbxNumberKeypress, 0, 0);
    }
    // The form's own defaults, for a showing without a record.
    for (int id : {IDC_PROP_SNAP_RATIO, IDC_PROP_MAX_SIZE, IDC_PROP_AUTO_ADVANCE, IDC_PROP_KEEP_PREV_RECT})
        CheckDlgButton(Handle(), id, BST_CHECKED);
    SendMessageA(Handle(), DM_SETDEFID, IDC_PROP_OK, 0);
}

void TdlgProperties::LayOut() {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int grow = client.right - Px(kDesignWidth);
    const int lower = client.bottom - Px(kDesignHeight);
    HDWP moves = BeginDeferWindowPos(static_cast<int>(std::size(kControls)));
    for (const ControlSpec& spec : kControls) {
        int left = Px(spec.left), top = Px(spec.top), width = Px(spec.width);
        switch (spec.anchor) {
        case akFixed:
            break;
        case akStretch:
            width += grow;
            break;
        case akRight:
            left += grow;
            break;
        case akSpread:
            left += snapwell::MulDiv(Px(spec.left - kPadding), grow, Px(kDesignWidth - 2 * kPadding));
            break;
        case akRightBottom:
            left += grow;
            top += lower;
            break;
        }
        if (moves)
            moves = DeferWindowPos(moves, GetDlgItem(Handle(), spec.id), nullptr, left, top, width,
                                   Px(spec.height), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (moves)
        EndDeferWindowPos(moves);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TdlgProperties::FillControls() {
    if (!m_pProperties) {
        m_bCanUpdate = true;
        UpdateSwitches();
        return;
    }
    const TProperties& p = *m_pProperties;
    m_bCanUpdate = false;
    SetText(IDC_PROP_SOURCE, RemoveTrailingBackslash(p.m_szSourceFolder));
    SetText(IDC_PROP_TARGET, RemoveTrailingBackslash(p.m_szTargetFolder));
    SetText(IDC_PROP_HEIGHT, std::to_string(p.m_nMaxHeight));
    SetText(IDC_PROP_WIDTH, std::to_string(p.m_nMaxWidth));
    // In this order, each through its click handler: a stored enlargement
    // without the maximum size comes back with both.
    SetCheck(IDC_PROP_AUTO_ADVANCE, p.m_bAutoAdvance);
    SetCheck(IDC_PROP_SNAP_RATIO, p.m_bSnapRatio);
    SetCheck(IDC_PROP_MAX_SIZE, p.m_bMaxSize);
    SetCheck(IDC_PROP_ENLARGEMENT, p.m_bEnlargement);
    SetCheck(IDC_PROP_KEEP_PREV_RECT, p.m_bPrevRect);
    for (int mode = 0; mode < int(std::size(kFilenameItems)); ++mode)
        CheckDlgButton(Handle(), kFilenameItems[mode],
                       mode == p.m_nFilenameMode ? BST_CHECKED : BST_UNCHECKED);
    m_bCanUpdate = true;
    UpdateSwitches();
}

void TdlgProperties::FormShow() {
    // With no stored place the dialog opens at the screen's top-left corner
    // at its smallest. The stored size is in device pixels: one written at
    // another scale is held to this scale's limits.
    TWinPos pos;
    if (std::unique_ptr<CConfig> config = OpenConfig())
        config->ReadWinPos(ckDialog, pos);
    const int width = std::max(pos.m_nWidth, Px(kMinWidth));
    const int height = std::clamp(pos.m_nHeight, Px(kMinHeight), Px(kMaxHeight));
    SetWindowPos(Handle(), nullptr, pos.m_nLeft, pos.m_nTop, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
    m_nSavedChecks = 0;
}

void TdlgProperties::FormClose() {
    RECT frame{};
    GetWindowRect(Handle(), &frame);
    if (std::unique_ptr<CConfig> config = OpenConfig())
        config->WriteWinPos(
            ckDialog, TWinPos(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top));
}

void TdlgProperties::CloseWith(int result) {
    FormClose();
    EndDialog(Handle(), result);
}

void TdlgProperties::btnOKClick() {
    const std::string source = RemoveTrailingBackslash(Text(IDC_PROP_SOURCE));
    const std::string target = RemoveTrailingBackslash(Text(IDC_PROP_TARGET));
    // A folder that is not there (and not created), or too long for the
    // settings, keeps the dialog open; the source folder is kept as soon as
    // it passes.
    if (!ConfirmFolderFits(Handle(), source, TProperties::kMaxFolderBytes) ||
        !ConfirmFolder(Handle(), source))
        return;
    if (m_pProperties)
        m_pProperties->SetSourceFolder(source.c_str());
    if (!ConfirmFolderFits(Handle(), target, TProperties::kMaxFolderBytes) ||
        !ConfirmFolder(Handle(), target))
        return;
    if (m_pProperties) {
        TProperties& p = *m_pProperties;
        p.SetTargetFolder(target.c_str());
        p.m_nMaxHeight = ParseNumber(Text(IDC_PROP_HEIGHT));
        p.m_nMaxWidth = ParseNumber(Text(IDC_PROP_WIDTH));
        p.m_bAutoAdvance = Checked(IDC_PROP_AUTO_ADVANCE);
        p.m_bSnapRatio = Checked(IDC_PROP_SNAP_RATIO);
        p.m_bMaxSize = Checked(IDC_PROP_MAX_SIZE);
        p.m_bEnlargement = Checked(IDC_PROP_ENLARGEMENT);
        p.m_bPrevRect = Checked(IDC_PROP_KEEP_PREV_RECT);
        for (int mode = 0; mode < int(std::size(kFilenameItems)); ++mode)
            if (Checked(kFilenameItems[mode]))
                p.m_nFilenameMode = static_cast<uint8_t>(mode);
    }
    CloseWith(IDOK);
}

void TdlgProperties::btnCancelClick() {
    CloseWith(IDCANCEL);
}

void TdlgProperties::btnHelpClick() {
    ShowHelpTopic(Handle(), kHelpProperties);
}

void TdlgProperties::btnSourceClick() {
    BrowseInto(IDC_PROP_SOURCE, IDS_SELECT_SOURCE_FOLDER, false);
}

void TdlgProperties::btnTargetClick() {
    BrowseInto(IDC_PROP_TARGET, IDS_SELECT_COPY_FOLDER, true);
}

void TdlgProperties::BrowseInto(int box, int title, bool allowNewFolder) {
    std::string folder = Text(box);
    if (SelectFolder(Handle(), LoadResString(title), folder, allowNewFolder) &&
        ConfirmFolderFits(Handle(), folder, TProperties::kMaxFolderBytes) && ConfirmFolder(Handle(), folder))
        SetText(box, folder);
}

void TdlgProperties::btnRatioInvertClick() {
    // Each change runs UpdateSwitches, the height box's first.
    const std::string height = Text(IDC_PROP_HEIGHT);
    SetText(IDC_PROP_HEIGHT, Text(IDC_PROP_WIDTH));
    SetText(IDC_PROP_WIDTH, height);
}

void TdlgProperties::SwitchClick(SizeSwitch changed) {
    ApplyChecks(CoupleSwitches(ReadChecks(), changed));
    UpdateSwitches();
}

void TdlgProperties::OnWidthHeightFocus() {
    SaveChecks();
}

void TdlgProperties::OnWidthHeightBlur() {
    m_nSavedChecks = 0;
}

void TdlgProperties::OnWidthHeightChange() {
    UpdateSwitches();
}

void TdlgProperties::UpdateSwitches() {
    if (!m_bCanUpdate)
        return;
    // The check changes made here run the click handlers, which must not
    // come back in.
    m_bCanUpdate = false;
    const int32_t height = ParseNumber(Text(IDC_PROP_HEIGHT));
    const int32_t width = ParseNumber(Text(IDC_PROP_WIDTH));
    const SwitchUpdate update = DecideSwitches(width, height, m_nSavedChecks);
    for (int id : {IDC_PROP_SNAP_RATIO, IDC_PROP_MAX_SIZE, IDC_PROP_ENLARGEMENT})
        EnableWindow(GetDlgItem(Handle(), id), update.bEnabled);
    if (update.bSetChecks)
        ApplyChecks(update.checks);
    m_bCanUpdate = true;
}

void TdlgProperties::SaveChecks() {
    m_nSavedChecks = ::SaveChecks(ReadChecks());
}

LRESULT CALLBACK TdlgProperties::EbxNumberKeypress(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                                   DWORD_PTR) {
    if (msg == WM_CHAR && !IsSizeKey(static_cast<uint32_t>(wp)))
        return 0;
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, &TdlgProperties::EbxNumberKeypress, id);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

std::string TdlgProperties::Text(int id) const {
    // Read wide: the narrow length of a control's text is not promised to
    // be exact where the code page has characters of several bytes.
    HWND control = GetDlgItem(Handle(), id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, &text[0], static_cast<int>(text.size()))));
    return longpath::Narrow(text);
}

void TdlgProperties::SetText(int id, const std::string& text) {
    SetDlgItemTextA(Handle(), id, text.c_str());
}

bool TdlgProperties::Checked(int id) const {
    return IsDlgButtonChecked(Handle(), id) == BST_CHECKED;
}

void TdlgProperties::SetCheck(int id, bool checked) {
    if (Checked(id) == checked)
        return;
    CheckDlgButton(Handle(), id, checked ? BST_CHECKED : BST_UNCHECKED);
    OnCommand(id, BN_CLICKED);
}

SizeSwitches TdlgProperties::ReadChecks() const {
    SizeSwitches checks;
    checks.bSnapRatio = Checked(IDC_PROP_SNAP_RATIO);
    checks.bMaxSize = Checked(IDC_PROP_MAX_SIZE);
    checks.bEnlargement = Checked(IDC_PROP_ENLARGEMENT);
    return checks;
}

void TdlgProperties::ApplyChecks(const SizeSwitches& checks) {
    SetCheck(IDC_PROP_SNAP_RATIO, checks.bSnapRatio);
    SetCheck(IDC_PROP_MAX_SIZE, checks.bMaxSize);
    SetCheck(IDC_PROP_ENLARGEMENT, checks.bEnlargement);
}
