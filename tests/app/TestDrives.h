// The drives scripts/test-drives maps into the test prefix before the copy
// tests: S: and the share \\snapwell-host\pictures are two more names of the
// folder AliasRoot(), T: is a small tmpfs of its own.
#pragma once

#include <windows.h>

#include <string>

namespace testdrives {

constexpr const char* kAliasDrive = "S:";
constexpr const char* kAliasShare = "\\\\snapwell-host\\pictures";
constexpr const char* kFullDisk = "T:";

// The folder behind S: and the share, as the tests reach it on Z:.
inline std::string AliasRoot() {
    std::string path = std::string(SNAPWELL_BINARY_DIR) + "\\test-drives\\alias";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// `path` inside AliasRoot() as seen through `root` (S: or the share).
inline std::string Through(const std::string& root, const std::string& path) {
    return root + path.substr(AliasRoot().size());
}

} // namespace testdrives
