// The strict reader of ZIP directories: end record, ZIP64 records, central
// directory and every entry's local header, each checked against the file.
#include "common/ZipDirectory.h"

#include "common/ArchiveBytes.h"
#include "common/FileBytes.h"
#include "common/ZipFormat.h"

#include <stdint.h>

#include <algorithm>

namespace z = zipformat;

namespace {

// Local headers are read through a window of this size: an archive of many
// small files then costs a read per window, not two per entry.
const size_t kHeaderWindow = 64 * 1024;
// Past this a directory is not read into memory (a 32-bit process could not
// hold it anyway).
const ULONGLONG kMaxDirectory = 1ULL << 30;

bool HasSignature(const std::string& bytes, size_t at, const char* signature)
{
    return at + z::kSignatureSize <= bytes.size() && bytes.compare(at, z::kSignatureSize, signature, z::kSignatureSize) == 0;
}

// Reads of the file at ascending offsets below a limit, through one window.
class CWindowedReader
{
public:
    CWindowedReader(const CByteFile& file, ULONGLONG limit) : m_file(file), m_limit(limit), m_at(0) {}

    // Exactly length bytes at at, all below the limit.
    bool Read(ULONGLONG at, size_t length, std::string* bytes)
    {
        if (at > m_limit || length > m_limit - at)
            return false;
        if (at < m_at || at + length > m_at + m_window.size())
        {
            ULONGLONG take = std::max<ULONGLONG>(length, std::min<ULONGLONG>(kHeaderWindow, m_limit - at));
            m_window.clear();
            if (!m_file.ReadAt(at, static_cast<size_t>(take), &m_window))
                return false;
            m_at = at;
        }
        bytes->assign(m_window, static_cast<size_t>(at - m_at), length);
        return true;
    }

private:
    const CByteFile& m_file;
    ULONGLONG m_limit;
    ULONGLONG m_at;
    std::string m_window;
};

// What an end record (and the ZIP64 records before it) says of the directory.
struct CDirectoryFacts
{
    ULONGLONG directoryAt = 0;  // in the file
    ULONGLONG directorySize = 0;
    ULONGLONG entries = 0;
    bool countOf16Bits = true;  // the count may have wrapped past 65,535
    ULONGLONG shift = 0;        // bytes before the archive that its offsets do not count
    bool split = false;
};

enum class ECandidate
{
    kTaken,
    kSkipped,  // its directory does not stand where it says
    kDamaged,
    kUnreadable,
};

// Where the directory of size bytes stands, stated at offset and ending no
// later than limit: at the offset, or (behind a stub that the offsets do
// not count) right before limit. An empty directory needs no signature.
bool PlaceDirectory(const CByteFile& file, ULONGLONG offset, ULONGLONG size, ULONGLONG limit, CDirectoryFacts* facts)
{
    if (size > limit)
        return false;
    std::string signature;
    if (size == 0)
    {
        if (offset > limit)
            return false;
        facts->directoryAt = limit;
        facts->shift = limit - offset;
        return true;
    }
    if (offset <= limit - size && file.ReadAt(offset, z::kSignatureSize, &signature) &&
        HasSignature(signature, 0, z::kCentralSignature))
    {
        facts->directoryAt = offset;
        facts->shift = 0;
        return true;
    }
    ULONGLONG at = limit - size;
    if (at > offset && file.ReadAt(at, z::kSignatureSize, &signature) && HasSignature(signature, 0, z::kCentralSignature))
    {
        facts->directoryAt = at;
        facts->shift = at - offset;
        return true;
    }
    return false;
}

// The ZIP64 end record that the locator before the end record points at:
// where it says, or right before the locator behind a stub.
ECandidate ReadZip64Records(const CByteFile& file, ULONGLONG locatorAt, const std::string& locator, CDirectoryFacts* facts)
{
    ULONGLONG statedAt = Get64(locator, z::kZip64LocatorRecordAt);
    std::string record;
    ULONGLONG recordAt = statedAt;
    bool found = statedAt <= locatorAt && locatorAt - statedAt >= z::kZip64EndRecordSize &&
                 file.ReadAt(statedAt, z::kZip64EndRecordSize, &record) && HasSignature(record, 0, z::kZip64EndSignature);
    if (!found && locatorAt >= z::kZip64EndRecordSize)
    {
        recordAt = locatorAt - z::kZip64EndRecordSize;
        found = recordAt > statedAt && file.ReadAt(recordAt, z::kZip64EndRecordSize, &record) &&
                HasSignature(record, 0, z::kZip64EndSignature);
    }
    if (!found)
        return ECandidate::kDamaged;
    ULONGLONG remainder = Get64(record, z::kZip64EndRemainderAt);
    if (remainder < z::kZip64EndRecordSize - 12 || remainder > locatorAt - recordAt - 12)
        return ECandidate::kDamaged;
    facts->split = facts->split || Get32(record, z::kZip64EndDiskAt) != 0 ||
                   Get32(record, z::kZip64EndDirectoryDiskAt) != 0 || Get32(locator, z::kZip64LocatorDiskAt) != 0 ||
                   Get32(locator, z::kZip64LocatorDisksAt) > 1;
    facts->entries = Get64(record, z::kZip64EndEntriesAt);
    facts->directorySize = Get64(record, z::kZip64EndDirectorySizeAt);
    facts->countOf16Bits = false;
    if (!PlaceDirectory(file, Get64(record, z::kZip64EndDirectoryAt), facts->directorySize, recordAt, facts))
        return ECandidate::kSkipped;
    // A stub moves the ZIP64 record as much as the directory.
    return facts->shift == recordAt - statedAt ? ECandidate::kTaken : ECandidate::kDamaged;
}

// One end record found at endAt: the directory it describes, with the
// ZIP64 records when their locator stands right before it.
ECandidate ReadEndRecord(const CByteFile& file, ULONGLONG endAt, const std::string& end, CDirectoryFacts* facts)
{
    facts->split = Get16(end, z::kEndDiskAt) != 0 || Get16(end, z::kEndDirectoryDiskAt) != 0;
    std::string locator;
    if (endAt >= z::kZip64LocatorSize && file.ReadAt(endAt - z::kZip64LocatorSize, z::kZip64LocatorSize, &locator) &&
        HasSignature(locator, 0, z::kZip64LocatorSignature))
    {
        // The end record's disks say 0xFFFF when the ZIP64 record holds them.
        facts->split = (Get16(end, z::kEndDiskAt) != 0 && Get16(end, z::kEndDiskAt) != z::kEscape16) ||
                       (Get16(end, z::kEndDirectoryDiskAt) != 0 && Get16(end, z::kEndDirectoryDiskAt) != z::kEscape16);
        return ReadZip64Records(file, endAt - z::kZip64LocatorSize, locator, facts);
    }
    facts->entries = Get16(end, z::kEndEntriesAt);
    facts->directorySize = Get32(end, z::kEndDirectorySizeAt);
    facts->countOf16Bits = true;
    return PlaceDirectory(file, Get32(end, z::kEndDirectoryAt), facts->directorySize, endAt, facts) ? ECandidate::kTaken
                                                                                                   : ECandidate::kSkipped;
}

// The end record is the one whose comment ends exactly at the end of the
// file, searched from the end (a comment may itself hold the bytes of one);
// a candidate whose directory is not where it says is passed over.
EZipRead FindDirectory(const CByteFile& file, ULONGLONG fileSize, CDirectoryFacts* facts, std::string* comment)
{
    if (fileSize < z::kEndRecordSize)
        return EZipRead::kNotZip;
    size_t tailLength = static_cast<size_t>(std::min<ULONGLONG>(fileSize, z::kMaxComment + z::kEndRecordSize));
    std::string tail;
    if (!file.ReadAt(fileSize - tailLength, tailLength, &tail))
        return EZipRead::kUnreadable;
    bool anyCandidate = false;
    for (size_t at = tailLength - z::kEndRecordSize + 1; at-- > 0;)
    {
        if (!HasSignature(tail, at, z::kEndSignature) ||
            at + z::kEndRecordSize + Get16(tail, at + z::kEndCommentLengthAt) != tailLength)
            continue;
        anyCandidate = true;
        ULONGLONG endAt = fileSize - tailLength + at;
        *facts = CDirectoryFacts();
        switch (ReadEndRecord(file, endAt, tail.substr(at, z::kEndRecordSize), facts))
        {
        case ECandidate::kTaken:
            *comment = tail.substr(at + z::kEndRecordSize);
            return EZipRead::kRead;
        case ECandidate::kSkipped:
            continue;
        case ECandidate::kDamaged:
            return EZipRead::kDamaged;
        case ECandidate::kUnreadable:
            return EZipRead::kUnreadable;
        }
    }
    return anyCandidate ? EZipRead::kDamaged : EZipRead::kNotZip;
}

// The values of a directory record that say 0xFFFFFFFF (0xFFFF for the
// disk), from its ZIP64 field, in the field's order. A record that escapes
// a value without a ZIP64 field keeps the value, as zipfile reads it; a
// field too short for what it must hold is damage.
bool ReadZip64Values(const std::string& extra, CZipEntry* entry, ULONGLONG* localAt, unsigned long* disk)
{
    bool sizeEscaped = entry->size == z::kEscape32;
    bool packedEscaped = entry->packed == z::kEscape32;
    bool localEscaped = *localAt == z::kEscape32;
    bool diskEscaped = *disk == z::kEscape16;
    std::string field;
    if (!(sizeEscaped || packedEscaped || localEscaped || diskEscaped) || !FindZipExtraField(extra, z::kExtraZip64, &field))
        return true;
    size_t at = 0;
    auto take64 = [&](ULONGLONG* value) {
        if (at + 8 > field.size())
            return false;
        *value = Get64(field, at);
        at += 8;
        return true;
    };
    if ((sizeEscaped && !take64(&entry->size)) || (packedEscaped && !take64(&entry->packed)) ||
        (localEscaped && !take64(localAt)))
        return false;
    if (diskEscaped)
    {
        if (at + 4 > field.size())
            return false;
        *disk = Get32(field, at);
    }
    return true;
}

// Every field of an extra block lies inside it (up to three bytes of
// padding may follow the last, as zipfile accepts).
bool IsWellFormedExtra(const std::string& extra)
{
    size_t at = 0;
    while (at + z::kExtraHeaderSize <= extra.size())
    {
        size_t length = Get16(extra, at + 2);
        if (at + z::kExtraHeaderSize + length > extra.size())
            return false;
        at += z::kExtraHeaderSize + length;
    }
    return true;
}

// The records over the directory's stated size. *split when a record lies
// on another disk.
EZipRead ReadRecords(const std::string& directory, const CDirectoryFacts& facts, std::vector<CZipEntry>* entries,
                     bool* split)
{
    size_t at = 0;
    while (at < directory.size())
    {
        if (at + z::kCentralRecordSize > directory.size() || !HasSignature(directory, at, z::kCentralSignature))
            return EZipRead::kDamaged;
        size_t nameLength = Get16(directory, at + z::kCentralNameLengthAt);
        size_t extraLength = Get16(directory, at + z::kCentralExtraLengthAt);
        size_t commentLength = Get16(directory, at + z::kCentralCommentLengthAt);
        size_t length = z::kCentralRecordSize + nameLength + extraLength + commentLength;
        if (length > directory.size() - at)
            return EZipRead::kDamaged;
        CZipEntry entry;
        entry.record = directory.substr(at, length);
        entry.name = entry.record.substr(z::kCentralRecordSize, nameLength);
        std::string extra = entry.Extra();
        // A NUL ends the name for some readers and not for others.
        if (entry.name.find('\0') != std::string::npos || !IsWellFormedExtra(extra))
            return EZipRead::kDamaged;
        entry.flags = Get16(entry.record, z::kCentralFlagsAt);
        entry.method = Get16(entry.record, z::kCentralMethodAt);
        entry.crc = Get32(entry.record, z::kCentralCrcAt);
        entry.size = Get32(entry.record, z::kCentralSizeAt);
        entry.packed = Get32(entry.record, z::kCentralPackedAt);
        entry.recordAt = facts.directoryAt + at;
        ULONGLONG localAt = Get32(entry.record, z::kCentralLocalAt);
        unsigned long disk = Get16(entry.record, z::kCentralDiskAt);
        if (!ReadZip64Values(extra, &entry, &localAt, &disk))
            return EZipRead::kDamaged;
        *split = *split || disk != 0;
        if (localAt > UINT64_MAX - facts.shift)
            return EZipRead::kDamaged;
        entry.localAt = localAt + facts.shift;
        entries->push_back(entry);
        at += length;
    }
    // Writers without ZIP64 records leave the 16-bit count wrapped.
    ULONGLONG found = entries->size();
    bool countAgrees = found == facts.entries ||
                       (facts.countOf16Bits && found > facts.entries && (found - facts.entries) % 0x10000 == 0);
    return countAgrees ? EZipRead::kRead : EZipRead::kDamaged;
}

// The local header's sizes, from its ZIP64 field where escaped (that
// field holds both, the original size first).
bool LocalSizes(const std::string& header, const std::string& extra, ULONGLONG* packed, ULONGLONG* size)
{
    *packed = Get32(header, z::kLocalPackedAt);
    *size = Get32(header, z::kLocalSizeAt);
    if (*packed != z::kEscape32 && *size != z::kEscape32)
        return true;
    std::string field;
    if (!FindZipExtraField(extra, z::kExtraZip64, &field) || field.size() < 16)
        return false;
    *size = Get64(field, 0);
    *packed = Get64(field, 8);
    return true;
}

// The data descriptor after the data (flag bit 3), with or without its
// signature, in 4-byte sizes or 8-byte ones (an entry with a ZIP64 field
// in its local header writes those): its length when it repeats the
// record's CRC and sizes.
bool DescriptorLength(CWindowedReader* reader, ULONGLONG at, ULONGLONG limit, const CZipEntry& entry, bool wide,
                      ULONGLONG* length)
{
    std::string bytes;
    size_t want = static_cast<size_t>(std::min<ULONGLONG>(limit - at, z::kSignatureSize + z::kDescriptorSize64));
    if (!reader->Read(at, want, &bytes))
        return false;
    size_t skip = HasSignature(bytes, 0, z::kDescriptorSignature) ? z::kSignatureSize : 0;
    for (int attempt = 0; attempt < 2; ++attempt, wide = !wide)
    {
        size_t size = wide ? z::kDescriptorSize64 : z::kDescriptorSize32;
        if (skip + size > bytes.size() || Get32(bytes, skip) != entry.crc)
            continue;
        ULONGLONG packed = wide ? Get64(bytes, skip + 4) : Get32(bytes, skip + 4);
        ULONGLONG original = wide ? Get64(bytes, skip + 12) : Get32(bytes, skip + 8);
        if (packed == entry.packed && original == entry.size)
        {
            *length = skip + size;
            return true;
        }
    }
    return false;
}

// An entry's extent from its own local header, which must agree with its
// record on name, CRC and sizes; its data and descriptor lie before the
// directory.
bool FindExtent(CWindowedReader* reader, ULONGLONG directoryAt, CZipEntry* entry)
{
    std::string header;
    if (!reader->Read(entry->localAt, z::kLocalHeaderSize, &header) || !HasSignature(header, 0, z::kLocalSignature))
        return false;
    size_t nameLength = Get16(header, z::kLocalNameLengthAt);
    size_t extraLength = Get16(header, z::kLocalExtraLengthAt);
    std::string nameAndExtra;
    if (!reader->Read(entry->localAt + z::kLocalHeaderSize, nameLength + extraLength, &nameAndExtra) ||
        nameAndExtra.compare(0, nameLength, entry->name) != 0 || nameLength != entry->name.size())
        return false;
    entry->localExtra = nameAndExtra.substr(nameLength);
    entry->dataAt = entry->localAt + z::kLocalHeaderSize + nameLength + extraLength;
    if (entry->packed > directoryAt - entry->dataAt)
        return false;
    ULONGLONG dataEnd = entry->dataAt + entry->packed;
    unsigned long crc = Get32(header, z::kLocalCrcAt);
    ULONGLONG packed = 0, size = 0;
    bool sizesRead = LocalSizes(header, entry->localExtra, &packed, &size);
    if ((Get16(header, z::kLocalFlagsAt) & z::kFlagDescriptor) == 0)
    {
        if (!sizesRead || crc != entry->crc || packed != entry->packed || size != entry->size)
            return false;
        entry->endAt = dataEnd;
        return true;
    }
    // With a descriptor the header may say 0 for what follows the data.
    if ((crc != 0 && crc != entry->crc) || (sizesRead && packed != 0 && packed != entry->packed) ||
        (sizesRead && size != 0 && size != entry->size))
        return false;
    std::string zip64;
    bool wide = FindZipExtraField(entry->localExtra, z::kExtraZip64, &zip64) || entry->packed >= z::kEscape32 ||
                entry->size >= z::kEscape32;
    ULONGLONG length = 0;
    if (!DescriptorLength(reader, dataEnd, directoryAt, *entry, wide, &length))
        return false;
    entry->endAt = dataEnd + length;
    return true;
}

// Every entry's extent, none overlapping another.
bool FindExtents(const CByteFile& file, ULONGLONG directoryAt, std::vector<CZipEntry>* entries)
{
    std::vector<CZipEntry*> byPlace;
    for (CZipEntry& entry : *entries)
        byPlace.push_back(&entry);
    std::sort(byPlace.begin(), byPlace.end(), [](const CZipEntry* a, const CZipEntry* b) { return a->localAt < b->localAt; });
    CWindowedReader reader(file, directoryAt);
    ULONGLONG previousEnd = 0;
    for (CZipEntry* entry : byPlace)
    {
        if (entry->localAt < previousEnd || !FindExtent(&reader, directoryAt, entry))
            return false;
        previousEnd = entry->endAt;
    }
    return true;
}

bool StartsAsSplitPart(const CByteFile& file)
{
    std::string start;
    return file.ReadAt(0, z::kSignatureSize, &start) &&
           (HasSignature(start, 0, z::kDescriptorSignature) || HasSignature(start, 0, z::kSingleSplitSignature));
}

}  // namespace

