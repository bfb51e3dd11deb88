// The placement rectangle: where in the view's client area the picture is
// stretched to. It fits the picture with its aspect ratio and a margin on
// every side, centred on the free axis.
#pragma once

#include "view/Geometry.h"

class TDrawBox : public TRect {
public:
    TDrawBox() : TRect{0, 0, 0, 0} {}
    virtual ~TDrawBox() = default;

    // Fits a w x h picture into a W x H client area. The overflow test is
    // against the whole client size, so a fit that lies between the inner and
    // the full size is kept and reaches into the margin band. A picture with
    // a side of 0 or less changes nothing.
    void Fit(int32_t W, int32_t H, int32_t w, int32_t h);
    // Full inner width, height from the aspect ratio, centred vertically.
    void FitWidth(int32_t W, int32_t H, int32_t w, int32_t h);
    // Full inner height, width from the aspect ratio, centred horizontally.
    void FitHeight(int32_t W, int32_t H, int32_t w, int32_t h);

    int32_t Margin = 10;
};
