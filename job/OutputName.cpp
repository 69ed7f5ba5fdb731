#include "job/OutputName.h"

#include "common/PathUtil.h"
#include "common/ShiftJis.h"
#include "common/TextConvert.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

// The text after the last real backslash (a trail byte 0x5C is no separator).
const char* LastComponent(const char* path)
{
    const char* separator = FindLastSeparator(path);
    return separator != nullptr ? separator + 1 : path;
}

const char kUnshownCharacter = '_';

// isFolder is nullptr when the entry's text names it on disk, which is then asked.
int Propose(const char* entry, const bool* isFolder, const char* outputFolder, const char* extension,
            char* buffer, size_t size);

}  // namespace

int ProposeOutputName(const char* entry, const char* outputFolder, const char* extension, char* buffer,
                      size_t size)
{
    return Propose(entry, nullptr, outputFolder, extension, buffer, size);
}

int ProposeOutputName(const std::wstring& entry, const char* outputFolder, const char* extension, char* buffer,
                      size_t size)
{
    std::string exact(entry.size() * 2 + 1, '\0');
    if (ToExactAnsi(entry.c_str(), &exact[0], exact.size()))
        return Propose(exact.c_str(), nullptr, outputFolder, extension, buffer, size);
    // The ANSI stand-in names no file, so the disk is asked by the wide name.
    std::string shown = ToAnsiReplacing(entry, kUnshownCharacter);
    DWORD attributes = GetFileAttributesW(entry.c_str());
    bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return Propose(shown.c_str(), &isFolder, outputFolder, extension, buffer, size);
}

namespace {

int Propose(const char* entry, const bool* isFolder, const char* outputFolder, const char* extension,
            char* buffer, size_t size)
{
    char base[kPathBufferSize];
    size_t length = strlen(entry);
    if (length >= 2 && length <= 3 && entry[1] == ':')
        snprintf(base, sizeof(base), "%c:\\%c_drive", entry[0], entry[0]);
    else if (length < sizeof(base))
        memcpy(base, entry, length + 1);
    else
        return 0;

    // The extension is settled on the entry's own name before it moves to the
    // output folder: whether the entry is an existing folder (whose dots are
    // no extension) can only be told where the entry is.
    char named[kPathBufferSize];
    bool entryIsFolder = isFolder != nullptr ? *isFolder : GetPathType(base) == kPathFolder;
    if (!ReplaceExtensionOf(base, entryIsFolder, extension, named, sizeof(named)))
        return 0;

    if (outputFolder == nullptr)
    {
        size_t namedLength = strlen(named);
        if (namedLength + 1 > size)
            return 0;
        memcpy(buffer, named, namedLength + 1);
        return 1;
    }

    char folder[kPathBufferSize];
    size_t folderLength = strlen(outputFolder);
    if (folderLength >= sizeof(folder))
        return 0;
    memcpy(folder, outputFolder, folderLength + 1);
    RemoveTrailingBackslash(folder);
    char joined[kPathBufferSize];
    int joinedLength = snprintf(joined, sizeof(joined), "%s\\%s", folder, LastComponent(named));
    if (joinedLength < 0 || static_cast<size_t>(joinedLength) >= sizeof(joined) ||
        static_cast<size_t>(joinedLength) + 1 > size)
        return 0;
    memcpy(buffer, joined, static_cast<size_t>(joinedLength) + 1);
    return 1;
}

}  // namespace

bool SettleOutputName(std::string* name, std::string* folder)
{
    // Only a walk from the start tells a real backslash from a trail byte: the
    // byte before it may itself be the trail byte of a character such as "＝"
    // (0x81 0x81).
    if (name->empty() || name->back() == ':' || EndsWithSeparator(name->c_str()))
        return false;
    if (!IsAbsolutePath(name->c_str()))
    {
        char full[kPathBufferSize];
        DWORD length = GetFullPathNameA(name->c_str(), sizeof(full), full, NULL);
        if (length == 0 || length >= sizeof(full))
            return false;
        *name = full;
    }
    char parent[kPathBufferSize];
    if (GetParentFolder(name->c_str(), parent, sizeof(parent)) <= 0)
        return false;
    *folder = parent;
    return true;
}
