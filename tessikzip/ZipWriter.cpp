#include "tessikzip/ZipWriter.h"

#include "common/ArchiveBytes.h"
#include "common/FileBytes.h"
#include "dllkit/ArchiveFiles.h"
#include "common/TextConvert.h"
#include "tessikzip/DeflatePool.h"
#include "tessikzip/ZipEncryption.h"
#include "tessikzip/ZipRecords.h"

#include <zlib.h>

#include <algorithm>
#include <deque>
#include <memory>

namespace {

// Files up to this size are one task; larger ones go in blocks.
const ULONGLONG kWholeFileLimit = 1 << 20;
const size_t kBlockSize = 256 << 10;
// Tasks in flight per thread: what bounds the memory, whatever the tree.
const size_t kTasksPerThread = 4;
const size_t kCopyChunk = 1 << 20;
const DWORD kDosFolder = FILE_ATTRIBUTE_DIRECTORY;

// The Shift_JIS bytes of a name, false when a character has none.
bool ExactShiftJis(const std::wstring& name, std::string* bytes)
{
    if (name.empty())
        return true;
    BOOL lossy = FALSE;
    int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, name.data(), static_cast<int>(name.size()), NULL, 0,
                                     NULL, &lossy);
    if (length <= 0 || lossy)
        return false;
    bytes->resize(length);
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, name.data(), static_cast<int>(name.size()), &(*bytes)[0], length,
                        NULL, &lossy);
    return !lossy;
}

// The name of a stored entry: '/' between the parts, '/' after a folder.
std::wstring EntryName(const CSourceList& items, size_t i)
{
    std::wstring name = items.Name(i);
    std::replace(name.begin(), name.end(), L'\\', L'/');
    if (items.Item(i).folder)
        name += L'/';
    return name;
}

// A kept entry's directory record with its local header at newAt: in the
// ZIP64 field when the record escapes the offset or newAt needs one.
std::string MovedRecord(const CZipEntry& entry, ULONGLONG newAt)
{
    namespace z = zipformat;
    const std::string& record = entry.record;
    std::string moved = record;
    size_t nameLength = Get16(record, z::kCentralNameLengthAt);
    size_t extraLength = Get16(record, z::kCentralExtraLengthAt);
    size_t extraAt = z::kCentralRecordSize + nameLength;
    bool sizeEscaped = Get32(record, z::kCentralSizeAt) == z::kEscape32;
    bool packedEscaped = Get32(record, z::kCentralPackedAt) == z::kEscape32;
    bool offsetEscaped = Get32(record, z::kCentralLocalAt) == z::kEscape32;
    if (!offsetEscaped && newAt < kZip32Limit)
    {
        Set32(&moved, z::kCentralLocalAt, static_cast<unsigned long>(newAt));
        return moved;
    }
    size_t fieldAt = FindZipExtraFieldAt(entry.Extra(), z::kExtraZip64);
    if (fieldAt != std::string::npos)
        fieldAt += extraAt;
    size_t offsetAt = (sizeEscaped ? 8 : 0) + (packedEscaped ? 8 : 0);
    std::string value;
    Put64(&value, newAt);
    if (offsetEscaped && fieldAt != std::string::npos)
    {
        moved.replace(fieldAt + z::kExtraHeaderSize + offsetAt, 8, value);
        return moved;
    }
    // The offset joins the ZIP64 field, or a new field holds it alone.
    Set32(&moved, z::kCentralLocalAt, kZip32Limit);
    if (fieldAt != std::string::npos)
    {
        moved.insert(fieldAt + z::kExtraHeaderSize + offsetAt, value);
        unsigned fieldLength = Get16(record, fieldAt + 2) + 8;
        moved[fieldAt + 2] = static_cast<char>(fieldLength & 0xFF);
        moved[fieldAt + 3] = static_cast<char>(fieldLength >> 8);
    }
    else
    {
        std::string field;
        Put16(&field, z::kExtraZip64);
        Put16(&field, 8);
        moved.insert(extraAt + extraLength, field + value);
    }
    unsigned newExtra = static_cast<unsigned>(extraLength + 8 + (fieldAt == std::string::npos ? 4 : 0));
    moved[z::kCentralExtraLengthAt] = static_cast<char>(newExtra & 0xFF);
    moved[z::kCentralExtraLengthAt + 1] = static_cast<char>(newExtra >> 8);
    if (Get16(record, z::kCentralVersionNeededAt) < 45)
        moved[z::kCentralVersionNeededAt] = 45, moved[z::kCentralVersionNeededAt + 1] = 0;
    return moved;
}

