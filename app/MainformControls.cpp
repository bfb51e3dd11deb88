// The main window's control tree: tool bar, list pane (source folder button
// and tree), splitter, status bar, the menus and the pictures they show.
// The image view is created by the window itself (Mainform.cpp). Sizes here
// are designed at 96 DPI; ApplyDpi gives them for the window's scale.
#include "app/Mainform.h"

#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "resources/PictureIds.h"
#include "ui/Glyphs.h"
#include "ui/WindowDpi.h"

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
constexpr int kTreeIndent = 19;
constexpr int kFontHeight = 11;
// The source folder label and button in their strip above the tree.
constexpr int kLabelLeft = 8;
constexpr int kLabelTop = 7;
constexpr int kSourceButtonLeft = 84;
constexpr int kSourceButtonTop = 1;
constexpr int kSourceButtonSize = 22;
const char* const kSourceLabel = "Source Folder:";
const ui::TAlignSpec kToolBarSpec{ui::TAlign::Top, true, ui::TMargins{3, 2, 2, 2}, 0, 0, true};
const ui::TAlignSpec kChangeListSpec{ui::TAlign::Top, true, ui::TMargins{3, 4, 3, 2}, 0, 26, true};
const ui::TAlignSpec kTreeSpec{ui::TAlign::Client, true, ui::TMargins{4, 2, 4, 4}, 0, 0, true};

// The extent of `text` in `font`.
SIZE TextSize(HFONT font, const char* text) {
    SIZE size{};
    ui::WindowDC dc(nullptr);
    ui::ScopedSelect select(dc.Get(), font);
    GetTextExtentPoint32A(dc.Get(), text, static_cast<int>(strlen(text)), &size);
    return size;
}

HMENU ChildMenu(HMENU bar, const char* caption) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), caption);
    return menu;
}

} // namespace

void TfrmMain::ApplyFont(HWND control) const {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_Font.Get()), FALSE);
}

int TfrmMain::Px(int nDesign) const {
    return ui::ScaleForDpi(nDesign, m_nDpi);
}

void TfrmMain::LoadPictures() {
    // The 16 x 16 glyphs drawn for the window's scale (ui::ScaleGlyphStrip).
    HINSTANCE module = GetModuleHandleA(nullptr);
    const int nGlyph = Px(PICTURE_GLYPH_SIZE);
    ImageList =
        ui::LoadGlyphList(module, IDB_COMMAND_GLYPHS, PICTURE_GLYPH_SIZE, PICTURE_MASK_COLOUR, nGlyph);
    tvImageList = ui::LoadGlyphList(module, IDB_TREE_ICONS, PICTURE_GLYPH_SIZE, PICTURE_MASK_COLOUR, nGlyph);
    m_GlyphStrip =
        ui::LoadGlyphStrip(module, IDB_COMMAND_GLYPHS, PICTURE_GLYPH_SIZE, PICTURE_MASK_COLOUR, nGlyph);
    m_Commands.SetGlyphStrip(m_GlyphStrip.Get(), nGlyph, PICTURE_MASK_COLOUR);
    const ui::UniqueBitmap folder =
        ui::LoadGlyphStrip(module, IDB_FOLDER_GLYPH, PICTURE_GLYPH_SIZE, PICTURE_MASK_COLOUR, nGlyph);
    m_FolderGlyph = ui::OnBackground(folder.Get(), PICTURE_MASK_COLOUR, GetSysColor(COLOR_BTNFACE));
}

int TfrmMain::CaptionButtonWidth(const std::vector<std::string>& captions) const {
    // The design width, unless the font draws a caption wider: then every
    // button takes the widest caption's width rather than one losing its end.
    int nWidth = Px(kButtonWidth);
    for (const std::string& caption : captions)
        nWidth = std::max(nWidth,
                          static_cast<int>(TextSize(m_Font.Get(), caption.c_str()).cx) + Px(kCaptionPadding));
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
            b.iBitmap = Px(item.Width);
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
    m_Layout.Add(ToolBarWnd, kToolBarSpec); // sized by ApplyDpi
    m_Commands.BindToolBar(ToolBarWnd);
    m_Hints.AddToolBar(ToolBarWnd);
    return true;
}

void TfrmMain::SetToolBarHeight() {
    // The tool bar sizes itself to its buttons: their height and its border.
    const DWORD size = static_cast<DWORD>(SendMessageA(ToolBarWnd, TB_GETBUTTONSIZE, 0, 0));
    if (ui::TAlignSpec* spec = m_Layout.Find(ToolBarWnd))
        spec->Height = HIWORD(size) + 2 * Px(kToolBarBorder);
}

