#include "support/Paths.h"

namespace {
bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Length of the root at the start of `path`: "\\server\share", "C:\", "C:",
// "\", or nothing for a relative path.
std::string::size_type RootLength(const std::string& path) {
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // Server and share: the two components after the leading pair.
        std::string::size_type at = 2;
        for (int component = 0; component < 2; ++component) {
            while (at < path.size() && !IsSeparator(path[at]))
                ++at;
            if (component == 0 && at < path.size())
                ++at;
        }
        return at;
    }
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':')
        return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    if (!path.empty() && IsSeparator(path[0]))
        return 1;
    return 0;
}
} // namespace

std::string RemoveTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\')
        return path.substr(0, path.size() - 1);
    return path;
}

std::string AddTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() != '\\')
        return path + '\\';
    return path;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return AddTrailingBackslash(folder) + name;
}

std::vector<std::string> FolderChain(const std::string& path) {
    std::vector<std::string> chain;
    const std::string::size_type root = RootLength(path);
    std::string current = path.substr(0, root);
    // A drive-relative root ("C:") takes its first component without a
    // separator; every other root ends in one or is followed by one.
    const bool glueFirst = current.empty() || IsSeparator(current.back()) || current.back() == ':';
    std::string::size_type at = root;
    while (at < path.size()) {
        while (at < path.size() && IsSeparator(path[at]))
            ++at;
        std::string::size_type end = at;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        if (end == at)
            break;
        if (!(chain.empty() && glueFirst))
            current += '\\';
        current.append(path, at, end - at);
        chain.push_back(current);
        at = end;
    }
    return chain;
}
