#include "tessikzip/ZipEncryption.h"

#include "dllkit/CngHandles.h"

#include <bcrypt.h>
#include <zlib.h>

#include <string.h>

#include <vector>

namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

bool RandomBytes(unsigned char* bytes, size_t size)
{
    return Succeeded(BCryptGenRandom(NULL, bytes, static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

// The traditional PKWARE cipher: three keys stirred by every plain byte
// through the CRC-32 table.
class CZipCryptoEncryptor : public CEntryEncryptor
{
public:
    CZipCryptoEncryptor(const std::string& password, unsigned char checkByte)
        : m_table(get_crc_table()), m_checkByte(checkByte)
    {
        for (char c : password)
            UpdateKeys(static_cast<unsigned char>(c));
    }

    bool Begin(std::string* header) override
    {
        const size_t kHeaderSize = 12;
        unsigned char bytes[kHeaderSize];
        if (!RandomBytes(bytes, kHeaderSize))
            return false;
        bytes[kHeaderSize - 1] = m_checkByte;
        Transform(bytes, kHeaderSize);
        header->assign(reinterpret_cast<const char*>(bytes), kHeaderSize);
        SecureZeroMemory(bytes, sizeof(bytes));
        return true;
    }

    void Transform(unsigned char* data, size_t size) override
    {
        for (size_t i = 0; i < size; ++i)
        {
            unsigned temp = (m_keys[2] & 0xFFFF) | 2;
            unsigned char plain = data[i];
            data[i] = static_cast<unsigned char>(plain ^ ((temp * (temp ^ 1)) >> 8));
            UpdateKeys(plain);
        }
    }

    bool End(std::string* trailer) override
    {
        trailer->clear();
        return true;
    }

    ~CZipCryptoEncryptor() override { SecureZeroMemory(m_keys, sizeof(m_keys)); }

private:
    unsigned long Crc(unsigned long crc, unsigned char byte) const
    {
        return m_table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    }

    void UpdateKeys(unsigned char byte)
    {
        m_keys[0] = Crc(m_keys[0], byte);
        m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFF)) * 134775813UL + 1;
        m_keys[1] &= 0xFFFFFFFFUL;
        m_keys[2] = Crc(m_keys[2], static_cast<unsigned char>(m_keys[1] >> 24));
    }

    const z_crc_t* m_table;
    unsigned char m_checkByte;
    unsigned long m_keys[3] = {0x12345678UL, 0x23456789UL, 0x34567890UL};
};

const size_t kAesSaltSize = 16;  // AES-256
const size_t kAesKeySize = 32;
const size_t kAesVerifierSize = 2;
const size_t kAesCodeSize = 10;
const size_t kAesBlock = 16;
const ULONG kAesIterations = 1000;
// Counter blocks encrypted per call to CNG: one call per 16 bytes would cost
// more than the cipher itself.
const size_t kAesBatchBlocks = 4096;

// WinZip AE-2: AES-256 in counter mode (a little-endian counter from 1) over
// ECB blocks of CNG, with an HMAC-SHA1 of the encrypted data as its code.
class CAesEncryptor : public CEntryEncryptor
{
public:
    bool Open(const std::string& password)
    {
        if (!RandomBytes(m_salt, kAesSaltSize))
            return false;
        CScopedAlgorithm sha1;
        if (!Succeeded(BCryptOpenAlgorithmProvider(sha1.Out(), BCRYPT_SHA1_ALGORITHM, NULL, BCRYPT_ALG_HANDLE_HMAC_FLAG)))
            return false;
        unsigned char derived[2 * kAesKeySize + kAesVerifierSize];
        std::vector<unsigned char> secret(password.begin(), password.end());
        bool ok = Succeeded(BCryptDeriveKeyPBKDF2(sha1.Get(), secret.empty() ? NULL : secret.data(),
                                                  static_cast<ULONG>(secret.size()), m_salt, kAesSaltSize,
                                                  kAesIterations, derived, sizeof(derived), 0));
        if (!secret.empty())
            SecureZeroMemory(secret.data(), secret.size());
        ok = ok && Succeeded(BCryptOpenAlgorithmProvider(m_aes.Out(), BCRYPT_AES_ALGORITHM, NULL, 0)) &&
             Succeeded(BCryptSetProperty(m_aes.Get(), BCRYPT_CHAINING_MODE,
                                         reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                                         sizeof(BCRYPT_CHAIN_MODE_ECB), 0)) &&
             Succeeded(BCryptGenerateSymmetricKey(m_aes.Get(), m_key.Out(), NULL, 0, derived, kAesKeySize, 0)) &&
             Succeeded(BCryptOpenAlgorithmProvider(m_hmac.Out(), BCRYPT_SHA1_ALGORITHM, NULL,
                                                   BCRYPT_ALG_HANDLE_HMAC_FLAG)) &&
             Succeeded(BCryptCreateHash(m_hmac.Get(), m_hash.Out(), NULL, 0, derived + kAesKeySize, kAesKeySize, 0));
        memcpy(m_verifier, derived + 2 * kAesKeySize, kAesVerifierSize);
        SecureZeroMemory(derived, sizeof(derived));
        m_stream.resize(kAesBatchBlocks * kAesBlock);
        return ok;
    }

    ~CAesEncryptor() override
    {
        if (!m_stream.empty())
            SecureZeroMemory(m_stream.data(), m_stream.size());
    }

    bool Begin(std::string* header) override
    {
        header->assign(reinterpret_cast<const char*>(m_salt), kAesSaltSize);
        header->append(reinterpret_cast<const char*>(m_verifier), kAesVerifierSize);
        return m_ok;
    }

    void Transform(unsigned char* data, size_t size) override
    {
        for (size_t done = 0; done < size && m_ok;)
        {
            if (m_used == m_filled && !Refill(size - done))
                break;
            size_t take = size - done < m_filled - m_used ? size - done : m_filled - m_used;
            for (size_t i = 0; i < take; ++i)
                data[done + i] ^= m_stream[m_used + i];
            m_used += take;
            done += take;
        }
        m_ok = m_ok && Succeeded(BCryptHashData(m_hash.Get(), data, static_cast<ULONG>(size), 0));
    }

    bool End(std::string* trailer) override
    {
        unsigned char code[20];
        if (!m_ok || !Succeeded(BCryptFinishHash(m_hash.Get(), code, sizeof(code), 0)))
            return false;
        trailer->assign(reinterpret_cast<const char*>(code), kAesCodeSize);
        return true;
    }

private:
    // The key stream of the next counter blocks: as many as wanted bytes
    // need, at most one batch (a small entry costs no whole batch).
    bool Refill(size_t wanted)
    {
        size_t blocks = (wanted + kAesBlock - 1) / kAesBlock;
        if (blocks > kAesBatchBlocks)
            blocks = kAesBatchBlocks;
        for (size_t block = 0; block < blocks; ++block)
        {
            for (size_t i = 0; i < kAesBlock && ++m_counter[i] == 0; ++i)
            {
            }
            memcpy(&m_stream[block * kAesBlock], m_counter, kAesBlock);
        }
        ULONG length = static_cast<ULONG>(blocks * kAesBlock);
        ULONG written = 0;
        m_ok = Succeeded(BCryptEncrypt(m_key.Get(), m_stream.data(), length, NULL, NULL, 0, m_stream.data(), length,
                                       &written, 0)) &&
               written == length;
        m_filled = m_ok ? length : 0;
        m_used = 0;
        return m_ok;
    }

    CScopedAlgorithm m_aes;
    CScopedKey m_key;
    CScopedAlgorithm m_hmac;
    CScopedHash m_hash;
    unsigned char m_salt[kAesSaltSize] = {};
    unsigned char m_verifier[kAesVerifierSize] = {};
    // Counted up before each block, so the first block encrypts 1.
    unsigned char m_counter[kAesBlock] = {};
    std::vector<unsigned char> m_stream;
    size_t m_filled = 0;  // key stream bytes made
    size_t m_used = 0;    // of them
    bool m_ok = true;
};

}  // namespace

