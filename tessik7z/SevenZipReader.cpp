// The strict reader of 7z archives: the signature header, then the header it
// points to (decoded first where it is encoded), every count, size, offset
// and index checked against the bytes left, the file and each other.
#include "tessik7z/SevenZipReader.h"

#include "tessik7z/SevenZipDecode.h"

#include <lzma.h>

#include <string.h>

#include <algorithm>
#include <utility>

namespace {

using namespace sevenzipid;

const unsigned char kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
const size_t kSignatureHeaderSize = 32;
const size_t kStartHeaderAt = 12;  // the 20 bytes that its CRC covers
const size_t kStartHeaderSize = 20;
// A header past this is not read into memory (a 32-bit process could not
// hold it, and no archive of real files needs one so large).
const uint64_t kMaxHeader = 1ULL << 30;
// An encoded header may hold a header that is encoded again.
const int kMaxHeaderDepth = 4;
// Per folder, as 7-Zip reads them.
const uint64_t kMaxCoders = 64;
const uint64_t kMaxFolderStreams = 64;

// 7-Zip marks attributes whose high 16 bits hold a Unix mode so.
const uint32_t kUnixExtension = 0x8000;

uint32_t Little32(const unsigned char* at)
{
    return at[0] | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

uint64_t Little64(const unsigned char* at) { return Little32(at) | static_cast<uint64_t>(Little32(at + 4)) << 32; }

uint32_t Crc(const unsigned char* data, size_t size) { return lzma_crc32(data, size, 0); }

// What one StreamsInfo says: the packed streams, the folders, and the
// folders' streams cut into files (sizes and CRCs in folder order).
struct CStreams
{
    uint64_t packedPosition = 0;
    std::vector<uint64_t> packedSizes;
    std::vector<CSevenZipFolder> folders;
    std::vector<uint64_t> subSizes;
    std::vector<bool> subHasCrc;
    std::vector<uint32_t> subCrcs;
};

// CRCs of count items, each one defined or not.
struct CDigests
{
    std::vector<bool> defined;
    std::vector<uint32_t> crcs;  // one per item, 0 where not defined
};

// The coder whose in streams include in; coders.size() past them all.
size_t CoderOfInStream(const CSevenZipFolder& folder, uint64_t in)
{
    uint64_t first = 0;
    for (size_t coder = 0; coder < folder.coders.size(); ++coder)
    {
        first += folder.coders[coder].inStreams;
        if (in < first)
            return coder;
    }
    return folder.coders.size();
}

// No coder feeds itself, through others or at once: coders taken away
// once every coder feeding them is gone must take all of them away.
bool IsAcyclic(const CSevenZipFolder& folder)
{
    std::vector<size_t> feeders(folder.coders.size(), 0);
    for (const CSevenZipBindPair& pair : folder.bindPairs)
        ++feeders[CoderOfInStream(folder, pair.inIndex)];
    std::vector<size_t> ready;
    for (size_t coder = 0; coder < feeders.size(); ++coder)
        if (feeders[coder] == 0)
            ready.push_back(coder);
    size_t taken = 0;
    while (!ready.empty())
    {
        size_t coder = ready.back();
        ready.pop_back();
        ++taken;
        for (const CSevenZipBindPair& pair : folder.bindPairs)
        {
            if (folder.CoderOfOutStream(static_cast<size_t>(pair.outIndex)) != coder)
                continue;
            size_t taker = CoderOfInStream(folder, pair.inIndex);
            if (--feeders[taker] == 0)
                ready.push_back(taker);
        }
    }
    return taken == folder.coders.size();
}

// The header's parser: reads from the current place up to the current end
// (a property narrows the end to its own size). Every read checks the
// bytes left; the first failure is kept as the read's fact, and each
// function returns false from then on.
class CHeaderParser
{
public:
    explicit CHeaderParser(const std::string& header)
        : m_at(reinterpret_cast<const unsigned char*>(header.data())), m_end(m_at + header.size()),
          m_limit(header.size()), m_fact(ESevenZipRead::kRead)
    {
    }

    ESevenZipRead Fact() const { return m_fact == ESevenZipRead::kRead ? ESevenZipRead::kDamaged : m_fact; }
    size_t Left() const { return static_cast<size_t>(m_end - m_at); }

    bool Number(uint64_t* value);
    bool ParseHeader(CSevenZipArchive* archive);
    bool ParseStreamsInfo(CStreams* streams);

private:
    bool Fail(ESevenZipRead fact)
    {
        if (m_fact == ESevenZipRead::kRead)
            m_fact = fact;
        return false;
    }
    bool Damaged() { return Fail(ESevenZipRead::kDamaged); }
    bool Unsupported() { return Fail(ESevenZipRead::kUnsupported); }

    bool Byte(unsigned* value);
    bool Bytes(size_t count, const unsigned char** bytes);
    bool Skip(uint64_t count);
    // A count of items of at least minBytes bytes each, all in the bytes left.
    bool Count(uint64_t* count, size_t minBytes);
    // Skips properties up to the one with id; a kEnd before it is damage.
    bool WaitFor(uint64_t id);
    bool SkipData();
    bool Bits(uint64_t count, std::vector<bool>* bits);
    // A byte "all defined", else a bit per item; itemBytes, the size of
    // each defined item's value, bounds the count when all are.
    bool Defined(uint64_t count, size_t itemBytes, std::vector<bool>* defined);
    bool Digests(uint64_t count, CDigests* digests);
    // Before the values of a file property (times, attributes): which
    // files have one, then a byte that must say they are here, not in
    // another stream.
    bool ValuesFrame(uint64_t count, size_t itemBytes, std::vector<bool>* defined);

    bool ParsePackInfo(CStreams* streams);
    bool ParseFolder(CSevenZipFolder* folder);
    bool ParseUnpackInfo(CStreams* streams);
    bool ParseSubStreamsInfo(CStreams* streams);
    bool ParseFilesInfo(CSevenZipArchive* archive, std::vector<bool>* emptyStream);
    bool ParseNames(std::vector<CSevenZipEntry>* entries);
    bool ParseTimes(std::vector<CSevenZipEntry>* entries, bool keep);
    bool ParseAttributes(std::vector<CSevenZipEntry>* entries);
    bool ParseStartPositions(uint64_t count);

    const unsigned char* m_at;
    const unsigned char* m_end;
    size_t m_limit;  // the header's whole size, a bound on any count of files
    ESevenZipRead m_fact;
};

bool CHeaderParser::Byte(unsigned* value)
{
    if (m_at == m_end)
        return Damaged();
    *value = *m_at++;
    return true;
}

bool CHeaderParser::Bytes(size_t count, const unsigned char** bytes)
{
    if (count > Left())
        return Damaged();
    *bytes = m_at;
    m_at += count;
    return true;
}

bool CHeaderParser::Skip(uint64_t count)
{
    if (count > Left())
        return Damaged();
    m_at += count;
    return true;
}

// As many leading one bits in the first byte as bytes follow it
// (little-endian); the rest of the first byte gives the highest bits.
bool CHeaderParser::Number(uint64_t* value)
{
    unsigned first = 0;
    if (!Byte(&first))
        return false;
    uint64_t result = 0;
    unsigned mask = 0x80;
    for (int i = 0; i < 8; ++i)
    {
        if ((first & mask) == 0)
        {
            *value = result | static_cast<uint64_t>(first & (mask - 1)) << (8 * i);
            return true;
        }
        unsigned next = 0;
        if (!Byte(&next))
            return false;
        result |= static_cast<uint64_t>(next) << (8 * i);
        mask >>= 1;
    }
    *value = result;
    return true;
}

bool CHeaderParser::Count(uint64_t* count, size_t minBytes)
{
    if (!Number(count))
        return false;
    return *count <= Left() / minBytes || Damaged();
}

bool CHeaderParser::SkipData()
{
    uint64_t size = 0;
    return Number(&size) && Skip(size);
}

bool CHeaderParser::WaitFor(uint64_t id)
{
    for (;;)
    {
        uint64_t type = 0;
        if (!Number(&type))
            return false;
        if (type == id)
            return true;
        if (type == kEnd || !SkipData())
            return Damaged();
    }
}

// Bits from the highest of each byte down.
bool CHeaderParser::Bits(uint64_t count, std::vector<bool>* bits)
{
    if (count > static_cast<uint64_t>(Left()) * 8)
        return Damaged();
    bits->assign(static_cast<size_t>(count), false);
    unsigned byte = 0;
    for (size_t i = 0; i < bits->size(); ++i)
    {
        if (i % 8 == 0 && !Byte(&byte))
            return false;
        (*bits)[i] = (byte & (0x80 >> (i % 8))) != 0;
    }
    return true;
}

bool CHeaderParser::Defined(uint64_t count, size_t itemBytes, std::vector<bool>* defined)
{
    unsigned all = 0;
    if (!Byte(&all))
        return false;
    if (all == 0)
        return Bits(count, defined);
    if (count > Left() / itemBytes)
        return Damaged();
    defined->assign(static_cast<size_t>(count), true);
    return true;
}

bool CHeaderParser::Digests(uint64_t count, CDigests* digests)
{
    if (!Defined(count, 4, &digests->defined))
        return false;
    digests->crcs.assign(digests->defined.size(), 0);
    const unsigned char* bytes = nullptr;
    for (size_t i = 0; i < digests->defined.size(); ++i)
    {
        if (!digests->defined[i])
            continue;
        if (!Bytes(4, &bytes))
            return false;
        digests->crcs[i] = Little32(bytes);
    }
    return true;
}

bool CHeaderParser::ValuesFrame(uint64_t count, size_t itemBytes, std::vector<bool>* defined)
{
    unsigned external = 0;
    if (!Defined(count, itemBytes, defined) || !Byte(&external))
        return false;
    return external == 0 || Unsupported();
}

bool CHeaderParser::ParsePackInfo(CStreams* streams)
{
    uint64_t count = 0;
    if (!Number(&streams->packedPosition) || !Count(&count, 1) || !WaitFor(kSize))
        return false;
    streams->packedSizes.assign(static_cast<size_t>(count), 0);
    for (uint64_t& size : streams->packedSizes)
        if (!Number(&size))
            return false;
    // The packed streams' CRCs are not kept: the folders' unpacked CRCs
    // stand for the data.
    for (;;)
    {
        uint64_t type = 0;
        if (!Number(&type))
            return false;
        if (type == kEnd)
            return true;
        CDigests digests;
        if (type == kCrc ? !Digests(count, &digests) : !SkipData())
            return false;
    }
}

// Folders whose coders join in a cycle, or whose in streams a packed stream
// and a bind pair both feed, are damage: every in stream has one source,
// every out stream but one a taker.
bool CHeaderParser::ParseFolder(CSevenZipFolder* folder)
{
    uint64_t coderCount = 0;
    if (!Number(&coderCount))
        return false;
    if (coderCount == 0)
        return Damaged();
    if (coderCount > kMaxCoders)
        return Unsupported();
    uint64_t totalIn = 0;
    uint64_t totalOut = 0;
    folder->coders.resize(static_cast<size_t>(coderCount));
    for (CSevenZipCoder& coder : folder->coders)
    {
        unsigned flags = 0;
        const unsigned char* id = nullptr;
        if (!Byte(&flags))
            return false;
        // 0x80 marks alternative methods, which no writer makes any more.
        if ((flags & 0xC0) != 0 || (flags & 0x0F) > 8)
            return Unsupported();
        if (!Bytes(flags & 0x0F, &id))
            return false;
        coder.method = 0;
        for (unsigned i = 0; i < (flags & 0x0F); ++i)
            coder.method = coder.method << 8 | id[i];
        uint64_t in = 1;
        uint64_t out = 1;
        if ((flags & 0x10) != 0 && (!Number(&in) || !Number(&out)))
            return false;
        if (in == 0 || out == 0 || in > kMaxFolderStreams || out > kMaxFolderStreams)
            return Unsupported();
        coder.inStreams = static_cast<uint32_t>(in);
        coder.outStreams = static_cast<uint32_t>(out);
        totalIn += in;
        totalOut += out;
        if (totalIn > kMaxFolderStreams || totalOut > kMaxFolderStreams)
            return Unsupported();
        uint64_t propertySize = 0;
        const unsigned char* properties = nullptr;
        if ((flags & 0x20) != 0 && !Number(&propertySize))
            return false;
        if (propertySize > Left())
            return Damaged();
        if (!Bytes(static_cast<size_t>(propertySize), &properties))
            return false;
        coder.properties.assign(reinterpret_cast<const char*>(properties), static_cast<size_t>(propertySize));
    }
    if (totalOut - 1 >= totalIn)
        return Damaged();
    std::vector<bool> inTaken(static_cast<size_t>(totalIn), false);
    std::vector<bool> outTaken(static_cast<size_t>(totalOut), false);
    folder->bindPairs.resize(static_cast<size_t>(totalOut - 1));
    for (CSevenZipBindPair& pair : folder->bindPairs)
    {
        if (!Number(&pair.inIndex) || !Number(&pair.outIndex))
            return false;
        if (pair.inIndex >= totalIn || pair.outIndex >= totalOut || inTaken[pair.inIndex] || outTaken[pair.outIndex])
            return Damaged();
        inTaken[pair.inIndex] = true;
        outTaken[pair.outIndex] = true;
    }
    size_t packedCount = static_cast<size_t>(totalIn - folder->bindPairs.size());
    folder->packedInStreams.clear();
    for (size_t i = 0; i < packedCount; ++i)
    {
        uint64_t index = 0;
        if (packedCount == 1)
        {
            while (inTaken[index])
                ++index;
        }
        else if (!Number(&index))
            return false;
        if (index >= totalIn || inTaken[index])
            return Damaged();
        inTaken[index] = true;
        folder->packedInStreams.push_back(index);
    }
    return IsAcyclic(*folder) || Damaged();
}

bool CHeaderParser::ParseUnpackInfo(CStreams* streams)
{
    uint64_t count = 0;
    unsigned external = 0;
    // A folder takes at least a count of coders and a coder's flags.
    if (!WaitFor(kFolder) || !Count(&count, 2) || !Byte(&external))
        return false;
    if (external != 0)
        return Unsupported();
    streams->folders.assign(static_cast<size_t>(count), CSevenZipFolder());
    size_t packed = 0;
    for (CSevenZipFolder& folder : streams->folders)
    {
        if (!ParseFolder(&folder))
            return false;
        folder.firstPackedStream = packed;
        packed += folder.packedInStreams.size();
    }
    if (packed != streams->packedSizes.size())
        return Damaged();
    if (!WaitFor(kCodersUnpackSize))
        return false;
    for (CSevenZipFolder& folder : streams->folders)
    {
        size_t outs = 0;
        for (const CSevenZipCoder& coder : folder.coders)
            outs += coder.outStreams;
        folder.unpackSizes.assign(outs, 0);
        for (uint64_t& size : folder.unpackSizes)
            if (!Number(&size))
                return false;
    }
    for (;;)
    {
        uint64_t type = 0;
        if (!Number(&type))
            return false;
        if (type == kEnd)
            return true;
        if (type != kCrc)
        {
            if (!SkipData())
                return false;
            continue;
        }
        CDigests digests;
        if (!Digests(count, &digests))
            return false;
        for (size_t i = 0; i < streams->folders.size(); ++i)
        {
            streams->folders[i].hasCrc = digests.defined[i];
            streams->folders[i].crc = digests.crcs[i];
        }
    }
}

bool CHeaderParser::ParseSubStreamsInfo(CStreams* streams)
{
    uint64_t type = 0;
    uint64_t total = 0;
    for (;;)
    {
        if (!Number(&type))
            return false;
        if (type == kCrc || type == kSize || type == kEnd)
            break;
        if (type != kNumUnpackStream)
        {
            if (!SkipData())
                return false;
            continue;
        }
        total = 0;
        for (CSevenZipFolder& folder : streams->folders)
        {
            if (!Number(&folder.streamCount))
                return false;
            // Every stream is a file's, and every file takes bytes of the
            // header: more than its size is damage.
            total += folder.streamCount;
            if (folder.streamCount > m_limit || total > m_limit)
                return Damaged();
        }
    }
    for (const CSevenZipFolder& folder : streams->folders)
    {
        uint64_t rest = folder.UnpackSize();
        if (folder.streamCount > 1 && type != kSize)
            return Damaged();
        for (uint64_t i = 0; i + 1 < folder.streamCount; ++i)
        {
            uint64_t size = 0;
            if (!Number(&size))
                return false;
            if (size > rest)
                return Damaged();
            rest -= size;
            streams->subSizes.push_back(size);
        }
        if (folder.streamCount > 0)
            streams->subSizes.push_back(rest);
    }
    if (type == kSize && !Number(&type))
        return false;
    uint64_t unknown = 0;
    for (const CSevenZipFolder& folder : streams->folders)
        unknown += folder.streamCount == 1 && folder.hasCrc ? 0 : folder.streamCount;
    CDigests digests;
    while (type != kEnd)
    {
        if (type == kCrc ? !Digests(unknown, &digests) : !SkipData())
            return false;
        if (!Number(&type))
            return false;
    }
    size_t next = 0;
    for (const CSevenZipFolder& folder : streams->folders)
    {
        if (folder.streamCount == 1 && folder.hasCrc)
        {
            streams->subHasCrc.push_back(true);
            streams->subCrcs.push_back(folder.crc);
            continue;
        }
        for (uint64_t i = 0; i < folder.streamCount; ++i, ++next)
        {
            bool known = next < digests.defined.size() && digests.defined[next];
            streams->subHasCrc.push_back(known);
            streams->subCrcs.push_back(known ? digests.crcs[next] : 0);
        }
    }
    return true;
}

bool CHeaderParser::ParseStreamsInfo(CStreams* streams)
{
    uint64_t type = 0;
    if (!Number(&type))
        return false;
    if (type == kPackInfo && (!ParsePackInfo(streams) || !Number(&type)))
        return false;
    if (type == kUnpackInfo && (!ParseUnpackInfo(streams) || !Number(&type)))
        return false;
    if (streams->folders.empty() && !streams->packedSizes.empty())
        return Damaged();
    if (type == kSubStreamsInfo)
    {
        if (!ParseSubStreamsInfo(streams) || !Number(&type))
            return false;
    }
    else
    {
        // Without it every folder holds one file, with the folder's CRC.
        for (const CSevenZipFolder& folder : streams->folders)
        {
            streams->subSizes.push_back(folder.UnpackSize());
            streams->subHasCrc.push_back(folder.hasCrc);
            streams->subCrcs.push_back(folder.crc);
        }
    }
    return type == kEnd || Damaged();
}

bool CHeaderParser::ParseNames(std::vector<CSevenZipEntry>* entries)
{
    unsigned external = 0;
    if (!Byte(&external))
        return false;
    if (external != 0)
        return Unsupported();
    if (Left() % 2 != 0)
        return Damaged();
    size_t entry = 0;
    std::wstring name;
    while (m_at != m_end)
    {
        wchar_t unit = static_cast<wchar_t>(m_at[0] | m_at[1] << 8);
        m_at += 2;
        if (unit != L'\0')
        {
            name.push_back(unit == L'\\' ? L'/' : unit);
            continue;
        }
        if (name.empty() || entry == entries->size())
            return Damaged();
        (*entries)[entry++].name.swap(name);
        name.clear();
    }
    // A last name without its terminator, or fewer names than files.
    return (name.empty() && entry == entries->size()) || Damaged();
}

bool CHeaderParser::ParseTimes(std::vector<CSevenZipEntry>* entries, bool keep)
{
    std::vector<bool> defined;
    if (!ValuesFrame(entries->size(), 8, &defined))
        return false;
    const unsigned char* bytes = nullptr;
    for (size_t i = 0; i < entries->size(); ++i)
    {
        if (!defined[i])
            continue;
        if (!Bytes(8, &bytes))
            return false;
        if (!keep)
            continue;
        uint64_t time = Little64(bytes);
        (*entries)[i].hasModified = true;
        (*entries)[i].modified.dwLowDateTime = static_cast<DWORD>(time);
        (*entries)[i].modified.dwHighDateTime = static_cast<DWORD>(time >> 32);
    }
    return true;
}

bool CHeaderParser::ParseAttributes(std::vector<CSevenZipEntry>* entries)
{
    std::vector<bool> defined;
    if (!ValuesFrame(entries->size(), 4, &defined))
        return false;
    const unsigned char* bytes = nullptr;
    for (size_t i = 0; i < entries->size(); ++i)
    {
        if (!defined[i])
            continue;
        if (!Bytes(4, &bytes))
            return false;
        uint32_t attributes = Little32(bytes);
        // The high half is a Unix mode then, the low half as Windows has it.
        if ((attributes & kUnixExtension) != 0)
            attributes &= 0xFFFF & ~kUnixExtension;
        (*entries)[i].hasAttributes = true;
        (*entries)[i].attributes = attributes;
    }
    return true;
}

bool CHeaderParser::ParseStartPositions(uint64_t count)
{
    std::vector<bool> defined;
    if (!ValuesFrame(count, 8, &defined))
        return false;
    for (bool one : defined)
        if (one && !Skip(8))
            return false;
    return true;
}

// *emptyStream gets a flag per file: set for those without data.
bool CHeaderParser::ParseFilesInfo(CSevenZipArchive* archive, std::vector<bool>* emptyStream)
{
    uint64_t count = 0;
    // A name takes at least one character and its terminator.
    if (!Count(&count, 4))
        return false;
    std::vector<CSevenZipEntry>& entries = archive->entries;
    entries.assign(static_cast<size_t>(count), CSevenZipEntry());
    emptyStream->assign(entries.size(), false);
    std::vector<bool> emptyFile;
    std::vector<bool> anti;
    size_t emptyCount = 0;
    bool named = false;
    uint64_t seen = 0;
    for (;;)
    {
        uint64_t type = 0;
        uint64_t size = 0;
        if (!Number(&type))
            return false;
        if (type == kEnd)
            break;
        if (!Number(&size))
            return false;
        if (size > Left())
            return Damaged();
        const unsigned char* outerEnd = m_end;
        m_end = m_at + size;
        bool known = type >= kEmptyStream && type <= kStartPos;
        if (known)
        {
            if ((seen & (1ULL << type)) != 0)
                return Damaged();
            seen |= 1ULL << type;
        }
        switch (type)
        {
        case kEmptyStream:
            if (!Bits(count, emptyStream))
                return false;
            emptyCount = 0;
            for (bool empty : *emptyStream)
                emptyCount += empty ? 1 : 0;
            emptyFile.assign(emptyCount, false);
            anti.assign(emptyCount, false);
            break;
        case kEmptyFile:
            if (!Bits(emptyCount, &emptyFile))
                return false;
            break;
        case kAnti:
            if (!Bits(emptyCount, &anti))
                return false;
            break;
        case kName:
            if (!ParseNames(&entries))
                return false;
            named = true;
            break;
        case kCTime:
        case kATime:
        case kMTime:
            if (!ParseTimes(&entries, type == kMTime))
                return false;
            break;
        case kWinAttributes:
            if (!ParseAttributes(&entries))
                return false;
            break;
        case kStartPos:
            if (!ParseStartPositions(count))
                return false;
            break;
        default:
            // kDummy pads the header; kComment and later ones are skipped
            // by their size.
            known = false;
            m_at = m_end;
            break;
        }
        if (known && m_at != m_end)
            return Damaged();
        m_end = outerEnd;
    }
    if (!named && !entries.empty())
        return Damaged();
    size_t empty = 0;
    for (size_t i = 0; i < entries.size(); ++i)
    {
        CSevenZipEntry& entry = entries[i];
        if (!(*emptyStream)[i])
            continue;
        entry.hasStream = false;
        // An empty stream is a folder unless it is marked an empty file.
        entry.directory = !emptyFile[empty] ||
                          (entry.hasAttributes && (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        entry.anti = anti[empty];
        ++empty;
    }
    return true;
}

bool CHeaderParser::ParseHeader(CSevenZipArchive* archive)
{
    uint64_t type = 0;
    if (!Number(&type))
        return false;
    if (type == kArchiveProperties)
    {
        for (;;)
        {
            if (!Number(&type))
                return false;
            if (type == kEnd)
                break;
            if (!SkipData())
                return false;
        }
        if (!Number(&type))
            return false;
    }
    // Streams that the header itself refers to (data kept apart from the
    // files): no writer we know makes them.
    if (type == kAdditionalStreamsInfo)
        return Unsupported();
    CStreams streams;
    if (type == kMainStreamsInfo && (!ParseStreamsInfo(&streams) || !Number(&type)))
        return false;
    std::vector<bool> emptyStream;
    if (type == kFilesInfo && (!ParseFilesInfo(archive, &emptyStream) || !Number(&type)))
        return false;
    if (type != kEnd || m_at != m_end)
        return Damaged();
    // Every file with data takes one of the folders' streams, in order.
    size_t streamFiles = archive->entries.size() - std::count(emptyStream.begin(), emptyStream.end(), true);
    if (streamFiles != streams.subSizes.size())
        return Damaged();
    archive->packedPosition = streams.packedPosition;
    archive->packedSizes = std::move(streams.packedSizes);
    archive->folders = std::move(streams.folders);
    size_t folder = 0;
    size_t inFolder = 0;
    size_t stream = 0;
    for (size_t i = 0; i < archive->entries.size(); ++i)
    {
        if (emptyStream[i])
            continue;
        while (inFolder == archive->folders[folder].streamCount)
        {
            ++folder;
            inFolder = 0;
        }
        CSevenZipEntry& entry = archive->entries[i];
        entry.folder = folder;
        entry.streamInFolder = inFolder++;
        entry.size = streams.subSizes[stream];
        entry.hasCrc = streams.subHasCrc[stream];
        entry.crc = streams.subCrcs[stream];
        ++stream;
    }
    return true;
}

// The packed streams lie after the signature header and end no later than
// limit (where the header starts), each sum checked before it can wrap.
bool PackedStreamsFit(uint64_t position, const std::vector<uint64_t>& sizes, uint64_t limit)
{
    if (position > limit)
        return false;
    uint64_t end = position;
    for (uint64_t size : sizes)
    {
        if (size > limit - end)
            return false;
        end += size;
    }
    return true;
}

// An encoded header: its folders' unpacked streams, one after another.
ESevenZipRead DecodeHeader(const CByteFile& file, const CStreams& streams, const std::wstring& password,
                           std::string* header)
{
    CSevenZipArchive packed;
    packed.packedPosition = streams.packedPosition;
    packed.packedSizes = streams.packedSizes;
    packed.folders = streams.folders;
    header->clear();
    for (size_t i = 0; i < packed.folders.size(); ++i)
    {
        if (packed.folders[i].IsEncrypted() && password.empty())
            return ESevenZipRead::kEncrypted;
        if (packed.folders[i].UnpackSize() > kMaxHeader - header->size())
            return ESevenZipRead::kUnsupported;
        auto append = [header](const char* data, size_t size) {
            header->append(data, size);
            return true;
        };
        switch (DecodeFolder(file, packed, i, append, password))
        {
        case EFolderDecode::kDecoded:
            break;
        case EFolderDecode::kNeedPassword:
            return ESevenZipRead::kEncrypted;
        case EFolderDecode::kUnsupported:
            return ESevenZipRead::kUnsupported;
        case EFolderDecode::kUnreadable:
            return ESevenZipRead::kUnreadable;
        case EFolderDecode::kDamaged:
        case EFolderDecode::kCancelled:
            return ESevenZipRead::kDamaged;
        }
    }
    return ESevenZipRead::kRead;
}

ESevenZipRead ReadArchive(const CByteFile& file, CSevenZipArchive* archive, const std::wstring& password)
{
    ULONGLONG fileSize = 0;
    if (!file.IsOpen() || !file.Size(&fileSize))
        return ESevenZipRead::kUnreadable;
    std::string start;
    size_t startSize = static_cast<size_t>(fileSize < kSignatureHeaderSize ? fileSize : kSignatureHeaderSize);
    if (!file.ReadAt(0, startSize, &start))
        return ESevenZipRead::kUnreadable;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(start.data());
    if (startSize < sizeof(kSignature) || memcmp(bytes, kSignature, sizeof(kSignature)) != 0)
        return ESevenZipRead::kNotSevenZip;
    if (startSize < kSignatureHeaderSize)
        return ESevenZipRead::kDamaged;
    if (bytes[6] != 0)
        return ESevenZipRead::kUnsupported;
    if (Crc(bytes + kStartHeaderAt, kStartHeaderSize) != Little32(bytes + 8))
        return ESevenZipRead::kDamaged;
    uint64_t headerOffset = Little64(bytes + 12);
    uint64_t headerSize = Little64(bytes + 20);
    uint32_t headerCrc = Little32(bytes + 28);
    uint64_t room = fileSize - kSignatureHeaderSize;
    if (headerOffset > room || headerSize > room - headerOffset)
        return ESevenZipRead::kDamaged;
    if (headerSize > kMaxHeader)
        return ESevenZipRead::kUnsupported;
    // An archive without files has no header at all.
    if (headerSize == 0)
        return headerCrc == 0 ? ESevenZipRead::kRead : ESevenZipRead::kDamaged;
    std::string header;
    if (!file.ReadAt(kSignatureHeaderSize + headerOffset, static_cast<size_t>(headerSize), &header))
        return ESevenZipRead::kUnreadable;
    if (Crc(reinterpret_cast<const unsigned char*>(header.data()), header.size()) != headerCrc)
        return ESevenZipRead::kDamaged;
    for (int depth = 0;; ++depth)
    {
        CHeaderParser parser(header);
        uint64_t type = 0;
        if (!parser.Number(&type))
            return parser.Fact();
        if (type == kHeader)
        {
            if (!parser.ParseHeader(archive))
                return parser.Fact();
            return PackedStreamsFit(archive->packedPosition, archive->packedSizes, headerOffset)
                       ? ESevenZipRead::kRead
                       : ESevenZipRead::kDamaged;
        }
        if (type != kEncodedHeader || depth == kMaxHeaderDepth)
            return ESevenZipRead::kDamaged;
        CStreams streams;
        if (!parser.ParseStreamsInfo(&streams))
            return parser.Fact();
        if (parser.Left() != 0 || streams.folders.empty() ||
            !PackedStreamsFit(streams.packedPosition, streams.packedSizes, headerOffset))
            return ESevenZipRead::kDamaged;
        std::string decoded;
        ESevenZipRead read = DecodeHeader(file, streams, password, &decoded);
        if (read != ESevenZipRead::kRead)
            return read;
        header.swap(decoded);
    }
}

}  // namespace

ESevenZipRead ReadSevenZipArchive(const CByteFile& file, CSevenZipArchive* archive, const std::wstring& password)
{
    *archive = CSevenZipArchive();
    ESevenZipRead read = ReadArchive(file, archive, password);
    if (read != ESevenZipRead::kRead)
        *archive = CSevenZipArchive();
    return read;
}
