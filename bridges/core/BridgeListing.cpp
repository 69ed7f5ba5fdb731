#include "bridges/core/BridgeListing.h"

#include "bridges/core/BridgeText.h"
#include "dllkit/WildName.h"

#include <string.h>

#include <memory>
#include <mutex>
#include <set>

namespace {

const char kFolderAttribute[] = "d";
const char kFileAttribute[] = "-";

// What a handle of OpenArchive owns: the entries read when it was opened and
// the place of the walk through them.
class CBridgeArchive
{
public:
    explicit CBridgeArchive(std::vector<CArchiveEntry> entries) : m_entries(std::move(entries)) {}

    int FindFirst(const std::wstring& wildName, INDIVIDUALINFO* info)
    {
        // "*.*" means every entry too, names without a dot included.
        m_wild = wildName.empty() || wildName == L"*.*" ? std::wstring(L"*") : FoldName(wildName);
        m_next = 0;
        m_last = NULL;
        return FindNext(info);
    }

    int FindNext(INDIVIDUALINFO* info)
    {
        while (m_next < m_entries.size())
        {
            const CArchiveEntry& entry = m_entries[m_next++];
            if (!MatchesWildName(m_wild, FoldName(entry.name)))
                continue;
            m_last = &entry;
            Fill(entry, info);
            return 0;
        }
        return -1;
    }

    bool LastSize(__int64* size) const
    {
        if (m_last == NULL)
            return false;
        *size = static_cast<__int64>(m_last->size);
        return true;
    }

private:
    static void Fill(const CArchiveEntry& entry, INDIVIDUALINFO* info)
    {
        memset(info, 0, sizeof(*info));
        info->dwOriginalSize = static_cast<DWORD>(entry.size & 0xFFFFFFFFULL);
        CopyToOutput(WideToProgram(entry.name), info->szFileName, sizeof(info->szFileName));
        CopyToOutput(entry.folder ? kFolderAttribute : kFileAttribute, info->szAttribute, sizeof(info->szAttribute));
    }

    const std::vector<CArchiveEntry> m_entries;
    std::wstring m_wild = L"*";
    size_t m_next = 0;
    const CArchiveEntry* m_last = NULL;
};

// The handles open now: a handle the caller closed already, or never got,
// is refused rather than followed.
std::mutex g_lock;
std::set<CBridgeArchive*>& OpenArchives()
{
    static std::set<CBridgeArchive*> archives;
    return archives;
}

CBridgeArchive* FindOpen(HANDLE handle)
{
    CBridgeArchive* archive = static_cast<CBridgeArchive*>(handle);
    return OpenArchives().count(archive) != 0 ? archive : NULL;
}

}  // namespace

HANDLE OpenBridgeArchive(LPCSTR file, BridgeEntryReader read)
{
    try
    {
        std::vector<CArchiveEntry> entries;
        if (file == NULL || *file == '\0' || !read(file, &entries))
            return NULL;
        std::unique_ptr<CBridgeArchive> archive(new CBridgeArchive(std::move(entries)));
        std::lock_guard<std::mutex> hold(g_lock);
        OpenArchives().insert(archive.get());
        return archive.release();
    }
    catch (...)
    {
        return NULL;
    }
}

int CloseBridgeArchive(HANDLE handle)
{
    try
    {
        std::lock_guard<std::mutex> hold(g_lock);
        CBridgeArchive* archive = FindOpen(handle);
        if (archive == NULL)
            return kArchiverResultFailed;
        OpenArchives().erase(archive);
        delete archive;
        return 0;
    }
    catch (...)
    {
        return kArchiverResultFailed;
    }
}

int FindFirstBridgeEntry(HANDLE handle, LPCSTR wildName, INDIVIDUALINFO* info)
{
    try
    {
        std::lock_guard<std::mutex> hold(g_lock);
        CBridgeArchive* archive = FindOpen(handle);
        if (archive == NULL || info == NULL)
            return kArchiverResultFailed;
        return archive->FindFirst(wildName != NULL ? ProgramToWide(wildName) : std::wstring(), info);
    }
    catch (...)
    {
        return kArchiverResultFailed;
    }
}

int FindNextBridgeEntry(HANDLE handle, INDIVIDUALINFO* info)
{
    try
    {
        std::lock_guard<std::mutex> hold(g_lock);
        CBridgeArchive* archive = FindOpen(handle);
        if (archive == NULL || info == NULL)
            return kArchiverResultFailed;
        return archive->FindNext(info);
    }
    catch (...)
    {
        return kArchiverResultFailed;
    }
}

