// The real main window on the virtual display: created, shown, and closed
// through its File > Exit command.
#include "app/CommandIds.h"
#include "app/Mainform.h"
#include "harness/Gui.h"

#include <gtest/gtest.h>

TEST(MainWindow, OpensWithCaptionAndClosesWithExit) {
    TfrmMain form;
    ASSERT_TRUE(form.Create());
    form.Show(SW_SHOWNORMAL);
    HWND hwnd = form.Handle();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(harness::WindowText(hwnd), "Snapwell");

    HMENU bar = GetMenu(hwnd);
    ASSERT_NE(bar, nullptr);
    char text[64] = {};
    GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&File");
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(cmdExit));

    // Choose File > Exit as the menu would, then run the loop to its end.
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(cmdExit, 0), 0);
    MSG msg;
    bool quit = false;
    const DWORD start = GetTickCount();
    while (!quit && GetTickCount() - start < 10000) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                break;
            }
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
    EXPECT_TRUE(quit);
    EXPECT_FALSE(IsWindow(hwnd));
}
