#include "tessik7z/SevenZipWriter.h"

#include "common/ScopedHandle.h"
#include "dllkit/ArchiveFiles.h"
#include "tessik7z/SevenZipCodecs.h"
#include "tessik7z/SevenZipAes.h"
#include "tessik7z/SevenZipDecode.h"
#include "tessik7z/SevenZipHeaderOut.h"
#include "tessik7z/SevenZipReader.h"

#include <wctype.h>

#include <algorithm>
#include <memory>

namespace {

const size_t kReadChunk = 1 << 20;
const size_t kOutputBuffer = 1 << 20;
const size_t kSignatureHeaderSize = 32;
// An executables' folder is held in memory for the branch filter: at most
// this many dictionaries, or this many bytes.
const unsigned kFilteredDictionaries = 3;
const uint64_t kFilteredMinimum = 1 << 20;
// A solid block holds at most this many dictionaries by default.
const unsigned kSolidDictionaries = 128;
const uint64_t kSolidLimit = uint64_t(4) << 30;

// Coders of one input and one output each, in a chain from the packed
// stream (the first coder's input) to the unpacked one (the last's output).
void ChainCoders(CSevenZipFolder* folder)
{
    folder->bindPairs.clear();
    for (uint64_t i = 0; i + 1 < folder->coders.size(); ++i)
        folder->bindPairs.push_back(CSevenZipBindPair{i + 1, i});
    folder->packedInStreams = {0};
}

// Executables and the like: their calls and jumps are what the x86 branch
// filter turns into absolute addresses, which LZMA then finds repeated.
bool IsExecutableName(const std::wstring& name)
{
    static const wchar_t* const kExtensions[] = {L"exe", L"dll", L"sys", L"ocx", L"cpl", L"scr", L"drv", L"efi"};
    size_t dot = name.find_last_of(L".\\/");
    if (dot == std::wstring::npos || name[dot] != L'.')
        return false;
    std::wstring extension = name.substr(dot + 1);
    for (wchar_t& c : extension)
        c = static_cast<wchar_t>(towlower(c));
    for (const wchar_t* known : kExtensions)
        if (extension == known)
            return true;
    return false;
}

// The entry of a source item, its data not yet read.
CSevenZipEntry SourceEntry(const CSourceList& items, size_t i)
{
    const CSourceItem& item = items.Item(i);
    CSevenZipEntry entry;
    entry.name = items.Name(i);
    std::replace(entry.name.begin(), entry.name.end(), L'\\', L'/');
    entry.directory = item.folder;
    entry.hasStream = !item.folder && item.size > 0;
    entry.size = item.folder ? 0 : item.size;
    entry.hasModified = true;
    entry.modified = item.written;
    entry.hasAttributes = true;
    entry.attributes = item.attributes & 0x7FFF;
    if (item.folder)
        entry.attributes |= FILE_ATTRIBUTE_DIRECTORY;
    return entry;
}

// How the data of a new folder is coded.
enum class EFolderCoder
{
    kCopy,
    kLzma2,
    kX86Lzma2,
};

// What becomes of an old folder: copied as it is when it keeps all its
// files, repacked when it keeps some, dropped when it keeps none.
enum class EOldFolder
{
    kCopy,
    kRepack,
    kDrop,
};

}  // namespace

// The archive being written, from its start, buffered; the signature header
// is put in its place at the end.
class CSevenZipWriter::CPackedOutput
{
public:
    bool Open(const std::wstring& path)
    {
        m_file.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
        if (!m_file.IsValid())
            m_error = GetLastError();
        return m_file.IsValid();
    }
    uint64_t Tell() const { return m_at + m_buffer.size(); }
    void Write(const char* data, size_t size)
    {
        m_buffer.append(data, size);
        if (m_buffer.size() >= kOutputBuffer)
            Flush();
    }
    void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
    bool WriteAt(uint64_t at, const std::string& bytes)
    {
        if (!Flush())
            return false;
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(at);
        DWORD written = 0;
        if (!SetFilePointerEx(m_file.Get(), to, NULL, FILE_BEGIN) ||
            !WriteFile(m_file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL) ||
            written != bytes.size())
            return Fail();
        return true;
    }
    // Flushed to the disk and closed; false when any write failed.
    bool Commit()
    {
        bool done = Flush() && (FlushFileBuffers(m_file.Get()) || Fail());
        m_file.Close();
        return done && !m_failed;
    }
    void Close() { m_file.Close(); }
    DWORD Error() const { return m_error; }

private:
    bool Flush()
    {
        if (m_failed)
            return false;
        size_t done = 0;
        while (done < m_buffer.size())
        {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(m_buffer.size() - done, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(m_file.Get(), m_buffer.data() + done, chunk, &written, NULL) || written == 0)
                return Fail();
            done += written;
        }
        m_at += m_buffer.size();
        m_buffer.clear();
        return true;
    }
    bool Fail()
    {
        if (!m_failed)
            m_error = GetLastError();
        m_failed = true;
        return false;
    }

