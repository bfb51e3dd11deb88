#include "settings/ConfigSession.h"

CConfigSession g_ConfigSession;

void CConfigSession::Begin(const std::string& fileName) {
    if (fileName == m_sFileName)
        return;
    *this = CConfigSession();
    m_sFileName = fileName;
}

bool CConfigSession::MayOpen(const std::string& fileName) const {
    return fileName != m_sFileName || !m_bHandsOff;
}

bool CConfigSession::Note(const std::string& fileName, ConfigOpening outcome) {
    Begin(fileName);
    switch (outcome) {
    case ConfigOpening::opened:
        m_bOpened = true;
        return false;
    case ConfigOpening::reset:
        m_bOpened = true;
        break;
    case ConfigOpening::unreadable:
        // The settings in a file that could not be read at the start were
        // never taken in: writing this run's values would replace them.
        if (!m_bOpened)
            m_bHandsOff = true;
        break;
    }
    const bool tell = !m_bTold;
    m_bTold = true;
    return tell;
}
