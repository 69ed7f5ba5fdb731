#include "archivers/ArcLha.h"

#include "archivers/BaseFolderListFiles.h"
#include "archivers/LhaSettings.h"

int CArcLha::Init()
{
    m_id = 6;
    m_name = "LHA";
    m_extension = ".lzh";
    m_displayName = "Unlha32.dll　-　LHA書庫(*.lzh)";
    m_selfExtracting = 0;
    m_supportsAppend = 1;
    m_supportsPassword = 0;
    m_available = m_dll.Load();
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

int CArcLha::WriteSettings(const char* iniPath)
{
    return WriteLhaSettings(iniPath);
}

int CArcLha::ReadSettings(int layoutVersion, const char* iniPath)
{
    return ReadLhaSettings(layoutVersion, iniPath);
}

int CArcLha::BeginList(CCompressJob* job)
{
    if (!m_list.Begin())
        return 0;
    m_job = job;
    return 1;
}

int CArcLha::AddFile(const char* path, const char* baseFolder)
{
    return m_list.Stream().Print("\"%s\\\" \"%s\" -x1\n", baseFolder, RelativeToBase(path, baseFolder)) >= 0;
}

void CArcLha::EndList()
{
    m_list.End();
}

void CArcLha::Cleanup()
{
    m_list.Cleanup();
}
