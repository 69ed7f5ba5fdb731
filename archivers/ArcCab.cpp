#include "archivers/ArcCab.h"

#include "archivers/CabSettings.h"

int CArcCab::Init()
{
    m_id = 4;
    m_name = "CAB";
    m_extension = ".cab";
    m_displayName = "Cab32.dll　-　CAB書庫(*.cab)";
    m_selfExtracting = 0;
    m_supportsAppend = 0;
    m_supportsPassword = 0;
    m_available = m_dll.Load();
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

int CArcCab::WriteSettings(const char* iniPath)
{
    return WriteCabSettings(iniPath);
}

int CArcCab::ReadSettings(int layoutVersion, const char* iniPath)
{
    return ReadCabSettings(layoutVersion, iniPath);
}

int CArcCab::BeginList(CCompressJob* job)
{
    m_lists.Begin();
    m_job = job;
    return 1;
}

int CArcCab::AddFile(const char* path, const char* baseFolder)
{
    return m_lists.Add(path, baseFolder);
}

void CArcCab::EndList()
{
    m_lists.End();
}

void CArcCab::Cleanup()
{
    m_lists.Cleanup();
}
