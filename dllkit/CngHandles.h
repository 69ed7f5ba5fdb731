#pragma once

#include <windows.h>
#include <bcrypt.h>

// Scoped owners of the system's CNG handles (bcrypt.dll), one per kind: the
// destructor gives back what the object holds, so no early return leaks it.
// None of them can be copied.

// An algorithm provider of BCryptOpenAlgorithmProvider.
class CScopedAlgorithm
{
public:
    CScopedAlgorithm() : m_algorithm(NULL) {}
    ~CScopedAlgorithm()
    {
        if (m_algorithm != NULL)
            BCryptCloseAlgorithmProvider(m_algorithm, 0);
    }

    BCRYPT_ALG_HANDLE Get() const { return m_algorithm; }
    // For the open call to fill in; nothing may be held yet.
    BCRYPT_ALG_HANDLE* Out() { return &m_algorithm; }

private:
    CScopedAlgorithm(const CScopedAlgorithm&) = delete;
    CScopedAlgorithm& operator=(const CScopedAlgorithm&) = delete;

    BCRYPT_ALG_HANDLE m_algorithm;
};

// A key of BCryptGenerateSymmetricKey.
class CScopedKey
{
public:
    CScopedKey() : m_key(NULL) {}
    ~CScopedKey()
    {
        if (m_key != NULL)
            BCryptDestroyKey(m_key);
    }

    BCRYPT_KEY_HANDLE Get() const { return m_key; }
    BCRYPT_KEY_HANDLE* Out() { return &m_key; }

private:
    CScopedKey(const CScopedKey&) = delete;
    CScopedKey& operator=(const CScopedKey&) = delete;

    BCRYPT_KEY_HANDLE m_key;
};

// A hash (or HMAC) object of BCryptCreateHash.
class CScopedHash
{
public:
    CScopedHash() : m_hash(NULL) {}
    ~CScopedHash()
    {
        if (m_hash != NULL)
            BCryptDestroyHash(m_hash);
    }

    BCRYPT_HASH_HANDLE Get() const { return m_hash; }
    BCRYPT_HASH_HANDLE* Out() { return &m_hash; }

private:
    CScopedHash(const CScopedHash&) = delete;
    CScopedHash& operator=(const CScopedHash&) = delete;

    BCRYPT_HASH_HANDLE m_hash;
};
