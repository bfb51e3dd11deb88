// The commands of the main window: the dispatch from the command rows, the
// handlers (which change the state and little else), and the one place that
// derives every command's states, the tool bar and the view's settings from
// the state.
#include "app/Mainform.h"

#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/MainRules.h"
#include "resources/StringIds.h"
#include "settings/PropertiesDialog.h"
#include "support/AboutDialog.h"
#include "support/Help.h"
#include "support/Message.h"
#include "support/NarrowText.h"

#include <exception>
#include <utility>

namespace {

constexpr int kCaptionlessButton = 24;
constexpr int kButtonHeight = 36;

bool SameText(const std::string& a, const std::string& b) {
    return CompareNames(a, b) == CSTR_EQUAL;
}

} // namespace

TfrmMain::THandler TfrmMain::HandlerOf(unsigned nId) {
    static const struct {
        unsigned nId;
        THandler run;
    } handlers[] = {
#define MAIN_COMMAND(id, caption, hint, shortcut, glyph, enabled, check, menu, handler) {id, handler},
#define TOOL_COMMAND(id, caption, hint, shortcut, glyph, enabled, check, menu, button, showId, showCaption,  \
                     showHint, handler)                                                                      \
    {id, handler}, {showId, nullptr},
#include "app/CommandRows.h"
    };
    for (const auto& h : handlers)
        if (h.nId == nId)
            return h.run;
    return nullptr;
}

void TfrmMain::RunCommand(unsigned nId) {
    // After closing nothing runs, and nothing runs before the window is up
    // but Exit (a shortcut could arrive while a start-up message shows).
    if (m_bClosed || (!m_bInitialised && nId != cmdExit))
        return;
    const TCommandRow* row = FindCommand(nId);
    // A shortcut of a command that is not available does nothing, as its
    // greyed menu entry and button do.
    if (!row || !m_Commands.Enabled(nId))
        return;
    if (THandler run = HandlerOf(nId))
        (this->*run)();
    else if (row->Check.Kind == TCheckKind::Word)
        m_pState->FlipToolbarBit(row->Check.Bit);
    UpdateCommands(false);
    // A switch's tool button shows what the command decided, also when it
    // refused the change the click made to the button.
    m_Commands.Refresh(nId);
}

void TfrmMain::UpdateCommands(bool bAvailability) {
    if (m_bClosed)
        return;
    const TCommandStates states = m_pState->CommandStates(m_pImageCtrl && m_pImageCtrl->HasPicture());
    for (const TCommandRow& row : CommandRows()) {
        if (bAvailability)
            m_Commands.SetEnabled(row.Id, EnabledIn(row, states));
        m_Commands.SetChecked(row.Id, CheckedIn(row, states, m_pState->Toolbar()));
    }
    ShowToolbarWord();
    ApplySettingsToView();
}

void TfrmMain::ShowToolbarWord() {
    const ToolbarFlags word = m_pState->Toolbar();
    if (m_ShownWord == word)
        return;
    for (const TToolItem& item : ToolBarItems()) {
        if (item.Id == tbsLead)
            continue;
        const bool bShow =
            item.Divider ? DividerShown(item.Id, word) : (word & FindCommand(item.Id)->Button.Bit);
        SendMessageA(ToolBarWnd, TB_HIDEBUTTON, item.Id, MAKELPARAM(bShow ? FALSE : TRUE, 0));
    }
    // The first time everything, afterwards what changed.
    const ToolbarFlags changed = m_ShownWord ? word ^ *m_ShownWord : ~ToolbarFlags{0};
    m_ShownWord = word;
    if (changed & toolbar::kShowCaptions)
        ShowCaptions((word & toolbar::kShowCaptions) != 0);
    if (changed & toolbar::kShowToolbar) {
        m_Layout.Find(ToolBarWnd)->Visible = (word & toolbar::kShowToolbar) != 0;
        ArrangeControls();
    }
}

