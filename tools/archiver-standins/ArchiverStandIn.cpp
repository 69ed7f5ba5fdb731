// Stand-in for one Common Archiver API DLL (test tool, not part of the product).
//
// Built once per DLL kind (STANDIN_SEVENZIP, STANDIN_ZIP32J, STANDIN_CAB32,
// STANDIN_UNLHA32, STANDIN_ZIP32, STANDIN_SFX_MODULE); STANDIN_OMIT_<entry>
// leaves one entry point out. The behaviour is scripted by "<dll file>.script"
// beside the DLL and every call is appended to "<dll file>.journal" there.
// The file formats are described in README.md.

#include "common/ArchiverApi.h"
#include "common/ShiftJis.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

#pragma GCC diagnostic ignored "-Wunused-function"  // each kind uses only some of the helpers

HMODULE g_module = NULL;
// Set by <Prefix>SetUnicodeMode: command lines, list files and the paths in
// them are UTF-8 then, as in a real DLL's UTF-8 mode. It lives as long as the
// module is loaded.
bool g_utf8 = false;

std::wstring Utf8ToWide(const std::string& text)
{
    int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
    std::wstring wide(units > 0 ? units : 0, L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], units);
    return wide;
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
        m_journalPath = module + ".journal";
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

    void Append(const std::string& record)
    {
        FILE* file = fopen(m_journalPath.c_str(), "ab");
        if (file == NULL)
            return;
        fwrite(record.data(), 1, record.size(), file);
        fclose(file);
    }

private:
    std::string m_journalPath;
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

// "archive", "sfx" (the archive with ".exe") or a literal path, separated by "|".
void CreateScriptedFiles(const std::string& items, const std::string& line, const char* entry)
{
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
        if (!path.empty())
        {
            FILE* file = OpenPath(path, "wb");
            if (file != NULL)
            {
                fprintf(file, "STANDIN %s\r\n", entry);
                fclose(file);
            }
        }
        start = end + 1;
    }
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
    for (const std::string& list : FindListFiles(line))
    {
        std::string bytes;
        if (ReadWholeFile(list, &bytes))
            record += RecordText("LIST " + list, bytes);
        else
            record += "MISSING " + list + "\n";
    }
    record += "END\n";

    CreateScriptedFiles(standIn.Script().Get("create", call, ""), line, entry);

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

HANDLE RunOpenArchive(const char* entry, HWND window, LPCSTR fileName)
{
    CStandIn standIn;
    standIn.Append(RecordHeader(entry, window != NULL, 0) + RecordText("LINE", fileName ? fileName : "") +
                   "END\n");
    return NULL;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
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
    ARCHIVER_EXPORT BOOL WINAPI name(LPCSTR file, int mode) { return RunQuery(#name, "check", 1); }

#if defined(STANDIN_SEVENZIP)
#ifndef STANDIN_OMIT_SevenZip
STANDIN_COMMAND(SevenZip)
#endif
STANDIN_UNICODE_MODE(SevenZipSetUnicodeMode)
#ifndef STANDIN_OMIT_SevenZipGetVersion
STANDIN_VERSION(SevenZipGetVersion)
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
#ifndef STANDIN_OMIT_CabCloseArchive
STANDIN_HANDLE_QUERY(CabCloseArchive, "close")
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
#ifndef STANDIN_OMIT_UnlhaCloseArchive
STANDIN_HANDLE_QUERY(UnlhaCloseArchive, "close")
#endif
#ifndef STANDIN_OMIT_UnlhaIsSFXFile
STANDIN_HANDLE_QUERY(UnlhaIsSFXFile, "issfx")
#endif
#ifndef STANDIN_OMIT_UnlhaCheckArchive
STANDIN_CHECK(UnlhaCheckArchive)
#endif
#endif

#if defined(STANDIN_ZIP32) || defined(STANDIN_SFX_MODULE)
// zip32.dll and the self-extracting modules only have to be loadable.
ARCHIVER_EXPORT int WINAPI StandInLoaded()
{
    return 1;
}
#endif
