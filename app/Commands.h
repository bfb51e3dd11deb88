// Command ids of the main window's menus.
#pragma once

enum CommandId : unsigned short {
    cmdExit = 40001,
};
