// The children of one window and how each is aligned in it: arranging them
// places every child by ui/Align.h and shows or hides it by its Visible
// switch. A child's alignment lives either here or in the control itself
// (a control that sets its own margins when it is shown, for example).
#pragma once

#include "ui/Align.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace ui {

class TAlignedLayout {
public:
    // Adds a child whose alignment the layout keeps; the reference stays
    // valid for the layout's life.
    TAlignSpec& Add(HWND child, const TAlignSpec& spec);
    // Adds a child whose alignment the control sets itself; the layout
    // shares it, so it outlives a control freed before its parent.
    void AddShared(HWND child, std::shared_ptr<TAlignSpec> spec);
    // The alignment of a child, or null when it is not in this layout.
    TAlignSpec* Find(HWND child);

    // Places the children in the client area of `parent`. A child whose
    // window is gone takes no space and is not moved.
    void Arrange(HWND parent) const;

private:
    struct TChild {
        HWND hwnd;
        std::shared_ptr<TAlignSpec> spec;
    };
    std::vector<TChild> m_Children;
};

} // namespace ui
