#include "settings/IniText.h"

#include "common/TextFile.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

namespace {

bool StartsWith(const std::string& line, const std::string& prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}

std::string Lower(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool IsProfileSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1A;
}

std::string StripLeading(const std::string& text)
{
    size_t begin = 0;
    while (begin < text.size() && IsProfileSpace(text[begin]))
        ++begin;
    return text.substr(begin);
}

std::string Trim(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsProfileSpace(text[begin]))
        ++begin;
    while (end > begin && IsProfileSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// The section name a header line gives the profile functions, false for a
// line that is no header to them.
bool ProfileSectionName(const std::string& line, std::string* name)
{
    std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] != '[')
        return false;
    size_t close = trimmed.rfind(']');
    if (close == std::string::npos)
        return false;
    *name = trimmed.substr(1, close - 1);
    return true;
}

// Key name and value of a line in the form the profile functions write.
void SplitKeyLine(const std::string& line, std::string* name, std::string* value, bool* hasValue)
{
    std::string body = line;
    if (!body.empty() && body.back() == '\n')
        body.pop_back();
    size_t equals = body.find('=');
    *hasValue = equals != std::string::npos;
    *name = *hasValue ? body.substr(0, equals) : body;
    *value = *hasValue ? body.substr(equals + 1) : std::string();
}

}  // namespace

// Read as bytes, with CR LF made LF as text mode does: text mode also ends
// the file at the first Ctrl-Z (0x1A), and a value holding one would have cost
// everything after it at the next rewrite.
bool CIniText::Load(const char* path)
{
    SetText(std::string());
    CTextFile file;
    if (file.Open(path, "rb") == NULL)
        return false;
    std::string bytes;
    char block[16384];
    size_t got;
    while ((got = fread(block, 1, sizeof(block), file.Stream())) > 0)
        bytes.append(block, got);
    file.Close();
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        text += bytes[i];
    }
    SetText(text);
    return true;
}

void CIniText::SetText(const std::string& text)
{
    m_sections.clear();
    m_firstSection.clear();
    m_pendingSection = -1;
    m_sections.push_back(CSection());
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, end - start);
        start = end;
        // CIniFile's rewrites take every line that starts with "[" as a header.
        if (line[0] == '[')
        {
            CSection section;
            section.header = line;
            m_sections.push_back(section);
            std::string name;
            if (ProfileSectionName(line, &name))
                m_firstSection.emplace(Lower(name), static_cast<int>(m_sections.size()) - 1);
        }
        else
        {
            m_sections.back().lines.push_back(line);
        }
    }
}

std::string CIniText::Text() const
{
    std::string text;
    for (const CSection& section : m_sections)
    {
        if (section.removed)
            continue;
        text += section.header;
        for (const std::string& line : section.lines)
            text += line;
    }
    return text;
}

void CIniText::SetNormalizer(CNormalizer normalize, void* context)
{
    m_normalize = normalize;
    m_context = context;
    m_normal = false;
}

bool CIniText::MakeNormal()
{
    if (m_normal)
        return true;
    m_normal = true;
    return m_normalize == nullptr || m_normalize(this, m_context);
}

int CIniText::FindSection(const std::string& name)
{
    std::string lower = Lower(name);
    auto first = m_firstSection.find(lower);
    if (first == m_firstSection.end())
        return -1;
    if (!m_sections[first->second].removed)
        return first->second;
    for (size_t i = first->second + 1; i < m_sections.size(); ++i)
    {
        std::string sectionName;
        if (!m_sections[i].removed && ProfileSectionName(m_sections[i].header, &sectionName) &&
            Lower(sectionName) == lower)
            return first->second = static_cast<int>(i);
    }
    m_firstSection.erase(first);
    return -1;
}

