// Ids of the main window's commands: menu entries, tool bar buttons,
// pop-up entries and shortcuts all carry them (WM_COMMAND).
#pragma once

enum TCommandId : unsigned {
    cmdExit = 40001,
    cmdHelp,
    cmdAbout,
    cmdRotateRight,
    cmdRotateLeft,
    cmdRotateUp,
    cmdCopy,
    cmdNextImage,
    cmdPrevImage,
    cmdPopulate,
    cmdProperties,
    cmdSnapRatio,
    cmdMaxSize,
    cmdEnlargement,
    cmdInvertRatio,
    cmdPrevRect,
    cmdAutoAdvance,
    cmdShowProperties,
    cmdShowRotateRight,
    cmdShowRotateLeft,
    cmdShowRotateUp,
    cmdShowSnapRatio,
    cmdShowInvertRatio,
    cmdShowMaxSize,
    cmdShowEnlargement,
    cmdShowPrevImage,
    cmdShowNextImage,
    cmdShowCopy,
    cmdShowHelp,
    cmdShowAllTbb,
    cmdShowCaptions,
    cmdShowToolbar,
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
