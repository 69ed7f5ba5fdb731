#pragma once

#include <windows.h>
#include <objidl.h>

// Owns a storage medium received from IDataObject::GetData.
class CStorageMedium
{
public:
    CStorageMedium() : m_medium() {}
    ~CStorageMedium() { ReleaseStgMedium(&m_medium); }

    STGMEDIUM* Out() { return &m_medium; }
    HGLOBAL Global() const { return m_medium.hGlobal; }

private:
    CStorageMedium(const CStorageMedium&);
    CStorageMedium& operator=(const CStorageMedium&);

    STGMEDIUM m_medium;
};

// Keeps a global memory block locked for its lifetime.
class CGlobalLock
{
public:
    explicit CGlobalLock(HGLOBAL memory) : m_memory(memory), m_data(GlobalLock(memory)) {}
    ~CGlobalLock()
    {
        if (m_data != NULL)
            GlobalUnlock(m_memory);
    }

    void* Data() const { return m_data; }

private:
    CGlobalLock(const CGlobalLock&);
    CGlobalLock& operator=(const CGlobalLock&);

    HGLOBAL m_memory;
    void* m_data;
};
