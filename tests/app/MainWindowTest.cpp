// The real main window under Wine, in the test process: first start and
// restart, the tree and its order, next and previous, rotation, and Copy
// Image with its file-name modes, refusals and failures. Message boxes and
// the save dialog are answered from a second thread, as a person would.
#include "MainWindowSession.h"

#include "app/CommandIds.h"
#include "harness/Answer.h"
#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "settings/Config.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr const char* kPhoto = "jpeg_baseline_420.jpg"; // 160 x 120

using harness::Answer;

bool ButtonHidden(HWND toolbar, unsigned nId) {
    return SendMessageA(toolbar, TB_ISBUTTONHIDDEN, nId, 0) != 0;
}

SIZE ButtonSize(HWND toolbar) {
    const DWORD size = static_cast<DWORD>(SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0));
    return SIZE{LOWORD(size), HIWORD(size)};
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(MainWindow, FirstStartAndRestartKeepWindowToolbarAndSettings) {
    MainWindowSession s;
    s.AddPicture(kPhoto, "a.jpg");
    TfrmMain& f = s.Start();
    ASSERT_TRUE(f.Initialised());
    // No configuration file: maximised, restoring to 500 x 400 in the
    // middle of the 1280 x 1024 screen; the list pane at its minimum.
    EXPECT_TRUE(IsZoomed(f.Handle()));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(f.Handle(), &placement);
    EXPECT_EQ(placement.rcNormalPosition.left, 390);
    EXPECT_EQ(placement.rcNormalPosition.top, 312);
    EXPECT_EQ(placement.rcNormalPosition.right - placement.rcNormalPosition.left, 500);
    EXPECT_EQ(placement.rcNormalPosition.bottom - placement.rcNormalPosition.top, 400);
    RECT list{};
    GetWindowRect(f.ListPanel(), &list);
    EXPECT_EQ(list.right - list.left, 120);
    // Every button but Enlargement, with captions.
    EXPECT_TRUE(ButtonHidden(f.ToolBar(), cmdEnlargement));
    for (unsigned nId : {cmdProperties, cmdRotateRight, cmdSnapRatio, cmdCopy, cmdHelp})
        EXPECT_FALSE(ButtonHidden(f.ToolBar(), nId)) << nId;
    EXPECT_EQ(ButtonSize(f.ToolBar()).cy, 36);

    // Captions off, a maximum set and swapped: all of it survives a restart.
    f.Properties()->m_nMaxWidth = 1024;
    f.Properties()->m_nMaxHeight = 768;
    s.Command(cmdPopulate);
    s.Command(cmdShowCaptions);
    EXPECT_EQ(ButtonSize(f.ToolBar()).cx, 24);
    EXPECT_EQ(ButtonSize(f.ToolBar()).cy, 24);
    s.Command(cmdInvertRatio);
    EXPECT_EQ(f.StatusText(1), " ratio = 3 : 4");
    s.Close();

    {
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config && config->IsOpen());
        TWinPos pos;
        EXPECT_TRUE(config->ReadWinPos(ckMainWindow, pos));
        EXPECT_EQ((std::vector<int32_t>{pos.m_nLeft, pos.m_nTop, pos.m_nWidth, pos.m_nHeight,
                                        pos.m_nPanelWidth, pos.m_bMaximized}),
                  (std::vector<int32_t>{390, 312, 500, 400, 120, 1}));
        EXPECT_EQ(config->ReadToolbarFlags(), 0x37FFu & ~0x0200u);
        TProperties stored("", "");
        EXPECT_TRUE(config->ReadProperties(stored));
        EXPECT_EQ(std::string(stored.m_szSourceFolder), s.SourceFolder());
        EXPECT_EQ(std::string(stored.m_szTargetFolder), s.CopyFolder());
        EXPECT_EQ(stored.m_nMaxWidth, 768);
        EXPECT_EQ(stored.m_nMaxHeight, 1024);
    }

    TfrmMain& again = s.Start();
    EXPECT_TRUE(IsZoomed(again.Handle()));
    EXPECT_EQ(ButtonSize(again.ToolBar()).cy, 24);
    EXPECT_EQ(again.Properties()->m_nMaxWidth, 768);
    EXPECT_EQ(again.StatusText(1), " ratio = 3 : 4");
}

