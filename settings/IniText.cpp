#include "settings/IniText.h"

#include "common/TextFile.h"
#include "settings/IniSyntax.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

namespace {

bool StartsWith(const std::string& line, const std::string& prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}

std::string StripLeading(const std::string& text)
{
    size_t begin = 0;
    while (begin < text.size() && IsIniBlank(text[begin]))
        ++begin;
    return text.substr(begin);
}

// CIniFile's two rewrites take a line that starts with "[" for a header,
// whether the profile functions do or not.
bool IsRewriteHeader(const std::string& line)
{
    return !line.empty() && line[0] == '[';
}

// The section name a line gives the profile functions, false for a line that
// is no header to them.
bool ProfileSectionName(const std::string& line, std::string* name)
{
    CIniLine<char> parsed;
    if (!ParseIniLine(line.data(), line.data() + line.size(), &parsed) || !parsed.header)
        return false;
    name->assign(parsed.nameBegin, parsed.nameEnd);
    return true;
}

// Key name and value of a line as the profile functions read it.
bool ProfileKey(const std::string& line, std::string* name, std::string* value, bool* hasValue)
{
    CIniLine<char> parsed;
    if (!ParseIniLine(line.data(), line.data() + line.size(), &parsed) || parsed.header)
        return false;
    name->assign(parsed.nameBegin, parsed.nameEnd);
    *hasValue = parsed.valueBegin != nullptr;
    if (*hasValue)
        value->assign(parsed.valueBegin, parsed.valueEnd);
    else
        value->clear();
    return true;
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
    m_pending.section = -1;
    m_plain = !StartsWith(text, "\xEF\xBB\xBF") && !StartsWith(text, "\xFF\xFE") && !StartsWith(text, "\xFE\xFF") &&
              text.find_first_of(std::string("\r\0", 2)) == std::string::npos;
    m_sections.push_back(CSection());
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, end - start);
        start = end;
        // A header to the profile functions or to CIniFile's rewrites starts a
        // part of its own; the profile's section then runs on over the parts
        // that only the rewrites take for headers.
        std::string name;
        bool named = ProfileSectionName(line, &name);
        if (named || IsRewriteHeader(line))
        {
            CSection section;
            section.header = line;
            m_sections.push_back(section);
            if (named)
                m_firstSection.emplace(FoldIniName(name), static_cast<int>(m_sections.size()) - 1);
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
    std::string lower = FoldIniName(name);
    auto first = m_firstSection.find(lower);
    if (first == m_firstSection.end())
        return -1;
    std::string sectionName;
    if (!m_sections[first->second].removed && ProfileSectionName(m_sections[first->second].header, &sectionName))
        return first->second;
    for (size_t i = first->second + 1; i < m_sections.size(); ++i)
    {
        if (!m_sections[i].removed && ProfileSectionName(m_sections[i].header, &sectionName) &&
            FoldIniName(sectionName) == lower)
            return first->second = static_cast<int>(i);
    }
    m_firstSection.erase(first);
    return -1;
}

bool CIniText::IsProfileHeader(int section) const
{
    std::string name;
    return ProfileSectionName(m_sections[section].header, &name);
}

std::string& CIniText::LineAt(const CLinePos& pos)
{
    CSection& section = m_sections[pos.section];
    return pos.line == kHeaderLine ? section.header : section.lines[pos.line];
}

// The lines the profile functions read as keys of the section that starts at
// index: its own, and the parts after it up to their next header, whose
// header lines ("[x" without "]") are keys to them.
std::vector<CIniText::CLinePos> CIniText::KeyLines(int index) const
{
    std::vector<CLinePos> lines;
    for (int i = index; i < static_cast<int>(m_sections.size()); ++i)
    {
        if (i > index)
        {
            if (m_sections[i].removed)
                continue;
            if (IsProfileHeader(i))
                break;
            lines.push_back({i, kHeaderLine});
        }
        for (size_t j = 0; j < m_sections[i].lines.size(); ++j)
            lines.push_back({i, j});
    }
    return lines;
}

void CIniText::WriteKeys(const std::string& sectionName, const CKeyValues& keys)
{
    int index = FindSection(sectionName);
    // Key names of the section, folded, to the first line that has them.
    std::unordered_map<std::string, CLinePos> lineOfKey;
    // The part that a new key is added to: the last of the section.
    int last = index;
    if (index >= 0)
    {
        for (const CLinePos& pos : KeyLines(index))
        {
            std::string name, value;
            bool hasValue;
            if (ProfileKey(LineAt(pos), &name, &value, &hasValue))
                lineOfKey.emplace(FoldIniName(name), pos);
            last = pos.section;
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
        auto found = index >= 0 ? lineOfKey.find(FoldIniName(key.first)) : lineOfKey.end();
        std::string name, oldValue;
        bool hasValue = false;
        if (found != lineOfKey.end())
        {
            ProfileKey(LineAt(found->second), &name, &oldValue, &hasValue);
            if (hasValue && oldValue == value)
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
            LineAt(found->second) = name + "=" + value + "\n";
            SetPendingLine(found->second, value);
            continue;
        }
        if (index < 0)
        {
            if (!m_sections.empty())
            {
                CSection& lastPart = m_sections.back();
                std::string& lastLine = lastPart.lines.empty() ? lastPart.header : lastPart.lines.back();
                if (!lastLine.empty() && lastLine.back() != '\n')
                    lastLine += '\n';
            }
            CSection section;
            section.header = "[" + sectionName + "]\n";
            m_sections.push_back(section);
            index = last = static_cast<int>(m_sections.size()) - 1;
            m_firstSection[FoldIniName(sectionName)] = index;
        }
        std::vector<std::string>& lines = m_sections[last].lines;
        CLinePos pos = {last, lines.size()};
        lineOfKey.emplace(FoldIniName(key.first), pos);
        lines.push_back(key.first + "=" + value + "\n");
        SetPendingLine(pos, value);
    }
}

void CIniText::SetPendingLine(const CLinePos& pos, const std::string& value)
{
    bool trailingBlank = !value.empty() && IsIniBlank(value.back());
    m_pending = pos;
    if (!trailingBlank)
        m_pending.section = -1;
}

// The rewrite on a change writes what the profile functions read from the
// file, so the one value that still ends in blanks loses them.
void CIniText::TrimPendingLine()
{
    if (m_pending.section < 0)
        return;
    std::string& line = LineAt(m_pending);
    std::string name, value;
    bool hasValue;
    ProfileKey(line, &name, &value, &hasValue);
    line = name + "=" + value + "\n";
    m_pending.section = -1;
}

// The same walk as CIniFile::DeleteSection over the lines: a line that starts
// with "[" ends the dropped section and is kept whatever it names; a header
// with blanks before its "[" is a line of the dropped section to this walk.
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
        if (inside && IsRewriteHeader(section.header))
        {
            inside = false;
            continue;
        }
        if (inside || StartsWith(section.header, header))
        {
            if (static_cast<int>(i) == m_pending.section)
                m_pending.section = -1;
            section.removed = true;
            found = found || !inside;
            inside = true;
        }
    }
    return found ? 1 : 0;
}

// The same walk as CIniFile::DeleteKey: any line that starts with "[" leaves
// the section, the section's own header included.
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
        if (IsRewriteHeader(section.header))
        {
            inside = inside ? false : StartsWith(section.header, header);
        }
        else if (inside && StartsWith(section.header, prefix))
        {
            // A header with blanks before its "[" is a line inside to this
            // walk; dropped, it leaves its lines to the section before.
            section.header.clear();
            found = true;
        }
        if (!inside)
            continue;
        std::vector<std::string>& lines = section.lines;
        size_t kept = 0;
        bool pendingHere = static_cast<int>(i) == m_pending.section && m_pending.line != kHeaderLine;
        for (size_t j = 0; j < lines.size(); ++j)
        {
            if (pendingHere && j == m_pending.line)
            {
                m_pending.line = kept;
                if (StartsWith(lines[j], prefix))
                    m_pending.section = -1;
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
