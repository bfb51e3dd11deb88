#include "view/ImageCtrl.h"

#include <cstdlib>

namespace {
const char* const kClassName = "TImageCtrl";

// The brush of the parent's class background, for taking the parent's colour.
HBRUSH ParentBackground(HWND parent) {
    const auto value = parent ? GetClassLongPtrA(parent, GCLP_HBRBACKGROUND) : 0;
    // Class brushes may be given as a system colour index plus one.
    if (value > 0 && value <= COLOR_MENUBAR + 1)
        return GetSysColorBrush(static_cast<int>(value - 1));
    if (value)
        return reinterpret_cast<HBRUSH>(value);
    return GetSysColorBrush(COLOR_BTNFACE);
}
} // namespace

TImageCtrl::TImageCtrl()
    : m_CropBox(*this), m_pStatus(std::make_unique<TStatusData>()),
      m_Cursor(MAKEINTRESOURCEA(crCrop)), m_hBackground(GetSysColorBrush(COLOR_BTNFACE)) {}

TImageCtrl::~TImageCtrl() = default;

bool TImageCtrl::Create(HWND parent, int x, int y, int width, int height, int id) {
    // The cursor comes from WM_SETCURSOR and the background from WM_PAINT.
    if (!RegisterClassOnce(kClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, nullptr, nullptr))
        return false;
    m_hOwner = parent;
    return CreateAs(kClassName, 0, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, x, y, width,
                    height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}

HCURSOR TImageCtrl::CurrentCursor() const {
    if (m_Cursor == MAKEINTRESOURCEA(crMove) || m_Cursor == MAKEINTRESOURCEA(crCrop)) {
        const int number = static_cast<int>(reinterpret_cast<ULONG_PTR>(m_Cursor));
        HCURSOR own = m_pCursors ? m_pCursors->Get(number) : nullptr;
        return own ? own : LoadCursor(nullptr, IDC_ARROW);
    }
    return LoadCursorA(nullptr, m_Cursor);
}

void TImageCtrl::SetViewCursor(LPCSTR cursor) {
    m_Cursor = cursor;
    // Show it at once when the mouse is over the view, not at the next move.
    POINT p;
    if (Handle() && !GetCapture() && GetCursorPos(&p) && WindowFromPoint(p) == Handle())
        SetCursor(CurrentCursor());
}

void TImageCtrl::SetCropSettings(const TCropSettings& settings) {
    m_CropBox.UseSettings(settings);
    m_CropBox.TakeRatio();
}

void TImageCtrl::SetProperties(const TProperties* properties) {
    SetCropSettings(properties ? CropSettingsOf(*properties) : TCropSettings{});
}

void TImageCtrl::Repaint() {
    InvalidateRect(Handle(), nullptr, FALSE);
    UpdateWindow(Handle());
}

void TImageCtrl::SetBitmap(HBITMAP bitmap) {
    m_Bitmap.Reset(bitmap);
    BITMAP info{};
    int32_t w = 0;
    int32_t h = 0;
    if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
        w = info.bmWidth;
        h = std::abs(info.bmHeight);
    }
    RECT client{};
    GetClientRect(Handle(), &client);
    m_CropBox.NewPicture(w, h, client.right, client.bottom);
    Repaint();
    SendStatus();
}

void TImageCtrl::Clear() {
    ClearUnpainted();
    UpdateWindow(Handle());
}

