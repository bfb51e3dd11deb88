// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards.
#pragma once

#include <windows.h>

#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, without a trailing backslash.
    const std::string& Path() const { return m_sPath; }
    std::string operator/(const std::string& name) const { return m_sPath + "\\" + name; }

private:
    std::string m_sPath;
};

// Removes a folder and everything below it.
void RemoveTree(const std::string& path);
