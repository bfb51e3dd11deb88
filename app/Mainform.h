// The main window: the tool bar, the list pane with the source folder button
// and the image tree, the splitter, the image view and the status bar, with
// the menus and the commands bound to them. Its facts (the settings, the
// tool bar word, the image list) live in one plain state object that the
// handlers change and the controls show; it owns that state, the image
// object and the image view for its whole life. The configuration file is
// opened only while the window starts and while it closes.
//
// The window's work is split by topic: construction, start-up and closing
// here (Mainform.cpp), the control tree (MainformControls.cpp), the tree and
// navigation (ImageTree.cpp), Copy Image (CopyImage.cpp), the commands and
// what they derive (Commands.cpp), and the status bar (StatusBar.cpp). A new
// command is one row of app/CommandRows.h and its handler here.
#pragma once

#include "app/MainState.h"
#include "app/PictureCache.h"
#include "imaging/Cimage.h"
#include "settings/Properties.h"
#include "ui/AlignedLayout.h"
#include "ui/CommandList.h"
#include "ui/Cursors.h"
#include "ui/Handles.h"
#include "ui/Hints.h"
#include "ui/MessageLoop.h"
#include "ui/Panel.h"
#include "ui/Splitter.h"
#include "ui/Window.h"
#include "view/ImageCtrl.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class TdlgAbout;

class TfrmMain : public ui::Window {
public:
    // Design size of the client area and the smallest window, in pixels at
    // 96 DPI; a window on a screen of another scale takes them scaled.
    static constexpr int kDesignClientWidth = 1074;
    static constexpr int kDesignClientHeight = 522;
    static constexpr int kMinWidth = 500;
    static constexpr int kMinHeight = 400;
    static constexpr int kListMinWidth = 120;
    static constexpr int kSplitterWidth = 8;
    static constexpr int kSplitterRestMinWidth = 30; // what the splitter leaves the view
    // Posted by the read-ahead when a picture arrived; wParam is its handle.
    static constexpr UINT WM_READAHEAD = WM_APP + 1002;
    // Posted to itself: the read-ahead starts once the command that showed
    // a picture has finished.
    static constexpr UINT WM_STARTREADAHEAD = WM_APP + 1003;
    // Posted to itself: the picture is turned as the user turned it, once
    // the view shows the turn.
    static constexpr UINT WM_FINISHTURN = WM_APP + 1004;

    TfrmMain();
    ~TfrmMain() override;

    // Builds the window and its controls, hidden (the construction steps).
    // False when the system refused a window. `pAbout` is the about dialog
    // (not owned; may be null).
    bool Create(TdlgAbout* pAbout = nullptr);
    // The first show: FormShow, then the window appears (maximised when so
    // stored). Nothing appears when the start-up failed and closed it.
    void Show(int nCmdShow);
    // How the program's message loop treats this window's messages.
    ui::TMessageLoop MessageLoop();

