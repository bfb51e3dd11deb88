// The user's special folders, read from the per-user Shell Folders key of the
// registry (read only). Each lookup yields an empty text when the key or the
// value cannot be read.
#pragma once

#include <string>

// The folder stored under this value name (ANSI, at most 255 characters).
std::string GetShellFolder(const char* valueName);
// The application-data folder, a backslash and the subfolder; empty when
// there is no application-data folder.
std::string GetAppDataFolder(const char* subfolder);
std::string GetMyPicturesFolder();
std::string GetPersonalFolder();

// The key whose values are read, under HKEY_CURRENT_USER.
extern const char* const kShellFoldersKey;
