// The library's file paths arrive as ANSI texts (in the system's code page),
// which the ANSI file functions refuse beyond MAX_PATH; a copy into a folder
// of 259 characters is longer. Its files are opened with the wide functions
// instead, on the path this gives.
#pragma once

#include <windows.h>

#include <string>

namespace isource {

// `path` as an absolute wide path; one of MAX_PATH - 12 characters or more
// gets the "\\?\" prefix ("\\?\UNC\..." on a share), which lifts the plain
// functions' limit. Device forms ("\\?\", "\\.\") pass unchanged; empty when
// the text cannot be converted.
inline std::wstring WidePath(const char* path) {
    const int chars = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (chars <= 1)
        return {};
    std::wstring wide(size_t(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], chars);
    wide.resize(size_t(chars) - 1);
    const auto device = [](const std::wstring& p) {
        return p.compare(0, 4, L"\\\\?\\") == 0 || p.compare(0, 4, L"\\\\.\\") == 0;
    };
    if (device(wide))
        return wide;
    std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length =
        full.empty() ? 0 : GetFullPathNameW(wide.c_str(), DWORD(full.size()), &full[0], nullptr);
    if (length == 0 || length >= full.size())
        return {};
    full.resize(length);
    if (device(full) || full.size() < MAX_PATH - 12)
        return full;
    return full.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

} // namespace isource
