// Real files for the record file's tests: whole-file reads and writes in a
// temporary folder (harness/TempFolder.h), and a catcher for the one
// message box a step may show.
#pragma once

#include "harness/TempFolder.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace harness {
class DialogAnswerer;
}

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t offset);

// For one scope, a folder in which nothing may be created, deleted or
// renamed while its files stay writable: a read-only folder as a user without
// rights to it meets one. Under Wine through the host's immutable attribute;
// Made() is false where that cannot be had (then the folder is unchanged).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string& folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool Made() const { return m_bMade; }

private:
    std::string m_sFolder;
    std::string m_sHostPath;
    bool m_bStarted = false;
    bool m_bMade = false;
    std::vector<std::string> m_left; // probes the folder kept
};

// Answers the next message box of this process with OK and keeps its text.
class MessageCatcher {
public:
    MessageCatcher();
    ~MessageCatcher();
    bool Seen() const;
    std::string Text() const;

private:
    mutable std::mutex m_lock;
    std::string m_sText;
    bool m_bSeen = false;
    std::unique_ptr<harness::DialogAnswerer> m_answerer;
};
