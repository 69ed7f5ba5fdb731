#include "archivers/dlls/ArchiverDll.h"

#include <string.h>

namespace {

// The DLLs the probe of the moment did not find.
std::vector<std::string> s_absentWhileProbing;

}  // namespace

HMODULE LoadArchiverLibrary(const char* name)
{
    for (const std::string& absent : s_absentWhileProbing)
        if (lstrcmpiA(absent.c_str(), name) == 0)
        {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return NULL;
        }
    return LoadLibraryA(name);
}

CDllProbe::CDllProbe(const char* const* names, size_t count)
{
    s_absentWhileProbing.clear();
    for (size_t i = 0; i < count; ++i)
    {
        HMODULE module = LoadLibraryA(names[i]);
        if (module != NULL)
            m_held.emplace_back(new CScopedLibrary(module));
        else
            s_absentWhileProbing.push_back(names[i]);
    }
}

CDllProbe::~CDllProbe()
{
    s_absentWhileProbing.clear();
}

CArchiverDll::CArchiverDll(const char* dllName, const char* prefix)
    : m_module(NULL), m_dllName(dllName), m_prefix(prefix), m_unicodeModeOn(false)
{
    ForgetEntries();
}

CArchiverDll::~CArchiverDll()
{
    SetUnicodeMode(false);
    Unload();
}

void CArchiverDll::ForgetEntries()
{
    m_command = NULL;
    m_version = NULL;
    m_openArchive = NULL;
    m_closeArchive = NULL;
    m_isSfxFile = NULL;
    m_checkArchive = NULL;
    m_setUnicodeMode = NULL;
    m_findFirst = NULL;
    m_findNext = NULL;
    m_getOriginalSizeEx = NULL;
}

void CArchiverDll::ResolveOptional(const char* suffix, FARPROC* slot)
{
    if (*slot == NULL)
        *slot = GetProcAddress(m_module, (std::string(m_prefix) + suffix).c_str());
}

int CArchiverDll::LoadWithEntries(const CEntry* entries, size_t count)
{
    if (m_module != NULL)
        return 1;
    m_module = LoadArchiverLibrary(m_dllName);
    if (m_module == NULL)
        return 0;
    for (size_t i = 0; i < count; ++i)
    {
        *entries[i].slot = GetProcAddress(m_module, entries[i].name);
        if (*entries[i].slot == NULL)
        {
            Unload();
            return 0;
        }
    }
    ResolveOptional("SetUnicodeMode", reinterpret_cast<FARPROC*>(&m_setUnicodeMode));
    ResolveOptional("OpenArchive", reinterpret_cast<FARPROC*>(&m_openArchive));
    ResolveOptional("CloseArchive", reinterpret_cast<FARPROC*>(&m_closeArchive));
    ResolveOptional("FindFirst", reinterpret_cast<FARPROC*>(&m_findFirst));
    ResolveOptional("FindNext", reinterpret_cast<FARPROC*>(&m_findNext));
    ResolveOptional("GetOriginalSizeEx", reinterpret_cast<FARPROC*>(&m_getOriginalSizeEx));
    ResolveOptional("CheckArchive", reinterpret_cast<FARPROC*>(&m_checkArchive));
    return 1;
}

int CArchiverDll::SetUnicodeMode(bool on)
{
    if (!on)
    {
        if (!m_unicodeModeOn)
            return 1;
        m_unicodeModeOn = false;
        int result = m_setUnicodeMode(FALSE) ? 1 : 0;
        Unload();
        return result;
    }
    if (!Load())
        return 0;
    m_unicodeModeOn = m_setUnicodeMode != NULL && m_setUnicodeMode(TRUE) != FALSE;
    if (!m_unicodeModeOn)
        Unload();
    return m_unicodeModeOn ? 1 : 0;
}

int CArchiverDll::Hold(bool on)
{
    if (!on)
    {
        m_held = false;
        Unload();
        return 1;
    }
    if (!Load())
        return 0;
    m_held = true;
    return 1;
}

int CArchiverDll::CheckArchive(const char* fileName, int mode)
{
    if (!Load() || m_checkArchive == NULL)
        return 0;
    return m_checkArchive(fileName, mode);
}

bool CArchiverDll::HasListing() const
{
    return m_openArchive != NULL && m_closeArchive != NULL && m_findFirst != NULL && m_findNext != NULL;
}

EListResult CArchiverDll::ListArchive(const char* fileName, std::vector<CListedEntry>* entries, const CListWatch& goOn)
{
    entries->clear();
    if (!Load())
        return EListResult::NoListing;
    EListResult result = EListResult::NoListing;
    if (HasListing())
    {
        HANDLE archive = m_openArchive(NULL, fileName, 0);
        if (archive == NULL)
            result = EListResult::NotOpened;
        else
        {
            result = ReadEntries(archive, entries, goOn);
            m_closeArchive(archive);
        }
    }
    Unload();
    return result;
}

EListResult CArchiverDll::ReadEntries(HANDLE archive, std::vector<CListedEntry>* entries, const CListWatch& goOn)
{
    const int kFound = 0;
    const int kNoMore = -1;
    INDIVIDUALINFO info;
    memset(&info, 0, sizeof(info));
    for (int found = m_findFirst(archive, "*", &info); found != kNoMore; found = m_findNext(archive, &info))
    {
        if (found != kFound)
            return EListResult::Failed;
        info.szFileName[sizeof(info.szFileName) - 1] = '\0';
        info.szAttribute[sizeof(info.szAttribute) - 1] = '\0';
        CListedEntry entry;
        entry.name = info.szFileName;
        entry.size = info.dwOriginalSize;
        __int64 size = 0;
        if (m_getOriginalSizeEx != NULL && m_getOriginalSizeEx(archive, &size) && size >= 0)
            entry.size = static_cast<ULONGLONG>(size);
        // A name that ends in a separator is a folder too; that is told from
        // the name once its text is known (a Shift_JIS trail byte can be '\\').
        entry.folder = strchr(info.szAttribute, 'd') != NULL || strchr(info.szAttribute, 'D') != NULL;
        entries->push_back(entry);
        memset(&info, 0, sizeof(info));
        if (goOn && !goOn())
            return EListResult::Stopped;
    }
    return EListResult::Listed;
}

int CArchiverDll::Unload()
{
    if (m_module == NULL || m_unicodeModeOn || m_held)
        return 0;
    int result = FreeLibrary(m_module);
    m_module = NULL;
    ForgetEntries();
    return result;
}

int CArchiverDll::Command(HWND window, const char* commandLine, char* output, DWORD outputSize)
{
    if (!Load())
        return -1;
    return m_command(window, commandLine, output, outputSize);
}

WORD CArchiverDll::GetVersion()
{
    if (!Load())
        return 0;
    return m_version();
}

int CArchiverDll::GetDllName(char* buffer, size_t size) const
{
    size_t length = strlen(m_dllName);
    if (size <= length)
        return 0;
    memcpy(buffer, m_dllName, length + 1);
    return 1;
}
