#include "common/ZipDirectory.h"

#include "common/ArchiveBytes.h"
#include "common/FileBytes.h"

namespace {

const unsigned kUtf8Flag = 0x0800;
const size_t kEndRecord = 22;
const size_t kZip64Locator = 20;
const size_t kZip64EndRecord = 56;
const unsigned long kZip32Escape = 0xFFFFFFFFUL;

// Where the central directory starts and how many entries it has: from the
// ZIP64 end record when its locator stands before the end record (zip writes
// both once an archive passes 65535 entries or 4 GiB, or with -fz), otherwise
// from the end record itself. shift: bytes put before the archive (a
// self-extracting stub) that its offsets do not count.
bool FindZipDirectory(const CByteFile& file, ULONGLONG* directoryAt, ULONGLONG* directorySize, ULONGLONG* entries,
                      ULONGLONG* shift)
{
    ULONGLONG size = 0;
    file.Size(&size);
    size_t tailLength = static_cast<size_t>(size < 65535 + kEndRecord ? size : 65535 + kEndRecord);
    std::string tail;
    if (size < kEndRecord || !file.ReadAt(size - tailLength, tailLength, &tail))
        return false;
    size_t end = tail.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos || end + kEndRecord > tail.size())
        return false;
    ULONGLONG endAt = size - tailLength + end;
    std::string locator;
    if (endAt >= kZip64Locator && file.ReadAt(endAt - kZip64Locator, kZip64Locator, &locator) &&
        locator.compare(0, 4, "PK\x06\x07", 4) == 0)
    {
        ULONGLONG recordAt = Get64(locator, 8);
        std::string record;
        if (recordAt + kZip64EndRecord > endAt || !file.ReadAt(recordAt, kZip64EndRecord, &record) ||
            record.compare(0, 4, "PK\x06\x06", 4) != 0)
            return false;
        *entries = Get64(record, 32);
        *directorySize = Get64(record, 40);
        *directoryAt = Get64(record, 48);
        *shift = 0;
        return *directoryAt + *directorySize <= recordAt;
    }
    *entries = Get16(tail, end + 10);
    *directorySize = Get32(tail, end + 12);
    ULONGLONG offset = Get32(tail, end + 16);
    if (*directorySize > endAt || offset > endAt - *directorySize)
        return false;
    std::string signature;
    if (*entries == 0 || (file.ReadAt(offset, 4, &signature) && signature.compare(0, 4, "PK\x01\x02", 4) == 0))
    {
        *directoryAt = offset;
        *shift = 0;
        return true;
    }
    // Not where the record says: the directory ends where the end record starts.
    *directoryAt = endAt - *directorySize;
    *shift = *directoryAt - offset;
    return true;
}

// The fields of an entry's directory record that say 0xFFFFFFFF: the ZIP64
// extra field holds them, in this order, each only when escaped.
bool ReadZip64Fields(const std::string& record, const std::string& extra, CZipEntry* entry)
{
    bool sizeEscaped = Get32(record, 24) == kZip32Escape;
    bool packedEscaped = Get32(record, 20) == kZip32Escape;
    bool offsetEscaped = Get32(record, 42) == kZip32Escape;
    if (!sizeEscaped && !packedEscaped && !offsetEscaped)
        return true;
    for (size_t at = 0; at + 4 <= extra.size();)
    {
        unsigned id = Get16(extra, at);
        size_t length = Get16(extra, at + 2);
        if (at + 4 + length > extra.size())
            return false;
        if (id == 0x0001)
        {
            size_t field = at + 4;
            size_t end = field + length;
            if (sizeEscaped)
            {
                if (field + 8 > end)
                    return false;
                entry->size = Get64(extra, field);
                field += 8;
            }
            if (packedEscaped)
            {
                if (field + 8 > end)
                    return false;
                entry->packed = Get64(extra, field);
                field += 8;
            }
            if (offsetEscaped)
            {
                if (field + 8 > end)
                    return false;
                entry->localAt = Get64(extra, field);
            }
            return true;
        }
        at += 4 + length;
    }
    return false;
}

}  // namespace

bool ReadZipEntries(const std::wstring& path, std::vector<CZipEntry>* entries)
{
    ULONGLONG directoryAt = 0;
    return ReadZipEntries(path, entries, &directoryAt);
}

bool ReadZipEntries(const std::wstring& path, std::vector<CZipEntry>* entries, ULONGLONG* directoryAt)
{
    entries->clear();
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    ULONGLONG directorySize = 0, count = 0, shift = 0;
    if (!file.IsOpen() || !FindZipDirectory(file, directoryAt, &directorySize, &count, &shift))
        return false;
    std::string directory;
    ULONGLONG fileSize = 0;
    file.Size(&fileSize);
    if (directorySize > fileSize || !file.ReadAt(*directoryAt, static_cast<size_t>(directorySize), &directory))
        return false;
    size_t at = 0;
    for (ULONGLONG i = 0; i < count; ++i)
    {
        if (at + 46 > directory.size() || directory.compare(at, 4, "PK\x01\x02", 4) != 0)
            return false;
        size_t nameLength = Get16(directory, at + 28);
        size_t extraLength = Get16(directory, at + 30);
        size_t commentLength = Get16(directory, at + 32);
        if (at + 46 + nameLength + extraLength > directory.size())
            return false;
        CZipEntry entry;
        entry.name = directory.substr(at + 46, nameLength);
        entry.flags = Get16(directory, at + 8);
        entry.recordAt = *directoryAt + at;
        entry.size = Get32(directory, at + 24);
        entry.localAt = Get32(directory, at + 42);
        entry.packed = Get32(directory, at + 20);
        entry.record = directory.substr(at, 46 + nameLength + extraLength + commentLength);
        if (!ReadZip64Fields(directory.substr(at, 46), directory.substr(at + 46 + nameLength, extraLength), &entry))
            return false;
        entry.localAt += shift;
        entries->push_back(entry);
        at += 46 + nameLength + extraLength + commentLength;
    }
    return true;
}

std::wstring ZipEntryName(const CZipEntry& entry)
{
    // Readers take a name without the flag for the local code page; Info-ZIP
    // on the host stores UTF-8 without it. Valid UTF-8 is rarely valid
    // Shift_JIS text of the same bytes, so UTF-8 is tried first.
    const std::string& name = entry.name;
    if (name.empty())
        return std::wstring();
    UINT codePage = CP_UTF8;
    DWORD strict = MB_ERR_INVALID_CHARS;
    if ((entry.flags & kUtf8Flag) == 0 &&
        MultiByteToWideChar(CP_UTF8, strict, name.data(), static_cast<int>(name.size()), NULL, 0) == 0)
    {
        codePage = 932;
        strict = 0;
    }
    int length = MultiByteToWideChar(codePage, strict, name.data(), static_cast<int>(name.size()), NULL, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, strict, name.data(), static_cast<int>(name.size()), &wide[0], length);
    return wide;
}

bool IsZipFolder(const CZipEntry& entry)
{
    return !entry.name.empty() && (entry.name.back() == '/' || entry.name.back() == '\\');
}
