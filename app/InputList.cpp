#include "app/InputList.h"

#include "common/HandOff.h"
#include "common/PathUtil.h"
#include "common/TextFile.h"
#include "settings/LineReader.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

std::vector<std::string> g_inputList;

namespace {

struct CHandOffToken
{
    const char* text;
    HandOffMode mode;
};

// The tokens known by name; a mode the extension gains later is one more row.
const CHandOffToken kHandOffTokens[] = {
    {kCompressModeToken, kHandOffCompress},
    {kEachModeToken, kHandOffEach},
};

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

// Compared as the file system compares names: ordinal, ignoring case. A
// linguistic comparison could call two different folders equal.
bool SameFolderName(const std::string& a, const std::string& b)
{
    wchar_t wideA[kPathBufferSize];
    wchar_t wideB[kPathBufferSize];
    int lengthA = MultiByteToWideChar(CP_ACP, 0, a.data(), static_cast<int>(a.size()), wideA, kPathBufferSize);
    int lengthB = MultiByteToWideChar(CP_ACP, 0, b.data(), static_cast<int>(b.size()), wideB, kPathBufferSize);
    if (lengthA <= 0 || lengthB <= 0)
        return false;
    return CompareStringOrdinal(wideA, lengthA, wideB, lengthB, TRUE) == CSTR_EQUAL;
}

// The folder part of a path made full (".." and "." resolved), with its
// trailing backslash, and the name after it.
bool SplitFullPath(const char* path, std::string* folder, std::string* name)
{
    char full[kPathBufferSize];
    char* namePart = NULL;
    DWORD length = GetFullPathNameA(path, sizeof(full), full, &namePart);
    if (length == 0 || length >= sizeof(full) || namePart == NULL)
        return false;
    folder->assign(full, namePart - full);
    *name = namePart;
    return true;
}

}  // namespace

HandOffMode GetHandOffMode(const char* argument)
{
    if (strncmp(argument, kHandOffTokenPrefix, strlen(kHandOffTokenPrefix)) != 0)
        return kNoHandOff;
    for (const CHandOffToken& token : kHandOffTokens)
    {
        if (strcmp(argument, token.text) == 0)
            return token.mode;
    }
    return kHandOffCompress;
}

bool GetHandOffFilePath(std::string* path)
{
    char folder[kPathBufferSize];
    DWORD length = GetTempPathA(sizeof(folder), folder);
    if (length == 0 || length >= sizeof(folder))
        return false;
    char name[kPathBufferSize + 32];
    snprintf(name, sizeof(name), "%s\\%s%s", folder, kHandOffFilePrefix, kHandOffFileExtension);
    *path = name;
    return true;
}

// The program deletes the file it reads, and anyone can start it with any
// command line. So a named file is taken only where the extension puts it,
// directly in the user's temporary folder and under the hand-off prefix: a
// crafted command line can then at most make the program eat another pending
// hand-off, never delete a file of the user's.
bool IsAcceptedHandOffFile(const char* path)
{
    std::string folder;
    std::string name;
    std::string tempFolder;
    std::string tempName;
    // The temporary folder goes through the same split (with a name put after
    // it), so both folders end in one backslash and neither holds "." or "..".
    char temp[kPathBufferSize + 1];
    DWORD length = GetTempPathA(kPathBufferSize, temp);
    if (length == 0 || length >= kPathBufferSize)
        return false;
    temp[length] = 'x';
    temp[length + 1] = '\0';
    if (!SplitFullPath(temp, &tempFolder, &tempName) || !SplitFullPath(path, &folder, &name))
        return false;
    return strncmp(name.c_str(), kHandOffFilePrefix, strlen(kHandOffFilePrefix)) == 0 &&
           SameFolderName(folder, tempFolder);
}

bool ReadHandOffFile(const char* path, std::vector<std::string>* list)
{
    CTextFile file;
    if (file.Open(path, "r") == NULL)
        return false;
    std::string line;
    while (ReadWholeLine(file, &line))
    {
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
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
    if (GetHandOffMode(argv[1]) != kNoHandOff)
    {
        // An extension of an earlier version passes no file and writes the fixed name.
        std::string handOff;
        if (argc < 3)
        {
            if (GetHandOffFilePath(&handOff))
                ReadHandOffFile(handOff.c_str(), list);
        }
        else if (IsAcceptedHandOffFile(argv[2]))
        {
            ReadHandOffFile(argv[2], list);
        }
        return;
    }
    for (int i = 1; i < argc; ++i)
        list->push_back(MakeFullPath(argv[i]));
}
