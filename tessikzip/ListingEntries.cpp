// The listing and check entries of TessikZip.dll. Nothing may be thrown
// across them: each catches what the work below can throw.

#include "common/ArchiverApi.h"
#include "tessikzip/DllText.h"
#include "tessikzip/ZipListing.h"

#include <string.h>

#include <memory>
#include <mutex>
#include <set>

ARCHIVER_EXPORT ArchiverOpenArchive TessikZipOpenArchive;
ARCHIVER_EXPORT ArchiverFindFirst TessikZipFindFirst;
ARCHIVER_EXPORT ArchiverFindNext TessikZipFindNext;
ARCHIVER_EXPORT ArchiverGetOriginalSizeEx TessikZipGetOriginalSizeEx;
ARCHIVER_EXPORT ArchiverHandleQuery TessikZipCloseArchive;
ARCHIVER_EXPORT ArchiverCheckArchive TessikZipCheckArchive;

namespace {

const int kFound = 0;
const int kNoMore = -1;

// What a handle of OpenArchive owns: the entries read when it was opened and
// the place of the walk through them.
class CListedArchive
{
public:
    explicit CListedArchive(std::vector<CZipListedEntry> entries) : m_entries(std::move(entries)) {}

    int FindFirst(const std::wstring& wildName, INDIVIDUALINFO* info)
    {
        // "*.*" is every entry too, names without a dot included.
        m_wild = wildName.empty() || wildName == L"*.*" ? std::wstring(L"*") : wildName;
        m_next = 0;
        m_last = NULL;
        return FindNext(info);
    }

    int FindNext(INDIVIDUALINFO* info)
    {
        while (m_next < m_entries.size())
        {
            const CZipListedEntry& entry = m_entries[m_next++];
            if (!MatchesZipWildName(m_wild, entry.name))
                continue;
            m_last = &entry;
            Fill(entry, info);
            return kFound;
        }
        return kNoMore;
    }

    bool LastSize(__int64* size) const
    {
        if (m_last == NULL)
            return false;
        *size = static_cast<__int64>(m_last->record.size);
        return true;
    }

private:
    // The length of text cut to at most limit bytes: a name too long for the
    // buffer loses characters, not half of one.
    static size_t CharacterBoundary(const std::string& text, size_t limit)
    {
        if (text.size() <= limit)
            return text.size();
        if (IsDllUnicodeModeOn())
        {
            size_t cut = limit;
            while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
                --cut;
            return cut;
        }
        size_t cut = 0;
        for (size_t at = 0; at < limit;)
        {
            size_t width = IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(text[at])) ? 2 : 1;
            if (at + width > limit)
                break;
            at += width;
            cut = at;
        }
        return cut;
    }

    static void Fill(const CZipListedEntry& entry, INDIVIDUALINFO* info)
    {
        memset(info, 0, sizeof(*info));
        info->dwOriginalSize = static_cast<DWORD>(entry.record.size & 0xFFFFFFFFULL);
        info->dwCompressedSize = static_cast<DWORD>(entry.packedSize & 0xFFFFFFFFULL);
        info->dwCRC = entry.crc;
        // Per mille of the original size, as the other DLLs give it.
        ULONGLONG ratio = entry.record.size == 0 ? 0 : entry.packedSize * 1000 / entry.record.size;
        info->wRatio = static_cast<WORD>(ratio > 0xFFFF ? 0xFFFF : ratio);
        info->wDate = entry.dosDate;
        info->wTime = entry.dosTime;
        std::string text = ToDllText(entry.name);
        size_t length = CharacterBoundary(text, FNAME_MAX32);
        memcpy(info->szFileName, text.data(), length);
        const char attribute[] = {
            entry.folder ? 'd' : '-',
            (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0 ? 'r' : '-',
            (entry.attributes & FILE_ATTRIBUTE_HIDDEN) != 0 ? 'h' : '-',
            (entry.attributes & FILE_ATTRIBUTE_SYSTEM) != 0 ? 's' : '-',
            (entry.attributes & FILE_ATTRIBUTE_ARCHIVE) != 0 ? 'a' : '-',
            '\0',
        };
        memcpy(info->szAttribute, attribute, sizeof(attribute));
        const char* mode = entry.method == 99 ? "aes" : entry.method == 8 ? "deflate" : entry.method == 0 ? "store" : "other";
        strcpy(info->szMode, mode);
    }

    const std::vector<CZipListedEntry> m_entries;
    std::wstring m_wild = L"*";
    size_t m_next = 0;
    const CZipListedEntry* m_last = NULL;
};

// The handles open now: a handle the caller closed already, or never got,
// is refused rather than followed.
std::mutex g_lock;
std::set<CListedArchive*>& OpenArchives()
{
    static std::set<CListedArchive*> archives;
    return archives;
}

CListedArchive* FindOpen(HANDLE handle)
{
    CListedArchive* archive = static_cast<CListedArchive*>(handle);
    return OpenArchives().count(archive) != 0 ? archive : NULL;
}

}  // namespace

