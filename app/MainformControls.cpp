// The main window's control tree: tool bar, list pane (source folder button
// and tree), splitter, status bar, the menus and the pictures they show.
// The image view is created by the window itself (Mainform.cpp).
#include "app/Mainform.h"

#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "resources/PictureIds.h"
#include "ui/Glyphs.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kButtonWidth = 67;
constexpr int kButtonHeight = 36;
constexpr int kCaptionPadding = 14;
constexpr int kToolBarBorder = 1;
constexpr int kStatusHeight = 19;
constexpr int kSplitterWidth = 8;
constexpr int kTreeIndent = 19;

HMENU ChildMenu(HMENU bar, const char* caption) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), caption);
    return menu;
}

} // namespace

void TfrmMain::ApplyFont(HWND control) const {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_Font.Get()), FALSE);
}

void TfrmMain::LoadPictures() {
    HINSTANCE module = GetModuleHandleA(nullptr);
    ImageList = ui::LoadGlyphList(module, IDB_COMMAND_GLYPHS, PICTURE_GLYPH_SIZE, PICTURE_MASK_COLOUR);
    tvImageList = ui::LoadGlyphList(module, IDB_TREE_ICONS, PICTURE_GLYPH_SIZE, PICTURE_MASK_COLOUR);
    m_GlyphStrip = ui::LoadGlyphStrip(module, IDB_COMMAND_GLYPHS);
    m_Commands.SetGlyphStrip(m_GlyphStrip.Get(), PICTURE_GLYPH_SIZE, PICTURE_MASK_COLOUR);
    const ui::UniqueBitmap folder = ui::LoadGlyphStrip(module, IDB_FOLDER_GLYPH);
    m_FolderGlyph = ui::OnBackground(folder.Get(), PICTURE_MASK_COLOUR, GetSysColor(COLOR_BTNFACE));
}

int TfrmMain::CaptionButtonWidth(const std::vector<std::string>& captions) const {
    // The design width, unless the font draws a caption wider: then every
    // button takes the widest caption's width rather than one losing its end.
    int nWidth = kButtonWidth;
    ui::WindowDC dc(nullptr);
    ui::ScopedSelect font(dc.Get(), m_Font.Get());
    for (const std::string& caption : captions) {
        SIZE text{};
        GetTextExtentPoint32A(dc.Get(), caption.c_str(), static_cast<int>(caption.size()), &text);
        nWidth = std::max(nWidth, static_cast<int>(text.cx) + kCaptionPadding);
    }
    return nWidth;
}

bool TfrmMain::CreateToolBar() {
    ToolBarWnd =
        CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                            CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER,
                        0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(idToolBar)),
                        GetModuleHandleA(nullptr), nullptr);
    if (!ToolBarWnd)
        return false;
    ApplyFont(ToolBarWnd);
    SendMessageA(ToolBarWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(ToolBarWnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(ImageList.Get()));
    SendMessageA(ToolBarWnd, TB_SETMAXTEXTROWS, 1, 0);

    const std::vector<TToolItem> items = ToolBarItems();
    std::vector<TBBUTTON> buttons;
    std::vector<std::string> captions; // kept alive until the buttons are added
    captions.reserve(items.size());
    for (const TToolItem& item : items) {
        TBBUTTON b{};
        b.idCommand = static_cast<int>(item.Id);
        b.fsState = TBSTATE_ENABLED;
        if (item.Divider) {
            b.fsStyle = BTNS_SEP;
            b.iBitmap = item.Width;
        } else {
            // A switch's button stays down while it is on.
            const TCommandRow* row = FindCommand(item.Id);
            b.fsStyle = static_cast<BYTE>(row->Check.Kind == TCheckKind::Switch ? BTNS_CHECK : BTNS_BUTTON);
            b.iBitmap = row->Glyph;
            captions.push_back(row->Caption);
            b.iString = reinterpret_cast<INT_PTR>(captions.back().c_str());
        }
        buttons.push_back(b);
    }
    SendMessageA(ToolBarWnd, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    m_nCaptionButtonWidth = CaptionButtonWidth(captions);
    SendMessageA(ToolBarWnd, TB_SETBUTTONWIDTH, 0, MAKELPARAM(m_nCaptionButtonWidth, m_nCaptionButtonWidth));
    SendMessageA(ToolBarWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(m_nCaptionButtonWidth, kButtonHeight));

    m_Layout.Add(ToolBarWnd, ui::TAlignSpec{ui::TAlign::Top, true, ui::TMargins{3, 2, 2, 2}, 0, 0, true});
    SetToolBarHeight();
    m_Commands.BindToolBar(ToolBarWnd);
    m_Hints.AddToolBar(ToolBarWnd);
    return true;
}

void TfrmMain::SetToolBarHeight() {
    // The tool bar sizes itself to its buttons: their height and its border.
    const DWORD size = static_cast<DWORD>(SendMessageA(ToolBarWnd, TB_GETBUTTONSIZE, 0, 0));
    if (ui::TAlignSpec* spec = m_Layout.Find(ToolBarWnd))
        spec->Height = HIWORD(size) + 2 * kToolBarBorder;
}

bool TfrmMain::CreateListPane() {
    if (!pnlList.Create(Handle()))
        return false;
    m_Layout.Add(pnlList.Handle(), ui::TAlignSpec{ui::TAlign::Left, false, {}, kListMinWidth, 0, true});

    if (!pnlChangeList.Create(pnlList.Handle()))
        return false;
    pnlList.Layout().Add(pnlChangeList.Handle(),
                         ui::TAlignSpec{ui::TAlign::Top, true, ui::TMargins{3, 4, 3, 2}, 0, 26, true});

    // The label is as wide as its text in the window's font.
    const char* const szSource = "Source Folder:";
    SIZE text{74, 13};
    {
        ui::WindowDC dc(nullptr);
        ui::ScopedSelect font(dc.Get(), m_Font.Get());
        GetTextExtentPoint32A(dc.Get(), szSource, static_cast<int>(strlen(szSource)), &text);
    }
    lblSource = CreateWindowExA(0, "STATIC", szSource,
                                WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 8, 7, text.cx,
                                text.cy, pnlChangeList.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    // The button keeps its place beside the label unless the font draws the
    // label wider than its design width.
    const int nButtonLeft = std::max(84, 8 + static_cast<int>(text.cx) + 2);
    btnSource = CreateWindowExA(
        0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP, nButtonLeft, 1, 22,
        22, pnlChangeList.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(idSourceButton)),
        GetModuleHandleA(nullptr), nullptr);
    if (!lblSource || !btnSource)
        return false;
    ApplyFont(lblSource);
    SendMessageA(btnSource, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_FolderGlyph.Get()));
    m_Hints.SetControlHint(btnSource, "Select source folder|Select a folder with source images");

    tvImages = CreateWindowExA(
        WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT | TVS_DISABLEDRAGDROP, 0,
        0, 0, 0, pnlList.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(idTree)),
        GetModuleHandleA(nullptr), nullptr);
    if (!tvImages)
        return false;
    ApplyFont(tvImages);
    SendMessageA(tvImages, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(tvImageList.Get()));
    SendMessageA(tvImages, TVM_SETINDENT, kTreeIndent, 0);
    pnlList.Layout().Add(tvImages,
                         ui::TAlignSpec{ui::TAlign::Client, true, ui::TMargins{4, 2, 4, 4}, 0, 0, true});
    return true;
}

