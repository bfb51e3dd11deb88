// The pictures the real main window keeps: a file unchanged since it was
// decoded (or read ahead) is not decoded again for a copy, a turn or Next
// Image; a file changed on disk is decoded again and never shown or copied
// from the old decode (nor copied before the user has seen it); the read-ahead follows the direction of travel, is
// dropped when the user goes elsewhere and skipped when the next picture
// would not fit; never more than two pictures are held.
#include "MainWindowSession.h"

#include "app/CommandIds.h"
#include "harness/Answer.h"
#include "harness/Gui.h"
#include "imaging/ImagingTestFiles.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kPhoto = "jpeg_baseline_420.jpg"; // 160 x 120

// The corpus file written over `path` with a later write time, as an
// editor saving the file would leave it.
void Replace(const std::string& corpusFile, const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA before{};
    ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &before));
    ASSERT_TRUE(
        CopyFileA((std::string(SNAPWELL_CORPUS_DIR) + "/" + corpusFile).c_str(), path.c_str(), FALSE));
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ULARGE_INTEGER t{};
    t.LowPart = before.ftLastWriteTime.dwLowDateTime;
    t.HighPart = before.ftLastWriteTime.dwHighDateTime;
    t.QuadPart += 10 * 10000000ull; // ten seconds on
    const FILETIME later{t.LowPart, t.HighPart};
    SetFileTime(file, nullptr, nullptr, &later);
    CloseHandle(file);
}

void AwaitReadAhead(TfrmMain& f) {
    ASSERT_TRUE(harness::PumpUntil([&] { return f.Pictures()->AheadArrived(); }))
        << f.Pictures()->AheadPath();
}

} // namespace

TEST(PictureCache, UnchangedFilesAreDecodedOnceChangedOnesAgain) {
    MainWindowSession s;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        s.AddPicture(kPhoto, name);
    TfrmMain& f = s.Start();
    f.Properties()->m_bAutoAdvance = false;
    f.Properties()->m_nFilenameMode = fmNeverPrompt;
    CPictureCache& pictures = *f.Pictures();
    EXPECT_EQ(pictures.Stats().nDecodes, 1);
    AwaitReadAhead(f);
    EXPECT_EQ(pictures.AheadPath(), s.SourceFolder() + "\\b.jpg");

    // Copies and a turn of the picture shown: no file is read.
    const std::string copy = s.CopyFolder() + "\\a.jpg";
    s.Command(cmdCopy);
    s.Command(cmdRotateRight);
    s.Command(cmdCopy);
    EXPECT_EQ(pictures.Stats().nDecodes, 1);
    EXPECT_EQ(ReadPictureSize(copy), (PictureSize{120, 160}));

    // The file shown changes on disk: the copy is refused and the new file
    // shown (the crop was chosen on the old picture); copied again, the copy
    // is what a fresh decode of the new file, turned the same way, gives at
    // the same crop and size.
    Replace("jpeg_greyscale.jpg", s.SourceFolder() + "\\a.jpg");
    const std::string before = imagingtest::ReadFileBytes(copy);
    {
        harness::Answer box(IDOK);
        s.Command(cmdCopy);
        EXPECT_EQ(box.Text(), "The source image file has changed since it was shown:\n\n" + s.SourceFolder() +
                                  "\\a.jpg\n\nIt is shown as it is now. Check the crop and copy it again.");
    }
    EXPECT_EQ(pictures.Stats().nDecodes, 2);
    EXPECT_TRUE(imagingtest::ReadFileBytes(copy) == before);
    s.Command(cmdCopy);
    EXPECT_EQ(pictures.Stats().nDecodes, 2);
    TRect crop{0, 0, 0, 0};
    TSize size = f.ImageCtrl()->GetCropGeometry(crop, true);
    if (size.Width == 0 || size.Height == 0)
        size = TSize{crop.Width(), crop.Height()};
    CImage fresh;
    ASSERT_TRUE(fresh.Load(s.SourceFolder() + "\\a.jpg"));
    ASSERT_TRUE(fresh.Rotate(0));
    const std::string reference = s.CopyFolder() + "\\reference.jpg";
    ASSERT_TRUE(fresh.WriteJpeg(reference, size.Width, size.Height, crop.Left, crop.Top, crop.Right,
                                crop.Bottom, -1, 100, 0, 0));
    EXPECT_GT(imagingtest::ReadFileBytes(copy).size(), 100u);
    EXPECT_TRUE(imagingtest::ReadFileBytes(copy) == imagingtest::ReadFileBytes(reference));

    // The next file changes after it was read ahead: Next reads it again.
    AwaitReadAhead(f);
    Replace("odd_17x13.jpg", s.SourceFolder() + "\\b.jpg");
    s.Command(cmdNextImage);
    EXPECT_EQ(pictures.Stats().nDecodes, 3);
    EXPECT_EQ(f.StatusText(3), " source = 17 x 13");
    EXPECT_LE(pictures.Stats().nPeakPictures, 2);
}

