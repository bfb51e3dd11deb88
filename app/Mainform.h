// The main window of the program.
#pragma once

#include "ui/Window.h"

class TfrmMain : public ui::Window {
public:
    TfrmMain() = default;
    ~TfrmMain() override = default;

    // Creates the (hidden) window; false when the system refused.
    bool Create();
    void Show(int showCommand);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    HMENU BuildMenu();
    void OnCommand(unsigned id);
};