std::string CZipEntry::Extra() const
{
    if (record.size() < z::kCentralRecordSize)
        return std::string();
    size_t nameLength = Get16(record, z::kCentralNameLengthAt);
    size_t extraLength = Get16(record, z::kCentralExtraLengthAt);
    return record.substr(z::kCentralRecordSize + nameLength, extraLength);
}

EZipRead ReadZipArchive(const CByteFile& file, CZipArchive* archive)
{
    *archive = CZipArchive();
    ULONGLONG fileSize = 0;
    if (!file.IsOpen() || !file.Size(&fileSize))
        return EZipRead::kUnreadable;
    CDirectoryFacts facts;
    EZipRead found = FindDirectory(file, fileSize, &facts, &archive->comment);
    if (found != EZipRead::kRead)
        return found;
    if (facts.directorySize > kMaxDirectory)
        return EZipRead::kUnreadable;
    std::string directory;
    if (!file.ReadAt(facts.directoryAt, static_cast<size_t>(facts.directorySize), &directory))
        return EZipRead::kUnreadable;
    bool split = facts.split || StartsAsSplitPart(file);
    EZipRead read = ReadRecords(directory, facts, &archive->entries, &split);
    archive->directoryAt = facts.directoryAt;
    archive->directorySize = facts.directorySize;
    if (read != EZipRead::kRead)
    {
        archive->entries.clear();
        return read;
    }
    // A part of a split set holds the directory; the entries' bytes lie in
    // the other parts.
    if (split)
        return EZipRead::kSplit;
    if (!FindExtents(file, facts.directoryAt, &archive->entries))
    {
        archive->entries.clear();
        return EZipRead::kDamaged;
    }
    archive->firstEntryAt = facts.directoryAt;
    for (const CZipEntry& entry : archive->entries)
        archive->firstEntryAt = std::min(archive->firstEntryAt, entry.localAt);
    return EZipRead::kRead;
}

