#pragma once

#include "common/ScopedHandle.h"

#include <windows.h>

#include <string>

// The archive being written: a new file written from its start, buffered,
// whose bytes already written can be patched (a local header's CRC and
// sizes once the data is known).
class CZipOutput
{
public:
    CZipOutput() : m_bufferAt(0), m_failed(false) {}
    ~CZipOutput() { Close(); }

    // Opens an existing (empty) file for writing.
    bool Open(const std::wstring& path);
    ULONGLONG Tell() const { return m_bufferAt + m_buffer.size(); }
    void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
    void Write(const char* data, size_t size);
    void Patch(ULONGLONG at, const std::string& bytes);
    // False when any write failed.
    bool Close();

private:
    CZipOutput(const CZipOutput&) = delete;
    CZipOutput& operator=(const CZipOutput&) = delete;

    bool Flush();
    bool WriteAt(ULONGLONG at, const char* data, size_t size);

    CScopedHandle m_file;
    std::string m_buffer;
    ULONGLONG m_bufferAt;  // file offset of the buffer's first byte
    bool m_failed;
};
