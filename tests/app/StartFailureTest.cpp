// Start-up without the imaging library: built into a folder of its own that
// holds neither the library nor the help file, the window says so and
// closes, writing back what it read. (The library is bound as the program
// starts, so a start with it but without help is a program of its own:
// StartWithoutHelpTest.cpp.)
#include "MainWindowSession.h"

#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "imaging/ImagingLibrary.h"

#include <gtest/gtest.h>

TEST(StartFailure, WithoutTheImagingLibraryTheWindowSaysSoAndCloses) {
    ASSERT_EQ(GetFileAttributesA(kImagingLibraryFile), INVALID_FILE_ATTRIBUTES) << "library beside the test";
    MainWindowSession s;
    s.AddPicture("jpeg_baseline_420.jpg", "a.jpg");
    auto form = std::make_unique<TfrmMain>();
    ASSERT_TRUE(form->Create());
    HWND hwnd = form->Handle();
    EXPECT_EQ(harness::FirstBoxTextWhile([&] { form->Show(SW_SHOWNORMAL); }), "Failure loading the image dll");
    harness::PumpUntil([&] { return !IsWindow(hwnd); });
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(form->Initialised());
    // What was read is written back: a file with the first start's records.
    EXPECT_NE(GetFileAttributesA(s.ConfigFile().c_str()), INVALID_FILE_ATTRIBUTES);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