// The password's bytes as the scheme encrypts them: ZipCrypto takes those
// of the ANSI code page (what Windows readers try), false when a character
// has none there; AES takes UTF-8, as its readers do.
bool PasswordBytes(const std::wstring& password, bool zipCrypto, std::string* bytes)
{
    if (!zipCrypto)
    {
        *bytes = WideToUtf8(password);
        return true;
    }
    std::string ansi(password.size() * 2 + 1, '\0');
    if (!ToExactAnsi(password.c_str(), &ansi[0], ansi.size()))
        return false;
    bytes->assign(ansi.c_str());
    return true;
}

// What the writer knows of the entry it is writing.
struct CEntryWork
{
    CZipRecord record;
    std::unique_ptr<CEntryEncryptor> encryptor;
    unsigned long crc = 0;
    ULONGLONG read = 0;
};

// The encryptor of one entry; none when the system's crypto cannot give one.
std::unique_ptr<CEntryEncryptor> MakeEncryptor(bool zipCrypto, const std::string& password, unsigned char checkByte)
{
    if (zipCrypto)
        return MakeZipCryptoEncryptor(password, checkByte);
    return MakeAesEncryptor(password);
}

struct CQueued
{
    std::unique_ptr<CDeflateTask> task;
    size_t item = 0;
    bool first = true;
};

}  // namespace

CZipWriter::CZipWriter(const CZipCommand& command, const CSourceList& items)
    : m_command(command), m_items(items), m_utf8Names(true), m_existed(false), m_systemError(0), m_files(0),
      m_folders(0), m_cancelled(0), m_done(0)
{
    InitializeSRWLock(&m_nameLock);
}

CZipWriter::~CZipWriter()
{
    if (!m_password.empty())
        SecureZeroMemory(&m_password[0], m_password.size());
}

std::wstring CZipWriter::LatestName() const
{
    AcquireSRWLockShared(&m_nameLock);
    std::wstring name = m_latestName;
    ReleaseSRWLockShared(&m_nameLock);
    return name;
}

EDllFailure CZipWriter::Run(std::wstring* subject)
{
    *subject = m_command.archive;
    bool zipCrypto = m_command.encryption == EZipEncryption::kZipCrypto;
    if (!m_command.password.empty() && !PasswordBytes(m_command.password, zipCrypto, &m_password))
        return EDllFailure::kPasswordNotAnsi;
    if (!m_command.password.empty() && !IsSystemCryptoAvailable())
        return EDllFailure::kCryptoFailed;
    EDllFailure failure = ReadOld(subject);
    if (failure != EDllFailure::kNone)
        return failure;
    ChooseNames();
    std::wstring temp;
    failure = MakeTempBeside(m_command.archive, L"tzp", &temp, &m_systemError, subject);
    if (failure != EDllFailure::kNone)
        return failure;
    failure = Write(temp, subject);
    if (failure == EDllFailure::kNone && IsCancelled())
        failure = EDllFailure::kCancelled;
    return ReplaceWithTemp(failure, temp, m_command.archive, &m_oldFile, &m_systemError, subject);
}

// The archive there already, read once and held open without sharing
// writes, so that a second add at the same time fails instead of losing
// this one's entries or the other's: its entries, less those a new one
// replaces.
EDllFailure CZipWriter::ReadOld(std::wstring* subject)
{
    EDllFailure opened = OpenOldArchive(m_command.archive, EDllFailure::kNotZip, &m_oldFile, &m_systemError);
    m_existed = m_oldFile != nullptr;
    if (opened != EDllFailure::kNone || !m_existed)
        return opened;
    switch (ReadZipArchive(*m_oldFile, &m_archive))
    {
    case EZipRead::kRead:
        break;
    case EZipRead::kNotZip:
        return EDllFailure::kNotZip;
    case EZipRead::kDamaged:
        return EDllFailure::kArchiveDamaged;
    case EZipRead::kSplit:
        return EDllFailure::kArchiveSplit;
    case EZipRead::kUnreadable:
        return EDllFailure::kArchiveUnreadable;
    }
    CNameIndex replaced(m_items);
    std::vector<CZipEntry> kept;
    for (CZipEntry& entry : m_archive.entries)
        if (replaced.Find(EntryNameKey(ZipEntryName(entry))) == std::wstring::npos)
            kept.push_back(std::move(entry));
    m_archive.entries.swap(kept);
    return EDllFailure::kNone;
}

