#include "archivers/formats/ArcCab.h"

#include "archivers/formatsettings/CabSettings.h"
#include "archivers/formats/PageRequest.h"
#include "settings/CompressJob.h"

#include <stdio.h>

namespace {

// Values of CabMode.
enum
{
    kCabStore = 0,
    kCabMszip = 1,
    kCabLzx = 2,
};

}  // namespace

int CArcCab::Init()
{
    Describe({4, "CAB", ".cab", "Cab32.dll　-　CAB書庫(*.cab)", 0, 0, 0});
    m_available = m_dll.Load();
    ProbeUnicodeMode();
    g_cabSettings.Version = m_dll.GetVersion();
    m_dll.Unload();
    return m_available;
}

int CArcCab::IsUsed()
{
    return g_cabSettings.Use ? 1 : 0;
}

int CArcCab::GetPageCount()
{
    return 1;
}

int CArcCab::CreatePage(CPageRequest* request, int index)
{
    if (index != 0)
        return 0;
    request->Caption = "Cab32.dll";
    return request->CreatePage(kPageCab);
}

int CArcCab::WriteSettings(CIniFile& ini)
{
    return WriteCabSettings(ini);
}

int CArcCab::ReadSettings(int layoutVersion, const char* iniPath)
{
    return ReadCabSettings(layoutVersion, iniPath);
}

int CArcCab::AddFile(const char* path, const char* baseFolder)
{
    return m_lists.Add(path, baseFolder);
}

void CArcCab::BuildCabCommand(const std::string& outputPath, std::string* commandLine) const
{
    const CCabSettings& settings = g_cabSettings;
    std::string options;
    char number[32];
    switch (settings.CabMode)
    {
    case kCabStore:
        options += "-ms ";
        break;
    case kCabMszip:
        options += "-mz ";
        break;
    case kCabLzx:
        snprintf(number, sizeof(number), "-ml:%d ", settings.LzxLevel);
        options += number;
        break;
    }
    if (!m_job->Setting.StatusDialog)
        options += "-i ";
    if (settings.MultiVolume)
    {
        snprintf(number, sizeof(number), "-v:%d ", settings.MultiVolumeSize);
        options += number;
    }

    *commandLine = JobText("-a " + options + "\"" + outputPath + "\" ");
    const CBaseFolderListFiles::CMap& files = m_lists.Files();
    for (CBaseFolderListFiles::CMap::const_iterator entry = files.begin(); entry != files.end(); ++entry)
        *commandLine += "\"" + entry->first + "\\\" \"@" + JobText(entry->second) + "\" ";
}

int CArcCab::Run(HWND owner, char* buffer, size_t size)
{
    std::string commandLine;
    BuildCabCommand(m_job->OutputFile, &commandLine);
    m_dll.Load();
    int result = m_dll.Command(owner, commandLine.c_str(), buffer, static_cast<DWORD>(size));
    m_dll.Unload();
    return result;
}
