// Construction, first show, closing and the window's message dispatch.
#include "app/Mainform.h"

#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "imaging/ImagingLibrary.h"
#include "resources/CursorIds.h"
#include "resources/StringIds.h"
#include "settings/Config.h"
#include "settings/ConfigPaths.h"
#include "settings/ShellFolders.h"
#include "support/Folders.h"
#include "support/Help.h"
#include "support/LongPath.h"
#include "support/Message.h"
#include "support/Paths.h"
#include "support/StringTable.h"
#include "ui/WindowDpi.h"

#include <algorithm>
#include <stdexcept>

namespace {

const char* const kClassName = "TfrmMain";
const char* const kHelpFileName = "Snapwell.chm";
// WM_DPICHANGED, which older headers lack.
constexpr UINT kDpiChanged = 0x02E0;

// The executable's path split into its folder (with a trailing backslash)
// and its name without the extension.
void SetExePaths() {
    // Read wide: in UTF-8 a path within MAX_PATH characters may take more
    // than MAX_PATH bytes.
    wchar_t szPath[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    const std::string sPath = longpath::Narrow(std::wstring(szPath, n < MAX_PATH ? n : 0));
    const size_t slash = sPath.find_last_of("\\/:");
    const std::string sFile = slash == std::string::npos ? sPath : sPath.substr(slash + 1);
    g_sExeFolder = slash == std::string::npos ? std::string() : sPath.substr(0, slash + 1);
    const size_t dot = sFile.rfind('.');
    g_sExeName = dot == std::string::npos ? sFile : sFile.substr(0, dot);
}

// The per-user folder of the configuration file, created when missing.
void SetConfigFolder() {
    const std::string sFolder = GetAppDataFolder(LoadResString(IDS_PRODUCT).c_str());
    if (sFolder.empty())
        throw std::runtime_error(
            "The application data folder is unknown, so Snapwell has nowhere to keep its "
            "settings.");
    CreateFolderWithParents(sFolder); // a failure shows when the file is opened
    g_sConfigFolder = AddTrailingBackslash(sFolder);
}

} // namespace

TfrmMain::TfrmMain() : m_Commands(MainCommands()) {}

TfrmMain::~TfrmMain() = default;

bool TfrmMain::Create(TdlgAbout* pAbout) {
    m_pAbout = pAbout;
    m_pState = std::make_unique<TMainState>(TProperties());
    m_hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    if (!RegisterClassOnce(kClassName, CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), m_hIcon))
        return false;
    // The design bounds: the top-left corner of the screen, a client area of
    // 1074 x 522 under the menu bar at the scale of the screen it is on
    // (known once the window exists).
    const DWORD nStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    if (!CreateAs(kClassName, WS_EX_CONTROLPARENT, LoadResString(IDS_PRODUCT).c_str(), nStyle, 0, 0, 0, 0,
                  nullptr, nullptr))
        return false;
    if (!CreateControls())
        return false;
    const SIZE frame = ui::FrameSizeForDpi(SIZE{Px(kDesignClientWidth), Px(kDesignClientHeight)}, nStyle,
                                           true, WS_EX_CONTROLPARENT, m_nDpi);
    SetWindowPos(Handle(), nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_pImageCtrl = std::make_unique<TImageCtrl>();
    if (m_pImageCtrl->Create(Handle(), 0, 0, 0, 0, idImageView)) {
        m_pImageCtrl->SetScale(m_nDpi);
        m_Layout.AddShared(m_pImageCtrl->Handle(), m_pImageCtrl->Layout());
        // The status bar comes last, under everything, in the layout's
        // bottom band; the view fills what is left.
    } else {
        m_pImageCtrl.reset();
    }
    SetExePaths();
    SetConfigFolder();
    if (g_pMesg)
        g_pMesg->SetOwner(Handle());
    ArrangeControls();
    return true;
}

void TfrmMain::Show(int nCmdShow) {
    FormShow();
    if (!Handle() || m_bClosed)
        return;
    ShowWindow(Handle(), m_bStartMaximised ? SW_SHOWMAXIMIZED : nCmdShow);
    UpdateWindow(Handle());
    // The tree had the focus given while the window was still hidden.
    if (!m_pState->Images().Empty())
        SetFocus(tvImages);
}

ui::TMessageLoop TfrmMain::MessageLoop() {
    ui::TMessageLoop loop;
    loop.hMainWindow = Handle();
    loop.hAccelerators = m_Accelerators.Get();
    loop.pHints = &m_Hints;
    return loop;
}

void TfrmMain::FormShow() {
    if (!m_bInitialised && !m_bClosed)
        InitialiseWindow();
}

void TfrmMain::ReadWindowState() {
    std::unique_ptr<CConfig> pConfig = OpenConfig();
    if (!pConfig)
        return; // "Error loading the configuration file." was shown; the design state stands

    TWinPos pos;
    pos.m_bMaximized = 1;
    pos.CentreOnScreen(Px(kMinWidth), Px(kMinHeight));
    pos.m_nWidth = 0;
    pos.m_nHeight = 0;
    pos.m_nPanelWidth = Px(kListMinWidth);
    pConfig->ReadWinPos(ckMainWindow, pos);

    // The window is still hidden: its restored bounds are set now, its
    // maximised state takes effect when it is shown. The record keeps
    // device pixels and no scale, so a record written at another scale
    // comes back at the same pixel size: raised to the smallest window of
    // this scale, and no larger than the work area it opens in, with a list
    // pane that leaves the view its room.
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const RECT bounds{pos.m_nLeft, pos.m_nTop, pos.m_nLeft + std::max(pos.m_nWidth, 1),
                      pos.m_nTop + std::max(pos.m_nHeight, 1)};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromRect(&bounds, MONITOR_DEFAULTTONEAREST), &monitor))
        area = monitor.rcWork;
    const int nWidth =
        std::min(std::max(pos.m_nWidth, Px(kMinWidth)), std::max<int>(area.right - area.left, Px(kMinWidth)));
    const int nHeight = std::min(std::max(pos.m_nHeight, Px(kMinHeight)),
                                 std::max<int>(area.bottom - area.top, Px(kMinHeight)));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    placement.rcNormalPosition = RECT{pos.m_nLeft, pos.m_nTop, pos.m_nLeft + nWidth, pos.m_nTop + nHeight};
    placement.showCmd = SW_HIDE;
    placement.flags = 0;
    SetWindowPlacement(Handle(), &placement);
    m_bStartMaximised = pos.m_bMaximized != 0;
    if (ui::TAlignSpec* list = m_Layout.Find(pnlList.Handle()))
        list->Width = ui::SplitterWidth(pos.m_nPanelWidth, Px(kListMinWidth),
                                        std::max<int>(area.right - area.left, nWidth) - Px(kSplitterWidth),
                                        Px(kSplitterRestMinWidth));

    m_pState->SetToolbar(pConfig->ReadToolbarFlags());
    ShowToolbarWord();

    TProperties stored;
    pConfig->ReadProperties(stored);
    m_pState->Settings().Assign(stored);
}

