#include "ui/AlignedLayout.h"

namespace ui {

TAlignSpec& TAlignedLayout::Add(HWND child, const TAlignSpec& spec) {
    m_OwnSpecs.push_back(std::make_unique<TAlignSpec>(spec));
    m_Children.push_back({child, m_OwnSpecs.back().get()});
    return *m_OwnSpecs.back();
}

void TAlignedLayout::AddShared(HWND child, TAlignSpec* spec) {
    m_Children.push_back({child, spec});
}

TAlignSpec* TAlignedLayout::Find(HWND child) {
    for (const TChild& c : m_Children)
        if (c.hwnd == child)
            return c.spec;
    return nullptr;
}

void TAlignedLayout::Arrange(HWND parent) const {
    RECT client{};
    GetClientRect(parent, &client);
    std::vector<TAlignSpec> specs;
    specs.reserve(m_Children.size());
    for (const TChild& c : m_Children)
        specs.push_back(*c.spec);
    const std::vector<TBox> boxes =
        ArrangeAligned(TBox{client.left, client.top, client.right, client.bottom}, specs);

    // One deferred move for all, so siblings never paint over each other
    // half way through.
    HDWP positions = BeginDeferWindowPos(static_cast<int>(m_Children.size()));
    for (size_t i = 0; i < m_Children.size(); ++i) {
        const TChild& c = m_Children[i];
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
