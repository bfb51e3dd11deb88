// The commands of the main window: one handler each, the one place that
// derives their enabled and checked states, and the tool bar's buttons,
// dividers and captions.
#include "app/Mainform.h"

#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/MainRules.h"
#include "resources/StringIds.h"
#include "settings/PropertiesDialog.h"
#include "support/AboutDialog.h"
#include "support/Help.h"
#include "support/Message.h"

#include <exception>

namespace {

constexpr int kCaptionlessButton = 24;
constexpr int kButtonHeight = 36;

bool SameText(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

// Each divider shows while any button of its group does.
struct TDividerGroup {
    unsigned nDivider;
    std::vector<unsigned> buttons;
};
const std::vector<TDividerGroup>& DividerGroups() {
    static const std::vector<TDividerGroup> groups{
        {tbsProperties, {cmdProperties}},
        {tbsRotate, {cmdRotateLeft, cmdRotateRight, cmdRotateUp}},
        {tbsSnapRatio, {cmdSnapRatio, cmdMaxSize, cmdEnlargement, cmdInvertRatio}},
        {tbsPrevNext, {cmdPrevImage, cmdNextImage}},
        {tbsHelp, {cmdHelp}},
    };
    return groups;
}

} // namespace

void TfrmMain::OnCommand(unsigned nId) {
    // After closing nothing runs, and nothing runs before the window is up
    // but Exit (a shortcut could arrive while a start-up message shows).
    if (m_bClosed || (!m_bInitialised && nId != cmdExit))
        return;
    // A shortcut of a command that is not available does nothing, as its
    // greyed menu entry and button do.
    if (!m_Commands.Enabled(nId))
        return;
    switch (nId) {
    case cmdExit:
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        break;
    case cmdHelp:
        ShowHelpTopic(Handle(), kHelpMainWindow);
        break;
    case cmdAbout:
        if (m_pAbout)
            m_pAbout->ShowModal(Handle());
        break;
    case cmdRotateRight:
        RotateImage(0);
        break;
    case cmdRotateLeft:
        RotateImage(2);
        break;
    case cmdRotateUp:
        RotateImage(1);
        break;
    case cmdCopy:
        actCopyExecute();
        break;
    case cmdNextImage:
        SelectNextImage();
        break;
    case cmdPrevImage:
        SelectPrevImage();
        break;
    case cmdPopulate:
        PopulateTree();
        break;
    case cmdProperties:
        actPropertiesExecute();
        break;
    case cmdSnapRatio:
        actSnapRatioExecute();
        break;
    case cmdMaxSize:
        actMaxSizeExecute();
        break;
    case cmdEnlargement:
        actEnlargementExecute();
        break;
    case cmdInvertRatio:
        actInvertRatioExecute();
        break;
    case cmdPrevRect:
        actPrevRectExecute();
        break;
    case cmdAutoAdvance:
        actAutoAdvanceExecute();
        break;
    case cmdShowAllTbb:
        ActShowAllTbbExecute();
        break;
    case cmdShowCaptions:
        actShowCaptionsExecute();
        break;
    case cmdShowToolbar:
        actShowToolbarExecute();
        break;
    default:
        for (const TButtonToggle& t : ButtonToggles())
            if (t.ShowCommand == nId)
                actShowButtonExecute(nId);
        break;
    }
    // A switch's tool button shows what the command decided, also when it
    // refused the change the click made to the button.
    m_Commands.Refresh(nId);
}

void TfrmMain::UpdateCommands() {
    if (m_bClosed)
        return;
    TCommandSnapshot s;
    s.bHasImages = m_bHasImages;
    s.bPicture = m_pImageCtrl && m_pImageCtrl->HasPicture();
    s.bSizes = m_pProperties->HasMaxDimensions();
    s.bAutoAdvance = m_pProperties->m_bAutoAdvance;
    s.bSnapRatio = m_pProperties->m_bSnapRatio;
    s.bMaxSize = m_pProperties->m_bMaxSize;
    s.bMaxSizeActive = m_pProperties->IsMaxSizeActive();
    s.bEnlargement = m_pProperties->m_bEnlargement;
    s.bPrevRect = m_pProperties->m_bPrevRect;
    const TCommandStates c = DeriveCommandStates(s);

    for (unsigned nId : {cmdNextImage, cmdPrevImage})
        m_Commands.SetEnabled(nId, c.bNextPrevEnabled);
    for (unsigned nId : {cmdRotateLeft, cmdRotateRight, cmdRotateUp, cmdCopy})
        m_Commands.SetEnabled(nId, c.bPictureEnabled);
    for (unsigned nId : {cmdSnapRatio, cmdInvertRatio, cmdMaxSize, cmdEnlargement})
        m_Commands.SetEnabled(nId, c.bSizeRulesEnabled);
    m_Commands.SetChecked(cmdAutoAdvance, c.bAutoAdvanceChecked);
    m_Commands.SetChecked(cmdSnapRatio, c.bSnapRatioChecked);
    m_Commands.SetChecked(cmdMaxSize, c.bMaxSizeChecked);
    m_Commands.SetChecked(cmdEnlargement, c.bEnlargementChecked);
    m_Commands.SetChecked(cmdPrevRect, c.bPrevRectChecked);
}

void TfrmMain::actSnapRatioExecute() {
    TProperties& p = *m_pProperties;
    if (p.HasMaxDimensions()) {
        p.m_bSnapRatio = !p.m_bSnapRatio;
        m_pImageCtrl->SetProperties(&p);
        m_pImageCtrl->PropertiesChanged();
        if (p.m_bSnapRatio)
            m_pImageCtrl->SnapToRatio(true);
    } else {
        p.m_bSnapRatio = false;
        g_pMesg->ShowId(IDS_SNAP_RATIO_NEEDS_SIZE, kMesgInformation);
    }
    m_Commands.SetChecked(cmdSnapRatio, p.m_bSnapRatio);
}

void TfrmMain::actMaxSizeExecute() {
    TProperties& p = *m_pProperties;
    if (p.HasMaxDimensions()) {
        p.m_bMaxSize = !p.m_bMaxSize;
        if (!p.m_bMaxSize) {
            p.m_bEnlargement = false;
            m_Commands.SetChecked(cmdEnlargement, false);
        }
        m_pImageCtrl->SetProperties(&p);
        m_pImageCtrl->PropertiesChanged();
    } else {
        p.m_bMaxSize = false;
        g_pMesg->ShowId(IDS_MAX_SIZE_NEEDS_SIZE, kMesgInformation);
    }
    m_Commands.SetChecked(cmdMaxSize, p.m_bMaxSize);
}

void TfrmMain::actEnlargementExecute() {
    TProperties& p = *m_pProperties;
    if (p.HasMaxDimensions()) {
        p.m_bEnlargement = !p.m_bEnlargement;
        if (p.m_bEnlargement) {
            p.m_bMaxSize = true;
            m_Commands.SetChecked(cmdMaxSize, true);
        }
        m_pImageCtrl->SetProperties(&p);
        m_pImageCtrl->PropertiesChanged();
    } else {
        p.m_bEnlargement = false;
        g_pMesg->ShowId(IDS_ENLARGEMENT_NEEDS_SIZE, kMesgInformation);
    }
    m_Commands.SetChecked(cmdEnlargement, p.m_bEnlargement);
}

void TfrmMain::actInvertRatioExecute() {
    if (!m_pProperties->HasMaxDimensions())
        return;
    m_pProperties->InvertRatio();
    m_pImageCtrl->SetProperties(m_pProperties.get());
    m_pImageCtrl->InvertRatio();
}

void TfrmMain::actPrevRectExecute() {
    m_pProperties->m_bPrevRect = !m_pProperties->m_bPrevRect;
    m_Commands.SetChecked(cmdPrevRect, m_pProperties->m_bPrevRect);
}

void TfrmMain::actAutoAdvanceExecute() {
    m_pProperties->m_bAutoAdvance = !m_pProperties->m_bAutoAdvance;
    m_Commands.SetChecked(cmdAutoAdvance, m_pProperties->m_bAutoAdvance);
}

void TfrmMain::actPropertiesExecute() {
    try {
        TdlgProperties dialog;
        dialog.LoadFromProperties(m_pProperties.get());
        if (dialog.ShowModal(Handle()) == 1) {
            // A different folder (letter case aside) fills the tree anew.
            if (!SameText(m_sFolder, m_pProperties->m_szSourceFolder))
                PopulateTree();
            UpdateCommands();
            m_pImageCtrl->SetProperties(m_pProperties.get());
            m_pImageCtrl->PropertiesChanged();
        }
    } catch (const std::exception&) {
        // A failure of the dialog itself is not the user's business: the
        // settings stay as they were.
    }
}

void TfrmMain::SetButtonVisible(unsigned nButtonCommand, bool bVisible) {
    SendMessageA(ToolBarWnd, TB_HIDEBUTTON, nButtonCommand, MAKELPARAM(bVisible ? FALSE : TRUE, 0));
}

void TfrmMain::actShowButtonExecute(unsigned nShowCommand) {
    for (const TButtonToggle& t : ButtonToggles())
        if (t.ShowCommand == nShowCommand) {
            const bool bShow = !m_Commands.Checked(nShowCommand);
            m_Commands.SetChecked(nShowCommand, bShow);
            SetButtonVisible(t.ButtonCommand, bShow);
        }
    UpdateDividers();
}

void TfrmMain::ActShowAllTbbExecute() {
    // Enlargement and Help keep their state: they are the buttons people
    // hide on purpose.
    for (unsigned nShow :
         {cmdShowProperties, cmdShowNextImage, cmdShowPrevImage, cmdShowSnapRatio, cmdShowInvertRatio,
          cmdShowMaxSize, cmdShowRotateUp, cmdShowRotateLeft, cmdShowRotateRight, cmdShowCopy})
        for (const TButtonToggle& t : ButtonToggles())
            if (t.ShowCommand == nShow) {
                m_Commands.SetChecked(nShow, true);
                SetButtonVisible(t.ButtonCommand, true);
            }
    UpdateDividers();
}

void TfrmMain::actShowCaptionsExecute() {
    const bool bCaptions = !m_Commands.Checked(cmdShowCaptions);
    m_Commands.SetChecked(cmdShowCaptions, bCaptions);
    // Without captions the buttons shrink to their glyphs; with them they
    // take their design size again.
    SendMessageA(ToolBarWnd, TB_SETMAXTEXTROWS, bCaptions ? 1 : 0, 0);
    const int nWidth = bCaptions ? m_nCaptionButtonWidth : kCaptionlessButton;
    const int nHeight = bCaptions ? kButtonHeight : kCaptionlessButton;
    SendMessageA(ToolBarWnd, TB_SETBUTTONWIDTH, 0, MAKELPARAM(nWidth, nWidth));
    SendMessageA(ToolBarWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(nWidth, nHeight));
    SetToolBarHeight();
    ArrangeControls();
    InvalidateRect(ToolBarWnd, nullptr, TRUE);
}

void TfrmMain::actShowToolbarExecute() {
    const bool bShow = !m_Commands.Checked(cmdShowToolbar);
    m_Commands.SetChecked(cmdShowToolbar, bShow);
    m_Layout.Find(ToolBarWnd)->Visible = bShow;
    ArrangeControls();
}

void TfrmMain::UpdateDividers() {
    for (const TDividerGroup& g : DividerGroups()) {
        bool bAny = false;
        for (unsigned nButton : g.buttons) {
            TBBUTTONINFOA info{};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_STATE;
            if (SendMessageA(ToolBarWnd, TB_GETBUTTONINFOA, nButton, reinterpret_cast<LPARAM>(&info)) >= 0 &&
                !(info.fsState & TBSTATE_HIDDEN))
                bAny = true;
        }
        SetButtonVisible(g.nDivider, bAny);
    }
}

void TfrmMain::ApplyToolbarFlags(ToolbarFlags nFlags) {
    const bool bToolbar = (nFlags & toolbar::kShowToolbar) != 0;
    m_Commands.SetChecked(cmdShowToolbar, bToolbar);
    m_Layout.Find(ToolBarWnd)->Visible = bToolbar;
    // Set to the opposite and toggled once, so the caption state is applied.
    m_Commands.SetChecked(cmdShowCaptions, (nFlags & toolbar::kShowCaptions) == 0);
    actShowCaptionsExecute();
    for (const TButtonToggle& t : ButtonToggles()) {
        const bool bShow = (nFlags & t.Bit) != 0;
        m_Commands.SetChecked(t.ShowCommand, bShow);
        SetButtonVisible(t.ButtonCommand, bShow);
    }
    UpdateDividers();
}

ToolbarFlags TfrmMain::CurrentToolbarFlags() const {
    return ComposeToolbarFlags([this](unsigned nId) { return m_Commands.Checked(nId); });
}

void TfrmMain::ShowToolbarPopup(LPARAM lp) {
    POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    if (lp == -1) {
        at = POINT{0, 0};
        ClientToScreen(ToolBarWnd, &at);
    }
    TrackPopupMenu(ToolbarPopup.Get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
}