HANDLE WINAPI TessikZipOpenArchive(HWND window, LPCSTR fileName, DWORD mode)
{
    try
    {
        std::vector<CZipListedEntry> entries;
        if (fileName == NULL || *fileName == '\0' || !ReadZipListing(FromDllText(fileName), &entries))
            return NULL;
        std::unique_ptr<CListedArchive> archive(new CListedArchive(std::move(entries)));
        std::lock_guard<std::mutex> hold(g_lock);
        OpenArchives().insert(archive.get());
        return archive.release();
    }
    catch (...)
    {
        return NULL;
    }
}

int WINAPI TessikZipFindFirst(HANDLE handle, LPCSTR wildName, INDIVIDUALINFO* info)
{
    try
    {
        std::lock_guard<std::mutex> hold(g_lock);
        CListedArchive* archive = FindOpen(handle);
        if (archive == NULL || info == NULL)
            return kArchiverResultFailed;
        return archive->FindFirst(wildName != NULL ? FromDllText(wildName) : std::wstring(), info);
    }
    catch (...)
    {
        return kArchiverResultFailed;
    }
}

int WINAPI TessikZipFindNext(HANDLE handle, INDIVIDUALINFO* info)
{
    try
    {
        std::lock_guard<std::mutex> hold(g_lock);
        CListedArchive* archive = FindOpen(handle);
        if (archive == NULL || info == NULL)
            return kArchiverResultFailed;
        return archive->FindNext(info);
    }
    catch (...)
    {
        return kArchiverResultFailed;
    }
}

BOOL WINAPI TessikZipGetOriginalSizeEx(HANDLE handle, __int64* size)
{
    try
    {
        std::lock_guard<std::mutex> hold(g_lock);
        CListedArchive* archive = FindOpen(handle);
        return archive != NULL && size != NULL && archive->LastSize(size) ? TRUE : FALSE;
    }
    catch (...)
    {
        return FALSE;
    }
}

int WINAPI TessikZipCloseArchive(HANDLE handle)
{
    try
    {
        std::unique_ptr<CListedArchive> archive;
        {
            std::lock_guard<std::mutex> hold(g_lock);
            archive.reset(FindOpen(handle));
            if (archive)
                OpenArchives().erase(archive.get());
        }
        return archive ? 0 : kArchiverResultFailed;
    }
    catch (...)
    {
        return kArchiverResultFailed;
    }
}

BOOL WINAPI TessikZipCheckArchive(LPCSTR fileName, int mode)
{
    try
    {
        if (fileName == NULL || *fileName == '\0')
            return FALSE;
        EZipCheck depth = mode == CHECKARCHIVE_FULLCRC ? EZipCheck::FullCrc : EZipCheck::Structure;
        return CheckZipArchive(FromDllText(fileName), depth) ? TRUE : FALSE;
    }
    catch (...)
    {
        return FALSE;
    }
}
