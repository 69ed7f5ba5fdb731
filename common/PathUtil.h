#pragma once

#include <windows.h>
#include <stddef.h>

#include <string>

// Path kinds returned by GetPathType.
enum
{
    kPathMissing = 0,
    kPathFile = 1,
    kPathFolder = 2,  // a folder or a drive root
};

// Paths and control texts are taken into buffers of this size (at most 1023
// characters and the terminator).
const size_t kPathBufferSize = 1024;

// CSIDL number that GetSpecialFolderPath maps to the program's own folder.
const int kCsidlProgramFolder = 128;

// Whether path is full: a share ("\\\\server\\...") or a drive with its root
// folder ("C:\\..."). Anything else is taken against the current folder.
bool IsAbsolutePath(const char* path);
bool IsAbsolutePath(const wchar_t* path);

// Whether two names are one name to the file system: compared ordinal,
// ignoring case, as Windows' file systems compare them (a linguistic
// comparison could call two different files equal). ANSI names are compared
// by their wide form.
bool SameFileName(const std::wstring& a, const std::wstring& b);
bool SameFileName(const std::string& a, const std::string& b);

// The part of path that has no exact ANSI form: the path up to and with its
// first component without one (so a folder so named stands for everything
// below it); empty when the whole path has one.
std::wstring UnnamablePart(const std::wstring& path);

int GetPathType(const char* path);
int CreateFolderTree(const char* path);
int GetParentFolder(const char* path, char* buffer, size_t size);
int GetModuleFolder(char* buffer, size_t size);
// The folder (no trailing backslash) of a module by its wide path; NULL is
// the program itself.
bool GetModuleFolder(HMODULE module, std::wstring* folder);
int GetSpecialFolderPath(HWND owner, int csidl, char* buffer, size_t size);
// An ANSI path that names the same file or folder: its exact ANSI form, or,
// when it holds names beyond the code page (a user name in Korean, say), its
// short form, which is ASCII where the volume keeps short names. false when
// neither fits.
bool GetAnsiPathName(const wchar_t* path, char* buffer, size_t size);

int MakeTempName(const char* folder, const char* prefix, char* buffer, size_t size);
int MakeUniqueTempName(const char* folder, const char* prefix, const char* extension,
                       char* buffer, size_t size);
// The same name, created empty at once: programs started in the same
// millisecond read the same clock value, and a name only checked could be
// taken by another before it is created.
int CreateUniqueTempFile(const char* folder, const char* prefix, const char* extension, char* buffer, size_t size);
// The same in a folder named by its wide path (the user's temporary folder
// may hold a name beyond the ANSI code page); the name itself is ASCII.
bool MakeUniqueTempName(const std::wstring& folder, const char* prefix, const char* extension, std::wstring* path);
int ReplaceExtension(const char* path, const char* extension, char* buffer, size_t size);
// The same for a path whose text need not name it on disk (an ANSI stand-in
// for a wide name): the caller says whether it is an existing folder.
int ReplaceExtensionOf(const char* path, bool isFolder, const char* extension, char* buffer, size_t size);
int GetExtension(const char* path, char* buffer, size_t size);

int RemoveTrailingNewline(char* text);
int RemoveTrailingBackslash(char* text);
int ReplaceChar(char* text, char from, char to);
int ParseBool(const char* text);
const char* FormatBool(int value);

int BrowseForFolder(HWND owner, const char* title, char* buffer, size_t size);
// The same with initialFolder selected when the browser opens (none when empty).
int BrowseForFolder(HWND owner, const char* title, const char* initialFolder, char* buffer, size_t size);

// The value MakeTempName derives from a UTC clock reading (exposed for tests).
unsigned int TempNameValue(const SYSTEMTIME& utc);
