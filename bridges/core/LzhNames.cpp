// The names of an LZH archive, header by header.
#include "bridges/core/ArchiveNames.h"

#include "common/ArchiveBytes.h"
#include "common/FileBytes.h"
#include "common/TextConvert.h"

#include <windows.h>

namespace {

// One LZH header at the start of b: 1 with the header's length (level 1: with
// its extended headers, which its packed size counts), the data's length and
// the name; 0 at the end mark; -1 when damaged or when b is too short.
int ParseLhaHeader(const std::string& b, size_t* headerLength, ULONGLONG* dataLength, std::string* path,
                   bool* isFolder, ULONGLONG* originalSize = NULL)
{
    if (b.empty() || b[0] == '\0')
        return 0;
    // Every method id is "-" and three letters and "-": anything else is no
    // LZH header, however its bytes would add up.
    if (b.size() < 24 || b[2] != '-' || b[6] != '-')
        return -1;
    unsigned level = static_cast<unsigned char>(b[20]);
    ULONGLONG packed = Get32(b, 7);
    std::string name;
    std::string folder;
    bool haveFolder = false;
    size_t extSize = 0;
    size_t ext = 0;
    size_t limit = b.size();
    if (level == 0 || level == 1)
    {
        size_t headerSize = static_cast<unsigned char>(b[0]);
        size_t nameLength = static_cast<unsigned char>(b[21]);
        if (2 + headerSize > b.size() || 22 + nameLength > 2 + headerSize)
            return -1;
        name = b.substr(22, nameLength);
        ext = 2 + headerSize;
        if (level == 1)
            extSize = Get16(b, ext - 2);
    }
    else if (level == 2)
    {
        size_t headerSize = Get16(b, 0);
        if (headerSize > b.size() || headerSize < 26)
            return -1;
        extSize = Get16(b, 24);
        ext = 26;
        limit = headerSize;
    }
    else
        return -1;
    while (extSize != 0)
    {
        if (ext + extSize > limit || extSize < 3)
            return -1;
        unsigned type = static_cast<unsigned char>(b[ext]);
        if (type == 0x01)
            name = b.substr(ext + 1, extSize - 3);
        else if (type == 0x02)
        {
            folder = b.substr(ext + 1, extSize - 3);
            haveFolder = true;
        }
        if (level == 1)
        {
            if (packed < extSize)
                return -1;
            packed -= extSize;
        }
        size_t following = Get16(b, ext + extSize - 2);
        ext += extSize;
        extSize = following;
    }
    *headerLength = level == 2 ? limit : ext;
    // Folder parts end in 0xFF, which is no Shift_JIS byte; testing for a
    // trailing backslash instead would mistake the trail byte of 表.
    if (haveFolder && !folder.empty() && static_cast<unsigned char>(folder.back()) != 0xFF)
        folder += '\xFF';
    for (char& c : folder)
        if (static_cast<unsigned char>(c) == 0xFF)
            c = '\\';
    *dataLength = packed;
    *path = folder + name;
    *isFolder = b.compare(2, 5, "-lhd-") == 0;
    if (originalSize != NULL)
        *originalSize = Get32(b, 11);
    return 1;
}

}  // namespace

bool ParseLhaNames(const std::string& b, std::vector<std::string>* names)
{
    names->clear();
    size_t at = 0;
    for (;;)
    {
        size_t headerLength = 0;
        ULONGLONG dataLength = 0;
        std::string path;
        bool isFolder = false;
        int result = ParseLhaHeader(b.substr(at), &headerLength, &dataLength, &path, &isFolder);
        if (result <= 0)
            return result == 0;
        if (!isFolder)
            names->push_back(path);
        at += headerLength + static_cast<size_t>(dataLength);
        if (at > b.size())
            return false;
    }
}

namespace {

// The headers of an LZH file, read in steps so that a large archive is never
// read whole; false for a damaged header or data that runs past the end.
bool ReadLhaHeaders(const std::wstring& path, std::vector<CArchiveEntry>* entries, std::vector<std::string>* names)
{
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    if (!file.IsOpen())
        return false;
    ULONGLONG size = 0;
    file.Size(&size);
    ULONGLONG at = 0;
    const size_t kLongestHeader = 65536;
    while (at < size)
    {
        size_t length = static_cast<size_t>(size - at < kLongestHeader ? size - at : kLongestHeader);
        std::string chunk;
        if (!file.ReadAt(at, length, &chunk))
            return false;
        size_t headerLength = 0;
        ULONGLONG dataLength = 0;
        std::string name;
        CArchiveEntry entry;
        int result = ParseLhaHeader(chunk, &headerLength, &dataLength, &name, &entry.folder, &entry.size);
        if (result <= 0)
            return result == 0;
        entry.name = ShiftJisToWide(name);
        entries->push_back(entry);
        names->push_back(name);
        at += headerLength + dataLength;
    }
    return at == size;
}

}  // namespace

bool ReadLhaNames(const std::wstring& path, std::vector<std::string>* names)
{
    names->clear();
    std::vector<CArchiveEntry> entries;
    std::vector<std::string> stored;
    if (!ReadLhaHeaders(path, &entries, &stored))
        return false;
    for (size_t i = 0; i < entries.size(); ++i)
        if (!entries[i].folder)
            names->push_back(stored[i]);
    return true;
}

bool ReadLhaEntries(const std::wstring& path, std::vector<CArchiveEntry>* entries)
{
    entries->clear();
    std::vector<std::string> stored;
    return ReadLhaHeaders(path, entries, &stored);
}
