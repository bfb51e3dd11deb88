// The application's current hint: the hint of whatever is under the mouse
// (a control with a hint of its own, a tool bar button through its command)
// or of the menu entry being selected. Every change is handed to one
// handler, the way a status line follows the mouse.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

class TCommandList;

class THintTracker {
public:
    // Called with the whole new hint ("short|long" or plain) on every change.
    void SetHandler(std::function<void(const std::string&)> handler) { m_OnHint = std::move(handler); }

    void SetControlHint(HWND control, std::string hint);
    // Buttons of this tool bar (and menu entries) take their commands' hints.
    void AddToolBar(HWND toolbar);
    void SetCommands(const TCommandList* commands) { m_pCommands = commands; }

    // For the message loop: a mouse message for `hwnd` at client point `lp`.
    void MouseMessage(HWND hwnd, LPARAM lp);
    // For the owner of a menu: its WM_MENUSELECT.
    void MenuSelect(WPARAM wp, LPARAM lp);

    const std::string& Hint() const { return m_sHint; }

private:
    void Set(const std::string& hint);
    std::string CommandHint(unsigned id) const;

    std::function<void(const std::string&)> m_OnHint;
    std::vector<std::pair<HWND, std::string>> m_ControlHints;
    std::vector<HWND> m_ToolBars;
    const TCommandList* m_pCommands = nullptr;
    std::string m_sHint;
    bool m_bAny = false; // a hint was reported before
};

} // namespace ui
