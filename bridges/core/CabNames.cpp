// The names and sizes of a cabinet's file records.
#include "bridges/core/ArchiveNames.h"

#include "common/ArchiveBytes.h"
#include "common/FileBytes.h"

#include <windows.h>

bool ReadCabEntries(const std::wstring& path, std::vector<CArchiveEntry>* entries)
{
    entries->clear();
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    std::string header;
    if (!file.IsOpen() || !file.ReadAt(0, 36, &header) || header.compare(0, 4, "MSCF", 4) != 0)
        return false;
    ULONGLONG size = 0;
    file.Size(&size);
    ULONGLONG filesAt = Get32(header, 16);
    unsigned count = Get16(header, 28);
    // A file record is 16 bytes and a name of at most 256 bytes and its end.
    const size_t kLongestRecord = 16 + 257;
    ULONGLONG want = static_cast<ULONGLONG>(count) * kLongestRecord;
    if (filesAt > size)
        return false;
    if (want > size - filesAt)
        want = size - filesAt;
    std::string records;
    if (!file.ReadAt(filesAt, static_cast<size_t>(want), &records))
        return false;
    size_t at = 0;
    for (unsigned i = 0; i < count; ++i)
    {
        size_t end = records.find('\0', at + 16);
        if (at + 16 > records.size() || end == std::string::npos)
            return false;
        std::string name = records.substr(at + 16, end - at - 16);
        // Attribute 0x80: the name is UTF-8; without it, the code page's.
        bool utf8 = (Get16(records, at + 14) & 0x80) != 0;
        UINT codePage = utf8 ? CP_UTF8 : 932;
        int length = MultiByteToWideChar(codePage, 0, name.data(), static_cast<int>(name.size()), NULL, 0);
        std::wstring wide(length > 0 ? length : 0, L'\0');
        if (length > 0)
            MultiByteToWideChar(codePage, 0, name.data(), static_cast<int>(name.size()), &wide[0], length);
        CArchiveEntry entry;
        entry.name = wide;
        entry.size = Get32(records, at);
        entries->push_back(entry);
        at = end + 1;
    }
    return true;
}

bool ReadCabNames(const std::wstring& path, std::vector<std::wstring>* names)
{
    names->clear();
    std::vector<CArchiveEntry> entries;
    if (!ReadCabEntries(path, &entries))
        return false;
    for (const CArchiveEntry& entry : entries)
        names->push_back(entry.name);
    return true;
}
