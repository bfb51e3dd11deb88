// Paths beyond MAX_PATH: the long form the file calls take, and folders as
// long as a copy folder may be (and longer) created and found.
#include "support/Folders.h"
#include "support/LongPath.h"
#include "support/Paths.h"

#include "harness/TempFolder.h"

#include <gtest/gtest.h>

TEST(LongPath, IsAbsoluteAndPrefixedOnlyWhenTheRestWouldRefuseIt) {
    const std::string a300(300, 'a');
    const std::wstring w300(300, L'a');
    const struct {
        std::string path;
        std::wstring want;
    } cases[] = {
        {"", L""},
        {"C:\\x\\..\\y.jpg", L"C:\\y.jpg"},
        // CreateDirectory's limit is the lowest: 247 characters pass plainly.
        {"C:\\" + std::string(244, 'a'), L"C:\\" + std::wstring(244, L'a')},
        {"C:\\" + std::string(245, 'a'), L"\\\\?\\C:\\" + std::wstring(245, L'a')},
        {"C:/" + a300 + "/x/../b.jpg", L"\\\\?\\C:\\" + w300 + L"\\b.jpg"},
        {"\\\\server\\share\\" + a300, L"\\\\?\\UNC\\server\\share\\" + w300},
        {"\\\\.\\nul", L"\\\\.\\nul"},
        {"\\\\?\\C:\\" + a300, L"\\\\?\\C:\\" + w300},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(LongPath(c.path) == c.want) << c.path;
}

TEST(LongPath, FoldersBeyondMaxPathAreCreatedAndFound) {
    TempFolder base;
    const std::string folder = base.Path() + "\\" + std::string(150, 'a') + "\\" + std::string(150, 'b');
    const std::string file = folder + "\\file";
    // The harness's removal stops at MAX_PATH.
    struct CCleanup {
        const std::string& sBase;
        const std::string& sFolder;
        const std::string& sFile;
        ~CCleanup() {
            DeleteFileW(LongPath(sFile).c_str());
            const std::vector<std::string> chain = FolderChain(sFolder);
            for (auto step = chain.rbegin(); step != chain.rend() && step->size() > sBase.size(); ++step)
                RemoveDirectoryW(LongPath(*step).c_str());
        }
    } cleanup{base.Path(), folder, file};

    EXPECT_FALSE(FolderExists(folder));
    ASSERT_TRUE(CreateFolderWithParents(folder));
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_TRUE(FolderExists(folder + "\\"));
    EXPECT_TRUE(CreateFolderWithParents(folder)); // already there

    // A file is no folder, and nothing can be made below it.
    const HANDLE h = CreateFileW(LongPath(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(CreateFolderWithParents(file + "\\c"));
}
