// The view's report to its owner: the crop in picture pixels, the size the
// copy would get, and the shown picture's size. It travels by address in
// WM_CROPSTATUS, valid only while the owner handles that message.
#pragma once

#include "view/Geometry.h"

// WM_APP + 1001. Sent (never posted) to the view's owner; lParam is the
// address of the view's TStatusData.
constexpr unsigned int WM_CROPSTATUS = 0x8000 + 1001;

class TStatusData {
public:
    TStatusData() { Clear(); }
    virtual ~TStatusData() = default;

    void Clear() {
        Crop = TRect{};
        CopySize = TSize{};
        SourceWidth = 0;
        SourceHeight = 0;
    }

    TRect Crop;      // all zero when there is no crop box
    TSize CopySize;
    int32_t SourceWidth;
    int32_t SourceHeight;
};
