// A small top-level window owning an image view, as the main window will:
// it records every WM_CROPSTATUS report, and helpers drive the view with
// posted mouse messages and read its pixels back from the screen.
#pragma once

#include "view/ImageCtrl.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class TestHost : public ui::Window {
public:
    // Creates the host at the top-left of the screen with the view inside,
    // its appearance set and its client area clientWidth x clientHeight.
    bool Create(int clientWidth, int clientHeight);
    // Gives the view a client area of this size.
    void SetViewClientSize(int clientWidth, int clientHeight);

    TImageCtrl view;
    std::vector<TStatusData> reports;
    std::vector<bool> pictureAtReport; // the view's HasPicture while it reported
    const TStatusData* lastAddress = nullptr;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Posts one mouse message to the view's window and dispatches it.
void PostMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys = 0);
void Hover(HWND hwnd, int x, int y);
void Drag(HWND hwnd, int fromX, int fromY, int toX, int toY);
void Click(HWND hwnd, int x, int y);

// A device-dependent picture of w x h filled with Pattern (as 0x00RRGGBB).
HBITMAP MakePicture(int w, int h);
uint32_t Pattern(int x, int y);

// The window's client pixels as 0x00RRGGBB, row by row from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;
    uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};
Pixels CapturePixels(HWND hwnd);
