#include "view/CropBox.h"

#include "support/MulDiv.h"

#include <algorithm>
#include <cstdint>
#include <utility>

using snapwell::MulDiv;

void CCropBox::TakeRatio() {
    m_nRatioWidth = m_Settings.m_nMaxWidth;
    m_nRatioHeight = m_Settings.m_nMaxHeight;
}

void CCropBox::NewPicture(int32_t w, int32_t h, int32_t W, int32_t H) {
    m_nPictureWidth = w;
    m_nPictureHeight = h;
    m_DrawBox.Fit(W, H, w, h);
    if (m_Settings.m_bPrevRect) {
        CarryCropBox();
    } else {
        m_Corner1 = {0, 0};
        m_Corner2 = {0, 0};
    }
}

void CCropBox::ClearPicture() {
    m_Corner1 = {0, 0};
    m_Corner2 = {0, 0};
    m_bOutlineShown = false;
}

void CCropBox::Resize(int32_t W, int32_t H) {
    m_DrawBox.Fit(W, H, m_nPictureWidth, m_nPictureHeight);
    PlaceCropBox();
    DrawCropBox(dmRedraw);
    // The re-placed box is converted as a resized one, so the reports that
    // follow describe the box on screen and the copy Copy Image would write
    // (not the crop from before with a copy size that no longer fits it).
    if (HasBox()) {
        TRect crop;
        GetCropGeometry(crop, true);
    }
}

void CCropBox::PlaceCropBox() {
    // Only a box that exists is re-placed: the stored crop outlives a removed
    // box (for the carry-over to the next picture), and a resize must not
    // bring a removed box back.
    if (HasBox()) {
        PlaceFromCrop();
    } else if (m_nPictureWidth > 0 && m_nPictureHeight > 0) {
        DrawCropBox(dmRedraw);
    }
}

void CCropBox::PlaceFromCrop() {
    const int32_t w = m_nPictureWidth;
    const int32_t h = m_nPictureHeight;
    if (w <= 0 || h <= 0)
        return;
    const TDrawBox& P = m_DrawBox;
    const int32_t Pw = P.Width();
    const int32_t Ph = P.Height();
    m_Corner1 = {P.Left + MulDiv(m_Crop.Left, Pw, w), P.Top + MulDiv(m_Crop.Top, Ph, h)};
    m_Corner2 = {P.Left + MulDiv(m_Crop.Right, Pw, w), P.Top + MulDiv(m_Crop.Bottom, Ph, h)};
    DrawCropBox(dmRedraw);
}

namespace {

// MulDiv for the ratio and enlargement steps, whose operands are sizes: a
// result beyond `limit` comes back as limit + 1, which the callers treat
// exactly as any larger value. A result too large for 32 bits (a ratio as
// extreme as 999999 : 1 over a tall box) so never comes back as MulDiv's -1,
// which would turn the box inside out and past the picture's edge.
int32_t ScaleSize(int32_t a, int32_t b, int32_t c, int32_t limit) {
    const int32_t r = MulDiv(a, b, c);
    if (a < 0 || b < 0 || c <= 0 || limit < 0 || limit == INT32_MAX)
        return r;
    return r < 0 || r > limit ? limit + 1 : r;
}

// In the band along one side (from `start` to `end`), the side itself or,
// near either end, the corner there.
THitCode BandHit(int32_t along, int32_t start, int32_t end, THitCode side, THitCode atStart, THitCode atEnd) {
    THitCode hit = side;
    if (along < start + 3)
        hit = atStart;
    if (along > end - 3)
        hit = atEnd;
    return hit;
}

} // namespace

THitCode CCropBox::HitTest(TPoint p) const {
    const int32_t L = std::min(m_Corner1.X, m_Corner2.X);
    const int32_t R = std::max(m_Corner1.X, m_Corner2.X);
    const int32_t T = std::min(m_Corner1.Y, m_Corner2.Y);
    const int32_t B = std::max(m_Corner1.Y, m_Corner2.Y);
    const int32_t X = p.X;
    const int32_t Y = p.Y;

    if (L + 4 < X && X < R - 4 && T + 4 < Y && Y < B - 4)
        return hitInside;
    // Each band reaches from one pixel before the box's start to four past
    // its end; of two corner tests that both hold, the later one wins.
    if (L - 2 < X && X < L + 5 && T - 2 < Y && Y < B + 5)
        return BandHit(Y, T, B, hitLeft, hitTopLeft, hitBottomLeft);
    if (R - 5 < X && X < R + 2 && T - 2 < Y && Y < B + 5)
        return BandHit(Y, T, B, hitRight, hitTopRight, hitBottomRight);
    if (T - 2 < Y && Y < T + 5 && L - 2 < X && X < R + 5)
        return BandHit(X, L, R, hitTop, hitTopLeft, hitTopRight);
    if (B - 5 < Y && Y < B + 2 && L - 2 < X && X < R + 5)
        return BandHit(X, L, R, hitBottom, hitBottomLeft, hitBottomRight);
    return hitNone;
}

