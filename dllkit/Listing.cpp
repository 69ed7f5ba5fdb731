// Nothing may be thrown out of these: each catches what the work below can
// throw.
#include "dllkit/Listing.h"

#include "dllkit/DllText.h"
#include "dllkit/WildName.h"

#include <string.h>
#include <wctype.h>

#include <memory>
#include <mutex>
#include <set>

namespace {

const int kFound = 0;
const int kNoMore = -1;

std::wstring FoldName(std::wstring text)
{
    for (wchar_t& c : text)
        c = c == L'\\' ? L'/' : static_cast<wchar_t>(towlower(c));
    return text;
}

// The length of text cut to at most limit bytes: a name too long for the
// buffer loses characters, not half of one.
size_t CharacterBoundary(const std::string& text, size_t limit)
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

void Fill(const CListingEntry& entry, INDIVIDUALINFO* info)
{
    memset(info, 0, sizeof(*info));
    info->dwOriginalSize = static_cast<DWORD>(entry.size & 0xFFFFFFFFULL);
    info->dwCompressedSize = static_cast<DWORD>(entry.packedSize & 0xFFFFFFFFULL);
    info->dwCRC = entry.crc;
    // Per mille of the original size, as the other DLLs give it.
    ULONGLONG ratio = entry.size == 0 ? 0 : entry.packedSize * 1000 / entry.size;
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
    strncpy(info->szMode, entry.mode, sizeof(info->szMode) - 1);
}

// What a handle owns: the entries and the place of the walk through them.
class CListedArchive
{
public:
    explicit CListedArchive(std::vector<CListingEntry> entries) : m_entries(std::move(entries))
    {
        m_keys.reserve(m_entries.size());
        for (const CListingEntry& entry : m_entries)
            m_keys.push_back(FoldName(entry.name));
    }

    int FindFirst(const std::wstring& wildName, INDIVIDUALINFO* info)
    {
        // "*.*" is every entry too, names without a dot included.
        m_wild = wildName.empty() || wildName == L"*.*" ? std::wstring(L"*") : FoldName(wildName);
        m_next = 0;
        m_last = NULL;
        return FindNext(info);
    }

    int FindNext(INDIVIDUALINFO* info)
    {
        while (m_next < m_entries.size())
        {
            size_t at = m_next++;
            if (!MatchesWildName(m_wild, m_keys[at]))
                continue;
            m_last = &m_entries[at];
            Fill(*m_last, info);
            return kFound;
        }
        return kNoMore;
    }

    bool LastSize(__int64* size) const
    {
        if (m_last == NULL)
            return false;
        *size = static_cast<__int64>(m_last->size);
        return true;
    }

private:
    const std::vector<CListingEntry> m_entries;
    std::vector<std::wstring> m_keys;  // the names folded as wild names are
    std::wstring m_wild = L"*";
    size_t m_next = 0;
    const CListingEntry* m_last = NULL;
};

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

HANDLE OpenListing(std::vector<CListingEntry> entries)
{
    try
    {
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

int ListingFindFirst(HANDLE handle, LPCSTR wildName, INDIVIDUALINFO* info)
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

int ListingFindNext(HANDLE handle, INDIVIDUALINFO* info)
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

BOOL ListingOriginalSize(HANDLE handle, __int64* size)
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

int CloseListing(HANDLE handle)
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
