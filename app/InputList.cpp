#include "app/InputList.h"

#include "common/PathUtil.h"
#include "common/TextFile.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

std::vector<std::string> g_inputList;

const char kHandOffToken[] = "::PROCESSCOMMUNICATION";

namespace {

const size_t kLineBufferSize = 1024;

// A relative argument (as typed in a console) is made full against the
// current folder, so the file walk finds a base folder for it. The hand-off
// file holds full paths from the shell and is taken as it is.
std::string MakeFullPath(const char* path)
{
    bool absolute = (path[0] == '\\' && path[1] == '\\') || (path[0] != '\0' && path[1] == ':' && path[2] == '\\');
    if (absolute || path[0] == '\0')
        return path;
    char full[kPathBufferSize];
    DWORD length = GetFullPathNameA(path, sizeof(full), full, NULL);
    if (length == 0 || length >= sizeof(full))
        return path;
    return full;
}

}  // namespace

bool GetHandOffFilePath(std::string* path)
{
    char folder[kPathBufferSize];
    DWORD length = GetTempPathA(sizeof(folder), folder);
    if (length == 0 || length >= sizeof(folder))
        return false;
    char name[kPathBufferSize + 32];
    snprintf(name, sizeof(name), "%s\\tessik_filelist.tmp", folder);
    *path = name;
    return true;
}

bool ReadHandOffFile(const char* path, std::vector<std::string>* list)
{
    CTextFile file;
    if (file.Open(path, "r") == NULL)
        return false;
    char line[kLineBufferSize];
    while (file.ReadLine(line, sizeof(line)) != NULL)
    {
        RemoveTrailingNewline(line);
        list->push_back(line);
    }
    file.Close();
    DeleteFileA(path);
    return true;
}

void FillInputList(int argc, char** argv, std::vector<std::string>* list)
{
    if (argc < 2)
        return;
    if (strncmp(argv[1], kHandOffToken, strlen(kHandOffToken)) == 0)
    {
        std::string handOff;
        if (GetHandOffFilePath(&handOff))
            ReadHandOffFile(handOff.c_str(), list);
        return;
    }
    for (int i = 1; i < argc; ++i)
        list->push_back(MakeFullPath(argv[i]));
}
