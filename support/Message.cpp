#include "support/Message.h"

#include "resources/StringIds.h"
#include "support/StringTable.h"

TMesg* g_pMesg = nullptr;

namespace {
// English (United Kingdom): the buttons read the same on every system.
constexpr WORD kButtonLanguage = 0x0809;
} // namespace

TMesg::TMesg(HWND hOwner) : m_hOwner(hOwner), m_sCaption(LoadResString(IDS_PRODUCT)) {}

TMesg::~TMesg() = default;

int TMesg::Show(const std::string& text, UINT flags, HWND owner) const {
    if (!owner)
        owner = GetActiveWindow();
    if (!owner)
        owner = m_hOwner;
    return MessageBoxExA(owner, text.c_str(), m_sCaption.c_str(), flags, kButtonLanguage);
}

int TMesg::ShowId(int id, UINT flags, HWND owner) const {
    return Show(LoadResString(id), flags, owner);
}
