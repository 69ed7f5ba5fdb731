#pragma once

#include <windows.h>

// The shell's path completion for edit fields (SHAutoComplete). The library is
// loaded and the function looked up once, on first use, and the library held
// until the object goes away (loading it costs start-up time that a run
// without the field never needs); the component model is initialised for the
// thread once and uninitialised again with the object.
class CPathCompletion
{
public:
    explicit CPathCompletion(const char* libraryName = "SHLWAPI.DLL");
    ~CPathCompletion();

    // Initialises the component model for the calling thread, the first time only.
    void InitializeCom();
    // Switches completion on for the edit field; E_FAIL when the library or
    // its function is missing.
    HRESULT Enable(HWND edit, DWORD flags);

private:
    CPathCompletion(const CPathCompletion&);
    CPathCompletion& operator=(const CPathCompletion&);

    typedef HRESULT(WINAPI* AutoCompleteEntry)(HWND, DWORD);

    const char* m_libraryName;
    HMODULE m_library;
    bool m_comTried;
    bool m_comInitialized;
    bool m_lookedUp;
    AutoCompleteEntry m_entry;
};
