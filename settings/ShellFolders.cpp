// Special-folder lookup in the per-user registry.
#include "settings/ShellFolders.h"

#include <windows.h>

const char* const kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

namespace {
// Closes a registry key once.
class RegistryKey {
public:
    RegistryKey(HKEY parent, const char* path, REGSAM access) {
        if (RegOpenKeyExA(parent, path, 0, access, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~RegistryKey() {
        if (m_key)
            RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};
} // namespace

std::string GetShellFolder(const char* valueName) {
    RegistryKey key(HKEY_CURRENT_USER, kShellFoldersKey, KEY_QUERY_VALUE);
    if (!key.Get())
        return {};
    // The value's type is not examined; a value longer than the area is not
    // read at all, so no cut-off folder is ever returned.
    BYTE data[257] = {};
    DWORD size = 256;
    if (RegQueryValueExA(key.Get(), valueName ? valueName : "", nullptr, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return {};
    data[size <= 256 ? size : 256] = 0;
    return std::string(reinterpret_cast<const char*>(data));
}

std::string GetAppDataFolder(const char* subfolder) {
    std::string folder = GetShellFolder("AppData");
    if (!folder.empty()) {
        folder += '\\';
        folder += subfolder ? subfolder : "";
    }
    return folder;
}

std::string GetMyPicturesFolder() {
    return GetShellFolder("My Pictures");
}

std::string GetPersonalFolder() {
    return GetShellFolder("Personal");
}
