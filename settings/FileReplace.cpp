#include "settings/FileReplace.h"

#include "common/HeldFile.h"
#include "common/PathUtil.h"
#include "common/ScopedHandle.h"

#include <windows.h>

namespace {

const char kTempPrefix[] = "tsk";
const char kTempExtension[] = ".tmp";
// Another process may take a name between our check and our create.
const int kCreateTries = 8;

}  // namespace

bool CreateSiblingTempFile(const char* path, std::string* tempPath)
{
    tempPath->clear();
    char folder[1024];
    if (GetParentFolder(path, folder, sizeof(folder)) <= 0)
        return false;
    for (int attempt = 0; attempt < kCreateTries; ++attempt)
    {
        char name[1024];
        if (!MakeUniqueTempName(folder, kTempPrefix, kTempExtension, name, sizeof(name)))
            return false;
        CScopedHandle file(CreateFileA(name, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL));
        if (file.IsValid())
        {
            *tempPath = name;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool ReplaceWithTempFile(const char* tempPath, const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    bool refused = attributes != INVALID_FILE_ATTRIBUTES &&
                   (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
    if (!refused && RetryWhileHeld([&]() {
            return MoveFileExA(tempPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
        }))
        return true;
    DeleteFileA(tempPath);
    return false;
}
