#include "tests/archivers/StandInFormats.h"

#include "archivers/formatsettings/CabSettings.h"
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/LhaSettings.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "archivers/formatsettings/Tessik7zSettings.h"
#include "archivers/formatsettings/TessikZipSettings.h"
#include "archivers/formatsettings/ZipSettings.h"

#include <windows.h>

const std::vector<std::string> kSevenZipStandIns = {"7-Zip32.dll", "7z.sfx", "7zC.sfx", "7zCon.sfx"};
const std::vector<std::string> kAllStandIns = {"7-Zip32.dll", "7z.sfx",    "7zC.sfx",   "7zCon.sfx",  "Zip32j.dll",
                                               "zip32.dll",   "Cab32.dll", "Unlha32.dll"};
const std::vector<std::string> kAllStandInsAndOwnDlls = {"7-Zip32.dll", "7z.sfx",      "7zC.sfx",       "7zCon.sfx",
                                                         "Zip32j.dll",  "zip32.dll",   "Cab32.dll",     "Unlha32.dll",
                                                         "TessikZip.dll", "Tessik7z.dll"};

CStandInFormats::CStandInFormats(const std::vector<std::string>& files, const std::string& variant)
{
    InstallStandIns(m_folder.Path(), files, variant);
    SetDllDirectoryA(m_folder.Path().c_str());
}

CStandInFormats::~CStandInFormats()
{
    DestroyAllFormats();
    SetDllDirectoryA(NULL);
}

void CStandInFormats::Script(const std::string& dll, const std::string& script) const
{
    WriteStandInScript(m_folder.Path(), dll, script);
}

int CStandInFormats::Register() const
{
    g_sevenZipSettings = CSevenZipSettings();
    g_cabSettings = CCabSettings();
    g_lhaSettings = CLhaSettings();
    g_zipSettings = CZipSettings();
    g_tessikZipSettings = CTessikZipSettings();
    g_tessik7zSettings = CTessik7zSettings();
    return RegisterAllFormats();
}

std::vector<int> CStandInFormats::RegisteredIds() const
{
    std::vector<int> ids;
    for (const auto& entry : GetFormatRegistry())
        ids.push_back(entry.first);
    return ids;
}

std::vector<CStandInCall> CStandInFormats::Calls(const std::string& dll, const std::string& entry) const
{
    return CallsOf(ReadStandInJournal(m_folder.Path(), dll), entry);
}

void CStandInFormats::ResetJournal(const std::string& dll) const
{
    ResetStandInJournal(m_folder.Path(), dll);
}

CCompressJob MakeJob(int formatId, const std::string& outputFile)
{
    CCompressJob job;
    job.Setting = CAppSetting();
    job.Setting.DefaultArcType = formatId;
    job.OutputFile = outputFile;
    return job;
}

namespace {

std::string GetVariable(const char* name)
{
    char value[1024] = "";
    GetEnvironmentVariableA(name, value, sizeof(value));
    return value;
}

}  // namespace

CTempFolderOverride::CTempFolderOverride(const std::string& folder)
    : m_tmp(GetVariable("TMP")), m_temp(GetVariable("TEMP"))
{
    SetEnvironmentVariableA("TMP", folder.c_str());
    SetEnvironmentVariableA("TEMP", folder.c_str());
}

CTempFolderOverride::~CTempFolderOverride()
{
    SetEnvironmentVariableA("TMP", m_tmp.empty() ? NULL : m_tmp.c_str());
    SetEnvironmentVariableA("TEMP", m_temp.empty() ? NULL : m_temp.c_str());
}
