// The program's message boxes. Every message the user sees goes through the
// one TMesg object, g_pMesg: it supplies the product's caption, an owner when
// the caller names none, and English buttons whatever the system's language.
#pragma once

#include <windows.h>

#include <string>

// Message kinds of the program: errors, yes/no questions (only IDYES counts
// as yes) and refusals.
constexpr UINT kMesgError = MB_OK | MB_ICONERROR;
constexpr UINT kMesgQuestion = MB_YESNO | MB_ICONQUESTION;
constexpr UINT kMesgInformation = MB_OK | MB_ICONINFORMATION;

class TMesg {
public:
    // hOwner: the owner of last resort, may be null (the main window sets it
    // once it exists). Loads the caption, string IDS_PRODUCT.
    explicit TMesg(HWND hOwner = nullptr);
    virtual ~TMesg();
    TMesg(const TMesg&) = delete;
    TMesg& operator=(const TMesg&) = delete;

    // Shows `text` with the system message box flags `flags` and returns the
    // button pressed (IDOK, IDYES, IDNO). Owner: `owner`; if null, this
    // thread's active window (so a box raised inside a modal dialog belongs to
    // it); if that is null too, the owner of last resort.
    int Show(const std::string& text, UINT flags, HWND owner = nullptr) const;

    // As Show, with the text of string `id` (empty when there is none). The
    // text is shown as it stands; texts with a %s go through FormatResString
    // and Show instead.
    int ShowId(int id, UINT flags, HWND owner = nullptr) const;

    HWND Owner() const { return m_hOwner; }
    void SetOwner(HWND hOwner) { m_hOwner = hOwner; }
    const std::string& Caption() const { return m_sCaption; }

private:
    HWND m_hOwner;
    std::string m_sCaption;
};

// The process's message box object: created by the entry point before any
// other object and deleted after all of them (see TMesgScope).
extern TMesg* g_pMesg;

// Owns the process's TMesg for one scope (the entry point, a test) and
// publishes it as g_pMesg meanwhile.
class TMesgScope {
public:
    explicit TMesgScope(HWND hOwner = nullptr) : m_mesg(hOwner) { g_pMesg = &m_mesg; }
    ~TMesgScope() { g_pMesg = nullptr; }
    TMesgScope(const TMesgScope&) = delete;
    TMesgScope& operator=(const TMesgScope&) = delete;
    TMesg& Mesg() { return m_mesg; }

private:
    TMesg m_mesg;
};
