#include "job/InputList.h"

#include "common/FileBytes.h"
#include "common/HandOff.h"
#include "common/PathUtil.h"
#include "common/TextConvert.h"

#include <windows.h>

#include <string.h>
#include <wchar.h>

CInputList& CInputList::operator=(std::initializer_list<std::string> ansiNames)
{
    return *this = std::vector<std::string>(ansiNames);
}

CInputList& CInputList::operator=(const std::vector<std::string>& ansiNames)
{
    clear();
    for (const std::string& name : ansiNames)
        push_back(AnsiToWide(name));
    return *this;
}

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

// The full form of a path through GetFullPathNameW, empty when it fails.
// namePart gets the offset of the name after the last separator, if asked.
std::wstring FullPathOf(const wchar_t* path, size_t* namePart = nullptr)
{
    DWORD needed = GetFullPathNameW(path, 0, NULL, NULL);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    wchar_t* name = NULL;
    DWORD length = GetFullPathNameW(path, needed, &full[0], &name);
    if (length == 0 || length >= needed)
        return std::wstring();
    if (namePart != nullptr)
        *namePart = name != NULL ? static_cast<size_t>(name - full.c_str()) : std::wstring::npos;
    full.resize(length);
    return full;
}

// A relative argument (as typed in a console) is made full against the
// current folder, so the file walk finds a base folder for it. The hand-off
// file holds full paths from the shell and is taken as it is.
std::wstring MakeFullPath(const wchar_t* path)
{
    if (IsAbsolutePath(path) || path[0] == L'\0')
        return path;
    std::wstring full = FullPathOf(path);
    return full.empty() ? std::wstring(path) : full;
}

bool SameFolderName(const std::wstring& a, const std::wstring& b)
{
    return !a.empty() && !b.empty() && SameFileName(a, b);
}

// The folder part of a path made full (".." and "." resolved), with its
// trailing backslash, and the name after it.
bool SplitFullPath(const wchar_t* path, std::wstring* folder, std::wstring* name)
{
    size_t namePart = std::wstring::npos;
    std::wstring full = FullPathOf(path, &namePart);
    if (full.empty() || namePart == std::wstring::npos || namePart > full.size())
        return false;
    folder->assign(full, 0, namePart);
    name->assign(full, namePart, std::wstring::npos);
    return true;
}

// The lines of a hand-off file's text: CR LF and LF end a line, a last line
// without an end counts, and an empty text has none.
std::vector<std::string> SplitLines(const std::string& text, size_t start)
{
    std::vector<std::string> lines;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
        {
            lines.push_back(text.substr(start));
            break;
        }
        size_t length = end - start;
        if (length > 0 && text[end - 1] == '\r')
            --length;
        lines.push_back(text.substr(start, length));
        start = end + 1;
    }
    return lines;
}

bool StartsWithToken(const wchar_t* argument, const char* token, bool whole)
{
    std::wstring wide = AnsiToWide(token);
    if (wcsncmp(argument, wide.c_str(), wide.size()) != 0)
        return false;
    return !whole || argument[wide.size()] == L'\0';
}

}  // namespace

HandOffMode GetHandOffMode(const wchar_t* argument)
{
    if (!StartsWithToken(argument, kHandOffTokenPrefix, false))
        return kNoHandOff;
    for (const CHandOffToken& token : kHandOffTokens)
    {
        if (StartsWithToken(argument, token.text, true))
            return token.mode;
    }
    return kHandOffCompress;
}

bool GetHandOffFilePath(std::wstring* path)
{
    wchar_t folder[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return false;
    *path = std::wstring(folder) + L"\\" + AnsiToWide(kHandOffFilePrefix) + AnsiToWide(kHandOffFileExtension);
    return true;
}

// The program deletes the file it reads, and anyone can start it with any
// command line. So a named file is taken only where the extension puts it,
// directly in the user's temporary folder and under the hand-off prefix: a
// crafted command line can then at most make the program eat another pending
// hand-off, never delete a file of the user's.
bool IsAcceptedHandOffFile(const wchar_t* path)
{
    std::wstring folder;
    std::wstring name;
    std::wstring tempFolder;
    std::wstring tempName;
    // The temporary folder goes through the same split (with a name put after
    // it), so both folders end in one backslash and neither holds "." or "..".
    wchar_t temp[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH)
        return false;
    std::wstring tempEntry = std::wstring(temp, length) + L"x";
    if (!SplitFullPath(tempEntry.c_str(), &tempFolder, &tempName) || !SplitFullPath(path, &folder, &name))
        return false;
    std::wstring prefix = AnsiToWide(kHandOffFilePrefix);
    return name.compare(0, prefix.size(), prefix) == 0 && SameFolderName(folder, tempFolder);
}

bool ReadHandOffFile(const wchar_t* path, std::vector<std::wstring>* list)
{
    std::string bytes;
    if (!ReadWholeFile(path, &bytes))
        return false;
    size_t markLength = strlen(kHandOffUtf8Mark);
    bool utf8 = bytes.compare(0, markLength, kHandOffUtf8Mark) == 0;
    for (const std::string& line : SplitLines(bytes, utf8 ? markLength : 0))
        list->push_back(utf8 ? Utf8ToWide(line) : AnsiToWide(line));
    DeleteFileW(path);
    return true;
}

void FillInputList(int argc, wchar_t** argv, std::vector<std::wstring>* list)
{
    if (argc < 2)
        return;
    if (GetHandOffMode(argv[1]) != kNoHandOff)
    {
        // An extension of an earlier version passes no file and writes the fixed name.
        std::wstring handOff;
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
