#include "archivers/ArcCabSfx.h"

int CArcCabSfx::Init()
{
    m_id = 5;
    m_name = "CABSFX";
    m_extension = ".exe";
    m_displayName = "Cab32.dll　-　CAB自己解凍(*.exe)";
    m_selfExtracting = 1;
    m_supportsAppend = 0;
    m_supportsPassword = 0;
    m_available = m_dll.Load();
    m_dll.Unload();
    return m_available;
}
