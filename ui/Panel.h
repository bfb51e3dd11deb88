// A plain child window that arranges its own children (TAlignedLayout) and
// passes their notifications and commands up to its parent, so the form
// that owns the controls hears them wherever they sit.
#pragma once

#include "ui/AlignedLayout.h"
#include "ui/Window.h"

namespace ui {

class TPanel : public Window {
public:
    bool Create(HWND parent, int id = 0);
    TAlignedLayout& Layout() { return m_Layout; }
    void Arrange() { m_Layout.Arrange(Handle()); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnSize(int width, int height) override;

private:
    TAlignedLayout m_Layout;
};

} // namespace ui
