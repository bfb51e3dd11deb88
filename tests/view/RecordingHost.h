// The window side of a CCropBox for tests without a window: it keeps the
// outline inversions as a set of rectangles toggled on and off (as a screen
// inverted twice is restored), the reports sent and the cursors shown.
#pragma once

#include "view/CropBox.h"

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

class RecordingHost : public CCropBoxHost {
public:
    // The rectangle an inversion covers, corners sorted.
    static TRect Normalised(TPoint a, TPoint b) {
        return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
    }

    void InvertOutline(TPoint a, TPoint b) override {
        const auto key = Key(Normalised(a, b));
        if (!m_onScreen.erase(key))
            m_onScreen.insert(key);
        ++inversions;
    }
    void ShowCursorFor(THitCode hit) override { cursors.push_back(hit); }
    void SendStatus() override {
        TStatusData status;
        box->FillStatus(status);
        reports.push_back(status);
    }

    // A repaint of the picture wipes every outline.
    void WipeScreen() { m_onScreen.clear(); }
    // The outlines now inverted on the screen.
    std::vector<TRect> OnScreen() const {
        std::vector<TRect> rects;
        for (const auto& k : m_onScreen)
            rects.push_back({std::get<0>(k), std::get<1>(k), std::get<2>(k), std::get<3>(k)});
        return rects;
    }
    const TStatusData& LastReport() const { return reports.back(); }

    CCropBox* box = nullptr;
    std::vector<TStatusData> reports;
    std::vector<THitCode> cursors;
    int inversions = 0;

private:
    using RectKey = std::tuple<int32_t, int32_t, int32_t, int32_t>;
    static RectKey Key(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }
    std::set<RectKey> m_onScreen;
};

// A crop box wired to a recording host.
struct HostedBox {
    RecordingHost host;
    CCropBox box{host};
    HostedBox() { host.box = &box; }
    explicit HostedBox(const TCropSettings& settings) : HostedBox() {
        box.UseSettings(settings);
        box.TakeRatio();
    }
};
