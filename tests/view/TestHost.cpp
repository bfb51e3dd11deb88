#include "TestHost.h"

#include "harness/Gui.h"

namespace {
const char* const kHostClass = "SnapwellViewTestHost";
}

bool TestHost::Create(int clientWidth, int clientHeight) {
    if (!RegisterClassOnce(kHostClass, 0, LoadCursor(nullptr, IDC_ARROW),
                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return false;
    // Topmost, so nothing else on the display covers the pixels read back.
    if (!CreateAs(kHostClass, WS_EX_TOPMOST, "View test host", WS_POPUP | WS_VISIBLE, 0, 0, clientWidth + 40,
                  clientHeight + 40, nullptr, nullptr))
        return false;
    if (!view.Create(Handle(), 4, 4, clientWidth, clientHeight))
        return false;
    // As the main window does once it has attached the settings.
    SendMessageA(view.Handle(), WM_SHOWWINDOW, 1, 0);
    SetViewClientSize(clientWidth, clientHeight);
    UpdateWindow(Handle());
    harness::PumpMessages();
    return true;
}

void TestHost::SetViewClientSize(int clientWidth, int clientHeight) {
    RECT window{}, client{};
    GetWindowRect(view.Handle(), &window);
    GetClientRect(view.Handle(), &client);
    const int frameX = (window.right - window.left) - client.right;
    const int frameY = (window.bottom - window.top) - client.bottom;
    SetWindowPos(view.Handle(), nullptr, 4, 4, clientWidth + frameX, clientHeight + frameY,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    harness::PumpMessages();
}

LRESULT TestHost::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CROPSTATUS) {
        lastAddress = reinterpret_cast<const TStatusData*>(lp);
        reports.push_back(*lastAddress);
        pictureAtReport.push_back(view.HasPicture());
        return 0;
    }
    return DefaultHandling(msg, wp, lp);
}

void PostMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys) {
    PostMessageA(hwnd, msg, keys, MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                                             static_cast<WORD>(static_cast<short>(y))));
    harness::PumpMessages();
}

void Hover(HWND hwnd, int x, int y) { PostMouse(hwnd, WM_MOUSEMOVE, x, y); }

void Drag(HWND hwnd, int fromX, int fromY, int toX, int toY) {
    Hover(hwnd, fromX, fromY);
    PostMouse(hwnd, WM_LBUTTONDOWN, fromX, fromY, MK_LBUTTON);
    PostMouse(hwnd, WM_MOUSEMOVE, (fromX + toX) / 2, (fromY + toY) / 2, MK_LBUTTON);
    PostMouse(hwnd, WM_MOUSEMOVE, toX, toY, MK_LBUTTON);
    PostMouse(hwnd, WM_LBUTTONUP, toX, toY);
}

void Click(HWND hwnd, int x, int y) {
    Hover(hwnd, x, y);
    PostMouse(hwnd, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    PostMouse(hwnd, WM_LBUTTONUP, x, y);
}

uint32_t Pattern(int x, int y) {
    // Smooth ramps with large soft tiles: every pixel known, the outline easy to see.
    const uint32_t r = static_cast<uint32_t>(x / 3) & 0xFF;
    const uint32_t g = static_cast<uint32_t>(y / 3) & 0xFF;
    const uint32_t b = (x / 40 + y / 40) % 2 ? 0xC0 : 0x60;
    return (r << 16) | (g << 8) | b;
}

HBITMAP MakePicture(int w, int h) {
    std::vector<uint32_t> bits(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bits[static_cast<size_t>(y) * w + x] = Pattern(x, y);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    SetDIBits(screen, bitmap, 0, static_cast<UINT>(h), bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

Pixels CapturePixels(HWND hwnd) {
    Pixels p;
    RECT client{};
    GetClientRect(hwnd, &client);
    p.width = client.right;
    p.height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = p.width;
    info.bmiHeader.biHeight = -p.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ui::WindowDC dc(hwnd);
    ui::UniqueBitmap section(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ui::UniqueMemoryDC memory(dc.Get());
    {
        ui::ScopedSelect select(memory.Get(), section.Get());
        BitBlt(memory.Get(), 0, 0, p.width, p.height, dc.Get(), 0, 0, SRCCOPY);
        GdiFlush();
        const auto* rgb = static_cast<const uint32_t*>(bits);
        p.rgb.assign(rgb, rgb + static_cast<size_t>(p.width) * p.height);
    }
    for (auto& v : p.rgb)
        v &= 0x00FFFFFF;
    return p;
}