std::unique_ptr<CEntryEncryptor> MakeZipCryptoEncryptor(const std::string& password, unsigned char checkByte)
{
    return std::unique_ptr<CEntryEncryptor>(new CZipCryptoEncryptor(password, checkByte));
}

std::unique_ptr<CEntryEncryptor> MakeAesEncryptor(const std::string& password)
{
    std::unique_ptr<CAesEncryptor> encryptor(new CAesEncryptor);
    if (!encryptor->Open(password))
        return nullptr;
    return std::unique_ptr<CEntryEncryptor>(encryptor.release());
}

void AppendAesExtraField(WORD actualMethod, std::string* extra)
{
    const unsigned char field[] = {
        0x01, 0x99,  // id 0x9901
        7,    0,     // size
        2,    0,     // vendor version: AE-2 (no CRC)
        'A',  'E',   // vendor
        3,           // strength: AES-256
        static_cast<unsigned char>(actualMethod & 0xFF), static_cast<unsigned char>(actualMethod >> 8),
    };
    extra->append(reinterpret_cast<const char*>(field), sizeof(field));
}

bool IsSystemCryptoAvailable()
{
    // Kept mapped: the delayed import then finds the module loaded.
    static HMODULE cng = LoadLibraryW(L"bcrypt.dll");
    return cng != NULL;
}
