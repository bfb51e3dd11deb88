#include "support/Help.h"

#include "ui/Handles.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr UINT kHhHelpContext = 0x0F; // HH_HELP_CONTEXT
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

} // namespace

CHtmlHelp::CHtmlHelp(const std::string& path) {
    const size_t n = std::min(path.size(), kMaxHelpPath);
    std::memcpy(m_szPath, path.data(), n);
    m_szPath[n] = '\0';
    ui::UniqueModule module(LoadLibraryA("hhctrl.ocx"));
    if (!module.Get())
        throw HtmlError(2);
    m_pHtmlHelp = reinterpret_cast<THtmlHelpA>(GetProcAddress(module.Get(), "HtmlHelpA"));
    if (!m_pHtmlHelp)
        throw HtmlError(3); // the module is freed on the way out
    m_hModule = module.Release();
}

CHtmlHelp::~CHtmlHelp() {
    FreeLibrary(m_hModule);
}

HWND CHtmlHelp::Show(HWND window, int topic) const {
    return m_pHtmlHelp(window, m_szPath, kHhHelpContext, static_cast<DWORD_PTR>(topic));
}

HtmlError::HtmlError(int nCode) : m_nCode(nCode), m_szMessage{} {
    std::strncpy(m_szMessage, HtmlErrorText(nCode), sizeof m_szMessage - 1);
}

void OpenHelpFile(const std::string& path) {
    g_pHelp.reset();
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
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
