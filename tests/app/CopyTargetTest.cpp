// Where Copy Image may write, in the real window: never over a source image,
// however the copy folder or the name chosen in the save dialog spells the
// source folder, and never over an existing copy without the question, also
// in a copy folder as long as the settings allow.
#include "MainWindowSession.h"
#include "TestDrives.h"

#include "app/CommandIds.h"
#include "harness/Answer.h"
#include "harness/Dialogs.h"
#include "harness/FolderDigest.h"
#include "harness/Gui.h"
#include "support/Folders.h"
#include "support/LongPath.h"

#include <gtest/gtest.h>

#include <commdlg.h>

namespace {

using harness::Answer;
using harness::DigestOf;

constexpr const char* kPhoto = "jpeg_baseline_420.jpg"; // 160 x 120
const std::string kFoldersNotDifferent = "The source and target folders must be different.";
const std::string kWouldReplaceSource = "The copy would replace a source image:\n\n";

std::string ShortForm(const std::string& path) {
    char szShort[MAX_PATH] = {};
    const DWORD n = GetShortPathNameA(path.c_str(), szShort, sizeof szShort);
    return n > 0 && n < sizeof szShort ? std::string(szShort, n) : std::string();
}

std::string WithSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

// The window showing photo.jpg from a source folder of its own behind the
// test drives' other names. Its name has a space, so its 8.3 name differs.
struct CAliasedSource {
    MainWindowSession session;
    TempFolder base{testdrives::AliasRoot()};
    std::string folder = base.File("Source Pictures");

    TfrmMain& Start() {
        EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        const std::string photo = folder + "\\photo.jpg";
        EXPECT_TRUE(CopyFileA((std::string(SNAPWELL_CORPUS_DIR) + "/" + kPhoto).c_str(), photo.c_str(), FALSE));
        SetFileAttributesA(photo.c_str(), FILE_ATTRIBUTE_NORMAL);
        TfrmMain& f = session.Start();
        f.Properties()->SetSourceFolder(folder.c_str());
        f.Properties()->m_bAutoAdvance = false;
        session.Command(cmdPopulate);
        EXPECT_EQ(session.SelectedText(), "photo.jpg");
        return f;
    }
};

} // namespace

TEST(CopyTarget, NoSpellingOfTheSourceFolderIsTakenForACopyFolder) {
    ASSERT_TRUE(FolderExists(testdrives::AliasRoot())) << "the test_drives fixture did not run";
    CAliasedSource source;
    TfrmMain& f = source.Start();
    const std::string& src = source.folder;
    const harness::FolderDigest before = DigestOf(src);
    ASSERT_EQ(before.size(), 1u);

    const struct {
        const char* what;
        std::string folder;
        uint8_t mode;
    } spellings[] = {
        {"trailing dot", src + "\\.", fmNeverPrompt},
        {"forward slashes", WithSlashes(src), fmPromptOverwrite},
        {"8.3 short name", ShortForm(src), fmAlwaysPrompt},
        {"another drive letter", testdrives::Through(testdrives::kAliasDrive, src), fmNeverPrompt},
        {"a share", testdrives::Through(testdrives::kAliasShare, src), fmPromptOverwrite},
        {"\\\\?\\ prefix", "\\\\?\\" + src, fmNeverPrompt},
        {"\\\\?\\UNC\\ prefix", "\\\\?\\UNC" + testdrives::Through(testdrives::kAliasShare, src).substr(1),
         fmAlwaysPrompt},
    };
    for (const auto& spelling : spellings) {
        SCOPED_TRACE(std::string(spelling.what) + ": " + spelling.folder);
        // Each spelling leads to the folder, or the case would prove nothing.
        ASSERT_TRUE(FolderExists(spelling.folder));
        ASSERT_NE(spelling.folder, src);
        f.Properties()->SetTargetFolder(spelling.folder.c_str());
        f.Properties()->m_nFilenameMode = spelling.mode;
        Answer box(IDOK);
        source.session.Command(cmdCopy);
        EXPECT_EQ(box.Text(), kFoldersNotDifferent);
        EXPECT_EQ(DigestOf(src), before);
    }
}

