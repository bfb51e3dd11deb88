#include "ui/Command.h"

namespace ui {

namespace {

// Names of the keys a menu spells out; others are shown by their character.
std::string KeyName(unsigned key) {
    if (key >= 0x70 && key <= 0x87) // F1 .. F24
        return "F" + std::to_string(key - 0x70 + 1);
    switch (key) {
    case 0x08:
        return "Backspace";
    case 0x09:
        return "Tab";
    case 0x0D:
        return "Enter";
    case 0x1B:
        return "Esc";
    case 0x20:
        return "Space";
    case 0x2E:
        return "Del";
    case 0x2D:
        return "Ins";
    default:
        return std::string(1, static_cast<char>(key));
    }
}

} // namespace

std::string ShortcutText(const TShortcut& shortcut) {
    if (shortcut.Empty())
        return {};
    std::string text;
    if (shortcut.Shift)
        text += "Shift+";
    if (shortcut.Ctrl)
        text += "Ctrl+";
    if (shortcut.Alt)
        text += "Alt+";
    return text + KeyName(shortcut.Key);
}

std::string ShortHint(const std::string& hint) {
    const size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string LongHint(const std::string& hint) {
    const size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

} // namespace ui