// Closing frees the view before the window is destroyed; a resize in
// between must still lay out the controls that are left.
TEST(MainWindow, ResizeAfterTheViewWasFreedArrangesTheRest) {
    MainWindowSession s;
    s.AddPicture(kPhoto, "a.jpg");
    TfrmMain& f = s.Start();
    static WNDPROC s_original = nullptr;
    static int s_statusWidth = -1;
    static int s_clientWidth = 0;
    s_statusWidth = -1;
    s_original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        f.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
            if (msg == WM_DESTROY) {
                RECT r{};
                GetWindowRect(hwnd, &r);
                SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left + 37, r.bottom - r.top + 11,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                GetClientRect(hwnd, &r);
                s_clientWidth = r.right;
                HWND status = FindWindowExA(hwnd, nullptr, STATUSCLASSNAMEA, nullptr);
                RECT bar{};
                if (status && GetWindowRect(status, &bar))
                    s_statusWidth = bar.right - bar.left;
            }
            return CallWindowProcA(s_original, hwnd, msg, wp, lp);
        })));
    s.Close();
    EXPECT_GT(s_clientWidth, 0);
    EXPECT_EQ(s_statusWidth, s_clientWidth);
}

TEST(MainWindow, TreeListsImageFilesByNameAndAttributeOnly) {
    MainWindowSession s;
    s.AddPicture(kPhoto, "a.JPG");
    s.AddPicture("tiff_lzw.tif", "b.tiff");
    s.AddPicture(kPhoto, "c.txt");
    s.AddPicture(kPhoto, "d.jpg");
    SetFileAttributesA((s.SourceFolder() + "\\d.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryA((s.SourceFolder() + "\\e.png").c_str(), nullptr);

    TfrmMain& f = s.Start();
    EXPECT_EQ(s.TreeTexts(), (std::vector<std::string>{"Pictures", "a.JPG", "b.tiff", "e.png"}));
    EXPECT_EQ(s.SelectedText(), "a.JPG");
    EXPECT_EQ(GetFocus(), f.Tree());
    EXPECT_EQ(f.StatusText(3), " source = 160 x 120");

    // A folder named like an image is listed but cannot be shown: the view
    // keeps its picture, the status bar is reset.
    s.Select("e.png");
    EXPECT_TRUE(f.ImageCtrl()->HasPicture());
    EXPECT_EQ(f.StatusText(3), " source = 0 x 0");
    // The folder entry cannot be selected.
    TreeView_SelectItem(f.Tree(), TreeView_GetRoot(f.Tree()));
    EXPECT_EQ(s.SelectedText(), "e.png");
}

TEST(MainWindow, TreeKeepsItsOwnAlphabeticalOrder) {
    const std::vector<std::string> names{"b.jpg",   "B2.jpg", "a10.jpg", "a9.jpg", "_u.jpg", "Z.jpg",
                                         "a-b.jpg", "ab.jpg", "A c.png", "~t.png", "0.bmp"};
    MainWindowSession s;
    for (const std::string& name : names)
        s.AddPicture(kPhoto, name);
    s.Start();
    const std::vector<std::string> listed = s.TreeTexts();

    // The tree view's own sorted insertion is the reference.
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    for (const std::string& name : names) {
        TVINSERTSTRUCTA insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_SORT;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<char*>(name.c_str());
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    }
    std::vector<std::string> sorted{"Pictures"};
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item))
        sorted.push_back(harness::TreeItemText(tree, item));
    DestroyWindow(tree);
    EXPECT_EQ(listed, sorted);
}

