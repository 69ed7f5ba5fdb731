#include "settings/IniReader.h"

#include "common/FileBytes.h"
#include "common/ShiftJis.h"
#include "common/TextConvert.h"
#include "settings/IniSyntax.h"

#include <string.h>

namespace {

// The text up to its first NUL, where the profile functions' strings end.
std::wstring UpToNul(const wchar_t* begin, const wchar_t* end)
{
    const wchar_t* stop = begin;
    while (stop < end && *stop != L'\0')
        ++stop;
    return std::wstring(begin, stop);
}

// Bytes as UTF-16, NULs included: the profile functions convert the whole
// file and end their strings at a NUL only afterwards.
std::wstring Decode(const char* bytes, size_t size, UINT codePage)
{
    if (size == 0)
        return std::wstring();
    int length = MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(size), NULL, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(size), &wide[0], length);
    return wide;
}

// A name or default as GetPrivateProfileStringA passes it on: converted by
// the runtime library's own routine, which treats a lead byte without its
// trail at the end otherwise than the code-page conversion of the file does.
std::wstring Widen(const char* text)
{
    struct CCountedString
    {
        USHORT length;
        USHORT maximumLength;
        PWSTR buffer;
    };
    typedef BOOLEAN(WINAPI * CreateEntry)(CCountedString*, const char*);
    typedef void(WINAPI * FreeEntry)(CCountedString*);
    static HMODULE runtime = GetModuleHandleA("ntdll.dll");
    static CreateEntry create =
        runtime ? reinterpret_cast<CreateEntry>(GetProcAddress(runtime, "RtlCreateUnicodeStringFromAsciiz")) : NULL;
    static FreeEntry release =
        runtime ? reinterpret_cast<FreeEntry>(GetProcAddress(runtime, "RtlFreeUnicodeString")) : NULL;
    CCountedString counted = {};
    if (create == NULL || release == NULL || !create(&counted, text))
        return Decode(text, strlen(text), CP_ACP);
    std::wstring wide(counted.buffer, counted.length / sizeof(wchar_t));
    release(&counted);
    return wide;
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), NULL, 0, NULL, NULL);
    std::string bytes(length, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, NULL, NULL);
    return bytes;
}

std::wstring Trimmed(const std::wstring& text)
{
    const wchar_t* begin = text.data();
    const wchar_t* end = begin + text.size();
    TrimIniBlanks(&begin, &end);
    return std::wstring(begin, end);
}

