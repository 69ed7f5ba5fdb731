#include "archivers/ArcLhaSfx.h"

int CArcLhaSfx::Init()
{
    m_id = 7;
    m_name = "LHASFX";
    m_extension = ".exe";
    m_displayName = "Unlha32.dll　-　LHA自己解凍(*.exe)";
    m_selfExtracting = 1;
    m_supportsAppend = 0;
    m_supportsPassword = 0;
    m_available = m_dll.Load();
    m_dll.Unload();
    return m_available;
}
