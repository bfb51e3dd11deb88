#include "support/Help.h"

#include "support/FileIdentity.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr UINT kHhHelpContext = 0x0F; // HH_HELP_CONTEXT
constexpr UINT kHhCloseAll = 0x12;    // HH_CLOSE_ALL
constexpr size_t kMaxHelpPath = 254;

const char* HtmlErrorText(int nCode) {
    switch (nCode) {
    case 1:
        return "The compiled help file (.chm) was not found.";
    case 2:
        return "Failure to LoadLibrary( \"hhctrl.ocx\" ).";
    case 3:
        return "Failure to get the proceedure address from the HTML Help Program (GetProcAddress).";
    default:
        return "";
    }
}

std::unique_ptr<CHtmlHelp> g_pHelp;

// A path cut to what CHtmlHelp keeps would name another file, and a folder
// is no help file.
bool IsHelpFile(const std::string& path) {
    return path.size() <= kMaxHelpPath && FileExists(path);
}

} // namespace

CHtmlHelp::CHtmlHelp(const std::string& path) : m_hModule(LoadLibraryA("hhctrl.ocx")) {
    const size_t n = std::min(path.size(), kMaxHelpPath);
    std::memcpy(m_szPath, path.data(), n);
    m_szPath[n] = '\0';
    if (!m_hModule.Get())
        throw HtmlError(2);
    m_pHtmlHelp = reinterpret_cast<THtmlHelpA>(GetProcAddress(m_hModule.Get(), "HtmlHelpA"));
    if (!m_pHtmlHelp)
        throw HtmlError(3); // the module member frees the library on the way out
}

CHtmlHelp::~CHtmlHelp() {
    // An open help window runs on the library's code: freeing the library
    // under it would crash at the window's next message.
    m_pHtmlHelp(nullptr, nullptr, kHhCloseAll, 0);
}

HWND CHtmlHelp::Show(HWND window, int topic) const {
    return m_pHtmlHelp(window, m_szPath, kHhHelpContext, static_cast<DWORD_PTR>(topic));
}

HtmlError::HtmlError(int nCode) : m_nCode(nCode), m_szMessage{} {
    std::strncpy(m_szMessage, HtmlErrorText(nCode), sizeof m_szMessage - 1);
}

void OpenHelpFile(const std::string& path) {
    g_pHelp.reset();
    if (!IsHelpFile(path))
        throw HtmlError(1);
    g_pHelp = std::make_unique<CHtmlHelp>(path);
}

void ShowHelpTopic(HWND window, int topic) {
    if (g_pHelp)
        g_pHelp->Show(window, topic);
}

void CloseHelpFile() {
    g_pHelp.reset();
}
