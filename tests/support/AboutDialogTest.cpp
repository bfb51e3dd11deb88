// The about dialog shown modally from a test host on the virtual display:
// its texts and picture, where it opens, the picture's caption under the
// real mouse pointer, and the maker's address handed to the shell.
#include "support/AboutDialog.h"

#include "resources/AboutIds.h"

#include "harness/Dialogs.h"
#include "harness/Gui.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
struct Host {
    HWND m_hWnd;
    Host()
        : m_hWnd(CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
    ~Host() { DestroyWindow(m_hWnd); }
};

std::string Text(HWND dialog, int id) {
    return harness::WindowText(GetDlgItem(dialog, id));
}
bool Shown(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

// The pointer where no test window lies.
void ParkPointer() {
    SetCursorPos(1279, 1023);
}

POINT CentreOf(HWND control) {
    RECT area{};
    GetWindowRect(control, &area);
    return POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

// ProductVersion of this program's version resource (the product's resources
// are linked in), read as Explorer reads it.
std::string OwnProductVersion() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string block(GetFileVersionInfoSizeA(path, nullptr), '\0');
    char* text = nullptr;
    UINT length = 0;
    if (block.empty() || !GetFileVersionInfoA(path, 0, DWORD(block.size()), &block[0]) ||
        !VerQueryValueA(block.data(), "\\StringFileInfo\\080904E4\\ProductVersion",
                        reinterpret_cast<void**>(&text), &length))
        return "(no version resource)";
    return std::string(text, strnlen(text, length));
}

bool WaitFor(const std::function<bool()>& done) {
    return harness::WaitUntil(done, 3000);
}

class AboutDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ParkPointer(); }
    void TearDown() override { ParkPointer(); }
    Host m_host;
};
} // namespace

TEST_F(AboutDialogTest, OpensCentredWithItsTextsPictureAndNoCaption) {
    TdlgAbout about;
    std::string caption;
    RECT frame{}, client{};
    bool infoShown = true, ownerEnabled = true;
    BITMAP picture{};
    std::string texts[6];
    wchar_t copyright[64] = {};
    harness::DialogAnswerer answer([&](HWND dialog) {
        caption = harness::WindowText(dialog);
        GetWindowRect(dialog, &frame);
        GetClientRect(dialog, &client);
        infoShown = Shown(dialog, IDC_ABOUT_IMGINFO);
        ownerEnabled = IsWindowEnabled(m_host.m_hWnd) != FALSE;
        const int ids[] = {IDC_ABOUT_TITLE, IDC_ABOUT_VERSION,   IDC_ABOUT_BY,
                           IDC_ABOUT_MAKER, IDC_ABOUT_COPYRIGHT, IDC_ABOUT_IMGINFO};
        for (int i = 0; i < 6; ++i)
            texts[i] = Text(dialog, ids[i]);
        GetDlgItemTextW(dialog, IDC_ABOUT_COPYRIGHT, copyright, 64);
        auto bitmap = reinterpret_cast<HBITMAP>(
            SendMessageA(GetDlgItem(dialog, IDC_ABOUT_LOGO), STM_GETIMAGE, IMAGE_BITMAP, 0));
        GetObjectA(bitmap, sizeof picture, &picture);
        harness::PressButton(dialog, IDOK);
    });
    about.ShowModal(m_host.m_hWnd);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(about.Handle(), nullptr);
    EXPECT_EQ(caption, "About Snapwell");
    EXPECT_EQ(client.right, 362);
    EXPECT_EQ(client.bottom, 229);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    EXPECT_FALSE(infoShown);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_EQ(texts[0], "Snapwell");
    EXPECT_EQ(texts[1], "Version " + OwnProductVersion()) << "the about box and the version resource agree";
    EXPECT_EQ(texts[2], "by");
    EXPECT_EQ(texts[3], "Quillon Software");
    EXPECT_NE(texts[4].find('\n'), std::string::npos) << "two lines: year, then maker";
    EXPECT_EQ(std::wstring(copyright).substr(0, 16), L"Copyright \u00A9 2026")
        << "the sign, whatever the code page";
    EXPECT_EQ(texts[5], "\"Lakeside at Dusk\"\nby the Snapwell team");
    EXPECT_EQ(picture.bmWidth, 151);
    EXPECT_EQ(picture.bmHeight, 145);
    EXPECT_EQ(picture.bmBitsPixel, 24);
}

