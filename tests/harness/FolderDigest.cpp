#include "harness/FolderDigest.h"

#include "support/LongPath.h"

#include <windows.h>

#include <algorithm>

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

bool WriteBytes(const std::string& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool bWritten = true;
    for (size_t at = 0; bWritten && at < bytes.size();) {
        DWORD n = 0;
        const DWORD nChunk = DWORD(std::min<size_t>(bytes.size() - at, 1u << 20));
        bWritten = WriteFile(file, bytes.data() + at, nChunk, &n, nullptr) && n == nChunk;
        at += n;
    }
    return CloseHandle(file) && bWritten;
}

} // namespace harness
