// The commands through the real main window: their enabled and checked
// states in the three states of the window, the coupled switches and their
// refusals, the tool bar's buttons and dividers, the hints, and the tool
// bar, pop-up and tool tips the command rows give.
#include "MainWindowSession.h"

#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "harness/Dialogs.h"
#include "harness/Gui.h"
#include "settings/PropertiesDialog.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kPhoto = "jpeg_baseline_420.jpg"; // 160 x 120

bool Hidden(TfrmMain& f, unsigned nId) {
    return SendMessageA(f.ToolBar(), TB_ISBUTTONHIDDEN, nId, 0) != 0;
}

// Runs a command that answers with a message box; returns the box's text.
std::string CommandWithMessage(MainWindowSession& s, unsigned nId) {
    std::string text;
    harness::DialogAnswerer answer([&](HWND box) {
        text = harness::MessageBoxText(box);
        harness::PressButton(box, IDOK);
    });
    s.Command(nId);
    EXPECT_TRUE(answer.Answered()) << nId;
    return text;
}

// Clicks a tool button with the mouse, as a user does.
void ClickToolButton(TfrmMain& f, unsigned nId) {
    RECT r{};
    SendMessageA(f.ToolBar(), TB_GETRECT, nId, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(f.ToolBar(), WM_MOUSEMOVE, 0, at);
    SendMessageA(f.ToolBar(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(f.ToolBar(), WM_LBUTTONUP, 0, at);
    harness::PumpMessages();
}

} // namespace

TEST(Commands, StatesFollowThePictureAndTheMaximum) {
    const struct {
        const char* what;
        bool picture;
        int32_t maxWidth;
        bool copy, snap, snapChecked, enlargementChecked;
    } cases[] = {
        {"no picture", false, 800, false, false, true, false},
        {"a picture without a maximum", true, 0, true, false, false, false},
        {"a picture with a maximum", true, 800, true, true, true, false},
    };
    for (const auto& c : cases) {
        MainWindowSession s;
        if (c.picture)
            s.AddPicture(kPhoto, "a.jpg");
        TfrmMain& f = s.Start();
        f.Properties()->m_nMaxWidth = c.maxWidth;
        f.Properties()->m_nMaxHeight = 600;
        s.Command(cmdPopulate);
        const ui::TCommandList& k = f.Commands();
        EXPECT_EQ(k.Enabled(cmdNextImage), c.picture) << c.what;
        for (unsigned nId : {cmdCopy, cmdRotateLeft, cmdRotateRight, cmdRotateUp})
            EXPECT_EQ(k.Enabled(nId), c.copy) << c.what << " " << nId;
        for (unsigned nId : {cmdSnapRatio, cmdInvertRatio, cmdMaxSize, cmdEnlargement})
            EXPECT_EQ(k.Enabled(nId), c.snap) << c.what << " " << nId;
        EXPECT_EQ(k.Checked(cmdSnapRatio), c.snapChecked) << c.what;
        EXPECT_EQ(k.Checked(cmdEnlargement), c.enlargementChecked) << c.what;
        EXPECT_TRUE(k.Checked(cmdMaxSize) && k.Checked(cmdAutoAdvance) && k.Checked(cmdPrevRect)) << c.what;
        // The tool bar and the menus follow the same states.
        EXPECT_EQ(SendMessageA(f.ToolBar(), TB_ISBUTTONENABLED, cmdCopy, 0) != 0, c.copy) << c.what;
        EXPECT_EQ(GetMenuState(f.ImagePopupMenu(), cmdSnapRatio, MF_BYCOMMAND) & MF_GRAYED ? false : true,
                  c.snap)
            << c.what;
    }
}

TEST(Commands, SizeSwitchesCoupleAndRefuseWithoutAMaximum) {
    MainWindowSession s;
    s.AddPicture(kPhoto, "a.jpg");
    TfrmMain& f = s.Start();
    TProperties& p = *f.Properties();
    p.m_nMaxWidth = 800;
    p.m_nMaxHeight = 600;
    s.Command(cmdPopulate);
    const ui::TCommandList& k = f.Commands();

    s.Command(cmdEnlargement); // on: maximum size stays on
    EXPECT_TRUE(p.m_bEnlargement && p.m_bMaxSize && k.Checked(cmdEnlargement) && k.Checked(cmdMaxSize));
    s.Command(cmdEnlargement); // off: maximum size stays as it was
    EXPECT_TRUE(!p.m_bEnlargement && p.m_bMaxSize);
    s.Command(cmdEnlargement);
    s.Command(cmdMaxSize); // off: enlargement goes with it
    EXPECT_TRUE(!p.m_bMaxSize && !p.m_bEnlargement && !k.Checked(cmdEnlargement) && !k.Checked(cmdMaxSize));
    EXPECT_EQ(f.StatusText(2), " maximum = 0 x 0");
    s.Command(cmdEnlargement); // on again: maximum size comes back
    EXPECT_TRUE(p.m_bMaxSize && k.Checked(cmdMaxSize));
    EXPECT_EQ(f.StatusText(2), " maximum = 800 x 600");

    // The maximum gone before the states were recomputed: each switch
    // refuses and stays off.
    p.m_nMaxWidth = 0;
    const struct {
        unsigned nId;
        bool TProperties::*field;
        const char* text;
    } refusals[] = {
        {cmdSnapRatio, &TProperties::m_bSnapRatio,
         "Snap Ratio cannot be used without a Maximum Target Image Size\nWidth and Height value set in the "
         "Properties Dialog."},
        {cmdMaxSize, &TProperties::m_bMaxSize,
         "Cannot enforce Maximum Size without a Maximum Target Image Size\nWidth and Height value set in the "
         "Properties Dialog."},
        {cmdEnlargement, &TProperties::m_bEnlargement,
         "Cannot enable enlargement without a Maximum Target Image Size\nWidth and Height value set in the "
         "Properties Dialog."},
    };
    for (const auto& r : refusals) {
        EXPECT_EQ(CommandWithMessage(s, r.nId), r.text);
        EXPECT_FALSE(p.*r.field) << r.nId;
        EXPECT_FALSE(k.Checked(r.nId)) << r.nId;
    }
    // A click presses the switch's button before the command refuses; the
    // button must come up again.
    s.Command(cmdShowEnlargement);
    for (const auto& r : refusals) {
        harness::DialogAnswerer answer([](HWND box) { harness::PressButton(box, IDOK); });
        ClickToolButton(f, r.nId);
        EXPECT_TRUE(answer.Answered()) << r.nId;
        EXPECT_FALSE(p.*r.field) << r.nId;
        EXPECT_EQ(SendMessageA(f.ToolBar(), TB_ISBUTTONCHECKED, r.nId, 0), 0) << r.nId;
    }
}

TEST(Commands, ToolbarButtonsDividersAndShowAll) {
    MainWindowSession s;
    s.AddPicture(kPhoto, "a.jpg");
    TfrmMain& f = s.Start();
    // Hiding the three rotate buttons hides their divider; one back shows it.
    for (unsigned nId : {cmdShowRotateRight, cmdShowRotateLeft, cmdShowRotateUp})
        s.Command(nId);
    EXPECT_TRUE(Hidden(f, cmdRotateRight) && Hidden(f, cmdRotateLeft) && Hidden(f, cmdRotateUp));
    EXPECT_TRUE(Hidden(f, tbsRotate));
    s.Command(cmdShowRotateUp);
    EXPECT_FALSE(Hidden(f, tbsRotate));

    // Show All brings back everything but Enlargement and Help.
    s.Command(cmdShowHelp);
    s.Command(cmdShowCopy);
    EXPECT_TRUE(Hidden(f, cmdHelp) && Hidden(f, tbsHelp) && Hidden(f, cmdCopy));
    s.Command(cmdShowAllTbb);
    for (unsigned nId : {unsigned(cmdRotateRight), unsigned(cmdRotateLeft), unsigned(cmdCopy),
                         unsigned(cmdProperties), unsigned(tbsRotate)})
        EXPECT_FALSE(Hidden(f, nId)) << nId;
    EXPECT_TRUE(Hidden(f, cmdEnlargement) && Hidden(f, cmdHelp) && Hidden(f, tbsHelp));
    EXPECT_FALSE(f.Commands().Checked(cmdShowHelp));

    // The whole tool bar: the tree moves up into its place.
    RECT before{};
    GetWindowRect(f.ListPanel(), &before);
    s.Command(cmdShowToolbar);
    EXPECT_FALSE(IsWindowVisible(f.ToolBar()));
    RECT after{};
    GetWindowRect(f.ListPanel(), &after);
    EXPECT_LT(after.top, before.top);
}

TEST(Commands, HintsOfControlsButtonsAndMenuEntries) {
    MainWindowSession s;
    s.AddPicture(kPhoto, "a.jpg");
    TfrmMain& f = s.Start();
    const ui::TMessageLoop loop = f.MessageLoop();
    MSG over{f.SourceButton(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0, {}};
    loop.PreTranslate(over);
    EXPECT_EQ(f.StatusText(0), " Select a folder with source images");

    RECT copyButton{};
    SendMessageA(f.ToolBar(), TB_GETRECT, cmdCopy, reinterpret_cast<LPARAM>(&copyButton));
    MSG overButton{f.ToolBar(), WM_MOUSEMOVE, 0, MAKELPARAM(copyButton.left + 3, copyButton.top + 3), 0, {}};
    loop.PreTranslate(overButton);
    EXPECT_EQ(f.StatusText(0), " Create a copy of the selected image to the target folder");

    SendMessageA(f.Handle(), WM_MENUSELECT, MAKEWPARAM(cmdExit, MF_STRING),
                 reinterpret_cast<LPARAM>(GetMenu(f.Handle())));
    EXPECT_EQ(f.StatusText(0), " Close Snapwell");
    MSG overTree{f.Tree(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0, {}};
    loop.PreTranslate(overTree);
    EXPECT_EQ(f.StatusText(0), " ");
}

TEST(Commands, PropertiesRefillTheTreeOnlyForAnotherFolder) {
    MainWindowSession s;
    s.AddPicture(kPhoto, "a.jpg");
    s.AddPicture(kPhoto, "b.jpg");
    const std::string other = s.CopyFolder() + "\\Other";
    CreateDirectoryA(other.c_str(), nullptr);
    TfrmMain& f = s.Start();
    s.Select("b.jpg");

    // OK with the folder as it was, then in other letter case: the tree
    // keeps its selection. Another folder fills it anew.
    std::string upper = s.SourceFolder();
    CharUpperA(upper.data());
    const struct {
        std::string folder;
        const char* selected;
        const char* root;
    } steps[] = {{"", "b.jpg", "Pictures"}, {upper, "b.jpg", "Pictures"}, {other, "", "Other"}};
    for (const auto& step : steps) {
        harness::DialogAnswerer answer([&](HWND dialog) {
            if (!step.folder.empty())
                SendMessageA(GetDlgItem(dialog, IDC_PROP_SOURCE), WM_SETTEXT, 0,
                             reinterpret_cast<LPARAM>(step.folder.c_str()));
            harness::PressButton(dialog, IDOK);
        });
        s.Command(cmdProperties);
        EXPECT_TRUE(answer.Answered()) << step.root;
        EXPECT_EQ(s.SelectedText(), step.selected) << step.root;
        EXPECT_EQ(s.TreeTexts().front(), step.root);
    }
    EXPECT_FALSE(f.Commands().Enabled(cmdNextImage));
}

TEST(Commands, ToolButtonsRunTheirCommandsWhenClicked) {
    MainWindowSession s;
    s.AddPicture(kPhoto, "a.jpg");
    s.AddPicture(kPhoto, "b.jpg");
    TfrmMain& f = s.Start();
    const auto click = [&](unsigned nId) { ClickToolButton(f, nId); };
    click(cmdRotateRight);
    EXPECT_EQ(f.Rotation(), 0);
    click(cmdNextImage);
    EXPECT_EQ(s.SelectedText(), "b.jpg");
}

TEST(Commands, ToolbarMenusAndTipsAreTheCommandRows) {
    MainWindowSession s;
    TfrmMain& f = s.Start();
    // The buttons and dividers in the rows' order; the switches stay down.
    const std::vector<TToolItem> items = ToolBarItems();
    ASSERT_EQ(SendMessageA(f.ToolBar(), TB_BUTTONCOUNT, 0, 0), LRESULT(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        TBBUTTON button{};
        SendMessageA(f.ToolBar(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(unsigned(button.idCommand), items[i].Id) << i;
        EXPECT_EQ((button.fsStyle & BTNS_SEP) != 0, items[i].Divider) << i;
        const TCommandRow* row = FindCommand(items[i].Id);
        EXPECT_EQ((button.fsStyle & BTNS_CHECK) != 0, row && row->Check.Kind == TCheckKind::Switch) << i;
    }
    // The image view's pop-up, separators included, with the shortcuts.
    const std::vector<TMenuEntry> entries = MenuEntries(TMenu::Image);
    ASSERT_EQ(GetMenuItemCount(f.ImagePopupMenu()), int(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(GetMenuItemID(f.ImagePopupMenu(), int(i)), entries[i].Id) << i;
    char text[64] = {};
    GetMenuStringA(f.ImagePopupMenu(), cmdCopy, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Copy Image\tCtrl+C");
    // Tool tips: the hint, none for the properties button.
    for (unsigned nId : {unsigned(cmdProperties), unsigned(cmdCopy)}) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = f.ToolBar();
        info.hdr.idFrom = nId;
        info.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(f.Handle(), WM_NOTIFY, nId, reinterpret_cast<LPARAM>(&info));
        ASSERT_NE(info.lpszText, nullptr);
        EXPECT_STREQ(info.lpszText,
                     nId == cmdProperties ? "" : "Create a copy of the selected image to the target folder")
            << nId;
    }
}
