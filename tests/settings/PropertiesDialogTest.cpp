// The properties dialog shown modally on the virtual display and driven from
// a second thread as a person would: real key presses and clicks, the
// message box answered, the record read back, and its place kept in a real
// configuration file in a temporary folder.
#include "settings/PropertiesDialog.h"

#include "settings/Config.h"
#include "settings/ConfigPaths.h"
#include "support/Message.h"

#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {
struct Host {
    HWND m_hWnd = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 400,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ~Host() { DestroyWindow(m_hWnd); }
};

HWND Item(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}
std::string Text(HWND dialog, int id) {
    return harness::WindowText(Item(dialog, id));
}
bool Checked(HWND dialog, int id) {
    return SendMessageA(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
RECT Frame(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    return frame;
}

// The three size switches: checked states, and whether all are enabled.
struct Switches {
    SizeSwitches checks;
    bool bEnabled = false;
};
Switches ReadSwitches(HWND dialog) {
    Switches s;
    s.checks = {Checked(dialog, IDC_PROP_SNAP_RATIO), Checked(dialog, IDC_PROP_MAX_SIZE),
                Checked(dialog, IDC_PROP_ENLARGEMENT)};
    s.bEnabled = IsWindowEnabled(Item(dialog, IDC_PROP_SNAP_RATIO)) &&
                 IsWindowEnabled(Item(dialog, IDC_PROP_MAX_SIZE)) &&
                 IsWindowEnabled(Item(dialog, IDC_PROP_ENLARGEMENT));
    return s;
}

// Keyboard and mouse, delivered on the dialog's own thread.
void Focus(HWND dialog, int id) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(dialog, id)), TRUE);
}
void Type(HWND dialog, int id, const std::string& keys) {
    for (char key : keys)
        SendMessageA(Item(dialog, id), WM_CHAR, static_cast<unsigned char>(key), 1);
}
// Enters the box, selects its text and types over it.
void Retype(HWND dialog, int id, const std::string& keys) {
    Focus(dialog, id);
    SendMessageA(Item(dialog, id), EM_SETSEL, 0, -1);
    Type(dialog, id, keys);
}
void Click(HWND dialog, int id) {
    SendMessageA(Item(dialog, id), BM_CLICK, 0, 0);
}

// Points the configuration file into a folder for one test.
struct ConfigFolder {
    explicit ConfigFolder(const std::string& folder) {
        g_sConfigFolder = folder + "\\";
        g_sExeName = "Snapwell";
    }
    ~ConfigFolder() {
        g_sConfigFolder.clear();
        g_sExeName.clear();
    }
};

class PropertiesDialogTest : public ::testing::Test {
protected:
    PropertiesDialogTest() {
        CreateDirectoryA(m_temp.File("source").c_str(), nullptr);
        CreateDirectoryA(m_temp.File("copy").c_str(), nullptr);
        m_props.SetSourceFolder((m_temp.File("source") + "\\").c_str());
        m_props.SetTargetFolder(m_temp.File("copy").c_str());
        m_props.m_nMaxWidth = 800;
        m_props.m_nMaxHeight = 600;
    }

    // Shows the dialog for m_props while `drive` works it from the watcher
    // thread; ShowModal's result.
    int Show(const std::function<void(HWND)>& drive) {
        TdlgProperties dialog;
        dialog.LoadFromProperties(&m_props);
        harness::DialogAnswerer answer(drive);
        const int result = dialog.ShowModal(m_host.m_hWnd);
        EXPECT_TRUE(answer.Answered());
        EXPECT_EQ(dialog.Handle(), nullptr);
        return result;
    }

    TMesgScope m_mesg;
    TempFolder m_temp;
    ConfigFolder m_config{m_temp.Path()};
    TProperties m_props{nullptr, nullptr};
    Host m_host;
};
} // namespace

