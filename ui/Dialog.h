// A thin base for the program's modal dialogs: the dialog procedure finds
// the object from the dialog's first message (the frame's size limits
// arrive before WM_INITDIALOG) until WM_NCDESTROY, and hands every message
// to a virtual handler.
#pragma once

#include <windows.h>

namespace ui {

class Dialog {
public:
    Dialog() = default;
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // The dialog window while it is shown, otherwise null.
    HWND Handle() const { return m_hwnd; }

protected:
    // Shows the dialog modally to `owner`, from a template resource of the
    // program or from a template in memory; returns what EndDialog was given
    // (-1 when the dialog could not be made).
    INT_PTR RunModal(HWND owner, const char* resource);
    INT_PTR RunModal(HWND owner, const DLGTEMPLATE* frame);

    // The dialog manager's convention: TRUE when handled, FALSE to leave
    // the message to it.
    virtual INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;

private:
    static INT_PTR CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND m_hwnd = nullptr;
};

} // namespace ui
