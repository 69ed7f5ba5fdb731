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
    CZipOutput() : m_bufferAt(0), m_failed(false), m_error(0) {}
    ~CZipOutput() { Close(); }

    // Opens an existing (empty) file for writing.
    bool Open(const std::wstring& path);
    ULONGLONG Tell() const { return m_bufferAt + m_buffer.size(); }
    void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
    void Write(const char* data, size_t size);
    void Patch(ULONGLONG at, const std::string& bytes);
    // False when any write failed.
    bool Close();
    // Close, once the bytes have reached the disk (so that the file can
    // replace an old one without a crash losing both).
    bool Commit();
    // The system's error of the first failure.
    DWORD Error() const { return m_error; }

private:
    CZipOutput(const CZipOutput&) = delete;
    CZipOutput& operator=(const CZipOutput&) = delete;

    bool Flush();
    bool WriteAt(ULONGLONG at, const char* data, size_t size);

    CScopedHandle m_file;
    std::string m_buffer;
    ULONGLONG m_bufferAt;  // file offset of the buffer's first byte
    bool m_failed;
    DWORD m_error;
};

// Bytes that go down after everything else (the central directory): held in
// memory up to a limit, past it in a temporary file beside the archive, so
// that a tree of many files does not grow the memory by them.
class CDeferredBytes
{
public:
    explicit CDeferredBytes(const std::wstring& folder) : m_folder(folder), m_size(0), m_failed(false) {}
    ~CDeferredBytes() { Discard(); }

    void Append(const std::string& bytes);
    ULONGLONG Size() const { return m_size; }
    // Writes them all to output; false when the temporary file failed.
    bool WriteTo(CZipOutput* output);

private:
    CDeferredBytes(const CDeferredBytes&) = delete;
    CDeferredBytes& operator=(const CDeferredBytes&) = delete;

    bool Spill();
    void Discard();

    std::wstring m_folder;
    std::wstring m_path;
    CScopedHandle m_file;
    std::string m_held;
    ULONGLONG m_size;
    bool m_failed;
};
