#include "tessikzip/ZipListing.h"

#include "common/ArchiveBytes.h"
#include "common/FileBytes.h"
#include "common/ZipFormat.h"
#include "dllkit/WildName.h"

#include <zlib.h>

#include <string.h>

#include <algorithm>
#include <utility>
#include <wctype.h>

namespace z = zipformat;

namespace {

const size_t kZipCryptoHeader = 12;
const size_t kAesVerifier = 2;
const size_t kAesCode = 10;
const size_t kReadChunk = 256 * 1024;

// The AES fields of an entry (0x9901: version, "AE", strength, method).
bool ReadAesField(const std::string& extra, CZipListedEntry* entry)
{
    std::string aes;
    if (!FindZipExtraField(extra, z::kExtraAes, &aes) || aes.size() < 7 || aes.compare(2, 2, "AE") != 0)
        return false;
    entry->aesVersion = Get16(aes, 0);
    entry->aesStrength = static_cast<unsigned char>(aes[4]);
    entry->actualMethod = Get16(aes, 5);
    return entry->aesStrength >= 1 && entry->aesStrength <= 3;
}

// The fields INDIVIDUALINFO shows, from the record the reader checked.
void ParseRecord(CZipListedEntry* entry)
{
    const std::string& record = entry->record.record;
    // Listed with backslashes, as the other archiver DLLs list paths.
    entry->name = ZipEntryName(entry->record);
    std::replace(entry->name.begin(), entry->name.end(), L'/', L'\\');
    entry->method = entry->record.method;
    entry->actualMethod = entry->method;
    entry->dosTime = static_cast<WORD>(Get16(record, z::kCentralTimeAt));
    entry->dosDate = static_cast<WORD>(Get16(record, z::kCentralDateAt));
    entry->crc = entry->record.crc;
    entry->packedSize = entry->record.packed;
    entry->attributes = Get32(record, z::kCentralExternalAttributesAt) & 0xFF;
    entry->folder = IsZipFolder(entry->record) || (entry->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry->encrypted = (entry->record.flags & z::kFlagEncrypted) != 0;
    if (entry->method == z::kMethodAes && !ReadAesField(entry->record.Extra(), entry))
        entry->aesStrength = 0;
}

// Runs the inflater over what it holds; false on damage or once it gives
// more than the entry's size, so that a small entry cannot make the check
// inflate gigabytes.
bool Inflate(z_stream* stream, std::string* output, ULONGLONG limit, ULONGLONG* produced, unsigned long* crc, bool* ended)
{
    stream->next_out = reinterpret_cast<Bytef*>(&(*output)[0]);
    stream->avail_out = static_cast<uInt>(output->size());
    int result = inflate(stream, Z_NO_FLUSH);
    size_t made = output->size() - stream->avail_out;
    *crc = crc32(*crc, reinterpret_cast<const Bytef*>(output->data()), static_cast<uInt>(made));
    *produced += made;
    if (result == Z_STREAM_END)
        *ended = true;
    return (result == Z_OK || result == Z_STREAM_END) && *produced <= limit;
}

// The data of a stored or deflated entry gives its size and CRC.
bool CheckData(const CByteFile& file, const CZipListedEntry& entry)
{
    const CZipEntry& record = entry.record;
    if (entry.method == z::kMethodStored && record.packed != record.size)
        return false;
    z_stream stream;
    memset(&stream, 0, sizeof(stream));
    bool inflating = entry.method == z::kMethodDeflated;
    if (inflating && inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    std::string input;
    std::string output(inflating ? kReadChunk : 0, '\0');
    ULONGLONG read = 0;
    ULONGLONG produced = 0;
    unsigned long crc = crc32(0L, Z_NULL, 0);
    bool ended = !inflating;
    bool sound = true;
    while (sound && read < record.packed)
    {
        size_t take = static_cast<size_t>(std::min<ULONGLONG>(record.packed - read, kReadChunk));
        if (!file.ReadAt(record.dataAt + read, take, &input))
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
            sound = !ended && Inflate(&stream, &output, record.size, &produced, &crc, &ended);
    }
    // The last input may end the stream with output still held back.
    while (sound && inflating && !ended)
    {
        ULONGLONG before = produced;
        sound = Inflate(&stream, &output, record.size, &produced, &crc, &ended) && (ended || produced > before);
    }
    if (inflating)
        inflateEnd(&stream);
    return sound && ended && produced == record.size && crc == entry.crc;
}

// What can be told of an encrypted entry without its password: the frame
// its cipher puts around the data.
bool CheckEncryptedFrame(const CZipListedEntry& entry)
{
    if ((entry.record.flags & z::kFlagStrongEncryption) != 0)
        return true;
    if (entry.method != z::kMethodAes)
        return entry.packedSize >= kZipCryptoHeader;
    CZipListedEntry local;
    if (entry.aesStrength == 0 || !ReadAesField(entry.record.localExtra, &local) ||
        local.aesStrength != entry.aesStrength || local.actualMethod != entry.actualMethod)
        return false;
    // AE-2 leaves the CRC out: the authentication code stands for it.
    if (entry.aesVersion == 2 && entry.crc != 0)
        return false;
    size_t salt = 4 + 4 * entry.aesStrength;
    return entry.packedSize >= salt + kAesVerifier + kAesCode;
}

// The reader has matched the local header's name, CRC and sizes and found
// the entry's extent; here its method and flags, then its data.
bool CheckEntry(const CByteFile& file, const CZipListedEntry& entry, EZipCheck depth)
{
    std::string header;
    if (!file.ReadAt(entry.record.localAt, z::kLocalHeaderSize, &header))
        return false;
    unsigned flags = Get16(header, z::kLocalFlagsAt);
    unsigned mask = z::kFlagEncrypted | z::kFlagDescriptor;
    if (Get16(header, z::kLocalMethodAt) != entry.method || (flags & mask) != (entry.record.flags & mask))
        return false;
    if (entry.encrypted || entry.method == z::kMethodAes)
        return entry.encrypted && CheckEncryptedFrame(entry);
    if (depth == EZipCheck::Structure || (entry.method != z::kMethodStored && entry.method != z::kMethodDeflated))
        return true;
    return CheckData(file, entry);
}

}  // namespace

bool ReadZipListing(const std::wstring& path, std::vector<CZipListedEntry>* entries)
{
    entries->clear();
    CZipArchive archive;
    EZipRead read = ReadZipArchive(path, &archive);
    // The last part of a split set lists what the set holds.
    if (read != EZipRead::kRead && read != EZipRead::kSplit)
        return false;
    entries->reserve(archive.entries.size());
    for (CZipEntry& record : archive.entries)
    {
        CZipListedEntry entry;
        entry.record = std::move(record);
        ParseRecord(&entry);
        entries->push_back(std::move(entry));
    }
    return true;
}

bool CheckZipArchive(const std::wstring& path, EZipCheck depth)
{
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    CZipArchive archive;
    // Overlapping entries, or any other disagreement, fail here at once.
    if (ReadZipArchive(file, &archive) != EZipRead::kRead)
        return false;
    for (CZipEntry& record : archive.entries)
    {
        CZipListedEntry entry;
        entry.record = std::move(record);
        ParseRecord(&entry);
        if (!CheckEntry(file, entry, depth))
            return false;
    }
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