EZipRead ReadZipArchive(const std::wstring& path, CZipArchive* archive)
{
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    if (!file.IsOpen())
    {
        *archive = CZipArchive();
        return EZipRead::kUnreadable;
    }
    return ReadZipArchive(file, archive);
}

bool ReadZipEntries(const std::wstring& path, std::vector<CZipEntry>* entries)
{
    CZipArchive archive;
    bool read = ReadZipArchive(path, &archive) == EZipRead::kRead;
    entries->swap(archive.entries);
    return read;
}

size_t FindZipExtraFieldAt(const std::string& extra, unsigned id)
{
    for (size_t at = 0; at + z::kExtraHeaderSize <= extra.size();)
    {
        size_t length = Get16(extra, at + 2);
        if (at + z::kExtraHeaderSize + length > extra.size())
            return std::string::npos;
        if (Get16(extra, at) == id)
            return at;
        at += z::kExtraHeaderSize + length;
    }
    return std::string::npos;
}

bool FindZipExtraField(const std::string& extra, unsigned id, std::string* field)
{
    size_t at = FindZipExtraFieldAt(extra, id);
    if (at == std::string::npos)
        return false;
    *field = extra.substr(at + z::kExtraHeaderSize, Get16(extra, at + 2));
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
    if ((entry.flags & z::kFlagUtf8) == 0 &&
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
