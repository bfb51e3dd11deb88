#include "ui/Splitter.h"

#include "ui/Align.h"
#include "ui/Handles.h"

#include <utility>

namespace ui {

bool TSplitter::Create(HWND parent, TTarget target) {
    m_Target = std::move(target);
    if (!RegisterClassOnce("ui.TSplitter", 0, LoadCursor(nullptr, IDC_SIZEWE),
                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return false;
    return CreateAs("ui.TSplitter", 0, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                    nullptr) != nullptr;
}

int TSplitter::WidthFor(int mouseX) const {
    HWND parent = GetParent(Handle());
    RECT row{};
    GetClientRect(parent, &row);
    RECT own{};
    GetWindowRect(Handle(), &own);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&own), 2);
    // Measured from the left control's own left edge, which a drag does not move.
    const int controlLeft = own.left - m_nStartWidth;
    const int splitterWidth = own.right - own.left;
    const int wanted = m_nStartWidth + (mouseX - m_nStartMouseX);
    return SplitterWidth(wanted, m_Target.MinWidth, row.right - controlLeft - splitterWidth,
                         m_Target.RestMinWidth);
}

void TSplitter::InvertBar(int width) {
    // The bar where the splitter would stand with this width, drawn with
    // an inverting brush on the parent: drawing it twice restores the screen.
    HWND parent = GetParent(Handle());
    RECT own{};
    GetWindowRect(Handle(), &own);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&own), 2);
    const int left = own.left + (width - m_nStartWidth);
    WindowDC dc(parent);
    PatBlt(dc.Get(), left, own.top, own.right - own.left, own.bottom - own.top, DSTINVERT);
}

void TSplitter::Paint() {
    PaintScope paint(Handle());
    RECT r{};
    GetClientRect(Handle(), &r);
    FillRect(paint.Get(), &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(paint.Get(), &r, BDR_RAISEDINNER, BF_RECT);
}

LRESULT TSplitter::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CAPTURECHANGED:
        EndDrag(false);
        return 0;
    default:
        return Window::HandleMessage(msg, wp, lp);
    }
}

bool TSplitter::OnMouse(const TMouse& mouse) {
    POINT p{mouse.at.x, mouse.at.y};
    MapWindowPoints(Handle(), GetParent(Handle()), &p, 1);
    switch (mouse.message) {
    case WM_LBUTTONDOWN:
        m_bDragging = true;
        m_nStartMouseX = p.x;
        m_nStartWidth = m_Target.GetWidth ? m_Target.GetWidth() : 0;
        SetCapture(Handle());
        m_nDrawnWidth = m_nStartWidth;
        InvertBar(m_nDrawnWidth);
        break;
    case WM_MOUSEMOVE:
        if (m_bDragging) {
            const int width = WidthFor(p.x);
            if (width != m_nDrawnWidth) {
                InvertBar(m_nDrawnWidth);
                m_nDrawnWidth = width;
                InvertBar(m_nDrawnWidth);
            }
        }
        break;
    case WM_LBUTTONUP:
        EndDrag(true);
        break;
    default:
        return false;
    }
    return true;
}

void TSplitter::EndDrag(bool bReleased) {
    if (!m_bDragging)
        return;
    m_bDragging = false;
    InvertBar(m_nDrawnWidth);
    const int width = m_nDrawnWidth;
    m_nDrawnWidth = -1;
    if (GetCapture() == Handle())
        ReleaseCapture();
    // A lost capture (another window took the mouse) cancels the drag.
    if (bReleased && width != m_nStartWidth && m_Target.SetWidth) {
        m_Target.SetWidth(width);
        if (m_Target.OnMoved)
            m_Target.OnMoved();
    }
}

} // namespace ui
