#include "tessikzip/ZipRecords.h"

namespace {

// MS-DOS, version 6.3 of the format.
const WORD kVersionMadeBy = 63;
const WORD kVersionDefault = 20;
const WORD kVersionZip64 = 45;
const WORD kVersionAes = 51;
const WORD kFieldZip64 = zipformat::kExtraZip64;
const WORD kFieldNtfs = zipformat::kExtraNtfs;
const WORD kFieldTimestamp = zipformat::kExtraTimestamp;
// 100 ns steps from 1601 to 1970.
const ULONGLONG kUnixEpoch = 116444736000000000ULL;

ULONGLONG Ticks(const FILETIME& time) { return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

// Seconds since 1970 when a 32-bit signed field holds them.
bool UnixTime(const FILETIME& time, unsigned long* seconds)
{
    ULONGLONG ticks = Ticks(time);
    if (ticks < kUnixEpoch || (ticks - kUnixEpoch) / 10000000ULL > 0x7FFFFFFFULL)
        return false;
    *seconds = static_cast<unsigned long>((ticks - kUnixEpoch) / 10000000ULL);
    return true;
}

void PutField(std::string* extra, WORD id, const std::string& body)
{
    Put16(extra, id);
    Put16(extra, static_cast<unsigned>(body.size()));
    *extra += body;
}

std::string NtfsField(const CZipRecord& record)
{
    std::string body;
    Put32(&body, 0);
    Put16(&body, 1);
    Put16(&body, 24);
    Put64(&body, Ticks(record.written));
    Put64(&body, Ticks(record.accessed));
    Put64(&body, Ticks(record.created));
    return body;
}

// The extended timestamp: all three times in the local header, the
// modification time alone in the directory, as its readers expect.
std::string TimestampField(const CZipRecord& record, bool local)
{
    unsigned long written = 0, accessed = 0, created = 0;
    if (!UnixTime(record.written, &written))
        return std::string();
    bool hasAccessed = local && UnixTime(record.accessed, &accessed);
    bool hasCreated = local && UnixTime(record.created, &created);
    std::string body(1, static_cast<char>(1 | (hasAccessed ? 2 : 0) | (hasCreated ? 4 : 0)));
    if (!local)
        body[0] = static_cast<char>(1 | (UnixTime(record.accessed, &accessed) ? 2 : 0) |
                                    (UnixTime(record.created, &created) ? 4 : 0));
    Put32(&body, written);
    if (hasAccessed)
        Put32(&body, accessed);
    if (hasCreated)
        Put32(&body, created);
    return body;
}

std::string TimeFields(const CZipRecord& record, bool local)
{
    std::string extra;
    PutField(&extra, kFieldNtfs, NtfsField(record));
    std::string stamp = TimestampField(record, local);
    if (!stamp.empty())
        PutField(&extra, kFieldTimestamp, stamp);
    return extra;
}

WORD VersionNeeded(const CZipRecord& record, bool zip64)
{
    if (record.method == kMethodAes)
        return kVersionAes;
    return zip64 ? kVersionZip64 : kVersionDefault;
}

}  // namespace

void Put16(std::string* bytes, unsigned value)
{
    bytes->push_back(static_cast<char>(value & 0xFF));
    bytes->push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string* bytes, unsigned long value)
{
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, (value >> 16) & 0xFFFF);
}

void Put64(std::string* bytes, ULONGLONG value)
{
    Put32(bytes, static_cast<unsigned long>(value & 0xFFFFFFFFULL));
    Put32(bytes, static_cast<unsigned long>(value >> 32));
}

void Set32(std::string* bytes, size_t at, unsigned long value)
{
    for (int i = 0; i < 4; ++i)
        (*bytes)[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

DWORD DosTimeOf(const FILETIME& time)
{
    FILETIME local;
    SYSTEMTIME parts;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &parts) || parts.wYear < 1980)
        return (1 << 21) | (1 << 16);
    if (parts.wYear > 2107)
        parts.wYear = 2107;
    WORD date = static_cast<WORD>(((parts.wYear - 1980) << 9) | (parts.wMonth << 5) | parts.wDay);
    WORD clock = static_cast<WORD>((parts.wHour << 11) | (parts.wMinute << 5) | (parts.wSecond / 2));
    return (static_cast<DWORD>(date) << 16) | clock;
}