    CScopedHandle m_file;
    std::string m_buffer;
    uint64_t m_at = 0;
    bool m_failed = false;
    DWORD m_error = 0;
};

// Folders of new files: the files fed to it are cut into folders (one per
// file when not solid, else by the solid block's limits; executables in
// folders of their own), one folder at a time, each folder's stream through
// its encoder and, with a password, the cipher, to the output as it comes.
class CSevenZipWriter::CFolderPacker
{
public:
    // aes: encrypts every folder's packed stream, when not null. expected:
    // the bytes of every file that will be fed, an upper bound of a
    // folder's size.
    CFolderPacker(const CSevenZipCommand& command, CSevenZipArchive* archive, CPackedOutput* output, CSevenZipAes* aes,
                  uint64_t expected)
        : m_archive(archive), m_output(output), m_aes(aes), m_threads(command.threads), m_level(command.level),
          m_solid(command.solid), m_solidFiles(command.solidBlockFiles), m_left(expected)
    {
        m_dictionary = SevenZipDictionarySize(m_level == 0 ? 1 : m_level);
        m_filteredLimit = std::max<uint64_t>(uint64_t(m_dictionary) * kFilteredDictionaries, kFilteredMinimum);
        uint64_t solidDefault = std::min<uint64_t>(uint64_t(m_dictionary) * kSolidDictionaries, kSolidLimit);
        m_solidBytes = command.solidBlockSize != 0 ? command.solidBlockSize : solidDefault;
    }

    // Whether a file of this name and size goes through the branch filter:
    // an executable small enough for a folder held in memory.
    bool Filtered(const std::wstring& name, uint64_t size) const
    {
        return m_level != 0 && IsExecutableName(name) && size <= m_filteredLimit;
    }

    // A file whose size bytes follow; entry carries its name and facts.
    EDllFailure BeginFile(const CSevenZipEntry& entry, bool filtered)
    {
        EFolderCoder coder = m_level == 0 ? EFolderCoder::kCopy : filtered ? EFolderCoder::kX86Lzma2 : EFolderCoder::kLzma2;
        bool fits = m_open && m_coder == coder && m_solid && m_folderBytes < m_solidBytes &&
                    (m_solidFiles == 0 || m_folderFiles < m_solidFiles) &&
                    (coder != EFolderCoder::kX86Lzma2 || m_folderBytes + entry.size <= m_filteredLimit);
        if (!fits)
        {
            EDllFailure failure = CloseFolder();
            if (failure == EDllFailure::kNone)
                failure = OpenFolder(coder, m_solid ? std::min(m_left, m_solidBytes) : entry.size);
            if (failure != EDllFailure::kNone)
                return failure;
        }
        m_entry = entry;
        m_entry.hasStream = true;
        m_entry.folder = m_archive->folders.size() - 1;
        m_entry.streamInFolder = m_folderFiles++;
        m_entry.crc = 0;
        m_fed = 0;
        return EDllFailure::kNone;
    }

    EDllFailure Feed(const char* data, size_t size)
    {
        m_entry.crc = SevenZipCrc(data, size, m_entry.crc);
        m_fed += size;
        m_folderBytes += size;
        m_left -= std::min<uint64_t>(m_left, size);
        switch (m_coder)
        {
        case EFolderCoder::kCopy:
            return Packed(data, size) ? EDllFailure::kNone : m_failure;
        case EFolderCoder::kX86Lzma2:
            m_held.append(data, size);
            return EDllFailure::kNone;
        case EFolderCoder::kLzma2:
            break;
        }
        return m_stream->Feed(data, size) ? EDllFailure::kNone : Failure();
    }

