// Copies into copy folders as long as the settings allow (259 characters),
// whose files have paths beyond MAX_PATH, and the reason a copy failed.
#include "imaging/Cimage.h"
#include "imaging/ImagingLibrary.h"

#include "harness/TempFolder.h"
#include "imaging/ImagingTestFiles.h"
#include "support/Folders.h"
#include "support/LongPath.h"
#include "support/Paths.h"
#include "support/SystemError.h"

#include <gtest/gtest.h>

#include <cstdio>

using imagingtest::Corpus;

namespace {

std::string ReadLong(const std::string& path) {
    std::string bytes;
    if (std::FILE* f = _wfopen(LongPath(path).c_str(), L"rb")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

bool WriteLong(const std::string& path, const std::string& bytes) {
    std::FILE* f = _wfopen(LongPath(path).c_str(), L"wb");
    const bool bWritten = f != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return f != nullptr && std::fclose(f) == 0 && bWritten;
}

// Names of the files and folders matching `pattern` (a folder and a mask).
std::vector<std::string> ListLong(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(LongPath(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.emplace_back(name.begin(), name.end());
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// Two nested folders inside `base`, `nChars` characters in all. The
// harness's removal stops at MAX_PATH, so this takes its files and folders
// down itself.
class CLongFolder {
public:
    CLongFolder(const std::string& base, size_t nChars) : m_sBase(base) {
        const size_t nRest = nChars - base.size() - 2;
        m_sPath = base + "\\" + std::string(nRest / 2, 'f') + "\\" + std::string(nRest - nRest / 2, 'g');
    }
    ~CLongFolder() {
        for (const std::string& name : ListLong(m_sPath + "\\*")) {
            SetFileAttributesW(LongPath(m_sPath + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(LongPath(m_sPath + "\\" + name).c_str());
        }
        const std::vector<std::string> chain = FolderChain(m_sPath);
        for (auto step = chain.rbegin(); step != chain.rend() && step->size() > m_sBase.size(); ++step)
            RemoveDirectoryW(LongPath(*step).c_str());
    }
    CLongFolder(const CLongFolder&) = delete;
    CLongFolder& operator=(const CLongFolder&) = delete;
    const std::string& Path() const { return m_sPath; }

private:
    std::string m_sBase;
    std::string m_sPath;
};

} // namespace

TEST(CimageLongPath, CopiesIntoLongFoldersAndSaysWhyACopyFailed) {
    ASSERT_TRUE(InitImaging());
    TempFolder base;
    CLongFolder folder250(base.Path(), 250), folder259(base.Path(), 259);
    for (const CLongFolder* folder : {&folder250, &folder259}) {
        ASSERT_EQ(folder->Path().size(), folder == &folder250 ? 250u : 259u);
        ASSERT_TRUE(CreateFolderWithParents(folder->Path()));
    }
    const std::string longest = JoinPath(folder259.Path(), std::string(251, 'n') + ".jpg");
    const std::string old = "the copy made yesterday";
    // The host's /dev/full behind a link of our own beside the program (made
    // by the build), so a copy that wrongly replaced it replaces the link.
    char szProgram[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, szProgram, MAX_PATH);
    const std::string fullDisk = imaging::FolderOf(szProgram) + "full-disk.jpg";

    enum Before { kNothing, kOldCopy, kReadOnlyCopy };
    const struct Case {
        const char* what;
        std::string path;
        Before before;
        int32_t nPictureWidth; // 0: the corpus photo
        DWORD nError;          // 0: written
    } cases[] = {
        {"new copy, 250", JoinPath(folder250.Path(), "photo.jpg"), kNothing, 0, 0},
        {"replaced copy, 250", JoinPath(folder250.Path(), "photo.jpg"), kOldCopy, 0, 0},
        {"new copy, 259 + 255", longest, kNothing, 0, 0},
        {"replaced copy, 259 + 255", longest, kOldCopy, 0, 0},
        {"read-only copy", JoinPath(folder259.Path(), "locked.jpg"), kReadOnlyCopy, 0, ERROR_ACCESS_DENIED},
        {"missing folder", JoinPath(folder259.Path(), "missing\\photo.jpg"), kNothing, 0,
         ERROR_PATH_NOT_FOUND},
        {"full disk", fullDisk, kNothing, 0, ERROR_DISK_FULL},
        {"name too long", JoinPath(folder259.Path(), std::string(300, 'n') + ".jpg"), kNothing, 0,
         ERROR_FILENAME_EXCED_RANGE},
        // Wider than a JPEG can be: the writer fails half-way.
        {"failed write", longest, kOldCopy, 70000, ERROR_WRITE_FAULT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.before != kNothing) {
            SetFileAttributesW(LongPath(c.path).c_str(), FILE_ATTRIBUTE_NORMAL);
            ASSERT_TRUE(WriteLong(c.path, old));
            if (c.before == kReadOnlyCopy) {
                ASSERT_TRUE(SetFileAttributesW(LongPath(c.path).c_str(), FILE_ATTRIBUTE_READONLY));
            }
        }
        CImage image;
        if (c.nPictureWidth != 0) {
            image.Attach(std::unique_ptr<uint8_t[]>(new uint8_t[size_t(c.nPictureWidth) * 2 * 3]()),
                         c.nPictureWidth, 2);
        } else {
            ASSERT_TRUE(image.Load(Corpus("jpeg_baseline_420.jpg")));
        }
        const int32_t w = c.nPictureWidth != 0 ? c.nPictureWidth : 60, h = c.nPictureWidth != 0 ? 2 : 45;

        const bool bWritten = image.WriteJpeg(c.path, w, h, 10, 20, 130, 110, -1, 100, 0, 0);
        EXPECT_EQ(bWritten, c.nError == 0);
        EXPECT_EQ(image.LastWriteError(), c.nError);
        char szReason[256] = {};
        if (c.nError != 0) {
            EXPECT_STRNE(GetSystemErrorText(int32_t(image.LastWriteError()), szReason, sizeof szReason), "");
        }

        CImage back;
        if (c.nError == 0) {
            ASSERT_TRUE(back.Load(c.path));
            EXPECT_EQ(back.Width(), 60);
            EXPECT_EQ(back.Height(), 45);
        } else if (c.before != kNothing) {
            EXPECT_TRUE(ReadLong(c.path) == old) << "the existing copy changed";
        }
        EXPECT_EQ(ListLong(imaging::FolderOf(c.path) + "~snw*"), std::vector<std::string>{});
    }
    // The device is still the device: written into, never replaced.
    const HANDLE full = CreateFileW(LongPath(fullDisk).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(GetFileType(full), DWORD(FILE_TYPE_CHAR));
    CloseHandle(full);
}
