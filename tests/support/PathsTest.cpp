// The path helpers' edge cases: roots, doubled backslashes, empty parts, and
// the folder chains that nested folder creation walks.
#include "support/Paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
struct Case {
    const char* input;
    const char* expected;
};
} // namespace

TEST(Paths, RemoveTrailingBackslashTakesOneOnly) {
    const Case cases[] = {
        {"C:\\", "C:"},
        {"C:\\Photos\\", "C:\\Photos"},
        {"C:\\Photos", "C:\\Photos"},
        {"C:\\Photos\\\\", "C:\\Photos\\"},
        {"\\", ""},
        {"", ""},
        {"C:\\Photos/", "C:\\Photos/"},
        {"\\\\server\\share\\", "\\\\server\\share"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(RemoveTrailingBackslash(k.input), k.expected) << k.input;
}

TEST(Paths, AddTrailingBackslashLeavesEmptyAndEndedPaths) {
    const Case cases[] = {
        {"", ""},
        {"C:", "C:\\"},
        {"C:\\", "C:\\"},
        {"Photos", "Photos\\"},
        {"C:\\a\\\\", "C:\\a\\\\"},
        {"C:\\a b", "C:\\a b\\"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(AddTrailingBackslash(k.input), k.expected) << k.input;
}

TEST(Paths, JoinPathIsTheSameWithAndWithoutTheFoldersBackslash) {
    EXPECT_EQ(JoinPath("C:\\Photos", "a.jpg"), "C:\\Photos\\a.jpg");
    EXPECT_EQ(JoinPath("C:\\Photos\\", "a.jpg"), "C:\\Photos\\a.jpg");
    EXPECT_EQ(JoinPath("", "a.jpg"), "a.jpg");
    EXPECT_EQ(JoinPath("C:\\", "a.jpg"), "C:\\a.jpg");
    EXPECT_EQ(JoinPath("C:", "a.jpg"), "C:\\a.jpg");
    EXPECT_EQ(JoinPath("C:\\Photos", ""), "C:\\Photos\\");
}

TEST(Paths, FolderChainWalksFromTheOutermostFolderInwards) {
    struct ChainCase {
        const char* path;
        std::vector<std::string> chain;
    };
    const ChainCase cases[] = {
        {"C:\\a\\b\\c", {"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}},
        {"C:\\a\\b\\", {"C:\\a", "C:\\a\\b"}},
        {"C:\\a\\\\b", {"C:\\a", "C:\\a\\b"}},
        {"C:/a/b", {"C:/a", "C:/a\\b"}},
        {"C:a\\b", {"C:a", "C:a\\b"}},
        {"\\a\\b", {"\\a", "\\a\\b"}},
        {"a\\b", {"a", "a\\b"}},
        {"\\\\server\\share\\a\\b", {"\\\\server\\share\\a", "\\\\server\\share\\a\\b"}},
        {"\\\\server\\share", {}},
        {"\\\\server\\share\\", {}},
        {"C:\\", {}},
        {"C:", {}},
        {"\\", {}},
        {"", {}},
    };
    for (const auto& k : cases)
        EXPECT_EQ(FolderChain(k.path), k.chain) << k.path;
}
