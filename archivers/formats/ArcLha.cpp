#include "archivers/formats/ArcLha.h"

#include "archivers/lists/BaseFolderListFiles.h"
#include "archivers/formatsettings/LhaSettings.h"
#include "archivers/formats/PageRequest.h"
#include "settings/CompressJob.h"

namespace {

// Values of LhaMode.
enum
{
    kLhaLh5 = 0,
    kLhaLh6 = 1,
    kLhaLh7 = 2,
};

}  // namespace

int CArcLha::Init()
{
    Describe({6, "LHA", ".lzh", "Unlha32.dll　-　LHA書庫(*.lzh)", 0, 0, 1});
    m_available = m_dll.Load();
    ProbeUnicodeMode();
    g_lhaSettings.Version = m_dll.GetVersion();
    m_dll.Unload();
    return m_available;
}

int CArcLha::IsUsed()
{
    return g_lhaSettings.Use ? 1 : 0;
}

int CArcLha::GetPageCount()
{
    return 1;
}

int CArcLha::CreatePage(CPageRequest* request, int index)
{
    if (index != 0)
        return 0;
    request->Caption = "Unlha32.dll";
    return request->CreatePage(kPageLha);
}

int CArcLha::WriteSettings(CIniFile& ini)
{
    return WriteLhaSettings(ini);
}

int CArcLha::ReadSettings(int layoutVersion, const char* iniPath)
{
    return ReadLhaSettings(layoutVersion, iniPath);
}

int CArcLha::AddFile(const char* path, const char* baseFolder)
{
    return m_lists.Stream().Print("\"%s\\\" \"%s\" -x1\n", baseFolder, RelativeToBase(path, baseFolder)) >= 0;
}

void CArcLha::BuildLhaCommand(const std::string& outputPath, std::string* commandLine) const
{
    std::string options;
    if (!m_job->Setting.StatusDialog)
        options += "-n1 ";
    switch (g_lhaSettings.LhaMode)
    {
    case kLhaLh5:
        options += "-jm2 ";
        break;
    case kLhaLh6:
        options += "-jm3 ";
        break;
    case kLhaLh7:
        options += "-jm4 ";
        break;
    }
    options += "-a1 ";
    *commandLine = JobText("a " + options + "\"" + outputPath + "\" \"@" + m_lists.Path() + "\"");
}

int CArcLha::Run(HWND owner, char* buffer, size_t size)
{
    std::string commandLine;
    BuildLhaCommand(m_job->OutputFile, &commandLine);
    m_dll.Load();
    int result = m_dll.Command(owner, commandLine.c_str(), buffer, static_cast<DWORD>(size));
    m_dll.Unload();
    return result;
}
