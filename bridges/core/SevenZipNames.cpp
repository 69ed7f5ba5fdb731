// The names of a 7z, from the listing of "7zz l -slt": its directory is
// compressed, and encrypted with -mhe, so only 7zz reads it.
#include "bridges/core/ArchiveNames.h"

#include "common/TextConvert.h"

bool ParseSevenZipListing(const std::string& utf8, std::vector<std::wstring>* names)
{
    names->clear();
    std::string path;
    bool have = false;
    bool folder = false;
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
            if (have && !folder)
                names->push_back(Utf8ToWide(path));
            have = true;
            path = line.substr(7);
            folder = false;
        }
        else if (line == "Folder = +")
            folder = true;
        else if (line.compare(0, 13, "Attributes = ") == 0)
        {
            // The Windows letters come first, then the host's mode.
            std::string letters = line.substr(13, line.find(' ', 13) - 13);
            if (letters.find('D') != std::string::npos)
                folder = true;
        }
    }
    if (have && !folder)
        names->push_back(Utf8ToWide(path));
    return have || utf8.find_first_not_of(" \r\n") == std::string::npos;
}
