#include "dllkit/SourceList.h"

#include "common/FileBytes.h"
#include "common/ScopedHandle.h"
#include "dllkit/DllText.h"

#include <algorithm>

namespace {

// Paths past MAX_PATH are reached through the long form.
std::wstring OpenablePath(const std::wstring& path)
{
    if (path.size() < MAX_PATH - 12 || path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\')
        return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() > 2 && path[1] == L':')
        return L"\\\\?\\" + path;
    return path;
}

// Calls visit(line) for each line of a list file's text, without its line
// end; false as soon as visit is.
template <typename Visit>
bool ForEachLine(const std::string& bytes, Visit visit)
{
    size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::string line;
    while (start < bytes.size())
    {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        line.assign(bytes, start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!visit(line))
            return false;
        start = end + 1;
    }
    return true;
}

// A list line as a stored name: quotes off, '\\' between the parts, no
// "." parts, no leading or trailing separator. False for a line that climbs
// out of the base folder ("..", a drive): an entry named so would be
// extracted outside the folder it is extracted into.
bool CleanName(std::wstring line, std::wstring* clean)
{
    while (!line.empty() && (line.back() == L' ' || line.back() == L'\t'))
        line.pop_back();
    if (line.size() >= 2 && line.front() == L'"' && line.back() == L'"')
        line = line.substr(1, line.size() - 2);
    std::wstring name;
    std::wstring part;
    line += L'\\';
    for (wchar_t c : line)
    {
        if (c != L'\\' && c != L'/')
        {
            part += c;
            continue;
        }
        if (part == L".." || part.find(L':') != std::wstring::npos)
            return false;
        if (!part.empty() && part != L".")
            name += (name.empty() ? L"" : L"\\") + part;
        part.clear();
    }
    *clean = name;
    return true;
}

class CCollector
{
public:
    CCollector(CSourceList* items) : m_items(items), m_base(0) {}

    void SetBase(const std::wstring& folder) { m_base = m_items->AddBase(folder); }

    bool AddListed(const std::wstring& base, const std::wstring& name, EDllFailure* failure, std::wstring* subject)
    {
        std::wstring path = base + name;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(OpenablePath(path).c_str(), GetFileExInfoStandard, &data))
        {
            *failure = EDllFailure::kSourceMissing;
            *subject = path;
            return false;
        }
        Add(name, data.dwFileAttributes, data.ftLastWriteTime, data.ftLastAccessTime, data.ftCreationTime,
            (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !Walk(path, name))
        {
            *failure = EDllFailure::kSourceUnreadable;
            *subject = path;
            return false;
        }
        return true;
    }

private:
    void Add(const std::wstring& name, DWORD attributes, FILETIME written, FILETIME accessed, FILETIME created,
             ULONGLONG size)
    {
        CSourceItem item;
        item.base = m_base;
        item.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        item.size = item.folder ? 0 : size;
        item.attributes = attributes;
        item.written = written;
        item.accessed = accessed;
        item.created = created;
        m_items->Add(item, name);
    }