    // False when fewer or more bytes came than the entry's size.
    bool EndFile()
    {
        if (m_fed != m_entry.size)
            return false;
        m_entry.hasCrc = true;
        m_archive->entries.push_back(m_entry);
        return true;
    }

    EDllFailure Finish() { return CloseFolder(); }

private:
    EDllFailure OpenFolder(EFolderCoder coder, uint64_t expected)
    {
        m_open = true;
        m_coder = coder;
        m_folderBytes = 0;
        m_folderFiles = 0;
        m_plainPacked = 0;
        m_failure = EDllFailure::kCodecFailed;
        m_archive->folders.emplace_back();
        m_archive->folders.back().firstPackedStream = m_archive->packedSizes.size();
        m_archive->packedSizes.push_back(0);
        if (m_aes != nullptr && !m_aes->StartEncrypting(&m_aesProperties))
            return EDllFailure::kCryptoFailed;
        if (coder != EFolderCoder::kLzma2)
            return EDllFailure::kNone;
        m_stream.reset(new CLzma2Stream(m_level, m_threads, expected,
                                        [this](const char* data, size_t size) { return Packed(data, size); }));
        return m_stream->Start() ? EDllFailure::kNone : Failure();
    }

    // The encoder stopped: for the reason the output gave, or its own.
    EDllFailure Failure() const { return m_failure; }

    // Packed bytes of the open folder, through the cipher, to the output.
    bool Packed(const char* data, size_t size)
    {
        m_plainPacked += size;
        size_t stream = m_archive->folders.back().firstPackedStream;
        if (m_aes == nullptr)
        {
            m_output->Write(data, size);
            m_archive->packedSizes[stream] += size;
            return true;
        }
        m_encrypted.clear();
        if (!m_aes->Encrypt(data, size, &m_encrypted))
        {
            m_failure = EDllFailure::kCryptoFailed;
            return false;
        }
        m_output->Write(m_encrypted);
        m_archive->packedSizes[stream] += m_encrypted.size();
        return true;
    }

    EDllFailure CloseFolder()
    {
        if (!m_open)
            return EDllFailure::kNone;
        m_open = false;
        unsigned char property = 0;
        bool encoded = true;
        if (m_coder == EFolderCoder::kLzma2)
        {
            encoded = m_stream->Finish(&property);
            m_stream.reset();
        }
        else if (m_coder == EFolderCoder::kX86Lzma2)
        {
            encoded = EncodeX86Lzma2(&m_held, m_level, m_threads,
                                     [this](const char* data, size_t size) { return Packed(data, size); }, &property);
            std::string().swap(m_held);
        }
        if (!encoded)
            return Failure();
        CSevenZipFolder& folder = m_archive->folders.back();
        folder.streamCount = m_folderFiles;
        // The coders from the packed side to the unpacked one, as 7-Zip
        // lists them: the branch filter's input is LZMA2's output.
        std::string lzma2(1, static_cast<char>(property));
        switch (m_coder)
        {
        case EFolderCoder::kCopy:
            folder.coders = {CSevenZipCoder{kMethodCopy, std::string(), 1, 1}};
            break;
        case EFolderCoder::kLzma2:
            folder.coders = {CSevenZipCoder{kMethodLzma2, lzma2, 1, 1}};
            break;
        case EFolderCoder::kX86Lzma2:
            folder.coders = {CSevenZipCoder{kMethodLzma2, lzma2, 1, 1}, CSevenZipCoder{kMethodBcj, std::string(), 1, 1}};
            break;
        }
        folder.unpackSizes.assign(folder.coders.size(), m_folderBytes);
        if (m_aes != nullptr)
        {
            m_encrypted.clear();
            if (!m_aes->FinishEncrypting(&m_encrypted))
                return EDllFailure::kCryptoFailed;
            m_output->Write(m_encrypted);
            m_archive->packedSizes[folder.firstPackedStream] += m_encrypted.size();
            // The cipher first: the packed stream is its input.
            folder.coders.insert(folder.coders.begin(), CSevenZipCoder{kMethodAes, m_aesProperties, 1, 1});
            folder.unpackSizes.insert(folder.unpackSizes.begin(), m_plainPacked);
        }
        ChainCoders(&folder);
        return EDllFailure::kNone;
    }

