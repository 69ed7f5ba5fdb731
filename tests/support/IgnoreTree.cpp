#include "tests/support/IgnoreTree.h"

#include "tests/support/UnicodeTree.h"

#include <windows.h>

#include <algorithm>
#include <set>

namespace {

const wchar_t* const kWords[] = {L"a", L"b", L"Build", L"build", L"log", L"node_modules", L"x y", L"[x]", L"a.b",
                                 L"日本", L"テスト", L"é", L"É", L"한글", L"ß", L".hidden", L"!n", L"#h", L"keep",
                                 L"Ab", L"tmp", L"a-z", L"x[1]y", L"9"};
const wchar_t* const kEndings[] = {L"", L"", L".txt", L".log", L".LOG", L".c", L"1", L" 2", L"日"};
const char* const kOddLines[] = {"# comment", "", "   ", "\\#h*", "\\!n*", "[ab", "*[[:bogus:]]*", "*.\\log",
                                 "[[:upper:]]*", "[[:lower:]][[:digit:]]*", "*[[:space:]]*", "[]a]*", "*[a-]",
                                 "[[:punct:]]*", "**", "*/", "/*", "a**b", "**/", "!*.txt", "*\\"};

unsigned Pick(std::mt19937& random, unsigned count) { return random() % count; }
bool Chance(std::mt19937& random, unsigned percent) { return Pick(random, 100) < percent; }

std::wstring Lowered(std::wstring text)
{
    CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// One name made a pattern: a wildcard, a bracket or an escape in place of a
// character, ASCII letters in another case.
std::wstring Mutated(std::mt19937& random, const std::wstring& name)
{
    std::wstring out;
    for (size_t i = 0; i < name.size(); ++i)
    {
        wchar_t c = name[i];
        if (c < 0x80 && iswalpha(c) && Chance(random, 25))
            c = iswupper(c) ? towlower(c) : towupper(c);
        switch (Chance(random, 30) ? Pick(random, 8) : 8)
        {
        case 0: out += L'?'; break;
        case 1: out += L'*'; i += Pick(random, 3); break;
        case 2: out += std::wstring(L"[") + c + L"q]"; break;
        case 3: out += std::wstring(L"[!") + c + L"]"; break;
        case 4: out += L"[a-m]"; break;
        case 5: out += c == L' ' ? L"[[:space:]]" : L"[[:alnum:]]"; break;
        case 6: out += std::wstring(L"\\") + c; break;
        case 7: out += L"???"; break;
        default: out += c == L' ' && i + 1 == name.size() ? L"\\ " : std::wstring(1, c);
        }
    }
    return out;
}

std::wstring Component(const std::wstring& path, size_t from, size_t count)
{
    size_t start = 0;
    for (size_t i = 0; i < from; ++i)
        start = path.find(L'\\', start) + 1;
    size_t end = start;
    for (size_t i = 0; i < count && end != std::wstring::npos; ++i)
        end = path.find(L'\\', end + (i ? 1 : 0));
    return path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

// A rule for one path of the tree below the ignore file's folder.
std::string Rule(std::mt19937& random, const std::wstring& path, bool isFolder)
{
    if (Chance(random, 12))
        return kOddLines[Pick(random, sizeof(kOddLines) / sizeof(kOddLines[0]))];
    size_t depth = 1;
    for (wchar_t c : path)
        depth += c == L'\\';
    std::wstring last = Mutated(random, Component(path, depth - 1, 1));
    std::wstring rule;
    switch (Pick(random, 7))
    {
    case 0: rule = L"/" + Mutated(random, Component(path, 0, depth)); break;
    case 1: rule = L"**/" + last; break;
    case 2: rule = depth > 1 ? Mutated(random, Component(path, 0, 1)) + L"/**" : last + L"/**"; break;
    case 3: rule = depth > 2 ? Component(path, 0, 1) + L"/**/" + last : L"**/" + last; break;
    case 4: rule = depth > 1 ? Mutated(random, Component(path, 0, depth)) : last; break;
    default: rule = last;
    }
    std::replace(rule.begin(), rule.end(), L'\\', L'/');
    if (Chance(random, 30))
        rule = L"!" + rule;
    if (isFolder && Chance(random, 40))
        rule += L"/";
    if (Chance(random, 10))
        rule += L"  ";
    return Utf8Of(rule);
}

// paths: below the file's folder, each with whether it is a folder.
std::string IgnoreFile(std::mt19937& random, const std::vector<std::pair<std::wstring, bool>>& paths)
{
    const char* newline = Chance(random, 20) ? "\r\n" : "\n";
    std::string bytes = Chance(random, 10) ? "\xEF\xBB\xBF" : "";
    unsigned count = 1 + Pick(random, 6);
    for (unsigned i = 0; i < count && !paths.empty(); ++i)
    {
        const auto& path = paths[Pick(random, static_cast<unsigned>(paths.size()))];
        bytes += Rule(random, path.first, path.second) + newline;
    }
    return bytes;
}

}  // namespace

CIgnoreTree RandomIgnoreTree(std::mt19937& random)
{
    CIgnoreTree tree;
    std::set<std::wstring> taken;  // the names as the file system folds them
    std::set<std::wstring> folders;
    std::vector<std::wstring> open = {L""};
    for (size_t at = 0; at < open.size(); ++at)
    {
        const std::wstring folder = open[at];
        std::wstring prefix = folder.empty() ? L"" : folder + L"\\";
        unsigned depth = folder.empty() ? 0 : 1 + static_cast<unsigned>(std::count(folder.begin(), folder.end(), L'\\'));
        unsigned entries = 2 + Pick(random, 4);
        for (unsigned i = 0; i < entries; ++i)
        {
            std::wstring name = std::wstring(kWords[Pick(random, sizeof(kWords) / sizeof(kWords[0]))]) +
                                kEndings[Pick(random, sizeof(kEndings) / sizeof(kEndings[0]))];
            if (!folder.empty() && Chance(random, 3))
                name = L".Git";
            if (!taken.insert(Lowered(prefix + name)).second)
                continue;
            if (depth < 3 && Chance(random, depth == 0 ? 60 : 30))
            {
                open.push_back(prefix + name);
                tree.folders.push_back(prefix + name);
                folders.insert(prefix + name);
            }
            else
                tree.files.push_back(prefix + name);
        }
    }
    std::vector<std::wstring> all = tree.folders;
    all.insert(all.end(), tree.files.begin(), tree.files.end());
    std::vector<std::pair<std::wstring, bool>> everything;
    for (const std::wstring& path : all)
        everything.push_back({path, folders.count(path) != 0});
    for (const std::wstring& folder : open)
    {
        if (!Chance(random, folder.empty() ? 90 : 40))
            continue;
        std::vector<std::pair<std::wstring, bool>> below;
        for (const std::wstring& path : all)
            if (folder.empty() || path.compare(0, folder.size() + 1, folder + L"\\") == 0)
                below.push_back({folder.empty() ? path : path.substr(folder.size() + 1), folders.count(path) != 0});
        tree.ignoreFiles[folder] = IgnoreFile(random, below);
        tree.files.push_back(folder.empty() ? L".gitignore" : folder + L"\\.gitignore");
    }
    if (Chance(random, 50))
        tree.exclude = IgnoreFile(random, everything);
    return tree;
}

void WriteIgnoreTree(const CIgnoreTree& tree, const std::wstring& folder)
{
    for (const std::wstring& path : tree.folders)
        CreateDirectoryW((folder + L"\\" + path).c_str(), nullptr);
    for (const std::wstring& path : tree.files)
        WriteWideFile(folder + L"\\" + path, "x");
    for (const auto& file : tree.ignoreFiles)
        WriteWideFile(folder + L"\\" + (file.first.empty() ? L"" : file.first + L"\\") + L".gitignore", file.second);
}
