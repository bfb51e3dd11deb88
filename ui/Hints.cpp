#include "ui/Hints.h"

#include "ui/CommandList.h"
#include "ui/Window.h"

#include <commctrl.h>

#include <algorithm>

namespace ui {

void THintTracker::SetControlHint(HWND control, std::string hint) {
    for (auto& entry : m_ControlHints)
        if (entry.first == control) {
            entry.second = std::move(hint);
            return;
        }
    m_ControlHints.emplace_back(control, std::move(hint));
}

void THintTracker::AddToolBar(HWND toolbar) {
    m_ToolBars.push_back(toolbar);
}

std::string THintTracker::CommandHint(unsigned id) const {
    return m_pCommands ? m_pCommands->HintOf(id) : std::string();
}

void THintTracker::MouseMessage(HWND hwnd, LPARAM lp) {
    if (std::find(m_ToolBars.begin(), m_ToolBars.end(), hwnd) != m_ToolBars.end()) {
        const MousePoint at = MouseFromLParam(lp);
        POINT p{at.x, at.y};
        const int index = static_cast<int>(SendMessageA(hwnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p)));
        TBBUTTON button{};
        if (index >= 0 && SendMessageA(hwnd, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) &&
            !(button.fsStyle & BTNS_SEP)) {
            Set(CommandHint(static_cast<unsigned>(button.idCommand)));
            return;
        }
        Set({});
        return;
    }
    // The nearest window up the parent chain that has a hint of its own.
    for (HWND w = hwnd; w; w = (GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD) ? GetParent(w) : nullptr)
        for (const auto& entry : m_ControlHints)
            if (entry.first == w) {
                Set(entry.second);
                return;
            }
    Set({});
}

void THintTracker::MenuSelect(WPARAM wp, LPARAM lp) {
    const UINT flags = HIWORD(wp);
    // A closed menu, a separator or a sub-menu's title carries no hint.
    if ((flags == 0xFFFF && lp == 0) || (flags & (MF_POPUP | MF_SEPARATOR))) {
        Set({});
        return;
    }
    Set(CommandHint(LOWORD(wp)));
}

void THintTracker::Set(const std::string& hint) {
    if (m_bAny && hint == m_sHint)
        return;
    m_bAny = true;
    m_sHint = hint;
    if (m_OnHint)
        m_OnHint(m_sHint);
}

} // namespace ui
