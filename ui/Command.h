// A command of a window as data: what menus, tool buttons and pop-up entries
// bound to it show, its shortcut, and its enabled and checked states. The
// window that owns the commands decides those states; the bound controls
// only mirror them.
#pragma once

#include <string>

namespace ui {

// A key with modifiers. Key 0 means no shortcut; keys are virtual-key codes
// (letters and digits are their upper-case character codes).
struct TShortcut {
    unsigned Key = 0;
    bool Ctrl = false;
    bool Shift = false;
    bool Alt = false;

    bool Empty() const { return Key == 0; }
};

// The shortcut as a menu shows it: "Ctrl+C", "F1", "Shift+Alt+X".
std::string ShortcutText(const TShortcut& shortcut);

struct TCommandDef {
    unsigned Id = 0;
    std::string Caption;
    // "short|long": a tool tip shows the short part, the status line the
    // long part; a hint without a bar is both.
    std::string Hint;
    TShortcut Shortcut;
    int Glyph = -1; // index into the owner's glyph list, -1 none
    bool Checked = false;
};

// The part of a hint a tool tip shows (before the bar) and the part a status
// line shows (after it); without a bar both are the whole hint.
std::string ShortHint(const std::string& hint);
std::string LongHint(const std::string& hint);

} // namespace ui