TEST(MainWindow, NextAndPreviousWrapAndRotationAddsUp) {
    MainWindowSession s;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        s.AddPicture(kPhoto, name);
    TfrmMain& f = s.Start();

    const struct {
        unsigned nCommand;
        const char* selected;
    } steps[] = {{cmdNextImage, "b.jpg"},
                 {cmdNextImage, "c.jpg"},
                 {cmdNextImage, "a.jpg"},
                 {cmdPrevImage, "c.jpg"},
                 {cmdPrevImage, "b.jpg"}};
    for (const auto& step : steps) {
        s.Command(step.nCommand);
        EXPECT_EQ(s.SelectedText(), step.selected) << step.nCommand;
    }

    // Right, right, left: one quarter clockwise; the view shows it turned.
    const struct {
        unsigned nCommand;
        int32_t rotation;
        int32_t width;
    } turns[] = {{cmdRotateRight, 0, 120},
                 {cmdRotateRight, 1, 160},
                 {cmdRotateLeft, 0, 120},
                 {cmdRotateLeft, -1, 160},
                 {cmdRotateUp, 1, 160}};
    for (const auto& turn : turns) {
        s.Command(turn.nCommand);
        EXPECT_EQ(f.Rotation(), turn.rotation) << turn.nCommand;
        EXPECT_EQ(f.StatusText(3), " source = " + std::to_string(turn.width) + " x " +
                                       std::to_string(turn.width == 160 ? 120 : 160));
    }
    // Another picture and back: unturned.
    s.Command(cmdNextImage);
    s.Command(cmdPrevImage);
    EXPECT_EQ(f.Rotation(), -1);
    EXPECT_EQ(f.StatusText(3), " source = 160 x 120");
}

TEST(MainWindow, CopyNamesTheFileByTheModeAndItsSourceName) {
    MainWindowSession s;
    s.AddPicture(kPhoto, "photo.JPEG");
    s.AddPicture("png_rgb8.png", "a.b.png");
    TfrmMain& f = s.Start();
    s.Select("photo.JPEG");
    f.Properties()->m_bAutoAdvance = false;
    const std::string copy = s.CopyFolder() + "\\photo.jpg";

    // Each row: the mode, whether a copy exists, the dialog's answer (0: no
    // dialog expected) and what the copy folder then holds.
    const struct {
        uint8_t mode;
        bool exists;
        int answer;
        const char* typed;
        const char* written;
    } cases[] = {
        {fmPromptOverwrite, false, 0, nullptr, "photo.jpg"},
        {fmPromptOverwrite, true, IDOK, nullptr, "photo.jpg"}, // replaced without a further question
        {fmNeverPrompt, true, 0, nullptr, "photo.jpg"},
        {fmAlwaysPrompt, false, IDCANCEL, nullptr, nullptr},
        {fmAlwaysPrompt, false, IDOK, "other.jpg", "other.jpg"},
    };
    for (const auto& c : cases) {
        DeleteFileA(copy.c_str());
        DeleteFileA((s.CopyFolder() + "\\other.jpg").c_str());
        if (c.exists) {
            CopyFileA((s.SourceFolder() + "\\a.b.png").c_str(), copy.c_str(), FALSE);
            SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        f.Properties()->m_nFilenameMode = c.mode;
        std::unique_ptr<Answer> answer;
        if (c.answer)
            answer = std::make_unique<Answer>(c.answer, c.typed ? c.typed : "");
        s.Command(cmdCopy);
        if (answer) {
            EXPECT_TRUE(answer->Seen()) << int(c.mode);
            EXPECT_EQ(answer->FileName(), "photo.jpg") << int(c.mode);
        }
        if (c.written) {
            EXPECT_EQ(ReadPictureSize(s.CopyFolder() + "\\" + c.written), (PictureSize{160, 120}))
                << int(c.mode);
        } else {
            EXPECT_FALSE(FileExists(copy)) << int(c.mode);
        }
    }

    // The name is the entry's with its last extension replaced.
    f.Properties()->m_nFilenameMode = fmNeverPrompt;
    s.Select("a.b.png");
    s.Command(cmdCopy);
    EXPECT_EQ(ReadPictureSize(s.CopyFolder() + "\\a.b.jpg"), (PictureSize{160, 120}));
}

TEST(MainWindow, CopyRefusesAndReportsWhatItCannotDo) {
    MainWindowSession s;
    s.AddPicture(kPhoto, "a.jpg");
    s.AddPicture(kPhoto, "b.jpg");
    TfrmMain& f = s.Start();
    TProperties& p = *f.Properties();
    p.m_nFilenameMode = fmNeverPrompt;

    // Folders that differ only in letter case are the same folder.
    std::string upper = s.SourceFolder();
    CharUpperA(upper.data());
    p.SetTargetFolder(upper.c_str());
    {
        Answer box(IDOK);
        s.Command(cmdCopy);
        EXPECT_EQ(box.Text(), "The source and target folders must be different.");
    }

    // A missing copy folder is created with its parents after Yes.
    const std::string nested = s.CopyFolder() + "\\new\\deeper";
    p.SetTargetFolder(nested.c_str());
    {
        Answer box(IDYES);
        s.Command(cmdCopy);
        EXPECT_EQ(box.Text(), "The target folder does not exist:\n\n" + nested + "\n\nCreate target folder?");
    }
    EXPECT_EQ(ReadPictureSize(nested + "\\a.jpg"), (PictureSize{160, 120}));
    // Auto advance moved on to b.jpg; copying the last wraps to the first.
    EXPECT_EQ(s.SelectedText(), "b.jpg");
    s.Command(cmdCopy);
    EXPECT_EQ(s.SelectedText(), "a.jpg");

    // A copy that cannot be written is reported with the system's reason,
    // and the selection stays.
    SetFileAttributesA((nested + "\\a.jpg").c_str(), FILE_ATTRIBUTE_READONLY);
    {
        Answer box(IDOK);
        s.Command(cmdCopy);
        EXPECT_EQ(box.Text().rfind("Failure to write the copy:\n\n" + nested + "\\a.jpg\n\n", 0), 0u)
            << box.Text();
        EXPECT_GT(box.Text().size(), ("Failure to write the copy:\n\n" + nested + "\\a.jpg\n\n").size());
    }
    EXPECT_EQ(s.SelectedText(), "a.jpg");
    SetFileAttributesA((nested + "\\a.jpg").c_str(), FILE_ATTRIBUTE_NORMAL);

    // The save dialog may name any file, but never a listed source image.
    p.m_nFilenameMode = fmAlwaysPrompt;
    const std::string original = s.SourceFolder() + "\\b.jpg";
    WIN32_FILE_ATTRIBUTE_DATA before{};
    GetFileAttributesExA(original.c_str(), GetFileExInfoStandard, &before);
    {
        Answer answers({{IDOK, original}, {IDOK, ""}});
        s.Command(cmdCopy);
        harness::PumpUntil([&] { return answers.Seen(1); });
        EXPECT_TRUE(answers.Seen(0));
        EXPECT_EQ(answers.Text(1), "The copy would replace a source image:\n\n" + original +
                                       "\n\nChoose another name or folder for the copy.");
    }
    WIN32_FILE_ATTRIBUTE_DATA after{};
    GetFileAttributesExA(original.c_str(), GetFileExInfoStandard, &after);
    EXPECT_EQ(CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime), 0);
}