TPoint CCropBox::LimitToPlacement(TPoint p) const {
    // Raised to the near side first, then lowered to the far side, so an
    // inverted placement rectangle gives its far side.
    const TDrawBox& P = m_DrawBox;
    p.X = std::max(p.X, P.Left);
    p.X = std::min(p.X, P.Right);
    p.Y = std::max(p.Y, P.Top);
    p.Y = std::min(p.Y, P.Bottom);
    return p;
}

void CCropBox::ButtonDown(TPoint p) {
    m_bSizing = m_nHitCode != hitInside;
    m_bTracking = true;
    m_bNewBox = m_nHitCode == hitNone;
    m_LastMouse = p;
    if (m_bNewBox) {
        DrawCropBox(dmRemove);
        // A press beside the picture starts the box on its nearest edge.
        m_Corner1 = LimitToPlacement(p);
        m_Corner2 = m_Corner1;
    }
}

void CCropBox::MouseMove(TPoint p) {
    if (m_bTracking) {
        int32_t dx = p.X - m_LastMouse.X;
        int32_t dy = p.Y - m_LastMouse.Y;
        m_LastMouse = p;
        const TDrawBox& P = m_DrawBox;
        const auto dragLeft = [&] { m_Corner1.X = std::max(p.X, P.Left); };
        const auto dragTop = [&] { m_Corner1.Y = std::max(p.Y, P.Top); };
        const auto dragRight = [&] { m_Corner2.X = std::min(p.X, P.Right); };
        const auto dragBottom = [&] { m_Corner2.Y = std::min(p.Y, P.Bottom); };
        switch (m_nHitCode) {
        case hitNone:
            m_Corner2 = p; // the drawing limits it
            break;
        case hitLeft:
            dragLeft();
            break;
        case hitTop:
            dragTop();
            break;
        case hitRight:
            dragRight();
            break;
        case hitBottom:
            dragBottom();
            break;
        case hitTopLeft:
            dragLeft();
            dragTop();
            break;
        case hitTopRight:
            dragRight();
            dragTop();
            break;
        case hitBottomLeft:
            dragLeft();
            dragBottom();
            break;
        case hitBottomRight:
            dragRight();
            dragBottom();
            break;
        case hitInside:
            // A box stopped at a picture edge does not keep its grip point:
            // it follows the mouse's next movement from where it stopped.
            if (m_Corner1.X + dx < P.Left || m_Corner2.X + dx > P.Right)
                dx = 0;
            if (m_Corner1.Y + dy < P.Top || m_Corner2.Y + dy > P.Bottom)
                dy = 0;
            m_Corner1 = {m_Corner1.X + dx, m_Corner1.Y + dy};
            m_Corner2 = {m_Corner2.X + dx, m_Corner2.Y + dy};
            break;
        }
        DrawCropBox(dmRedraw);
    } else {
        m_bSizing = false;
        m_nHitCode = HitTest(p);
        m_Host.ShowCursorFor(m_nHitCode);
    }
    m_Host.SendStatus();
}

void CCropBox::ButtonUp() {
    if (!HasBox()) {
        // A click without a drag removes the box.
        m_Corner1 = {0, 0};
        m_Corner2 = {0, 0};
    } else if (m_Settings.m_bSnapRatio) {
        SnapToRatio(false);
    } else {
        SortCorners();
    }
    // Sizing is still set after a resize, so both corners are converted.
    TRect crop;
    GetCropGeometry(crop, false);
    DrawCropBox(dmRedraw);
    m_bTracking = false;
    m_bNewBox = false;
    m_bSizing = false;
}

void CCropBox::DrawCropBox(TDrawMode mode) {
    if (m_bOutlineShown && mode != dmAfterPaint) {
        m_Host.InvertOutline(m_DrawnCorner1, m_DrawnCorner2);
        m_DrawnCorner1 = {-1, -1};
        m_DrawnCorner2 = {-1, -1};
        m_bOutlineShown = false;
    }
    if (mode == dmRemove) {
        m_Corner1 = {0, 0};
        m_Corner2 = {0, 0};
        return;
    }
    // Storing the limited corners keeps corners taken from the mouse inside
    // the placement rectangle after every drawing.
    m_Corner1 = LimitToPlacement(m_Corner1);
    m_Corner2 = LimitToPlacement(m_Corner2);
    m_Host.InvertOutline(m_Corner1, m_Corner2);
    m_DrawnCorner1 = m_Corner1;
    m_DrawnCorner2 = m_Corner2;
    m_bOutlineShown = true;
}

