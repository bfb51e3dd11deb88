// Path texts as the program handles them: folders with or without their
// trailing backslash, names joined onto folders, and the chain of folders a
// nested path needs. Plain rules: no windows.h; "\" is the separator, "/" is
// accepted where a path is split.
#pragma once

#include <string>
#include <vector>

// `path` without one trailing backslash ("C:\" gives "C:", "a\\" gives "a\").
std::string RemoveTrailingBackslash(const std::string& path);

// `path` ending in a backslash; an empty path stays empty.
std::string AddTrailingBackslash(const std::string& path);

// `name` inside `folder`: the same with or without the folder's trailing
// backslash; an empty folder gives the name alone.
std::string JoinPath(const std::string& folder, const std::string& name);

// The folders that must exist for `path` to exist as a folder, outermost
// first and `path` itself last (without a trailing separator). The root
// ("C:\", "C:", "\", "\\server\share") is never part of the chain; an empty
// path or a bare root gives an empty chain.
std::vector<std::string> FolderChain(const std::string& path);
