#pragma once

#include <string>
#include <vector>

// A tree of files named beyond Shift_JIS (Korean, Greek, an accented Latin
// letter, an emoji outside the BMP) beside Shift_JIS and ASCII names, for the
// tests of the archiver DLLs' UTF-8 mode.
struct CUnicodeTreeFile
{
    std::wstring relative;  // below the tree's folder, "\" separated
    std::string bytes;
};
extern const std::vector<CUnicodeTreeFile> kUnicodeTree;

// Writes every file of kUnicodeTree below folder (made with its parents).
void WriteUnicodeTree(const std::wstring& folder);
// Creates a file by its wide path, with its folders, holding exactly these bytes.
void WriteWideFile(const std::wstring& path, const std::string& bytes);
// The whole file by its wide path; empty with *ok false when it cannot be read.
std::string ReadWideFile(const std::wstring& path, bool* ok = nullptr);

std::wstring Widen(const std::string& ansi);
// Every ANSI path of a list by its wide name, as the input list holds them.
std::vector<std::wstring> WidenAll(const std::vector<std::string>& ansi);
// The ANSI form, with the platform's default character for what has none.
std::string Narrow(const std::wstring& wide);
std::string Utf8Of(const std::wstring& wide);
std::wstring FromUtf8(const std::string& utf8);
