// What one run of the program has met in its configuration file, so that the
// user hears once that the settings could not be read, and a file the run
// could not read is left as it is: its settings are the user's, and this run,
// which started from the defaults, never writes over them. Plain rules.
#pragma once

#include <string>

// How one opening of the configuration file went.
enum class ConfigOpening {
    opened,     // a sound file of ours, a new one, or another program's replaced
    reset,      // a damaged file, replaced by a fresh one
    unreadable, // the file or its folder could not be opened
};

class CConfigSession {
public:
    // Whether the file may be opened: not once the run's first opening found
    // it unreadable. Another file name starts a new run.
    bool MayOpen(const std::string& fileName) const;
    // Notes how an opening went. True when the user is to be told: the
    // run's first reset or failure, never a second.
    bool Note(const std::string& fileName, ConfigOpening outcome);

private:
    void Begin(const std::string& fileName);

    std::string m_sFileName;
    bool m_bOpened = false;    // an opening of this run got the file open
    bool m_bHandsOff = false;  // the first opening could not read the file
    bool m_bTold = false;      // the user has heard of a reset or failure
};

// The program's one run.
extern CConfigSession g_ConfigSession;
