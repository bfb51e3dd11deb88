// Start-up failures of the real main window. Built into a folder of its own
// that holds neither the imaging library nor the help file: without the
// library the window says so and closes (writing back what it read); with
// the library (from its build folder) but without help it says so once and
// runs without help. The second test needs the first to have run before it
// loaded the library.
#include "MainWindowSession.h"

#include "app/CommandIds.h"
#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "imaging/ImagingLibrary.h"

#include <gtest/gtest.h>

namespace {

std::string FirstBoxWhile(const std::function<void()>& action) {
    std::string text;
    harness::DialogAnswerer answer([&](HWND box) {
        text = harness::MessageBoxText(box);
        harness::PressButton(box, IDOK);
    });
    action();
    EXPECT_TRUE(answer.Answered());
    return text;
}

HWND HelpWindow() {
    return FindWindowA("HH Parent", nullptr);
}

} // namespace

TEST(StartFailure, WithoutTheImagingLibraryTheWindowSaysSoAndCloses) {
    ASSERT_EQ(GetFileAttributesA(kImagingLibraryFile), INVALID_FILE_ATTRIBUTES) << "library beside the test";
    MainWindowSession s;
    s.AddPicture("jpeg_baseline_420.jpg", "a.jpg");
    auto form = std::make_unique<TfrmMain>();
    ASSERT_TRUE(form->Create());
    HWND hwnd = form->Handle();
    EXPECT_EQ(FirstBoxWhile([&] { form->Show(SW_SHOWNORMAL); }), "Failure loading the image dll");
    harness::PumpUntil([&] { return !IsWindow(hwnd); });
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(form->Initialised());
    // What was read is written back: a file with the first start's records.
    EXPECT_NE(GetFileAttributesA(s.ConfigFile().c_str()), INVALID_FILE_ATTRIBUTES);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

TEST(StartFailure, WithoutTheHelpFileHelpIsOffAndEverythingElseRuns) {
    // The library found in the folder it was built in (a loaded library
    // cannot be deleted, so it is never copied here), but no help file
    // beside the program.
    ASSERT_TRUE(SetDllDirectoryA(SNAPWELL_LIBRARY_DIR));
    ASSERT_EQ(GetFileAttributesA("Snapwell.chm"), INVALID_FILE_ATTRIBUTES) << "help file beside the test";
    MainWindowSession s;
    s.AddPicture("jpeg_baseline_420.jpg", "a.jpg");
    EXPECT_EQ(FirstBoxWhile([&] { s.Start(); }),
              "Failure loading the help file,\nSnapwell help will not be available.\n\n"
              "The compiled help file (.chm) was not found.");
    EXPECT_TRUE(s.Form().Initialised());
    EXPECT_TRUE(s.Form().ImageCtrl()->HasPicture());
    s.Command(cmdHelp); // F1 does nothing
    EXPECT_EQ(HelpWindow(), nullptr);
}
