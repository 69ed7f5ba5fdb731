#pragma once

#include "common/TextFile.h"

#include <string>

// One list file for the whole job; the builder writes its own line format.
class CSingleListFile
{
public:
    // Creates and opens a fresh list file; 0 when it cannot be opened.
    int Begin();
    // Closes the list file; 0 when what the stream still held could not be written.
    int End();
    // Deletes the list file of the last job, if one was made.
    void Cleanup();

    CTextFile& Stream() { return m_stream; }
    const std::string& Path() const { return m_path; }

private:
    CTextFile m_stream;
    std::string m_path;
};