    CSevenZipArchive* m_archive;
    CPackedOutput* m_output;
    CSevenZipAes* m_aes;
    std::string m_aesProperties;
    std::string m_encrypted;
    unsigned m_threads;
    int m_level;
    bool m_solid;
    uint64_t m_solidFiles;
    uint64_t m_left;
    uint64_t m_solidBytes = 0;
    uint64_t m_filteredLimit = 0;
    uint32_t m_dictionary = 0;
    bool m_open = false;
    EFolderCoder m_coder = EFolderCoder::kLzma2;
    std::unique_ptr<CLzma2Stream> m_stream;
    std::string m_held;  // an executables' folder
    uint64_t m_folderBytes = 0;
    uint64_t m_folderFiles = 0;
    uint64_t m_plainPacked = 0;  // of the open folder, before the cipher
    EDllFailure m_failure = EDllFailure::kCodecFailed;
    CSevenZipEntry m_entry;
    uint64_t m_fed = 0;
};

// Which old entries stay, and what becomes of each old folder.
struct CSevenZipWriter::CPlan
{
    std::vector<bool> keptEntries;
    std::vector<EOldFolder> folders;
    // The entries with streams of each folder, in the folder's order.
    std::vector<std::vector<size_t>> folderEntries;
};

CSevenZipWriter::CSevenZipWriter(const CSevenZipCommand& command, const CSourceList& items)
    : m_command(command), m_items(items), m_existed(false), m_systemError(0), m_files(0), m_folders(0),
      m_cancelled(0), m_done(0)
{
    InitializeSRWLock(&m_nameLock);
}

CSevenZipWriter::~CSevenZipWriter() = default;

std::wstring CSevenZipWriter::LatestName() const
{
    AcquireSRWLockShared(&m_nameLock);
    std::wstring name = m_latestName;
    ReleaseSRWLockShared(&m_nameLock);
    return name;
}

void CSevenZipWriter::SetLatest(const std::wstring& name)
{
    AcquireSRWLockExclusive(&m_nameLock);
    m_latestName = name;
    ReleaseSRWLockExclusive(&m_nameLock);
}

EDllFailure CSevenZipWriter::Run(std::wstring* subject)
{
    *subject = m_command.archive;
    if (!m_command.password.empty())
    {
        m_aes.reset(new CSevenZipAes);
        if (!m_aes->DeriveKey(m_command.password, std::string(), kSevenZipAesCycles))
            return EDllFailure::kCryptoFailed;
    }
    EDllFailure failure = ReadOld(subject);
    if (failure != EDllFailure::kNone)
        return failure;
    std::wstring temp;
    failure = MakeTempBeside(m_command.archive, L"t7z", &temp, &m_systemError, subject);
    if (failure != EDllFailure::kNone)
        return failure;
    failure = Write(temp, subject);
    if (failure == EDllFailure::kNone && IsCancelled())
        failure = EDllFailure::kCancelled;
    return ReplaceWithTemp(failure, temp, m_command.archive, &m_oldFile, &m_systemError, subject);
}

// The archive there already, read once and held open without sharing
// writes, so that a second add at the same time fails instead of losing
// this one's files or the other's.
EDllFailure CSevenZipWriter::ReadOld(std::wstring* subject)
{
    *subject = m_command.archive;
    EDllFailure opened = OpenOldArchive(m_command.archive, EDllFailure::kNotSevenZip, &m_oldFile, &m_systemError);
    m_existed = m_oldFile != nullptr;
    if (opened != EDllFailure::kNone || !m_existed)
        return opened;
    switch (ReadSevenZipArchive(*m_oldFile, &m_old, m_command.password))
    {
    case ESevenZipRead::kRead:
        return EDllFailure::kNone;
    case ESevenZipRead::kNotSevenZip:
        return EDllFailure::kNotSevenZip;
    case ESevenZipRead::kDamaged:
        return EDllFailure::kArchiveDamaged;
    case ESevenZipRead::kUnsupported:
        return EDllFailure::kArchiveUnsupported;
    case ESevenZipRead::kEncrypted:
        return EDllFailure::kArchiveEncrypted;
    case ESevenZipRead::kUnreadable:
        break;
    }
    m_systemError = GetLastError();
    return EDllFailure::kArchiveUnreadable;
}

