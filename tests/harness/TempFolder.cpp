#include "harness/TempFolder.h"

#include "support/LongPath.h"

#include <atomic>

namespace {
std::string SystemTemp() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    return base;
}
} // namespace

TempFolder::TempFolder() : TempFolder(SystemTemp()) {}

TempFolder::TempFolder(const std::string& base) {
    static std::atomic<unsigned> s_nCount{0};
    const std::string folder = base.empty() || base.back() == '\\' ? base : base + "\\";
    for (;;) {
        m_sPath = folder + "snapwell-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(GetTickCount()) + "-" + std::to_string(s_nCount++);
        if (CreateDirectoryA(m_sPath.c_str(), nullptr) || GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

TempFolder::~TempFolder() {
    RemoveTree(m_sPath);
}

std::vector<std::string> TempFolder::List() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((m_sPath + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void RemoveTree(const std::string& path) {
    // Wide calls on the long form: a test's folders may lie beyond MAX_PATH.
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(LongPath(path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = longpath::Narrow(found.cFileName);
            if (name == "." || name == "..")
                continue;
            const std::string inner = path + "\\" + name;
            SetFileAttributesW(LongPath(inner).c_str(), FILE_ATTRIBUTE_NORMAL);
            // A link to a folder goes, never what it leads to.
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                RemoveDirectoryW(LongPath(inner).c_str());
            else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(inner);
            else
                DeleteFileW(LongPath(inner).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(LongPath(path).c_str());
}
