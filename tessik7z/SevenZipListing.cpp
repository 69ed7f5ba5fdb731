// A 7z as the listing and check entries see it: its entries as
// INDIVIDUALINFO shows them, and the check of its header or of its data.
#include "tessik7z/SevenZipListing.h"

#include "common/FileBytes.h"
#include "tessik7z/SevenZipDecode.h"
#include "tessik7z/SevenZipReader.h"

#include <lzma.h>

#include <stdio.h>

#include <algorithm>
#include <set>

namespace {

struct CMethodName
{
    uint64_t method;
    const char* name;
};

// As 7-Zip names them.
const CMethodName kMethodNames[] = {
    {kMethodCopy, "Copy"},     {kMethodLzma2, "LZMA2"},      {kMethodLzma, "LZMA"},
    {kMethodBcj, "BCJ"},       {kMethodBcj2, "BCJ2"},        {kMethodAes, "7zAES"},
    {0x03, "Delta"},           {0x0A, "ARM64"},              {0x030401, "PPMD"},
    {0x03030205, "PPC"},       {0x03030401, "IA64"},         {0x03030501, "ARM"},
    {0x03030701, "ARMT"},      {0x03030805, "SPARC"},        {0x040108, "Deflate"},
    {0x040109, "Deflate64"},   {0x040202, "BZip2"},
};

std::string MethodName(uint64_t method)
{
    for (const CMethodName& known : kMethodNames)
        if (known.method == method)
            return known.name;
    char hex[24];
    snprintf(hex, sizeof(hex), "%llX", static_cast<unsigned long long>(method));
    return hex;
}

// The modes are handed out as static texts: each one made once, kept as
// long as the module.
const char* StaticText(const std::string& text)
{
    static SRWLOCK lock = SRWLOCK_INIT;
    static std::set<std::string> texts;
    AcquireSRWLockExclusive(&lock);
    const char* kept = texts.insert(text).first->c_str();
    ReleaseSRWLockExclusive(&lock);
    return kept;
}

// What INDIVIDUALINFO's szMode (seven characters) can hold of a folder's
// coders: "7zAES" when it is encrypted, "BCJ2" for a BCJ2 folder, else the
// compressor the packed stream feeds ("LZMA2", "LZMA", "Copy"...).
const char* ModeOf(const CSevenZipFolder& folder)
{
    if (folder.IsEncrypted())
        return StaticText(MethodName(kMethodAes));
    for (const CSevenZipCoder& coder : folder.coders)
        if (coder.method == kMethodBcj2)
            return StaticText(MethodName(kMethodBcj2));
    size_t in = folder.packedInStreams.empty() ? 0 : static_cast<size_t>(folder.packedInStreams.front());
    for (size_t coder = 0; coder < folder.coders.size(); ++coder)
    {
        size_t first = folder.FirstInStream(coder);
        if (in >= first && in < first + folder.coders[coder].inStreams)
            return StaticText(MethodName(folder.coders[coder].method));
    }
    return StaticText(std::string());
}

uint64_t FolderPackedSize(const CSevenZipArchive& archive, const CSevenZipFolder& folder)
{
    uint64_t total = 0;
    for (size_t k = 0; k < folder.packedInStreams.size(); ++k)
        total += archive.packedSizes[folder.firstPackedStream + k];
    return total;
}

CListingEntry ListingEntryOf(const CSevenZipArchive& archive, const CSevenZipEntry& entry)
{
    CListingEntry listed;
    // With '\\' between the parts, as the other archiver DLLs list them.
    listed.name = entry.name;
    std::replace(listed.name.begin(), listed.name.end(), L'/', L'\\');
    listed.size = entry.size;
    listed.crc = entry.hasCrc ? entry.crc : 0;
    listed.folder = entry.directory;
    listed.attributes = entry.hasAttributes ? entry.attributes : 0;
    if (entry.directory)
        listed.attributes |= FILE_ATTRIBUTE_DIRECTORY;
    FILETIME local;
    if (entry.hasModified && FileTimeToLocalFileTime(&entry.modified, &local))
        FileTimeToDosDateTime(&local, &listed.dosDate, &listed.dosTime);
    if (entry.hasStream)
    {
        const CSevenZipFolder& folder = archive.folders[entry.folder];
        listed.mode = ModeOf(folder);
        // The folder's packed size goes with its first file, as 7-Zip shows it.
        listed.packedSize = entry.streamInFolder == 0 ? FolderPackedSize(archive, folder) : 0;
    }
    return listed;
}

// The unpacked stream of a folder cut into its files, each file's CRC
// compared at its end.
class CStreamCheck
{
public:
    CStreamCheck(const CSevenZipArchive& archive, const std::vector<size_t>& files)
        : m_archive(archive), m_files(files), m_next(0), m_done(0), m_crc(0), m_sound(true)
    {
    }

    bool Take(const char* data, size_t size)
    {
        for (;;)
        {
            Settle();
            if (size == 0)
                return true;
            if (m_next == m_files.size())
                return false;
            const CSevenZipEntry& entry = m_archive.entries[m_files[m_next]];
            size_t take = static_cast<size_t>(std::min<uint64_t>(size, entry.size - m_done));
            m_crc = lzma_crc32(reinterpret_cast<const uint8_t*>(data), take, m_crc);
            m_done += take;
            data += take;
            size -= take;
        }
    }

    bool Finished()
    {
        Settle();
        return m_sound && m_next == m_files.size();
    }

private:
    // Every file whose bytes are all there is done with.
    void Settle()
    {
        while (m_next < m_files.size() && m_done == m_archive.entries[m_files[m_next]].size)
        {
            const CSevenZipEntry& entry = m_archive.entries[m_files[m_next]];
            m_sound = m_sound && (!entry.hasCrc || entry.crc == m_crc);
            ++m_next;
            m_done = 0;
            m_crc = 0;
        }
    }

    const CSevenZipArchive& m_archive;
    const std::vector<size_t>& m_files;
    size_t m_next;
    uint64_t m_done;
    uint32_t m_crc;
    bool m_sound;
};

}  // namespace

bool ReadSevenZipListing(const std::wstring& path, std::vector<CListingEntry>* entries)
{
    entries->clear();
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    CSevenZipArchive archive;
    if (ReadSevenZipArchive(file, &archive) != ESevenZipRead::kRead)
        return false;
    entries->reserve(archive.entries.size());
    for (const CSevenZipEntry& entry : archive.entries)
        entries->push_back(ListingEntryOf(archive, entry));
    return true;
}

bool CheckSevenZipArchive(const std::wstring& path, bool fullCrc)
{
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    CSevenZipArchive archive;
    if (ReadSevenZipArchive(file, &archive) != ESevenZipRead::kRead)
        return false;
    if (!fullCrc)
        return true;
    std::vector<std::vector<size_t>> files(archive.folders.size());
    for (size_t i = 0; i < archive.entries.size(); ++i)
        if (archive.entries[i].hasStream)
            files[archive.entries[i].folder].push_back(i);
    for (size_t folder = 0; folder < archive.folders.size(); ++folder)
    {
        // Without a password the header is all that can be checked.
        if (archive.folders[folder].IsEncrypted())
            continue;
        CStreamCheck check(archive, files[folder]);
        auto sink = [&check](const char* data, size_t size) { return check.Take(data, size); };
        if (DecodeFolder(file, archive, folder, sink) != EFolderDecode::kDecoded || !check.Finished())
            return false;
    }
    return true;
}