bool TfrmMain::CreateListPane() {
    if (!pnlList.Create(Handle()))
        return false;
    m_Layout.Add(pnlList.Handle(), ui::TAlignSpec{ui::TAlign::Left, false, {}, kListMinWidth, 0, true});

    if (!pnlChangeList.Create(pnlList.Handle()))
        return false;
    pnlList.Layout().Add(pnlChangeList.Handle(), kChangeListSpec);

    // Placed by ApplyDpi.
    lblSource =
        CreateWindowExA(0, "STATIC", kSourceLabel, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0,
                        0, 0, 0, pnlChangeList.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    btnSource = CreateWindowExA(
        0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP, 0, 0, 0, 0,
        pnlChangeList.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(idSourceButton)),
        GetModuleHandleA(nullptr), nullptr);
    if (!lblSource || !btnSource)
        return false;
    m_Hints.SetControlHint(btnSource, "Select source folder|Select a folder with source images");

    tvImages = CreateWindowExA(
        WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT | TVS_DISABLEDRAGDROP, 0,
        0, 0, 0, pnlList.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(idTree)),
        GetModuleHandleA(nullptr), nullptr);
    if (!tvImages)
        return false;
    pnlList.Layout().Add(tvImages, kTreeSpec);
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
    m_nDpi = ui::WindowDpi(Handle());
    m_Font = ui::CreateFontForDpi("Tahoma", kFontHeight, m_nDpi);
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
    target.MinWidth = Px(kListMinWidth);
    target.RestMinWidth = Px(kSplitterRestMinWidth);
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
    m_Layout.Add(StatusBarWnd, ui::TAlignSpec{ui::TAlign::Bottom, false, {}, 0, kStatusHeight, true});

    m_Accelerators.Reset(m_Commands.CreateAccelerators());
    ApplyDpi(0);
    return true;
}

void TfrmMain::ApplyDpi(int nOldDpi) {
    // Fonts and pictures first: the sizes below measure text in the font.
    if (nOldDpi) {
        m_Font = ui::CreateFontForDpi("Tahoma", kFontHeight, m_nDpi);
        LoadPictures();
    }
    for (HWND control : {ToolBarWnd, lblSource, tvImages, StatusBarWnd})
        ApplyFont(control);
    SendMessageA(ToolBarWnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(ImageList.Get()));
    SendMessageA(tvImages, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(tvImageList.Get()));
    SendMessageA(tvImages, TVM_SETINDENT, Px(kTreeIndent), 0);
    SendMessageA(tvImages, TVM_SETITEMHEIGHT, static_cast<WPARAM>(-1), 0); // the default for font and icons
    SendMessageA(btnSource, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_FolderGlyph.Get()));

    // Tool buttons as wide as the widest caption needs, in the shown state.
    std::vector<std::string> captions;
    for (const TToolItem& item : ToolBarItems()) {
        if (!item.Divider) {
            captions.push_back(FindCommand(item.Id)->Caption);
            continue;
        }
        TBBUTTONINFOA divider{};
        divider.cbSize = sizeof divider;
        divider.dwMask = TBIF_SIZE;
        divider.cx = static_cast<WORD>(Px(item.Width));
        SendMessageA(ToolBarWnd, TB_SETBUTTONINFOA, item.Id, reinterpret_cast<LPARAM>(&divider));
    }
    m_nCaptionButtonWidth = CaptionButtonWidth(captions);
    ShowCaptions(!m_ShownWord || (*m_ShownWord & toolbar::kShowCaptions) != 0);

    // The label as wide as its text; the button beside it, unless the font
    // draws the label wider than its design width.
    const SIZE label = TextSize(m_Font.Get(), kSourceLabel);
    MoveWindow(lblSource, Px(kLabelLeft), Px(kLabelTop), label.cx, label.cy, TRUE);
    const int nButtonLeft =
        std::max(Px(kSourceButtonLeft), Px(kLabelLeft) + static_cast<int>(label.cx) + Px(2));
    MoveWindow(btnSource, nButtonLeft, Px(kSourceButtonTop), Px(kSourceButtonSize), Px(kSourceButtonSize),
               TRUE);

    if (m_pImageCtrl)
        m_pImageCtrl->SetScale(m_nDpi);
    *m_Layout.Find(ToolBarWnd) = ui::ScaleForDpi(kToolBarSpec, m_nDpi);
    SetToolBarHeight();
    *pnlList.Layout().Find(pnlChangeList.Handle()) = ui::ScaleForDpi(kChangeListSpec, m_nDpi);
    *pnlList.Layout().Find(tvImages) = ui::ScaleForDpi(kTreeSpec, m_nDpi);
    m_Layout.Find(Splitter.Handle())->Width = Px(kSplitterWidth);
    Splitter.SetMinWidths(Px(kListMinWidth), Px(kSplitterRestMinWidth));
    m_Layout.Find(StatusBarWnd)->Height = Px(kStatusHeight);
    ui::TAlignSpec* list = m_Layout.Find(pnlList.Handle());
    list->Width = std::max(nOldDpi ? ui::RescaleForDpi(list->Width, nOldDpi, m_nDpi) : Px(list->Width),
                           Px(kListMinWidth));

    // The size panels keep their design width unless the font needs more
    // for the longest text they show.
    m_nStatusPanelWidth =
        std::max<int32_t>(Px(130), TextSize(m_Font.Get(), " maximum = 99999 x 99999").cx + Px(10));
    pnlList.Arrange();
    ArrangeControls();
    InvalidateRect(Handle(), nullptr, TRUE);
}