    // --- For tests and the entry point -----------------------------------
    HWND Tree() const { return tvImages; }
    HWND StatusBar() const { return StatusBarWnd; }
    HWND ToolBar() const { return ToolBarWnd; }
    HWND ListPanel() const { return pnlList.Handle(); }
    HWND SourceButton() const { return btnSource; }
    HMENU ImagePopupMenu() const { return ImagePopup.Get(); }
    HMENU ToolbarPopupMenu() const { return ToolbarPopup.Get(); }
    TImageCtrl* ImageCtrl() const { return m_pImageCtrl.get(); }
    TProperties* Properties() const { return m_pState ? &m_pState->Settings() : nullptr; }
    const CImage* Image() const { return m_pImage.get(); }
    CPictureCache* Pictures() const { return m_pPictures.get(); }
    const ui::TCommandList& Commands() const { return m_Commands; }
    std::string StatusText(int panel) const;
    int32_t Rotation() const { return m_nRotation; }
    bool Initialised() const { return m_bInitialised; }
    // The screen scale the window is laid out for (dots per inch).
    int Dpi() const { return m_nDpi; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnSize(int width, int height) override;
    bool OnCommand(const ui::TCommand& command) override;
    bool OnContextMenu(const ui::TContextMenu& menu) override;
    LRESULT OnNotify(NMHDR& header) override;

private:
    // --- Lifecycle (Mainform.cpp) ----------------------------------------
    void FormShow();
    void InitialiseWindow();
    void ReadWindowState();
    void FormClose();
    void FormDestroy();
    void SplitterMoved();
    void ArrangeControls();
    // The view's two cursors, drawn for the window's scale.
    void RegisterCursors();
    // WM_DPICHANGED: the window moved to a screen of another scale.
    void DpiChanged(int nDpi, const RECT& suggested);

    // --- Controls (MainformControls.cpp) ---------------------------------
    bool CreateControls();
    bool CreateToolBar();
    bool CreateListPane();
    void CreateMenus();
    void FillMenu(HMENU menu, TMenu which);
    void LoadPictures();
    // Every size, font and picture of the control tree for the window's
    // scale: once the controls exist, and again when the window moves to a
    // screen of another scale (`nOldDpi`: the scale the list pane's width
    // was set at, 0 for none).
    void ApplyDpi(int nOldDpi);
    // A size designed at 96 DPI for the window's scale.
    int Px(int nDesign) const;
    void ApplyFont(HWND control) const;
    void SetToolBarHeight();
    int CaptionButtonWidth(const std::vector<std::string>& captions) const;

    // --- Tree and navigation (ImageTree.cpp) -----------------------------
    void PopulateTree();
    std::string SelectedImagePath() const;
    bool LoadSelectedImage(bool bShow);
    void ShowImageBitmap();
    void RotateImage(int32_t nCode);
    // Next (1) or Previous (-1), round the end.
    void SelectStep(int nDirection);
    // Reads the neighbour of the selected entry in the direction of travel
    // while the user looks at the picture (ScheduleReadAhead: once the
    // current command has finished).
    void ReadAheadNeighbour();
    void ScheduleReadAhead();
    void ScheduleTurn();
    void FinishTurn();
    // Clears the view, keeping its bitmap's memory for the next picture.
    void ClearView();
    void btnSourceClick();
    bool tvImagesChanging(HTREEITEM hItem) const;
    // The selection moved to `hItem` (null: none), the entry of picture
    // `nImage` (kFolderEntry: the folder's entry).
    void tvImagesChange(HTREEITEM hItem, LPARAM nImage);
    LRESULT OnTreeNotify(NMHDR& header);

    // --- Copy Image (CopyImage.cpp) --------------------------------------
    bool ChooseCopyPath(const std::string& sFolder, const std::string& sName, std::string& sPath);
    bool IsListedSourceImage(const std::string& sPath) const;

    // --- Commands (Commands.cpp) -----------------------------------------
    void RunCommand(unsigned nId);
    // The member that runs a command; null for one that only flips its bit
    // of the tool bar word.
    using THandler = void (TfrmMain::*)();
    static THandler HandlerOf(unsigned nId);
    // Every check mark, enabled state, tool button and view setting from
    // the state: after every fill, selection and command, and once the
    // properties dialog closed with OK. After a command the availability
    // stays as it was last derived (`bAvailability` false): it changes only
    // with the picture shown, the list and the maximum sizes, each of which
    // derives it again, so a switch run before then may still refuse.
    void UpdateCommands(bool bAvailability = true);
    // The tool bar word on the tool bar: buttons, dividers, captions and the
    // tool bar itself.
    void ShowToolbarWord();
    void ShowCaptions(bool bCaptions);
    // The one place the view takes the settings: hands over the state's crop
    // settings when they differ from the view's (SyncViewSettings), then
    // does what the last command asked of the view.
    void ApplySettingsToView();
    void SyncViewSettings();
    void FlipSwitch(SizeSwitch which, int nRefusal);
    void ShowToolbarPopup(POINT at);

    // The handlers named in app/CommandRows.h.
    void actExitExecute();
    void actHelpExecute();
    void actAboutExecute();
    void actRotateRightExecute();
    void actRotateLeftExecute();
    void actRotateUpExecute();
    void actCopyExecute();
    void actNextImageExecute();
    void actPrevImageExecute();
    void actPropertiesExecute();
    void actSnapRatioExecute();
    void actMaxSizeExecute();
    void actEnlargementExecute();
    void actInvertRatioExecute();
    void actPrevRectExecute();
    void actAutoAdvanceExecute();
    void ActShowAllTbbExecute();

    // --- Status bar (StatusBar.cpp) --------------------------------------
    void UpdateStatusBar(const TStatusData* pData);
    void UpdateRatioPanel();
    void ResetStatus();
    void StatusBarResize();
    void AppHint(const std::string& sHint);
    void SetStatusText(int nPanel, const std::string& sText);

    // --- State -----------------------------------------------------------
    std::unique_ptr<TMainState> m_pState;
    bool m_bInitialised = false;
    bool m_bPopulating = false;
    bool m_bClosed = false;         // FormClose ran: no command runs any more
    bool m_bStartMaximised = false; // shown maximised the first time
    int32_t m_nRotation = -1;
    bool m_bReadAheadPosted = false;
    bool m_bTurnPosted = false;
    TViewUpdate m_ViewUpdate = TViewUpdate::None; // asked by the last command
    std::optional<ToolbarFlags> m_ShownWord;      // on the tool bar now
    std::unique_ptr<TImageCtrl> m_pImageCtrl;
    std::unique_ptr<CImage> m_pImage;
    std::unique_ptr<CPictureCache> m_pPictures; // what m_pImage holds, and the read-ahead
    int m_nDpi = 96;
    int32_t m_nStatusPanelWidth = 130;
    int m_nCaptionButtonWidth = 67; // tool buttons with captions
    std::string m_sToolTip;         // the text a tool tip is showing
    TdlgAbout* m_pAbout = nullptr;

    // --- Controls ----------------------------------------------------------
    ui::TAlignedLayout m_Layout;
    HWND ToolBarWnd = nullptr;
    ui::TPanel pnlList;
    ui::TPanel pnlChangeList;
    HWND lblSource = nullptr;
    HWND btnSource = nullptr;
    HWND tvImages = nullptr;
    std::vector<HTREEITEM> m_TreeItems; // the entries of the image list, in its order
    ui::TSplitter Splitter;
    HWND StatusBarWnd = nullptr;
    HMENU MainMenu = nullptr; // attached to the window, destroyed with it
    ui::UniqueMenu ImagePopup;
    ui::UniqueMenu ToolbarPopup;
    ui::TCommandList m_Commands;
    ui::UniqueAccelerators m_Accelerators;
    ui::THintTracker m_Hints;
    ui::TCursorList m_Cursors; // owns the cursors drawn for the window's scale
    ui::UniqueFont m_Font;
    ui::UniqueBitmap m_GlyphStrip;  // the command glyphs for menus
    ui::UniqueBitmap m_FolderGlyph; // btnSource's picture on the button face
    ui::UniqueImageList ImageList;
    ui::UniqueImageList tvImageList;
    HICON m_hIcon = nullptr; // shared, from LoadIcon
};
