// The settings the crop box's rules read: the maximum copy size and the four
// switches. A small copy of what the settings record holds, so the view
// never keeps the record itself.
#pragma once

#include <cstdint>

class TProperties;

struct TCropSettings {
    int32_t m_nMaxWidth = 0;
    int32_t m_nMaxHeight = 0;
    bool m_bSnapRatio = false;
    bool m_bPrevRect = false;
    bool m_bMaxSize = false;
    bool m_bEnlargement = false;

    bool IsMaxSizeActive() const { return m_nMaxWidth > 0 && m_nMaxHeight > 0 && m_bMaxSize; }
};
bool operator==(const TCropSettings& a, const TCropSettings& b);
inline bool operator!=(const TCropSettings& a, const TCropSettings& b) {
    return !(a == b);
}

// The crop settings of a settings record.
TCropSettings CropSettingsOf(const TProperties& properties);
