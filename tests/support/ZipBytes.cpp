// ZIP archives built byte by byte for the tests of the ZIP reader.
#include "tests/support/ZipBytes.h"

#include <zlib.h>

namespace {

void Put(std::string* bytes, unsigned long long value, size_t width)
{
    for (size_t i = 0; i < width; ++i)
        bytes->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

unsigned long Crc(const std::string& data)
{
    return crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
}

}  // namespace

void PutLittleEndian(std::string* bytes, size_t at, unsigned long long value, size_t width)
{
    for (size_t i = 0; i < width; ++i)
        (*bytes)[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string ZipLocalBytes(const CZipBytesEntry& entry)
{
    bool later = entry.descriptor;
    std::string local("PK\x03\x04", 4);
    Put(&local, 20, 2);
    Put(&local, later ? 8 : 0, 2);
    Put(&local, 0, 2);           // stored
    Put(&local, 0x58210000, 4);  // 2024-01-01 00:00
    Put(&local, later ? 0 : Crc(entry.data), 4);
    Put(&local, later ? 0 : entry.data.size(), 4);
    Put(&local, later ? 0 : entry.data.size(), 4);
    Put(&local, entry.name.size(), 2);
    Put(&local, 0, 2);
    local += entry.name + entry.data;
    if (later)
    {
        local.append("PK\x07\x08", 4);
        Put(&local, Crc(entry.data), 4);
        Put(&local, entry.data.size(), 4);
        Put(&local, entry.data.size(), 4);
    }
    return local;
}

std::string BuildZipBytes(const CZipBytesLayout& layout, CZipBytesMap* map)
{
    CZipBytesMap places;
    std::string zip = layout.stub;
    size_t base = layout.stubCounted ? 0 : layout.stub.size();
    std::vector<size_t> offsets;
    for (const CZipBytesEntry& entry : layout.entries)
    {
        if (entry.pointAt >= 0)
        {
            offsets.push_back(static_cast<size_t>(entry.pointAt));
            places.localAt.push_back(base + static_cast<size_t>(entry.pointAt));
            places.dataAt.push_back(0);
            continue;
        }
        offsets.push_back(zip.size() - base);
        places.localAt.push_back(zip.size());
        places.dataAt.push_back(zip.size() + 30 + entry.name.size());
        zip += ZipLocalBytes(entry);
    }
    places.directoryAt = zip.size();
    for (size_t i = 0; i < layout.entries.size(); ++i)
    {
        const CZipBytesEntry& entry = layout.entries[i];
        std::string extra;
        if (entry.zip64Offset)
        {
            Put(&extra, 1, 2);
            Put(&extra, 8 + entry.zip64Tail.size(), 2);
            Put(&extra, offsets[i], 8);
            extra += entry.zip64Tail;
        }
        places.recordAt.push_back(zip.size());
        zip.append("PK\x01\x02", 4);
        Put(&zip, 20, 2);
        Put(&zip, entry.zip64Offset ? 45 : 20, 2);
        Put(&zip, entry.descriptor ? 8 : 0, 2);
        Put(&zip, 0, 2);
        Put(&zip, 0x58210000, 4);
        Put(&zip, Crc(entry.data), 4);
        Put(&zip, entry.data.size(), 4);
        Put(&zip, entry.data.size(), 4);
        Put(&zip, entry.name.size(), 2);
        Put(&zip, extra.size(), 2);
        Put(&zip, entry.recordComment.size(), 2);
        Put(&zip, 0, 2);
        Put(&zip, 0, 2);
        Put(&zip, 0, 4);
        Put(&zip, entry.zip64Offset ? 0xFFFFFFFFULL : offsets[i], 4);
        zip += entry.name + extra + entry.recordComment;
    }
    size_t directorySize = zip.size() - places.directoryAt;
    size_t directoryOffset = places.directoryAt - base;
    unsigned long long count = layout.count >= 0 ? static_cast<unsigned long long>(layout.count) : layout.entries.size();
    if (layout.zip64)
    {
        size_t recordOffset = zip.size() - base;
        zip.append("PK\x06\x06", 4);
        Put(&zip, 44, 8);
        Put(&zip, 45, 2);
        Put(&zip, 45, 2);
        Put(&zip, 0, 4);
        Put(&zip, 0, 4);
        Put(&zip, count, 8);
        Put(&zip, count, 8);
        Put(&zip, directorySize, 8);
        Put(&zip, directoryOffset, 8);
        zip.append("PK\x06\x07", 4);
        Put(&zip, 0, 4);
        Put(&zip, recordOffset, 8);
        Put(&zip, 1, 4);
    }
    places.endAt = zip.size();
    zip.append("PK\x05\x06", 4);
    Put(&zip, 0, 2);
    Put(&zip, 0, 2);
    Put(&zip, layout.zip64 ? 0xFFFF : count & 0xFFFF, 2);
    Put(&zip, layout.zip64 ? 0xFFFF : count & 0xFFFF, 2);
    Put(&zip, layout.zip64 ? 0xFFFFFFFFULL : directorySize, 4);
    Put(&zip, layout.zip64 ? 0xFFFFFFFFULL : directoryOffset, 4);
    Put(&zip, layout.comment.size(), 2);
    zip += layout.comment;
    if (map != nullptr)
        *map = places;
    return zip;
}
