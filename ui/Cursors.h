// The program's own cursors by number: a window that wants one asks the list
// for the number it was registered under (cursors from resources, loaded
// once, shared by every window that shows them).
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

namespace ui {

class TCursorList {
public:
    void Register(int number, HCURSOR cursor);
    // The cursor registered under the number, or null.
    HCURSOR Get(int number) const;

private:
    std::vector<std::pair<int, HCURSOR>> m_Cursors; // shared cursors from LoadCursor: never destroyed
};

} // namespace ui
