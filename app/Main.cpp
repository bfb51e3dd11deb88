// Entry point: the message box object, the common controls, the main window
// and the about dialog, then the message loop until the main window closes.
#include "app/Mainform.h"
#include "support/AboutDialog.h"
#include "support/Message.h"

#include <windows.h>
#include <commctrl.h>

#include <exception>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int nCmdShow) {
    TMesgScope mesg;
    try {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);

        TfrmMain frmMain;
        TdlgAbout dlgAbout;
        if (!frmMain.Create(&dlgAbout))
            return 1;
        frmMain.Show(nCmdShow);
        frmMain.MessageLoop().Run();
    } catch (const std::exception& e) {
        g_pMesg->Show(e.what(), kMesgError);
    } catch (...) {
        g_pMesg->Show("", kMesgError);
    }
    return 0;
}
