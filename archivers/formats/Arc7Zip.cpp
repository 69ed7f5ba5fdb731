#include "archivers/formats/Arc7Zip.h"

#include "archivers/formats/PageRequest.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "settings/CompressJob.h"

#include <stdio.h>

namespace {

const char* OnOff(bool value)
{
    return value ? "on" : "off";
}

}  // namespace

void CArc7Zip::ProbeDll()
{
    m_available = m_dll.Load();
}

int CArc7Zip::Init()
{
    Describe({0, "7Z", ".7z", "7-Zip32.dll　-　7Z書庫(*.7z)", 0, 1, 0});
    ProbeDll();
    ProbeUnicodeMode();
    g_sevenZipSettings.Version = m_dll.GetVersion();
    m_dll.Unload();
    return m_available;
}

int CArc7Zip::IsUsed()
{
    return g_sevenZipSettings.Use ? 1 : 0;
}

int CArc7Zip::GetPageCount()
{
    return 2;
}

int CArc7Zip::CreatePage(CPageRequest* request, int index)
{
    switch (index)
    {
    case 0:
        request->Caption = "7-Zip32.dll (7Z形式)";
        return request->CreatePage(kPageSevenZip);
    case 1:
        request->Caption = "7-Zip32.dll (ZIP形式)";
        return request->CreatePage(kPageSevenZipZip);
    }
    return 0;
}

int CArc7Zip::WriteSettings(CIniFile& ini)
{
    return WriteSevenZipSettings(ini);
}

int CArc7Zip::ReadSettings(int layoutVersion, const char* iniPath)
{
    return ReadSevenZipSettings(layoutVersion, iniPath);
}

int CArc7Zip::AddFile(const char* path, const char* baseFolder)
{
    return m_lists.Add(path, baseFolder);
}

void CArc7Zip::AppendPassword(std::string* options) const
{
    if (m_job->UsePassword)
        *options += "\"-p" + m_job->Password + "\" ";
}

void CArc7Zip::AppendListFiles(std::string* commandLine) const
{
    const CBaseFolderListFiles::CMap& files = m_lists.Files();
    for (CBaseFolderListFiles::CMap::const_iterator entry = files.begin(); entry != files.end(); ++entry)
        *commandLine += "\"" + entry->first + "\\\" -ir-\"@" + JobText(entry->second) + "\" ";
}

std::string CArc7Zip::ListCharsetSwitch() const
{
    // 7-Zip reads a list file in the ANSI code page unless told otherwise,
    // also in the DLL's UTF-8 mode.
    return Utf8Names() ? "-scsUTF-8 " : "";
}

void CArc7Zip::BuildCommand(const char* outputPath, std::string* commandLine)
{
    const CSevenZipSettings& settings = g_sevenZipSettings;
    std::string options;
    if (m_selfExtracting)
    {
        const std::string& module = settings.SevenZSfx;
        options += "-sfx" + (module == "builtin" ? std::string() : module) + " ";
    }
    if (!m_job->Setting.StatusDialog)
        options += "-hide ";
    AppendPassword(&options);
    if (settings.SevenZCompCommandUse)
    {
        options += settings.SevenZCompCommand;
    }
    else
    {
        char level[32];
        snprintf(level, sizeof(level), "-mx=%d ", settings.SevenZMode);
        options += level;
        options += std::string("-ms=") + OnOff(settings.SevenZSolid) + " ";
        options += std::string("-mf=") + OnOff(settings.SevenZFilter) + " ";
        options += std::string("-mhc=") + OnOff(settings.SevenZHeaderComp) + " ";
        options += std::string("-mhcf=") + OnOff(settings.SevenZHeaderCompFull) + " ";
        options += std::string("-mhe=") + OnOff(settings.SevenZHeaderCrypt) + " ";
        options += "-m0=" + settings.SevenZAlgorithm;
    }
    options += " ";

    *commandLine = JobText("a -t7z " + options + ListCharsetSwitch() + "\"" + outputPath + "\" ");
    AppendListFiles(commandLine);
}

int CArc7Zip::Run(HWND owner, char* buffer, size_t size)
{
    std::string commandLine;
    BuildCommand(m_job->OutputFile.c_str(), &commandLine);
    m_dll.Load();
    int result = m_dll.Command(owner, commandLine.c_str(), buffer, static_cast<DWORD>(size));
    m_dll.Unload();
    return result;
}

bool CArc7Zip::NamesNeedPassword() const
{
    if (m_job == nullptr || !m_job->UsePassword)
        return false;
    const CSevenZipSettings& settings = g_sevenZipSettings;
    if (settings.SevenZCompCommandUse)
        return settings.SevenZCompCommand.find("-mhe") != std::string::npos;
    return settings.SevenZHeaderCrypt;
}
