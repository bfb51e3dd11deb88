// Ids of the main window's commands: menu entries, tool bar buttons,
// pop-up entries and shortcuts all carry them (WM_COMMAND). The command ids
// come from the rows of app/CommandRows.h, a tool bar command's with the id
// of its entry in the tool bar's pop-up right after it.
#pragma once

enum TCommandId : unsigned {
    cmdNone = 40000,
#define MAIN_COMMAND(id, ...) id,
#define TOOL_COMMAND(id, caption, hint, shortcut, glyph, enabled, check, menu, button, showId, ...)          \
    id, showId,
#include "app/CommandRows.h"
};

// The tool bar's separators, hidden and shown by id like its buttons.
enum TToolBarDividerId : unsigned {
    tbsLead = 41001, // before the first button, always shown
    tbsProperties,
    tbsRotate,
    tbsSnapRatio,
    tbsPrevNext,
    tbsHelp,
};

// Controls of the main window that send commands or notifications.
enum TControlId : unsigned {
    idToolBar = 100,
    idTree = 101,
    idSourceButton = 102,
    idStatusBar = 103,
    idImageView = 104,
};
