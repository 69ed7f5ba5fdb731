#pragma once

#include <stddef.h>

#include <memory>
#include <string>
#include <vector>

// The ignore files of a tree (".gitignore" per folder, the repository's
// info/exclude) read and matched as git does with core.ignorecase set, for a
// walk that leaves out what git would leave out. Nothing here needs a window.
//
// Git matches bytes: rules and names are compared as UTF-8, so "?" matches
// one byte (three for most Japanese letters), a bracket expression holds
// bytes, and only ASCII letters fold; an escaped capital ("\A") and a capital
// alone in brackets ("[A]") match no name at all under core.ignorecase, as in
// git.

// One rule, compiled when its file is read.
struct CGitIgnoreRule
{
    // The file as git check-ignore -v names it, "/" separated: ".gitignore",
    // "sub/.gitignore", ".git/info/exclude".
    std::wstring source;
    int line = 0;  // 1-based, a byte-order mark not counted as a line
    // The pattern as written, trailing spaces git drops left out.
    std::wstring text;

    // The compiled form, UTF-8: the pattern without "!" and a trailing "/".
    std::string pattern;
    unsigned flags = 0;
    size_t literalLength = 0;  // the part before the first wildcard or "\"
    size_t baseLength = 0;     // of the ignore file's folder, "/" ended, below the top

    // "sub/.gitignore:3:build/" as git check-ignore -v prints the rule.
    std::wstring Reason() const;
};

// What git decides for one entry.
struct CGitIgnoreVerdict
{
    bool ignored = false;
    // The rule that decided; also a "!" rule that took the entry back (ignored
    // false), as git check-ignore -v reports it. Null when no rule matched, and
    // for an entry named ".git" (any case, at any depth), which git never
    // takes and reports no rule for.
    std::shared_ptr<const CGitIgnoreRule> rule;

    // "sub/.gitignore:3:build/" as git check-ignore -v prints the rule; empty
    // without one.
    std::wstring Reason() const;
};

// The rules of one ignore file, in file order. base: the file's folder below
// the top of the repository (or of the walk), UTF-8, "/" separated and ended,
// "" for the top itself.
std::vector<std::shared_ptr<const CGitIgnoreRule>> ParseGitIgnore(const std::string& bytes, const std::string& base,
                                                                  const std::wstring& source);

// The rules in force while a walk goes down a tree, depth first:
//
//     CGitIgnoreStack stack(root);
//     stack.EnterFolder(L"", root);
//     for each entry of a folder:  verdict = stack.Decide(name, isFolder);
//         an ignored folder is not entered: nothing below it can be taken
//         back, as in git; any other folder: EnterFolder, its entries,
//         LeaveFolder.
//
// Within one file the last matching rule wins, a deeper file wins over a
// higher one, info/exclude comes last. The .gitignore files of the folders
// above the walk's root are not read; its info/exclude is, when the root lies
// inside a repository.
class CGitIgnoreStack
{
public:
    // No repository: names are relative to the walk's root.
    CGitIgnoreStack();
    // Looks for the repository of rootFolder (a ".git" folder, or a ".git"
    // file naming one, in it or a folder above) and reads its info/exclude.
    explicit CGitIgnoreStack(const std::wstring& rootFolder);

    // Reads absoluteFolder\.gitignore (a link or a folder of that name is not
    // read, as in git). relativeFolder: below the walk's root, "\" separated,
    // "" for the root.
    void EnterFolder(const std::wstring& relativeFolder, const std::wstring& absoluteFolder);
    // The same with the ignore file's bytes at hand; "" for a folder without
    // one, which a walk that has listed the folder already knows.
    void EnterFolderWithRules(const std::wstring& relativeFolder, const std::string& bytes);
    void LeaveFolder();

    // The verdict for an entry of the folder entered last, by its bare name.
    // Allocates nothing once the path buffer has grown to the tree's depth.
    CGitIgnoreVerdict Decide(const wchar_t* name, size_t length, bool isFolder);
    CGitIgnoreVerdict Decide(const std::wstring& name, bool isFolder) { return Decide(name.c_str(), name.size(), isFolder); }

    bool InRepository() const { return m_inRepository; }

private:
    struct CFrame
    {
        size_t pathLength;  // of m_path before the folder was entered
        std::vector<std::shared_ptr<const CGitIgnoreRule>> rules;
    };

    std::string m_rootBase;  // the walk's root below the repository's top, "/" ended
    bool m_inRepository = false;
    std::vector<std::shared_ptr<const CGitIgnoreRule>> m_exclude;
    std::vector<CFrame> m_frames;
    // The folder entered last below the top, "/" ended, UTF-8; Decide appends
    // the name.
    std::string m_path;
};
