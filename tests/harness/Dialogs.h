// More helpers for answering dialogs: waiting for a second dialog beside a
// first, reading a message box, finding controls by class and walking the
// items of a tree view. All may be called from the watcher thread.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace harness {

// Waits up to `timeoutMs` for a visible dialog of this process other than
// `except`; null when none appeared.
HWND WaitForDialog(HWND except, DWORD timeoutMs = 5000);

// The text of a message box (its static text control).
std::string MessageBoxText(HWND box);

// Runs `action` on this thread, answers the first message box it raises
// with OK and returns that box's text (empty when none came).
std::string FirstBoxTextWhile(const std::function<void()>& action);

// The texts of a dialog's visible buttons, in their z-order.
std::vector<std::string> ButtonTexts(HWND dialog);

// The first descendant window of `parent` whose class is `className`, or null.
HWND FindDescendant(HWND parent, const char* className);

// A visible top-level window of class `className` that belongs to process
// `pid`, or null.
HWND FindProcessWindow(DWORD pid, const char* className);

// The text of a tree view item, and the child of `parent` (TVI_ROOT for the
// top level) whose text is `text`, or null.
std::string TreeItemText(HWND tree, HTREEITEM item);
HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& text);

// Waits up to `timeoutMs` until `done` holds, sleeping between checks
// (for the watcher thread, which has no messages to pump).
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

} // namespace harness