void CIniText::WriteKeys(const std::string& sectionName, const CKeyValues& keys)
{
    int index = FindSection(sectionName);
    // Key names of the section, lower case, to the first line that has them.
    std::unordered_map<std::string, size_t> lineOfKey;
    if (index >= 0)
    {
        const std::vector<std::string>& lines = m_sections[index].lines;
        for (size_t i = 0; i < lines.size(); ++i)
        {
            std::string name, value;
            bool hasValue;
            SplitKeyLine(lines[i], &name, &value, &hasValue);
            lineOfKey.emplace(Lower(Trim(name)), i);
        }
    }

    for (size_t k = 0; k < keys.size(); ++k)
    {
        const auto& key = keys[k];

        // Measured under Wine: the profile functions drop the blanks before a
        // value they write and keep those after it; but each call reads the
        // file afresh, trimming every value at both ends, so a value is
        // compared trimmed and trailing blanks survive only until the next
        // change rewrites the file.
        const std::string value = StripLeading(key.second);
        auto found = index >= 0 ? lineOfKey.find(Lower(key.first)) : lineOfKey.end();
        std::string name, oldValue;
        bool hasValue = false;
        if (found != lineOfKey.end())
        {
            SplitKeyLine(m_sections[index].lines[found->second], &name, &oldValue, &hasValue);
            if (hasValue && Trim(oldValue) == value)
                continue;
        }
        if (!m_normal)
        {
            // The first change: the profile functions would now write the whole
            // file in their form, which moves lines; start again on that text.
            if (!MakeNormal())
                return;
            WriteKeys(sectionName, CKeyValues(keys.begin() + k, keys.end()));
            return;
        }
        TrimPendingLine();
        if (found != lineOfKey.end())
        {
            m_sections[index].lines[found->second] = name + "=" + value + "\n";
            SetPendingLine(index, found->second, value);
            continue;
        }
        if (index < 0)
        {
            if (!m_sections.empty())
            {
                CSection& last = m_sections.back();
                std::string& lastLine = last.lines.empty() ? last.header : last.lines.back();
                if (!lastLine.empty() && lastLine.back() != '\n')
                    lastLine += '\n';
            }
            CSection section;
            section.header = "[" + sectionName + "]\n";
            m_sections.push_back(section);
            index = static_cast<int>(m_sections.size()) - 1;
            m_firstSection[Lower(sectionName)] = index;
        }
        std::vector<std::string>& lines = m_sections[index].lines;
        lineOfKey.emplace(Lower(key.first), lines.size());
        lines.push_back(key.first + "=" + value + "\n");
        SetPendingLine(index, lines.size() - 1, value);
    }
}

void CIniText::SetPendingLine(int section, size_t line, const std::string& value)
{
    bool trailingBlank = !value.empty() && IsProfileSpace(value.back());
    m_pendingSection = trailingBlank ? section : -1;
    m_pendingLine = line;
}

// The rewrite on a change writes what the profile functions read from the
// file, so the one value that still ends in blanks loses them.
void CIniText::TrimPendingLine()
{
    if (m_pendingSection < 0)
        return;
    std::string& line = m_sections[m_pendingSection].lines[m_pendingLine];
    std::string name, value;
    bool hasValue;
    SplitKeyLine(line, &name, &value, &hasValue);
    line = name + "=" + Trim(value) + "\n";
    m_pendingSection = -1;
}

// The same walk as CIniFile::DeleteSection over the lines: a line that starts
// with "[" ends the dropped section and is kept whatever it names.
int CIniText::DeleteSection(const std::string& name)
{
    std::string header = "[" + name + "]";
    bool inside = false;
    bool found = false;
    for (size_t i = 1; i < m_sections.size(); ++i)
    {
        CSection& section = m_sections[i];
        if (section.removed)
            continue;
        if (inside)
        {
            inside = false;
            continue;
        }
        if (StartsWith(section.header, header))
        {
            if (static_cast<int>(i) == m_pendingSection)
                m_pendingSection = -1;
            section.removed = true;
            inside = true;
            found = true;
        }
    }
    return found ? 1 : 0;
}

// The same walk as CIniFile::DeleteKey: any header line leaves the section,
// the section's own header included.
int CIniText::DeleteKey(const std::string& sectionName, const std::string& key)
{
    std::string header = "[" + sectionName + "]";
    std::string prefix = key + "=";
    bool inside = false;
    bool found = false;
    for (size_t i = 1; i < m_sections.size(); ++i)
    {
        CSection& section = m_sections[i];
        if (section.removed)
            continue;
        inside = inside ? false : StartsWith(section.header, header);
        if (!inside)
            continue;
        std::vector<std::string>& lines = section.lines;
        size_t kept = 0;
        bool pendingHere = static_cast<int>(i) == m_pendingSection;
        for (size_t j = 0; j < lines.size(); ++j)
        {
            if (pendingHere && j == m_pendingLine)
            {
                m_pendingLine = kept;
                if (StartsWith(lines[j], prefix))
                    m_pendingSection = -1;
            }
            if (StartsWith(lines[j], prefix))
            {
                found = true;
                continue;
            }
            if (kept != j)
                lines[kept] = std::move(lines[j]);
            ++kept;
        }
        lines.resize(kept);
    }
    return found ? 1 : 0;
}
