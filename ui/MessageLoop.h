// The message loop of a program with one main window: keyboard shortcuts
// through its accelerator table, Tab between its controls, and the
// application's hint following the mouse.
#pragma once

#include <windows.h>

namespace ui {

class THintTracker;

struct TMessageLoop {
    HWND hMainWindow = nullptr; // accelerators and dialog keys go to it
    HACCEL hAccelerators = nullptr;
    THintTracker* pHints = nullptr;

    // Handles one message the way the loop does; false when it was
    // consumed (a shortcut or a dialog key) and must not be dispatched.
    bool PreTranslate(MSG& msg) const;
    // Runs until WM_QUIT; returns its exit code.
    int Run() const;
};

} // namespace ui
