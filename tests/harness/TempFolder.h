// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards (read-only files too, and paths beyond
// MAX_PATH).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    // A fresh folder inside `base` instead.
    explicit TempFolder(const std::string& base);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, without a trailing backslash.
    const std::string& Path() const { return m_sPath; }
    std::string File(const std::string& name) const { return m_sPath + "\\" + name; }
    // Names of the files and folders in the folder.
    std::vector<std::string> List() const;

private:
    std::string m_sPath;
};

// Removes a folder and everything below it, at any path length.
void RemoveTree(const std::string& path);
