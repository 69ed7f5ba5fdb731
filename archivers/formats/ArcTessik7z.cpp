// The T7Z builder: its description, its page and section, and its switches.
#include "archivers/formats/ArcTessik7z.h"

#include "archivers/formats/FormatRegistry.h"
#include "archivers/formats/PageRequest.h"
#include "archivers/formatsettings/Tessik7zSettings.h"

#include <stdio.h>

int CArcTessik7z::Init()
{
    Describe({kOwnSevenZipFormatId, "T7Z", ".7z", "Tessik　-　7Z書庫(*.7z)", 0, 1, 1});
    m_available = m_dll.Load();
    ProbeUnicodeMode();
    g_tessik7zSettings.Version = m_dll.GetVersion();
    m_dll.Unload();
    return m_available;
}

int CArcTessik7z::IsUsed()
{
    return g_tessik7zSettings.Use ? 1 : 0;
}

int CArcTessik7z::GetPageCount()
{
    return 1;
}

int CArcTessik7z::CreatePage(CPageRequest* request, int index)
{
    if (index != 0)
        return 0;
    request->Caption = "Tessik7z.dll";
    return request->CreatePage(kPageTessik7z);
}

int CArcTessik7z::WriteSettings(CIniFile& ini)
{
    return WriteTessik7zSettings(ini);
}

int CArcTessik7z::ReadSettings(int layoutVersion, const char* iniPath)
{
    return ReadTessik7zSettings(layoutVersion, iniPath);
}

bool CArcTessik7z::NamesNeedPassword() const
{
    return m_job != nullptr && m_job->UsePassword && g_tessik7zSettings.EncryptHeader;
}

// A block's limits mean nothing to an archive that is not solid, and the DLL
// refuses the header switch without a password: neither is written then.
std::string CArcTessik7z::Switches() const
{
    const CTessik7zSettings& settings = g_tessik7zSettings;
    char number[32];
    snprintf(number, sizeof(number), "-l%d ", settings.Level);
    std::string options = number;
    options += settings.Solid ? "-s:on " : "-s:off ";
    if (settings.Solid && settings.SolidBlock > 0)
    {
        snprintf(number, sizeof(number), "-sb:%d ", settings.SolidBlock);
        options += number;
    }
    if (settings.Solid && settings.SolidFiles > 0)
    {
        snprintf(number, sizeof(number), "-sf:%d ", settings.SolidFiles);
        options += number;
    }
    if (m_job->UsePassword)
    {
        options += PasswordSwitch();
        if (settings.EncryptHeader)
            options += "-he ";
    }
    snprintf(number, sizeof(number), "-t%d ", settings.Threads);
    options += number;
    if (!m_job->Setting.StatusDialog)
        options += "-i ";
    return options;
}