TEST(PictureCache, ReadAheadFollowsTheDirectionAndIsDroppedElsewhere) {
    MainWindowSession s;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"})
        s.AddPicture(kPhoto, name);
    TfrmMain& f = s.Start();
    CPictureCache& pictures = *f.Pictures();
    const auto path = [&](const char* name) { return s.SourceFolder() + "\\" + name; };

    AwaitReadAhead(f);
    s.Command(cmdNextImage); // b, read ahead
    EXPECT_EQ(pictures.Stats().nDecodes, 1);
    EXPECT_EQ(pictures.AheadPath(), path("c.jpg"));

    // A click elsewhere drops the read-ahead of c; on from e is round the end.
    s.Select("e.jpg");
    EXPECT_EQ(pictures.Stats().nDecodes, 2);
    EXPECT_EQ(pictures.AheadPath(), path("a.jpg"));

    // Turning back: d was not read ahead; then c is, upwards.
    s.Command(cmdPrevImage);
    EXPECT_EQ(s.SelectedText(), "d.jpg");
    EXPECT_EQ(pictures.Stats().nDecodes, 3);
    EXPECT_EQ(pictures.AheadPath(), path("c.jpg"));
    AwaitReadAhead(f);
    s.Command(cmdPrevImage);
    EXPECT_EQ(pictures.Stats().nDecodes, 3);
    EXPECT_EQ(f.StatusText(3), " source = 160 x 120");
    EXPECT_LE(pictures.Stats().nPeakPictures, 2);
}

TEST(PictureCache, ReadAheadIsSkippedWhenTheNextPictureWouldNotFit) {
    MainWindowSession s;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        s.AddPicture(kPhoto, name);
    TfrmMain& f = s.Start();
    CPictureCache& pictures = *f.Pictures();
    AwaitReadAhead(f);

    // Half the memory holds the picture shown (160 x 120 x 3 bytes), its
    // bitmap (4 bytes a pixel) and 10,000 bytes more: the library refuses
    // the next picture from its header, and Next reads it while the user
    // waits.
    const uint64_t shown = 160 * 120 * 3, bitmap = 160 * 120 * 4;
    pictures.SetMemory(2 * (shown + bitmap + 10000));
    s.Command(cmdNextImage); // b, read ahead before
    EXPECT_EQ(pictures.Stats().nDecodes, 1);
    ASSERT_TRUE(harness::PumpUntil([&] { return pictures.Stats().nRefused == 1; }));
    EXPECT_FALSE(pictures.AheadArrived());
    s.Command(cmdNextImage);
    EXPECT_EQ(s.SelectedText(), "c.jpg");
    EXPECT_EQ(pictures.Stats().nDecodes, 2);

    // No room at all: nothing is asked of the library.
    pictures.SetMemory(2 * (shown + bitmap));
    s.Command(cmdNextImage);
    EXPECT_EQ(pictures.Stats().nRefused, 3);
    EXPECT_EQ(pictures.AheadPath(), "");
    EXPECT_LE(pictures.Stats().nPeakPictures, 2);
}

TEST(PictureCache, ANewFolderKeepsTheReadAheadsMemoryOnlyWhenAPictureFollows) {
    MainWindowSession s;
    for (const char* name : {"a.jpg", "b.jpg"})
        s.AddPicture(kPhoto, name);
    TfrmMain& f = s.Start();
    CPictureCache& pictures = *f.Pictures();
    const std::string other = s.CopyFolder() + "\\other", empty = s.CopyFolder() + "\\empty";
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr) && CreateDirectoryA(empty.c_str(), nullptr));
    for (const char* name : {"\\c.jpg", "\\d.jpg"})
        ASSERT_TRUE(CopyFileA((std::string(SNAPWELL_CORPUS_DIR) + "/" + kPhoto).c_str(),
                              (other + name).c_str(), FALSE));

    // Another folder: its first picture is decoded, the next read ahead and
    // shown by Next without a decode.
    AwaitReadAhead(f);
    f.Properties()->SetSourceFolder(other.c_str());
    s.Command(cmdPopulate);
    EXPECT_EQ(s.SelectedText(), "c.jpg");
    EXPECT_EQ(pictures.Stats().nDecodes, 2);
    AwaitReadAhead(f);
    EXPECT_EQ(pictures.AheadPath(), other + "\\d.jpg");
    s.Command(cmdNextImage);
    EXPECT_EQ(pictures.Stats().nDecodes, 2);
    EXPECT_EQ(f.StatusText(3), " source = 160 x 120");

    // A folder without pictures: the view is painted empty before the
    // command returns and the read-ahead's memory is freed.
    AwaitReadAhead(f);
    f.Properties()->SetSourceFolder(empty.c_str());
    SendMessageA(f.Handle(), WM_COMMAND, MAKEWPARAM(cmdPopulate, 0), 0);
    EXPECT_FALSE(f.ImageCtrl()->HasPicture());
    EXPECT_FALSE(GetUpdateRect(f.ImageCtrl()->Handle(), nullptr, FALSE));
    EXPECT_EQ(pictures.Stats().nHeld, 1); // the picture shown before
    EXPECT_LE(pictures.Stats().nPeakPictures, 2);
}
