#include "tessik7z/SevenZipAes.h"

#include <bcrypt.h>

#include <string.h>

#include <vector>

namespace {

const size_t kBlock = 16;

bool Succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

CSevenZipAes::~CSevenZipAes() { SecureZeroMemory(m_key, sizeof(m_key)); }

bool CSevenZipAes::DeriveKey(const std::wstring& password, const std::string& salt, unsigned cycles)
{
    m_haveKey = false;
    if (cycles > 24)
        return false;
    CScopedAlgorithm sha;
    CScopedHash hash;
    if (!Succeeded(BCryptOpenAlgorithmProvider(sha.Out(), BCRYPT_SHA256_ALGORITHM, NULL, 0)) ||
        !Succeeded(BCryptCreateHash(sha.Get(), hash.Out(), NULL, 0, NULL, 0, 0)))
        return false;
    // One round's input: salt, password, counter. The rounds go to the
    // hash many at a time, not one call each.
    std::string round = salt;
    for (wchar_t c : password)
    {
        round.push_back(static_cast<char>(c & 0xFF));
        round.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    size_t counterAt = round.size();
    round.append(8, '\0');
    const uint64_t rounds = uint64_t(1) << cycles;
    const size_t batch = 4096;
    std::string bytes;
    bytes.reserve(round.size() * batch);
    bool ok = true;
    for (uint64_t i = 0; i < rounds && ok; ++i)
    {
        for (int b = 0; b < 8; ++b)
            round[counterAt + b] = static_cast<char>((i >> (8 * b)) & 0xFF);
        bytes += round;
        if (bytes.size() >= round.size() * batch || i + 1 == rounds)
        {
            ok = Succeeded(BCryptHashData(hash.Get(), reinterpret_cast<PUCHAR>(&bytes[0]),
                                          static_cast<ULONG>(bytes.size()), 0));
            SecureZeroMemory(&bytes[0], bytes.size());
            bytes.clear();
        }
    }
    SecureZeroMemory(&round[0], round.size());
    ok = ok && Succeeded(BCryptFinishHash(hash.Get(), m_key, sizeof(m_key), 0));
    ok = ok && (m_aes.Get() != NULL || Succeeded(BCryptOpenAlgorithmProvider(m_aes.Out(), BCRYPT_AES_ALGORITHM, NULL, 0)));
    ok = ok && Succeeded(BCryptSetProperty(m_aes.Get(), BCRYPT_CHAINING_MODE,
                                           reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_CBC)),
                                           sizeof(BCRYPT_CHAIN_MODE_CBC), 0));
    ok = ok && Succeeded(BCryptGenerateSymmetricKey(m_aes.Get(), m_handle.Out(), NULL, 0, m_key, sizeof(m_key), 0));
    m_haveKey = ok;
    return ok;
}

bool CSevenZipAes::StartEncrypting(std::string* properties)
{
    if (!m_haveKey ||
        !Succeeded(BCryptGenRandom(NULL, m_iv, sizeof(m_iv), BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
        return false;
    m_held.clear();
    // No salt, an IV of 16 bytes: 0x40 | cycles, then (salt - 0) << 4 | (IV - 1).
    properties->assign(1, static_cast<char>(0x40 | kSevenZipAesCycles));
    properties->push_back(static_cast<char>(kBlock - 1));
    properties->append(reinterpret_cast<const char*>(m_iv), kBlock);
    return true;
}

bool CSevenZipAes::Encrypt(const char* data, size_t size, std::string* out)
{
    m_held.append(data, size);
    size_t whole = m_held.size() / kBlock * kBlock;
    if (whole == 0)
        return true;
    bool ok = Run(true, m_held.data(), whole, out);
    m_held.erase(0, whole);
    return ok;
}

bool CSevenZipAes::FinishEncrypting(std::string* out)
{
    if (m_held.empty())
        return true;
    m_held.resize(kBlock, '\0');
    bool ok = Run(true, m_held.data(), kBlock, out);
    m_held.clear();
    return ok;
}

bool CSevenZipAes::ParseProperties(const std::string& properties, unsigned* cycles, std::string* salt,
                                   std::string* iv)
{
    if (properties.empty())
        return false;
    unsigned first = static_cast<unsigned char>(properties[0]);
    *cycles = first & 0x3F;
    salt->clear();
    iv->assign(kBlock, '\0');
    if ((first & 0xC0) == 0)
        return properties.size() == 1;
    if (properties.size() < 2)
        return false;
    unsigned second = static_cast<unsigned char>(properties[1]);
    size_t saltSize = ((first >> 7) & 1) + (second >> 4);
    size_t ivSize = ((first >> 6) & 1) + (second & 0x0F);
    if (properties.size() != 2 + saltSize + ivSize)
        return false;
    salt->assign(properties, 2, saltSize);
    iv->replace(0, ivSize, properties, 2 + saltSize, ivSize);
    return true;
}

bool CSevenZipAes::StartDecrypting(const std::string& iv)
{
    if (!m_haveKey || iv.size() != kBlock)
        return false;
    memcpy(m_iv, iv.data(), kBlock);
    return true;
}

bool CSevenZipAes::Decrypt(const char* data, size_t size, std::string* out)
{
    return size % kBlock == 0 && Run(false, data, size, out);
}

bool CSevenZipAes::Run(bool encrypt, const char* data, size_t size, std::string* out)
{
    size_t at = out->size();
    out->resize(at + size);
    ULONG written = 0;
    PUCHAR input = reinterpret_cast<PUCHAR>(const_cast<char*>(data));
    PUCHAR output = reinterpret_cast<PUCHAR>(&(*out)[at]);
    // CBC: the IV buffer is left holding the last cipher block, so the next
    // call goes on from it.
    NTSTATUS status = encrypt ? BCryptEncrypt(m_handle.Get(), input, static_cast<ULONG>(size), NULL, m_iv, kBlock,
                                              output, static_cast<ULONG>(size), &written, 0)
                              : BCryptDecrypt(m_handle.Get(), input, static_cast<ULONG>(size), NULL, m_iv, kBlock,
                                              output, static_cast<ULONG>(size), &written, 0);
    if (!Succeeded(status) || written != size)
    {
        out->resize(at);
        return false;
    }
    return true;
}
