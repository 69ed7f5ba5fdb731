#pragma once

#include "dllkit/CngHandles.h"

#include <string>

// 7z's AES-256: the key is SHA-256 over 2^cycles rounds of the salt, the
// password in UTF-16LE and the round's number (8 bytes, little-endian);
// the data AES-256-CBC, zero-padded to whole blocks. Through the system's
// CNG.

const unsigned kSevenZipAesCycles = 19;

class CSevenZipAes
{
public:
    CSevenZipAes() = default;
    ~CSevenZipAes();

    // The key of a password; false when the system's crypto is not there.
    bool DeriveKey(const std::wstring& password, const std::string& salt, unsigned cycles);
    // The start of an encrypted stream with a fresh random IV; *properties
    // the coder's property bytes that carry the cycles and the IV.
    bool StartEncrypting(std::string* properties);
    // Encrypts what whole blocks data completes, holding back the rest.
    bool Encrypt(const char* data, size_t size, std::string* out);
    // The held-back bytes zero-padded to a block.
    bool FinishEncrypting(std::string* out);

    // From the coder's properties: the cycles, the salt and the IV.
    static bool ParseProperties(const std::string& properties, unsigned* cycles, std::string* salt, std::string* iv);
    bool StartDecrypting(const std::string& iv);
    // size must be whole blocks.
    bool Decrypt(const char* data, size_t size, std::string* out);

private:
    CSevenZipAes(const CSevenZipAes&) = delete;
    CSevenZipAes& operator=(const CSevenZipAes&) = delete;

    bool Run(bool encrypt, const char* data, size_t size, std::string* out);

    unsigned char m_key[32] = {};
    bool m_haveKey = false;
    CScopedAlgorithm m_aes;
    CScopedKey m_handle;
    unsigned char m_iv[16] = {};
    std::string m_held;
};
