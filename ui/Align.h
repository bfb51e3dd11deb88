// Aligned layout without a window: a parent's client rectangle is handed out
// to its children in order, the way form designers align controls. Children
// aligned to the top take full-width bands from the top, those aligned to the
// bottom from the bottom, then left and right take full-height columns of
// what is left, and a client-aligned child fills the rest. Margins (when
// switched on) keep space around a child inside the band it takes.
#pragma once

#include <vector>

namespace ui {

enum class TAlign { None, Top, Bottom, Left, Right, Client };

struct TMargins {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

struct TBox {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TBox& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};

// How one child is aligned. Width counts for left and right children,
// Height for top and bottom ones, both without the margins. A child that is
// not visible takes no space.
struct TAlignSpec {
    TAlign Align = TAlign::None;
    bool AlignWithMargins = false;
    TMargins Margins;
    int Width = 0;
    int Height = 0;
    bool Visible = true;
};

// The rectangle of each child, in the order given; children that are not
// visible or not aligned get an empty box. Within one alignment the earlier
// child sits nearer the edge.
std::vector<TBox> ArrangeAligned(const TBox& client, const std::vector<TAlignSpec>& children);

// The width a left-aligned child may take when a splitter is dragged to
// `wanted`: at least `minimum`, and never so wide that the space the rest
// of the row keeps (`rowWidth` minus `wanted`) falls below `restMinimum`.
int SplitterWidth(int wanted, int minimum, int rowWidth, int restMinimum);

} // namespace ui
