// The crop box and the geometry of the image view without a window: the
// picture's size, its placement rectangle, the box's corners in view
// coordinates, the drag state machine, the inverted outline's bookkeeping,
// and the rules that turn the box into a crop in picture pixels and a copy
// size. The window it lives in draws the outline, reports the status and
// sets the cursor through CCropBoxHost.
#pragma once

#include "view/CropSettings.h"
#include "view/DrawBox.h"
#include "view/Geometry.h"
#include "view/StatusData.h"

#include <cstdint>

// What the mouse is over; frozen while the button is held.
enum THitCode : int32_t {
    hitNone = 0, // not on the box: pressing starts a new box
    hitLeft = 1,
    hitTop = 2,
    hitRight = 3,
    hitBottom = 4,
    hitTopLeft = 5,
    hitTopRight = 6,
    hitBottomLeft = 7,
    hitBottomRight = 8,
    hitInside = 9, // dragging moves the box
};

// How the outline is drawn. Redraw erases the outline on screen and draws it
// at the corners; after-paint draws without erasing (a repaint wiped the old
// one); remove erases it and drops the box.
enum TDrawMode {
    dmRedraw,
    dmAfterPaint,
    dmRemove,
};

// The window side of the crop box.
class CCropBoxHost {
public:
    // Inverts the one-pixel outline of the rectangle with these corners
    // (in any order); doing it twice restores the screen.
    virtual void InvertOutline(TPoint corner1, TPoint corner2) = 0;
    // Shows the cursor for what the mouse is over.
    virtual void ShowCursorFor(THitCode hit) = 0;
    // Reports the current status (FillStatus) to the owner, synchronously.
    virtual void SendStatus() = 0;

protected:
    ~CCropBoxHost() = default;
};

class CCropBox {
public:
    explicit CCropBox(CCropBoxHost& host) : m_Host(host) {}

    // --- The settings ---------------------------------------------------
    // Takes the settings the rules read from now on.
    void UseSettings(const TCropSettings& settings) { m_Settings = settings; }
    const TCropSettings& Settings() const { return m_Settings; }
    // Copies the maximum width and height into the ratio.
    void TakeRatio();

    // --- The picture and its placement ----------------------------------
    // A new picture of w x h in a W x H client area: fit it, then carry the
    // box over (previous-rectangle switch on) or drop it.
    void NewPicture(int32_t w, int32_t h, int32_t W, int32_t H);
    // The picture is gone: no box, and the outline counts as wiped by the
    // repaint that follows. Sizes, placement and crop stay as they were.
    void ClearPicture();
    // The client area changed size: fit again, re-place the box, redraw it,
    // and take the crop and copy size from the re-placed box.
    void Resize(int32_t W, int32_t H);
    // The picture was just painted: draw the outline anew.
    void AfterPaint() { DrawCropBox(dmAfterPaint); }

    // Re-places an existing box from its crop over the placement rectangle
    // and redraws the outline. A removed box stays removed.
    void PlaceCropBox();

    // --- The mouse --------------------------------------------------------
    void ButtonDown(TPoint p);
    // Any mouse move: drags while tracking, hit tests otherwise; then reports.
    void MouseMove(TPoint p);
    void ButtonUp();
    // Which box edge, corner or inside the point is over (the stored
    // corners are not changed).
    THitCode HitTest(TPoint p) const;

    // --- The rules --------------------------------------------------------
    void DrawCropBox(TDrawMode mode);
    // The box in picture pixels. Both corners are converted while sizing or
    // when asked; a moved box keeps its size in picture pixels.
    TRect CropFromScreen(bool bothCorners);
    // The size a crop of cw x ch is copied at under the maximum size.
    TSize CopySizeFor(int32_t cw, int32_t ch) const;
    // The crop (all zero for no box, meaning the whole picture) and the copy size.
    TSize GetCropGeometry(TRect& crop, bool recompute);
    void SnapToRatio(bool redraw);
    // Keeps a ratio box from running past the picture's bottom and right
    // sides; stores the corners it moves.
    TRect KeepRatioInside(TRect candidate);
    void InvertRatio();
    void PropertiesChanged();
    void CarryCropBox();
    // Fills a status record from scratch (SendStatus' contents).
    void FillStatus(TStatusData& status);

    // --- State ------------------------------------------------------------
    // A box exists when its corners differ in x and in y.
    bool HasBox() const { return m_Corner1.X != m_Corner2.X && m_Corner1.Y != m_Corner2.Y; }
    const TDrawBox& DrawBox() const { return m_DrawBox; }
    // The free band around the placement, in view pixels; taken at the next
    // fit (a new picture or a resize).
    void SetPlacementMargin(int32_t margin) { m_DrawBox.Margin = margin; }
    int32_t PictureWidth() const { return m_nPictureWidth; }
    int32_t PictureHeight() const { return m_nPictureHeight; }
    TPoint Corner1() const { return m_Corner1; }
    TPoint Corner2() const { return m_Corner2; }
    TPoint DrawnCorner1() const { return m_DrawnCorner1; }
    TPoint DrawnCorner2() const { return m_DrawnCorner2; }
    const TRect& Crop() const { return m_Crop; }
    TSize CopySize() const { return m_CopySize; }
    THitCode HitCode() const { return m_nHitCode; }
    bool Tracking() const { return m_bTracking; }
    bool Sizing() const { return m_bSizing; }
    bool OutlineShown() const { return m_bOutlineShown; }
    int32_t RatioWidth() const { return m_nRatioWidth; }
    int32_t RatioHeight() const { return m_nRatioHeight; }

    // Sets the corners as they are, for callers that restore a box.
    void SetCorners(TPoint corner1, TPoint corner2) {
        m_Corner1 = corner1;
        m_Corner2 = corner2;
    }

private:
    void SortCorners();
    TPoint LimitToPlacement(TPoint p) const;
    // Corners from the crop over the placement rectangle, then a redraw.
    void PlaceFromCrop();
    TSize ShrinkToMaximum(int32_t cw, int32_t ch) const;

    CCropBoxHost& m_Host;
    TCropSettings m_Settings;

    int32_t m_nPictureWidth = 0;
    int32_t m_nPictureHeight = 0;
    TRect m_Crop;
    int32_t m_nCropWidth = 0;
    int32_t m_nCropHeight = 0;
    TSize m_CopySize;
    TDrawBox m_DrawBox;
    TPoint m_LastMouse{-1, -1};
    TPoint m_Corner1{-1, -1};
    TPoint m_Corner2{-1, -1};
    TPoint m_DrawnCorner1{-1, -1};
    TPoint m_DrawnCorner2{-1, -1};
    bool m_bTracking = false;
    bool m_bNewBox = false;
    bool m_bOutlineShown = false;
    bool m_bSizing = false;
    THitCode m_nHitCode = hitNone;
    int32_t m_nRatioWidth = 0;
    int32_t m_nRatioHeight = 0;
};
