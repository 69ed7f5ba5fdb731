#include "ui/framework/PathCompletion.h"

#include <objbase.h>

CPathCompletion::CPathCompletion(const char* libraryName)
    : m_libraryName(libraryName), m_library(NULL), m_comTried(false), m_comInitialized(false), m_lookedUp(false),
      m_entry(NULL)
{
}

CPathCompletion::~CPathCompletion()
{
    // S_FALSE (already initialised on this thread) also counts and is balanced.
    if (m_comInitialized)
        CoUninitialize();
    if (m_library != NULL)
        FreeLibrary(m_library);
}

void CPathCompletion::InitializeCom()
{
    if (m_comTried)
        return;
    m_comTried = true;
    m_comInitialized = SUCCEEDED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED));
}

HRESULT CPathCompletion::Enable(HWND edit, DWORD flags)
{
    if (!m_lookedUp)
    {
        m_lookedUp = true;
        m_library = LoadLibraryA(m_libraryName);
        if (m_library != NULL)
            m_entry = reinterpret_cast<AutoCompleteEntry>(GetProcAddress(m_library, "SHAutoComplete"));
    }
    if (m_entry == NULL)
        return E_FAIL;
    InitializeCom();
    return m_entry(edit, flags);
}
