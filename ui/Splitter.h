// A vertical splitter bar between a left-aligned control and the rest of its
// row. Dragging it shows an inverted bar where it would land; releasing the
// button gives the control its new width (never below its minimum, never
// leaving the rest of the row less than its minimum) and reports the move.
#pragma once

#include "ui/Window.h"

#include <functional>

namespace ui {

class TSplitter : public Window {
public:
    struct TTarget {
        std::function<int()> GetWidth;     // the left control's width now
        std::function<void(int)> SetWidth; // gives it a new width and re-arranges
        int MinWidth = 0;                  // the left control's minimum
        int RestMinWidth = 30;             // what the rest of the row keeps
        std::function<void()> OnMoved;     // after a completed drag
    };

    bool Create(HWND parent, TTarget target);
    // New minimums, for a window laid out at another scale.
    void SetMinWidths(int minWidth, int restMinWidth) {
        m_Target.MinWidth = minWidth;
        m_Target.RestMinWidth = restMinWidth;
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnMouse(const TMouse& mouse) override;

private:
    int WidthFor(int mouseX) const;
    void InvertBar(int width);
    void Paint();
    // The drag ends: a release gives the control the width shown, a lost
    // capture leaves it as it was.
    void EndDrag(bool bReleased);

    TTarget m_Target;
    bool m_bDragging = false;
    int m_nStartMouseX = 0; // in the parent's client coordinates
    int m_nStartWidth = 0;
    int m_nDrawnWidth = -1; // the width the inverted bar shows, -1 none
};

} // namespace ui
