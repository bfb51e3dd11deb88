#include "view/ImageCtrl.h"

#include "ui/Dpi.h"

#include <cstdlib>
#include <optional>

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

void TImageCtrl::SetPicture(int32_t w, int32_t h) {
    m_Picture.Reset();
    NewPicture(w, h);
}

void TImageCtrl::SetBitmap(HBITMAP bitmap) {
    m_Picture.Reset(bitmap);
    BITMAP info{};
    int32_t w = 0;
    int32_t h = 0;
    if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
        w = info.bmWidth;
        h = std::abs(info.bmHeight);
    }
    NewPicture(w, h);
}

void TImageCtrl::NewPicture(int32_t w, int32_t h) {
    m_bPicture = w > 0 && h > 0;
    m_bDisplayStale = true;
    RECT client{};
    GetClientRect(Handle(), &client);
    m_CropBox.NewPicture(w, h, client.right, client.bottom);
    Repaint();
    SendStatus();
}

void TImageCtrl::PictureChanged() {
    if (!m_bPicture)
        return;
    m_bDisplayStale = true;
    // Only the picture's place: the background around it stays.
    const TDrawBox& P = m_CropBox.DrawBox();
    const RECT place{P.Left, P.Top, P.Right, P.Bottom};
    InvalidateRect(Handle(), &place, FALSE);
    UpdateWindow(Handle());
}

void TImageCtrl::Clear() {
    ClearUnpainted();
    UpdateWindow(Handle());
}

void TImageCtrl::ClearUnpainted() {
    // The display bitmap stays for the next picture to refill.
    m_Picture.Reset();
    m_bPicture = false;
    m_bDisplayStale = true;
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
    // In a paint, into its context: clipped to what the paint covers, so
    // an outline left outside it is not touched.
    std::optional<ui::WindowDC> window;
    HDC dc = m_hPaintDC;
    if (dc == nullptr)
        dc = window.emplace(Handle()).Get();
    const int oldMode = SetROP2(dc, R2_NOT);
    {
        ui::ScopedSelect pen(dc, GetStockObject(BLACK_PEN));
        ui::ScopedSelect brush(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, corner1.X, corner1.Y, corner2.X, corner2.Y);
    }
    SetROP2(dc, oldMode);
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

void TImageCtrl::SetScale(int dpi) {
    m_nDpi = dpi;
    m_CropBox.SetPlacementMargin(ui::ScaleForDpi(10, dpi));
    if (m_pLayout->AlignWithMargins) { // shown already: the frame changes now
        m_pLayout->Margins = ui::ScaleForDpi(ui::TMargins{4, 4, 4, 4}, dpi);
        m_nBorderWidth = ui::ScaleForDpi(3, dpi);
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TImageCtrl::SetAppearance() {
    m_pLayout->AlignWithMargins = true;
    m_pLayout->Margins = ui::ScaleForDpi(ui::TMargins{4, 4, 4, 4}, m_nDpi);
    m_nBorderWidth = ui::ScaleForDpi(3, m_nDpi);
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

HBITMAP TImageCtrl::HalftoneBitmap(HDC dc, int32_t width, int32_t height, HBITMAP reuse) const {
    BITMAP old{};
    if (reuse != nullptr && !(GetObjectA(reuse, sizeof old, &old) && old.bmWidth == width &&
                              std::abs(old.bmHeight) == height)) {
        DeleteObject(reuse);
        reuse = nullptr;
    }
    HBITMAP bitmap = reuse != nullptr ? reuse : CreateCompatibleBitmap(dc, width, height);
    if (bitmap == nullptr)
        return nullptr;
    ui::UniqueMemoryDC target(dc);
    ui::UniqueMemoryDC source(dc);
    ui::ScopedSelect into(target.Get(), bitmap);
    ui::ScopedSelect from(source.Get(), m_Picture.Get());
    SetStretchBltMode(target.Get(), HALFTONE);
    SetBrushOrgEx(target.Get(), 0, 0, nullptr);
    StretchBlt(target.Get(), 0, 0, width, height, source.Get(), 0, 0, m_CropBox.PictureWidth(),
               m_CropBox.PictureHeight(), SRCCOPY);
    return bitmap;
}

HBITMAP TImageCtrl::DisplayBitmap(HDC dc, int32_t width, int32_t height) {
    if (!m_bDisplayStale && m_Display && m_DisplaySize.cx == width && m_DisplaySize.cy == height)
        return m_Display.Get();
    HBITMAP reuse = m_Display.Release();
    HBITMAP made = nullptr;
    if (m_Picture)
        made = HalftoneBitmap(dc, width, height, reuse);
    else if (m_pSource != nullptr)
        made = m_pSource->MakeDisplayBitmap(dc, width, height, reuse);
    else if (reuse != nullptr)
        DeleteObject(reuse);
    m_Display.Reset(made);
    m_DisplaySize = made != nullptr ? SIZE{width, height} : SIZE{0, 0};
    m_bDisplayStale = made == nullptr;
    return made;
}

void TImageCtrl::Paint() {
    ui::PaintScope paint(Handle());
    HDC dc = paint.Get();
    const TDrawBox& P = m_CropBox.DrawBox();
    // A client area below twice the margin inverts the placement; a mirrored
    // picture would be all that could be shown, so nothing is.
    HBITMAP shown = m_bPicture && P.Width() > 0 && P.Height() > 0 ? DisplayBitmap(dc, P.Width(), P.Height())
                                                                   : nullptr;
    // The panel's colour around the picture only: nothing is painted twice,
    // so resizing does not flicker.
    const int saved = SaveDC(dc);
    if (shown != nullptr)
        ExcludeClipRect(dc, P.Left, P.Top, P.Right, P.Bottom);
    FillRect(dc, &paint.Area(), m_hBackground);
    RestoreDC(dc, saved);
    if (shown != nullptr) {
        ui::UniqueMemoryDC memory(dc);
        ui::ScopedSelect picture(memory.Get(), shown);
        BitBlt(dc, P.Left, P.Top, P.Width(), P.Height(), memory.Get(), 0, 0, SRCCOPY);
    }
    if (!m_bPicture)
        return;
    // The repaint wiped the old outline where it painted: draw it anew
    // there, in the same context.
    m_hPaintDC = dc;
    m_CropBox.AfterPaint();
    m_hPaintDC = nullptr;
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
