// CQdf: the indexed record file on disk. A fixed header, a table of index
// entries sorted by key and a data area; records reach the file at once, the
// header and the index at Close. Failures are raised as CQdfException.
#pragma once

#include "settings/QdfException.h"
#include "settings/QdfIndex.h"

#include "ui/Handles.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// How a file on disk stands before it is opened (see CQdf::CheckFile).
enum class QdfFileState {
    cannotOpen, // missing, locked or not readable
    damaged,    // too short, or a header or index that cannot be true
    sound,      // a record file of the asked-for key type
};

class CQdf {
public:
    CQdf();
    virtual ~CQdf();
    CQdf(const CQdf&) = delete;
    CQdf& operator=(const CQdf&) = delete;

    // Opens or creates the file. `creation` is the system's creation
    // disposition; `accessAndShare` carries GENERIC_READ / GENERIC_WRITE in
    // its top two bits and FILE_SHARE_READ / FILE_SHARE_WRITE in its low two.
    // A non-empty file must be a sound record file of `keyType`. Returns false
    // for an absent or empty name; raises CQdfException on failure.
    bool Open(const char* fileName, int keyType, DWORD creation, DWORD accessAndShare);
    // Writes the header and index back (rebuilding the file when the index
    // grew), flushes and closes. Closed afterwards even when it raises.
    void Close();
    bool IsOpen() const { return m_file.Valid(); }

    // Stores a record under the key, replacing any record with that key.
    // Does nothing when closed (returns false); raises when the key does not
    // suit the file's key type (code 3) or the bytes cannot all be written.
    bool WriteRecord(uint32_t key, const void* bytes, int32_t length);
    bool WriteRecord(const char* key, const void* bytes, int32_t length);
    // Bytes read into the buffer: 0 when closed or the key is absent,
    // otherwise at most the smaller of the stored length and `size`.
    int32_t ReadRecord(uint32_t key, void* buffer, int32_t size);
    int32_t ReadRecord(const char* key, void* buffer, int32_t size);

    // Sets the header's application name (at most 31 characters), written at
    // Close. False when closed.
    bool SetAppName(const char* name);

    // Reads the application name from the header of an existing file (opened
    // for reading without sharing). False when the file cannot be opened;
    // raises when the header cannot be read whole.
    static bool ReadHeaderName(const char* fileName, char (&name)[32]);
    // Opens an existing file as ReadHeaderName does and checks its header and
    // index against its size without changing it; `name` receives the
    // application name of a sound file.
    static QdfFileState CheckFile(const char* fileName, int keyType, char (&name)[32]);

    // The text hash of the record file (not used by the configuration).
    virtual uint32_t HashKey(const char* text);
    virtual uint32_t HashKey(const void* bytes, int32_t length);

    const t_QdfHeader& Header() const { return m_index.Header(); }
    const CQdfIndex& Index() const { return m_index; }

private:
    bool WriteKeyed(const std::vector<uint8_t>& key, const void* bytes, int32_t length);
    int32_t ReadKeyed(const std::vector<uint8_t>& key, void* buffer, int32_t size);
    void WriteHeaderAndIndex();
    void Rebuild();
    [[noreturn]] void RaiseSystem(DWORD error) const;

    ui::UniqueHandle m_file;
    std::string m_sFileName;
    CQdfIndex m_index;
};

// The system's locale-aware case-insensitive comparison of text keys.
int QdfCompareText(const char* a, const char* b);
