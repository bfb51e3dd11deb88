// The real shell folder dialog under Wine, driven from a second thread the
// way a person would: reading where it opened, picking items in its tree,
// pressing its buttons. And folder confirmation answered Yes and No.
#include "support/FolderDialog.h"
#include "support/Folders.h"
#include "support/Message.h"

#include "harness/TempFolder.h"
#include "harness/Dialogs.h"
#include "harness/Gui.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

namespace {
struct TreeView {
    HWND m_hTree;
    explicit TreeView(HWND dialog) : m_hTree(harness::FindDescendant(dialog, "SysTreeView32")) {}
    HTREEITEM Selected() const {
        return reinterpret_cast<HTREEITEM>(SendMessageA(m_hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    }
    HTREEITEM Parent(HTREEITEM item) const {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(m_hTree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM Root() const {
        return reinterpret_cast<HTREEITEM>(SendMessageA(m_hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    }
    std::string Text(HTREEITEM item) const { return harness::TreeItemText(m_hTree, item); }
    // Selects as a click would: the dialog hears of the change at once.
    void Select(HTREEITEM item) const {
        SendMessageA(m_hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
    HTREEITEM Child(HTREEITEM parent, const std::string& name) const {
        SendMessageA(m_hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
        return harness::FindTreeChild(m_hTree, parent, name);
    }
};

std::string LastName(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
bool Visible(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

// A plain top-level window to own the dialogs.
struct OwnerWindow {
    HWND m_hWnd;
    OwnerWindow()
        : m_hWnd(CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 700, 500,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~OwnerWindow() { DestroyWindow(m_hWnd); }
};

class FolderDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryA(m_temp.File("a").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(m_temp.File("b").c_str(), nullptr));
    }
    TMesgScope m_mesg;
    TempFolder m_temp;
};
} // namespace

TEST_F(FolderDialogTest, OpensAtTheGivenFolderCentredAndReturnsIt) {
    std::string folder = m_temp.File("a");
    std::string caption, selected, parent;
    bool okEnabled = false, newFolderShown = true, contextHelp = true;
    RECT frame{};
    harness::DialogAnswerer answer([&](HWND dialog) {
        TreeView tree(dialog);
        caption = harness::WindowText(dialog);
        selected = tree.Text(tree.Selected());
        parent = tree.Text(tree.Parent(tree.Selected()));
        okEnabled = Enabled(dialog, IDOK);
        newFolderShown = Visible(dialog, kBrowseNewFolderId);
        contextHelp = (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_CONTEXTHELP) != 0;
        GetWindowRect(dialog, &frame);
        harness::PressButton(dialog, IDOK);
    });
    ASSERT_TRUE(SelectFolder(nullptr, "Select Source Folder", folder, false));
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(caption, "Select Source Folder");
    EXPECT_EQ(selected, "a");
    EXPECT_EQ(parent, LastName(m_temp.Path()));
    EXPECT_TRUE(okEnabled);
    EXPECT_FALSE(newFolderShown);
    EXPECT_FALSE(contextHelp);
    EXPECT_EQ(frame.left, GetSystemMetrics(SM_CXSCREEN) / 2 - (frame.right - frame.left) / 2);
    EXPECT_EQ(frame.top, GetSystemMetrics(SM_CYSCREEN) / 2 - (frame.bottom - frame.top) / 2);
    EXPECT_EQ(lstrcmpiA(folder.c_str(), m_temp.File("a").c_str()), 0) << folder;
}

TEST_F(FolderDialogTest, ReturnsTheFolderTheUserPicksAndIsModalToItsOwner) {
    OwnerWindow owner;
    std::string folder = m_temp.File("a");
    HWND dialogOwner = nullptr;
    bool ownerEnabled = true;
    RECT frame{};
    harness::DialogAnswerer answer([&](HWND dialog) {
        TreeView tree(dialog);
        GetWindowRect(dialog, &frame);
        dialogOwner = GetWindow(dialog, GW_OWNER);
        ownerEnabled = IsWindowEnabled(owner.m_hWnd) != FALSE;
        tree.Select(tree.Child(tree.Parent(tree.Selected()), "b"));
        harness::PressButton(dialog, IDOK);
    });
    ASSERT_TRUE(SelectFolder(owner.m_hWnd, "Select Copy Folder", folder, true));
    EXPECT_EQ(dialogOwner, owner.m_hWnd);
    EXPECT_FALSE(ownerEnabled);
    // Centred on the screen, not on the owner (which sits near the corner).
    EXPECT_EQ(frame.left, GetSystemMetrics(SM_CXSCREEN) / 2 - (frame.right - frame.left) / 2);
    EXPECT_EQ(frame.top, GetSystemMetrics(SM_CYSCREEN) / 2 - (frame.bottom - frame.top) / 2);
    EXPECT_EQ(lstrcmpiA(folder.c_str(), m_temp.File("b").c_str()), 0) << folder;
}

TEST_F(FolderDialogTest, RemovedFolderDisablesOkAndNewFolderAndCancelKeepsTheFolder) {
    const std::string start = m_temp.File("a");
    std::string folder = start;
    bool shownAtStart = false, okOnA = false, newOnA = false, okOnB = true, newOnB = true, okBack = false;
    harness::DialogAnswerer answer([&](HWND dialog) {
        TreeView tree(dialog);
        shownAtStart = Visible(dialog, kBrowseNewFolderId);
        okOnA = Enabled(dialog, IDOK);
        newOnA = Enabled(dialog, kBrowseNewFolderId);
        const HTREEITEM a = tree.Selected();
        const HTREEITEM b = tree.Child(tree.Parent(a), "b");
        RemoveDirectoryA(m_temp.File("b").c_str());
        tree.Select(b);
        okOnB = Enabled(dialog, IDOK);
        newOnB = Enabled(dialog, kBrowseNewFolderId);
        tree.Select(a);
        okBack = Enabled(dialog, IDOK);
        harness::PressButton(dialog, IDCANCEL);
    });
    EXPECT_FALSE(SelectFolder(nullptr, "Select Copy Folder", folder, true));
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(shownAtStart);
    EXPECT_TRUE(okOnA);
    EXPECT_TRUE(newOnA);
    EXPECT_FALSE(okOnB);
    EXPECT_FALSE(newOnB);
    EXPECT_TRUE(okBack);
    EXPECT_EQ(folder, start);
}

TEST_F(FolderDialogTest, ItemWithoutAFileSystemPathDisablesOk) {
    std::string folder = m_temp.File("a");
    bool okOnComputer = true, okOnA = false;
    std::string computer;
    harness::DialogAnswerer answer([&](HWND dialog) {
        TreeView tree(dialog);
        const HTREEITEM a = tree.Selected();
        // The drive's parent: the computer, a virtual folder.
        HTREEITEM item = a;
        for (HTREEITEM up = tree.Parent(item); up && tree.Parent(up); up = tree.Parent(up))
            item = up;
        computer = tree.Text(item);
        tree.Select(item);
        okOnComputer = Enabled(dialog, IDOK);
        tree.Select(a);
        okOnA = Enabled(dialog, IDOK);
        harness::PressButton(dialog, IDCANCEL);
    });
    SelectFolder(nullptr, "", folder, false);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(computer, "My Computer");
    EXPECT_FALSE(okOnComputer);
    EXPECT_TRUE(okOnA);
}

TEST_F(FolderDialogTest, EmptyFolderOpensAtTheCurrentDirectory) {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(m_temp.File("b").c_str()));
    std::string folder, selected;
    harness::DialogAnswerer answer([&](HWND dialog) {
        selected = TreeView(dialog).Text(TreeView(dialog).Selected());
        harness::PressButton(dialog, IDOK);
    });
    const bool chosen = SelectFolder(nullptr, "Select Source Folder", folder, false);
    SetCurrentDirectoryA(previous);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(selected, "b");
    EXPECT_EQ(lstrcmpiA(folder.c_str(), m_temp.File("b").c_str()), 0) << folder;
}

TEST_F(FolderDialogTest, SpecialFolderNumbersGiveTheStartAndTheRoot) {
    char documents[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, documents, CSIDL_PERSONAL, FALSE));
    std::string rootText, selected;
    harness::DialogAnswerer answer([&](HWND dialog) {
        TreeView tree(dialog);
        rootText = tree.Text(tree.Root());
        selected = tree.Text(tree.Selected());
        harness::PressButton(dialog, IDOK);
    });
    char result[kBrowseMinResultChars];
    ASSERT_TRUE(BrowseForFolder(nullptr, MAKEINTRESOURCEA(CSIDL_PERSONAL), CSIDL_DRIVES, "t", result,
                                sizeof result, nullptr, false));
    EXPECT_EQ(rootText, "My Computer");
    EXPECT_EQ(selected, LastName(documents));
    EXPECT_EQ(lstrcmpiA(result, documents), 0) << result;
}

TEST_F(FolderDialogTest, ResultBufferBelowAWholePathIsRefusedWithoutADialog) {
    harness::DialogAnswerer answer([](HWND dialog) { harness::PressButton(dialog, IDCANCEL); }, 1500);
    char result[kBrowseMinResultChars] = "unchanged";
    EXPECT_FALSE(BrowseForFolder(nullptr, m_temp.Path().c_str(), -1, "t", result, kBrowseMinResultChars - 1,
                                 nullptr, false));
    EXPECT_FALSE(BrowseForFolder(nullptr, m_temp.Path().c_str(), -1, "t", nullptr, 1000, nullptr, false));
    EXPECT_STREQ(result, "unchanged");
    Sleep(1600);
    EXPECT_FALSE(answer.Answered());
}

TEST_F(FolderDialogTest, ConfirmFolderAsksNothingForAnExistingFolder) {
    harness::DialogAnswerer answer([](HWND dialog) { harness::PressButton(dialog, IDNO); }, 1000);
    EXPECT_TRUE(ConfirmFolder(nullptr, m_temp.File("a")));
    EXPECT_TRUE(ConfirmFolder(nullptr, m_temp.File("a") + "\\"));
    Sleep(1100);
    EXPECT_FALSE(answer.Answered());
}

TEST_F(FolderDialogTest, ConfirmFolderAnsweredYesCreatesTheWholeNestedChain) {
    OwnerWindow owner;
    const std::string nested = m_temp.File("x\\y\\z");
    std::string caption, text;
    std::vector<std::string> buttons;
    HWND boxOwner = nullptr;
    harness::DialogAnswerer answer([&](HWND box) {
        caption = harness::WindowText(box);
        text = harness::MessageBoxText(box);
        buttons = harness::ButtonTexts(box);
        boxOwner = GetWindow(box, GW_OWNER);
        harness::PressButton(box, IDYES);
    });
    EXPECT_TRUE(ConfirmFolder(owner.m_hWnd, nested));
    EXPECT_EQ(caption, "Snapwell");
    EXPECT_EQ(text, "Create Folder:\n\n\"" + nested + "\"");
    EXPECT_EQ(buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(boxOwner, owner.m_hWnd);
    EXPECT_TRUE(FolderExists(nested));
}

TEST_F(FolderDialogTest, ConfirmFolderAnsweredNoCreatesNothing) {
    harness::DialogAnswerer answer([](HWND box) { harness::PressButton(box, IDNO); });
    EXPECT_FALSE(ConfirmFolder(nullptr, m_temp.File("x\\y\\z")));
    EXPECT_TRUE(answer.Answered());
    EXPECT_FALSE(FolderExists(m_temp.File("x")));
}

TEST_F(FolderDialogTest, ConfirmFolderFailsWhenTheFolderCannotBeMade) {
    const std::string file = m_temp.File("file.txt");
    const HANDLE h =
        CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    harness::DialogAnswerer answer([](HWND box) { harness::PressButton(box, IDYES); });
    EXPECT_FALSE(ConfirmFolder(nullptr, file + "\\sub"));
    EXPECT_TRUE(answer.Answered());
    EXPECT_FALSE(FolderExists(file + "\\sub"));
}

TEST_F(FolderDialogTest, ConfirmFolderRefusesAnEmptyPathWithoutAsking) {
    harness::DialogAnswerer answer([](HWND box) { harness::PressButton(box, IDYES); }, 1000);
    EXPECT_FALSE(ConfirmFolder(nullptr, ""));
    Sleep(1100);
    EXPECT_FALSE(answer.Answered());
}

TEST_F(FolderDialogTest, CreateFolderWithParentsTakesRelativeAndEndedPaths) {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(m_temp.Path().c_str()));
    const bool relative = CreateFolderWithParents("r1\\r2");
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(relative);
    EXPECT_TRUE(FolderExists(m_temp.File("r1\\r2")));
    EXPECT_TRUE(CreateFolderWithParents(m_temp.File("e1\\e2\\")));
    EXPECT_TRUE(FolderExists(m_temp.File("e1\\e2")));
    EXPECT_TRUE(CreateFolderWithParents(m_temp.File("a")));
    EXPECT_FALSE(CreateFolderWithParents(""));
}