void TfrmMain::ShowCaptions(bool bCaptions) {
    // Without captions the buttons shrink to their glyphs; with them they
    // take their design size again.
    SendMessageA(ToolBarWnd, TB_SETMAXTEXTROWS, bCaptions ? 1 : 0, 0);
    const int nWidth = bCaptions ? m_nCaptionButtonWidth : Px(kCaptionlessButton);
    const int nHeight = Px(bCaptions ? kButtonHeight : kCaptionlessButton);
    SendMessageA(ToolBarWnd, TB_SETBUTTONWIDTH, 0, MAKELPARAM(nWidth, nWidth));
    SendMessageA(ToolBarWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(nWidth, nHeight));
    SetToolBarHeight();
    ArrangeControls();
    InvalidateRect(ToolBarWnd, nullptr, TRUE);
}

void TfrmMain::SyncViewSettings() {
    const TCropSettings settings = m_pState->CropSettings();
    if (m_pImageCtrl && m_pImageCtrl->CropSettings() != settings)
        m_pImageCtrl->SetCropSettings(settings);
}

void TfrmMain::ApplySettingsToView() {
    SyncViewSettings();
    if (!m_pImageCtrl)
        return;
    switch (std::exchange(m_ViewUpdate, TViewUpdate::None)) {
    case TViewUpdate::None:
        break;
    case TViewUpdate::Rules:
        m_pImageCtrl->PropertiesChanged();
        break;
    case TViewUpdate::RulesThenSnap:
        m_pImageCtrl->PropertiesChanged();
        m_pImageCtrl->SnapToRatio(true);
        break;
    case TViewUpdate::TurnBox:
        m_pImageCtrl->InvertRatio();
        break;
    }
}

void TfrmMain::FlipSwitch(SizeSwitch which, int nRefusal) {
    const TMainState::TFlip flip = m_pState->FlipSwitch(which);
    if (flip.bRefused)
        g_pMesg->ShowId(nRefusal, kMesgInformation);
    m_ViewUpdate = flip.update;
}

void TfrmMain::actExitExecute() {
    PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

void TfrmMain::actHelpExecute() {
    ShowHelpTopic(Handle(), kHelpMainWindow);
}

void TfrmMain::actAboutExecute() {
    if (m_pAbout)
        m_pAbout->ShowModal(Handle());
}

void TfrmMain::actRotateRightExecute() {
    RotateImage(0);
}

void TfrmMain::actRotateLeftExecute() {
    RotateImage(2);
}

void TfrmMain::actRotateUpExecute() {
    RotateImage(1);
}

void TfrmMain::actNextImageExecute() {
    SelectStep(1);
}

void TfrmMain::actPrevImageExecute() {
    SelectStep(-1);
}

void TfrmMain::actSnapRatioExecute() {
    FlipSwitch(SizeSwitch::SnapRatio, IDS_SNAP_RATIO_NEEDS_SIZE);
}

void TfrmMain::actMaxSizeExecute() {
    FlipSwitch(SizeSwitch::MaxSize, IDS_MAX_SIZE_NEEDS_SIZE);
}

void TfrmMain::actEnlargementExecute() {
    FlipSwitch(SizeSwitch::Enlargement, IDS_ENLARGEMENT_NEEDS_SIZE);
}

void TfrmMain::actInvertRatioExecute() {
    m_ViewUpdate = m_pState->InvertRatio();
}

void TfrmMain::actPrevRectExecute() {
    m_pState->FlipPrevRect();
}

void TfrmMain::actAutoAdvanceExecute() {
    m_pState->FlipAutoAdvance();
}

void TfrmMain::ActShowAllTbbExecute() {
    m_pState->ShowAllButtons();
}

void TfrmMain::actPropertiesExecute() {
    try {
        TdlgProperties dialog;
        dialog.LoadFromProperties(&m_pState->Settings());
        if (dialog.ShowModal(Handle()) == 1) {
            // The rules run again once the tree shows what it lists now.
            m_ViewUpdate = TViewUpdate::Rules;
            // A different folder (letter case aside) fills the tree anew.
            if (!SameText(m_pState->Images().Folder(), m_pState->Settings().m_szSourceFolder))
                PopulateTree();
            UpdateCommands();
        }
    } catch (const std::exception&) {
        // A failure of the dialog itself is not the user's business: the
        // settings stay as they were.
    }
}

void TfrmMain::ShowToolbarPopup(POINT at) {
    TrackPopupMenu(ToolbarPopup.Get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
}
