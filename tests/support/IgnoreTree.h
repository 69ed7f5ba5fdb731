#pragma once

#include <map>
#include <random>
#include <string>
#include <vector>

// A random tree of folders and files with random ignore files, for comparing
// the .gitignore matcher with git: names with blanks, brackets, dots,
// Japanese and other letters beyond Shift_JIS, names that differ from the
// rules only in case; rules drawn from every construct of the format, most
// of them made from names of the tree so that they match.
struct CIgnoreTree
{
    std::vector<std::wstring> folders;  // relative, "\" separated, parents first
    std::vector<std::wstring> files;    // relative; the ignore files among them
    std::map<std::wstring, std::string> ignoreFiles;  // folder ("" the top) -> the .gitignore's bytes
    std::string exclude;                               // info/exclude
};

CIgnoreTree RandomIgnoreTree(std::mt19937& random);
// Every folder and file of tree below folder.
void WriteIgnoreTree(const CIgnoreTree& tree, const std::wstring& folder);
