#include "tessikzip/ZipListing.h"

#include "common/ArchiveBytes.h"
#include "common/FileBytes.h"
#include "dllkit/WildName.h"

#include <zlib.h>

#include <string.h>

#include <algorithm>
#include <wctype.h>

namespace {

const size_t kCentralRecord = 46;
const size_t kLocalHeader = 30;
const unsigned long kZip32Escape = 0xFFFFFFFFUL;
const unsigned kEncryptedFlag = 0x0001;
const unsigned kDescriptorFlag = 0x0008;
const unsigned kStrongEncryptionFlag = 0x0040;
const unsigned kMethodStore = 0;
const unsigned kMethodDeflate = 8;
const unsigned kMethodAes = 99;
const size_t kZipCryptoHeader = 12;
const size_t kAesVerifier = 2;
const size_t kAesCode = 10;
const size_t kReadChunk = 256 * 1024;

// The data of one extra field of that id in an extra block, false when the
// block holds none (or is malformed).
bool FindExtraField(const std::string& extra, unsigned id, std::string* field)
{
    for (size_t at = 0; at + 4 <= extra.size();)
    {
        size_t length = Get16(extra, at + 2);
        if (at + 4 + length > extra.size())
            return false;
        if (Get16(extra, at) == id)
        {
            *field = extra.substr(at + 4, length);
            return true;
        }
        at += 4 + length;
    }
    return false;
}

// The compressed size of a central record, from its ZIP64 field when the
// record escapes it (the field holds the size first when that is escaped too).
bool PackedSize(const std::string& record, size_t at, const std::string& extra, ULONGLONG* packed)
{
    *packed = Get32(record, at + 20);
    if (*packed != kZip32Escape)
        return true;
    std::string zip64;
    size_t offset = Get32(record, at + 24) == kZip32Escape ? 8 : 0;
    if (!FindExtraField(extra, 0x0001, &zip64) || zip64.size() < offset + 8)
        return false;
    *packed = Get64(zip64, offset);
    return true;
}

// The AES fields of an entry (0x9901: version, "AE", strength, method).
bool ReadAesField(const std::string& extra, CZipListedEntry* entry)
{
    std::string aes;
    if (!FindExtraField(extra, 0x9901, &aes) || aes.size() < 7 || aes.compare(2, 2, "AE") != 0)
        return false;
    entry->aesVersion = Get16(aes, 0);
    entry->aesStrength = static_cast<unsigned char>(aes[4]);
    entry->actualMethod = Get16(aes, 5);
    return entry->aesStrength >= 1 && entry->aesStrength <= 3;
}

bool ParseRecord(const std::string& directory, size_t at, CZipListedEntry* entry)
{
    if (at + kCentralRecord > directory.size() || directory.compare(at, 4, "PK\x01\x02", 4) != 0)
        return false;
    size_t nameLength = Get16(directory, at + 28);
    size_t extraLength = Get16(directory, at + 30);
    if (at + kCentralRecord + nameLength + extraLength > directory.size())
        return false;
    std::string extra = directory.substr(at + kCentralRecord + nameLength, extraLength);
    // Listed with backslashes, as the other archiver DLLs list paths.
    entry->name = ZipEntryName(entry->record);
    std::replace(entry->name.begin(), entry->name.end(), L'/', L'\\');
    entry->method = Get16(directory, at + 10);
    entry->actualMethod = entry->method;
    entry->dosTime = static_cast<WORD>(Get16(directory, at + 12));
    entry->dosDate = static_cast<WORD>(Get16(directory, at + 14));
    entry->crc = Get32(directory, at + 16);
    entry->attributes = Get32(directory, at + 38) & 0xFF;
    entry->folder = IsZipFolder(entry->record) || (entry->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry->encrypted = (entry->record.flags & kEncryptedFlag) != 0;
    if (entry->method == kMethodAes && !ReadAesField(extra, entry))
        entry->aesStrength = 0;
    return PackedSize(directory, at, extra, &entry->packedSize);
}

// A local header's sizes, from its ZIP64 field where escaped (that field
// holds both, the original size first).
bool LocalSizes(const std::string& header, const std::string& extra, ULONGLONG* packed, ULONGLONG* size)
{
    *packed = Get32(header, 18);
    *size = Get32(header, 22);
    if (*packed != kZip32Escape && *size != kZip32Escape)
        return true;
    std::string zip64;
    if (!FindExtraField(extra, 0x0001, &zip64) || zip64.size() < 16)
        return false;
    *size = Get64(zip64, 0);
    *packed = Get64(zip64, 8);
    return true;
}

// The data of a stored or deflated entry gives its size and CRC.
bool CheckData(const CByteFile& file, ULONGLONG dataAt, const CZipListedEntry& entry)
{
    if (entry.method == kMethodStore && entry.packedSize != entry.record.size)
        return false;
    z_stream stream;
    memset(&stream, 0, sizeof(stream));
    bool inflating = entry.method == kMethodDeflate;
    if (inflating && inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    std::string input;
    std::string output(inflating ? kReadChunk : 0, '\0');
    ULONGLONG read = 0;
    ULONGLONG produced = 0;
    unsigned long crc = crc32(0L, Z_NULL, 0);
    bool ended = !inflating;
    bool sound = true;
    while (sound && read < entry.packedSize)
    {
        size_t take = static_cast<size_t>(entry.packedSize - read < kReadChunk ? entry.packedSize - read : kReadChunk);
        if (!file.ReadAt(dataAt + read, take, &input))
        {
            sound = false;
            break;
        }
        read += take;
        if (!inflating)
        {
            crc = crc32(crc, reinterpret_cast<const Bytef*>(input.data()), static_cast<uInt>(take));
            produced += take;
            continue;
        }
        stream.next_in = reinterpret_cast<Bytef*>(&input[0]);
        stream.avail_in = static_cast<uInt>(take);
        // Data after the stream's end is damage as much as a stream that
        // stops short of it.
        while (sound && stream.avail_in > 0)
        {
            if (ended)
            {
                sound = false;
                break;
            }
            stream.next_out = reinterpret_cast<Bytef*>(&output[0]);
            stream.avail_out = static_cast<uInt>(output.size());
            int result = inflate(&stream, Z_NO_FLUSH);
            size_t made = output.size() - stream.avail_out;
            crc = crc32(crc, reinterpret_cast<const Bytef*>(output.data()), static_cast<uInt>(made));
            produced += made;
            if (result == Z_STREAM_END)
                ended = true;
            else if (result != Z_OK)
                sound = false;
        }
    }
    // The last input may end the stream with output still held back.
    while (sound && inflating && !ended)
    {
        stream.next_out = reinterpret_cast<Bytef*>(&output[0]);
        stream.avail_out = static_cast<uInt>(output.size());
        int result = inflate(&stream, Z_NO_FLUSH);
        size_t made = output.size() - stream.avail_out;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(output.data()), static_cast<uInt>(made));
        produced += made;
        if (result == Z_STREAM_END)
            ended = true;
        else if (result != Z_OK || made == 0)
            sound = false;
    }
    if (inflating)
        inflateEnd(&stream);
    return sound && ended && produced == entry.record.size && crc == entry.crc;
}

// What can be told of an encrypted entry without its password: the frame
// its cipher puts around the data.
bool CheckEncryptedFrame(const CZipListedEntry& entry, const std::string& localExtra)
{
    if ((entry.record.flags & kStrongEncryptionFlag) != 0)
        return true;
    if (entry.method != kMethodAes)
        return entry.packedSize >= kZipCryptoHeader;
    CZipListedEntry local;
    if (entry.aesStrength == 0 || !ReadAesField(localExtra, &local) || local.aesStrength != entry.aesStrength ||
        local.actualMethod != entry.actualMethod)
        return false;
    // AE-2 leaves the CRC out: the authentication code stands for it.
    if (entry.aesVersion == 2 && entry.crc != 0)
        return false;
    size_t salt = 4 + 4 * entry.aesStrength;
    return entry.packedSize >= salt + kAesVerifier + kAesCode;
}

// The data descriptor after an entry's data (flag bit 3), with or without
// its signature, repeats the CRC.
bool CheckDescriptor(const CByteFile& file, ULONGLONG at, ULONGLONG directoryAt, const CZipListedEntry& entry)
{
    std::string descriptor;
    if (at + 8 > directoryAt || !file.ReadAt(at, 8, &descriptor))
        return false;
    size_t crcAt = descriptor.compare(0, 4, "PK\x07\x08", 4) == 0 ? 4 : 0;
    return Get32(descriptor, crcAt) == entry.crc;
}

bool CheckEntry(const CByteFile& file, ULONGLONG directoryAt, const CZipListedEntry& entry, EZipCheck depth)
{
    std::string header;
    if (entry.record.localAt + kLocalHeader > directoryAt || !file.ReadAt(entry.record.localAt, kLocalHeader, &header) ||
        header.compare(0, 4, "PK\x03\x04", 4) != 0)
        return false;
    unsigned flags = Get16(header, 6);
    size_t nameLength = Get16(header, 26);
    size_t extraLength = Get16(header, 28);
    ULONGLONG dataAt = entry.record.localAt + kLocalHeader + nameLength + extraLength;
    std::string nameAndExtra;
    if (dataAt > directoryAt || !file.ReadAt(entry.record.localAt + kLocalHeader, nameLength + extraLength, &nameAndExtra))
        return false;
    std::string localExtra = nameAndExtra.substr(nameLength);
    if (nameAndExtra.compare(0, nameLength, entry.record.name) != 0 || nameLength != entry.record.name.size() ||
        Get16(header, 8) != entry.method || (flags & kEncryptedFlag) != (entry.record.flags & kEncryptedFlag) ||
        (flags & kDescriptorFlag) != (entry.record.flags & kDescriptorFlag))
        return false;
    if (entry.packedSize > directoryAt - dataAt)
        return false;
    if ((flags & kDescriptorFlag) != 0)
    {
        if (!CheckDescriptor(file, dataAt + entry.packedSize, directoryAt, entry))
            return false;
    }
    else
    {
        ULONGLONG packed = 0, size = 0;
        if (!LocalSizes(header, localExtra, &packed, &size) || packed != entry.packedSize || size != entry.record.size ||
            Get32(header, 14) != entry.crc)
            return false;
    }
    if (entry.encrypted || entry.method == kMethodAes)
        return entry.encrypted && CheckEncryptedFrame(entry, localExtra);
    if (depth == EZipCheck::Structure || (entry.method != kMethodStore && entry.method != kMethodDeflate))
        return true;
    return CheckData(file, dataAt, entry);
}

}  // namespace

bool ReadZipListing(const std::wstring& path, std::vector<CZipListedEntry>* entries)
{
    entries->clear();
    std::vector<CZipEntry> records;
    if (!ReadZipEntries(path, &records))
        return false;
    if (records.empty())
        return true;
    // The records follow one another up to the end records: one read takes
    // them all, however many there are.
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    ULONGLONG directoryAt = records.front().recordAt;
    std::string directory;
    if (!file.IsOpen() || !file.ReadToEnd(directoryAt, &directory))
        return false;
    entries->reserve(records.size());
    for (const CZipEntry& record : records)
    {
        CZipListedEntry entry;
        entry.record = record;
        if (record.recordAt < directoryAt || !ParseRecord(directory, static_cast<size_t>(record.recordAt - directoryAt), &entry))
            return false;
        entries->push_back(entry);
    }
    return true;
}

bool CheckZipArchive(const std::wstring& path, EZipCheck depth)
{
    std::vector<CZipListedEntry> entries;
    if (!ReadZipListing(path, &entries))
        return false;
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    ULONGLONG directoryAt = 0;
    if (!file.IsOpen() || !file.Size(&directoryAt))
        return false;
    for (const CZipListedEntry& entry : entries)
        if (entry.record.recordAt < directoryAt)
            directoryAt = entry.record.recordAt;
    for (const CZipListedEntry& entry : entries)
        if (!CheckEntry(file, directoryAt, entry, depth))
            return false;
    return true;
}

bool MatchesZipWildName(const std::wstring& wild, const std::wstring& name)
{
    auto fold = [](std::wstring text) {
        for (wchar_t& c : text)
            c = c == L'\\' ? L'/' : static_cast<wchar_t>(towlower(c));
        return text;
    };
    return MatchesWildName(fold(wild), fold(name));
}
