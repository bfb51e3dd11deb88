// Start-up without the help file: built into a folder of its own with the
// imaging library beside the program but no help file, the window says so
// once and runs without help.
#include "MainWindowSession.h"

#include "app/CommandIds.h"
#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "imaging/ImagingLibrary.h"

#include <gtest/gtest.h>

TEST(StartWithoutHelp, WithoutTheHelpFileHelpIsOffAndEverythingElseRuns) {
    ASSERT_TRUE(g_IS3.Complete()) << "no library beside the test";
    ASSERT_EQ(GetFileAttributesA("Snapwell.chm"), INVALID_FILE_ATTRIBUTES) << "help file beside the test";
    MainWindowSession s;
    s.AddPicture("jpeg_baseline_420.jpg", "a.jpg");
    EXPECT_EQ(harness::FirstBoxTextWhile([&] { s.Start(); }),
              "Failure loading the help file,\nSnapwell help will not be available.\n\n"
              "The compiled help file (.chm) was not found.");
    EXPECT_TRUE(s.Form().Initialised());
    EXPECT_TRUE(s.Form().ImageCtrl()->HasPicture());
    s.Command(cmdHelp); // F1 does nothing
    EXPECT_EQ(FindWindowA("HH Parent", nullptr), nullptr);
}
