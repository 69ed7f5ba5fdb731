#include "ui/jobdialogs/OutputName.h"

#include "common/PathUtil.h"
#include "common/ShiftJis.h"

#include <stdio.h>
#include <string.h>

namespace {

// The text after the last real backslash (a trail byte 0x5C is no separator).
const char* LastComponent(const char* path)
{
    const char* separator = FindLastSeparator(path);
    return separator != nullptr ? separator + 1 : path;
}

}  // namespace

int ProposeOutputName(const char* entry, const char* outputFolder, const char* extension, char* buffer,
                      size_t size)
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
    if (!ReplaceExtension(base, extension, named, sizeof(named)))
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
