#include "tessik7z/SevenZipHeaderOut.h"

#include <lzma.h>

namespace {

using namespace sevenzipid;

void PutByte(std::string* out, unsigned value) { out->push_back(static_cast<char>(value & 0xFF)); }

void PutFixed(std::string* out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        PutByte(out, static_cast<unsigned>(value >> (8 * i)));
}

// 7z's numbers: as many leading one bits in the first byte as bytes follow
// it (little-endian), the rest of the first byte the highest bits.
void PutNumber(std::string* out, uint64_t value)
{
    int extra = 0;
    while (extra < 8 && value >= (uint64_t(1) << (7 * (extra + 1))))
        ++extra;
    if (extra == 8)
    {
        PutByte(out, 0xFF);
        PutFixed(out, value, 8);
        return;
    }
    unsigned first = (0xFF00u >> extra) & 0xFF;
    PutByte(out, first | static_cast<unsigned>(value >> (8 * extra)));
    PutFixed(out, value, extra);
}

void PutBits(std::string* out, const std::vector<bool>& bits)
{
    unsigned byte = 0;
    size_t i = 0;
    for (; i < bits.size(); ++i)
    {
        byte |= (bits[i] ? 0x80u : 0u) >> (i % 8);
        if (i % 8 == 7)
        {
            PutByte(out, byte);
            byte = 0;
        }
    }
    if (i % 8 != 0)
        PutByte(out, byte);
}

// A defined vector: "all defined" alone when every bit is set.
void PutDefined(std::string* out, const std::vector<bool>& defined)
{
    bool all = true;
    for (bool bit : defined)
        all = all && bit;
    PutByte(out, all ? 1 : 0);
    if (!all)
        PutBits(out, defined);
}

void PutMethodId(std::string* out, uint64_t method, unsigned flags)
{
    int size = 1;
    while (size < 8 && (method >> (8 * size)) != 0)
        ++size;
    PutByte(out, static_cast<unsigned>(size) | flags);
    for (int i = size - 1; i >= 0; --i)
        PutByte(out, static_cast<unsigned>(method >> (8 * i)));
}

void PutFolder(std::string* out, const CSevenZipFolder& folder)
{
    PutNumber(out, folder.coders.size());
    for (const CSevenZipCoder& coder : folder.coders)
    {
        bool complex = coder.inStreams != 1 || coder.outStreams != 1;
        unsigned flags = (complex ? 0x10 : 0) | (coder.properties.empty() ? 0 : 0x20);
        PutMethodId(out, coder.method, flags);
        if (complex)
        {
            PutNumber(out, coder.inStreams);
            PutNumber(out, coder.outStreams);
        }
        if (!coder.properties.empty())
        {
            PutNumber(out, coder.properties.size());
            out->append(coder.properties);
        }
    }
    for (const CSevenZipBindPair& pair : folder.bindPairs)
    {
        PutNumber(out, pair.inIndex);
        PutNumber(out, pair.outIndex);
    }
    if (folder.packedInStreams.size() > 1)
        for (uint64_t index : folder.packedInStreams)
            PutNumber(out, index);
}

void PutCrcs(std::string* out, const std::vector<bool>& defined, const std::vector<uint32_t>& crcs)
{
    PutByte(out, kCrc);
    PutDefined(out, defined);
    for (size_t i = 0; i < crcs.size(); ++i)
        if (defined[i])
            PutFixed(out, crcs[i], 4);
}

void PutPackInfo(std::string* out, uint64_t position, const std::vector<uint64_t>& sizes)
{
    PutByte(out, kPackInfo);
    PutNumber(out, position);
    PutNumber(out, sizes.size());
    PutByte(out, kSize);
    for (uint64_t size : sizes)
        PutNumber(out, size);
    PutByte(out, kEnd);
}

void PutUnpackInfo(std::string* out, const std::vector<CSevenZipFolder>& folders)
{
    PutByte(out, kUnpackInfo);
    PutByte(out, kFolder);
    PutNumber(out, folders.size());
    PutByte(out, 0);  // the folders stand here, not in an additional stream
    for (const CSevenZipFolder& folder : folders)
        PutFolder(out, folder);
    PutByte(out, kCodersUnpackSize);
    for (const CSevenZipFolder& folder : folders)
        for (uint64_t size : folder.unpackSizes)
            PutNumber(out, size);
    std::vector<bool> defined;
    std::vector<uint32_t> crcs;
    bool any = false;
    for (const CSevenZipFolder& folder : folders)
    {
        defined.push_back(folder.hasCrc);
        crcs.push_back(folder.crc);
        any = any || folder.hasCrc;
    }
    if (any)
        PutCrcs(out, defined, crcs);
    PutByte(out, kEnd);
}

// The files' sizes within their folders and their CRCs, the entries with
// streams taken in order.
void PutSubStreams(std::string* out, const CSevenZipArchive& archive)
{
    std::vector<std::vector<const CSevenZipEntry*>> byFolder(archive.folders.size());
    for (const CSevenZipEntry& entry : archive.entries)
        if (entry.hasStream && entry.folder < byFolder.size())
            byFolder[entry.folder].push_back(&entry);
    PutByte(out, kSubStreamsInfo);
    bool counts = false;
    for (const CSevenZipFolder& folder : archive.folders)
        counts = counts || folder.streamCount != 1;
    if (counts)
    {
        PutByte(out, kNumUnpackStream);
        for (const CSevenZipFolder& folder : archive.folders)
            PutNumber(out, folder.streamCount);
    }
    bool sizes = false;
    for (const CSevenZipFolder& folder : archive.folders)
        sizes = sizes || folder.streamCount > 1;
    if (sizes)
    {
        PutByte(out, kSize);
        for (const auto& streams : byFolder)
            for (size_t i = 0; i + 1 < streams.size(); ++i)
                PutNumber(out, streams[i]->size);
    }
    std::vector<bool> defined;
    std::vector<uint32_t> crcs;
    for (size_t f = 0; f < archive.folders.size(); ++f)
    {
        if (archive.folders[f].streamCount == 1 && archive.folders[f].hasCrc)
            continue;
        for (const CSevenZipEntry* entry : byFolder[f])
        {
            defined.push_back(entry->hasCrc);
            crcs.push_back(entry->crc);
        }
    }
    if (!crcs.empty())
        PutCrcs(out, defined, crcs);
    PutByte(out, kEnd);
}

void PutProperty(std::string* out, unsigned id, const std::string& value)
{
    PutByte(out, id);
    PutNumber(out, value.size());
    out->append(value);
}

void PutFiles(std::string* out, const std::vector<CSevenZipEntry>& entries)
{
    PutByte(out, kFilesInfo);
    PutNumber(out, entries.size());
    std::vector<bool> emptyStream, emptyFile, modified, attributes;
    bool anyEmpty = false, anyEmptyFile = false;
    for (const CSevenZipEntry& entry : entries)
    {
        emptyStream.push_back(!entry.hasStream);
        anyEmpty = anyEmpty || !entry.hasStream;
        if (!entry.hasStream)
        {
            emptyFile.push_back(!entry.directory);
            anyEmptyFile = anyEmptyFile || !entry.directory;
        }
        modified.push_back(entry.hasModified);
        attributes.push_back(entry.hasAttributes);
    }
    std::string value;
    if (anyEmpty)
    {
        PutBits(&value, emptyStream);
        PutProperty(out, kEmptyStream, value);
        if (anyEmptyFile)
        {
            value.clear();
            PutBits(&value, emptyFile);
            PutProperty(out, kEmptyFile, value);
        }
    }
    value.assign(1, '\0');
    for (const CSevenZipEntry& entry : entries)
    {
        for (wchar_t c : entry.name)
            PutFixed(&value, static_cast<uint16_t>(c), 2);
        PutFixed(&value, 0, 2);
    }
    PutProperty(out, kName, value);
    value.clear();
    PutDefined(&value, modified);
    PutByte(&value, 0);
    for (const CSevenZipEntry& entry : entries)
        if (entry.hasModified)
            PutFixed(&value, (uint64_t(entry.modified.dwHighDateTime) << 32) | entry.modified.dwLowDateTime, 8);
    PutProperty(out, kMTime, value);
    value.clear();
    PutDefined(&value, attributes);
    PutByte(&value, 0);
    for (const CSevenZipEntry& entry : entries)
        if (entry.hasAttributes)
            PutFixed(&value, entry.attributes, 4);
    PutProperty(out, kWinAttributes, value);
    PutByte(out, kEnd);
}

}  // namespace

