// The help file: one process-wide HTML Help object, opened once at start-up
// and closed when the main window is destroyed. ShowHelpTopic does nothing
// while no help file is open, so every window may call it unconditionally.
#pragma once

#include "ui/Handles.h"

#include <windows.h>

#include <string>

// Context ids of the help file's topics.
constexpr int kHelpMainWindow = 2;
constexpr int kHelpProperties = 10;

// Raised by OpenHelpFile (and CHtmlHelp's construction) when help cannot be
// had; m_szMessage is the text the user is shown.
class HtmlError {
public:
    explicit HtmlError(int nCode);
    int m_nCode;           // 1 no .chm file, 2 no HTML Help library, 3 no HtmlHelpA
    char m_szMessage[256]; // the code's text
};

// The HTML Help library bound to one .chm file. Construction raises
// HtmlError 2 or 3 when the library or its entry point is missing.
// Destruction closes every help window before the library goes.
class CHtmlHelp {
public:
    explicit CHtmlHelp(const std::string& path);
    ~CHtmlHelp();
    CHtmlHelp(const CHtmlHelp&) = delete;
    CHtmlHelp& operator=(const CHtmlHelp&) = delete;

    // Opens the topic with this context id; the help window, or null when
    // the file has no such topic.
    HWND Show(HWND window, int topic) const;
    const char* Path() const { return m_szPath; }

private:
    using THtmlHelpA = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

    char m_szPath[MAX_PATH] = {}; // at most 254 characters of the path
    THtmlHelpA m_pHtmlHelp = nullptr;
    ui::UniqueModule m_hModule;
};

// Replaces the current help object by one for the .chm at `path`; raises
// HtmlError when there is no file at `path` (or the path is too long to
// keep) or HTML Help is unavailable. The old object is gone either way.
void OpenHelpFile(const std::string& path);
// Opens the topic with this context id for `window`; nothing while no help
// file is open.
void ShowHelpTopic(HWND window, int topic);
// Deletes the help object (freeing the HTML Help library).
void CloseHelpFile();
