// One table of a window's commands, and every control bound to them: menu
// entries (main menu and pop-ups), tool bar buttons, and the accelerator
// table made from the shortcuts. A command's enabled and checked states are
// set here once and every bound entry and button follows at once.
#pragma once

#include "ui/Command.h"
#include "ui/Handles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace ui {

class TCommandList {
public:
    explicit TCommandList(std::vector<TCommandDef> commands);
    ~TCommandList();
    TCommandList(const TCommandList&) = delete;
    TCommandList& operator=(const TCommandList&) = delete;

    // The glyphs of menu entries: a strip of square glyphs (a 24-bit
    // bitmap, not owned) whose `maskColour` (0x00BBGGRR) is transparent.
    void SetGlyphStrip(HBITMAP strip, int glyphSize, COLORREF maskColour);

    const TCommandDef* Find(unsigned id) const;
    bool Enabled(unsigned id) const;
    bool Checked(unsigned id) const;
    void SetEnabled(unsigned id, bool enabled);
    void SetChecked(unsigned id, bool checked);
    // Tells the bound entries and buttons the command's state again, changed
    // or not: a check button toggles itself when it is clicked, whatever
    // the command then decides.
    void Refresh(unsigned id);

    // Appends an entry for the command ("Caption<tab>Shortcut"); `glyph`
    // overrides the command's own glyph (-1: none, only the check mark).
    void AppendMenuEntry(HMENU menu, unsigned id);
    void AppendMenuEntry(HMENU menu, unsigned id, int glyph);
    static void AppendSeparator(HMENU menu);

    // Keeps the buttons of a tool bar whose buttons carry command ids in
    // step with the commands.
    void BindToolBar(HWND toolbar);

    // An accelerator for every command with a shortcut.
    HACCEL CreateAccelerators() const;

    // The whole hint of a command; empty for unknown ids.
    std::string HintOf(unsigned id) const;
    const std::vector<TCommandDef>& Commands() const { return m_Commands; }

private:
    struct TState {
        bool enabled = true;
        bool checked = false;
    };
    size_t IndexOf(unsigned id) const;
    void Mirror(unsigned id);
    HBITMAP MenuGlyph(int glyph);

    std::vector<TCommandDef> m_Commands;
    std::vector<TState> m_States;
    std::vector<HMENU> m_Menus; // every menu with a bound entry (not owned)
    std::vector<HWND> m_ToolBars;
    HBITMAP m_hStrip = nullptr;
    int m_nGlyphSize = 16;
    COLORREF m_MaskColour = 0;
    std::vector<UniqueBitmap> m_MenuGlyphs; // made on demand, one per glyph index
};

} // namespace ui
