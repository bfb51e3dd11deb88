// The main window's facts in one place, without a window: the settings, the
// tool bar word and the pictures of the source folder (with the selected
// one and the direction of travel). The window's handlers change it by its
// rules; the window then derives every check mark, enabled state, tool
// button and view setting from it. Plain: no windows.h.
#pragma once

#include "app/CommandTable.h"
#include "app/ImageList.h"
#include "app/MainRules.h"
#include "settings/Properties.h"
#include "settings/SizeSwitches.h"
#include "view/CropSettings.h"

// What a rule asks of the image view once its command has run.
enum class TViewUpdate {
    None,
    Rules,         // apply the crop rules again
    RulesThenSnap, // and snap the box to the ratio, redrawn
    TurnBox,       // the maximum's width and height swapped: turn the box
};

class TMainState {
public:
    explicit TMainState(const TProperties& settings, ToolbarFlags toolbar = kDesignToolbar)
        : m_Settings(settings), m_nToolbar(toolbar) {}

    TProperties& Settings() { return m_Settings; }
    const TProperties& Settings() const { return m_Settings; }
    TCropSettings CropSettings() const { return CropSettingsOf(m_Settings); }

    ToolbarFlags Toolbar() const { return m_nToolbar; }
    void SetToolbar(ToolbarFlags word) { m_nToolbar = word; }
    void FlipToolbarBit(ToolbarFlags bit) { m_nToolbar ^= bit; }
    // Show All Buttons: the buttons it brings back shown, the rest as they are.
    void ShowAllButtons();

    TImageList& Images() { return m_Images; }
    const TImageList& Images() const { return m_Images; }

    // Snap Ratio, Max Size or Enlargement flipped as its command does, with
    // the dialog's coupling (enlargement needs the maximum size). Without
    // both maximum sizes the command is refused and the switch goes off.
    struct TFlip {
        bool bRefused;
        TViewUpdate update;
    };
    TFlip FlipSwitch(SizeSwitch which);
    // Swaps the maximum width and height; nothing without both.
    TViewUpdate InvertRatio();
    void FlipAutoAdvance() { m_Settings.m_bAutoAdvance = !m_Settings.m_bAutoAdvance; }
    void FlipPrevRect() { m_Settings.m_bPrevRect = !m_Settings.m_bPrevRect; }

    // The states the commands follow, with the view showing a picture or not.
    TCommandStates CommandStates(bool bPicture) const;

private:
    TProperties m_Settings;
    ToolbarFlags m_nToolbar;
    TImageList m_Images;
};
