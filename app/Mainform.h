// The main window: the tool bar, the list pane with the source folder button
// and the image tree, the splitter, the image view and the status bar, with
// the menus and the commands bound to them. It owns the settings record, the
// image object and the image view for its whole life; the configuration
// file is opened only while the window starts and while it closes.
//
// The window's work is split by topic: construction, start-up and closing
// here (Mainform.cpp), the control tree (MainformControls.cpp), the tree and
// navigation (ImageTree.cpp), Copy Image (CopyImage.cpp), the commands and
// tool bar (Commands.cpp), and the status bar (StatusBar.cpp).
#pragma once

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
#include <string>
#include <vector>

class TdlgAbout;

// Owns an image list.
class UniqueImageList {
public:
    explicit UniqueImageList(HIMAGELIST h = nullptr) : m_h(h) {}
    ~UniqueImageList() {
        if (m_h)
            ImageList_Destroy(m_h);
    }
    UniqueImageList(const UniqueImageList&) = delete;
    UniqueImageList& operator=(const UniqueImageList&) = delete;
    HIMAGELIST Get() const { return m_h; }
    void Reset(HIMAGELIST h = nullptr) {
        if (m_h)
            ImageList_Destroy(m_h);
        m_h = h;
    }

private:
    HIMAGELIST m_h;
};

// Owns a menu that is not attached to a window (a pop-up).
class UniqueMenu {
public:
    explicit UniqueMenu(HMENU h = nullptr) : m_h(h) {}
    ~UniqueMenu() {
        if (m_h)
            DestroyMenu(m_h);
    }
    UniqueMenu(const UniqueMenu&) = delete;
    UniqueMenu& operator=(const UniqueMenu&) = delete;
    HMENU Get() const { return m_h; }
    void Reset(HMENU h = nullptr) {
        if (m_h)
            DestroyMenu(m_h);
        m_h = h;
    }

private:
    HMENU m_h;
};

