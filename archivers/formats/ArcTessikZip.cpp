#include "archivers/formats/ArcTessikZip.h"

#include "archivers/formats/FormatRegistry.h"
#include "archivers/formats/PageRequest.h"
#include "archivers/formatsettings/TessikZipSettings.h"
#include "settings/CompressJob.h"

#include <stdio.h>

namespace {

// Inside the DLL's double quotes "" stands for one quote; backslashes are
// taken as they are.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text)
    {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

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

int CArcTessikZip::AddFile(const char* path, const char* baseFolder)
{
    return m_lists.Add(path, baseFolder);
}

void CArcTessikZip::BuildTessikZipCommand(const std::string& outputPath, std::string* commandLine) const
{
    const CTessikZipSettings& settings = g_tessikZipSettings;
    char number[32];
    snprintf(number, sizeof(number), "-l%d ", settings.Level);
    std::string options = number;
    options += settings.Method == ETessikZipMethod::Store ? "-m:store " : "-m:deflate ";
    if (m_job->UsePassword)
    {
        options += Quoted("-p" + m_job->Password) + " ";
        options += settings.Encryption == ETessikZipEncryption::ZipCrypto ? "-e:zipcrypto " : "-e:aes ";
    }
    options += settings.Names == ETessikZipNames::ShiftJis ? "-n:sjis " : "-n:utf8 ";
    snprintf(number, sizeof(number), "-t%d ", settings.Threads);
    options += number;
    if (!m_job->Setting.StatusDialog)
        options += "-i ";

    *commandLine = JobText("a " + options + Quoted(outputPath) + " ");
    const CBaseFolderListFiles::CMap& files = m_lists.Files();
    for (CBaseFolderListFiles::CMap::const_iterator entry = files.begin(); entry != files.end(); ++entry)
        *commandLine += "\"" + entry->first + "\\\" \"@" + JobText(entry->second) + "\" ";
}

int CArcTessikZip::Run(HWND owner, char* buffer, size_t size)
{
    std::string commandLine;
    BuildTessikZipCommand(m_job->OutputFile, &commandLine);
    m_dll.Load();
    int result = m_dll.Command(owner, commandLine.c_str(), buffer, static_cast<DWORD>(size));
    m_dll.Unload();
    return result;
}
