// The shell's folder dialog, wrapped for the program: opened at a folder,
// captioned with a title, centred, and accepting only real, existing folders
// (no shortcuts, no virtual items such as the control panel).
#pragma once

#include <windows.h>

// Size in characters of the text areas the dialog works with.
constexpr int kBrowseTextChars = 520;
// The same as a narrow text: in UTF-8 a character takes up to three bytes
// (four for a pair of UTF-16 halves).
constexpr int kBrowseTextBytes = 3 * kBrowseTextChars;
// The smallest result buffer BrowseForFolder accepts (a whole path).
constexpr int kBrowseMinResultChars = 260;
// A result buffer that takes every path the dialog can give whole.
constexpr int kBrowseResultBytes = 3 * MAX_PATH;

// Control ids of the shell's folder dialog.
constexpr int kBrowseInstructionId = 14146;
constexpr int kBrowseFolderLabelId = 14148;
constexpr int kBrowseNewFolderId = 14150;
constexpr int kBrowseTreeHostId = 0;

// What one dialog hands to its callback; lives on BrowseForFolder's stack.
struct BrowseData {
    const char* m_pTitle;    // dialog caption, may be empty
    char* m_pInitialFolder;  // kBrowseTextBytes bytes: the folder to open at, may be empty
    const RECT* m_pPosition; // where to put the dialog's corner first, may be null
    DWORD m_nReserved;       // always 0
    UINT m_nFlags;           // the dialog's BIF_ flags
    int m_nAcceptable;       // verdict on the current choice: 1, 0, or -1 before the first
};

// Runs the folder dialog modally to `owner`. `initialFolder` is a path text,
// or a special-folder number (CSIDL_*) passed as MAKEINTRESOURCEA(number);
// with neither (null or empty) and no root the dialog opens at the current
// directory. `root`: a special-folder number to root the tree at, or -1.
// On OK with a folder that has a file-system path, writes it into `buffer`
// and returns true; a path that does not fit the buffer whole (bufferSize - 1
// bytes) gives false, never a cut one. A buffer smaller than
// kBrowseMinResultChars is refused without showing anything.
bool BrowseForFolder(HWND owner, const char* initialFolder, int root, const char* title, char* buffer,
                     int bufferSize, const RECT* position, bool allowNewFolder);

// The dialog's callback (data: the BrowseData). Enables OK and the new-folder
// button exactly while the choice is acceptable. Always returns 0.
int CALLBACK BrowseCallback(HWND dialog, UINT event, LPARAM value, LPARAM data);

// Hides the instruction and folder labels, centres the dialog on the primary
// screen and lifts the folder tree to the top of the dialog.
void PositionBrowseDialog(HWND dialog, const BrowseData& data);