uint32_t SevenZipCrc(const void* data, size_t size, uint32_t crc)
{
    return lzma_crc32(static_cast<const uint8_t*>(data), size, crc);
}

std::string SevenZipHeader(const CSevenZipArchive& archive)
{
    std::string out;
    PutByte(&out, kHeader);
    if (!archive.folders.empty())
    {
        PutByte(&out, kMainStreamsInfo);
        PutPackInfo(&out, archive.packedPosition, archive.packedSizes);
        PutUnpackInfo(&out, archive.folders);
        PutSubStreams(&out, archive);
        PutByte(&out, kEnd);
    }
    if (!archive.entries.empty())
        PutFiles(&out, archive.entries);
    PutByte(&out, kEnd);
    return out;
}

std::string SevenZipEncodedHeader(uint64_t packedPosition, uint64_t packedSize, const CSevenZipFolder& folder)
{
    std::string out;
    PutByte(&out, kEncodedHeader);
    PutPackInfo(&out, packedPosition, std::vector<uint64_t>(1, packedSize));
    PutUnpackInfo(&out, std::vector<CSevenZipFolder>(1, folder));
    PutByte(&out, kEnd);
    return out;
}

std::string SevenZipSignatureHeader(uint64_t nextHeaderOffset, uint64_t nextHeaderSize, uint32_t nextHeaderCrc)
{
    std::string start;
    PutFixed(&start, nextHeaderOffset, 8);
    PutFixed(&start, nextHeaderSize, 8);
    PutFixed(&start, nextHeaderCrc, 4);
    std::string out("7z\xBC\xAF\x27\x1C\x00\x04", 8);
    PutFixed(&out, SevenZipCrc(start.data(), start.size()), 4);
    return out + start;
}
