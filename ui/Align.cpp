#include "ui/Align.h"

#include <algorithm>

namespace ui {

namespace {

// Takes a band of `size` (plus margins) from one side of `free` and returns
// the child's box inside it.
TBox TakeBand(TBox& free, const TAlignSpec& c) {
    const TMargins m = c.AlignWithMargins ? c.Margins : TMargins{};
    TBox band = free;
    switch (c.Align) {
    case TAlign::Top:
        band.Bottom = std::min(free.Bottom, free.Top + m.Top + c.Height + m.Bottom);
        free.Top = band.Bottom;
        break;
    case TAlign::Bottom:
        band.Top = std::max(free.Top, free.Bottom - m.Top - c.Height - m.Bottom);
        free.Bottom = band.Top;
        break;
    case TAlign::Left:
        band.Right = std::min(free.Right, free.Left + m.Left + c.Width + m.Right);
        free.Left = band.Right;
        break;
    case TAlign::Right:
        band.Left = std::max(free.Left, free.Right - m.Left - c.Width - m.Right);
        free.Right = band.Left;
        break;
    case TAlign::Client:
        free.Right = free.Left;
        free.Bottom = free.Top;
        break;
    case TAlign::None:
        return TBox{};
    }
    TBox box{band.Left + m.Left, band.Top + m.Top, band.Right - m.Right, band.Bottom - m.Bottom};
    // A band too small for the margins leaves an empty box, never an inverted one.
    box.Right = std::max(box.Right, box.Left);
    box.Bottom = std::max(box.Bottom, box.Top);
    return box;
}

} // namespace

std::vector<TBox> ArrangeAligned(const TBox& client, const std::vector<TAlignSpec>& children) {
    std::vector<TBox> boxes(children.size());
    TBox free = client;
    for (TAlign pass : {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right, TAlign::Client}) {
        for (size_t i = 0; i < children.size(); ++i) {
            const TAlignSpec& c = children[i];
            if (c.Visible && c.Align == pass)
                boxes[i] = TakeBand(free, c);
        }
    }
    return boxes;
}

int SplitterWidth(int wanted, int minimum, int rowWidth, int restMinimum) {
    return std::max(minimum, std::min(wanted, rowWidth - restMinimum));
}

} // namespace ui
