#include "view/DrawBox.h"

#include "support/MulDiv.h"

using snapwell::Half;
using snapwell::MulDiv;

void TDrawBox::Fit(int32_t W, int32_t H, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0)
        return;
    if (w > h) {
        FitWidth(W, H, w, h);
        if (Height() > H)
            FitHeight(W, H, w, h);
    } else {
        // Square pictures count as portrait: the height is fitted first.
        FitHeight(W, H, w, h);
        if (Width() > W)
            FitWidth(W, H, w, h);
    }
}

void TDrawBox::FitWidth(int32_t W, int32_t H, int32_t w, int32_t h) {
    const int32_t m = Margin;
    Left = m;
    Right = W - m;
    const int32_t d = MulDiv(W - 2 * m, h, w);
    Top = m + Half(H - 2 * m - d);
    Bottom = Top + d;
}

void TDrawBox::FitHeight(int32_t W, int32_t H, int32_t w, int32_t h) {
    const int32_t m = Margin;
    Top = m;
    Bottom = H - m;
    const int32_t d = MulDiv(H - 2 * m, w, h);
    Left = m + Half(W - 2 * m - d);
    Right = Left + d;
}
