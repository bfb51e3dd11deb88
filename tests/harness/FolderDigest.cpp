#include "harness/FolderDigest.h"

#include "support/LongPath.h"

#include <windows.h>

namespace harness {

namespace {

void Walk(const std::string& folder, const std::string& prefix, FolderDigest& digest) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(LongPath(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = longpath::Narrow(found.cFileName);
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            digest[prefix + name + "\\"] = {0, 0};
            Walk(folder + "\\" + name, prefix + name + "\\", digest);
            continue;
        }
        const std::string bytes = ReadBytes(folder + "\\" + name);
        uint64_t hash = 14695981039346656037ull;
        for (unsigned char c : bytes)
            hash = (hash ^ c) * 1099511628211ull;
        digest[prefix + name] = {bytes.size(), hash};
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

FolderDigest DigestOf(const std::string& folder) {
    FolderDigest digest;
    Walk(folder, "", digest);
    return digest;
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    const HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    CloseHandle(file);
    return bytes;
}

} // namespace harness
