// A file opened for writing a picture. A write that fails is remembered, so
// closing reports it even when the writer's own result was not looked at.
#pragma once

#include "imaging/isource/decode/Exif.h"
#include "imaging/isource/encode/JpegWriter.h"

#include <windows.h>

namespace isource {

class FileDest : public ByteSink {
public:
    // Creates or truncates the file (`path` in the ANSI code page, of any
    // length); with `append`, writes go after what it holds. Null when it
    // cannot be opened for writing, with the system's error set.
    static FileDest* Open(const char* path, bool append);
    ~FileDest() override;
    FileDest(const FileDest&) = delete;
    FileDest& operator=(const FileDest&) = delete;

    bool Write(const uint8_t* data, size_t size) override;

    bool Failed() const { return m_bFailed; }

    // The photo facts the JPEGs written here keep in their EXIF block.
    void SetInfo(const PhotoInfo& info) { m_info = info; }
    const PhotoInfo& Info() const { return m_info; }

    // Closes the file; false when any write or the closing failed.
    bool Close();

private:
    explicit FileDest(HANDLE file) : m_hFile(file) {}
    HANDLE m_hFile;
    bool m_bFailed = false;
    PhotoInfo m_info;
};

} // namespace isource
