#pragma once

#include <string>
#include <vector>

// The files and folders to pack, in the order received; filled once at start-up.
extern std::vector<std::string> g_inputList;

// The hand-off file name: the temporary folder with its trailing backslash,
// formatted with "%s\\tessik_filelist.tmp" (so two backslashes in a row).
bool GetHandOffFilePath(std::string* path);
// Appends every line of the file (each read at most 1023 bytes at a time, one
// trailing line feed removed) and deletes the file. false when it cannot be opened.
bool ReadHandOffFile(const char* path, std::vector<std::string>* list);
// Fills list from the program's arguments (argv[0] is the program).
void FillInputList(int argc, char** argv, std::vector<std::string>* list);
// The command-line token that selects the hand-off file.
extern const char kHandOffToken[];