void CCropBox::SortCorners() {
    if (m_Corner1.X > m_Corner2.X)
        std::swap(m_Corner1.X, m_Corner2.X);
    if (m_Corner1.Y > m_Corner2.Y)
        std::swap(m_Corner1.Y, m_Corner2.Y);
}

TRect CCropBox::CropFromScreen(bool bothCorners) {
    const TDrawBox& P = m_DrawBox;
    const int32_t Pw = P.Width();
    const int32_t Ph = P.Height();
    const int32_t w = m_nPictureWidth;
    const int32_t h = m_nPictureHeight;

    int32_t l = std::min(m_Corner1.X, m_Corner2.X) - P.Left;
    int32_t t = std::min(m_Corner1.Y, m_Corner2.Y) - P.Top;
    int32_t r = std::max(m_Corner1.X, m_Corner2.X) - P.Left;
    int32_t b = std::max(m_Corner1.Y, m_Corner2.Y) - P.Top;
    // Cut to the placement rectangle on every side: a box that a new
    // placement left beside the picture (a turn or the next picture with the
    // previous rectangle carried over) comes out empty, never inside out,
    // so no crop size below zero is kept for a later move.
    l = std::min(std::max(l, 0), Pw);
    t = std::min(std::max(t, 0), Ph);
    r = std::max(std::min(r, Pw), 0);
    b = std::max(std::min(b, Ph), 0);

    if (Pw > 0 && Ph > 0) {
        m_Crop.Left = MulDiv(w, l, Pw);
        m_Crop.Top = MulDiv(h, t, Ph);
        if (m_bSizing || bothCorners) {
            m_Crop.Right = MulDiv(w, r, Pw);
            m_Crop.Bottom = MulDiv(h, b, Ph);
        } else {
            // A moved box keeps its size in picture pixels, so rounding never
            // changes it (except where the picture's side cuts it).
            m_Crop.Right = m_Crop.Left + m_nCropWidth;
            m_Crop.Bottom = m_Crop.Top + m_nCropHeight;
        }
    }
    m_Crop.Right = std::min(m_Crop.Right, w);
    m_Crop.Bottom = std::min(m_Crop.Bottom, h);
    m_nCropWidth = m_Crop.Right - m_Crop.Left;
    m_nCropHeight = m_Crop.Bottom - m_Crop.Top;
    return m_Crop;
}

TSize CCropBox::ShrinkToMaximum(int32_t cw, int32_t ch) const {
    const int32_t Mw = m_Settings.m_nMaxWidth;
    const int32_t Mh = m_Settings.m_nMaxHeight;
    if (cw > Mw) {
        ch = MulDiv(ch, Mw, cw);
        cw = Mw;
    }
    if (ch > Mh) {
        cw = MulDiv(cw, Mh, ch);
        ch = Mh;
    }
    return {cw, ch};
}

TSize CCropBox::CopySizeFor(int32_t cw, int32_t ch) const {
    const int32_t Mw = m_Settings.m_nMaxWidth;
    const int32_t Mh = m_Settings.m_nMaxHeight;
    const bool enlarge = m_Settings.m_bEnlargement;
    const bool reaches = cw >= Mw || ch >= Mh;
    if ((reaches || enlarge) && m_Settings.m_bSnapRatio && HasBox())
        return {Mw, Mh};
    if (reaches)
        return ShrinkToMaximum(cw, ch);
    if (enlarge) {
        const int32_t a = ScaleSize(Mh, cw, ch, Mw); // width at full height
        const int32_t b = ScaleSize(Mw, ch, cw, Mh); // height at full width
        TSize copy{Mw, Mh};
        if (a > Mw)
            copy.Height = b;
        if (b > Mh)
            copy.Width = a;
        return copy;
    }
    return {cw, ch};
}

TSize CCropBox::GetCropGeometry(TRect& crop, bool recompute) {
    const bool active = m_Settings.IsMaxSizeActive();
    if (HasBox()) {
        crop = CropFromScreen(recompute);
        if ((m_bSizing || recompute) && active)
            m_CopySize = CopySizeFor(m_nCropWidth, m_nCropHeight);
        else if (!active)
            m_CopySize = {crop.Width(), crop.Height()};
        // else a moved box keeps its copy size
    } else {
        // No box: the whole picture, never enlarged.
        crop = TRect{0, 0, 0, 0};
        m_CopySize = active ? ShrinkToMaximum(m_nPictureWidth, m_nPictureHeight)
                            : TSize{m_nPictureWidth, m_nPictureHeight};
    }
    return m_CopySize;
}

