#pragma once

#include "common/FileBytes.h"
#include "tessik7z/SevenZipArchive.h"

#include <string>

// The one reader of 7z archives: the signature header, then the header it
// points to (an encoded header is decoded first), every count, size, offset
// and index checked against the file and against each other before it is
// used. Nothing here needs a window.

enum class ESevenZipRead
{
    kRead,
    kNotSevenZip,   // no 7z signature
    kDamaged,       // a CRC, count, size, offset or index that cannot be
    kUnsupported,   // well formed, but a method or feature we cannot read
    kEncrypted,     // the header is encrypted and no (right) password was given
    kUnreadable,    // the file could not be read
};

// password: UTF-16 as 7z's AES takes it; empty when none was given.
ESevenZipRead ReadSevenZipArchive(const CByteFile& file, CSevenZipArchive* archive,
                                  const std::wstring& password = std::wstring());
