#pragma once

#include "common/FileBytes.h"
#include "tessik7z/SevenZipArchive.h"

#include <stddef.h>

#include <functional>
#include <string>

// The unpacked stream of one folder, decoded from its packed streams
// through its chain of coders (Copy, LZMA, LZMA2, the x86 branch filter,
// BCJ2, AES-256) and handed on in pieces; its size and, where the header
// has one, its CRC checked at the end.

enum class EFolderDecode
{
    kDecoded,
    kUnsupported,  // a method or chain we do not decode
    kDamaged,      // the data does not decode, or not to its size or CRC
    kNeedPassword, // encrypted, no or a wrong password
    kUnreadable,   // the file could not be read
    kCancelled,    // the sink said stop
};

// sink gets the unpacked bytes in order; it returns false to stop.
EFolderDecode DecodeFolder(const CByteFile& file, const CSevenZipArchive& archive, size_t folder,
                           const std::function<bool(const char* data, size_t size)>& sink,
                           const std::wstring& password = std::wstring());

// File offset of the archive's packed stream index: past the signature
// header, at the archive's packed position, after the streams before it.
unsigned long long PackedStreamAt(const CSevenZipArchive& archive, size_t index);
