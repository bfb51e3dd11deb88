// The program's own cursors by number: a window that wants one asks the list
// for the number it was registered under (cursors from resources, loaded
// once, shared by every window that shows them).
#pragma once

#include "ui/Handles.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace ui {

class TCursorList {
public:
    void Register(int number, HCURSOR cursor);
    // Registers a cursor the list then owns. One it replaces is kept until
    // the list goes, as the screen may still be showing it.
    void Register(int number, UniqueCursor cursor);
    // The cursor registered under the number, or null.
    HCURSOR Get(int number) const;

private:
    std::vector<std::pair<int, HCURSOR>> m_Cursors; // shared ones from LoadCursor are never destroyed
    std::vector<UniqueCursor> m_Owned;
};

} // namespace ui
