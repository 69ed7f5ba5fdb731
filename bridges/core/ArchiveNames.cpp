#include "bridges/core/ArchiveNames.h"

#include "bridges/core/BridgeText.h"
#include "common/FileBytes.h"

#include <windows.h>

#include <map>
#include <set>

namespace {

unsigned Get16(const std::string& b, size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

unsigned long Get32(const std::string& b, size_t at)
{
    return Get16(b, at) | static_cast<unsigned long>(Get16(b, at + 2)) << 16;
}

ULONGLONG Get64(const std::string& b, size_t at)
{
    return Get32(b, at) | static_cast<ULONGLONG>(Get32(b, at + 4)) << 32;
}

const unsigned kUtf8Flag = 0x0800;
const size_t kEndRecord = 22;
const size_t kZip64Locator = 20;
const size_t kZip64EndRecord = 56;
const unsigned long kZip32Escape = 0xFFFFFFFFUL;

bool PutFlags(const CByteFile& file, ULONGLONG at, unsigned flags)
{
    std::string bytes;
    bytes += static_cast<char>(flags & 0xFF);
    bytes += static_cast<char>((flags >> 8) & 0xFF);
    return file.WriteAt(at, bytes);
}

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

// The local header's offset of an entry whose directory record says
// 0xFFFFFFFF: the ZIP64 extra field holds it after the sizes that are
// escaped the same way.
bool Zip64LocalOffset(const std::string& record, const std::string& extra, ULONGLONG* offset)
{
    for (size_t at = 0; at + 4 <= extra.size();)
    {
        unsigned id = Get16(extra, at);
        size_t length = Get16(extra, at + 2);
        if (at + 4 + length > extra.size())
            return false;
        if (id == 0x0001)
        {
            size_t field = at + 4;
            if (Get32(record, 24) == kZip32Escape)
                field += 8;
            if (Get32(record, 20) == kZip32Escape)
                field += 8;
            if (field + 8 > at + 4 + length)
                return false;
            *offset = Get64(extra, field);
            return true;
        }
        at += 4 + length;
    }
    return false;
}

bool IsFolderName(const std::wstring& name) { return !name.empty() && (name.back() == L'/' || name.back() == L'\\'); }

}  // namespace

bool ReadZipEntries(const std::wstring& path, std::vector<CZipEntry>* entries)
{
    entries->clear();
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    ULONGLONG directoryAt = 0, directorySize = 0, count = 0, shift = 0;
    if (!file.IsOpen() || !FindZipDirectory(file, &directoryAt, &directorySize, &count, &shift))
        return false;
    std::string directory;
    ULONGLONG fileSize = 0;
    file.Size(&fileSize);
    if (directorySize > fileSize || !file.ReadAt(directoryAt, static_cast<size_t>(directorySize), &directory))
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
        entry.recordAt = directoryAt + at;
        entry.localAt = Get32(directory, at + 42);
        if (entry.localAt == kZip32Escape &&
            !Zip64LocalOffset(directory.substr(at, 46), directory.substr(at + 46 + nameLength, extraLength),
                              &entry.localAt))
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
        std::wstring name = ZipEntryName(entry);
        if (!IsFolderName(name))
            names->push_back(name);
    }
    return true;
}

bool ReadCabNames(const std::wstring& path, std::vector<std::wstring>* names)
{
    names->clear();
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
        names->push_back(wide);
        at = end + 1;
    }
    return true;
}

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

std::wstring FoldName(const std::wstring& name)
{
    std::wstring folded = name;
    for (wchar_t& c : folded)
        if (c == L'/')
            c = L'\\';
    if (!folded.empty())
        CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

ENameCheck CompareArchiveNames(const std::vector<std::wstring>& before, const std::vector<std::wstring>& given,
                               const std::vector<std::wstring>& after, std::wstring* name)
{
    std::map<std::wstring, size_t> expected;
    std::set<std::wstring> givenKeys;
    for (const std::wstring& entry : given)
    {
        givenKeys.insert(FoldName(entry));
        ++expected[FoldName(entry)];
    }
    // An old entry of a name given again was replaced by this run.
    for (const std::wstring& entry : before)
        if (givenKeys.count(FoldName(entry)) == 0)
            ++expected[FoldName(entry)];
    std::map<std::wstring, size_t> stored;
    for (const std::wstring& entry : after)
    {
        std::wstring key = FoldName(entry);
        size_t count = ++stored[key];
        auto found = expected.find(key);
        *name = entry;
        if (found == expected.end())
            return kNamesExtra;
        if (count > found->second)
            return kNamesDoubled;
    }
    for (const std::vector<std::wstring>* list : {&given, &before})
    {
        for (const std::wstring& entry : *list)
        {
            std::wstring key = FoldName(entry);
            if (stored[key] < expected[key])
            {
                *name = entry;
                return kNamesMissing;
            }
        }
    }
    name->clear();
    return kNamesMatch;
}

namespace {

// One LZH header at the start of b: 1 with the header's length (level 1: with
// its extended headers, which its packed size counts), the data's length and
// the name; 0 at the end mark; -1 when damaged or when b is too short.
int ParseLhaHeader(const std::string& b, size_t* headerLength, ULONGLONG* dataLength, std::string* path,
                   bool* isFolder)
{
    if (b.empty() || b[0] == '\0')
        return 0;
    if (b.size() < 24)
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

bool ReadLhaNames(const std::wstring& path, std::vector<std::string>* names)
{
    names->clear();
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
        bool isFolder = false;
        int result = ParseLhaHeader(chunk, &headerLength, &dataLength, &name, &isFolder);
        if (result <= 0)
            return result == 0;
        if (!isFolder)
            names->push_back(name);
        at += headerLength + dataLength;
    }
    return at == size;
}
