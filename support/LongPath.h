// Paths of any length for the wide file functions. The program keeps its
// paths as narrow texts in the process's ANSI code page (UTF-8 where the
// system honours the manifest, see NarrowText.h), and the ANSI file
// functions refuse them beyond MAX_PATH (CreateDirectoryA already beyond 248
// characters), while a copy folder may have 259 characters and a file name
// up to 255 more.
#pragma once

#include <windows.h>

#include <string>

namespace longpath {

// The shortest limit of the file functions without the "\\?\" prefix:
// CreateDirectory's room for an 8.3 name below the folder.
constexpr size_t kPlainPathChars = MAX_PATH - 12;

// The system's longest path, prefix included.
constexpr size_t kMaxPathChars = 32767;

// `path`, a narrow text in the process's ANSI code page, as a wide text.
inline std::wstring Widen(const std::string& path) {
    if (path.empty())
        return {};
    const int nChars = MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), nullptr, 0);
    if (nChars <= 0)
        return {};
    std::wstring wide(size_t(nChars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), &wide[0], nChars);
    return wide;
}

// The wide `path` in the process's ANSI code page, as the program keeps paths.
inline std::string Narrow(const std::wstring& path) {
    if (path.empty())
        return {};
    const int nBytes =
        WideCharToMultiByte(CP_ACP, 0, path.data(), int(path.size()), nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0)
        return {};
    std::string narrow(size_t(nBytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, path.data(), int(path.size()), &narrow[0], nBytes, nullptr, nullptr);
    return narrow;
}

} // namespace longpath

// `path` made absolute the system's way (".." and "/" resolved, against the
// current folder when relative) as a wide text that the wide file functions
// take at any length: one too long for them plainly gets the "\\?\" prefix
// ("\\?\UNC\server\share\..." on a share). Paths already in the system's
// device forms ("\\?\", "\\.\") pass unchanged. Empty when it cannot be
// converted, which every file function refuses.
inline std::wstring LongPath(const std::string& path) {
    const std::wstring wide = longpath::Widen(path);
    if (wide.empty() || wide.compare(0, 4, L"\\\\?\\") == 0 || wide.compare(0, 4, L"\\\\.\\") == 0)
        return wide;
    const DWORD nNeeded = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (nNeeded == 0)
        return {};
    std::wstring full(nNeeded, L'\0');
    const DWORD nChars = GetFullPathNameW(wide.c_str(), nNeeded, &full[0], nullptr);
    if (nChars == 0 || nChars >= nNeeded)
        return {};
    full.resize(nChars);
    if (full.size() < longpath::kPlainPathChars || full.compare(0, 4, L"\\\\.\\") == 0 ||
        full.compare(0, 4, L"\\\\?\\") == 0)
        return full;
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}
