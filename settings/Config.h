// CConfig: the configuration manager. It finds the configuration file, makes
// sure it belongs to this program, opens it and reads or writes the four
// records by key. It lives for one group of reads or writes; destroying it
// writes the file back. Failures of the file layer are shown as message
// boxes and the program goes on with its defaults. A file that could not be
// read is said once in a run (g_ConfigSession); one the run's first opening
// could not read is not opened again in that run.
#pragma once

#include "settings/Properties.h"
#include "settings/Qdf.h"

#include <memory>

// Keys of the configuration records.
enum ConfigKey : uint32_t {
    ckMainWindow = 0, // TWinPos of the main window
    ckDialog = 1,     // TWinPos of the properties dialog
    ckProperties = 3, // TProperties
    ckToolbar = 4,    // ToolbarFlags
};

// Name every configuration file carries in its header.
constexpr const char* kConfigAppName = "Snapwell";

class CConfig : public CQdf {
public:
    // Runs the opening sequence; the manager stays closed when the paths are
    // not set, the file cannot be opened (said once in a run), or the run
    // keeps its hands off the file.
    CConfig();
    // Writes the header and index back; shows a failure. Then, when this
    // opening found the file damaged or unreadable (the first time in the
    // run), says that the settings could not be read and were reset.
    ~CConfig() override;

    // Reads the 40-byte record into the position, then keeps its top-left
    // corner on the primary display (also when nothing was read). True when a
    // whole record was read.
    bool ReadWinPos(uint32_t key, TWinPos& pos);
    void WriteWinPos(uint32_t key, const TWinPos& pos);
    // True when a whole 540-byte record was read into the settings. Folders
    // stored in the legacy ANSI code page come back in UTF-8 where the
    // process speaks it (FromStoredText).
    bool ReadProperties(TProperties& properties);
    void WriteProperties(const TProperties& properties);
    // The stored word, or the default when no whole word could be read.
    ToolbarFlags ReadToolbarFlags();
    void WriteToolbarFlags(ToolbarFlags flags);

private:
    void Show(const CQdfException& e) const;
    int32_t SafeRead(uint32_t key, void* buffer, int32_t size);
    void SafeWrite(uint32_t key, const void* bytes, int32_t size);

    std::string m_sResetReason; // the file and what was wrong with it
};

// A manager, open or closed; null after showing "Error loading the
// configuration file." when the manager itself could not be made.
std::unique_ptr<CConfig> OpenConfig();
