#pragma once

#include <string>
#include <vector>

// Splits a command line of the Common Archiver API into words: spaces
// separate, a double quote opens or closes a quoted part. The program quotes
// whole words (and the list file after "-ir-"), so a quote that closes in the
// middle of a word, or one that never closes, means the words cannot be told
// apart (a password with a double quote in it): false then, and nothing is
// guessed. Space and double quote are never Shift_JIS trail bytes.
bool SplitCommandLine(const std::string& line, std::vector<std::string>* words);

// The lines of a list file (CR LF or LF), empty lines left out. False when
// the file cannot be read.
bool ReadListLines(const std::string& path, std::vector<std::string>* lines);

// A base folder as the program writes it ("C:\data\"): true with the folder
// itself in *folder.
bool TakeBaseFolder(const std::string& word, std::string* folder);
