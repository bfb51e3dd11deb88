#include "support/FileIdentity.h"

#include "support/LongPath.h"
#include "ui/Handles.h"

namespace {

// `path` with its 8.3 parts in their long form, as far as it exists.
std::wstring LongForm(const std::wstring& path) {
    const DWORD nNeeded = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (nNeeded == 0)
        return path;
    std::wstring longForm(nNeeded, L'\0');
    const DWORD nChars = GetLongPathNameW(path.c_str(), &longForm[0], nNeeded);
    if (nChars == 0 || nChars >= nNeeded)
        return path;
    longForm.resize(nChars);
    return longForm;
}

// The part after the "\\?\" or "\\.\" prefix (a share's "\\?\UNC\server" as
// "\\server"): the path the plain forms would spell.
std::wstring WithoutPrefix(const std::wstring& path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0)
        return path.substr(4);
    return path;
}

// Two spellings that agree here name the same place: no prefix, no trailing
// backslash (a drive's root keeps it), upper case as the file systems
// compare names.
std::wstring Comparable(const std::wstring& longPath) {
    std::wstring path = WithoutPrefix(LongForm(longPath));
    while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] != L':')
        path.pop_back();
    if (!path.empty())
        CharUpperBuffW(&path[0], DWORD(path.size()));
    return path;
}

// Wildcards would make the name searches below match other files.
bool HasWildcards(const std::wstring& longPath) {
    return WithoutPrefix(longPath).find_first_of(L"*?") != std::wstring::npos;
}

struct TFileId {
    DWORD nVolume = 0;
    DWORD nIndexHigh = 0;
    DWORD nIndexLow = 0;
    bool operator==(const TFileId& o) const {
        return nVolume == o.nVolume && nIndexHigh == o.nIndexHigh && nIndexLow == o.nIndexLow;
    }
};

// The volume and file index of what `longPath` leads to; folders open only
// with backup semantics. Nothing is read, and nobody else is kept out.
bool IdentityOf(const std::wstring& longPath, TFileId& id) {
    if (HasWildcards(longPath))
        return false;
    const ui::UniqueHandle hFile(CreateFileW(longPath.c_str(), 0,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!hFile.Valid() || !GetFileInformationByHandle(hFile.Get(), &info))
        return false;
    // Some network file systems give every file the index 0: no identity.
    if (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0)
        return false;
    id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

} // namespace

bool FileExists(const std::string& path) {
    const DWORD nAttributes = GetFileAttributesW(LongPath(path).c_str());
    return nAttributes != INVALID_FILE_ATTRIBUTES && !(nAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SameFileOrFolder(const std::string& a, const std::string& b) {
    const std::wstring sA = LongPath(a), sB = LongPath(b);
    if (sA.empty() || sB.empty())
        return false;
    if (Comparable(sA) == Comparable(sB))
        return true;
    TFileId idA, idB;
    return IdentityOf(sA, idA) && IdentityOf(sB, idB) && idA == idB;
}

bool LocateFile(const std::string& path, std::string& folder, std::string& name) {
    const std::wstring sFull = LongPath(path);
    if (sFull.empty() || HasWildcards(sFull) ||
        GetFileAttributesW(sFull.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    // Without the prefix: LongPath adds it again wherever the folder is used.
    std::wstring sLong = WithoutPrefix(LongForm(sFull));
    while (!sLong.empty() && sLong.back() == L'\\')
        sLong.pop_back();
    const size_t nSlash = sLong.find_last_of(L'\\');
    if (nSlash == std::wstring::npos || nSlash == 0)
        return false; // a root has no folder above it
    folder = longpath::Narrow(sLong.substr(0, nSlash + 1));
    name = longpath::Narrow(sLong.substr(nSlash + 1));
    return !folder.empty() && !name.empty();
}

std::string ShortPathOf(const std::string& path) {
    const std::wstring sFull = LongPath(path);
    const DWORD nNeeded = sFull.empty() ? 0 : GetShortPathNameW(sFull.c_str(), nullptr, 0);
    if (nNeeded == 0)
        return {};
    std::wstring sShort(nNeeded, L'\0');
    const DWORD nChars = GetShortPathNameW(sFull.c_str(), &sShort[0], nNeeded);
    if (nChars == 0 || nChars >= nNeeded)
        return {};
    sShort.resize(nChars);
    return longpath::Narrow(WithoutPrefix(sShort));
}
