#include "ui/CommandList.h"

#include "ui/Dib.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace ui {

TCommandList::TCommandList(std::vector<TCommandDef> commands)
    : m_Commands(std::move(commands)), m_States(m_Commands.size()) {
    for (size_t i = 0; i < m_Commands.size(); ++i)
        m_States[i].checked = m_Commands[i].Checked;
}

TCommandList::~TCommandList() = default;

size_t TCommandList::IndexOf(unsigned id) const {
    for (size_t i = 0; i < m_Commands.size(); ++i)
        if (m_Commands[i].Id == id)
            return i;
    return m_Commands.size();
}

const TCommandDef* TCommandList::Find(unsigned id) const {
    const size_t i = IndexOf(id);
    return i < m_Commands.size() ? &m_Commands[i] : nullptr;
}

bool TCommandList::Enabled(unsigned id) const {
    const size_t i = IndexOf(id);
    return i < m_States.size() && m_States[i].enabled;
}

bool TCommandList::Checked(unsigned id) const {
    const size_t i = IndexOf(id);
    return i < m_States.size() && m_States[i].checked;
}

// Menus and tool bars took every state when they were bound, so only a
// change needs telling them (each call costs, and the window asks after
// every picture).
void TCommandList::SetEnabled(unsigned id, bool enabled) {
    const size_t i = IndexOf(id);
    if (i == m_States.size() || m_States[i].enabled == enabled)
        return;
    m_States[i].enabled = enabled;
    Mirror(id);
}

void TCommandList::SetChecked(unsigned id, bool checked) {
    const size_t i = IndexOf(id);
    if (i == m_States.size() || m_States[i].checked == checked)
        return;
    m_States[i].checked = checked;
    Mirror(id);
}

void TCommandList::Refresh(unsigned id) {
    if (IndexOf(id) < m_States.size())
        Mirror(id);
}

void TCommandList::Mirror(unsigned id) {
    const bool enabled = Enabled(id);
    const bool checked = Checked(id);
    for (HMENU menu : m_Menus) {
        EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
    for (HWND toolbar : m_ToolBars) {
        SendMessageA(toolbar, TB_ENABLEBUTTON, id, MAKELPARAM(enabled ? TRUE : FALSE, 0));
        SendMessageA(toolbar, TB_CHECKBUTTON, id, MAKELPARAM(checked ? TRUE : FALSE, 0));
    }
}

void TCommandList::SetGlyphStrip(HBITMAP strip, int glyphSize, COLORREF maskColour) {
    m_hStrip = strip;
    m_nGlyphSize = glyphSize;
    m_MaskColour = maskColour;
    m_MenuGlyphs.clear();
}

HBITMAP TCommandList::MenuGlyph(int glyph) {
    if (glyph < 0 || !m_hStrip)
        return nullptr;
    if (static_cast<size_t>(glyph) < m_MenuGlyphs.size() && m_MenuGlyphs[glyph])
        return m_MenuGlyphs[glyph].Get();

    // Read the strip as top-down 32-bit pixels and cut out the glyph with
    // the mask colour made fully transparent (a menu draws 32-bit bitmaps
    // with their alpha).
    BITMAP info{};
    if (!GetObjectA(m_hStrip, sizeof info, &info) || (glyph + 1) * m_nGlyphSize > info.bmWidth)
        return nullptr;
    const int w = info.bmWidth;
    const int s = m_nGlyphSize;
    BITMAPINFO bi = TopDownInfo(w, s);
    std::vector<uint32_t> stripPixels(static_cast<size_t>(w) * s);
    {
        WindowDC screen(nullptr);
        if (!GetDIBits(screen.Get(), m_hStrip, 0, s, stripPixels.data(), &bi, DIB_RGB_COLORS))
            return nullptr;
    }
    bi.bmiHeader.biWidth = s;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    const uint32_t mask =
        (GetRValue(m_MaskColour) << 16) | (GetGValue(m_MaskColour) << 8) | GetBValue(m_MaskColour);
    auto* out = static_cast<uint32_t*>(bits);
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            const uint32_t p = stripPixels[static_cast<size_t>(y) * w + glyph * s + x] & 0x00FFFFFF;
            out[y * s + x] = p == mask ? 0 : (p | 0xFF000000u);
        }
    if (m_MenuGlyphs.size() <= static_cast<size_t>(glyph))
        m_MenuGlyphs.resize(glyph + 1);
    m_MenuGlyphs[glyph].Reset(bitmap);
    return bitmap;
}

void TCommandList::AppendMenuEntry(HMENU menu, unsigned id) {
    const TCommandDef* c = Find(id);
    AppendMenuEntry(menu, id, c ? c->Glyph : -1);
}

void TCommandList::AppendMenuEntry(HMENU menu, unsigned id, int glyph) {
    const TCommandDef* c = Find(id);
    if (!c)
        return;
    std::string text = c->Caption;
    // An ampersand in a caption is shown, not taken as a mnemonic.
    for (size_t at = text.find('&'); at != std::string::npos; at = text.find('&', at + 2))
        text.insert(at, 1, '&');
    if (!c->Shortcut.Empty())
        text += "\t" + ShortcutText(c->Shortcut);
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
    item.fType = MFT_STRING;
    item.wID = id;
    item.dwTypeData = text.data();
    if (HBITMAP bitmap = MenuGlyph(glyph)) {
        item.fMask |= MIIM_BITMAP;
        item.hbmpItem = bitmap;
    }
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &item);
    if (std::find(m_Menus.begin(), m_Menus.end(), menu) == m_Menus.end())
        m_Menus.push_back(menu);
    Mirror(id);
}

void TCommandList::AppendSeparator(HMENU menu) {
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
}

void TCommandList::BindToolBar(HWND toolbar) {
    m_ToolBars.push_back(toolbar);
    for (const TCommandDef& c : m_Commands)
        Mirror(c.Id);
}

HACCEL TCommandList::CreateAccelerators() const {
    std::vector<ACCEL> table;
    for (const TCommandDef& c : m_Commands) {
        if (c.Shortcut.Empty())
            continue;
        ACCEL a{};
        a.fVirt = FVIRTKEY | (c.Shortcut.Ctrl ? FCONTROL : 0) | (c.Shortcut.Shift ? FSHIFT : 0) |
                  (c.Shortcut.Alt ? FALT : 0);
        a.key = static_cast<WORD>(c.Shortcut.Key);
        a.cmd = static_cast<WORD>(c.Id);
        table.push_back(a);
    }
    return table.empty() ? nullptr : CreateAcceleratorTableA(table.data(), static_cast<int>(table.size()));
}

std::string TCommandList::HintOf(unsigned id) const {
    const TCommandDef* c = Find(id);
    return c ? c->Hint : std::string();
}

} // namespace ui