EDllFailure CSevenZipWriter::Write(const std::wstring& temp, std::wstring* subject)
{
    CPackedOutput output;
    if (!output.Open(temp))
    {
        m_systemError = output.Error();
        *subject = FolderOfArchive(m_command.archive);
        return EDllFailure::kTempFailed;
    }
    output.Write(std::string(kSignatureHeaderSize, '\0'));
    CSevenZipArchive archive;
    EDllFailure failure = EDllFailure::kNone;
    CPlan plan;
    if (m_existed)
        failure = PlanOld(&plan);
    if (failure == EDllFailure::kNone && m_existed)
        failure = CopyOld(plan, &output, &archive);
    std::vector<CSevenZipEntry> empty;
    {
        CFolderPacker packer(m_command, &archive, &output, m_aes.get(), BytesToPack(plan));
        if (failure == EDllFailure::kNone && m_existed)
            failure = RepackOld(plan, &packer, &empty);
        if (failure == EDllFailure::kNone)
            failure = PackNew(&packer, &empty, subject);
        if (failure == EDllFailure::kNone)
            failure = packer.Finish();
    }
    if (failure != EDllFailure::kNone)
    {
        output.Close();
        return failure;
    }
    archive.entries.insert(archive.entries.end(), empty.begin(), empty.end());
    failure = WriteHeader(archive, &output);
    if (failure == EDllFailure::kNone && !output.Commit())
    {
        m_systemError = output.Error();
        *subject = m_command.archive;
        failure = EDllFailure::kWriteFailed;
    }
    output.Close();
    return failure;
}

// The bytes the packer will be fed: the new files' and the repacked old ones'.
uint64_t CSevenZipWriter::BytesToPack(const CPlan& plan) const
{
    uint64_t bytes = 0;
    for (size_t i = 0; i < m_items.Count(); ++i)
        if (!m_items.Item(i).folder)
            bytes += m_items.Item(i).size;
    for (size_t f = 0; f < plan.folders.size(); ++f)
        if (plan.folders[f] == EOldFolder::kRepack)
            for (size_t i : plan.folderEntries[f])
                if (plan.keptEntries[i])
                    bytes += m_old.entries[i].size;
    return bytes;
}

// Which old entries a new item of the same name replaces, and so which old
// folders go as they are, are repacked or are dropped.
EDllFailure CSevenZipWriter::PlanOld(CPlan* plan)
{
    CNameIndex replaced(m_items);
    plan->keptEntries.assign(m_old.entries.size(), false);
    plan->folderEntries.assign(m_old.folders.size(), std::vector<size_t>());
    std::vector<size_t> kept(m_old.folders.size(), 0);
    for (size_t i = 0; i < m_old.entries.size(); ++i)
    {
        const CSevenZipEntry& entry = m_old.entries[i];
        plan->keptEntries[i] = replaced.Find(EntryNameKey(entry.name)) == std::wstring::npos && !entry.anti;
        if (!entry.hasStream)
            continue;
        plan->folderEntries[entry.folder].push_back(i);
        if (plan->keptEntries[i])
            ++kept[entry.folder];
    }
    plan->folders.resize(m_old.folders.size());
    for (size_t f = 0; f < m_old.folders.size(); ++f)
        plan->folders[f] = kept[f] == 0                             ? EOldFolder::kDrop
                           : kept[f] == plan->folderEntries[f].size() ? EOldFolder::kCopy
                                                                      : EOldFolder::kRepack;
    return EDllFailure::kNone;
}

// The old folders that keep every file: their packed streams byte for byte,
// their coders and sizes as they were, renumbered.
EDllFailure CSevenZipWriter::CopyOld(const CPlan& plan, CPackedOutput* output, CSevenZipArchive* archive)
{
    std::string bytes;
    for (size_t f = 0; f < m_old.folders.size(); ++f)
    {
        if (plan.folders[f] != EOldFolder::kCopy)
            continue;
        CSevenZipFolder folder = m_old.folders[f];
        folder.firstPackedStream = archive->packedSizes.size();
        for (size_t s = 0; s < m_old.folders[f].packedInStreams.size(); ++s)
        {
            size_t index = m_old.folders[f].firstPackedStream + s;
            uint64_t size = m_old.packedSizes[index];
            uint64_t from = PackedStreamAt(m_old, index);
            for (uint64_t done = 0; done < size;)
            {
                if (IsCancelled())
                    return EDllFailure::kCancelled;
                size_t chunk = static_cast<size_t>(std::min<uint64_t>(size - done, kReadChunk));
                if (!m_oldFile->ReadAt(from + done, chunk, &bytes))
                {
                    m_systemError = GetLastError();
                    return EDllFailure::kArchiveUnreadable;
                }
                output->Write(bytes);
                done += chunk;
            }
            archive->packedSizes.push_back(size);
        }
        size_t newFolder = archive->folders.size();
        archive->folders.push_back(folder);
        for (size_t i : plan.folderEntries[f])
        {
            CSevenZipEntry entry = m_old.entries[i];
            entry.folder = newFolder;
            archive->entries.push_back(entry);
        }
    }
    return EDllFailure::kNone;
}

