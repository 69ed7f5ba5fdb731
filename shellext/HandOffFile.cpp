#include "shellext/HandOffFile.h"

#include "common/PathUtil.h"
#include "common/TextFile.h"

#include <windows.h>
#include <stdio.h>

namespace {
const char kHandOffFileFormat[] = "%s\\tessik_filelist.tmp";
}

std::string JoinHandOffLines(const std::vector<std::string>& paths)
{
    std::string joined;
    for (const std::string& path : paths)
    {
        joined += path;
        joined += "\r\n";
    }
    return joined;
}

int GetHandOffFilePath(char* buffer, size_t size)
{
    char tempFolder[kPathBufferSize];
    DWORD length = GetTempPathA(sizeof(tempFolder), tempFolder);
    if (length == 0 || length >= sizeof(tempFolder))
        return 0;
    int written = snprintf(buffer, size, kHandOffFileFormat, tempFolder);
    return written > 0 && static_cast<size_t>(written) < size ? 1 : 0;
}

int WriteHandOffFile(const char* path, const std::string& bytes)
{
    // Binary, so the CR LF line ends reach the reader untranslated.
    CTextFile file;
    if (file.Open(path, "wb") == NULL)
        return 0;
    bool written = file.Write(bytes.data(), 1, bytes.size()) == bytes.size();
    if (file.Close() != 0 || !written)
    {
        // Half a selection must not reach the main program as if it were whole.
        DeleteFileA(path);
        return 0;
    }
    return 1;
}
