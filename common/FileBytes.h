#pragma once

#include "common/ScopedHandle.h"

#include <windows.h>

#include <stddef.h>

#include <string>

// Files as bytes, by wide path, so that any name on disk can be reached.
// Nothing here needs a window.

// The whole file into *bytes. False when it cannot be opened or read; a
// read that fails part way leaves what was read in *bytes.
bool ReadWholeFile(const std::wstring& path, std::string* bytes);
// The last keep bytes of a file, or all of it when it is shorter. The file may
// be written (or removed) by another process meanwhile: what it holds when
// the read reaches its end is taken.
bool ReadFileTail(const std::wstring& path, size_t keep, std::string* bytes);
// Creates the file, or empties an existing one, and writes bytes into it.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

// An existing file opened for reads and writes at given offsets.
class CByteFile
{
public:
    // access and share as CreateFileW takes them (GENERIC_READ, FILE_SHARE_READ...).
    CByteFile(const std::wstring& path, DWORD access, DWORD share);

    bool IsOpen() const { return m_file.IsValid(); }
    bool Size(ULONGLONG* size) const;
    // Exactly length bytes from offset at; false when the file ends before.
    bool ReadAt(ULONGLONG at, size_t length, std::string* bytes) const;
    // Everything from offset at to the end, appended to *bytes.
    bool ReadToEnd(ULONGLONG at, std::string* bytes) const;
    bool WriteAt(ULONGLONG at, const std::string& bytes) const;

private:
    CByteFile(const CByteFile&) = delete;
    CByteFile& operator=(const CByteFile&) = delete;

    CScopedHandle m_file;
};
