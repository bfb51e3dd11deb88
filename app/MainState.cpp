#include "app/MainState.h"

#include "app/CommandTable.h"

void TMainState::ShowAllButtons() {
    m_nToolbar = ::ShowAllButtons(m_nToolbar);
}

TMainState::TFlip TMainState::FlipSwitch(SizeSwitch which) {
    TProperties& p = m_Settings;
    SizeSwitches checks{p.m_bSnapRatio, p.m_bMaxSize, p.m_bEnlargement};
    bool& changed = which == SizeSwitch::SnapRatio ? checks.bSnapRatio
                    : which == SizeSwitch::MaxSize ? checks.bMaxSize
                                                   : checks.bEnlargement;
    const bool bSizes = p.HasMaxDimensions();
    changed = bSizes && !changed;
    if (bSizes)
        checks = CoupleSwitches(checks, which);
    p.m_bSnapRatio = checks.bSnapRatio;
    p.m_bMaxSize = checks.bMaxSize;
    p.m_bEnlargement = checks.bEnlargement;
    if (!bSizes)
        return TFlip{true, TViewUpdate::None};
    const bool bSnapOn = which == SizeSwitch::SnapRatio && checks.bSnapRatio;
    return TFlip{false, bSnapOn ? TViewUpdate::RulesThenSnap : TViewUpdate::Rules};
}

TViewUpdate TMainState::InvertRatio() {
    if (!m_Settings.HasMaxDimensions())
        return TViewUpdate::None;
    m_Settings.InvertRatio();
    return TViewUpdate::TurnBox;
}

TCommandStates TMainState::CommandStates(bool bPicture) const {
    const TProperties& p = m_Settings;
    TCommandSnapshot s;
    s.bHasImages = !m_Images.Empty();
    s.bPicture = bPicture;
    s.bSizes = p.HasMaxDimensions();
    s.bAutoAdvance = p.m_bAutoAdvance;
    s.bSnapRatio = p.m_bSnapRatio;
    s.bMaxSize = p.m_bMaxSize;
    s.bMaxSizeActive = p.IsMaxSizeActive();
    s.bEnlargement = p.m_bEnlargement;
    s.bPrevRect = p.m_bPrevRect;
    return DeriveCommandStates(s);
}
