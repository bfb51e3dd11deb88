// Special folders from the real per-user registry, and the records' members
// that read the system (default folders, the primary display's size).
#include "settings/Properties.h"
#include "settings/ShellFolders.h"
#include "RegistryValue.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

TEST(ShellFolders, WineHasThePerUserValues) {
    // A fresh prefix carries all three; the program's defaults come from them.
    EXPECT_FALSE(GetShellFolder("AppData").empty());
    EXPECT_FALSE(GetShellFolder("Personal").empty());
    EXPECT_FALSE(GetShellFolder("My Pictures").empty());
}

TEST(ShellFolders, ValuesAsStored) {
    ScopedShellFolder appData("AppData"), pictures("My Pictures"), personal("Personal");
    ASSERT_TRUE(appData.Ready());
    ASSERT_TRUE(appData.Set("C:\\temp\\h2 app data"));
    ASSERT_TRUE(pictures.Set("C:\\temp\\h2 pictures"));
    // The value's type is not examined: an expandable text comes back as stored.
    ASSERT_TRUE(personal.Set("%USERPROFILE%\\Docs", REG_EXPAND_SZ));

    EXPECT_EQ(GetAppDataFolder("Snapwell"), "C:\\temp\\h2 app data\\Snapwell");
    EXPECT_EQ(GetMyPicturesFolder(), "C:\\temp\\h2 pictures");
    EXPECT_EQ(GetPersonalFolder(), "%USERPROFILE%\\Docs");

    const TProperties defaults;
    EXPECT_STREQ(defaults.m_szSourceFolder, "C:\\temp\\h2 pictures");
    EXPECT_STREQ(defaults.m_szTargetFolder, "%USERPROFILE%\\Docs");
    EXPECT_EQ(defaults.m_nFilenameMode, fmPromptOverwrite);
    EXPECT_FALSE(defaults.HasMaxDimensions());
}

TEST(ShellFolders, MissingValuesGiveEmptyTexts) {
    ScopedShellFolder appData("AppData"), personal("Personal");
    ASSERT_TRUE(appData.Remove());
    ASSERT_TRUE(personal.Remove());
    EXPECT_EQ(GetShellFolder("AppData"), "");
    // Not a lone backslash and subfolder.
    EXPECT_EQ(GetAppDataFolder("Snapwell"), "");
    const TProperties defaults;
    EXPECT_STREQ(defaults.m_szTargetFolder, "");
    EXPECT_EQ(GetShellFolder("No Such Folder Value"), "");
}

TEST(ShellFolders, LongValuesAreNotCut) {
    ScopedShellFolder pictures("My Pictures");
    const std::string fits = "C:\\" + std::string(252, 'p'); // 255 characters and the zero
    ASSERT_TRUE(pictures.Set(fits));
    EXPECT_EQ(GetMyPicturesFolder(), fits);
    // More than the 256-byte area: nothing rather than a cut-off folder.
    ASSERT_TRUE(pictures.Set(fits + "q"));
    EXPECT_EQ(GetMyPicturesFolder(), "");
}

TEST(WinPosOnScreen, CentreOnThePrimaryDisplay) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(screenWidth, 0);
    TWinPos pos;
    pos.m_bMaximized = 1;
    pos.CentreOnScreen(500, 400);
    EXPECT_EQ(pos.m_nLeft, (screenWidth - 500) / 2);
    EXPECT_EQ(pos.m_nTop, (screenHeight - 400) / 2);
    EXPECT_EQ(pos.m_nWidth, 0);
    EXPECT_EQ(pos.m_bMaximized, 1);
    pos.CentreOnScreen(screenWidth + 176, screenHeight + 132);
    EXPECT_EQ(pos.m_nLeft, -88);
    EXPECT_EQ(pos.m_nTop, -66);
}
