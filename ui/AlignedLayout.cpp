#include "ui/AlignedLayout.h"

namespace ui {

TAlignSpec& TAlignedLayout::Add(HWND child, const TAlignSpec& spec) {
    m_Children.push_back({child, std::make_shared<TAlignSpec>(spec)});
    return *m_Children.back().spec;
}

void TAlignedLayout::AddShared(HWND child, std::shared_ptr<TAlignSpec> spec) {
    m_Children.push_back({child, std::move(spec)});
}

TAlignSpec* TAlignedLayout::Find(HWND child) {
    for (const TChild& c : m_Children)
        if (c.hwnd == child)
            return c.spec.get();
    return nullptr;
}

void TAlignedLayout::Arrange(HWND parent) const {
    RECT client{};
    GetClientRect(parent, &client);
    // A control may be freed before its parent (the main window frees its
    // view when it closes, before it is destroyed): its window is gone, and
    // a move of a gone window would cancel the whole deferred move.
    std::vector<TAlignSpec> specs;
    std::vector<bool> alive;
    specs.reserve(m_Children.size());
    for (const TChild& c : m_Children) {
        alive.push_back(IsWindow(c.hwnd) != FALSE);
        specs.push_back(*c.spec);
        if (!alive.back())
            specs.back().Visible = false;
    }
    const std::vector<TBox> boxes =
        ArrangeAligned(TBox{client.left, client.top, client.right, client.bottom}, specs);

    // One deferred move for all, so siblings never paint over each other
    // half way through.
    HDWP positions = BeginDeferWindowPos(static_cast<int>(m_Children.size()));
    for (size_t i = 0; i < m_Children.size(); ++i) {
        const TChild& c = m_Children[i];
        if (!alive[i])
            continue;
        const bool visible = c.spec->Visible && c.spec->Align != TAlign::None;
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
        if (c.spec->Align == TAlign::None)
            flags |= SWP_NOMOVE | SWP_NOSIZE;
        const TBox& b = boxes[i];
        if (positions)
            positions =
                DeferWindowPos(positions, c.hwnd, nullptr, b.Left, b.Top, b.Width(), b.Height(), flags);
    }
    if (positions)
        EndDeferWindowPos(positions);
}

} // namespace ui