// UTF-8 names, or Shift_JIS ones without the flag when asked and every name
// has that form.
void CZipWriter::ChooseNames()
{
    m_utf8Names = true;
    if (m_command.names != EZipNames::kShiftJis)
        return;
    std::string bytes;
    for (size_t i = 0; i < m_items.Count(); ++i)
        if (!ExactShiftJis(EntryName(m_items, i), &bytes))
            return;
    m_utf8Names = false;
}

// The bytes an item's name is stored in, as ChooseNames decided.
std::string CZipWriter::StoredName(size_t item) const
{
    std::wstring name = EntryName(m_items, item);
    if (m_utf8Names)
        return WideToUtf8(name);
    std::string bytes;
    ExactShiftJis(name, &bytes);
    return bytes;
}

EDllFailure CZipWriter::Write(const std::wstring& temp, std::wstring* subject)
{
    CZipOutput output;
    if (!output.Open(temp))
    {
        m_systemError = output.Error();
        *subject = FolderOfArchive(m_command.archive);
        return EDllFailure::kTempFailed;
    }
    CDeferredBytes directory(FolderOfArchive(m_command.archive));
    ULONGLONG entries = 0;
    EDllFailure failure = CopyOld(&output, &directory, &entries);
    if (failure == EDllFailure::kArchiveUnreadable)
        *subject = m_command.archive;
    if (failure == EDllFailure::kNone)
        failure = WriteNew(&output, &directory, &entries, subject);
    if (failure != EDllFailure::kNone)
    {
        output.Close();
        return failure;
    }
    ULONGLONG directoryAt = output.Tell();
    if (!directory.WriteTo(&output))
    {
        output.Close();
        *subject = FolderOfArchive(m_command.archive);
        return EDllFailure::kTempFailed;
    }
    output.Write(EndRecords(entries, directoryAt, directory.Size(), m_archive.comment));
    // Flushed to the disk before it replaces the old archive.
    if (!output.Commit())
    {
        m_systemError = output.Error();
        *subject = m_command.archive;
        return EDllFailure::kWriteFailed;
    }
    return EDllFailure::kNone;
}

// What stands before the first entry (a self-extracting program), then each
// kept entry's extent as it is, its directory record with the new offset,
// as zip -A leaves the offsets: counted from the start of the file.
EDllFailure CZipWriter::CopyOld(CZipOutput* output, CDeferredBytes* directory, ULONGLONG* entries)
{
    if (!m_existed)
        return EDllFailure::kNone;
    EDllFailure failure = CopyBytes(0, m_archive.firstEntryAt, output);
    for (const CZipEntry& entry : m_archive.entries)
    {
        if (failure != EDllFailure::kNone)
            return failure;
        ULONGLONG newAt = output->Tell();
        failure = CopyBytes(entry.localAt, entry.endAt, output);
        directory->Append(MovedRecord(entry, newAt));
        ++*entries;
    }
    return failure;
}

EDllFailure CZipWriter::CopyBytes(ULONGLONG from, ULONGLONG to, CZipOutput* output)
{
    std::string bytes;
    for (ULONGLONG at = from; at < to;)
    {
        if (IsCancelled())
            return EDllFailure::kCancelled;
        size_t chunk = static_cast<size_t>(std::min<ULONGLONG>(to - at, kCopyChunk));
        if (!m_oldFile->ReadAt(at, chunk, &bytes))
        {
            m_systemError = GetLastError();
            return EDllFailure::kArchiveUnreadable;
        }
        output->Write(bytes);
        at += chunk;
    }
    return EDllFailure::kNone;
}

