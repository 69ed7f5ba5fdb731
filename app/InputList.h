#pragma once

#include <string>
#include <vector>

// The files and folders to pack, in the order received; filled once at start-up.
extern std::vector<std::string> g_inputList;

// What a first argument that begins with the hand-off token asks for.
enum HandOffMode
{
    kNoHandOff,
    kHandOffCompress,
    kHandOffEach,  // one archive per item
};

// kNoHandOff unless the argument begins with the hand-off token; a token the
// program does not know by name is taken for compress mode.
HandOffMode GetHandOffMode(const char* argument);

// The fixed hand-off file name of extensions that pass no file: the temporary
// folder with its trailing backslash, formatted with "%s\\tessik_filelist.tmp"
// (so two backslashes in a row).
bool GetHandOffFilePath(std::string* path);
// Whether a file named on the command line may be read and deleted as a
// hand-off file: it lies directly in the temporary folder and its name begins
// with the hand-off prefix.
bool IsAcceptedHandOffFile(const char* path);
// Appends every line of the file, whole whatever its length, without its line
// feed (text mode, so CR LF arrives as LF), and deletes the file. false when it
// cannot be opened.
bool ReadHandOffFile(const char* path, std::vector<std::string>* list);
// Fills list from the program's arguments (argv[0] is the program).
void FillInputList(int argc, char** argv, std::vector<std::string>* list);