// The kept files of the folders that lose some: decoded, checked against
// their CRCs, and packed again among the new files; the kept entries
// without data join the new ones.
EDllFailure CSevenZipWriter::RepackOld(const CPlan& plan, CFolderPacker* packer,
                                       std::vector<CSevenZipEntry>* empty)
{
    for (size_t i = 0; i < m_old.entries.size(); ++i)
        if (plan.keptEntries[i] && !m_old.entries[i].hasStream)
            empty->push_back(m_old.entries[i]);
    for (size_t f = 0; f < m_old.folders.size(); ++f)
    {
        if (plan.folders[f] != EOldFolder::kRepack)
            continue;
        const std::vector<size_t>& entries = plan.folderEntries[f];
        size_t current = 0;     // among entries
        uint64_t left = 0;      // of the current entry
        bool started = false;
        uint32_t crc = 0;
        EDllFailure failure = EDllFailure::kNone;
        // Moves on to the next entry with data, past the empty ones.
        auto next = [&]() -> bool {
            while (current < entries.size())
            {
                const CSevenZipEntry& entry = m_old.entries[entries[current]];
                if (!started)
                {
                    started = true;
                    crc = 0;
                    left = entry.size;
                    if (plan.keptEntries[entries[current]])
                    {
                        failure = packer->BeginFile(entry, packer->Filtered(entry.name, entry.size));
                        if (failure != EDllFailure::kNone)
                            return false;
                    }
                }
                if (left > 0)
                    return true;
                if (entry.hasCrc && crc != entry.crc)
                {
                    failure = EDllFailure::kArchiveDamaged;
                    return false;
                }
                if (plan.keptEntries[entries[current]] && !packer->EndFile())
                {
                    failure = EDllFailure::kArchiveDamaged;
                    return false;
                }
                ++current;
                started = false;
            }
            return true;
        };
        auto sink = [&](const char* data, size_t size) -> bool {
            if (IsCancelled())
            {
                failure = EDllFailure::kCancelled;
                return false;
            }
            while (size > 0)
            {
                if (!next())
                    return false;
                if (current >= entries.size())
                {
                    failure = EDllFailure::kArchiveDamaged;  // more data than the files hold
                    return false;
                }
                size_t take = static_cast<size_t>(std::min<uint64_t>(left, size));
                crc = SevenZipCrc(data, take, crc);
                if (plan.keptEntries[entries[current]])
                {
                    failure = packer->Feed(data, take);
                    if (failure != EDllFailure::kNone)
                        return false;
                }
                left -= take;
                data += take;
                size -= take;
            }
            return true;
        };
        EFolderDecode decoded = DecodeFolder(*m_oldFile, m_old, f, sink, m_command.password);
        if (decoded == EFolderDecode::kDecoded && (!next() || current < entries.size()))
            decoded = failure == EDllFailure::kNone ? EFolderDecode::kDamaged : EFolderDecode::kCancelled;
        if (failure != EDllFailure::kNone)
            return failure;
        switch (decoded)
        {
        case EFolderDecode::kDecoded:
            break;
        case EFolderDecode::kUnsupported:
            return EDllFailure::kArchiveUnsupported;
        case EFolderDecode::kNeedPassword:
            return EDllFailure::kArchiveEncrypted;
        case EFolderDecode::kDamaged:
            return EDllFailure::kArchiveDamaged;
        case EFolderDecode::kUnreadable:
            m_systemError = GetLastError();
            return EDllFailure::kArchiveUnreadable;
        case EFolderDecode::kCancelled:
            return EDllFailure::kCancelled;
        }
    }
    return EDllFailure::kNone;
}

