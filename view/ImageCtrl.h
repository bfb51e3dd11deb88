// The image view: a child window that shows the current picture fitted into
// its client area and carries the crop box. It owns the display bitmap it is
// handed, paints it with a plain stretch, draws the crop outline by
// inverting screen pixels, and reports every change of the crop geometry to
// its owner with WM_CROPSTATUS. The rules live in CCropBox.
#pragma once

#include "ui/Align.h"
#include "ui/Cursors.h"
#include "ui/Handles.h"
#include "ui/Window.h"
#include "view/CropBox.h"
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
    // Shows a new picture; the view takes ownership of the bitmap.
    void SetBitmap(HBITMAP bitmap);
    // Gives up the bitmap shown without repainting: its memory may take the
    // next picture, and the two never take memory together. SetBitmap or
    // Clear must follow before the view paints again.
    ui::UniqueBitmap TakeBitmap() { return std::move(m_Bitmap); }
    // Removes the picture and the crop box.
    void Clear();
    // The same, leaving the empty view to the next paint: a picture shown
    // at once paints over it, and nothing is painted twice.
    void ClearUnpainted();
    // Re-places the crop box over the picture after the view's size changed.
    void PlaceCropBox();
    bool HasPicture() const { return static_cast<bool>(m_Bitmap); }

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
    void PaintBorderBand();
    // Sets the view's cursor: a cursor number or a system cursor id.
    void SetViewCursor(LPCSTR cursor);
    void Repaint();

    ui::UniqueBitmap m_Bitmap;
    CCropBox m_CropBox;
    std::unique_ptr<TStatusData> m_pStatus;
    HWND m_hOwner = nullptr;
    HMENU m_hPopupMenu = nullptr;

    const ui::TCursorList* m_pCursors = nullptr;
    LPCSTR m_Cursor = nullptr; // MAKEINTRESOURCE of a cursor number or a system cursor

    HBRUSH m_hBackground = nullptr; // a system colour brush, not owned
    int m_nBorderWidth = 0;
    std::shared_ptr<ui::TAlignSpec> m_pLayout =
        std::make_shared<ui::TAlignSpec>(ui::TAlignSpec{ui::TAlign::Client, false, ui::TMargins{3, 3, 3, 3}});
};