    // Everything below a folder, each folder's entries before its subfolders'.
    bool Walk(const std::wstring& folder, const std::wstring& name)
    {
        WIN32_FIND_DATAW found;
        CScopedFind find(FindFirstFileExW(OpenablePath(folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                          FindExSearchNameMatch, NULL, FIND_FIRST_EX_LARGE_FETCH));
        if (!find.IsValid())
            return GetLastError() == ERROR_FILE_NOT_FOUND;
        std::vector<std::wstring> folders;
        do
        {
            std::wstring part = found.cFileName;
            if (part == L"." || part == L"..")
                continue;
            Add(name + L"\\" + part, found.dwFileAttributes, found.ftLastWriteTime, found.ftLastAccessTime,
                found.ftCreationTime, (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
            // A link to a folder is stored as the folder it is, not followed.
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
                folders.push_back(part);
        } while (FindNextFileW(find.Get(), &found));
        if (GetLastError() != ERROR_NO_MORE_FILES)
            return false;
        for (const std::wstring& part : folders)
            if (!Walk(folder + L"\\" + part, name + L"\\" + part))
                return false;
        return true;
    }

    CSourceList* m_items;
    size_t m_base;
};

// FNV-1a over the UTF-16 units of a key.
unsigned long long KeyHash(const std::wstring& key)
{
    unsigned long long hash = 14695981039346656037ULL;
    for (wchar_t c : key)
    {
        hash ^= static_cast<unsigned>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

}  // namespace

std::wstring EntryNameKey(const std::wstring& name)
{
    std::wstring key = name;
    for (wchar_t& c : key)
        if (c == L'\\')
            c = L'/';
    while (!key.empty() && key.back() == L'/')
        key.pop_back();
    if (!key.empty())
        CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

std::wstring CSourceList::Name(size_t i) const
{
    return m_names.substr(m_items[i].nameAt, m_items[i].nameLength);
}

std::wstring CSourceList::Path(size_t i) const
{
    return OpenablePath(m_bases[m_items[i].base] + Name(i));
}

size_t CSourceList::AddBase(const std::wstring& folder)
{
    m_bases.push_back(folder);
    return m_bases.size() - 1;
}

void CSourceList::Add(CSourceItem item, const std::wstring& name)
{
    item.nameAt = m_names.size();
    item.nameLength = name.size();
    m_names += name;
    m_items.push_back(item);
}

void CSourceList::DropRepeatedNames()
{
    std::vector<size_t> repeated = CNameIndex(*this).Repeated();
    if (repeated.empty())
        return;
    size_t kept = 0;
    size_t next = 0;
    for (size_t i = 0; i < m_items.size(); ++i)
    {
        if (next < repeated.size() && repeated[next] == i)
        {
            ++next;
            continue;
        }
        m_items[kept++] = m_items[i];
    }
    m_items.resize(kept);
}

void CSourceList::Reserve(size_t items, size_t nameUnits)
{
    m_items.reserve(m_items.size() + items);
    m_names.reserve(m_names.size() + nameUnits);
}

void CSourceList::Clear()
{
    m_items.clear();
    m_names.clear();
    m_bases.clear();
}

CNameIndex::CNameIndex(const CSourceList& list) : m_list(list)
{
    m_hashes.reserve(list.Count());
    for (size_t i = 0; i < list.Count(); ++i)
        m_hashes.push_back(std::make_pair(KeyHash(EntryNameKey(list.Name(i))), i));
    std::sort(m_hashes.begin(), m_hashes.end());
}

size_t CNameIndex::Find(const std::wstring& key) const
{
    unsigned long long hash = KeyHash(key);
    auto at = std::lower_bound(m_hashes.begin(), m_hashes.end(), std::make_pair(hash, size_t(0)));
    for (; at != m_hashes.end() && at->first == hash; ++at)
        if (EntryNameKey(m_list.Name(at->second)) == key)
            return at->second;
    return std::wstring::npos;
}

std::vector<size_t> CNameIndex::Repeated() const
{
    std::vector<size_t> repeated;
    for (size_t run = 0; run < m_hashes.size();)
    {
        size_t end = run + 1;
        while (end < m_hashes.size() && m_hashes[end].first == m_hashes[run].first)
            ++end;
        // Mostly one item a hash; where more meet, each against those before it.
        for (size_t i = run + 1; i < end; ++i)
        {
            std::wstring key = EntryNameKey(m_list.Name(m_hashes[i].second));
            for (size_t j = run; j < i; ++j)
                if (EntryNameKey(m_list.Name(m_hashes[j].second)) == key)
                {
                    repeated.push_back(m_hashes[i].second);
                    break;
                }
        }
        run = end;
    }
    std::sort(repeated.begin(), repeated.end());
    return repeated;
}

bool CollectSources(const std::vector<CListSource>& sources, CSourceList* items, EDllFailure* failure, std::wstring* subject)
{
    items->Clear();
    CCollector collector(items);
    for (const CListSource& source : sources)
    {
        std::string bytes;
        if (!ReadWholeFile(source.listFile, &bytes))
        {
            *failure = EDllFailure::kListUnreadable;
            *subject = source.listFile;
            return false;
        }
        // Mostly a list names files one a line: room for that many at once.
        items->Reserve(std::count(bytes.begin(), bytes.end(), '\n') + 1, bytes.size());
        collector.SetBase(source.baseFolder);
        bool listed = ForEachLine(bytes, [&](const std::string& line) {
            std::wstring name;
            if (!CleanName(FromDllText(line), &name))
            {
                *failure = EDllFailure::kOutsideBase;
                *subject = FromDllText(line);
                return false;
            }
            return name.empty() || collector.AddListed(source.baseFolder, name, failure, subject);
        });
        if (!listed)
            return false;
    }
    items->DropRepeatedNames();
    return true;
}
