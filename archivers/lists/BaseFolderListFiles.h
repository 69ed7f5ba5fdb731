#pragma once

#include "common/TextFile.h"

#include <map>
#include <string>

// One list file per base folder: every file is listed by its path relative to
// its base folder, so the command line can name each base folder once.
class CBaseFolderListFiles
{
public:
    typedef std::map<std::string, std::string> CMap;  // base folder -> list file

    // Forgets the previous job's map (its files are Cleanup's business); 1.
    int Begin();
    // Adds "\"relative path\"" and a line end to the base folder's list file.
    // 0 when the list file cannot be opened or written. Lines are held and
    // written in large pieces: a stream call per line costs more than the walk
    // that finds the file.
    int Add(const char* path, const char* baseFolder);
    // Writes what is held and closes the list file; 0 when that failed.
    int End();
    // Deletes every list file of the map; failures are ignored.
    void Cleanup();

    // In ascending byte order of the base folder text.
    const CMap& Files() const { return m_files; }

private:
    // Hands the held lines to the stream; false when they could not be written.
    bool Flush();

    CTextFile m_stream;
    std::string m_pending;
    std::string m_currentBase;
    CMap m_files;
};

// The folder list files are written to, without a trailing backslash.
bool GetListFileFolder(std::string* folder);
// A fresh list file "res" + eight hexadecimal digits + ".tmp" in that folder,
// created empty so that no other instance can take its name.
bool MakeListFileName(std::string* path);
// The part of path after baseFolder and its backslash.
const char* RelativeToBase(const char* path, const char* baseFolder);
