// The installer made from this build, run as a user or an administrator
// would run it silently: refused on Windows 2000 (Wine tells the installer
// so), then install for the current user and for all users,
// start the installed program and close it (it writes its settings), remove
// it through the command Apps & Features runs, and see that only the
// settings remain: no program folder, Start-menu entry or Uninstall key.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Snapwell";

// Runs a command line and waits for it; its exit code, or -1.
long RunAndWait(std::string commandLine, DWORD timeoutMs = 60000) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return long(code);
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

template <class Done>
bool WaitFor(Done done, DWORD timeoutMs = 20000) {
    for (DWORD waited = 0; !done(); waited += 50) {
        if (waited >= timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

// The names in a folder, without "." and "..".
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The Uninstall key's values as Apps & Features reads them; `found` false
// when there is no key.
struct UninstallEntry {
    bool found = false;
    std::string displayName, displayVersion, publisher, installLocation, uninstall, quietUninstall;
    DWORD estimatedSizeKb = 0;
};

UninstallEntry ReadUninstallEntry(HKEY root) {
    UninstallEntry entry;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return entry;
    entry.found = true;
    auto text = [&](const char* name) {
        char value[1024] = {};
        DWORD size = sizeof value - 1, type = 0;
        const bool ok = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                            ERROR_SUCCESS && type == REG_SZ;
        return ok ? std::string(value) : std::string("(missing)");
    };
    entry.displayName = text("DisplayName");
    entry.displayVersion = text("DisplayVersion");
    entry.publisher = text("Publisher");
    entry.installLocation = text("InstallLocation");
    entry.uninstall = text("UninstallString");
    entry.quietUninstall = text("QuietUninstallString");
    DWORD size = sizeof entry.estimatedSizeKb, type = 0;
    if (RegQueryValueExA(key, "EstimatedSize", nullptr, &type, reinterpret_cast<BYTE*>(&entry.estimatedSizeKb),
                         &size) != ERROR_SUCCESS || type != REG_DWORD)
        entry.estimatedSizeKb = 0;
    RegCloseKey(key);
    return entry;
}

// The machine a PE file is built for (IMAGE_FILE_MACHINE_*), 0 when unreadable.
WORD MachineOf(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    IMAGE_DOS_HEADER dos{};
    IMAGE_FILE_HEADER header{};
    DWORD read = 0, signature = 0;
    bool ok = ReadFile(file, &dos, sizeof dos, &read, nullptr) && read == sizeof dos &&
              SetFilePointer(file, dos.e_lfanew, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
              ReadFile(file, &signature, sizeof signature, &read, nullptr) && signature == IMAGE_NT_SIGNATURE &&
              ReadFile(file, &header, sizeof header, &read, nullptr) && read == sizeof header;
    CloseHandle(file);
    return ok ? header.Machine : 0;
}

// Starts the installed program, waits for its main window and closes it as
// the close box does; true when it ended by itself with exit code 0.
bool StartAndClose(const std::string& program) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    HWND window = nullptr;
    WaitFor([&] {
        window = FindWindowA("TfrmMain", nullptr);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return window && owner == process.dwProcessId && IsWindowVisible(window);
    });
    DWORD code = DWORD(-1);
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return window && code == 0;
}

// Wine's Windows version for one program, by its file name, while in scope.
class ScopedWindowsVersion {
public:
    ScopedWindowsVersion(const std::string& program, const char* version)
        : m_key("Software\\Wine\\AppDefaults\\" + program) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), DWORD(strlen(version) + 1));
            RegCloseKey(key);
        }
    }
    ~ScopedWindowsVersion() { RegDeleteKeyA(HKEY_CURRENT_USER, m_key.c_str()); }

private:
    std::string m_key;
};

} // namespace

