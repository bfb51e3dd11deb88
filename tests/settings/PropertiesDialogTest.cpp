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
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {
HWND Item(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}
std::string Text(HWND dialog, int id) {
    return harness::WindowText(Item(dialog, id));
}
RECT Frame(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    return frame;
}

// Check boxes as text: the name when checked, "-" when not, "(off)" after a
// disabled one.
std::string Checks(HWND dialog, std::vector<std::pair<int, const char*>> boxes) {
    std::string text;
    for (const auto& [id, name] : boxes) {
        text += text.empty() ? "" : " ";
        text += SendMessageA(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED ? name : "-";
        text += IsWindowEnabled(Item(dialog, id)) ? "" : "(off)";
    }
    return text;
}
std::string SizeSwitchChecks(HWND dialog) {
    return Checks(dialog,
                  {{IDC_PROP_SNAP_RATIO, "snap"}, {IDC_PROP_MAX_SIZE, "max"}, {IDC_PROP_ENLARGEMENT, "enl"}});
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

class PropertiesDialogTest : public ::testing::Test {
protected:
    PropertiesDialogTest() {
        g_sConfigFolder = m_temp.Path() + "\\";
        g_sExeName = "Snapwell";
        CreateDirectoryA(m_temp.File("source").c_str(), nullptr);
        CreateDirectoryA(m_temp.File("copy").c_str(), nullptr);
        m_props.SetSourceFolder((m_temp.File("source") + "\\").c_str());
        m_props.SetTargetFolder(m_temp.File("copy").c_str());
        m_props.m_nMaxWidth = 800;
        m_props.m_nMaxHeight = 600;
    }
    ~PropertiesDialogTest() override {
        g_sConfigFolder.clear();
        g_sExeName.clear();
        DestroyWindow(m_hHost);
    }

    // Shows the dialog for m_props while `drive` works it from the watcher
    // thread; ShowModal's result.
    int Show(const std::function<void(HWND)>& drive) {
        TdlgProperties dialog;
        dialog.LoadFromProperties(&m_props);
        harness::DialogAnswerer answer(drive);
        const int result = dialog.ShowModal(m_hHost);
        EXPECT_TRUE(answer.Answered());
        return result;
    }

    TMesgScope m_mesg;
    TempFolder m_temp;
    TProperties m_props{nullptr, nullptr};
    HWND m_hHost = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 400,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
};
} // namespace

TEST_F(PropertiesDialogTest, OpensFilledFromTheRecordInTabOrderAndOnlyGrowsWider) {
    m_props.m_bAutoAdvance = false;
    m_props.m_nFilenameMode = fmNeverPrompt;
    std::string filled;
    std::vector<int> tabOrder;
    std::vector<long> growth;
    const int result = Show([&](HWND dialog) {
        filled = harness::WindowText(dialog) + "|" + Text(dialog, IDC_PROP_SOURCE) + "|" +
                 Text(dialog, IDC_PROP_TARGET) + "|" + Text(dialog, IDC_PROP_WIDTH) + " x " +
                 Text(dialog, IDC_PROP_HEIGHT) + "|" +
                 Checks(dialog, {{IDC_PROP_AUTO_ADVANCE, "auto"},
                                 {IDC_PROP_KEEP_PREV_RECT, "keep"},
                                 {IDC_PROP_PROMPT_OVERWRITE, "overwrite"},
                                 {IDC_PROP_NEVER_PROMPT, "never"}});
        HWND at = Item(dialog, IDC_PROP_SOURCE);
        do {
            tabOrder.push_back(GetDlgCtrlID(at));
            at = GetNextDlgTabItem(dialog, at, FALSE);
        } while (at && at != Item(dialog, IDC_PROP_SOURCE) && tabOrder.size() < 30);
        const RECT box = Frame(Item(dialog, IDC_PROP_SOURCE)),
                   browse = Frame(Item(dialog, IDC_PROP_SOURCE_BROWSE)),
                   ok = Frame(Item(dialog, IDC_PROP_OK));
        SetWindowPos(dialog, nullptr, 0, 0, 600, 600, SWP_NOMOVE | SWP_NOZORDER);
        const RECT frame = Frame(dialog), wideBox = Frame(Item(dialog, IDC_PROP_SOURCE));
        growth = {frame.right - frame.left, frame.bottom - frame.top,
                  (wideBox.right - wideBox.left) - (box.right - box.left),
                  Frame(Item(dialog, IDC_PROP_SOURCE_BROWSE)).left - browse.left,
                  Frame(Item(dialog, IDC_PROP_OK)).left - ok.left};
        harness::PressButton(dialog, IDC_PROP_CANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(filled,
              "Snapwell|" + m_temp.File("source") + "|" + m_temp.File("copy") + "|800 x 600|- keep - never");
    EXPECT_EQ(tabOrder,
              (std::vector<int>{IDC_PROP_SOURCE, IDC_PROP_SOURCE_BROWSE, IDC_PROP_TARGET,
                                IDC_PROP_TARGET_BROWSE, IDC_PROP_WIDTH, IDC_PROP_HEIGHT, IDC_PROP_INVERT,
                                IDC_PROP_NEVER_PROMPT, IDC_PROP_SNAP_RATIO, IDC_PROP_MAX_SIZE,
                                IDC_PROP_AUTO_ADVANCE, IDC_PROP_KEEP_PREV_RECT, IDC_PROP_ENLARGEMENT,
                                IDC_PROP_OK, IDC_PROP_CANCEL, IDC_PROP_HELP}));
    // 150 wider: the folder box stretches, its button and OK keep to the
    // right edge; the height stays at its limit.
    EXPECT_EQ(growth, (std::vector<long>{600, 384, 150, 150, 150}));
}

TEST_F(PropertiesDialogTest, SizeSwitchSequences) {
    // Steps: "box" enters a size box, "box=keys" types over its text, any
    // other name clicks that control.
    const struct {
        const char* start;
        const char* steps;
        const char* expected;
    } cases[] = {
        {"snap max enl", "width=0", "-(off) -(off) -(off)"},
        {"snap max", "height=\b", "-(off) -(off) -(off)"},
        // A size typed again in the same visit brings the switches back...
        {"snap max enl", "width=0 width=1024", "snap max enl"},
        // ...but once the box was left at 0 they come back unchecked.
        {"snap max enl", "width=0 height width=1024", "- - -"},
        {"snap max enl", "width max invert", "snap - -"},
        {"", "enl", "- max enl"},
        {"snap max enl", "max", "snap - -"},
    };
    const std::map<std::string, int> ids = {{"width", IDC_PROP_WIDTH},
                                            {"height", IDC_PROP_HEIGHT},
                                            {"max", IDC_PROP_MAX_SIZE},
                                            {"enl", IDC_PROP_ENLARGEMENT},
                                            {"invert", IDC_PROP_INVERT}};
    for (const auto& c : cases) {
        const std::string start = c.start;
        m_props.m_bSnapRatio = start.find("snap") != std::string::npos;
        m_props.m_bMaxSize = start.find("max") != std::string::npos;
        m_props.m_bEnlargement = start.find("enl") != std::string::npos;
        std::string seen;
        Show([&](HWND dialog) {
            std::istringstream steps(c.steps);
            for (std::string step; steps >> step;) {
                const size_t equals = step.find('=');
                const int id = ids.at(step.substr(0, equals));
                if (equals != std::string::npos)
                    Retype(dialog, id, step.substr(equals + 1));
                else if (id == IDC_PROP_WIDTH || id == IDC_PROP_HEIGHT)
                    Focus(dialog, id);
                else
                    Click(dialog, id);
            }
            seen = SizeSwitchChecks(dialog);
            harness::PressButton(dialog, IDC_PROP_CANCEL);
        });
        EXPECT_EQ(seen, c.expected) << c.start << ", " << c.steps;
    }
}

TEST_F(PropertiesDialogTest, WithoutAWidthTheSwitchesOpenOffAndOkStoresThemOff) {
    m_props.m_nMaxWidth = 0;
    m_props.m_bEnlargement = true;
    std::string seen;
    const int result = Show([&](HWND dialog) {
        seen = SizeSwitchChecks(dialog);
        harness::PressButton(dialog, IDC_PROP_OK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(seen, "-(off) -(off) -(off)");
    EXPECT_FALSE(m_props.m_bSnapRatio || m_props.m_bMaxSize || m_props.m_bEnlargement);
    EXPECT_STREQ(m_props.m_szSourceFolder, m_temp.File("source").c_str());
}

TEST_F(PropertiesDialogTest, SizeBoxesTakeSixDigitsAndPastedLettersStoreZero) {
    std::string typed, pasted;
    const int result = Show([&](HWND dialog) {
        Retype(dialog, IDC_PROP_WIDTH, "12a-3");
        typed = Text(dialog, IDC_PROP_WIDTH);
        Type(dialog, IDC_PROP_WIDTH, "4567");
        typed += " " + Text(dialog, IDC_PROP_WIDTH);
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
        pasted = Text(dialog, IDC_PROP_HEIGHT);
        harness::PressButton(dialog, IDC_PROP_OK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(typed, "123 123456");
    EXPECT_EQ(pasted, "abc");
    EXPECT_EQ(m_props.m_nMaxWidth, 123456);
    EXPECT_EQ(m_props.m_nMaxHeight, 0);
}

TEST_F(PropertiesDialogTest, InvertSwapsTheTextsEscapeDoesNotCancelAndOnlyOkStores) {
    std::string swapped;
    int result = Show([&](HWND dialog) {
        Focus(dialog, IDC_PROP_WIDTH);
        PostMessageA(Item(dialog, IDC_PROP_WIDTH), WM_KEYDOWN, VK_ESCAPE, 1);
        // Posted after Escape, so handled after it.
        harness::PressButton(dialog, IDC_PROP_INVERT);
        harness::WaitUntil([&] { return Text(dialog, IDC_PROP_WIDTH) == "600"; });
        swapped = Text(dialog, IDC_PROP_WIDTH) + " x " + Text(dialog, IDC_PROP_HEIGHT) +
                  (IsWindowVisible(dialog) ? "" : " closed");
        harness::PressButton(dialog, IDC_PROP_CANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(swapped, "600 x 800");
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
        SetWindowTextA(Item(dialog, IDC_PROP_SOURCE), (m_temp.File("other") + "\\").c_str());
        SetWindowTextA(Item(dialog, IDC_PROP_TARGET), missing.c_str());
        harness::PressButton(dialog, IDC_PROP_OK);
        if (HWND box = harness::WaitForDialog(dialog)) {
            question = harness::MessageBoxText(box);
            harness::PressButton(box, IDNO);
            harness::WaitUntil([&] { return !IsWindow(box); });
        }
        stayedOpen = IsWindowVisible(dialog) != FALSE;
        harness::PressButton(dialog, IDC_PROP_CANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(question, "Create Folder:\n\n\"" + missing + "\"");
    EXPECT_TRUE(stayedOpen);
    EXPECT_STREQ(m_props.m_szSourceFolder, m_temp.File("other").c_str()) << "kept although cancelled";
    EXPECT_STREQ(m_props.m_szTargetFolder, m_temp.File("copy").c_str());
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PropertiesDialogTest, CloseBoxStoresThePlaceUnderKey1WhereTheNextShowingOpens) {
    RECT first{}, second{};
    int result = Show([&](HWND dialog) {
        first = Frame(dialog);
        SetWindowPos(dialog, nullptr, 60, 70, 520, 383, SWP_NOZORDER);
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(std::vector<long>({first.left, first.top, first.right, first.bottom}),
              std::vector<long>({0, 0, 450, 383}));
    TWinPos stored;
    {
        std::unique_ptr<CConfig> config = OpenConfig();
        ASSERT_TRUE(config && config->ReadWinPos(ckDialog, stored));
    }
    EXPECT_EQ(std::vector<int>({stored.m_nLeft, stored.m_nTop, stored.m_nWidth, stored.m_nHeight}),
              std::vector<int>({60, 70, 520, 383}));

    result = Show([&](HWND dialog) {
        second = Frame(dialog);
        harness::PressButton(dialog, IDC_PROP_OK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(std::vector<long>({second.left, second.top, second.right, second.bottom}),
              std::vector<long>({60, 70, 580, 453}));
}
