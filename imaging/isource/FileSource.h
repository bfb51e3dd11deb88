// A picture file opened for reading, and its decoding into a movable global
// memory block of packed RGB.
#pragma once

#include <windows.h>

#include <cstdint>

#include "imaging/isource/decode/Exif.h"

namespace isource {

// What a read may do beyond decoding into a fresh block.
struct ReadLimits {
    uint64_t maxBytes = 0;                    // refuse larger pictures (0: no limit)
    const volatile int32_t* cancel = nullptr; // non-zero: stop
    HGLOBAL reuse = nullptr;                  // a block to decode into; the read takes it over
    int32_t fitWidth = 0;                     // a reduced picture covering this box fitted is enough
    int32_t fitHeight = 0;
};

class FileSource {
public:
    // `path` in the ANSI code page, of any length. Null when the file cannot
    // be opened for reading.
    static FileSource* Open(const char* path);
    ~FileSource();
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // The format told by the first bytes; the read position is kept.
    uint32_t GuessFileType();
    bool Seek(int32_t offset, uint32_t origin);

    // Reads from the current position to the end of the file and decodes
    // it. The picture is decoded straight into the returned block (no second
    // copy); null on failure, with the library's last error set. A picture
    // refused for `limits` still reports its size. The size at full scale
    // goes to `fullWidth` and `fullHeight` when given (the size read,
    // unless the picture was reduced for the limits' fit).
    HGLOBAL ReadToRgb(uint32_t& width, uint32_t& height, const ReadLimits& limits = {},
                      uint32_t* fullWidth = nullptr, uint32_t* fullHeight = nullptr);

    // What the last successful read found of the photo's EXIF facts (empty
    // before one, and after one that failed).
    const PhotoInfo& Info() const { return m_info; }

private:
    explicit FileSource(HANDLE file) : m_hFile(file) {}
    HANDLE m_hFile;
    PhotoInfo m_info;
};

} // namespace isource