class TfrmMain : public ui::Window {
public:
    // Design size of the client area and the smallest window.
    static constexpr int kDesignClientWidth = 1074;
    static constexpr int kDesignClientHeight = 522;
    static constexpr int kMinWidth = 500;
    static constexpr int kMinHeight = 400;
    static constexpr int kListMinWidth = 120;
    // Posted by the read-ahead when a picture arrived; wParam is its handle.
    static constexpr UINT WM_READAHEAD = WM_APP + 1002;
    // Posted to itself: the read-ahead starts once the command that showed
    // a picture has finished.
    static constexpr UINT WM_STARTREADAHEAD = WM_APP + 1003;

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
    TProperties* Properties() const { return m_pProperties.get(); }
    const CImage* Image() const { return m_pImage.get(); }
    CPictureCache* Pictures() const { return m_pPictures.get(); }
    const ui::TCommandList& Commands() const { return m_Commands; }
    std::string StatusText(int panel) const;
    int32_t Rotation() const { return m_nRotation; }
    bool Initialised() const { return m_bInitialised; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // --- Lifecycle (Mainform.cpp) ----------------------------------------
    void FormShow();
    void InitialiseWindow();
    void ReadWindowState();
    void FormClose();
    void FormDestroy();
    void SplitterMoved();
    void ArrangeControls();

    // --- Controls (MainformControls.cpp) ---------------------------------
    bool CreateControls();
    bool CreateToolBar();
    bool CreateListPane();
    void CreateMenus();
    void LoadPictures();
    void ApplyFont(HWND control) const;
    void SetToolBarHeight();
    int CaptionButtonWidth(const std::vector<std::string>& captions) const;

    // --- Tree and navigation (ImageTree.cpp) -----------------------------
    void PopulateTree();
    std::string SelectedImagePath() const;
    bool LoadSelectedImage(bool bShow);
    void ShowImageBitmap();
    void RotateImage(int32_t nCode);
    void SelectNextImage();
    void SelectPrevImage();
    // Reads the neighbour of the selected entry in the direction of travel
    // while the user looks at the picture (ScheduleReadAhead: once the
    // current command has finished).
    void ReadAheadNeighbour();
    void ScheduleReadAhead();
    // Clears the view, keeping its bitmap's memory for the next picture.
    void ClearView();
    // The text (file name) of a tree entry.
    std::string ItemText(HTREEITEM hItem) const;
    // The entry of the folder's last picture, nullptr when it has none.
    HTREEITEM LastImageItem() const;
    void btnSourceClick();
    bool tvImagesChanging(HTREEITEM hItem) const;
    void tvImagesChange();
    LRESULT OnTreeNotify(NMHDR* pHeader);

    // --- Copy Image (CopyImage.cpp) --------------------------------------
    void actCopyExecute();
    bool ChooseCopyPath(const std::string& sFolder, const std::string& sName, std::string& sPath);
    bool IsListedSourceImage(const std::string& sPath) const;

    // --- Commands and tool bar (Commands.cpp) ----------------------------
    void OnCommand(unsigned nId);
    void UpdateCommands();
    void UpdateDividers();
    void actSnapRatioExecute();
    void actMaxSizeExecute();
    void actEnlargementExecute();
    void actInvertRatioExecute();
    void actPrevRectExecute();
    void actAutoAdvanceExecute();
    void actPropertiesExecute();
    void actShowButtonExecute(unsigned nShowCommand);
    void ActShowAllTbbExecute();
    void actShowCaptionsExecute();
    void actShowToolbarExecute();
    void SetButtonVisible(unsigned nButtonCommand, bool bVisible);
    void ApplyToolbarFlags(ToolbarFlags nFlags);
    ToolbarFlags CurrentToolbarFlags() const;
    void ShowToolbarPopup(LPARAM lp);

    // --- Status bar (StatusBar.cpp) --------------------------------------
    void UpdateStatusBar(const TStatusData* pData);
    void UpdateRatioPanel();
    void ResetStatus();
    void StatusBarResize();
    void AppHint(const std::string& sHint);
    void SetStatusText(int nPanel, const std::string& sText);

    // --- State -----------------------------------------------------------
    bool m_bInitialised = false;
    bool m_bPopulating = false;
    bool m_bHasImages = false;
    bool m_bClosed = false;         // FormClose ran: no command runs any more
    bool m_bStartMaximised = false; // shown maximised the first time
    int32_t m_nRotation = -1;
    int m_nDirection = 1; // of travel: 1 down the list, -1 up
    bool m_bReadAheadPosted = false;
    ui::UniqueBitmap m_SpareBitmap; // the bitmap last shown, while the view shows none
    std::string m_sFolder;
    std::unique_ptr<TImageCtrl> m_pImageCtrl;
    std::unique_ptr<CImage> m_pImage;
    std::unique_ptr<CPictureCache> m_pPictures; // what m_pImage holds, and the read-ahead
    std::unique_ptr<TProperties> m_pProperties;
    int32_t m_nStatusPanelWidth = 130;
    int m_nCaptionButtonWidth = 67; // tool buttons with captions
    TdlgAbout* m_pAbout = nullptr;

    // --- Controls ----------------------------------------------------------
    ui::TAlignedLayout m_Layout;
    HWND ToolBarWnd = nullptr;
    ui::TPanel pnlList;
    ui::TPanel pnlChangeList;
    HWND lblSource = nullptr;
    HWND btnSource = nullptr;
    HWND tvImages = nullptr;
    ui::TSplitter Splitter;
    HWND StatusBarWnd = nullptr;
    HMENU MainMenu = nullptr; // attached to the window, destroyed with it
    UniqueMenu ImagePopup;
    UniqueMenu ToolbarPopup;
    ui::TCommandList m_Commands;
    ui::UniqueAccelerators m_Accelerators;
    ui::THintTracker m_Hints;
    ui::TCursorList m_Cursors;
    ui::UniqueFont m_Font;
    ui::UniqueBitmap m_GlyphStrip;  // the command glyphs for menus
    ui::UniqueBitmap m_FolderGlyph; // btnSource's picture on the button face
    UniqueImageList ImageList;
    UniqueImageList tvImageList;
    HICON m_hIcon = nullptr; // shared, from LoadIcon
};
