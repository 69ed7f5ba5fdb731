#pragma once

#include <windows.h>

#include <stddef.h>

#include <memory>
#include <string>

// One entry's encryption, applied to its compressed bytes in the order they
// are written. The writer asks for the header before the data and the trailer
// after it; both count in the entry's compressed size.
class CEntryEncryptor
{
public:
    virtual ~CEntryEncryptor() = default;
    // The bytes before the data (ZipCrypto: the 12-byte header; AES: salt and
    // password verifier); false when the system's crypto failed.
    virtual bool Begin(std::string* header) = 0;
    // Encrypts the next bytes of the data in place.
    virtual void Transform(unsigned char* data, size_t size) = 0;
    // The bytes after the data (AES: the 10-byte authentication code).
    virtual bool End(std::string* trailer) = 0;
};

// ZipCrypto (the traditional PKWARE encryption). checkByte is the header's
// last byte: the high byte of the entry's CRC, or of its DOS time when the
// entry has a data descriptor (flag bit 3).
std::unique_ptr<CEntryEncryptor> MakeZipCryptoEncryptor(const std::string& password, unsigned char checkByte);
// AES-256 as WinZip AE-2, through the system's CNG: nullptr when CNG cannot
// give what it needs. An AE-2 entry has method 99, CRC 0 and the extra field
// of AppendAesExtraField.
std::unique_ptr<CEntryEncryptor> MakeAesEncryptor(const std::string& password);
// The 0x9901 extra field of an AE-2 entry whose data is of actualMethod.
void AppendAesExtraField(WORD actualMethod, std::string* extra);
// Whether the system's CNG (bcrypt.dll, which the DLL maps only when a
// password needs it) can be mapped: without it both schemes fail, and the
// first call through the delayed import would end the process instead.
bool IsSystemCryptoAvailable();
