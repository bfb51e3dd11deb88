// The help file wrapper against the real HTML Help library and the built
// Snapwell.chm beside this program: the program's two topics open a help
// window, a path that is no help file gives error 1 and leaves no help open,
// and closing the help closes its windows. (Without Gecko the page itself
// is blank under Wine; help_context_topics checks the stored topics.)
#include "support/Help.h"

#include "harness/Gui.h"
#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ChmBesideThisProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1) + "Snapwell.chm";
}

BOOL CALLBACK CountHelpWindow(HWND hwnd, LPARAM counter) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (process == GetCurrentProcessId() && std::string(cls) == "HH Parent")
        ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// Top-level help viewer windows of this process.
int CountHelpWindows() {
    int count = 0;
    EnumWindows(&CountHelpWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// A plain top-level window to own the help windows, as the main window does.
struct OwnerWindow {
    HWND hwnd = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ~OwnerWindow() { DestroyWindow(hwnd); }
};

} // namespace

TEST(Help, PathThatIsNoHelpFileRaisesCodeOneAndLeavesNoHelpOpen) {
    const std::string chm = ChmBesideThisProgram();
    TempFolder temp;
    CreateDirectoryA(temp.File("Snapwell.chm").c_str(), nullptr);
    // The real file one character beyond the path length the help object keeps.
    const std::string longFolder = temp.File(std::string(255 - temp.Path().size() - 1 - 1 - 12, 'd'));
    ASSERT_TRUE(CreateDirectoryA(longFolder.c_str(), nullptr));
    const std::string longPath = longFolder + "\\Snapwell.chm";
    ASSERT_EQ(longPath.size(), 255u);
    ASSERT_TRUE(CopyFileA(chm.c_str(), longPath.c_str(), FALSE));

    const std::string cases[] = {temp.File("missing.chm"), temp.File("Snapwell.chm"), longPath};
    for (const auto& path : cases) {
        OpenHelpFile(chm); // a working help object that the failure must drop
        try {
            OpenHelpFile(path);
            ADD_FAILURE() << "no error for " << path;
        } catch (const HtmlError& error) {
            EXPECT_EQ(error.m_nCode, 1) << path;
            EXPECT_STREQ(error.m_szMessage, "The compiled help file (.chm) was not found.") << path;
        }
        ShowHelpTopic(nullptr, kHelpMainWindow);
        harness::PumpMessages();
        EXPECT_EQ(CountHelpWindows(), 0) << path;
    }
    CloseHelpFile();
}

TEST(Help, ProgramTopicsOpenAWindowAndClosingTheHelpClosesIt) {
    const std::string chm = ChmBesideThisProgram();
    ASSERT_NE(GetFileAttributesA(chm.c_str()), INVALID_FILE_ATTRIBUTES) << chm;
    OwnerWindow owner;
    HWND shown = nullptr;
    {
        CHtmlHelp help(chm);
        EXPECT_STREQ(help.Path(), chm.c_str());
        // Asked first: the viewer closes an open help window for an id it cannot find.
        EXPECT_EQ(help.Show(owner.hwnd, 99), nullptr);
        for (int topic : {kHelpMainWindow, kHelpProperties}) {
            shown = help.Show(owner.hwnd, topic);
            EXPECT_TRUE(IsWindow(shown)) << topic;
        }
        EXPECT_EQ(CountHelpWindows(), 1);
    }
    EXPECT_FALSE(IsWindow(shown));

    OpenHelpFile(chm);
    ShowHelpTopic(owner.hwnd, kHelpProperties);
    EXPECT_EQ(CountHelpWindows(), 1);
    CloseHelpFile();
    EXPECT_EQ(CountHelpWindows(), 0);
}
