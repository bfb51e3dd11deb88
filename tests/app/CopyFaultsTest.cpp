// What goes wrong while Copy Image writes, in the real window: a read-only
// copy, a copy folder gone after it was chosen, a full disk, the source file
// deleted or replaced after it was shown (a copy folder at the length limit:
// CopyTargetTest.cpp). Each says what happened (with the
// system's reason where there is one), does not advance, leaves no partial
// or temporary file, keeps an existing copy byte for byte, and the source
// folder is byte for byte as it was.
#include "MainWindowSession.h"
#include "TestDrives.h"

#include "app/CommandIds.h"
#include "harness/Answer.h"
#include "harness/FolderDigest.h"
#include "harness/Gui.h"
#include "support/Folders.h"
#include "support/LongPath.h"
#include "support/SystemError.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using harness::Answer;
using harness::DigestOf;
using harness::FolderDigest;

constexpr const char* kPhoto = "jpeg_baseline_420.jpg"; // 160 x 120
const std::string kOldCopy = "the copy made yesterday";

std::string SystemReason(DWORD nError) {
    char szReason[256] = {};
    return GetSystemErrorText(int32_t(nError), szReason, sizeof szReason);
}

// Fills the drive of `path` with one file there until a write fails.
bool FillDisk(const std::string& path) {
    const HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const std::string chunk(4096, 'f');
    DWORD n = 0;
    int nChunks = 0;
    while (WriteFile(file, chunk.data(), DWORD(chunk.size()), &n, nullptr) && n == chunk.size() && nChunks < 100000)
        ++nChunks;
    const DWORD nError = GetLastError();
    CloseHandle(file);
    return nError == ERROR_DISK_FULL && nChunks < 100000;
}

// The main window showing photo.jpg (before zz.png) from a fresh source
// folder, copying with Auto Advance into `copyFolder` in `mode`.
struct CCopySession {
    MainWindowSession s;
    TfrmMain* f = nullptr;
    std::string photo = s.SourceFolder() + "\\photo.jpg";

    void Start(const std::string& copyFolder, uint8_t mode) {
        s.AddPicture(kPhoto, "photo.jpg");
        s.AddPicture("png_rgb8.png", "zz.png");
        f = &s.Start();
        f->Properties()->SetTargetFolder(copyFolder.c_str());
        f->Properties()->m_nFilenameMode = mode;
        f->Properties()->m_bAutoAdvance = true;
        EXPECT_EQ(s.SelectedText(), "photo.jpg");
    }
};

} // namespace

TEST(CopyFaults, EachSaysWhatHappenedAndLosesNothing) {
    ASSERT_TRUE(FolderExists(std::string(testdrives::kFullDisk) + "\\"))
        << "the test_drives fixture did not map the full disk";
    ULARGE_INTEGER nTotal{};
    ASSERT_TRUE(GetDiskFreeSpaceExA("T:\\", nullptr, &nTotal, nullptr));
    ASSERT_LE(nTotal.QuadPart, 1024u * 1024u) << "T: is not the small tmpfs of the test_drives fixture";

    const std::string kWriteFailed = "Failure to write the copy:\n\n";
    struct Case {
        const char* what;
        bool bOnFullDisk;
        uint8_t mode;
        bool bOldCopy;
        // Done once photo.jpg is shown; may name the steps of the dialogs.
        std::function<std::vector<Answer::Step>(CCopySession&, const std::string& copyFolder)> act;
        // The message, given the copy's path and the source file.
        std::function<std::string(const std::string& copy, const std::string& source)> message;
        const char* shown = " source = 160 x 120"; // the picture size the status bar shows then
    };
    const Case cases[] = {
        {"read-only copy", false, fmNeverPrompt, true,
         [](CCopySession&, const std::string& folder) {
             SetFileAttributesA((folder + "\\photo.jpg").c_str(), FILE_ATTRIBUTE_READONLY);
             return std::vector<Answer::Step>{{IDOK}};
         },
         [&](const std::string& copy, const std::string&) {
             return kWriteFailed + copy + "\n\n" + SystemReason(ERROR_ACCESS_DENIED);
         }},
        // (While the save dialog shows a folder, no one can remove it; gone
        // between the dialog and the write, the write fails with the
        // system's reason: CimageLongPathTest.)
        {"copy folder gone after it was chosen", false, fmNeverPrompt, false,
         [](CCopySession&, const std::string& folder) {
             EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
             return std::vector<Answer::Step>{{IDNO}};
         },
         [](const std::string& copy, const std::string&) {
             return "The target folder does not exist:\n\n" + copy.substr(0, copy.rfind('\\')) +
                    "\n\nCreate target folder?";
         }},
        {"full disk", true, fmNeverPrompt, true,
         [](CCopySession&, const std::string&) {
             EXPECT_TRUE(FillDisk("T:\\filler"));
             return std::vector<Answer::Step>{{IDOK}};
         },
         [&](const std::string& copy, const std::string&) {
             return kWriteFailed + copy + "\n\n" + SystemReason(ERROR_DISK_FULL);
         }},
        {"source deleted after it was shown", false, fmNeverPrompt, true,
         [](CCopySession& c, const std::string&) {
             EXPECT_TRUE(DeleteFileA(c.photo.c_str()));
             return std::vector<Answer::Step>{{IDOK}};
         },
         [](const std::string&, const std::string& source) {
             return "Failuer to open source image file:\n\n" + source;
         }},
        {"source replaced after it was shown", false, fmNeverPrompt, true,
         [](CCopySession& c, const std::string&) {
             EXPECT_TRUE(CopyFileA((std::string(SNAPWELL_CORPUS_DIR) + "/odd_17x13.jpg").c_str(),
                                   c.photo.c_str(), FALSE));
             SetFileAttributesA(c.photo.c_str(), FILE_ATTRIBUTE_NORMAL);
             return std::vector<Answer::Step>{{IDOK}};
         },
         [](const std::string&, const std::string& source) {
             return "The source image file has changed since it was shown:\n\n" + source +
                    "\n\nIt is shown as it is now. Check the crop and copy it again.";
         },
         " source = 17 x 13"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCopySession session;
        std::unique_ptr<TempFolder> copyFolder =
            c.bOnFullDisk ? std::make_unique<TempFolder>("T:\\") : std::make_unique<TempFolder>();
        const std::string copy = copyFolder->File("photo.jpg");
        if (c.bOldCopy) {
            ASSERT_TRUE(harness::WriteBytes(copy, kOldCopy));
        }
        session.Start(copyFolder->Path(), c.mode);
        const FolderDigest copies = DigestOf(copyFolder->Path());

        const std::vector<Answer::Step> steps = c.act(session, copyFolder->Path());
        const FolderDigest sources = DigestOf(session.s.SourceFolder());
        {
            Answer answers(steps);
            session.s.Command(cmdCopy);
            harness::PumpUntil([&] { return answers.Seen(steps.size() - 1); }, 10000);
            EXPECT_EQ(answers.Text(steps.size() - 1), c.message(copy, session.photo));
        }
        EXPECT_EQ(session.s.SelectedText(), "photo.jpg") << "advanced after a failed copy";
        EXPECT_EQ(session.f->StatusText(3), c.shown);
        EXPECT_EQ(DigestOf(session.s.SourceFolder()), sources);
        // The copy folder as it was (gone, when it went): no partial or
        // temporary file, an existing copy byte for byte.
        EXPECT_EQ(DigestOf(copyFolder->Path()), copies);
        DeleteFileA("T:\\filler");
    }
}
