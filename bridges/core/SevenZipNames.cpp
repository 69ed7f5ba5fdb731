// The names of a 7z, from the listing of "7zz l -slt": its directory is
// compressed, and encrypted with -mhe, so only 7zz reads it.
#include "bridges/core/ArchiveNames.h"

#include "common/TextConvert.h"

#include <stdlib.h>

bool ParseSevenZipEntries(const std::string& utf8, std::vector<CArchiveEntry>* entries)
{
    entries->clear();
    std::string path;
    CArchiveEntry entry;
    bool have = false;
    for (size_t at = 0; at < utf8.size();)
    {
        size_t end = utf8.find('\n', at);
        if (end == std::string::npos)
            end = utf8.size();
        std::string line = utf8.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, 7, "Path = ") == 0)
        {
            if (have)
                entries->push_back(entry);
            have = true;
            entry = CArchiveEntry();
            entry.name = Utf8ToWide(line.substr(7));
        }
        else if (line.compare(0, 7, "Size = ") == 0)
            entry.size = strtoull(line.c_str() + 7, NULL, 10);
        else if (line == "Folder = +")
            entry.folder = true;
        else if (line.compare(0, 13, "Attributes = ") == 0)
        {
            // The Windows letters come first, then the host's mode.
            std::string letters = line.substr(13, line.find(' ', 13) - 13);
            if (letters.find('D') != std::string::npos)
                entry.folder = true;
        }
    }
    if (have)
        entries->push_back(entry);
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