void CCropBox::SnapToRatio(bool redraw) {
    SortCorners();
    const int32_t rw = m_nRatioWidth;
    const int32_t rh = m_nRatioHeight;
    if (rw <= 0 || rh <= 0 || !HasBox())
        return;
    const int32_t bw = m_Corner2.X - m_Corner1.X;
    const int32_t bh = m_Corner2.Y - m_Corner1.Y;

    // The ratio is never turned to the box's orientation; the dragged edge
    // leads, otherwise the longer side (the width for a square).
    bool widthLeads;
    switch (m_nHitCode) {
    case hitLeft:
    case hitRight:
        widthLeads = true;
        break;
    case hitTop:
    case hitBottom:
        widthLeads = false;
        break;
    default:
        widthLeads = bw >= bh;
        break;
    }
    const TDrawBox& P = m_DrawBox;
    if (widthLeads) {
        const int32_t nh = ScaleSize(bw, rh, rw, P.Height());
        const TRect r = KeepRatioInside({m_Corner1.X, m_Corner1.Y, m_Corner2.X, m_Corner1.Y + nh});
        m_Corner2.Y = m_Corner1.Y + r.Height();
    } else {
        const int32_t nw = ScaleSize(bh, rw, rh, P.Width());
        const TRect r = KeepRatioInside({m_Corner1.X, m_Corner1.Y, m_Corner1.X + nw, m_Corner2.Y});
        m_Corner2.X = m_Corner1.X + r.Width();
    }

    if (redraw) {
        DrawCropBox(dmRedraw);
        // Both corners converted and the copy size recomputed for this report.
        const bool sizing = m_bSizing;
        m_bSizing = true;
        m_Host.SendStatus();
        m_bSizing = sizing;
    }
}

TRect CCropBox::KeepRatioInside(TRect c) {
    const TDrawBox& P = m_DrawBox;
    const int32_t rw = m_nRatioWidth;
    const int32_t rh = m_nRatioHeight;
    // Only the far sides are tested: the box is shifted up or left, never
    // down or right.
    if (c.Bottom > P.Bottom) {
        c.Top -= c.Bottom - P.Bottom;
        c.Bottom = P.Bottom;
        if (c.Top < P.Top) {
            // Taller than the picture: full height, width from the ratio.
            c.Top = P.Top;
            c.Right = m_Corner1.X + ScaleSize(c.Bottom - c.Top, rw, rh, P.Width());
            m_Corner2.X = c.Right;
        }
    }
    m_Corner1.Y = c.Top;
    m_Corner2.Y = c.Bottom;
    if (c.Right > P.Right) {
        c.Left -= c.Right - P.Right;
        c.Right = P.Right;
        if (c.Left < P.Left) {
            // Wider than the picture: full width, height from the ratio.
            c.Left = P.Left;
            c.Bottom = m_Corner1.Y + MulDiv(c.Right - c.Left, rh, rw);
            m_Corner2.Y = c.Bottom;
        }
    }
    m_Corner1.X = c.Left;
    m_Corner2.X = c.Right;
    return c;
}

void CCropBox::InvertRatio() {
    if (HasBox() && m_Settings.m_bSnapRatio) {
        m_nHitCode = hitNone;
        // Turn the box about corner 1.
        const int32_t bw = m_Corner2.X - m_Corner1.X;
        const int32_t bh = m_Corner2.Y - m_Corner1.Y;
        m_Corner2 = {m_Corner1.X + bh, m_Corner1.Y + bw};
        KeepRatioInside({m_Corner1.X, m_Corner1.Y, m_Corner2.X, m_Corner2.Y});
        SnapToRatio(true);
    } else if (HasBox() && m_Settings.m_bMaxSize) {
        // The copy size follows the swapped maximum.
        TRect crop;
        GetCropGeometry(crop, true);
        DrawCropBox(dmRedraw);
    }
    m_Host.SendStatus();
}

void CCropBox::PropertiesChanged() {
    if (m_Settings.m_bSnapRatio)
        SnapToRatio(false);
    TRect crop;
    GetCropGeometry(crop, true);
    m_Host.SendStatus();
}

void CCropBox::CarryCropBox() {
    // The box on screen, cut to the new placement, in the new picture's
    // pixels; with no box the stored crop comes back as it was.
    TRect crop;
    GetCropGeometry(crop, true);
    PlaceFromCrop();
    if (m_Settings.m_bSnapRatio)
        SnapToRatio(false);
    // The carried box is converted as a resized one, so the report that
    // follows describes the box on screen and the copy Copy Image would write
    // (not the crop from before the snap with a stale copy size).
    GetCropGeometry(crop, true);
}

void CCropBox::FillStatus(TStatusData& status) {
    status.Clear();
    status.SourceWidth = m_nPictureWidth;
    status.SourceHeight = m_nPictureHeight;
    status.CopySize = GetCropGeometry(status.Crop, false);
}
