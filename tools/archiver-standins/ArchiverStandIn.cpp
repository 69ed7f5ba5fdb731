// Stand-in for one Common Archiver API DLL (test tool, not part of the product).
//
// Built once per DLL kind (STANDIN_SEVENZIP, STANDIN_ZIP32J, STANDIN_CAB32,
// STANDIN_UNLHA32, STANDIN_TESSIKZIP, STANDIN_TESSIK7Z, STANDIN_ZIP32, STANDIN_SFX_MODULE); STANDIN_OMIT_<entry>
// leaves one entry point out. The behaviour is scripted by "<dll file>.script"
// beside the DLL and every call is appended to "<dll file>.journal" there.
// The file formats are described in README.md.

#include "common/ArchiverApi.h"
#include "common/ShiftJis.h"

#include <windows.h>

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

#pragma GCC diagnostic ignored "-Wunused-function"  // each kind uses only some of the helpers

HMODULE g_module = NULL;
// Set by <Prefix>SetUnicodeMode: command lines, list files and the paths in
// them are UTF-8 then, as in a real DLL's UTF-8 mode. It lives as long as the
// module is loaded.
bool g_utf8 = false;

// The DLL's text outside its UTF-8 mode is Shift_JIS, whatever the process's code page.
const UINT kShiftJis = 932;

std::wstring ToWide(const std::string& text, bool utf8)
{
    UINT codePage = utf8 ? CP_UTF8 : kShiftJis;
    int units = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
    std::wstring wide(units > 0 ? units : 0, L'\0');
    if (units > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], units);
    return wide;
}

std::string FromWide(const std::wstring& text, bool utf8)
{
    UINT codePage = utf8 ? CP_UTF8 : kShiftJis;
    int bytes = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), NULL, 0, NULL, NULL);
    std::string narrow(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &narrow[0], bytes, NULL, NULL);
    return narrow;
}

std::wstring Utf8ToWide(const std::string& text)
{
    return ToWide(text, true);
}

// A path of a command line or list file, opened in the current text form.
FILE* OpenPath(const std::string& path, const char* mode)
{
    if (!g_utf8)
        return fopen(path.c_str(), mode);
    std::wstring wideMode(mode, mode + strlen(mode));
    return _wfopen(Utf8ToWide(path).c_str(), wideMode.c_str());
}

std::string ModulePath()
{
    char path[MAX_PATH * 2] = "";
    GetModuleFileNameA(g_module, path, sizeof(path));
    return path;
}

// A Shift_JIS lead byte; no UTF-8 byte is one in the sense that matters
// here, since every byte of a UTF-8 character is above the ASCII range.
bool IsLeadByte(unsigned char c)
{
    return !g_utf8 && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    FILE* file = OpenPath(path, "rb");
    if (file == NULL)
        return false;
    bytes->clear();
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes->append(chunk, got);
    fclose(file);
    return true;
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '\\' || i + 1 >= text.size())
        {
            out += text[i];
            continue;
        }
        char next = text[++i];
        if (next == 'n')
            out += '\n';
        else if (next == 'r')
            out += '\r';
        else if (next == 't')
            out += '\t';
        else if (next == 'x' && i + 2 < text.size())
        {
            out += static_cast<char>(strtol(text.substr(i + 1, 2).c_str(), NULL, 16));
            i += 2;
        }
        else
            out += next;
    }
    return out;
}

// While an archive is open, records are held and written when the last one
// closes: a listing of tens of thousands of entries would otherwise open the
// journal twice per entry.
int g_openListings = 0;
std::string g_heldJournal;