TEST_F(AboutDialogTest, ShownAgainItReopensWhereItWasLeft) {
    TdlgAbout about;
    RECT second{};
    {
        harness::DialogAnswerer answer([&](HWND dialog) {
            SetWindowPos(dialog, nullptr, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            // Closed with the close box this time.
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        about.ShowModal(m_host.m_hWnd);
        ASSERT_TRUE(answer.Answered());
    }
    harness::DialogAnswerer answer([&](HWND dialog) {
        GetWindowRect(dialog, &second);
        harness::PressButton(dialog, IDOK);
    });
    about.ShowModal(m_host.m_hWnd);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(second.left, 100);
    EXPECT_EQ(second.top, 80);
}

TEST_F(AboutDialogTest, PictureCaptionShowsOnlyWhileThePointerIsOverThePicture) {
    TdlgAbout about;
    bool hiddenAtFirst = false, shownOver = false, hiddenOff = false, shownAgain = false,
         hiddenOutside = false;
    harness::DialogAnswerer answer([&](HWND dialog) {
        hiddenAtFirst = !Shown(dialog, IDC_ABOUT_IMGINFO);
        SetCursorPos(CentreOf(GetDlgItem(dialog, IDC_ABOUT_LOGO)).x,
                     CentreOf(GetDlgItem(dialog, IDC_ABOUT_LOGO)).y);
        shownOver = WaitFor([&] { return Shown(dialog, IDC_ABOUT_IMGINFO); });
        // Onto the text panel beside the picture.
        const POINT title = CentreOf(GetDlgItem(dialog, IDC_ABOUT_VERSION));
        SetCursorPos(title.x, title.y);
        hiddenOff = WaitFor([&] { return !Shown(dialog, IDC_ABOUT_IMGINFO); });
        const POINT logo = CentreOf(GetDlgItem(dialog, IDC_ABOUT_LOGO));
        SetCursorPos(logo.x, logo.y);
        shownAgain = WaitFor([&] { return Shown(dialog, IDC_ABOUT_IMGINFO); });
        // Straight out of the dialog.
        ParkPointer();
        hiddenOutside = WaitFor([&] { return !Shown(dialog, IDC_ABOUT_IMGINFO); });
        harness::PressButton(dialog, IDOK);
    });
    about.ShowModal(m_host.m_hWnd);
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(hiddenAtFirst);
    EXPECT_TRUE(shownOver);
    EXPECT_TRUE(hiddenOff);
    EXPECT_TRUE(shownAgain);
    EXPECT_TRUE(hiddenOutside);
}

namespace {
// Clicks the maker's address as the mouse would.
void ClickAddress(HWND dialog) {
    HWND label = GetDlgItem(dialog, IDC_ABOUT_DOTCOM);
    PostMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}
} // namespace

TEST_F(AboutDialogTest, AddressTheShellRefusesGivesOneErrorBoxAndTheDialogStays) {
    TdlgAbout about("C:\\no such folder\\nothing here.html");
    std::string caption, text;
    std::vector<std::string> buttons;
    HWND boxOwner = reinterpret_cast<HWND>(1), second = nullptr;
    bool stayed = false;
    harness::DialogAnswerer answer([&](HWND dialog) {
        ClickAddress(dialog);
        HWND box = harness::WaitForDialog(dialog);
        if (!box)
            return;
        caption = harness::WindowText(box);
        text = harness::MessageBoxText(box);
        buttons = harness::ButtonTexts(box);
        boxOwner = GetWindow(box, GW_OWNER);
        harness::PressButton(box, IDOK);
        WaitFor([&] { return !IsWindow(box); });
        // No second box from the shell itself.
        second = harness::WaitForDialog(dialog, 700);
        stayed = IsWindowVisible(dialog) != FALSE;
        if (second)
            harness::PressButton(second, IDOK);
        harness::PressButton(dialog, IDOK);
    });
    about.ShowModal(m_host.m_hWnd);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(caption, "Error");
    EXPECT_EQ(text, "Unable to open browser.");
    EXPECT_EQ(buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(boxOwner, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_TRUE(stayed);
}

TEST_F(AboutDialogTest, AddressTheShellOpensShowsNoBox) {
    // A target the shell runs at once and that ends by itself.
    char target[MAX_PATH] = {};
    GetSystemDirectoryA(target, MAX_PATH);
    lstrcatA(target, "\\hostname.exe");
    ASSERT_NE(GetFileAttributesA(target), INVALID_FILE_ATTRIBUTES) << target;
    TdlgAbout about(target);
    HWND box = reinterpret_cast<HWND>(1);
    harness::DialogAnswerer answer([&](HWND dialog) {
        ClickAddress(dialog);
        box = harness::WaitForDialog(dialog, 1500);
        if (box)
            harness::PressButton(box, IDOK);
        harness::PressButton(dialog, IDOK);
    });
    about.ShowModal(m_host.m_hWnd);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(box, nullptr);
}
