#include "filters/GitIgnore.h"

#include "common/FileBytes.h"
#include "common/TextConvert.h"

#include <windows.h>

#include <string.h>

#include <algorithm>

namespace {

// CGitIgnoreRule::flags
const unsigned kNegative = 1;
const unsigned kFoldersOnly = 2;
const unsigned kNoSlash = 4;   // matched against the bare name
const unsigned kEndsWith = 8;  // "*" and a literal: compared with the name's end

enum
{
    kMatch,
    kNoMatch,
    kAbortAll,
    kAbortToStarStar,
};

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool IsGlobSpecial(unsigned char c) { return c == '*' || c == '?' || c == '[' || c == '\\'; }
bool IsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(unsigned char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// core.ignorecase folds ASCII letters only, however the name is spelt.
unsigned char Fold(unsigned char c) { return IsUpper(c) ? static_cast<unsigned char>(c + ('a' - 'A')) : c; }

bool SameFolded(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The character classes of git's own ASCII table: no locale, and "space" is
// blank, tab, line feed and carriage return only.
int InClass(const unsigned char* name, size_t length, unsigned char c)
{
    auto is = [&](const char* word) { return strlen(word) == length && memcmp(name, word, length) == 0; };
    bool alpha = IsUpper(c) || IsLower(c);
    bool graph = c > 0x20 && c < 0x7F;
    if (is("alnum"))
        return alpha || IsDigit(c);
    if (is("alpha"))
        return alpha;
    if (is("blank"))
        return c == ' ' || c == '\t';
    if (is("cntrl"))
        return c < 0x20 || c == 0x7F;
    if (is("digit"))
        return IsDigit(c);
    if (is("graph"))
        return graph;
    if (is("lower"))
        return IsLower(c);
    if (is("print"))
        return graph || c == ' ';
    if (is("punct"))
        return graph && !alpha && !IsDigit(c);
    if (is("space"))
        return c == ' ' || c == '\t' || c == '\n' || c == '\r';
    // The name was folded before: with core.ignorecase "upper" takes any letter.
    if (is("upper"))
        return IsUpper(c) || IsLower(c);
    if (is("xdigit"))
        return IsDigit(c) || (Fold(c) >= 'a' && Fold(c) <= 'f');
    return -1;
}

// git's wildmatch with WM_CASEFOLD, on terminated UTF-8. Its quirks are kept
// on purpose, since git is the judge: the name's letter is folded, but the
// pattern's letter is not after "\" or inside brackets (only a range also
// tries the name's capital), so "\A" and "[A]" match nothing.
int Wild(const unsigned char* p, const unsigned char* text, bool pathName)
{
    const unsigned char* pattern = p;
    unsigned char pCh;
    for (; (pCh = *p) != '\0'; text++, p++)
    {
        unsigned char tCh = *text;
        if (tCh == '\0' && pCh != '*')
            return kAbortAll;
        tCh = Fold(tCh);
        pCh = Fold(pCh);
        switch (pCh)
        {
        case '\\':
            pCh = *++p;
            if (tCh != pCh)
                return kNoMatch;
            continue;
        default:
            if (tCh != pCh)
                return kNoMatch;
            continue;
        case '?':
            if (pathName && tCh == '/')
                return kNoMatch;
            continue;
        case '*':
        {
            bool matchSlash;
            if (*++p == '*')
            {
                const unsigned char* before = p - 2;
                while (*++p == '*')
                {
                }
                if (!pathName)
                    matchSlash = true;
                else if ((before < pattern || *before == '/') &&
                         (*p == '\0' || *p == '/' || (p[0] == '\\' && p[1] == '/')))
                {
                    // "a/**/b" also matches "a/b".
                    if (p[0] == '/' && Wild(p + 1, text, pathName) == kMatch)
                        return kMatch;
                    matchSlash = true;
                }
                else
                    matchSlash = false;
            }
            else
                matchSlash = !pathName;
            if (*p == '\0')
                return !matchSlash && strchr(reinterpret_cast<const char*>(text), '/') ? kNoMatch : kMatch;
            if (!matchSlash && *p == '/')
            {
                const char* slash = strchr(reinterpret_cast<const char*>(text), '/');
                if (slash == nullptr)
                    return kNoMatch;
                text = reinterpret_cast<const unsigned char*>(slash);
                break;  // the loop's step takes the slash on both sides
            }
            while (tCh != '\0')
            {
                // A literal after the star: skip to where it could start.
                if (!IsGlobSpecial(*p))
                {
                    unsigned char wanted = Fold(*p);
                    while ((tCh = *text) != '\0' && (matchSlash || tCh != '/'))
                    {
                        tCh = Fold(tCh);
                        if (tCh == wanted)
                            break;
                        text++;
                    }
                    if (tCh != wanted)
                        return kNoMatch;
                }
                int matched = Wild(p, text, pathName);
                if (matched != kNoMatch)
                {
                    if (!matchSlash || matched != kAbortToStarStar)
                        return matched;
                }
                else if (!matchSlash && tCh == '/')
                    return kAbortToStarStar;
                tCh = *++text;
            }
            return kAbortAll;
        }
        case '[':
        {
            pCh = *++p;
            if (pCh == '^')
                pCh = '!';
            bool negated = pCh == '!';
            if (negated)
                pCh = *++p;
            unsigned char previous = 0;
            bool matched = false;
            do
            {
                if (pCh == '\0')
                    return kAbortAll;
                if (pCh == '\\')
                {
                    pCh = *++p;
                    if (pCh == '\0')
                        return kAbortAll;
                    if (tCh == pCh)
                        matched = true;
                }
                else if (pCh == '-' && previous != 0 && p[1] != '\0' && p[1] != ']')
                {
                    pCh = *++p;
                    if (pCh == '\\')
                    {
                        pCh = *++p;
                        if (pCh == '\0')
                            return kAbortAll;
                    }
                    unsigned char upper = IsLower(tCh) ? static_cast<unsigned char>(tCh - ('a' - 'A')) : tCh;
                    if ((tCh <= pCh && tCh >= previous) || (upper <= pCh && upper >= previous))
                        matched = true;
                    pCh = 0;  // no range continues from a range's end
                }
                else if (pCh == '[' && p[1] == ':')
                {
                    const unsigned char* start = p += 2;
                    while ((pCh = *p) != '\0' && pCh != ']')
                        p++;
                    if (pCh == '\0')
                        return kAbortAll;
                    if (p - start < 1 || p[-1] != ':')
                    {
                        // No ":]": the "[" is a member like any other.
                        p = start - 2;
                        pCh = '[';
                        if (tCh == pCh)
                            matched = true;
                        continue;
                    }
                    int in = InClass(start, static_cast<size_t>(p - start - 1), tCh);
                    if (in < 0)
                        return kAbortAll;
                    if (in)
                        matched = true;
                    pCh = 0;
                }
                else if (tCh == pCh)
                    matched = true;
            } while (previous = pCh, (pCh = *++p) != ']');
            if (matched == negated || (pathName && tCh == '/'))
                return kNoMatch;
            continue;
        }
        }
    }
    return *text != '\0' ? kNoMatch : kMatch;
}

// git's match_basename and match_pathname. path ends with the entry's name,
// which begins at nameStart; the rule's folder is a prefix of path.
bool Matches(const CGitIgnoreRule& rule, const std::string& path, size_t nameStart, bool isFolder)
{
    if ((rule.flags & kFoldersOnly) && !isFolder)
        return false;
    const char* pattern = rule.pattern.c_str();
    size_t patternLength = rule.pattern.size();
    size_t literal = rule.literalLength;
    if (rule.flags & kNoSlash)
    {
        const char* name = path.c_str() + nameStart;
        size_t nameLength = path.size() - nameStart;
        if (literal == patternLength)
            return patternLength == nameLength && SameFolded(pattern, name, nameLength);
        if (rule.flags & kEndsWith)
            return patternLength - 1 <= nameLength &&
                   SameFolded(pattern + 1, name + nameLength - (patternLength - 1), patternLength - 1);
        return Wild(reinterpret_cast<const unsigned char*>(pattern), reinterpret_cast<const unsigned char*>(name),
                    false) == kMatch;
    }
    if (*pattern == '/')
    {
        ++pattern;
        --patternLength;
        --literal;
    }
    const char* name = path.c_str() + rule.baseLength;
    size_t nameLength = path.size() - rule.baseLength;
    if (literal > 0)
    {
        if (literal > nameLength || !SameFolded(pattern, name, literal))
            return false;
        pattern += literal;
        patternLength -= literal;
        name += literal;
        nameLength -= literal;
        if (patternLength == 0 && nameLength == 0)
            return true;
    }
    return Wild(reinterpret_cast<const unsigned char*>(pattern), reinterpret_cast<const unsigned char*>(name), true) ==
           kMatch;
}

const std::shared_ptr<const CGitIgnoreRule>* LastMatch(const std::vector<std::shared_ptr<const CGitIgnoreRule>>& rules,
                                                       const std::string& path, size_t nameStart, bool isFolder)
{
    for (size_t i = rules.size(); i-- > 0;)
        if (Matches(*rules[i], path, nameStart, isFolder))
            return &rules[i];
    return nullptr;
}

// UTF-16 as git's names are, UTF-8; a lone surrogate keeps its own three
// bytes, so that two names never meet in one form.
void AppendUtf8(const wchar_t* text, size_t length, std::string* out)
{
    for (size_t i = 0; i < length; ++i)
    {
        unsigned c = text[i];
        if (c < 0x80)
        {
            out->push_back(static_cast<char>(c));
            continue;
        }
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x800)
            out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        else
        {
            if (c < 0x10000)
                out->push_back(static_cast<char>(0xE0 | (c >> 12)));
            else
            {
                out->push_back(static_cast<char>(0xF0 | (c >> 18)));
                out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            }
            out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        }
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// A relative folder "a\b" as "a/b/" after base.
void AppendFolder(const std::wstring& folder, std::string* out)
{
    size_t start = out->size();
    AppendUtf8(folder.c_str(), folder.size(), out);
    for (size_t i = start; i < out->size(); ++i)
        if ((*out)[i] == '\\')
            (*out)[i] = '/';
    if (!folder.empty())
        out->push_back('/');
}

// git leaves out every entry named ".git" in any case with core.ignorecase.
bool IsGitName(const wchar_t* name, size_t length)
{
    return length == 4 && name[0] == L'.' && (name[1] | 0x20) == L'g' && (name[2] | 0x20) == L'i' &&
           (name[3] | 0x20) == L't';
}

// Beyond MAX_PATH the wide functions take a full path in its "\\?\" form only.
std::wstring LongForm(const std::wstring& path)
{
    if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    if (path.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(LongForm(path).c_str()); }

bool IsPlainFile(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// The first line of a small file that names a folder ("gitdir: ...",
// "commondir"), relative to folder unless it is a full path.
std::wstring NamedFolder(const std::wstring& file, const std::wstring& folder, const char* tag)
{
    std::string bytes;
    if (!ReadWholeFile(LongForm(file), &bytes) || bytes.compare(0, strlen(tag), tag) != 0)
        return std::wstring();
    bytes = bytes.substr(strlen(tag), bytes.find_first_of("\r\n") - strlen(tag));
    std::wstring named = Utf8ToWide(bytes);
    for (wchar_t& c : named)
        if (c == L'/')
            c = L'\\';
    bool full = named.size() > 1 && (named[1] == L':' || named[0] == L'\\');
    return named.empty() || full ? named : folder + L"\\" + named;
}

}  // namespace

std::wstring CGitIgnoreRule::Reason() const
{
    return source + L":" + std::to_wstring(line) + L":" + text;
}

std::wstring CGitIgnoreVerdict::Reason() const
{
    return rule ? rule->Reason() : std::wstring();
}

std::vector<std::shared_ptr<const CGitIgnoreRule>> ParseGitIgnore(const std::string& bytes, const std::string& base,
                                                                  const std::wstring& source)
{
    std::vector<std::shared_ptr<const CGitIgnoreRule>> rules;
    size_t at = bytes.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
    for (int line = 1; at < bytes.size(); ++line)
    {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos)
            end = bytes.size();
        size_t start = at;
        at = end + 1;
        if (start == end || bytes[start] == '#')
            continue;
        if (bytes[end - 1] == '\r')
            --end;
        // git holds a line as a C string: a NUL ends it.
        end = std::min(end, bytes.find('\0', start));
        // Trailing blanks go, unless the last one is escaped.
        size_t kept = end;
        for (size_t i = start; i < end; ++i)
        {
            if (bytes[i] == ' ')
            {
                if (kept == end)
                    kept = i;
                continue;
            }
            kept = end;
            // git keeps the blanks of a line that ends in a lone "\".
            if (bytes[i] == '\\' && ++i == end)
                break;
        }
        std::string written = bytes.substr(start, kept - start);

        auto rule = std::make_shared<CGitIgnoreRule>();
        rule->source = source;
        rule->line = line;
        rule->text = Utf8ToWide(written);
        rule->baseLength = base.size();
        size_t from = 0;
        if (!written.empty() && written[0] == '!')
        {
            rule->flags |= kNegative;
            from = 1;
        }
        std::string& pattern = rule->pattern;
        pattern = written.substr(from);
        if (!pattern.empty() && pattern.back() == '/')
        {
            rule->flags |= kFoldersOnly;
            pattern.pop_back();
        }
        // An empty pattern matches no name.
        if (pattern.empty())
            continue;
        if (pattern.find('/') == std::string::npos)
            rule->flags |= kNoSlash;
        while (rule->literalLength < pattern.size() && !IsGlobSpecial(pattern[rule->literalLength]))
            ++rule->literalLength;
        if (pattern[0] == '*' && pattern.find_first_of("*?[\\", 1) == std::string::npos)
            rule->flags |= kEndsWith;
        rules.push_back(rule);
    }
    return rules;
}

CGitIgnoreStack::CGitIgnoreStack() {}

CGitIgnoreStack::CGitIgnoreStack(const std::wstring& rootFolder)
{
    wchar_t full[MAX_PATH * 4];
    DWORD length = GetFullPathNameW(rootFolder.c_str(), MAX_PATH * 4, full, nullptr);
    if (length == 0 || length >= MAX_PATH * 4)
        return;
    std::wstring top(full, length);
    while (!top.empty() && top.back() == L'\\')
        top.pop_back();
    std::wstring below;  // the root below top, "\" separated
    for (;;)
    {
        std::wstring dotGit = top + L"\\.git";
        DWORD attributes = Attributes(dotGit);
        std::wstring gitFolder;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        {
            // An empty ".git" folder is no repository; git looks further up.
            if (IsPlainFile(Attributes(dotGit + L"\\HEAD")))
                gitFolder = dotGit;
        }
        else if (IsPlainFile(attributes))
            gitFolder = NamedFolder(dotGit, top, "gitdir: ");
        if (!gitFolder.empty())
        {
            // A linked worktree keeps its info/exclude in the common folder.
            std::wstring common = NamedFolder(gitFolder + L"\\commondir", gitFolder, "");
            std::wstring exclude = (common.empty() ? gitFolder : common) + L"\\info\\exclude";
            std::wstring source = gitFolder == dotGit ? std::wstring(L".git\\info\\exclude") : exclude;
            for (wchar_t& c : source)
                if (c == L'\\')
                    c = L'/';
            std::string bytes;
            if (IsPlainFile(Attributes(exclude)) && ReadWholeFile(LongForm(exclude), &bytes))
                m_exclude = ParseGitIgnore(bytes, std::string(), source);
            m_inRepository = true;
            AppendFolder(below, &m_rootBase);
            break;
        }
        size_t slash = top.rfind(L'\\');
        if (slash == std::wstring::npos || slash < 2)
            break;
        below = top.substr(slash + 1) + (below.empty() ? L"" : L"\\") + below;
        top.resize(slash);
    }
    m_path = m_rootBase;
}

void CGitIgnoreStack::EnterFolder(const std::wstring& relativeFolder, const std::wstring& absoluteFolder)
{
    std::wstring file = absoluteFolder + L"\\.gitignore";
    std::string bytes;
    if (!IsPlainFile(Attributes(file)) || !ReadWholeFile(LongForm(file), &bytes))
        bytes.clear();
    EnterFolderWithRules(relativeFolder, bytes);
}

void CGitIgnoreStack::EnterFolderWithRules(const std::wstring& relativeFolder, const std::string& bytes)
{
    m_frames.push_back(CFrame{m_path.size(), {}});
    m_path = m_rootBase;
    AppendFolder(relativeFolder, &m_path);
    if (!bytes.empty())
        m_frames.back().rules = ParseGitIgnore(bytes, m_path, Utf8ToWide(m_path) + L".gitignore");
}

void CGitIgnoreStack::LeaveFolder()
{
    if (m_frames.empty())
        return;
    m_path.resize(m_frames.back().pathLength);
    m_frames.pop_back();
}

CGitIgnoreVerdict CGitIgnoreStack::Decide(const wchar_t* name, size_t length, bool isFolder)
{
    CGitIgnoreVerdict verdict;
    if (IsGitName(name, length))
    {
        verdict.ignored = true;
        return verdict;
    }
    size_t nameStart = m_path.size();
    AppendUtf8(name, length, &m_path);
    const std::shared_ptr<const CGitIgnoreRule>* found = nullptr;
    for (size_t i = m_frames.size(); found == nullptr && i-- > 0;)
        found = LastMatch(m_frames[i].rules, m_path, nameStart, isFolder);
    if (found == nullptr)
        found = LastMatch(m_exclude, m_path, nameStart, isFolder);
    m_path.resize(nameStart);
    if (found != nullptr)
    {
        verdict.rule = *found;
        verdict.ignored = ((*found)->flags & kNegative) == 0;
    }
    return verdict;
}
