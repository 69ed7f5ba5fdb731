// The names of a ZIP, and the UTF-8 flag set afterwards on the entries
// Info-ZIP stored without it.
#include "bridges/core/ArchiveNames.h"

#include "common/ArchiveBytes.h"
#include "common/FileBytes.h"
#include "common/TextConvert.h"

#include <windows.h>

namespace {

const unsigned kUtf8Flag = 0x0800;

bool PutFlags(const CByteFile& file, ULONGLONG at, unsigned flags)
{
    std::string bytes;
    bytes += static_cast<char>(flags & 0xFF);
    bytes += static_cast<char>((flags >> 8) & 0xFF);
    return file.WriteAt(at, bytes);
}

}  // namespace

bool NeedsUtf8Flag(const CZipEntry& entry) { return (entry.flags & kUtf8Flag) == 0 && !IsAscii(entry.name); }

bool SetZipUtf8Flag(const std::wstring& path, const std::vector<CZipEntry>& entries)
{
    CByteFile file(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    if (!file.IsOpen())
        return false;
    for (const CZipEntry& entry : entries)
    {
        std::string local;
        if (!file.ReadAt(entry.localAt, 8, &local) || local.compare(0, 4, "PK\x03\x04", 4) != 0 ||
            !PutFlags(file, entry.localAt + 6, Get16(local, 6) | kUtf8Flag) ||
            !PutFlags(file, entry.recordAt + 8, entry.flags | kUtf8Flag))
            return false;
    }
    return true;
}

bool ZipFileNames(const std::vector<CZipEntry>& entries, std::vector<std::wstring>* names)
{
    names->clear();
    for (const CZipEntry& entry : entries)
    {
        if (!IsZipFolder(entry))
            names->push_back(ZipEntryName(entry));
    }
    return true;
}
