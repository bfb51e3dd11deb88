#include "ui/Dialog.h"

#include <utility>

namespace ui {

namespace {
// The dialog being made on this thread, until its first message takes it.
thread_local Dialog* t_pOpening = nullptr;
} // namespace

INT_PTR Dialog::RunModal(HWND owner, const char* resource) {
    t_pOpening = this;
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), resource, owner, &Dialog::Thunk,
                                           reinterpret_cast<LPARAM>(this));
    t_pOpening = nullptr;
    return result;
}

INT_PTR Dialog::RunModal(HWND owner, const DLGTEMPLATE* frame) {
    t_pOpening = this;
    const INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), frame, owner, &Dialog::Thunk,
                                                   reinterpret_cast<LPARAM>(this));
    t_pOpening = nullptr;
    return result;
}

INT_PTR CALLBACK Dialog::Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self && (msg == WM_INITDIALOG || t_pOpening)) {
        self = msg == WM_INITDIALOG ? reinterpret_cast<Dialog*>(lp) : t_pOpening;
        t_pOpening = nullptr;
        self->m_hwnd = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return FALSE;
    const INT_PTR result = self->HandleMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
    }
    return result;
}

} // namespace ui
