// The main window's commands as data: the rows of app/CommandRows.h and
// every list derived from them (the command list's definitions, the menus
// and pop-ups, the tool bar's buttons and dividers, the tool tips, the tool
// bar word and its show commands). Plain: no windows.h.
#pragma once

#include "app/CommandIds.h"
#include "app/MainRules.h"
#include "settings/Properties.h"
#include "ui/Command.h"

#include <cstdint>
#include <string>
#include <vector>

// Glyph indexes of the command glyph strip.
enum TGlyph : int {
    glNone = -1,
    glRotateRight = 0,
    glRotateLeft = 1,
    glRotate180 = 2,
    glCopy = 3,
    glProperties = 4,
    glMaxSize = 5,
    glSnapRatio = 6,
    glPrevious = 7,
    glNext = 8,
    glEnlargement = 9,
    glHelp = 10,
    glInvertRatio = 11,
};

// A state a command's availability or check mark follows; null: none.
using TCommandCondition = bool TCommandStates::*;
constexpr TCommandCondition enAlways = nullptr;
constexpr TCommandCondition enImages = &TCommandStates::bNextPrevEnabled;
constexpr TCommandCondition enPicture = &TCommandStates::bPictureEnabled;
constexpr TCommandCondition enSizeRules = &TCommandStates::bSizeRulesEnabled;

enum class TCheckKind : uint8_t { None, Mark, Switch, Word };
struct TCheck {
    TCheckKind Kind;
    TCommandCondition State; // Mark and Switch
    ToolbarFlags Bit;        // Word
};
constexpr TCheck ckNone{TCheckKind::None, nullptr, 0};
constexpr TCheck ckMark(TCommandCondition state) {
    return {TCheckKind::Mark, state, 0};
}
constexpr TCheck ckSwitch(TCommandCondition state) {
    return {TCheckKind::Switch, state, 0};
}
constexpr TCheck ckWord(ToolbarFlags bit) {
    return {TCheckKind::Word, nullptr, bit};
}

enum class TMenu : uint8_t { None, File, Options, Help, Image, Toolbar };
struct TMenuPlace {
    TMenu Menu;
    int Section;
};
constexpr TMenuPlace kNoMenu{TMenu::None, 0};
constexpr TMenuPlace InMenu(TMenu menu, int section = 1) {
    return {menu, section};
}

enum TButtonFlags : unsigned {
    tbNone = 0,
    tbShowAll = 1, // Show All Buttons brings it back
    tbNoTip = 2,   // no tool tip
};
struct TToolButton {
    ToolbarFlags Bit; // of the tool bar word, showing the button; 0: no button
    unsigned Divider; // of its group, 0 none
    unsigned Flags;   // TButtonFlags
};
constexpr TToolButton kNoButton{0, 0, tbNone};
constexpr TToolButton Button(ToolbarFlags bit, unsigned divider, unsigned flags) {
    return {bit, divider, flags};
}

constexpr ui::TShortcut kNoKey{};
constexpr ui::TShortcut kF1{0x70, false, false, false};
constexpr ui::TShortcut Ctrl(char key) {
    return ui::TShortcut{static_cast<unsigned>(key), true, false, false};
}

// One command (app/CommandRows.h says what each field means). A tool bar
// command's pop-up entry is a row of its own, right after it.
struct TCommandRow {
    unsigned Id;
    const char* Caption;
    const char* Hint;
    ui::TShortcut Shortcut;
    int Glyph;
    TCommandCondition Enabled;
    TCheck Check;
    TMenuPlace Menu;
    TToolButton Button;
    unsigned ShowCommand; // a tool bar command's pop-up entry
};
const std::vector<TCommandRow>& CommandRows();
// The row of a command, null for an unknown id.
const TCommandRow* FindCommand(unsigned id);

// The tool bar as the window is built, before a stored word is applied:
// every button and the captions shown.
constexpr ToolbarFlags kDesignToolbar = toolbar::kUsedBits;

// A command's states from the window's states and the tool bar word.
bool EnabledIn(const TCommandRow& row, const TCommandStates& states);
bool CheckedIn(const TCommandRow& row, const TCommandStates& states, ToolbarFlags word);

// The definitions the command list is made from; a show command's check is
// that of the design tool bar.
std::vector<ui::TCommandDef> MainCommands();

// A menu's entries from the top: command ids, 0 for a separator, each with
// the glyph it shows.
struct TMenuEntry {
    unsigned Id;
    int Glyph;
};
std::vector<TMenuEntry> MenuEntries(TMenu menu);

// The tool bar from left to right: a command's button (width 0: the tool
// bar's), or a divider with its width (hidden and shown by id like buttons).
struct TToolItem {
    unsigned Id;
    bool Divider;
    int Width;
};
std::vector<TToolItem> ToolBarItems();
// Each divider but the leading one shows while a button of its group shows.
bool DividerShown(unsigned divider, ToolbarFlags word);
// What a button's tool tip shows: the short part of its hint, or nothing.
std::string ToolTipOf(unsigned id);
// The word after Show All Buttons: the buttons it brings back shown.
ToolbarFlags ShowAllButtons(ToolbarFlags word);

// One show command, the tool bar button it shows and its bit of the tool bar
// word, in the tool bar's order.
struct TButtonToggle {
    unsigned ShowCommand;
    unsigned ButtonCommand; // the command of the button it shows
    ToolbarFlags Bit;
};
const std::vector<TButtonToggle>& ButtonToggles();

// The tool bar word the check states of the commands that flip its bits
// make (`checked` answers for a command id).
template <typename CheckedOf> ToolbarFlags ComposeToolbarFlags(CheckedOf checked) {
    ToolbarFlags flags = 0;
    for (const TCommandRow& row : CommandRows())
        if (row.Check.Kind == TCheckKind::Word && checked(row.Id))
            flags |= row.Check.Bit;
    return flags;
}
