// Real message boxes under Wine, answered from a second thread: caption,
// text, icon and English buttons of every kind, the button pressed as the
// result, and the owner a box finds when the caller names none.
#include "support/Message.h"

#include "resources/StringIds.h"

#include "harness/Dialogs.h"
#include "harness/Gui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// What the watcher saw of a box before pressing its button.
struct SeenBox {
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
    HICON icon = nullptr;
    HWND owner = nullptr;
    bool ownerEnabled = true;
};

// The icon a message box shows (its only static control with an icon).
HICON BoxIcon(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (auto icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)))
            return icon;
    }
    return nullptr;
}

SeenBox Read(HWND box) {
    SeenBox seen;
    seen.caption = harness::WindowText(box);
    seen.text = harness::MessageBoxText(box);
    seen.buttons = harness::ButtonTexts(box);
    seen.icon = BoxIcon(box);
    seen.owner = GetWindow(box, GW_OWNER);
    seen.ownerEnabled = seen.owner && IsWindowEnabled(seen.owner);
    return seen;
}

// Shows a box through `show` while the watcher reads it and presses `button`.
int ShowAndAnswer(const std::function<int()>& show, int button, SeenBox& seen) {
    harness::DialogAnswerer answer([&](HWND box) {
        seen = Read(box);
        harness::PressButton(box, button);
    });
    const int result = show();
    EXPECT_TRUE(answer.Answered());
    return result;
}

struct TopWindow {
    HWND m_hWnd;
    explicit TopWindow(bool visible)
        : m_hWnd(CreateWindowExA(0, "STATIC", "top", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 60, 60,
                                 400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~TopWindow() { DestroyWindow(m_hWnd); }
};
} // namespace

TEST(Mesg, EveryKindShowsWithTheCaptionItsIconAndEnglishButtons) {
    TMesgScope scope;
    struct Kind {
        UINT flags;
        int press;
        std::vector<std::string> buttons;
        LPCSTR icon;
    };
    const Kind kinds[] = {
        {kMesgError, IDOK, {"OK"}, IDI_ERROR},
        {kMesgQuestion, IDYES, {"&Yes", "&No"}, IDI_QUESTION},
        {kMesgQuestion, IDNO, {"&Yes", "&No"}, IDI_QUESTION},
        {kMesgInformation, IDOK, {"OK"}, IDI_INFORMATION},
    };
    for (const auto& kind : kinds) {
        SeenBox seen;
        const std::string text = "Line one\nline two of kind " + std::to_string(kind.flags);
        const int result = ShowAndAnswer([&] { return g_pMesg->Show(text, kind.flags); }, kind.press, seen);
        EXPECT_EQ(result, kind.press) << kind.flags;
        EXPECT_EQ(seen.caption, "Snapwell");
        EXPECT_EQ(seen.text, text);
        EXPECT_EQ(seen.buttons, kind.buttons) << kind.flags;
        EXPECT_EQ(seen.icon, LoadIconA(nullptr, kind.icon)) << kind.flags;
    }
}

TEST(Mesg, ShowIdShowsTheTableTextAndAMissingIdAnEmptyBox) {
    TMesgScope scope;
    SeenBox seen;
    EXPECT_EQ(
        ShowAndAnswer([] { return g_pMesg->ShowId(IDS_FOLDERS_NOT_DIFFERENT, kMesgError); }, IDOK, seen),
        IDOK);
    EXPECT_EQ(seen.text, "The source and target folders must be different.");
    EXPECT_EQ(seen.caption, "Snapwell");

    ShowAndAnswer([] { return g_pMesg->ShowId(1013, kMesgInformation); }, IDOK, seen);
    EXPECT_EQ(seen.text, "");
    EXPECT_EQ(seen.caption, "Snapwell");
}

TEST(Mesg, GivenOwnerOwnsTheBoxAndIsDisabledMeanwhile) {
    TopWindow fallback(false);
    TopWindow given(true);
    TMesgScope scope(fallback.m_hWnd);
    SeenBox seen;
    ShowAndAnswer([&] { return g_pMesg->Show("owned", kMesgInformation, given.m_hWnd); }, IDOK, seen);
    EXPECT_EQ(seen.owner, given.m_hWnd);
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(given.m_hWnd));
}

namespace {
// A modal dialog that, once running, shows a box without naming an owner,
// as a handler inside a dialog does.
constexpr UINT kShowBox = WM_APP + 1;

INT_PTR CALLBACK BoxRaisingDialog(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        PostMessageA(dialog, kShowBox, 0, 0);
        return TRUE;
    }
    if (msg == kShowBox) {
        EndDialog(dialog, g_pMesg->Show("inside", kMesgQuestion));
        return TRUE;
    }
    return FALSE;
}

INT_PTR RunBoxRaisingDialog(HWND owner) {
    // A captioned popup template with no controls, DWORD-aligned.
    alignas(4) WORD buffer[32] = {};
    auto* tmpl = reinterpret_cast<DLGTEMPLATE*>(buffer);
    tmpl->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
    tmpl->cx = 160;
    tmpl->cy = 80;
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), tmpl, owner, &BoxRaisingDialog, 0);
}
} // namespace

TEST(Mesg, BoxRaisedInsideAModalDialogIsOwnedByThatDialog) {
    TopWindow mainWindow(true);
    TMesgScope scope(mainWindow.m_hWnd);
    HWND dialog = nullptr;
    SeenBox seen;
    harness::DialogAnswerer answer([&](HWND first) {
        // The dialog shows first; the box follows beside it.
        HWND box = first;
        if (harness::MessageBoxText(first) != "inside") {
            dialog = first;
            box = harness::WaitForDialog(first);
        } else {
            dialog = GetWindow(first, GW_OWNER);
        }
        if (!box)
            return;
        seen = Read(box);
        harness::PressButton(box, IDYES);
    });
    EXPECT_EQ(RunBoxRaisingDialog(mainWindow.m_hWnd), IDYES);
    ASSERT_TRUE(answer.Answered());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(seen.text, "inside");
    EXPECT_EQ(seen.owner, dialog);
    EXPECT_NE(seen.owner, mainWindow.m_hWnd);
}

TEST(Mesg, WithoutOwnerOrActiveWindowTheFallbackOwnsTheBox) {
    harness::PumpMessages();
    ASSERT_EQ(GetActiveWindow(), nullptr) << "an earlier window is still active on this thread";
    TopWindow fallback(false);
    TMesgScope scope(fallback.m_hWnd);
    SeenBox seen;
    ShowAndAnswer([] { return g_pMesg->Show("fallback", kMesgError); }, IDOK, seen);
    EXPECT_EQ(seen.owner, fallback.m_hWnd);

}

TEST(Mesg, WithNoOwnerAnywhereTheBoxHasNone) {
    harness::PumpMessages();
    ASSERT_EQ(GetActiveWindow(), nullptr) << "an earlier window is still active on this thread";
    TMesgScope scope;
    SeenBox seen;
    ShowAndAnswer([] { return g_pMesg->Show("unowned", kMesgError); }, IDOK, seen);
    EXPECT_EQ(seen.text, "unowned");
    EXPECT_EQ(seen.owner, nullptr);
}
