#pragma once

#include <windows.h>

#include <stddef.h>
#include <string>

class CArchiverDll;

// Results of a self-extracting run that stopped on our side rather than in the
// DLL; the text in the output buffer says what happened.
const int kSfxNoTemporaryName = -2;  // no free temporary name next to the output
const int kSfxProgramNotMade = -3;   // the DLL reported success but made no program
const int kSfxProgramNotRenamed = -4;  // the program could not take the output name

// The self-extracting run of the CAB, LHA and ZIP builders: an archive under a
// temporary name next to the output, a second DLL call that turns it into a
// program under the same name with ".exe", then the archive is deleted and the
// program renamed to the output name.
class CSelfExtractingRun
{
public:
    // Output folder and a temporary archive name (prefix, eight hexadecimal
    // digits, extension) in it whose program name is free as well. 0 when no
    // name can be made; buffer then holds the reason.
    int ChooseNames(const std::string& outputPath, const char* prefix, const char* extension, char* buffer,
                    size_t size);

    // Runs both command lines on dll with the same owner and buffer, releases the
    // DLL and leaves only the program under outputPath behind. Returns the
    // failing command's result, the second command's result, or one of the
    // kSfx results above.
    int Run(CArchiverDll* dll, HWND owner, const std::string& archiveLine, const std::string& programLine,
            char* buffer, size_t size) const;

    const std::string& Folder() const { return m_folder; }
    const std::string& Archive() const { return m_archive; }
    const std::string& Program() const { return m_program; }

private:
    std::string m_outputPath;
    std::string m_folder;
    std::string m_archive;
    std::string m_program;
};
