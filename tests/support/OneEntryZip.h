#pragma once

#include <string>

// A ZIP of one encrypted file entry made in the test with the DLL's
// encryptors, so that the host's readers judge the encryption alone.
enum class ETestCipher
{
    ZipCrypto,
    Aes,
};

// The archive's bytes (name ASCII); the data is Deflate-compressed when
// deflate, else stored. Empty when an encryptor could not be made.
std::string MakeOneEntryZip(const std::string& name, const std::string& data, bool deflate, ETestCipher cipher,
                            const std::string& password);
// Bytes that compress but not to nothing, size bytes of them.
std::string TextLikeBytes(size_t size);
