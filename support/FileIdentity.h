// What the program asks the file system about a path before it writes: is a
// file there, and do two paths name the same file or folder. A folder has
// many spellings ("C:\Pics\.", "C:/Pics", its 8.3 short name, another drive
// letter or a share mapped onto it, the "\\?\" forms), so sameness is decided
// by what the paths lead to, not by their texts. Paths of any length (see
// LongPath.h).
#pragma once

#include <string>

// Whether a file (not a folder) is at `path`.
bool FileExists(const std::string& path);

// Whether `a` and `b` lead to the same file or folder: their absolute long
// forms agree ignoring letter case, or else both exist and the system gives
// them the same volume serial number and file index. A folder may be given
// with or without its trailing backslash; a drive letter alone ("C:") means
// that drive's current folder, as the file functions take it. False when
// either is empty or the system cannot tell.
bool SameFileOrFolder(const std::string& a, const std::string& b);

// The folder holding the existing file or folder at `path` (absolute, with
// its trailing backslash) and the name that folder keeps for it (its long
// name, whichever spelling `path` used). False when nothing is there.
bool LocateFile(const std::string& path, std::string& folder, std::string& name);

// The 8.3 form of the existing file or folder at `path`, for windows that
// take no longer paths; `path` itself where the file system keeps no short
// names, "" when nothing is there.
std::string ShortPathOf(const std::string& path);
