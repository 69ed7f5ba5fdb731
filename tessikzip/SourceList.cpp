#include "tessikzip/SourceList.h"

#include "common/FileBytes.h"
#include "common/ScopedHandle.h"
#include "tessikzip/DllText.h"

#include <set>

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

std::vector<std::string> ListLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < bytes.size())
    {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
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
    CCollector(std::vector<CSourceItem>* items) : m_items(items) {}

    bool AddListed(const std::wstring& base, const std::wstring& name, EZipFailure* failure, std::wstring* subject)
    {
        std::wstring path = base + name;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(OpenablePath(path).c_str(), GetFileExInfoStandard, &data))
        {
            *failure = EZipFailure::kSourceMissing;
            *subject = path;
            return false;
        }
        Add(path, name, data.dwFileAttributes, data.ftLastWriteTime, data.ftLastAccessTime, data.ftCreationTime,
            (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !Walk(path, name))
        {
            *failure = EZipFailure::kSourceUnreadable;
            *subject = path;
            return false;
        }
        return true;
    }

private:
    void Add(const std::wstring& path, const std::wstring& name, DWORD attributes, FILETIME written,
             FILETIME accessed, FILETIME created, ULONGLONG size)
    {
        if (!m_seen.insert(ZipNameKey(name)).second)
            return;
        CSourceItem item;
        item.path = OpenablePath(path);
        item.name = name;
        item.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        item.size = item.folder ? 0 : size;
        item.attributes = attributes;
        item.written = written;
        item.accessed = accessed;
        item.created = created;
        m_items->push_back(item);
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
            Add(folder + L"\\" + part, name + L"\\" + part, found.dwFileAttributes, found.ftLastWriteTime,
                found.ftLastAccessTime, found.ftCreationTime,
                (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
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

    std::vector<CSourceItem>* m_items;
    std::set<std::wstring> m_seen;
};

}  // namespace

std::wstring ZipNameKey(const std::wstring& name)
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

bool CollectSources(const CZipCommand& command, std::vector<CSourceItem>* items, EZipFailure* failure,
                    std::wstring* subject)
{
    items->clear();
    CCollector collector(items);
    for (const CZipSource& source : command.sources)
    {
        std::string bytes;
        if (!ReadWholeFile(source.listFile, &bytes))
        {
            *failure = EZipFailure::kListUnreadable;
            *subject = source.listFile;
            return false;
        }
        for (const std::string& line : ListLines(bytes))
        {
            std::wstring name;
            if (!CleanName(FromDllText(line), &name))
            {
                *failure = EZipFailure::kOutsideBase;
                *subject = FromDllText(line);
                return false;
            }
            if (!name.empty() && !collector.AddListed(source.baseFolder, name, failure, subject))
                return false;
        }
    }
    return true;
}
