#include "tests/support/TessikZipRun.h"

#include "common/ArchiverApi.h"
#include "tests/support/TestFolder.h"

#include <windows.h>

CTessikZipDll::CTessikZipDll(const char* relativePath, const char* prefix)
    : m_module(LoadLibraryA((TestExeFolder() + "\\" + relativePath).c_str())), m_prefix(prefix)
{
}

CTessikZipDll::~CTessikZipDll()
{
    if (m_module != nullptr)
        FreeLibrary(static_cast<HMODULE>(m_module));
}

void CTessikZipDll::SetUnicodeMode(bool on)
{
    ArchiverSetUnicodeMode* entry = reinterpret_cast<ArchiverSetUnicodeMode*>(
        GetProcAddress(static_cast<HMODULE>(m_module), (m_prefix + "SetUnicodeMode").c_str()));
    if (entry != nullptr)
        entry(on ? TRUE : FALSE);
}

CZipRunResult CTessikZipDll::Run(const std::string& line)
{
    CZipRunResult result;
    ArchiverCommand* entry =
        reinterpret_cast<ArchiverCommand*>(GetProcAddress(static_cast<HMODULE>(m_module), m_prefix.c_str()));
    if (entry == nullptr)
        return result;
    char output[4096] = {};
    result.code = entry(NULL, line.c_str(), output, sizeof(output));
    result.text = output;
    return result;
}