TEST(Installer, InstallsRunsAndUninstallsLeavingOnlyTheSettings) {
    struct Case {
        const char* mode;
        HKEY root;       // where the Uninstall key goes
        int startMenu;   // the Start menu's programs folder
        int programRoot; // the default install folder lies below it
    };
    const Case cases[] = {
        {"/CurrentUser", HKEY_CURRENT_USER, CSIDL_PROGRAMS, CSIDL_LOCAL_APPDATA},
        {"/AllUsers", HKEY_LOCAL_MACHINE, CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAM_FILES},
    };
#if defined(_WIN64)
    const WORD machine = IMAGE_FILE_MACHINE_AMD64;
#else
    const WORD machine = IMAGE_FILE_MACHINE_I386;
#endif
    {
        const std::string setup = SNAPWELL_SETUP;
        ScopedWindowsVersion windows2000(setup.substr(setup.find_last_of("\\/") + 1), "win2k");
        EXPECT_EQ(RunAndWait("\"" + setup + "\" /S /CurrentUser"), 2) << "refused before XP SP3";
        EXPECT_FALSE(ReadUninstallEntry(HKEY_CURRENT_USER).found);
    }
    const std::string settingsFolder = ShellFolder(CSIDL_APPDATA) + "\\Snapwell";
    const std::string settings = settingsFolder + "\\Snapwell.cfg";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        DeleteFileA(settings.c_str()); // so that the run below must write it
        ASSERT_EQ(RunAndWait(std::string("\"") + SNAPWELL_SETUP + "\" /S " + c.mode), 0);

        const UninstallEntry entry = ReadUninstallEntry(c.root);
        ASSERT_TRUE(entry.found);
        const std::string folder = entry.installLocation;
        EXPECT_EQ(folder.rfind(ShellFolder(c.programRoot) + "\\", 0), 0u) << folder;
        EXPECT_EQ(entry.displayName, "Snapwell");
        EXPECT_EQ(entry.displayVersion, SNAPWELL_VERSION);
        EXPECT_EQ(entry.publisher, "Quillon Software");
        EXPECT_EQ(entry.uninstall, "\"" + folder + "\\Uninstall.exe\" " + c.mode);
        EXPECT_EQ(entry.quietUninstall, entry.uninstall + " /S");
        // The program and the library alone take more than a megabyte.
        EXPECT_GT(entry.estimatedSizeKb, 1024u);
        for (const char* file : {"Snapwell.exe", "_ISource30.dll", "Snapwell.chm", "ReadMe.txt", "LICENSES\\zlib.txt"})
            EXPECT_TRUE(Exists(folder + "\\" + file)) << file;
        // The program of this Windows: 64-bit in the 64-bit prefix.
        EXPECT_EQ(MachineOf(folder + "\\Snapwell.exe"), machine);
        EXPECT_EQ(MachineOf(folder + "\\_ISource30.dll"), machine);
        const std::string shortcut = ShellFolder(c.startMenu) + "\\Snapwell.lnk";
        EXPECT_TRUE(Exists(shortcut));

        EXPECT_TRUE(StartAndClose(folder + "\\Snapwell.exe"));
        EXPECT_TRUE(Exists(settings)) << "the installed program ran and kept its settings";

        // The uninstaller copies itself away and returns at once; the copy
        // does the work, so wait until all is gone or the time is up.
        EXPECT_EQ(RunAndWait(entry.quietUninstall), 0);
        WaitFor([&] { return !Exists(folder) && !Exists(shortcut) && !ReadUninstallEntry(c.root).found; });
        EXPECT_FALSE(Exists(folder)) << "left behind";
        EXPECT_FALSE(Exists(shortcut));
        EXPECT_FALSE(ReadUninstallEntry(c.root).found);
        EXPECT_EQ(Names(settingsFolder), std::vector<std::string>{"Snapwell.cfg"});
    }
    DeleteFileA(settings.c_str());
    RemoveDirectoryA(settingsFolder.c_str()); // only when the test's file was all it held
}