void WriteJournal(const std::string& bytes)
{
    FILE* file = fopen((ModulePath() + ".journal").c_str(), "ab");
    if (file == NULL)
        return;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

void AppendJournal(const std::string& record)
{
    if (g_openListings > 0)
        g_heldJournal += record;
    else
        WriteJournal(record);
}

void FlushHeldJournal()
{
    if (!g_heldJournal.empty())
        WriteJournal(g_heldJournal);
    g_heldJournal.clear();
}

// key=value lines; a value runs to the end of its line.
class CScript
{
public:
    void Load(const std::string& path)
    {
        std::string bytes;
        if (!ReadWholeFile(path, &bytes))
            return;
        size_t start = 0;
        while (start < bytes.size())
        {
            size_t end = bytes.find('\n', start);
            if (end == std::string::npos)
                end = bytes.size();
            std::string line = bytes.substr(start, end - start);
            if (!line.empty() && line[line.size() - 1] == '\r')
                line.erase(line.size() - 1);
            size_t equals = line.find('=');
            if (equals != std::string::npos && !line.empty() && line[0] != '#')
                m_entries.push_back(Entry{line.substr(0, equals), Unescape(line.substr(equals + 1))});
            start = end + 1;
        }
    }

    // The value for "key.N" when present, else for "key", else fallback.
    std::string Get(const std::string& key, int call, const std::string& fallback) const
    {
        char numbered[64];
        snprintf(numbered, sizeof(numbered), "%s.%d", key.c_str(), call);
        for (const Entry& entry : m_entries)
            if (entry.key == numbered)
                return entry.value;
        for (const Entry& entry : m_entries)
            if (entry.key == key)
                return entry.value;
        return fallback;
    }

    int GetInt(const std::string& key, int call, int fallback) const
    {
        std::string value = Get(key, call, "");
        return value.empty() ? fallback : atoi(value.c_str());
    }

private:
    struct Entry
    {
        std::string key;
        std::string value;
    };
    std::vector<Entry> m_entries;
};

class CStandIn
{
public:
    CStandIn()
    {
        std::string module = ModulePath();
        m_counterPath = module + ".calls";
        m_script.Load(module + ".script");
    }

    const CScript& Script() const { return m_script; }

    // Counts the command calls across loads of the DLL (the program loads and
    // releases it around every call).
    int NextCommandNumber()
    {
        std::string bytes;
        int count = ReadWholeFile(m_counterPath, &bytes) ? atoi(bytes.c_str()) : 0;
        ++count;
        FILE* file = fopen(m_counterPath.c_str(), "wb");
        if (file != NULL)
        {
            fprintf(file, "%d", count);
            fclose(file);
        }
        return count;
    }

    void Append(const std::string& record) { AppendJournal(record); }

private:
    std::string m_counterPath;
    CScript m_script;
};

std::string RecordHeader(const char* entry, bool hasWindow, long result)
{
    char header[160];
    snprintf(header, sizeof(header), "CALL %s hwnd=%d result=%ld\n", entry, hasWindow ? 1 : 0, result);
    return header;
}

std::string RecordText(const std::string& tag, const std::string& text)
{
    return tag + " " + std::to_string(text.size()) + "\n" + text + "\n";
}

// Paths named after an "@" that starts a token (after a blank, a double quote or
// the start of the line); a quoted one runs to the closing quote.
std::vector<std::string> FindListFiles(const std::string& line)
{
    std::vector<std::string> lists;
    for (size_t i = 0; i < line.size(); ++i)
    {
        if (IsLeadByte(static_cast<unsigned char>(line[i])))
        {
            ++i;
            continue;
        }
        if (line[i] != '@')
            continue;
        bool quoted = i > 0 && line[i - 1] == '"';
        if (i > 0 && !quoted && line[i - 1] != ' ')
            continue;
        size_t end = i + 1;
        while (end < line.size())
        {
            if (IsLeadByte(static_cast<unsigned char>(line[end])))
            {
                end += 2;
                continue;
            }
            if (quoted ? line[end] == '"' : line[end] == ' ')
                break;
            ++end;
        }
        if (end > line.size())
            end = line.size();
        lists.push_back(line.substr(i + 1, end - i - 1));
        i = end;
    }
    return lists;
}

// The quoted tokens of a command line, with the text that stands before each.
struct CQuoted
{
    std::string text;
    std::string before;
};

std::vector<CQuoted> QuotedTokens(const std::string& line)
{
    std::vector<CQuoted> tokens;
    size_t i = 0;
    while (i < line.size())
    {
        if (IsLeadByte(static_cast<unsigned char>(line[i])))
        {
            i += 2;
            continue;
        }
        if (line[i] != '"')
        {
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < line.size() && line[end] != '"')
            end += IsLeadByte(static_cast<unsigned char>(line[end])) ? 2 : 1;
        tokens.push_back(CQuoted{line.substr(i + 1, end - i - 1), line.substr(0, i)});
        i = end + 1;
    }
    return tokens;
}

// A base folder ends in a backslash of its own; "ソ" ends in the trail byte 0x5C.
bool EndsWithOwnBackslash(const std::string& text)
{
    if (g_utf8)
        return !text.empty() && text.back() == '\\';
    const char* last = nullptr;
    for (const char* p = text.c_str(); *p != '\0'; p = NextShiftJisChar(p))
        last = p;
    return last != nullptr && *last == '\\' && last[1] == '\0';
}

// The archive a command line names: the first quoted token that is no switch,
// no list file, no base folder and not the password after "-P ".
std::string ArchiveOf(const std::string& line)
{
    for (const CQuoted& token : QuotedTokens(line))
    {
        if (token.text.empty() || token.text[0] == '-' || token.text[0] == '@')
            continue;
        if (EndsWithOwnBackslash(token.text))
            continue;
        const std::string& before = token.before;
        if (before.size() >= 3 && before.compare(before.size() - 3, 3, "-P ") == 0)
            continue;
        return token.text;
    }
    return "";
}

std::string WithExeExtension(const std::string& path)
{
    size_t dot = path.rfind('.');
    size_t slash = path.rfind('\\');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + ".exe";
    return path.substr(0, dot) + ".exe";
}

// ---- The record store: what each archive the stand-in made holds ----------
//
// "<dll file>.archives" beside the DLL, one block per archive (README.md).
// The archives themselves hold no listing (most are a single line of text),
// and the record cannot sit beside them: tests count the files of their
// output folders.

std::wstring FullPath(const std::wstring& path)
{
    wchar_t buffer[4096];
    DWORD length = GetFullPathNameW(path.c_str(), 4096, buffer, NULL);
    return length > 0 && length < 4096 ? std::wstring(buffer, length) : path;
}

// What a rename keeps and a rewrite changes: the self-extracting runs rename
// the program the DLL made to the output name, and the record must follow it.
struct CFileIdentity
{
    DWORD volume = 0;
    ULONGLONG index = 0;
    ULONGLONG size = 0;
    ULONGLONG written = 0;

    bool operator==(const CFileIdentity& other) const
    {
        return volume == other.volume && index == other.index && size == other.size && written == other.written;
    }
};

bool IdentityOf(const std::wstring& path, CFileIdentity* identity)
{
    HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool known = GetFileInformationByHandle(file, &info) != FALSE;
    CloseHandle(file);
    if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    identity->volume = info.dwVolumeSerialNumber;
    identity->index = (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity->size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    identity->written =
        (static_cast<ULONGLONG>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
    return true;
}

// Names and paths compare as the file system does: case-insensitively, and
// for stored names either separator.
std::wstring CompareKey(std::wstring text)
{
    for (wchar_t& c : text)
        if (c == L'/')
            c = L'\\';
    if (!text.empty())
        LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.c_str(), static_cast<int>(text.size()), &text[0],
                     static_cast<int>(text.size()));
    return text;
}

// A stored name keeps the bytes its list file gave, with the text form they
// were in; a listing converts them to the form the DLL is in then.
struct CRecordEntry
{
    std::string name;
    bool utf8 = false;
    ULONGLONG size = 0;
};

struct CArchiveRecord
{
    std::wstring path;
    CFileIdentity file;
    bool damaged = false;
    std::vector<CRecordEntry> entries;
};

std::string StorePath()
{
    return ModulePath() + ".archives";
}

bool ReadCountedBytes(const std::string& store, size_t* pos, const std::string& header, std::string* bytes)
{
    size_t space = header.rfind(' ');
    size_t length = space == std::string::npos ? 0 : strtoul(header.c_str() + space + 1, NULL, 10);
    if (space == std::string::npos || *pos + length + 1 > store.size())
        return false;
    *bytes = store.substr(*pos, length);
    *pos += length + 1;
    return true;
}

std::vector<CArchiveRecord> ReadStore(const std::string& storePath)
{
    std::vector<CArchiveRecord> records;
    std::string store;
    if (!ReadWholeFile(storePath, &store))
        return records;
    size_t pos = 0;
    while (pos < store.size())
    {
        size_t end = store.find('\n', pos);
        if (end == std::string::npos)
            break;
        std::string header = store.substr(pos, end - pos);
        pos = end + 1;
        std::string bytes;
        if (header.compare(0, 8, "ARCHIVE ") == 0)
        {
            if (!ReadCountedBytes(store, &pos, header, &bytes))
                break;
            records.push_back(CArchiveRecord());
            records.back().path = ToWide(bytes, true);
        }
        else if (records.empty())
        {
            break;
        }
        else if (header.compare(0, 5, "FILE ") == 0)
        {
            CFileIdentity& file = records.back().file;
            unsigned long volume = 0;
            sscanf(header.c_str(), "FILE %lx %llx %llu %llx", &volume, &file.index, &file.size, &file.written);
            file.volume = volume;
        }
        else if (header == "DAMAGED")
        {
            records.back().damaged = true;
        }
        else if (header.compare(0, 6, "ENTRY ") == 0)
        {
            CRecordEntry entry;
            char form[8] = "";
            sscanf(header.c_str(), "ENTRY %llu %7s", &entry.size, form);
            entry.utf8 = strcmp(form, "UTF-8") == 0;
            if (!ReadCountedBytes(store, &pos, header, &entry.name))
                break;
            records.back().entries.push_back(entry);
        }
    }
    return records;
}

void WriteStore(const std::string& storePath, const std::vector<CArchiveRecord>& records)
{
    std::string store;
    char line[160];
    for (const CArchiveRecord& record : records)
    {
        store += RecordText("ARCHIVE", FromWide(record.path, true));
        snprintf(line, sizeof(line), "FILE %lx %llx %llu %llx\n", static_cast<unsigned long>(record.file.volume),
                 record.file.index, record.file.size, record.file.written);
        store += line;
        if (record.damaged)
            store += "DAMAGED\n";
        for (const CRecordEntry& entry : record.entries)
        {
            snprintf(line, sizeof(line), "ENTRY %llu %s", entry.size, entry.utf8 ? "UTF-8" : "Shift_JIS");
            store += RecordText(line, entry.name);
        }
        store += "END\n";
    }
    FILE* file = fopen(storePath.c_str(), "wb");
    if (file == NULL)
        return;
    fwrite(store.data(), 1, store.size(), file);
    fclose(file);
}

// Held while a stand-in reads its store, and while a command reads, changes
// and writes it: programs started together (a quick start per selection)
// share the stand-ins of one folder.
class CStoreLock
{
public:
    explicit CStoreLock(const std::string& storePath)
    {
        // A mutex name holds no backslash: the path's hash names it.
        unsigned long hash = 5381;
        for (unsigned char c : storePath)
            hash = hash * 33 + static_cast<unsigned char>(tolower(c));
        m_mutex = CreateMutexA(NULL, FALSE, ("Local\\tessik-standin-store-" + std::to_string(hash)).c_str());
        if (m_mutex != NULL)
            WaitForSingleObject(m_mutex, INFINITE);
    }
    ~CStoreLock()
    {
        if (m_mutex != NULL)
        {
            ReleaseMutex(m_mutex);
            CloseHandle(m_mutex);
        }
    }

private:
    CStoreLock(const CStoreLock&) = delete;
    CStoreLock& operator=(const CStoreLock&) = delete;

    HANDLE m_mutex;
};

// The record of the file at path: the one made under that name while the
// file is still the one it was made for, else the one made for this very file
// under the name it had then. A file the stand-in did not make has none.
const CArchiveRecord* FindRecord(const std::vector<CArchiveRecord>& records, const std::wstring& path)
{
    CFileIdentity file;
    if (!IdentityOf(path, &file))
        return nullptr;
    std::wstring key = CompareKey(path);
    for (const CArchiveRecord& record : records)
        if (record.file == file && CompareKey(record.path) == key)
            return &record;
    for (const CArchiveRecord& record : records)
        if (record.file == file)
            return &record;
    return nullptr;
}

// ---- What a command's list files name ------------------------------------

std::vector<std::string> ListLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size())
    {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

ULONGLONG SizeOfFile(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(ToWide(path, g_utf8).c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

CRecordEntry NamedEntry(const std::string& base, const std::string& name)
{
    CRecordEntry entry;
    entry.name = name;
    entry.utf8 = g_utf8;
    entry.size = SizeOfFile(base + name);
    return entry;
}

typedef std::map<std::string, std::string> CListBytes;

#if defined(STANDIN_ZIP32J) || defined(STANDIN_UNLHA32)
// One list whose lines name the base folder first: "base\" "rel" (and
// Unlha32's " -x1" after it).
std::vector<CRecordEntry> NamedEntries(const std::string& line, const CListBytes& lists)
{
    std::vector<CRecordEntry> entries;
    for (const std::string& list : FindListFiles(line))
    {
        CListBytes::const_iterator bytes = lists.find(list);
        if (bytes == lists.end())
            continue;
        for (const std::string& listLine : ListLines(bytes->second))
        {
            std::vector<CQuoted> tokens = QuotedTokens(listLine);
            if (tokens.size() >= 2 && EndsWithOwnBackslash(tokens[0].text))
                entries.push_back(NamedEntry(tokens[0].text, tokens[1].text));
            else if (!tokens.empty())
                entries.push_back(NamedEntry("", tokens[0].text));
        }
    }
    return entries;
}
#else
// One list per base folder, whose lines are "rel": the base folder is the
// quoted folder that stands before the list on the command line.
std::vector<CRecordEntry> NamedEntries(const std::string& line, const CListBytes& lists)
{
    std::vector<CRecordEntry> entries;
    std::string base;
    for (const CQuoted& token : QuotedTokens(line))
    {
        if (EndsWithOwnBackslash(token.text))
            base = token.text;
        if (token.text.empty() || token.text[0] != '@')
            continue;
        CListBytes::const_iterator bytes = lists.find(token.text.substr(1));
        if (bytes == lists.end())
            continue;
        for (const std::string& listLine : ListLines(bytes->second))
        {
            std::vector<CQuoted> tokens = QuotedTokens(listLine);
            entries.push_back(NamedEntry(base, tokens.empty() ? listLine : tokens[0].text));
        }
    }
    return entries;
}
#endif

// ---- Lies: a record that does not match what the command was given -------

struct CLies
{
    bool missing = false;
    bool size = false;
    bool extra = false;
    bool damaged = false;
};

// Items separated by "|", as for "create".
CLies ParseLies(const std::string& items)
{
    CLies lies;
    size_t start = 0;
    while (start < items.size())
    {
        size_t end = items.find('|', start);
        if (end == std::string::npos)
            end = items.size();
        std::string item = items.substr(start, end - start);
        lies.missing |= item == "missing";
        lies.size |= item == "size";
        lies.extra |= item == "extra";
        lies.damaged |= item == "damaged";
        start = end + 1;
    }
    return lies;
}

void ApplyLies(const CLies& lies, std::vector<CRecordEntry>* given, bool* damaged)
{
    if (lies.missing && !given->empty())
        given->erase(given->begin());
    if (lies.size && !given->empty())
        ++(*given)[0].size;
    if (lies.extra)
    {
        CRecordEntry extra;
        extra.name = "extra.txt";
        extra.utf8 = g_utf8;
        extra.size = 1;
        given->push_back(extra);
    }
    if (lies.damaged)
        *damaged = true;
}

// Kept entries stay in their order; a given name replaces the entry of the
// same name, as an archiver's add does.
void MergeEntries(const std::vector<CRecordEntry>& given, std::vector<CRecordEntry>* entries)
{
    std::unordered_map<std::wstring, size_t> positions;
    for (size_t i = 0; i < entries->size(); ++i)
        positions[CompareKey(ToWide((*entries)[i].name, (*entries)[i].utf8))] = i;
    for (const CRecordEntry& entry : given)
    {
        std::wstring key = CompareKey(ToWide(entry.name, entry.utf8));
        std::unordered_map<std::wstring, size_t>::const_iterator found = positions.find(key);
        if (found != positions.end())
        {
            (*entries)[found->second] = entry;
            continue;
        }
        positions[key] = entries->size();
        entries->push_back(entry);
    }
}

// The name in the text form the DLL is in now.
std::string InModeText(const CRecordEntry& entry)
{
    return entry.utf8 == g_utf8 ? entry.name : FromWide(ToWide(entry.name, entry.utf8), g_utf8);
}

// ---- The bytes of a made archive ------------------------------------------

void Put16(std::string* bytes, unsigned value)
{
    *bytes += static_cast<char>(value & 0xFF);
    *bytes += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string* bytes, unsigned long value)
{
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, (value >> 16) & 0xFFFF);
}

void Put64(std::string* bytes, ULONGLONG value)
{
    Put32(bytes, static_cast<unsigned long>(value & 0xFFFFFFFFUL));
    Put32(bytes, static_cast<unsigned long>(value >> 32));
}

bool IsAscii(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

#if defined(STANDIN_ZIP32J)
// The program reads a ZIP's central directory itself, so Zip32j's stand-in
// makes one: its text line, then a local header per entry and the directory.
// No data follows the headers and each entry claims none compressed (readers
// that check for overlapping entries accept that), only its original size.
// Offsets count from the start of the file, the text line included.
std::string ArchiveBytes(const char* entryName, const std::vector<CRecordEntry>& entries)
{
    const ULONGLONG kZip32Limit = 0xFFFFFFFFULL;
    const unsigned kUtf8Flag = 0x0800;
    const unsigned kDosDate = 0x21;  // 1980-01-01
    std::string bytes = std::string("STANDIN ") + entryName + "\r\n";
    std::string directory;
    for (const CRecordEntry& entry : entries)
    {
        std::wstring wide = ToWide(entry.name, entry.utf8);
        for (wchar_t& c : wide)
            if (c == L'\\')
                c = L'/';
        std::string name = FromWide(wide, g_utf8);
        unsigned flags = g_utf8 && !IsAscii(name) ? kUtf8Flag : 0;
        bool zip64 = entry.size >= kZip32Limit;
        unsigned version = zip64 ? 45 : 10;
        ULONGLONG localAt = bytes.size();

        std::string common;
        Put16(&common, version);
        Put16(&common, flags);
        Put16(&common, 0);  // stored
        Put16(&common, 0);
        Put16(&common, kDosDate);
        Put32(&common, 0);  // the CRC of no data
        Put32(&common, 0);
        Put32(&common, zip64 ? 0xFFFFFFFFUL : static_cast<unsigned long>(entry.size));
        Put16(&common, static_cast<unsigned>(name.size()));
        std::string localExtra, directoryExtra;
        if (zip64)
        {
            // The local header's ZIP64 field holds both sizes, the directory's
            // only the one escaped.
            Put16(&localExtra, 1);
            Put16(&localExtra, 16);
            Put64(&localExtra, entry.size);
            Put64(&localExtra, 0);
            Put16(&directoryExtra, 1);
            Put16(&directoryExtra, 8);
            Put64(&directoryExtra, entry.size);
        }

        Put32(&bytes, 0x04034B50UL);
        bytes += common;
        Put16(&bytes, static_cast<unsigned>(localExtra.size()));
        bytes += name + localExtra;

        Put32(&directory, 0x02014B50UL);
        Put16(&directory, version);
        directory += common;
        Put16(&directory, static_cast<unsigned>(directoryExtra.size()));
        Put16(&directory, 0);                      // comment
        Put16(&directory, 0);                      // disk
        Put16(&directory, 0);                      // internal attributes
        Put32(&directory, FILE_ATTRIBUTE_ARCHIVE);  // external attributes
        Put32(&directory, static_cast<unsigned long>(localAt));
        directory += name + directoryExtra;
    }
    ULONGLONG directoryAt = bytes.size();
    bytes += directory;
    ULONGLONG count = entries.size();
    if (count >= 0xFFFF)
    {
        ULONGLONG recordAt = bytes.size();
        Put32(&bytes, 0x06064B50UL);
        Put64(&bytes, 44);
        Put16(&bytes, 45);
        Put16(&bytes, 45);
        Put32(&bytes, 0);
        Put32(&bytes, 0);
        Put64(&bytes, count);
        Put64(&bytes, count);
        Put64(&bytes, directory.size());
        Put64(&bytes, directoryAt);
        Put32(&bytes, 0x07064B50UL);
        Put32(&bytes, 0);
        Put64(&bytes, recordAt);
        Put32(&bytes, 1);
    }
    unsigned shortCount = count >= 0xFFFF ? 0xFFFF : static_cast<unsigned>(count);
    Put32(&bytes, 0x06054B50UL);
    Put16(&bytes, 0);
    Put16(&bytes, 0);
    Put16(&bytes, shortCount);
    Put16(&bytes, shortCount);
    Put32(&bytes, static_cast<unsigned long>(directory.size()));
    Put32(&bytes, static_cast<unsigned long>(directoryAt));
    Put16(&bytes, 0);
    return bytes;
}
#else
// The tests compare these bytes: the listing lives in the record store only.
std::string ArchiveBytes(const char* entryName, const std::vector<CRecordEntry>&)
{
    return std::string("STANDIN ") + entryName + "\r\n";
}
#endif

// "archive", "sfx" (the archive with ".exe") or a literal path, separated by
// "|". Each file made gets its record: what the list files named, added to
// what the file held when it was there already; a call without list files
// (a conversion to a program) carries over the record of the archive it names.
void CreateScriptedFiles(const std::string& items, const std::string& line, const char* entry,
                         const CListBytes& lists, const CLies& lies)
{
    std::string storePath = StorePath();
    CStoreLock lock(storePath);
    std::vector<CArchiveRecord> store;
    bool storeRead = false;
    bool hasLists = !FindListFiles(line).empty();
    std::vector<CRecordEntry> named;
    bool namedRead = false;
    size_t start = 0;
    while (start <= items.size() && !items.empty())
    {
        size_t end = items.find('|', start);
        if (end == std::string::npos)
            end = items.size();
        std::string item = items.substr(start, end - start);
        std::string path;
        if (item == "archive")
            path = ArchiveOf(line);
        else if (item == "sfx")
            path = ArchiveOf(line).empty() ? "" : WithExeExtension(ArchiveOf(line));
        else
            path = item;
        start = end + 1;
        if (path.empty())
            continue;
        if (!storeRead)
        {
            store = ReadStore(storePath);
            storeRead = true;
        }
        if (hasLists && !namedRead)
        {
            named = NamedEntries(line, lists);
            namedRead = true;
        }

        CArchiveRecord made;
        made.path = FullPath(ToWide(path, g_utf8));
        std::vector<CRecordEntry> given = named;
        const CArchiveRecord* source = nullptr;
        if (!hasLists && !ArchiveOf(line).empty())
        {
            source = FindRecord(store, FullPath(ToWide(ArchiveOf(line), g_utf8)));
            if (source != nullptr && CompareKey(source->path) == CompareKey(made.path))
                source = nullptr;
        }
        if (source != nullptr)
        {
            given = source->entries;
            made.damaged = source->damaged;
        }
        else if (const CArchiveRecord* existing = FindRecord(store, made.path))
        {
            made.entries = existing->entries;
        }
        ApplyLies(lies, &given, &made.damaged);
        MergeEntries(given, &made.entries);

        FILE* file = OpenPath(path, "wb");
        if (file == NULL)
            continue;
        std::string bytes = ArchiveBytes(entry, made.entries);
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
        if (!IdentityOf(made.path, &made.file))
            continue;
        // A name or a file identity seen again is that of a file since
        // replaced or deleted.
        std::wstring key = CompareKey(made.path);
        for (size_t i = store.size(); i-- > 0;)
            if (store[i].file == made.file || CompareKey(store[i].path) == key)
                store.erase(store.begin() + i);
        store.push_back(made);
    }
    if (storeRead)
        WriteStore(storePath, store);
}

int RunCommand(const char* entry, HWND window, LPCSTR commandLine, LPSTR output, DWORD outputSize)
{
    CStandIn standIn;
    int call = standIn.NextCommandNumber();
    std::string line = commandLine ? commandLine : "";
    int result = standIn.Script().GetInt("result", call, 0);

    std::string record = RecordHeader(entry, window != NULL, result);
    record += RecordText("LINE", line);
    // The program deletes its list files after the call: keep their bytes now.
    CListBytes lists;
    for (const std::string& list : FindListFiles(line))
    {
        std::string bytes;
        if (ReadWholeFile(list, &bytes))
        {
            record += RecordText("LIST " + list, bytes);
            lists[list] = bytes;
        }
        else
            record += "MISSING " + list + "\n";
    }
    record += "END\n";

    CreateScriptedFiles(standIn.Script().Get("create", call, ""), line, entry, lists,
                        ParseLies(standIn.Script().Get("lie", call, "")));

    std::string text = standIn.Script().Get("output", call, "");
    if (output != NULL && outputSize > 0)
    {
        size_t length = text.size() < outputSize - 1 ? text.size() : outputSize - 1;
        memcpy(output, text.data(), length);
        output[length] = '\0';
    }
    standIn.Append(record);
    return result;
}

WORD RunGetVersion(const char* entry)
{
    CStandIn standIn;
    int version = standIn.Script().GetInt("version", 0, 100);
    standIn.Append(RecordHeader(entry, false, version) + "END\n");
    return static_cast<WORD>(version);
}

int RunQuery(const char* entry, const char* key, int fallback)
{
    CStandIn standIn;
    int answer = standIn.Script().GetInt(key, 0, fallback);
    standIn.Append(RecordHeader(entry, false, answer) + "END\n");
    return answer;
}

BOOL RunSetUnicodeMode(const char* entry, BOOL on)
{
    CStandIn standIn;
    int taken = standIn.Script().GetInt("unicode", 0, 1);
    standIn.Append(RecordHeader(entry, false, taken) + RecordText("LINE", on ? "1" : "0") + "END\n");
    if (taken)
        g_utf8 = on != FALSE;
    return taken ? TRUE : FALSE;
}

// ---- Listing entries -----------------------------------------------------

// An open archive holds its entries, in the text form of the time it was
// opened, so that finding the next one reads no file.
struct CListedEntry
{
    std::string name;
    ULONGLONG size;
};

struct CListing
{
    std::vector<CListedEntry> entries;
    size_t next = 0;
    const CListedEntry* last = nullptr;
};

// Handles given out and not yet closed: anything else a caller passes is no
// handle of ours.
std::set<CListing*> g_listings;

CListing* ListingOf(HANDLE archive)
{
    CListing* listing = static_cast<CListing*>(archive);
    return g_listings.count(listing) != 0 ? listing : nullptr;
}

HANDLE RunOpenArchive(const char* entry, HWND window, LPCSTR fileName)
{
    std::string name = fileName ? fileName : "";
    std::vector<CArchiveRecord> store;
    {
        CStoreLock lock(StorePath());
        store = ReadStore(StorePath());
    }
    const CArchiveRecord* record = name.empty() ? nullptr : FindRecord(store, FullPath(ToWide(name, g_utf8)));
    CListing* listing = nullptr;
    if (record != nullptr)
    {
        listing = new CListing;
        listing->entries.reserve(record->entries.size());
        for (const CRecordEntry& stored : record->entries)
            listing->entries.push_back(CListedEntry{InModeText(stored), stored.size});
        g_listings.insert(listing);
        ++g_openListings;
    }
    AppendJournal(RecordHeader(entry, window != NULL, listing != nullptr ? 1 : 0) + RecordText("LINE", name) +
                  "END\n");
    return listing;
}

int FillNext(CListing* listing, INDIVIDUALINFO* info)
{
    if (listing->next >= listing->entries.size())
    {
        listing->last = nullptr;
        return -1;
    }
    const CListedEntry& entry = listing->entries[listing->next++];
    listing->last = &entry;
    if (info != NULL)
    {
        memset(info, 0, sizeof(*info));
        info->dwOriginalSize = static_cast<DWORD>(entry.size);
        info->dwCompressedSize = static_cast<DWORD>(entry.size);
        size_t length = entry.name.size() < FNAME_MAX32 ? entry.name.size() : FNAME_MAX32;
        memcpy(info->szFileName, entry.name.data(), length);
        strcpy(info->szAttribute, "---A");
        strcpy(info->szMode, "-st-");
    }
    return 0;
}

// Every entry matches the wild name: the program asks for "*" only.
int RunFind(const char* entry, HANDLE archive, bool first, INDIVIDUALINFO* info)
{
    CListing* listing = ListingOf(archive);
    int result = kArchiverResultFailed;
    if (listing != nullptr)
    {
        if (first)
            listing->next = 0;
        result = FillNext(listing, info);
    }
    std::string found = result == 0 ? listing->last->name : "";
    AppendJournal(RecordHeader(entry, false, result) + RecordText("LINE", found) + "END\n");
    return result;
}

BOOL RunGetOriginalSizeEx(const char* entry, HANDLE archive, __int64* size)
{
    CListing* listing = ListingOf(archive);
    bool known = listing != nullptr && listing->last != nullptr && size != NULL;
    if (known)
        *size = static_cast<__int64>(listing->last->size);
    AppendJournal(RecordHeader(entry, false, known ? 1 : 0) +
                  RecordText("LINE", known ? std::to_string(listing->last->size) : "") + "END\n");
    return known ? TRUE : FALSE;
}

int RunCloseArchive(const char* entry, HANDLE archive)
{
    CStandIn standIn;
    int answer = standIn.Script().GetInt("close", 0, 0);
    AppendJournal(RecordHeader(entry, false, answer) + "END\n");
    CListing* listing = ListingOf(archive);
    if (listing != nullptr)
    {
        g_listings.erase(listing);
        delete listing;
        if (--g_openListings == 0)
            FlushHeldJournal();
    }
    return answer;
}

// The stores of every stand-in in this folder: 7-Zip32.dll checks the ZIPs
// Zip32j.dll made.
std::vector<std::string> StoresToCheck(bool everyStandIn)
{
    std::vector<std::string> stores;
    if (!everyStandIn)
    {
        stores.push_back(StorePath());
        return stores;
    }
    std::string module = ModulePath();
    size_t slash = module.rfind('\\');
    std::string folder = slash == std::string::npos ? "" : module.substr(0, slash + 1);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*.archives").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return stores;
    do
        stores.push_back(folder + found.cFileName);
    while (FindNextFileA(find, &found));
    FindClose(find);
    return stores;
}

BOOL RunCheckArchive(const char* entry, LPCSTR fileName, bool everyStandIn)
{
    CStandIn standIn;
    int answer = standIn.Script().GetInt("check", 0, 1);
    std::string name = fileName ? fileName : "";
    std::wstring path = FullPath(ToWide(name, g_utf8));
    for (const std::string& storePath : StoresToCheck(everyStandIn))
    {
        std::vector<CArchiveRecord> store;
        {
            CStoreLock lock(storePath);
            store = ReadStore(storePath);
        }
        const CArchiveRecord* record = name.empty() ? nullptr : FindRecord(store, path);
        if (record != nullptr && record->damaged)
            answer = FALSE;
    }
    AppendJournal(RecordHeader(entry, false, answer) + RecordText("LINE", name) + "END\n");
    return answer ? TRUE : FALSE;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
    // An archive left open still leaves its calls in the journal.
    if (reason == DLL_PROCESS_DETACH)
        FlushHeldJournal();
    return TRUE;
}

// Entry points of each kind, named after the DLL's prefix, each declared with
// its type first.
#define STANDIN_COMMAND(name)                                                              \
    ARCHIVER_EXPORT ArchiverCommand name;                                                  \
    ARCHIVER_EXPORT int WINAPI name(HWND window, LPCSTR line, LPSTR output, DWORD size)    \
    {                                                                                      \
        return RunCommand(#name, window, line, output, size);                              \
    }
#define STANDIN_VERSION(name)                \
    ARCHIVER_EXPORT ArchiverGetVersion name; \
    ARCHIVER_EXPORT WORD WINAPI name() { return RunGetVersion(#name); }
#define STANDIN_OPEN(name)                                                    \
    ARCHIVER_EXPORT ArchiverOpenArchive name;                                 \
    ARCHIVER_EXPORT HANDLE WINAPI name(HWND window, LPCSTR file, DWORD mode) \
    {                                                                         \
        return RunOpenArchive(#name, window, file);                           \
    }
#define STANDIN_HANDLE_QUERY(name, key)       \
    ARCHIVER_EXPORT ArchiverHandleQuery name; \
    ARCHIVER_EXPORT int WINAPI name(HANDLE) { return RunQuery(#name, key, 0); }
#ifndef STANDIN_OMIT_UnicodeMode
#define STANDIN_UNICODE_MODE(name)               \
    ARCHIVER_EXPORT ArchiverSetUnicodeMode name; \
    ARCHIVER_EXPORT BOOL WINAPI name(BOOL on) { return RunSetUnicodeMode(#name, on); }
#else
#define STANDIN_UNICODE_MODE(name)
#endif
#define STANDIN_CHECK(name)                    \
    ARCHIVER_EXPORT ArchiverCheckArchive name; \
    ARCHIVER_EXPORT BOOL WINAPI name(LPCSTR file, int mode) { return RunCheckArchive(#name, file, false); }
// 7-Zip32.dll checks any archive, the ZIPs that Zip32j.dll made included.
#define STANDIN_CHECK_ANY(name)                \
    ARCHIVER_EXPORT ArchiverCheckArchive name; \
    ARCHIVER_EXPORT BOOL WINAPI name(LPCSTR file, int mode) { return RunCheckArchive(#name, file, true); }
#define STANDIN_CLOSE(name)                   \
    ARCHIVER_EXPORT ArchiverHandleQuery name; \
    ARCHIVER_EXPORT int WINAPI name(HANDLE archive) { return RunCloseArchive(#name, archive); }
#ifndef STANDIN_OMIT_Listing
#define STANDIN_LISTING(findFirst, findNext, originalSize)                          \
    ARCHIVER_EXPORT ArchiverFindFirst findFirst;                                    \
    ARCHIVER_EXPORT int WINAPI findFirst(HANDLE archive, LPCSTR, INDIVIDUALINFO* info) \
    {                                                                               \
        return RunFind(#findFirst, archive, true, info);                            \
    }                                                                               \
    ARCHIVER_EXPORT ArchiverFindNext findNext;                                      \
    ARCHIVER_EXPORT int WINAPI findNext(HANDLE archive, INDIVIDUALINFO* info)       \
    {                                                                               \
        return RunFind(#findNext, archive, false, info);                            \
    }                                                                               \
    ARCHIVER_EXPORT ArchiverGetOriginalSizeEx originalSize;                         \
    ARCHIVER_EXPORT BOOL WINAPI originalSize(HANDLE archive, __int64* size)         \
    {                                                                               \
        return RunGetOriginalSizeEx(#originalSize, archive, size);                  \
    }
#else
#define STANDIN_LISTING(findFirst, findNext, originalSize)
#endif

#if defined(STANDIN_SEVENZIP)
#ifndef STANDIN_OMIT_SevenZip
STANDIN_COMMAND(SevenZip)
#endif
STANDIN_UNICODE_MODE(SevenZipSetUnicodeMode)
#ifndef STANDIN_OMIT_SevenZipGetVersion
STANDIN_VERSION(SevenZipGetVersion)
#endif
// The variant without listing lacks all of them, as 7-Zip32.dll of earlier
// versions does.
#ifndef STANDIN_OMIT_Listing
STANDIN_OPEN(SevenZipOpenArchive)
STANDIN_LISTING(SevenZipFindFirst, SevenZipFindNext, SevenZipGetOriginalSizeEx)
STANDIN_CLOSE(SevenZipCloseArchive)
STANDIN_CHECK_ANY(SevenZipCheckArchive)
#endif
#endif

#if defined(STANDIN_ZIP32J)
#ifndef STANDIN_OMIT_Zip
STANDIN_COMMAND(Zip)
#endif
STANDIN_UNICODE_MODE(ZipSetUnicodeMode)
#ifndef STANDIN_OMIT_ZipGetVersion
STANDIN_VERSION(ZipGetVersion)
#endif
#ifndef STANDIN_OMIT_ZipQueryFunctionList
ARCHIVER_EXPORT ArchiverQueryFunctionList ZipQueryFunctionList;
ARCHIVER_EXPORT int WINAPI ZipQueryFunctionList(int function)
{
    return RunQuery("ZipQueryFunctionList", "functions", 1);
}
#endif
#ifndef STANDIN_OMIT_ZipQueryEncryption
ARCHIVER_EXPORT ArchiverQueryEncryption ZipQueryEncryption;
ARCHIVER_EXPORT int WINAPI ZipQueryEncryption()
{
    return RunQuery("ZipQueryEncryption", "encryption", 1);
}
#endif
#endif

#if defined(STANDIN_CAB32)
#ifndef STANDIN_OMIT_Cab
STANDIN_COMMAND(Cab)
#endif
STANDIN_UNICODE_MODE(CabSetUnicodeMode)
#ifndef STANDIN_OMIT_CabGetVersion
STANDIN_VERSION(CabGetVersion)
#endif
#ifndef STANDIN_OMIT_CabOpenArchive
STANDIN_OPEN(CabOpenArchive)
#endif
STANDIN_LISTING(CabFindFirst, CabFindNext, CabGetOriginalSizeEx)
#ifndef STANDIN_OMIT_CabCloseArchive
STANDIN_CLOSE(CabCloseArchive)
#endif
#ifndef STANDIN_OMIT_CabIsSFXFile
STANDIN_HANDLE_QUERY(CabIsSFXFile, "issfx")
#endif
#ifndef STANDIN_OMIT_CabCheckArchive
STANDIN_CHECK(CabCheckArchive)
#endif
#endif

#if defined(STANDIN_UNLHA32)
#ifndef STANDIN_OMIT_Unlha
STANDIN_COMMAND(Unlha)
#endif
STANDIN_UNICODE_MODE(UnlhaSetUnicodeMode)
#ifndef STANDIN_OMIT_UnlhaGetVersion
STANDIN_VERSION(UnlhaGetVersion)
#endif
#ifndef STANDIN_OMIT_UnlhaOpenArchive
STANDIN_OPEN(UnlhaOpenArchive)
#endif
STANDIN_LISTING(UnlhaFindFirst, UnlhaFindNext, UnlhaGetOriginalSizeEx)
#ifndef STANDIN_OMIT_UnlhaCloseArchive
STANDIN_CLOSE(UnlhaCloseArchive)
#endif
#ifndef STANDIN_OMIT_UnlhaIsSFXFile
STANDIN_HANDLE_QUERY(UnlhaIsSFXFile, "issfx")
#endif
#ifndef STANDIN_OMIT_UnlhaCheckArchive
STANDIN_CHECK(UnlhaCheckArchive)
#endif
#endif

#if defined(STANDIN_TESSIKZIP)
STANDIN_COMMAND(TessikZip)
STANDIN_UNICODE_MODE(TessikZipSetUnicodeMode)
STANDIN_VERSION(TessikZipGetVersion)
STANDIN_OPEN(TessikZipOpenArchive)
STANDIN_LISTING(TessikZipFindFirst, TessikZipFindNext, TessikZipGetOriginalSizeEx)
STANDIN_CLOSE(TessikZipCloseArchive)
STANDIN_CHECK(TessikZipCheckArchive)
#endif

#if defined(STANDIN_TESSIK7Z)
STANDIN_COMMAND(Tessik7z)
STANDIN_UNICODE_MODE(Tessik7zSetUnicodeMode)
STANDIN_VERSION(Tessik7zGetVersion)
STANDIN_OPEN(Tessik7zOpenArchive)
STANDIN_LISTING(Tessik7zFindFirst, Tessik7zFindNext, Tessik7zGetOriginalSizeEx)
STANDIN_CLOSE(Tessik7zCloseArchive)
STANDIN_CHECK(Tessik7zCheckArchive)
#endif

#if defined(STANDIN_ZIP32) || defined(STANDIN_SFX_MODULE)
// zip32.dll and the self-extracting modules only have to be loadable.
ARCHIVER_EXPORT int WINAPI StandInLoaded()
{
    return 1;
}
#endif
