// The common dialog that names a file to save, for folders and files of any
// length. The dialog itself keeps its paths in MAX_PATH characters (under
// Wine it crashes on an initial folder of 258 characters and on a name that
// would make a longer path), so a longer folder is opened by its 8.3 form,
// and a plain name chosen in a folder too long to take it is joined here.
#pragma once

#include <windows.h>

#include <string>

// Shows the dialog owned by `owner`, opened at `folder` with `name` proposed,
// `filter` as the dialog takes it (pairs of texts, each ending in a zero) and
// `defaultExtension` added to a name without one. It asks nothing of its own
// before replacing a file, and leaves the current folder where it was. True
// when the user chose a file: `path` holds it.
bool ChooseSaveFile(HWND owner, const std::string& folder, const std::string& name, const char* filter,
                    const char* defaultExtension, std::string& path);
