// Sameness of files and folders by what the paths lead to: spellings the
// texts do not show (8.3 names, a second name of the file, prefixes, dots),
// and neighbours that merely look alike. The window's tests spell the source
// folder through other drives and shares (tests/app/CopyTargetTest.cpp).
#include "support/FileIdentity.h"
#include "support/LongPath.h"

#include "harness/TempFolder.h"

#include <gtest/gtest.h>

namespace {
std::string ShortForm(const std::string& path) {
    char szShort[MAX_PATH] = {};
    const DWORD n = GetShortPathNameA(path.c_str(), szShort, sizeof szShort);
    return n > 0 && n < sizeof szShort ? std::string(szShort, n) : std::string();
}

void Touch(const std::string& path) {
    const HANDLE h = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    CloseHandle(h);
}
} // namespace

TEST(FileIdentity, SameByWhatThePathsLeadTo) {
    TempFolder base;
    const std::string folder = base.File("Holiday Pictures");
    const std::string photo = folder + "\\Sunset over the lake.jpg";
    const std::string deep = base.Path() + "\\" + std::string(200, 'd') + "\\" + std::string(100, 'e') + ".jpg";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(LongPath(base.Path() + "\\" + std::string(200, 'd')).c_str(), nullptr));
    Touch(photo);
    Touch(folder + "\\other.jpg");
    Touch(deep);
    ASSERT_TRUE(CreateHardLinkA((base.File("second name.jpg")).c_str(), photo.c_str(), nullptr));
    ASSERT_NE(ShortForm(photo), photo);

    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {folder, folder + "\\", true},
        {folder, folder + "\\.\\", true},
        {folder, base.Path() + "\\x\\..\\HOLIDAY pictures", true},
        {folder, ShortForm(folder), true},
        {photo, ShortForm(photo), true},
        {photo, "\\\\?\\" + photo, true},
        {photo, base.File("second name.jpg"), true},
        {deep, "\\\\?\\" + deep, true},
        {base.Path() + "\\" + std::string(200, 'D') + "\\.\\" + std::string(100, 'e') + ".JPG", deep, true},
        // Not there: the same only by their texts.
        {folder + "\\missing.jpg", folder + "\\.\\MISSING.jpg", true},
        {folder + "\\missing.jpg", folder + "\\missing2.jpg", false},
        {photo, folder + "\\other.jpg", false},
        {photo, folder, false},
        {folder, base.Path(), false},
        {folder, "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameFileOrFolder(c.a, c.b), c.same) << c.a << " | " << c.b;
        EXPECT_EQ(SameFileOrFolder(c.b, c.a), c.same) << c.b << " | " << c.a;
    }
}

TEST(FileIdentity, LocatesAFileByTheNameItsFolderKeeps) {
    TempFolder base;
    const std::string folder = base.File("Holiday Pictures");
    const std::string photo = folder + "\\Sunset over the lake.jpg";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    Touch(photo);
    std::string where, name;
    ASSERT_TRUE(LocateFile(ShortForm(photo), where, name));
    EXPECT_TRUE(SameFileOrFolder(where, folder)) << where;
    EXPECT_EQ(where.back(), '\\');
    EXPECT_STRCASEEQ(name.c_str(), "Sunset over the lake.jpg");
    EXPECT_FALSE(LocateFile(folder + "\\missing.jpg", where, name));
    EXPECT_FALSE(LocateFile(folder + "\\*.jpg", where, name));

    // Existence at any length, and a folder is no file.
    const std::string longFolder = base.Path() + "\\" + std::string(250, 'l');
    ASSERT_TRUE(CreateDirectoryW(LongPath(longFolder).c_str(), nullptr));
    Touch(longFolder + "\\copy.jpg");
    EXPECT_TRUE(FileExists(longFolder + "\\copy.jpg"));
    EXPECT_FALSE(FileExists(longFolder + "\\other.jpg"));
    EXPECT_FALSE(FileExists(longFolder));
    EXPECT_TRUE(FileExists(photo));
}
