// The program started without _ISource30.dll beside it: the binding finds
// no library, InitImaging reports it, and the image object fails cleanly.
// This program is built into a folder of its own that holds no copy of the
// library.
#include "imaging/Cimage.h"
#include "imaging/ImagingLibrary.h"

#include <gtest/gtest.h>

TEST(NoImagingLibrary, InitImagingIsFalse) {
    ASSERT_EQ(GetFileAttributesA(kImagingLibraryFile), INVALID_FILE_ATTRIBUTES) << "library beside the test";
    EXPECT_EQ(g_IS3.m_hModule, nullptr);
    EXPECT_FALSE(g_IS3.Complete());
    EXPECT_FALSE(InitImaging());
    EXPECT_TRUE(g_ImageExtensions.empty());
}

TEST(NoImagingLibrary, TheImageObjectFailsWithoutCrashing) {
    CImage image;
    EXPECT_FALSE(image.Load(SNAPWELL_CORPUS_DIR "/PHOTO.JPG"));
    EXPECT_FALSE(image.HasPicture());
    EXPECT_FALSE(image.Rotate(0));
}