EDllFailure CZipWriter::WriteNew(CZipOutput* output, CDeferredBytes* directory, ULONGLONG* entries,
                                 std::wstring* subject)
{
    bool encrypt = !m_command.password.empty();
    bool zipCrypto = m_command.encryption == EZipEncryption::kZipCrypto;
    const std::string& password = m_password;
    // The tasks outlive the pool: its threads finish what they took first.
    std::deque<CQueued> inFlight;
    CDeflatePool pool(m_command.threads);
    size_t limit = kTasksPerThread * (pool.Threads() > 0 ? pool.Threads() : 1);
    size_t nextItem = 0;
    ULONGLONG nextAt = 0;
    CEntryWork work;
    for (;;)
    {
        while (inFlight.size() < limit && nextItem < m_items.Count())
        {
            const CSourceItem& item = m_items.Item(nextItem);
            CQueued queued;
            queued.task.reset(new CDeflateTask);
            CDeflateTask* task = queued.task.get();
            queued.item = nextItem;
            queued.first = nextAt == 0;
            task->path = m_items.Path(nextItem);
            task->folder = item.folder;
            task->store = m_command.store;
            task->level = m_command.level;
            if (item.folder || item.size <= kWholeFileLimit)
            {
                task->whole = true;
                ++nextItem;
            }
            else
            {
                task->at = nextAt;
                task->length = static_cast<size_t>(item.size - nextAt < kBlockSize ? item.size - nextAt : kBlockSize);
                nextAt += task->length;
                task->last = nextAt == item.size;
                if (task->last)
                {
                    ++nextItem;
                    nextAt = 0;
                }
            }
            pool.Submit(task);
            inFlight.push_back(std::move(queued));
        }
        if (inFlight.empty())
            return EDllFailure::kNone;
        CQueued& front = inFlight.front();
        CDeflateTask* task = front.task.get();
        pool.WaitDone(task);
        if (IsCancelled())
            return EDllFailure::kCancelled;
        const CSourceItem& item = m_items.Item(front.item);
        *subject = task->path;
        if (task->failed)
            return EDllFailure::kSourceUnreadable;
        if (task->changed)
            return EDllFailure::kSourceChanged;
        if (front.first)
        {
            work = CEntryWork();
            CZipRecord& record = work.record;
            record.name = StoredName(front.item);
            record.flags = m_utf8Names && !IsAscii(record.name) ? kFlagUtf8 : 0;
            record.method = item.folder || task->stored ? kMethodStored : kMethodDeflated;
            record.dosTime = DosTimeOf(item.written);
            record.attributes = (item.attributes & 0x27) | (item.folder ? kDosFolder : 0);
            record.written = item.written;
            record.accessed = item.accessed;
            record.created = item.created;
            // Decided before the data: deflate may make a file a little larger.
            record.zip64Local = !task->whole && item.size + item.size / 128 + 65536 >= kZip32Limit;
            record.localAt = output->Tell();
            if (encrypt && !item.folder)
            {
                record.flags |= kFlagEncrypted;
                if (zipCrypto)
                {
                    // The CRC is known only after the data: the check byte is
                    // the time's, and the sizes follow the data.
                    record.flags |= kFlagDescriptor;
                    work.encryptor = MakeEncryptor(true, password, static_cast<unsigned char>(record.dosTime >> 8));
                }
                else
                {
                    AppendAesExtraField(record.method, &record.aesExtra);
                    record.method = kMethodAes;
                    work.encryptor = MakeEncryptor(false, password, 0);
                }
                if (!work.encryptor)
                    return EDllFailure::kCryptoFailed;
            }
            output->Write(LocalHeader(record));
            if (work.encryptor)
            {
                std::string header;
                if (!work.encryptor->Begin(&header))
                    return EDllFailure::kCryptoFailed;
                output->Write(header);
                record.packed += header.size();
            }
        }
        work.crc = front.first ? task->crc : crc32_combine(work.crc, task->crc, static_cast<z_off_t>(task->read));
        work.read += task->read;
        if (work.encryptor && !task->output.empty())
            work.encryptor->Transform(reinterpret_cast<unsigned char*>(&task->output[0]), task->output.size());
        output->Write(task->output);
        work.record.packed += task->output.size();
        if (task->last)
        {
            CZipRecord& record = work.record;
            if (work.encryptor)
            {
                std::string trailer;
                if (!work.encryptor->End(&trailer))
                    return EDllFailure::kCryptoFailed;
                output->Write(trailer);
                record.packed += trailer.size();
            }
            record.size = work.read;
            record.crc = record.method == kMethodAes ? 0 : work.crc;
            if (!record.zip64Local && (record.size >= kZip32Limit || record.packed >= kZip32Limit))
                return EDllFailure::kSourceChanged;
            if ((record.flags & kFlagDescriptor) != 0)
                output->Write(DataDescriptor(record));
            else
                output->Patch(record.localAt, LocalHeader(record));
            directory->Append(CentralRecord(record));
            ++*entries;
            ++(item.folder ? m_folders : m_files);
            AcquireSRWLockExclusive(&m_nameLock);
            m_latestName = m_items.Name(front.item);
            ReleaseSRWLockExclusive(&m_nameLock);
            InterlockedIncrement(&m_done);
        }
        inFlight.pop_front();
    }
}
