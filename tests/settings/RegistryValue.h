// Sets a value of the per-user Shell Folders key for one test and puts the
// previous state (the old data and type, or no value) back afterwards.
#pragma once

#include "settings/ShellFolders.h"

#include <windows.h>

#include <string>
#include <vector>

class ScopedShellFolder {
public:
    explicit ScopedShellFolder(const char* name) : m_sName(name) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        m_key = key;
        DWORD size = 0;
        if (RegQueryValueExA(m_key, m_sName.c_str(), nullptr, &m_nType, nullptr, &size) == ERROR_SUCCESS) {
            m_old.resize(size);
            m_bExisted = RegQueryValueExA(m_key, m_sName.c_str(), nullptr, &m_nType, m_old.data(), &size) ==
                         ERROR_SUCCESS;
        }
    }
    ~ScopedShellFolder() {
        if (!m_key)
            return;
        if (m_bExisted)
            RegSetValueExA(m_key, m_sName.c_str(), 0, m_nType, m_old.data(), DWORD(m_old.size()));
        else
            RegDeleteValueA(m_key, m_sName.c_str());
        RegCloseKey(m_key);
    }
    ScopedShellFolder(const ScopedShellFolder&) = delete;
    ScopedShellFolder& operator=(const ScopedShellFolder&) = delete;

    bool Ready() const { return m_key != nullptr; }
    bool Set(const std::string& text, DWORD type = REG_SZ) {
        return RegSetValueExA(m_key, m_sName.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                              DWORD(text.size() + 1)) == ERROR_SUCCESS;
    }
    bool Remove() {
        const LONG rc = RegDeleteValueA(m_key, m_sName.c_str());
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }

private:
    std::string m_sName;
    HKEY m_key = nullptr;
    DWORD m_nType = REG_SZ;
    bool m_bExisted = false;
    std::vector<BYTE> m_old;
};
