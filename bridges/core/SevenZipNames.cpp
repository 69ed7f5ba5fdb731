// The names of a 7z, from the listing of "7zz l -slt": its directory is
// compressed, and encrypted with -mhe, so only 7zz reads it.
#include "bridges/core/ArchiveNames.h"

#include "common/TextConvert.h"

#include <stdlib.h>
#include <string.h>

namespace {

bool StartsWith(const char* line, size_t length, const char* prefix, size_t prefixLength)
{
    return length >= prefixLength && memcmp(line, prefix, prefixLength) == 0;
}

}  // namespace

bool ParseSevenZipEntries(const std::string& utf8, std::vector<CArchiveEntry>* entries)
{
    entries->clear();
    CArchiveEntry entry;
    bool have = false;
    // Line by line in place: a listing of 50,000 entries has 400,000 lines.
    for (size_t at = 0; at < utf8.size();)
    {
        size_t end = utf8.find('\n', at);
        if (end == std::string::npos)
            end = utf8.size();
        const char* line = utf8.data() + at;
        size_t length = end - at;
        at = end + 1;
        if (length > 0 && line[length - 1] == '\r')
            --length;
        if (StartsWith(line, length, "Path = ", 7))
        {
            if (have)
                entries->push_back(std::move(entry));
            have = true;
            entry = CArchiveEntry();
            entry.name = Utf8ToWide(std::string(line + 7, length - 7));
        }
        else if (StartsWith(line, length, "Size = ", 7))
            entry.size = strtoull(std::string(line + 7, length - 7).c_str(), NULL, 10);
        else if (length == 10 && memcmp(line, "Folder = +", 10) == 0)
            entry.folder = true;
        else if (StartsWith(line, length, "Attributes = ", 13))
        {
            // The Windows letters come first, then the host's mode.
            const char* letters = line + 13;
            const char* stop = static_cast<const char*>(memchr(letters, ' ', length - 13));
            if (memchr(letters, 'D', stop != NULL ? stop - letters : length - 13) != NULL)
                entry.folder = true;
        }
    }
    if (have)
        entries->push_back(std::move(entry));
    return have || utf8.find_first_not_of(" \r\n") == std::string::npos;
}

bool ParseSevenZipListing(const std::string& utf8, std::vector<std::wstring>* names)
{
    names->clear();
    std::vector<CArchiveEntry> entries;
    bool parsed = ParseSevenZipEntries(utf8, &entries);
    for (const CArchiveEntry& entry : entries)
        if (!entry.folder)
            names->push_back(entry.name);
    return parsed;
}
