#include "archivers/lists/SingleListFile.h"

#include "archivers/lists/BaseFolderListFiles.h"

#include <windows.h>

int CSingleListFile::Begin()
{
    m_stream.Close();
    m_path.clear();
    std::string path;
    if (!MakeListFileName(&path))
        return 0;
    if (m_stream.Open(path.c_str(), "w") == NULL)
    {
        DeleteFileA(path.c_str());
        return 0;
    }
    m_path = path;
    return 1;
}

int CSingleListFile::End()
{
    return m_stream.Stream() == NULL || m_stream.Close() == 0;
}

void CSingleListFile::Cleanup()
{
    m_stream.Close();
    if (!m_path.empty())
        DeleteFileA(m_path.c_str());
    // The clock-based names repeat: once deleted, the name may belong to another
    // running instance, which a later Cleanup must not touch.
    m_path.clear();
}
