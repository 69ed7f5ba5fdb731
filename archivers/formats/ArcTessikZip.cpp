#include "archivers/formats/ArcTessikZip.h"

#include "archivers/formats/FormatRegistry.h"
#include "archivers/formats/PageRequest.h"
#include "archivers/formatsettings/TessikZipSettings.h"

#include <stdio.h>

int CArcTessikZip::Init()
{
    Describe({kOwnZipFormatId, "TZIP", ".zip", "Tessik　-　ZIP書庫(*.zip)", 0, 1, 1});
    m_available = m_dll.Load();
    ProbeUnicodeMode();
    g_tessikZipSettings.Version = m_dll.GetVersion();
    m_dll.Unload();
    return m_available;
}

int CArcTessikZip::IsUsed()
{
    return g_tessikZipSettings.Use ? 1 : 0;
}

int CArcTessikZip::GetPageCount()
{
    return 1;
}

int CArcTessikZip::CreatePage(CPageRequest* request, int index)
{
    if (index != 0)
        return 0;
    request->Caption = "TessikZip.dll";
    return request->CreatePage(kPageTessikZip);
}

int CArcTessikZip::WriteSettings(CIniFile& ini)
{
    return WriteTessikZipSettings(ini);
}

int CArcTessikZip::ReadSettings(int layoutVersion, const char* iniPath)
{
    return ReadTessikZipSettings(layoutVersion, iniPath);
}

std::string CArcTessikZip::Switches() const
{
    const CTessikZipSettings& settings = g_tessikZipSettings;
    char number[32];
    snprintf(number, sizeof(number), "-l%d ", settings.Level);
    std::string options = number;
    options += settings.Method == ETessikZipMethod::Store ? "-m:store " : "-m:deflate ";
    if (m_job->UsePassword)
    {
        options += PasswordSwitch();
        options += settings.Encryption == ETessikZipEncryption::ZipCrypto ? "-e:zipcrypto " : "-e:aes ";
    }
    options += settings.Names == ETessikZipNames::ShiftJis ? "-n:sjis " : "-n:utf8 ";
    snprintf(number, sizeof(number), "-t%d ", settings.Threads);
    options += number;
    if (!m_job->Setting.StatusDialog)
        options += "-i ";
    return options;
}