TEST_F(PropertiesDialogTest, OpensFilledFromTheRecordInTabOrderAndOnlyGrowsWider) {
    m_props.m_bAutoAdvance = false;
    m_props.m_nFilenameMode = fmNeverPrompt;
    std::string caption, source, target, width, height;
    bool autoAdvance = true, keepRect = false, neverPrompt = false;
    std::vector<int> tabOrder, outside;
    RECT client{}, widened{}, sourceBox{}, widenedSourceBox{}, browse{}, widenedBrowse{}, ok{}, widenedOk{};
    const int result = Show([&](HWND dialog) {
        caption = harness::WindowText(dialog);
        source = Text(dialog, IDC_PROP_SOURCE);
        target = Text(dialog, IDC_PROP_TARGET);
        width = Text(dialog, IDC_PROP_WIDTH);
        height = Text(dialog, IDC_PROP_HEIGHT);
        autoAdvance = Checked(dialog, IDC_PROP_AUTO_ADVANCE);
        keepRect = Checked(dialog, IDC_PROP_KEEP_PREV_RECT);
        neverPrompt = Checked(dialog, IDC_PROP_NEVER_PROMPT);
        for (HWND at = Item(dialog, IDC_PROP_SOURCE); at && tabOrder.size() < 30;
             at = GetNextDlgTabItem(dialog, at, FALSE)) {
            tabOrder.push_back(GetDlgCtrlID(at));
            if (tabOrder.size() > 1 && at == Item(dialog, IDC_PROP_SOURCE))
                break;
        }
        GetClientRect(dialog, &client);
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT area = Frame(child);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
            if (area.left < 0 || area.top < 0 || area.right > client.right || area.bottom > client.bottom)
                outside.push_back(GetDlgCtrlID(child));
        }
        sourceBox = Frame(Item(dialog, IDC_PROP_SOURCE));
        browse = Frame(Item(dialog, IDC_PROP_SOURCE_BROWSE));
        ok = Frame(Item(dialog, IDC_PROP_OK));
        SetWindowPos(dialog, nullptr, 0, 0, 600, 600, SWP_NOMOVE | SWP_NOZORDER);
        widened = Frame(dialog);
        widenedSourceBox = Frame(Item(dialog, IDC_PROP_SOURCE));
        widenedBrowse = Frame(Item(dialog, IDC_PROP_SOURCE_BROWSE));
        widenedOk = Frame(Item(dialog, IDC_PROP_OK));
        harness::PressButton(dialog, IDC_PROP_CANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(caption, "Snapwell");
    EXPECT_EQ(source, m_temp.File("source")) << "shown without its trailing backslash";
    EXPECT_EQ(target, m_temp.File("copy"));
    EXPECT_EQ(width, "800");
    EXPECT_EQ(height, "600");
    EXPECT_FALSE(autoAdvance);
    EXPECT_TRUE(keepRect);
    EXPECT_TRUE(neverPrompt);
    const std::vector<int> expectedOrder = {IDC_PROP_SOURCE,       IDC_PROP_SOURCE_BROWSE,
                                            IDC_PROP_TARGET,       IDC_PROP_TARGET_BROWSE,
                                            IDC_PROP_WIDTH,        IDC_PROP_HEIGHT,
                                            IDC_PROP_INVERT,       IDC_PROP_NEVER_PROMPT,
                                            IDC_PROP_SNAP_RATIO,   IDC_PROP_MAX_SIZE,
                                            IDC_PROP_AUTO_ADVANCE, IDC_PROP_KEEP_PREV_RECT,
                                            IDC_PROP_ENLARGEMENT,  IDC_PROP_OK,
                                            IDC_PROP_CANCEL,       IDC_PROP_HELP,
                                            IDC_PROP_SOURCE};
    EXPECT_EQ(tabOrder, expectedOrder);
    // Widened by 150: the folder box stretches, its button and OK keep to
    // the right edge; the height stays at its limit.
    const int grow = (widened.right - widened.left) - 450;
    EXPECT_EQ(grow, 150);
    EXPECT_EQ(widened.bottom - widened.top, 384);
    EXPECT_EQ(widenedSourceBox.right - widenedSourceBox.left, sourceBox.right - sourceBox.left + grow);
    EXPECT_EQ(widenedBrowse.left, browse.left + grow);
    EXPECT_EQ(widenedOk.left, ok.left + grow);
    EXPECT_TRUE(outside.empty()) << "cut off at the smallest size: control " << outside.front();
}

TEST_F(PropertiesDialogTest, SizeSwitchSequences) {
    enum Action { kRetype, kFocus, kClick };
    struct Step {
        Action action;
        int id;
        const char* keys;
    };
    const struct Case {
        const char* name;
        SizeSwitches start;
        std::vector<Step> steps;
        Switches expected;
    } cases[] = {
        {"0 in the width box unchecks and disables",
         {true, true, true},
         {{kRetype, IDC_PROP_WIDTH, "0"}},
         {{false, false, false}, false}},
        {"an emptied height box unchecks and disables",
         {true, true, false},
         {{kRetype, IDC_PROP_HEIGHT, "\b"}},
         {{false, false, false}, false}},
        {"0 then 1024 in the same visit restores the switches",
         {true, true, true},
         {{kRetype, IDC_PROP_WIDTH, "0"}, {kRetype, IDC_PROP_WIDTH, "1024"}},
         {{true, true, true}, true}},
        {"left at 0, entered again and 1024 typed: enabled unchecked",
         {true, true, true},
         {{kRetype, IDC_PROP_WIDTH, "0"}, {kFocus, IDC_PROP_HEIGHT, ""}, {kRetype, IDC_PROP_WIDTH, "1024"}},
         {{false, false, false}, true}},
        {"a switch set after leaving the width box survives an invert",
         {true, true, true},
         {{kFocus, IDC_PROP_WIDTH, ""}, {kClick, IDC_PROP_MAX_SIZE, ""}, {kClick, IDC_PROP_INVERT, ""}},
         {{true, false, false}, true}},
        {"allowing enlargement enforces the maximum size",
         {false, false, false},
         {{kClick, IDC_PROP_ENLARGEMENT, ""}},
         {{false, true, true}, true}},
        {"no longer enforcing the maximum size disallows enlargement",
         {true, true, true},
         {{kClick, IDC_PROP_MAX_SIZE, ""}},
         {{true, false, false}, true}},
    };
    for (const Case& c : cases) {
        m_props.m_bSnapRatio = c.start.bSnapRatio;
        m_props.m_bMaxSize = c.start.bMaxSize;
        m_props.m_bEnlargement = c.start.bEnlargement;
        Switches seen;
        Show([&](HWND dialog) {
            for (const Step& step : c.steps) {
                if (step.action == kClick)
                    Click(dialog, step.id);
                else if (step.action == kFocus)
                    Focus(dialog, step.id);
                else
                    Retype(dialog, step.id, step.keys);
            }
            seen = ReadSwitches(dialog);
            harness::PressButton(dialog, IDC_PROP_CANCEL);
        });
        EXPECT_TRUE(seen.checks == c.expected.checks)
            << c.name << ": " << seen.checks.bSnapRatio << seen.checks.bMaxSize << seen.checks.bEnlargement;
        EXPECT_EQ(seen.bEnabled, c.expected.bEnabled) << c.name;
    }
}

TEST_F(PropertiesDialogTest, WithoutAWidthTheSwitchesOpenOffAndOkStoresThemOff) {
    m_props.m_nMaxWidth = 0;
    m_props.m_bEnlargement = true;
    Switches seen;
    const int result = Show([&](HWND dialog) {
        seen = ReadSwitches(dialog);
        harness::PressButton(dialog, IDC_PROP_OK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(seen.checks == SizeSwitches{});
    EXPECT_FALSE(seen.bEnabled);
    EXPECT_FALSE(m_props.m_bSnapRatio);
    EXPECT_FALSE(m_props.m_bMaxSize);
    EXPECT_FALSE(m_props.m_bEnlargement);
    EXPECT_STREQ(m_props.m_szSourceFolder, m_temp.File("source").c_str());
    EXPECT_EQ(m_props.m_nMaxHeight, 600);
}

TEST_F(PropertiesDialogTest, SizeBoxesTakeSixDigitsAndPastedLettersStoreZero) {
    std::string typed, filled;
    bool pasted = false;
    const int result = Show([&](HWND dialog) {
        Retype(dialog, IDC_PROP_WIDTH, "12a-3");
        typed = Text(dialog, IDC_PROP_WIDTH);
        Type(dialog, IDC_PROP_WIDTH, "4567");
        filled = Text(dialog, IDC_PROP_WIDTH);
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            HGLOBAL letters = GlobalAlloc(GMEM_MOVEABLE, 4);
            lstrcpyA(static_cast<char*>(GlobalLock(letters)), "abc");
            GlobalUnlock(letters);
            SetClipboardData(CF_TEXT, letters);
            CloseClipboard();
        }
        Focus(dialog, IDC_PROP_HEIGHT);
        SendMessageA(Item(dialog, IDC_PROP_HEIGHT), EM_SETSEL, 0, -1);
        SendMessageA(Item(dialog, IDC_PROP_HEIGHT), WM_PASTE, 0, 0);
        pasted = Text(dialog, IDC_PROP_HEIGHT) == "abc";
        harness::PressButton(dialog, IDC_PROP_OK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(typed, "123");
    EXPECT_EQ(filled, "123456");
    EXPECT_TRUE(pasted);
    EXPECT_EQ(m_props.m_nMaxWidth, 123456);
    EXPECT_EQ(m_props.m_nMaxHeight, 0);
}

TEST_F(PropertiesDialogTest, InvertSwapsTheTextsEscapeDoesNotCancelAndOnlyOkStores) {
    std::string width, height;
    bool openAfterEscape = false;
    int result = Show([&](HWND dialog) {
        Focus(dialog, IDC_PROP_WIDTH);
        PostMessageA(Item(dialog, IDC_PROP_WIDTH), WM_KEYDOWN, VK_ESCAPE, 1);
        // Posted after Escape, so done after it.
        harness::PressButton(dialog, IDC_PROP_INVERT);
        harness::WaitUntil([&] { return Text(dialog, IDC_PROP_WIDTH) == "600"; });
        openAfterEscape = IsWindowVisible(dialog) != FALSE;
        width = Text(dialog, IDC_PROP_WIDTH);
        height = Text(dialog, IDC_PROP_HEIGHT);
        harness::PressButton(dialog, IDC_PROP_CANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(width, "600");
    EXPECT_EQ(height, "800");
    EXPECT_EQ(m_props.m_nMaxWidth, 800);
    EXPECT_EQ(m_props.m_nMaxHeight, 600);

    result = Show([&](HWND dialog) {
        Click(dialog, IDC_PROP_INVERT);
        harness::PressButton(dialog, IDC_PROP_OK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(m_props.m_nMaxWidth, 600);
    EXPECT_EQ(m_props.m_nMaxHeight, 800);
}

TEST_F(PropertiesDialogTest, MissingCopyFolderAnsweredNoKeepsTheDialogOpenWithTheSourceStored) {
    ASSERT_TRUE(CreateDirectoryA(m_temp.File("other").c_str(), nullptr));
    const std::string missing = m_temp.File("missing");
    std::string question;
    bool stayedOpen = false;
    const int result = Show([&](HWND dialog) {
        SendMessageA(Item(dialog, IDC_PROP_SOURCE), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>((m_temp.File("other") + "\\").c_str()));
        SendMessageA(Item(dialog, IDC_PROP_TARGET), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(missing.c_str()));
        harness::PressButton(dialog, IDC_PROP_OK);
        HWND box = harness::WaitForDialog(dialog);
        if (!box)
            return harness::PressButton(dialog, IDC_PROP_CANCEL);
        question = harness::MessageBoxText(box);
        harness::PressButton(box, IDNO);
        harness::WaitUntil([&] { return !IsWindow(box); });
        stayedOpen = IsWindowVisible(dialog) != FALSE;
        harness::PressButton(dialog, IDC_PROP_CANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(question, "Create Folder:\n\n\"" + missing + "\"");
    EXPECT_TRUE(stayedOpen);
    EXPECT_STREQ(m_props.m_szSourceFolder, m_temp.File("other").c_str()) << "stored although cancelled";
    EXPECT_STREQ(m_props.m_szTargetFolder, m_temp.File("copy").c_str());
    EXPECT_EQ(m_props.m_nMaxWidth, 800);
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PropertiesDialogTest, CloseBoxStoresThePlaceUnderKey1WhereTheNextShowingOpens) {
    RECT first{}, moved{}, second{};
    int result = Show([&](HWND dialog) {
        first = Frame(dialog);
        SetWindowPos(dialog, nullptr, 60, 70, 520, 383, SWP_NOZORDER);
        moved = Frame(dialog);
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(first.left, 0);
    EXPECT_EQ(first.top, 0);
    EXPECT_EQ(first.right, 450);
    EXPECT_EQ(first.bottom, 383);
    TWinPos stored;
    {
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config && config->ReadWinPos(ckDialog, stored));
    }
    EXPECT_EQ(stored.m_nLeft, 60);
    EXPECT_EQ(stored.m_nTop, 70);
    EXPECT_EQ(stored.m_nWidth, moved.right - moved.left);
    EXPECT_EQ(stored.m_nHeight, moved.bottom - moved.top);
    EXPECT_EQ(stored.m_nWidth, 520);

    result = Show([&](HWND dialog) {
        second = Frame(dialog);
        harness::PressButton(dialog, IDC_PROP_OK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(second.left, 60);
    EXPECT_EQ(second.top, 70);
    EXPECT_EQ(second.right - second.left, 520);
}
