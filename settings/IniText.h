#pragma once

#include <stddef.h>

#include <string>
#include <unordered_map>
#include <vector>

// The settings file's text held in memory, edited with the results that the
// profile functions and CIniFile's two rewrites would give on the file, and
// written once. A save that went through the file for every key rewrote the
// whole file each time, which made it grow with the square of its size.
//
// Lines are kept as read in text mode (with their "\n"), so that what is not
// edited is written back byte for byte.
class CIniText
{
public:
    // Reads the file with CR LF as LF, as text mode would but to its end;
    // false when it cannot be opened (an empty text then).
    bool Load(const char* path);
    std::string Text() const;

    // Sets the keys of one section in order, as WritePrivateProfileString does
    // for each: the first section and key of that name (letter case ignored)
    // take the value in place, a missing key is added at the end of the
    // section, a missing section at the end of the text. normalize is called
    // before the first change that the profile functions would write, because
    // they write the whole file in their own form then.
    typedef std::vector<std::pair<std::string, std::string>> CKeyValues;
    typedef bool (*CNormalizer)(CIniText* text, void* context);
    void WriteKeys(const std::string& section, const CKeyValues& keys);
    void SetNormalizer(CNormalizer normalize, void* context);

    // As CIniFile::DeleteSection and CIniFile::DeleteKey on the file: 1 when
    // found and removed.
    int DeleteSection(const std::string& name);
    int DeleteKey(const std::string& section, const std::string& key);

    // Replaces the whole text (the normalizer hands back the rewritten file).
    void SetText(const std::string& text);

    // False for a text that the profile functions read otherwise than its
    // lines show: one with a byte-order mark (they read and write it in UTF-8
    // or UTF-16, not in the ANSI code page), a CR without LF (a line end to
    // them) or a NUL (where their names and values end). Edits in memory
    // would not give their bytes there.
    bool IsPlainText() const { return m_plain; }

private:
    // The text in parts, each from a line that the profile functions or
    // CIniFile's rewrites take for a header (settings/IniSyntax.h) up to the
    // next: the rewrites see a header in every line that starts with "[", the
    // profile functions only where a "]" follows, blanks before it or not.
    struct CSection
    {
        std::string header;              // the header line as read, "" for the lines before the first
        std::vector<std::string> lines;  // the lines after it, up to the next header
        bool removed = false;
    };

    // A line of a part: its header (kHeaderLine) or one of its lines.
    struct CLinePos
    {
        int section;
        size_t line;
    };
    static const size_t kHeaderLine = static_cast<size_t>(-1);

    int FindSection(const std::string& name);
    bool IsProfileHeader(int section) const;
    std::vector<CLinePos> KeyLines(int index) const;
    std::string& LineAt(const CLinePos& pos);
    bool MakeNormal();
    void SetPendingLine(const CLinePos& pos, const std::string& value);
    void TrimPendingLine();

    std::vector<CSection> m_sections;
    std::unordered_map<std::string, int> m_firstSection;  // folded profile name -> first section
    CNormalizer m_normalize = nullptr;
    void* m_context = nullptr;
    bool m_normal = false;
    bool m_plain = true;
    // The line last written, while its value ends in blanks (section -1: none).
    CLinePos m_pending = {-1, 0};
};
