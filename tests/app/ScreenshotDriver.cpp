// Drives the real Snapwell.exe into the state the README's screenshot shows:
// sample photos, a 16:9 maximum with snap on, a crop box drawn over the
// picture and the mouse resting inside it, so the status bar is full. With a
// scale (dots per inch) the program starts at that scale.
//   app_screenshot_driver <Snapwell.exe> <pictures> <documents> <appdata> <ready file> [dpi]
// It writes the ready file once the window is in that state, waits until the
// file is gone (the screenshot is taken meanwhile), then closes the program.
#include "app/CommandIds.h"
#include "harness/Dialogs.h"
#include "settings/Config.h"
#include "settings/ConfigPaths.h"
#include "settings/ShellFolders.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void SetScreenScale(DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        RegCloseKey(key);
    }
}

void SetShellFolder(const char* name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "usage: %s <Snapwell.exe> <pictures> <documents> <appdata> <ready file> [dpi]\n",
                     argv[0]);
        return 2;
    }
    const std::string program = argv[1];
    SetShellFolder("My Pictures", argv[2]);
    SetShellFolder("Personal", argv[3]);
    SetShellFolder("AppData", argv[4]);
    if (argc == 7)
        SetScreenScale(static_cast<DWORD>(std::atoi(argv[6])));

    // The settings: a 1920 x 1080 frame, snap on, the window maximised.
    g_sExeName = "Snapwell";
    g_sConfigFolder = std::string(argv[4]) + "\\Snapwell\\";
    CreateDirectoryA(g_sConfigFolder.c_str(), nullptr);
    {
        TProperties settings(argv[2], argv[3]);
        settings.m_nMaxWidth = 1920;
        settings.m_nMaxHeight = 1080;
        settings.m_bSnapRatio = true;
        settings.m_bMaxSize = true;
        OpenConfig()->WriteProperties(settings);
    }

    SetCursorPos(0, 1023);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return 1;
    HWND main = nullptr;
    harness::WaitUntil(
        [&] { return (main = harness::FindProcessWindow(process.dwProcessId, "TfrmMain")) != nullptr; },
        20000);
    HWND view = main ? harness::FindDescendant(main, "TImageCtrl") : nullptr;
    if (!view) {
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    Sleep(1500); // the first picture is decoded and shown

    // The second picture (the lake), a box dragged over it, and the mouse
    // resting inside the box so the status bar reports it.
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(cmdNextImage, 0), 0);
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(cmdNextImage, 0), 0);
    RECT client{};
    GetClientRect(view, &client);
    const int x0 = client.right / 4, y0 = client.bottom / 4;
    const int x1 = client.right * 3 / 4, y1 = client.bottom * 3 / 4;
    SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(x0, y0));
    SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, y0));
    SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x1, y1));
    SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(x1, y1));
    SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM((x0 + x1) / 2, (y0 + y1) / 2));
    Sleep(500);

    HANDLE ready = CreateFileA(argv[5], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(ready);
    for (int i = 0; i < 600 && GetFileAttributesA(argv[5]) != INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);
    PostMessageA(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return 0;
}
