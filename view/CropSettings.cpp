#include "view/CropSettings.h"

#include "settings/Properties.h"

bool operator==(const TCropSettings& a, const TCropSettings& b) {
    return a.m_nMaxWidth == b.m_nMaxWidth && a.m_nMaxHeight == b.m_nMaxHeight &&
           a.m_bSnapRatio == b.m_bSnapRatio && a.m_bPrevRect == b.m_bPrevRect &&
           a.m_bMaxSize == b.m_bMaxSize && a.m_bEnlargement == b.m_bEnlargement;
}

TCropSettings CropSettingsOf(const TProperties& p) {
    TCropSettings s;
    s.m_nMaxWidth = p.m_nMaxWidth;
    s.m_nMaxHeight = p.m_nMaxHeight;
    s.m_bSnapRatio = p.m_bSnapRatio;
    s.m_bPrevRect = p.m_bPrevRect;
    s.m_bMaxSize = p.m_bMaxSize;
    s.m_bEnlargement = p.m_bEnlargement;
    return s;
}