void TfrmMain::CreateMenus() {
    MainMenu = CreateMenu();
    FillMenu(ChildMenu(MainMenu, "&File"), TMenu::File);
    FillMenu(ChildMenu(MainMenu, "&Options"), TMenu::Options);
    FillMenu(ChildMenu(MainMenu, "&Help"), TMenu::Help);
    SetMenu(Handle(), MainMenu);
    ImagePopup.Reset(CreatePopupMenu());
    FillMenu(ImagePopup.Get(), TMenu::Image);
    ToolbarPopup.Reset(CreatePopupMenu());
    FillMenu(ToolbarPopup.Get(), TMenu::Toolbar);
}

void TfrmMain::FillMenu(HMENU menu, TMenu which) {
    for (const TMenuEntry& entry : MenuEntries(which)) {
        if (entry.Id == 0)
            ui::TCommandList::AppendSeparator(menu);
        else
            m_Commands.AppendMenuEntry(menu, entry.Id, entry.Glyph);
    }
}

bool TfrmMain::CreateControls() {
    m_Font.Reset(CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
    LoadPictures();
    m_Hints.SetCommands(&m_Commands);
    CreateMenus();
    if (!CreateToolBar() || !CreateListPane())
        return false;

    ui::TSplitter::TTarget target;
    target.GetWidth = [this] { return m_Layout.Find(pnlList.Handle())->Width; };
    target.SetWidth = [this](int nWidth) {
        m_Layout.Find(pnlList.Handle())->Width = nWidth;
        ArrangeControls();
    };
    target.MinWidth = kListMinWidth;
    target.OnMoved = [this] { SplitterMoved(); };
    if (!Splitter.Create(Handle(), std::move(target)))
        return false;
    m_Layout.Add(Splitter.Handle(), ui::TAlignSpec{ui::TAlign::Left, false, {}, kSplitterWidth, 0, true});

    StatusBarWnd = CreateWindowExA(
        0, STATUSCLASSNAMEA, "",
        WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, 0, 0, 0,
        Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(idStatusBar)), GetModuleHandleA(nullptr),
        nullptr);
    if (!StatusBarWnd)
        return false;
    ApplyFont(StatusBarWnd);
    // The size panels keep their design width unless the font needs more
    // for the longest text they show.
    {
        const char* const szWidest = " maximum = 99999 x 99999";
        SIZE text{};
        ui::WindowDC dc(nullptr);
        ui::ScopedSelect font(dc.Get(), m_Font.Get());
        GetTextExtentPoint32A(dc.Get(), szWidest, static_cast<int>(strlen(szWidest)), &text);
        m_nStatusPanelWidth = std::max<int32_t>(m_nStatusPanelWidth, text.cx + 10);
    }
    m_Layout.Add(StatusBarWnd, ui::TAlignSpec{ui::TAlign::Bottom, false, {}, 0, kStatusHeight, true});

    m_Accelerators.Reset(m_Commands.CreateAccelerators());
    return true;
}