// The text in the ANSI code page as the A function hands it over: at most
// size - 1 UTF-16 units are copied, and what does not fit into size - 1 bytes
// is cut before the first character that does not fit whole.
DWORD CopyOut(const std::wstring& value, char* buffer, DWORD size)
{
    std::string bytes = Narrow(value.substr(0, size - 1));
    size_t length = bytes.size();
    if (length > size - 1)
        length = WholeCharPrefixLength(bytes.c_str(), size - 1);
    // A full buffer is recounted by CIniFile: a lead byte left alone at its
    // end is dropped there.
    if (length + 1 >= size && EndsWithLoneLeadByte(bytes.c_str(), length))
        --length;
    memcpy(buffer, bytes.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

std::wstring StripQuotes(const std::wstring& value)
{
    if (value.size() >= 2 && (value[0] == L'\'' || value[0] == L'"') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

bool CIniReader::Load(const char* path)
{
    std::string bytes;
    bool read = ReadWholeFile(AnsiToWide(path), &bytes);
    SetBytes(read ? bytes : std::string());
    return read;
}

void CIniReader::SetBytes(const std::string& bytes)
{
    m_sections.clear();
    m_firstSection.clear();

    std::wstring text;
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t size = bytes.size();
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
    {
        text = Decode(bytes.data() + 3, size - 3, CP_UTF8);
    }
    else if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF)))
    {
        bool bigEndian = data[0] == 0xFE;
        for (size_t i = 2; i + 1 < size; i += 2)
            text += static_cast<wchar_t>(bigEndian ? (data[i] << 8 | data[i + 1]) : (data[i + 1] << 8 | data[i]));
    }
    else
    {
        text = Decode(bytes.data(), size, CP_ACP);
    }

    // The lines before the first header form a section without a name.
    m_sections.emplace_back();
    m_firstSection.emplace(std::wstring(), 0);
    // The last key made in the current section, for the rule on empty names.
    bool previousKey = false;
    bool previousNamed = false;

    const wchar_t* next = text.data();
    const wchar_t* textEnd = text.data() + text.size();
    while (next < textEnd)
    {
        const wchar_t* begin = next;
        while (next < textEnd && *next != L'\n' && *next != L'\r')
            ++next;
        while (next < textEnd && (*next == L'\n' || *next == L'\r'))
            ++next;
        CIniLine<wchar_t> line;
        if (!ParseIniLine<wchar_t>(begin, next, &line))
            continue;
        if (line.header)
        {
            m_sections.emplace_back();
            m_sections.back().name = UpToNul(line.nameBegin, line.nameEnd);
            m_firstSection.emplace(FoldIniName(m_sections.back().name), m_sections.size() - 1);
            previousKey = false;
            continue;
        }
        // A run of lines with empty names keeps only its first.
        if (line.nameEnd == line.nameBegin && previousKey && !previousNamed)
            continue;
        CKey key;
        key.name = UpToNul(line.nameBegin, line.nameEnd);
        key.hasValue = line.valueBegin != nullptr;
        if (key.hasValue)
            key.value = UpToNul(line.valueBegin, line.valueEnd);
        previousKey = true;
        previousNamed = !key.name.empty();
        m_sections.back().keys.push_back(std::move(key));
    }
}

CIniReader::CSection* CIniReader::FindSection(const char* name)
{
    auto found = m_firstSection.find(FoldIniName(Trimmed(Widen(name))));
    return found == m_firstSection.end() ? NULL : &m_sections[found->second];
}

const CIniReader::CKey* CIniReader::FindKey(CSection& section, const char* name)
{
    if (!section.index)
    {
        section.index.reset(new std::unordered_map<std::wstring, size_t>);
        section.index->reserve(section.keys.size());
        for (size_t i = 0; i < section.keys.size(); ++i)
            section.index->emplace(FoldIniName(section.keys[i].name), i);
    }
    auto found = section.index->find(FoldIniName(Trimmed(Widen(name))));
    return found == section.index->end() ? NULL : &section.keys[found->second];
}

DWORD CIniReader::GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                            DWORD size)
{
    if (size == 0)
        return 0;
    CSection* found = FindSection(section);
    const CKey* entry = found != NULL ? FindKey(*found, key) : NULL;
    if (entry != NULL && entry->hasValue)
        return CopyOut(StripQuotes(entry->value), buffer, size);
    // The default loses its trailing spaces (spaces only) before its quotes.
    std::wstring fallback = Widen(defaultText != NULL ? defaultText : "");
    while (fallback.size() > 1 && fallback.back() == L' ')
        fallback.pop_back();
    return CopyOut(StripQuotes(fallback), buffer, size);
}

std::vector<std::string> CIniReader::GetSectionNames() const
{
    std::vector<std::string> names;
    for (const CSection& section : m_sections)
        if (!section.name.empty())
            names.push_back(Narrow(section.name));
    return names;
}

std::vector<std::string> CIniReader::GetKeyNames(const char* section)
{
    std::vector<std::string> names;
    std::wstring wanted = FoldIniName(Widen(section));
    for (const CSection& candidate : m_sections)
    {
        // An empty name finds the lines before the first header.
        if (FoldIniName(candidate.name) != wanted)
            continue;
        for (const CKey& key : candidate.keys)
        {
            if (!key.hasValue || IsIniComment(key.name))
                continue;
            if (key.name.empty())
                break;
            names.push_back(Narrow(key.name));
        }
        break;
    }
    return names;
}