void TfrmMain::InitialiseWindow() {
    m_Hints.SetHandler([this](const std::string& sHint) { AppHint(sHint); });
    ReadWindowState();

    int nFailure = 0;
    if (m_pImageCtrl) {
        m_bInitialised = true;
        m_pImageCtrl->SetPopupMenu(ImagePopup.Get());
        m_bInitialised = false;
        if (InitImaging()) {
            m_pImage = std::make_unique<CImage>();
            m_pPictures = std::make_unique<CPictureCache>(*m_pImage, Handle(), WM_READAHEAD);
            m_pImageCtrl->SetDisplaySource(m_pPictures.get());
            m_bInitialised = true;
        } else {
            nFailure = IDS_IMAGE_DLL_FAILED;
        }
        RegisterCursors();
        m_pImageCtrl->SetCursorList(&m_Cursors);
        SyncViewSettings();
    } else {
        nFailure = IDS_IMAGECTRL_CREATE_FAILED;
    }

    if (m_bInitialised) {
        try {
            OpenHelpFile(g_sExeFolder + kHelpFileName);
        } catch (const HtmlError& e) {
            g_pMesg->Show(FormatResString(IDS_HELP_LOAD_FAILED, e.m_szMessage), kMesgError);
        }
    } else {
        g_pMesg->ShowId(nFailure, kMesgError);
        SendMessageA(Handle(), WM_CLOSE, 0, 0);
        return;
    }

    SendMessageA(m_pImageCtrl->Handle(), WM_SHOWWINDOW, 1, 0);
    ArrangeControls();
    PopulateTree();
    // First in the tab order: the dialog keys walk the children in z-order.
    SetWindowPos(m_pImageCtrl->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowLongPtrA(m_pImageCtrl->Handle(), GWL_STYLE,
                      GetWindowLongPtrA(m_pImageCtrl->Handle(), GWL_STYLE) | WS_TABSTOP);
    UpdateCommands();
}

void TfrmMain::FormClose() {
    if (m_bClosed)
        return;
    if (std::unique_ptr<CConfig> pConfig = OpenConfig()) {
        // The restored bounds: a maximised window comes back maximised and
        // restores to the size it had before.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(Handle(), &placement);
        const RECT& r = placement.rcNormalPosition;
        TWinPos pos(r.left, r.top, r.right - r.left, r.bottom - r.top);
        pos.m_nPanelWidth = m_Layout.Find(pnlList.Handle())->Width;
        pos.m_bMaximized = (IsZoomed(Handle()) || (!IsWindowVisible(Handle()) && m_bStartMaximised)) ? 1 : 0;
        pConfig->WriteWinPos(ckMainWindow, pos);
        pConfig->WriteToolbarFlags(m_pState->Toolbar());
        pConfig->WriteProperties(m_pState->Settings());
    }
    m_bClosed = true;
    m_pState.reset();
    if (m_pImageCtrl)
        m_pImageCtrl->SetDisplaySource(nullptr);
    m_pPictures.reset(); // stops the read-ahead before the image object goes
    m_pImage.reset();
    m_pImageCtrl.reset();
}

void TfrmMain::RegisterCursors() {
    HINSTANCE module = GetModuleHandleA(nullptr);
    m_Cursors.Register(crMove, ui::LoadCursorForDpi(module, IDR_CURSOR_MOVE, m_nDpi));
    m_Cursors.Register(crCrop, ui::LoadCursorForDpi(module, IDR_CURSOR_CROP, m_nDpi));
}

void TfrmMain::DpiChanged(int nDpi, const RECT& suggested) {
    if (nDpi <= 0)
        return;
    const int nOldDpi = std::exchange(m_nDpi, nDpi);
    if (nOldDpi != nDpi) {
        ApplyDpi(nOldDpi);
        if (m_bInitialised)
            RegisterCursors();
    }
    // The system's rectangle keeps the window under the mouse on the new
    // screen, at the size the new scale asks.
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SplitterMoved(); // the view's size changed: its crop box follows
}

void TfrmMain::FormDestroy() {
    CloseHelpFile();
}

void TfrmMain::SplitterMoved() {
    if (m_pImageCtrl)
        m_pImageCtrl->PlaceCropBox();
}

void TfrmMain::ArrangeControls() {
    if (!Handle())
        return;
    m_Layout.Arrange(Handle());
    StatusBarResize();
}

LRESULT TfrmMain::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CROPSTATUS:
        UpdateStatusBar(reinterpret_cast<const TStatusData*>(lp));
        return 0;
    case WM_READAHEAD:
        // The picture shown from its reduced read is whole now: shown
        // sharp, turned as the user turned it meanwhile, then the neighbour
        // is read ahead.
        if (m_pPictures && !m_bClosed && m_pPictures->ReadAheadDone(static_cast<uint32_t>(wp))) {
            m_pImageCtrl->PictureChanged();
            if (m_nRotation != -1)
                ScheduleTurn();
            ScheduleReadAhead();
        }
        return 0;
    case WM_FINISHTURN:
        if (m_pPictures && !m_bClosed)
            FinishTurn();
        return 0;
    case WM_STARTREADAHEAD:
        m_bReadAheadPosted = false;
        if (m_pPictures && !m_bClosed)
            ReadAheadNeighbour();
        return 0;
    case WM_MENUSELECT:
        m_Hints.MenuSelect(wp, lp);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lp);
        info->ptMinTrackSize = POINT{Px(kMinWidth), Px(kMinHeight)};
        return 0;
    }
    case kDpiChanged:
        DpiChanged(LOWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_SHOWWINDOW:
        if (wp)
            FormShow();
        return DefaultHandling(msg, wp, lp);
    case WM_CLOSE:
        FormClose();
        DestroyWindow(Handle());
        return 0;
    case WM_DESTROY:
        FormDestroy();
        PostQuitMessage(0);
        return 0;
    default:
        return Window::HandleMessage(msg, wp, lp);
    }
}

bool TfrmMain::OnSize(int, int) {
    ArrangeControls();
    return true;
}

bool TfrmMain::OnCommand(const ui::TCommand& command) {
    // Menus, shortcuts and tool buttons.
    if (!command.control || command.control == ToolBarWnd) {
        RunCommand(command.id);
        return true;
    }
    if (command.control == btnSource && command.code == BN_CLICKED) {
        btnSourceClick();
        return true;
    }
    return false;
}

LRESULT TfrmMain::OnNotify(NMHDR& header) {
    if (header.hwndFrom == tvImages)
        return OnTreeNotify(header);
    if (header.code == TTN_GETDISPINFOA) {
        m_sToolTip = ToolTipOf(static_cast<unsigned>(header.idFrom));
        reinterpret_cast<NMTTDISPINFOA&>(header).lpszText = m_sToolTip.data();
    }
    return 0;
}

bool TfrmMain::OnContextMenu(const ui::TContextMenu& menu) {
    if (menu.window != ToolBarWnd)
        return false;
    ShowToolbarPopup(menu.screen);
    return true;
}
