#include "FileHelpers.h"

#include "harness/Gui.h"

#include <atomic>
#include <fstream>
#include <iterator>

namespace {
// The message text of a message box: its static control with text.
std::string MessageBoxText(HWND dialog) {
    if (HWND text = GetDlgItem(dialog, 0xFFFF))
        return harness::WindowText(text);
    std::string result;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(child, cls, sizeof(cls));
        if (lstrcmpiA(cls, "Static") == 0)
            result += harness::WindowText(child);
    }
    return result;
}

// The host's path of a file under Wine; empty elsewhere.
std::string HostPath(const std::string& path) {
    using ToHost = char*(CDECL*)(const WCHAR*);
    const auto toHost =
        reinterpret_cast<ToHost>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toHost)
        return {};
    std::wstring wide(path.size() + 1, L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], int(wide.size()))));
    char* host = toHost(wide.c_str());
    if (!host)
        return {};
    std::string result = host;
    HeapFree(GetProcessHeap(), 0, host);
    return result;
}

// Starts a host program (Wine starts programs given by a host path). Wine
// hands back no handle to wait on, so callers wait for its effect.
bool StartOnHost(std::string command) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process) != 0;
}

// Whether a new file can be made in the folder. It is removed again; one
// that stays (the folder turned read-only in between) is added to `left`.
bool CanCreateIn(const std::string& folder, std::vector<std::string>& left) {
    static std::atomic<unsigned> s_nProbe{0};
    const std::string probe = folder + "\\probe-" + std::to_string(s_nProbe++) + ".tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    DeleteFileA(probe.c_str());
    if (GetFileAttributesA(probe.c_str()) != INVALID_FILE_ATTRIBUTES)
        left.push_back(probe);
    return true;
}

// Waits up to ten seconds for the folder to take (or refuse) new files.
bool WaitForFolder(const std::string& folder, bool creatable, std::vector<std::string>& left) {
    for (int i = 0; i < 500; ++i) {
        if (CanCreateIn(folder, left) == creatable)
            return true;
        Sleep(20);
    }
    return false;
}
} // namespace

ReadOnlyFolder::ReadOnlyFolder(const std::string& folder) : m_sFolder(folder), m_sHostPath(HostPath(folder)) {
    // The path goes to the host program unquoted.
    if (m_sHostPath.empty() || m_sHostPath.find_first_of(" \t\"") != std::string::npos)
        return;
    m_bStarted = StartOnHost("/usr/bin/chattr +i " + m_sHostPath);
    m_bMade = m_bStarted && WaitForFolder(folder, false, m_left);
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (m_bStarted && StartOnHost("/usr/bin/chattr -i " + m_sHostPath))
        WaitForFolder(m_sFolder, true, m_left);
    for (const std::string& probe : m_left)
        DeleteFileA(probe.c_str());
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t offset) {
    if (offset + 4 > bytes.size())
        return 0xDEADBEEF;
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
           uint32_t(bytes[offset + 3]) << 24;
}

MessageCatcher::MessageCatcher()
    : m_answerer(std::make_unique<harness::DialogAnswerer>([this](HWND dialog) {
          {
              std::lock_guard<std::mutex> hold(m_lock);
              m_sText = MessageBoxText(dialog);
              m_bSeen = true;
          }
          harness::PressButton(dialog, IDOK);
      })) {}

MessageCatcher::~MessageCatcher() = default;

bool MessageCatcher::Seen() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_bSeen;
}

std::string MessageCatcher::Text() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_sText;
}
