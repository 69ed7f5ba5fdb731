#pragma once

#include <initializer_list>
#include <string>
#include <vector>

// The files and folders to pack, by their wide names (which may lie beyond the
// ANSI code page), in the order received. Names of the ANSI code page may be
// given as they are: they are taken converted.
class CInputList : public std::vector<std::wstring>
{
public:
    using std::vector<std::wstring>::vector;
    using std::vector<std::wstring>::operator=;
    CInputList& operator=(std::initializer_list<std::string> ansiNames);
    CInputList& operator=(const std::vector<std::string>& ansiNames);
};

// What a first argument that begins with the hand-off token asks for.
enum HandOffMode
{
    kNoHandOff,
    kHandOffCompress,
    kHandOffEach,  // one archive per item
};

// kNoHandOff unless the argument begins with the hand-off token; a token the
// program does not know by name is taken for compress mode.
HandOffMode GetHandOffMode(const wchar_t* argument);

// The fixed hand-off file name of extensions that pass no file: the temporary
// folder with its trailing backslash, formatted with "%s\\tessik_filelist.tmp"
// (so two backslashes in a row).
bool GetHandOffFilePath(std::wstring* path);
// Whether a file named on the command line may be read and deleted as a
// hand-off file: it lies directly in the temporary folder and its name begins
// with the hand-off prefix.
bool IsAcceptedHandOffFile(const wchar_t* path);
// Appends every line of the file, whole whatever its length, without its line
// end (CR LF or LF), and deletes the file. A file that begins with the UTF-8
// mark (common/HandOff.h) holds UTF-8 lines after it, any other file ANSI
// lines. false when it cannot be read.
bool ReadHandOffFile(const wchar_t* path, std::vector<std::wstring>* list);
// Fills list from the program's arguments (argv[0] is the program).
void FillInputList(int argc, wchar_t** argv, std::vector<std::wstring>* list);
