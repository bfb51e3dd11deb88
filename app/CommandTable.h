// The main window's commands as data: caption, hint, shortcut, glyph and
// initial check state of each, and which tool bar button each show command
// shows with which bit of the stored tool bar word.
#pragma once

#include "app/CommandIds.h"
#include "settings/Properties.h"
#include "ui/Command.h"

#include <vector>

// Glyph indexes of the command glyph strip.
enum TGlyph : int {
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

std::vector<ui::TCommandDef> MainCommands();

// One show command, the tool bar button it shows and its bit of the tool bar
// word. The order is the order the buttons are applied at start-up.
struct TButtonToggle {
    unsigned ShowCommand;
    unsigned ButtonCommand; // the command of the button it shows
    ToolbarFlags Bit;
};
const std::vector<TButtonToggle>& ButtonToggles();

// The tool bar word the check states of the show commands, Show Toolbar and
// Show Captions make (`checked` answers for a command id).
template <typename CheckedOf> ToolbarFlags ComposeToolbarFlags(CheckedOf checked) {
    ToolbarFlags flags = 0;
    if (checked(cmdShowToolbar))
        flags |= toolbar::kShowToolbar;
    if (checked(cmdShowCaptions))
        flags |= toolbar::kShowCaptions;
    for (const TButtonToggle& t : ButtonToggles())
        if (checked(t.ShowCommand))
            flags |= t.Bit;
    return flags;
}