TEST(MainWindow, CopyHasTheSizeTheStatusBarPromised) {
    MainWindowSession s;
    s.AddPicture("png_rgb8.png", "a.png"); // 160 x 120
    TfrmMain& f = s.Start();
    TProperties& p = *f.Properties();
    p.m_nMaxWidth = 100;
    p.m_nMaxHeight = 50;
    p.m_nFilenameMode = fmNeverPrompt;
    s.Command(cmdPopulate);
    // A box over the middle of the picture, the mouse then resting inside it.
    HWND view = f.ImageCtrl()->Handle();
    RECT client{};
    GetClientRect(view, &client);
    const int x0 = client.right / 3, y0 = client.bottom / 3, x1 = client.right * 2 / 3, y1 = client.bottom * 2 / 3;
    SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(x0, y0));
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, y0));
    SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x1, y1));
    SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(x1, y1));
    SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM((x0 + x1) / 2, (y0 + y1) / 2));
    int w = 0, h = 0;
    ASSERT_EQ(sscanf(f.StatusText(4).c_str(), " copy = %d x %d", &w, &h), 2) << f.StatusText(4);
    EXPECT_EQ(f.StatusText(1), " ratio = 2 : 1");
    EXPECT_EQ(f.StatusText(2), " maximum = 100 x 50");
    EXPECT_NE(f.StatusText(0), " crop: (0, 0) -> (0, 0) = (0 x 0)");
    s.Command(cmdCopy);
    EXPECT_EQ(ReadPictureSize(s.CopyFolder() + "\\a.jpg"), (PictureSize{w, h}));
}