// The new items: the plain files first, then the executables (so that each
// kind fills folders of its own), the folders and empty files after them.
EDllFailure CSevenZipWriter::PackNew(CFolderPacker* packer, std::vector<CSevenZipEntry>* empty,
                                     std::wstring* subject)
{
    std::string buffer;
    for (int pass = 0; pass < 2; ++pass)
    {
        for (size_t i = 0; i < m_items.Count(); ++i)
        {
            CSevenZipEntry entry = SourceEntry(m_items, i);
            if (!entry.hasStream)
            {
                if (pass == 0)
                {
                    empty->push_back(entry);
                    ++(entry.directory ? m_folders : m_files);
                    InterlockedIncrement(&m_done);
                }
                continue;
            }
            bool filtered = packer->Filtered(entry.name, entry.size);
            if (filtered != (pass == 1))
                continue;
            if (IsCancelled())
                return EDllFailure::kCancelled;
            std::wstring path = m_items.Path(i);
            SetLatest(m_items.Name(i));
            CScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL));
            if (!file.IsValid())
            {
                m_systemError = GetLastError();
                *subject = path;
                return EDllFailure::kSourceUnreadable;
            }
            EDllFailure failure = packer->BeginFile(entry, filtered);
            if (failure != EDllFailure::kNone)
                return failure;
            // One byte past the size is asked for, so that a file grown
            // since the walk is told from one that was not.
            uint64_t left = entry.size + 1;
            buffer.resize(kReadChunk);
            for (;;)
            {
                if (IsCancelled())
                    return EDllFailure::kCancelled;
                DWORD want = static_cast<DWORD>(std::min<uint64_t>(left, kReadChunk));
                DWORD read = 0;
                if (!ReadFile(file.Get(), &buffer[0], want, &read, NULL))
                {
                    m_systemError = GetLastError();
                    *subject = path;
                    return EDllFailure::kSourceUnreadable;
                }
                if (read == 0)
                    break;
                failure = packer->Feed(buffer.data(), read);
                if (failure != EDllFailure::kNone)
                    return failure;
                left -= read;
                if (left == 0)
                    break;
            }
            if (!packer->EndFile())
            {
                *subject = path;
                return EDllFailure::kSourceChanged;
            }
            ++m_files;
            InterlockedIncrement(&m_done);
        }
    }
    return EDllFailure::kNone;
}

// The header after the data, compressed with LZMA as 7z archives carry it
// (as it is when that would not be smaller), and the signature header that
// points to it.
EDllFailure CSevenZipWriter::WriteHeader(const CSevenZipArchive& archive, CPackedOutput* output)
{
    std::string header = SevenZipHeader(archive);
    std::string packed, properties;
    uint64_t packedAt = output->Tell() - kSignatureHeaderSize;
    if (!EncodeLzma(header, &packed, &properties))
        return EDllFailure::kCodecFailed;
    std::string next = header;
    bool encrypt = m_command.encryptHeader && m_aes;
    if (encrypt || packed.size() + 64 < header.size())
    {
        CSevenZipFolder folder;
        folder.coders = {CSevenZipCoder{kMethodLzma, properties, 1, 1}};
        folder.packedInStreams = {0};
        folder.unpackSizes = {header.size()};
        folder.hasCrc = true;
        folder.crc = SevenZipCrc(header.data(), header.size());
        if (encrypt)
        {
            std::string encrypted, aesProperties;
            if (!m_aes->StartEncrypting(&aesProperties) ||
                !m_aes->Encrypt(packed.data(), packed.size(), &encrypted) || !m_aes->FinishEncrypting(&encrypted))
                return EDllFailure::kCryptoFailed;
            folder.coders.insert(folder.coders.begin(), CSevenZipCoder{kMethodAes, aesProperties, 1, 1});
            folder.unpackSizes.insert(folder.unpackSizes.begin(), packed.size());
            ChainCoders(&folder);
            packed.swap(encrypted);
        }
        output->Write(packed);
        next = SevenZipEncodedHeader(packedAt, packed.size(), folder);
    }
    uint64_t nextAt = output->Tell() - kSignatureHeaderSize;
    output->Write(next);
    if (!output->WriteAt(0, SevenZipSignatureHeader(nextAt, next.size(), SevenZipCrc(next.data(), next.size()))))
    {
        m_systemError = output->Error();
        return EDllFailure::kWriteFailed;
    }
    return EDllFailure::kNone;
}
