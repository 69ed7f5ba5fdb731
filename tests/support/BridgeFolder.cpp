#include "tests/support/BridgeFolder.h"

#include "archivers/formats/FormatRegistry.h"

#include <windows.h>

CBridgeFolder::CBridgeFolder()
{
    std::string bridges = TestExeFolder() + "\\bridges";
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((bridges + "\\*.dll").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE)
    {
        do
            CopyFileA((bridges + "\\" + found.cFileName).c_str(), (m_folder / found.cFileName).c_str(), FALSE);
        while (FindNextFileA(find, &found));
        FindClose(find);
    }
    // Our own ZIP DLL is built apart from the bridges.
    CopyFileA((TestExeFolder() + "\\tessikzip\\TessikZip.dll").c_str(), (m_folder / "TessikZip.dll").c_str(), FALSE);
    SetDllDirectoryA(m_folder.Path().c_str());
}

CBridgeFolder::~CBridgeFolder()
{
    DestroyAllFormats();
    SetDllDirectoryA(NULL);
}