BOOL GetBridgeEntrySize(HANDLE handle, __int64* size)
{
    try
    {
        std::lock_guard<std::mutex> hold(g_lock);
        CBridgeArchive* archive = FindOpen(handle);
        return archive != NULL && size != NULL && archive->LastSize(size) ? TRUE : FALSE;
    }
    catch (...)
    {
        return FALSE;
    }
}

BOOL CheckBridgeArchive(LPCSTR file, const char* tool, std::initializer_list<const char*> args,
                        BridgeCheckVerdict verdict)
{
    try
    {
        if (file == NULL || GetFileAttributesW(ProgramToWide(file).c_str()) == INVALID_FILE_ATTRIBUTES)
            return FALSE;
        CHostRun run;
        run.tool = tool;
        for (const char* arg : args)
            run.args.push_back(CHostArg{CHostArg::kText, std::string(), arg});
        run.args.push_back(CHostArg{CHostArg::kPath, std::string(), file});
        // A verdict may count what the tool says of every entry.
        run.wholeOutput = true;
        CHostSession session;
        CRunOutcome outcome;
        if (!session.Run(run, NULL, &outcome) || outcome.timedOut)
            return FALSE;
        return verdict(file, outcome) ? TRUE : FALSE;
    }
    catch (...)
    {
        return FALSE;
    }
}

bool ToolSucceeded(const std::string&, const CRunOutcome& outcome) { return outcome.exitCode == 0; }

namespace {

// The last listing 7zz gave, and of which file: the job reads back the
// archive the bridge's own check listed a moment before, and a 7zz run on a
// large archive costs as much as the rest of the read back.
struct CLastListing
{
    std::string archive;
    std::string password;
    ULONGLONG size = 0;
    FILETIME written = {};
    std::string listing;
};

std::mutex g_listingLock;

CLastListing& LastListing()
{
    static CLastListing last;
    return last;
}

bool FileIdentity(const std::string& archive, ULONGLONG* size, FILETIME* written)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(ProgramToWide(archive).c_str(), GetFileExInfoStandard, &data))
        return false;
    *size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    *written = data.ftLastWriteTime;
    return true;
}

}  // namespace

bool ListWithSevenZip(CHostSession* session, const std::string& archive, const std::string& password,
                      std::string* listing)
{
    // An unchanged file (same size, same time of its last write) lists as it did.
    ULONGLONG size = 0;
    FILETIME written = {};
    bool identified = FileIdentity(archive, &size, &written);
    {
        std::lock_guard<std::mutex> hold(g_listingLock);
        const CLastListing& last = LastListing();
        if (identified && last.archive == archive && last.password == password && last.size == size &&
            CompareFileTime(&last.written, &written) == 0)
        {
            *listing = last.listing;
            return true;
        }
    }
    CHostRun list;
    list.tool = "7zz";
    list.args = {CHostArg{CHostArg::kText, std::string(), "l"}, CHostArg{CHostArg::kText, std::string(), "-slt"},
                 CHostArg{CHostArg::kText, std::string(), "-ba"},
                 CHostArg{CHostArg::kText, std::string(), "-sccUTF-8"},
                 CHostArg{CHostArg::kText, std::string(), "-scsUTF-8"},
                 CHostArg{CHostArg::kPath, std::string(), archive}};
    // Without a password the standard input is empty: 7zz, asked for one
    // for an encrypted directory, fails at once instead of waiting.
    list.secret = password;
    list.wholeOutput = true;
    CRunOutcome outcome;
    if (!session->Run(list, NULL, &outcome) || outcome.exitCode != 0)
        return false;
    *listing = outcome.output;
    // Kept only when the file did not change while 7zz read it.
    ULONGLONG sizeAfter = 0;
    FILETIME writtenAfter = {};
    if (identified && FileIdentity(archive, &sizeAfter, &writtenAfter) && sizeAfter == size &&
        CompareFileTime(&writtenAfter, &written) == 0)
    {
        std::lock_guard<std::mutex> hold(g_listingLock);
        CLastListing& last = LastListing();
        last.archive = archive;
        last.password = password;
        last.size = size;
        last.written = written;
        last.listing = outcome.output;
    }
    return true;
}
