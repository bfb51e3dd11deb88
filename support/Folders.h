// The folder operations the windows call: choosing a folder with the shell's
// dialog, and making sure a folder exists (asking before creating it).
#pragma once

#include <windows.h>

#include <string>

// Whether `path` names an existing folder. Both folder functions take paths
// of any length (see LongPath.h), so a copy folder of 259 characters works.
bool FolderExists(const std::string& path);

// Creates `folder` together with every missing parent folder; true when it
// exists as a folder afterwards (also when it existed before).
bool CreateFolderWithParents(const std::string& folder);

// Lets the user choose a folder, starting at `folder` (the current directory
// when empty), captioned `title`, with or without the new-folder button.
// True when a folder was chosen: `folder` then holds it; otherwise `folder`
// is unchanged.
bool SelectFolder(HWND owner, const std::string& title, std::string& folder, bool allowNewFolder);

// True when `folder` takes at most `maxBytes` bytes, as the settings keep it
// in a fixed field; otherwise the user is told (error, owned by `owner`) that
// the path is too long, rather than its being kept cut, naming another
// folder. Where names are UTF-8 a path may pass the system's limit of
// characters and still not fit its field.
bool ConfirmFolderFits(HWND owner, const std::string& folder, size_t maxBytes);

// True when `folder` exists now. A missing folder is offered for creation
// with a yes/no question through g_pMesg (owned by `owner`); on Yes it is
// created with every missing parent. An empty path is refused without asking.
bool ConfirmFolder(HWND owner, const std::string& folder);