void TImageCtrl::ClearUnpainted() {
    m_Bitmap.Reset();
    m_CropBox.ClearPicture();
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TImageCtrl::PlaceCropBox() {
    m_CropBox.PlaceCropBox();
}

TSize TImageCtrl::GetCropGeometry(TRect& crop, bool recompute) {
    return m_CropBox.GetCropGeometry(crop, recompute);
}

void TImageCtrl::SnapToRatio(bool redraw) {
    m_CropBox.SnapToRatio(redraw);
}

void TImageCtrl::InvertRatio() {
    m_CropBox.InvertRatio();
}

void TImageCtrl::PropertiesChanged() {
    m_CropBox.PropertiesChanged();
}

void TImageCtrl::InvertOutline(TPoint corner1, TPoint corner2) {
    // A one-pixel rectangle that inverts what is under it and fills nothing,
    // so drawing it twice restores the screen. A box without area shows
    // nothing (whatever the platform would make of an empty rectangle).
    if (corner1.X == corner2.X || corner1.Y == corner2.Y)
        return;
    ui::WindowDC dc(Handle());
    const int oldMode = SetROP2(dc.Get(), R2_NOT);
    {
        ui::ScopedSelect pen(dc.Get(), GetStockObject(BLACK_PEN));
        ui::ScopedSelect brush(dc.Get(), GetStockObject(NULL_BRUSH));
        Rectangle(dc.Get(), corner1.X, corner1.Y, corner2.X, corner2.Y);
    }
    SetROP2(dc.Get(), oldMode);
}

void TImageCtrl::ShowCursorFor(THitCode hit) {
    switch (hit) {
    case hitNone:
        SetViewCursor(HasPicture() ? MAKEINTRESOURCEA(crCrop) : IDC_ARROW);
        break;
    case hitLeft:
    case hitRight:
        SetViewCursor(IDC_SIZEWE);
        break;
    case hitTop:
    case hitBottom:
        SetViewCursor(IDC_SIZENS);
        break;
    case hitTopLeft:
    case hitBottomRight:
        SetViewCursor(IDC_SIZENWSE);
        break;
    case hitTopRight:
    case hitBottomLeft:
        SetViewCursor(IDC_SIZENESW);
        break;
    case hitInside:
        SetViewCursor(MAKEINTRESOURCEA(crMove));
        break;
    }
}

void TImageCtrl::SendStatus() {
    m_CropBox.FillStatus(*m_pStatus);
    // Sent, not posted: the owner reads the record before this returns.
    if (m_hOwner)
        SendMessageA(m_hOwner, WM_CROPSTATUS, 0, reinterpret_cast<LPARAM>(m_pStatus.get()));
}

void TImageCtrl::SetAppearance() {
    m_pLayout->AlignWithMargins = true;
    m_pLayout->Margins = ui::TMargins{4, 4, 4, 4};
    m_nBorderWidth = 3;
    m_hBackground = ParentBackground(GetParent(Handle()));
    // A flat single-line border: WS_BORDER without the sunken 3-D edge.
    const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrA(Handle(), GWL_EXSTYLE);
    SetWindowLongPtrA(Handle(), GWL_STYLE, style | WS_BORDER);
    SetWindowLongPtrA(Handle(), GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TImageCtrl::PaintBorderBand() {
    if (m_nBorderWidth <= 0)
        return;
    // The band between the border line and the client area, in window coordinates.
    RECT window{};
    GetWindowRect(Handle(), &window);
    POINT origin{0, 0};
    ClientToScreen(Handle(), &origin);
    RECT client{};
    GetClientRect(Handle(), &client);
    OffsetRect(&client, origin.x - window.left, origin.y - window.top);
    RECT band = client;
    InflateRect(&band, m_nBorderWidth, m_nBorderWidth);
    ui::WindowFrameDC dc(Handle());
    ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
    FillRect(dc.Get(), &band, m_hBackground);
}

void TImageCtrl::Paint() {
    {
        // The panel's own painting: its colour over what needs painting.
        ui::PaintScope paint(Handle());
        FillRect(paint.Get(), &paint.Area(), m_hBackground);
    }
    if (!m_Bitmap)
        return;
    const TDrawBox& P = m_CropBox.DrawBox();
    // A client area below twice the margin inverts the placement; a mirrored
    // stretch would be all that could be shown, so nothing is.
    if (P.Width() > 0 && P.Height() > 0) {
        ui::WindowDC dc(Handle());
        ui::UniqueMemoryDC memory(dc.Get());
        ui::ScopedSelect picture(memory.Get(), m_Bitmap.Get());
        SetStretchBltMode(dc.Get(), COLORONCOLOR);
        StretchBlt(dc.Get(), P.Left, P.Top, P.Width(), P.Height(), memory.Get(), 0, 0, m_CropBox.PictureWidth(),
                   m_CropBox.PictureHeight(), SRCCOPY);
    }
    // The repaint wiped the old outline: draw it anew without erasing.
    m_CropBox.AfterPaint();
}

LRESULT TImageCtrl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the background is painted in WM_PAINT
    case WM_NCCALCSIZE: {
        const LRESULT result = DefaultHandling(msg, wp, lp);
        RECT* client = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
        InflateRect(client, -m_nBorderWidth, -m_nBorderWidth);
        return result;
    }
    case WM_NCPAINT: {
        const LRESULT result = DefaultHandling(msg, wp, lp);
        PaintBorderBand();
        return result;
    }
    case WM_SHOWWINDOW:
        if (wp == 1)
            SetAppearance();
        return DefaultHandling(msg, wp, lp);
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == Handle() && LOWORD(lp) == HTCLIENT) {
            SetCursor(CurrentCursor());
            return TRUE;
        }
        return DefaultHandling(msg, wp, lp);
    default:
        return Window::HandleMessage(msg, wp, lp);
    }
}

bool TImageCtrl::OnSize(int width, int height) {
    m_CropBox.Resize(width, height);
    // The re-placed box may convert to other picture pixels: the owner
    // hears of it now, not at the next mouse move.
    if (HasPicture())
        SendStatus();
    return false;
}

bool TImageCtrl::OnMouse(const ui::TMouse& mouse) {
    switch (mouse.message) {
    case WM_LBUTTONDOWN:
        m_CropBox.ButtonDown({mouse.at.x, mouse.at.y});
        // Moves outside the view keep arriving while the button is held.
        SetCapture(Handle());
        break;
    case WM_MOUSEMOVE:
        m_CropBox.MouseMove({mouse.at.x, mouse.at.y});
        break;
    case WM_LBUTTONUP:
        m_CropBox.ButtonUp();
        if (GetCapture() == Handle())
            ReleaseCapture();
        break;
    default:
        break;
    }
    return false;
}

bool TImageCtrl::OnContextMenu(const ui::TContextMenu& menu) {
    // Another window's request goes on up to the parent, as the system passes it.
    if (!m_hPopupMenu || menu.window != Handle())
        return false;
    TrackPopupMenu(m_hPopupMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, menu.screen.x, menu.screen.y, 0, m_hOwner,
                   nullptr);
    return true;
}