std::string LocalHeader(const CZipRecord& record)
{
    std::string extra;
    if (record.zip64Local)
    {
        std::string body;
        Put64(&body, record.size);
        Put64(&body, record.packed);
        PutField(&extra, kFieldZip64, body);
    }
    extra += TimeFields(record, true);
    extra += record.aesExtra;
    std::string header("PK\x03\x04", 4);
    Put16(&header, VersionNeeded(record, record.zip64Local));
    Put16(&header, record.flags);
    Put16(&header, record.method);
    Put32(&header, record.dosTime);
    bool later = (record.flags & kFlagDescriptor) != 0;
    Put32(&header, later ? 0 : record.crc);
    if (record.zip64Local)
    {
        Put32(&header, kZip32Limit);
        Put32(&header, kZip32Limit);
    }
    else
    {
        Put32(&header, later ? 0 : static_cast<unsigned long>(record.packed));
        Put32(&header, later ? 0 : static_cast<unsigned long>(record.size));
    }
    Put16(&header, static_cast<unsigned>(record.name.size()));
    Put16(&header, static_cast<unsigned>(extra.size()));
    return header + record.name + extra;
}

std::string DataDescriptor(const CZipRecord& record)
{
    std::string descriptor("PK\x07\x08", 4);
    Put32(&descriptor, record.crc);
    if (record.zip64Local)
    {
        Put64(&descriptor, record.packed);
        Put64(&descriptor, record.size);
    }
    else
    {
        Put32(&descriptor, static_cast<unsigned long>(record.packed));
        Put32(&descriptor, static_cast<unsigned long>(record.size));
    }
    return descriptor;
}

std::string CentralRecord(const CZipRecord& record)
{
    bool bigSize = record.size >= kZip32Limit;
    bool bigPacked = record.packed >= kZip32Limit;
    bool bigOffset = record.localAt >= kZip32Limit;
    std::string extra;
    if (bigSize || bigPacked || bigOffset)
    {
        std::string body;
        if (bigSize)
            Put64(&body, record.size);
        if (bigPacked)
            Put64(&body, record.packed);
        if (bigOffset)
            Put64(&body, record.localAt);
        PutField(&extra, kFieldZip64, body);
    }
    extra += TimeFields(record, false);
    extra += record.aesExtra;
    std::string central("PK\x01\x02", 4);
    Put16(&central, kVersionMadeBy);
    Put16(&central, VersionNeeded(record, bigSize || bigPacked || bigOffset || record.zip64Local));
    Put16(&central, record.flags);
    Put16(&central, record.method);
    Put32(&central, record.dosTime);
    Put32(&central, record.crc);
    Put32(&central, bigPacked ? kZip32Limit : static_cast<unsigned long>(record.packed));
    Put32(&central, bigSize ? kZip32Limit : static_cast<unsigned long>(record.size));
    Put16(&central, static_cast<unsigned>(record.name.size()));
    Put16(&central, static_cast<unsigned>(extra.size()));
    Put16(&central, 0);  // comment
    Put16(&central, 0);  // disk
    Put16(&central, 0);  // internal attributes
    Put32(&central, record.attributes & 0xFF);
    Put32(&central, bigOffset ? kZip32Limit : static_cast<unsigned long>(record.localAt));
    return central + record.name + extra;
}

std::string EndRecords(ULONGLONG entries, ULONGLONG directoryAt, ULONGLONG directorySize, const std::string& comment)
{
    bool zip64 = entries >= 0xFFFF || directoryAt >= kZip32Limit || directorySize >= kZip32Limit;
    std::string end;
    if (zip64)
    {
        ULONGLONG recordAt = directoryAt + directorySize;
        end.append("PK\x06\x06", 4);
        Put64(&end, 44);
        Put16(&end, kVersionMadeBy);
        Put16(&end, kVersionZip64);
        Put32(&end, 0);
        Put32(&end, 0);
        Put64(&end, entries);
        Put64(&end, entries);
        Put64(&end, directorySize);
        Put64(&end, directoryAt);
        end.append("PK\x06\x07", 4);
        Put32(&end, 0);
        Put64(&end, recordAt);
        Put32(&end, 1);
    }
    end.append("PK\x05\x06", 4);
    Put32(&end, 0);
    Put16(&end, zip64 ? 0xFFFF : static_cast<unsigned>(entries));
    Put16(&end, zip64 ? 0xFFFF : static_cast<unsigned>(entries));
    Put32(&end, zip64 ? kZip32Limit : static_cast<unsigned long>(directorySize));
    Put32(&end, zip64 ? kZip32Limit : static_cast<unsigned long>(directoryAt));
    Put16(&end, static_cast<unsigned>(comment.size()));
    return end + comment;
}
