// The image view: a child window that shows the current picture fitted into
// its client area and carries the crop box. It owns a display bitmap made
// at the placement's size in device pixels (by its display source, or from
// a picture handed over whole as a bitmap), remade whenever that size
// changes and copied pixel for pixel at every paint, so nothing is ever
// stretched on screen. Everything is drawn in WM_PAINT's own device
// context: the background around the picture, the picture, then the crop
// outline, which mouse moves invert on screen without a repaint. Every
// change of the crop geometry goes to the owner with WM_CROPSTATUS. The
// rules live in CCropBox.
#pragma once

#include "ui/Align.h"
#include "ui/Cursors.h"
#include "ui/Handles.h"
#include "ui/Window.h"
#include "view/CropBox.h"
#include "view/DisplaySource.h"
#include "view/StatusData.h"

#include <windows.h>

#include <memory>
#include <utility>

class TProperties;

// Cursor numbers of the view's two cursors.
enum TCursorNumber {
    crMove = 100, // closed hand: moving the box
    crCrop = 101, // crop tool: drawing a box
};

class TImageCtrl : public ui::Window, private CCropBoxHost {
public:
    TImageCtrl();
    ~TImageCtrl() override;

    // Creates the control as a child of `parent`, which is also its owner:
    // it receives WM_CROPSTATUS and the commands of the pop-up menu. The
    // owner places it (it fills the space its parent's layout leaves it,
    // see Layout()).
    bool Create(HWND parent, int x, int y, int width, int height, int id = 0);

    // The program's cursor list, where crMove and crCrop are registered
    // (not owned). Until then, and for a number not registered, the default
    // cursor stands in.
    void SetCursorList(const ui::TCursorList* cursors) { m_pCursors = cursors; }
    // The menu shown on a right click (not owned); its commands go to the owner.
    void SetPopupMenu(HMENU menu) { m_hPopupMenu = menu; }

    // The settings the rules read from now on, with the ratio taken from
    // their maximum width and height. Nothing is redrawn: the owner asks for
    // what a change means (PropertiesChanged, SnapToRatio, InvertRatio).
    void SetCropSettings(const TCropSettings& settings);
    const TCropSettings& CropSettings() const { return m_CropBox.Settings(); }
    // The same from a whole settings record (not kept; null: no maximum and
    // every switch off).
    void SetProperties(const TProperties* properties);
    // Where display bitmaps of the pictures given by SetPicture come from
    // (not owned; null: none).
    void SetDisplaySource(TDisplaySource* source) { m_pSource = source; }
    // Shows a new picture of w x h pixels (the whole picture, as the crop
    // box counts it), drawn by the display source.
    void SetPicture(int32_t w, int32_t h);
    // Shows a new picture given whole as a bitmap, which the view takes
    // over; its display bitmap is made from it by the system's halftone
    // (area-averaging) stretch.
    void SetBitmap(HBITMAP bitmap);
    // The display source has better pixels for the picture shown (its full
    // decode arrived, a turn was made): the display bitmap is made again
    // and painted; the crop box stays as it is.
    void PictureChanged();
    // Removes the picture and the crop box.
    void Clear();
    // The same, leaving the empty view to the next paint: a picture shown
    // at once paints over it, and nothing is painted twice.
    void ClearUnpainted();
    // Re-places the crop box over the picture after the view's size changed.
    void PlaceCropBox();
    bool HasPicture() const { return m_bPicture; }
    // The display bitmap's size as last made (0 x 0 before), for tests.
    SIZE DisplaySize() const { return m_DisplaySize; }

    // The crop in picture pixels (all zero: the whole picture) and the copy size.
    TSize GetCropGeometry(TRect& crop, bool recompute);
    void SnapToRatio(bool redraw);
    // After the owner swapped the maximum width and height in the settings.
    void InvertRatio();
    // Re-applies the rules after any change of the settings.
    void PropertiesChanged();

    // How the parent's layout places the view: it fills the client area
    // left over, with the margins it gives itself when first shown.
    // The parent's layout shares it, so it outlives the view.
    std::shared_ptr<ui::TAlignSpec> Layout() const { return m_pLayout; }
    bool AlignWithMargins() const { return m_pLayout->AlignWithMargins; }
    const ui::TMargins& Margins() const { return m_pLayout->Margins; }

    const CCropBox& CropBox() const { return m_CropBox; }
    // The margins, border and picture margin for a screen of `dpi` dots per
    // inch (they are designed at 96); the owner then lays the view out again.
    void SetScale(int dpi);
    // The cursor the view shows over its client area now.
    HCURSOR CurrentCursor() const;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnSize(int width, int height) override;
    bool OnMouse(const ui::TMouse& mouse) override;
    bool OnContextMenu(const ui::TContextMenu& menu) override;

private:
    // CCropBoxHost
    void InvertOutline(TPoint corner1, TPoint corner2) override;
    void ShowCursorFor(THitCode hit) override;
    void SendStatus() override;

    void SetAppearance();
    void Paint();
    // The display bitmap at the placement's size, made when it is missing,
    // of another size or stale; null when none can be made.
    HBITMAP DisplayBitmap(HDC dc, int32_t width, int32_t height);
    // A display bitmap of the picture handed over as a bitmap.
    HBITMAP HalftoneBitmap(HDC dc, int32_t width, int32_t height, HBITMAP reuse) const;
    void NewPicture(int32_t w, int32_t h);
    void PaintBorderBand();
    // Sets the view's cursor: a cursor number or a system cursor id.
    void SetViewCursor(LPCSTR cursor);
    void Repaint();

    TDisplaySource* m_pSource = nullptr;
    ui::UniqueBitmap m_Picture; // a picture handed over whole (SetBitmap)
    bool m_bPicture = false;    // a picture is shown
    ui::UniqueBitmap m_Display; // the picture at m_DisplaySize; kept for reuse while none is shown
    SIZE m_DisplaySize{0, 0};
    bool m_bDisplayStale = true;
    HDC m_hPaintDC = nullptr; // while painting: the outline is drawn there
    CCropBox m_CropBox;
    std::unique_ptr<TStatusData> m_pStatus;
    HWND m_hOwner = nullptr;
    HMENU m_hPopupMenu = nullptr;

    const ui::TCursorList* m_pCursors = nullptr;
    LPCSTR m_Cursor = nullptr; // MAKEINTRESOURCE of a cursor number or a system cursor

    HBRUSH m_hBackground = nullptr; // a system colour brush, not owned
    int m_nBorderWidth = 0;
    int m_nDpi = 96;
    std::shared_ptr<ui::TAlignSpec> m_pLayout =
        std::make_shared<ui::TAlignSpec>(ui::TAlignSpec{ui::TAlign::Client, false, ui::TMargins{3, 3, 3, 3}});
};
