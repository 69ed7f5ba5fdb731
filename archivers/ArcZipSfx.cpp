#include "archivers/ArcZipSfx.h"

int CArcZipSfx::Init()
{
    m_id = 9;
    m_name = "ZIPSFX";
    m_extension = ".exe";
    m_displayName = "Zip32j.dll　-　ZIP自己解凍(*.exe)";
    m_selfExtracting = 1;
    m_supportsAppend = 0;
    m_available = m_dll.Load();
    m_supportsPassword = m_dll.QueryEncryption() ? 1 : 0;
    m_dll.Unload();
    return m_available;
}