TEST(CopyTarget, NoSpellingOfASourceImageIsTakenForACopy) {
    ASSERT_TRUE(FolderExists(testdrives::AliasRoot())) << "the test_drives fixture did not run";
    CAliasedSource source;
    TfrmMain& f = source.Start();
    const std::string& src = source.folder;
    const harness::FolderDigest before = DigestOf(src);
    f.Properties()->SetTargetFolder(source.session.CopyFolder().c_str());
    f.Properties()->m_nFilenameMode = fmAlwaysPrompt;

    // The save dialog may name any file: these are all photo.jpg. (Wine's
    // dialog takes no share.)
    const struct {
        const char* what;
        std::string path;
    } spellings[] = {
        {"8.3 short name", ShortForm(src + "\\photo.jpg")},
        {"another drive letter", testdrives::Through(testdrives::kAliasDrive, src) + "\\photo.jpg"},
    };
    for (const auto& spelling : spellings) {
        SCOPED_TRACE(std::string(spelling.what) + ": " + spelling.path);
        ASSERT_NE(GetFileAttributesA(spelling.path.c_str()), INVALID_FILE_ATTRIBUTES);
        Answer answers({{IDOK, spelling.path}, {IDOK, ""}});
        source.session.Command(cmdCopy);
        harness::PumpUntil([&] { return answers.Seen(1); });
        EXPECT_EQ(answers.Text(1).substr(0, kWouldReplaceSource.size()), kWouldReplaceSource) << answers.Text(1);
        EXPECT_EQ(DigestOf(src), before);
    }
    EXPECT_TRUE(DigestOf(source.session.CopyFolder()).empty());
}

TEST(CopyTarget, ACopyFolderAtTheLengthLimitTakesCopiesAndAsksBeforeReplacingOne) {
    MainWindowSession s;
    const std::string name(150, 'p');
    s.AddPicture(kPhoto, name + ".png");
    TfrmMain& f = s.Start();
    TProperties& p = *f.Properties();
    p.m_bAutoAdvance = false;
    // The longest copy folder the settings hold: 259 characters.
    TempFolder base;
    const size_t nRest = 259 - base.Path().size() - 2;
    const std::string folder =
        base.Path() + "\\" + std::string(nRest / 2, 'f') + "\\" + std::string(nRest - nRest / 2, 'g');
    ASSERT_EQ(folder.size(), 259u);
    ASSERT_TRUE(CreateFolderWithParents(folder));
    p.SetTargetFolder(folder.c_str());
    const std::string copy = folder + "\\" + name + ".jpg";
    ASSERT_GT(copy.size(), size_t(MAX_PATH));

    p.m_nFilenameMode = fmNeverPrompt;
    s.Command(cmdCopy);
    EXPECT_EQ(ReadPictureSize(copy), (PictureSize{160, 120}));
    const harness::FolderDigest written = DigestOf(folder);
    ASSERT_EQ(written.size(), 1u);

    // The copy is there: Prompt Overwrite asks (the dialog opens on a
    // folder this long), and a cancelled question leaves it as it was.
    p.m_nFilenameMode = fmPromptOverwrite;
    ASSERT_TRUE(harness::WriteBytes(copy, "the copy made yesterday"));
    const harness::FolderDigest old = DigestOf(folder);
    {
        Answer dialog(IDCANCEL);
        s.Command(cmdCopy);
        EXPECT_TRUE(dialog.Seen());
        EXPECT_EQ(dialog.FileName(), name + ".jpg");
    }
    EXPECT_EQ(DigestOf(folder), old);
    // Saved under the name proposed (once the dialog shows the copy
    // folder, as a person would see it), the copy replaces it.
    std::string shown;
    {
        Answer dialog({{IDOK, "", [&](HWND box) {
                            harness::WaitUntil([&] {
                                char szFolder[MAX_PATH + 1] = {};
                                SendMessageA(box, CDM_GETFOLDERPATH, sizeof szFolder, LPARAM(szFolder));
                                shown = szFolder;
                                return shown == folder;
                            });
                        }}});
        s.Command(cmdCopy);
        EXPECT_TRUE(dialog.Seen());
    }
    EXPECT_EQ(shown, folder);
    EXPECT_EQ(ReadPictureSize(copy), (PictureSize{160, 120}));
    EXPECT_EQ(DigestOf(folder), written);
}
