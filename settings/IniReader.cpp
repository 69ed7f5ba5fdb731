#include "settings/IniReader.h"

#include "common/FileBytes.h"
#include "common/ShiftJis.h"
#include "common/TextConvert.h"

#include <string.h>

namespace {

// The profile functions' blanks: ASCII white space and Ctrl-Z, not the
// ideographic space (tried under Wine: "\x81\x40" around a value stays).
bool IsProfileBlank(wchar_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

// Names are compared with ASCII letters folded only: a full-width "Ａ" does
// not find "ａ" through the profile functions.
std::wstring Fold(const std::wstring& name)
{
    std::wstring folded = name;
    for (wchar_t& c : folded)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return folded;
}

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
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsProfileBlank(text[begin]))
        ++begin;
    while (end > begin && IsProfileBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
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
        const wchar_t* end = next;
        while (begin < end && IsProfileBlank(*begin))
            ++begin;
        while (end > begin && IsProfileBlank(end[-1]))
            --end;
        if (begin >= end)
            continue;

        if (*begin == L'[')
        {
            const wchar_t* close = end - 1;
            while (close > begin && *close != L']')
                --close;
            if (close > begin)
            {
                const wchar_t* nameBegin = begin + 1;
                const wchar_t* nameEnd = close;
                // Measured under Wine: "[ T ]" is found as "T".
                while (nameBegin < nameEnd && IsProfileBlank(*nameBegin))
                    ++nameBegin;
                while (nameEnd > nameBegin && IsProfileBlank(nameEnd[-1]))
                    --nameEnd;
                m_sections.emplace_back();
                m_sections.back().name = UpToNul(nameBegin, nameEnd);
                m_firstSection.emplace(Fold(m_sections.back().name), m_sections.size() - 1);
                previousKey = false;
                continue;
            }
        }

        const wchar_t* equals = begin;
        while (equals < end && *equals != L'=')
            ++equals;
        const wchar_t* nameEnd = end;
        const wchar_t* valueBegin = NULL;
        if (equals < end)
        {
            nameEnd = equals;
            while (nameEnd > begin && IsProfileBlank(nameEnd[-1]))
                --nameEnd;
            valueBegin = equals + 1;
            while (valueBegin < end && IsProfileBlank(*valueBegin))
                ++valueBegin;
        }
        // A run of lines with empty names keeps only its first.
        if (nameEnd == begin && previousKey && !previousNamed)
            continue;
        CKey key;
        key.name = UpToNul(begin, nameEnd);
        key.hasValue = valueBegin != NULL;
        if (key.hasValue)
            key.value = UpToNul(valueBegin, end);
        previousKey = true;
        previousNamed = !key.name.empty();
        m_sections.back().keys.push_back(std::move(key));
    }
}

CIniReader::CSection* CIniReader::FindSection(const char* name)
{
    auto found = m_firstSection.find(Fold(Trimmed(Widen(name))));
    return found == m_firstSection.end() ? NULL : &m_sections[found->second];
}

const CIniReader::CKey* CIniReader::FindKey(CSection& section, const char* name)
{
    if (!section.index)
    {
        section.index.reset(new std::unordered_map<std::wstring, size_t>);
        section.index->reserve(section.keys.size());
        for (size_t i = 0; i < section.keys.size(); ++i)
            section.index->emplace(Fold(section.keys[i].name), i);
    }
    auto found = section.index->find(Fold(Trimmed(Widen(name))));
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
    std::wstring wanted = Fold(Widen(section));
    for (const CSection& candidate : m_sections)
    {
        // An empty name finds the lines before the first header.
        if (Fold(candidate.name) != wanted)
            continue;
        for (const CKey& key : candidate.keys)
        {
            if (!key.hasValue || (!key.name.empty() && key.name[0] == L';'))
                continue;
            if (key.name.empty())
                break;
            names.push_back(Narrow(key.name));
        }
        break;
    }
    return names;
}
