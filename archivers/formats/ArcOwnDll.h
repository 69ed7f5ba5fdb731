#pragma once

#include "archivers/formats/ArcFamily.h"
#include "archivers/lists/BaseFolderListFiles.h"
#include "settings/CompressJob.h"

#include <string>

// Inside the own DLLs' double quotes "" stands for one quote; backslashes are
// taken as they are.
std::string OwnDllQuoted(const std::string& text);

// The builders of the program's own archiver DLLs (TessikZip.dll,
// Tessik7z.dll), which read one add command: "a ", the switches, the quoted
// archive and a space, then every base folder with its list file. The DLL's
// "a" creates the archive or adds to it.
template <class TDll>
class CArcOwnDll : public CArcFamily<TDll, CBaseFolderListFiles>
{
public:
    int AddFile(const char* path, const char* baseFolder) override { return this->m_lists.Add(path, baseFolder); }

    int Run(HWND owner, char* buffer, size_t size) override
    {
        std::string commandLine;
        BuildOwnDllCommand(this->m_job->OutputFile, &commandLine);
        this->m_dll.Load();
        int result = this->m_dll.Command(owner, commandLine.c_str(), buffer, static_cast<DWORD>(size));
        this->m_dll.Unload();
        return result;
    }

    const CBaseFolderListFiles::CMap& ListFiles() const { return this->m_lists.Files(); }

protected:
    // The format's switches for the job in hand, each followed by a space, in
    // the program's ANSI text.
    virtual std::string Switches() const = 0;

    // The password switch "\"-p<password>\" " when the job uses one, else empty.
    std::string PasswordSwitch() const
    {
        return this->m_job->UsePassword ? OwnDllQuoted("-p" + this->m_job->Password) + " " : std::string();
    }

    void BuildOwnDllCommand(const std::string& outputPath, std::string* commandLine) const
    {
        *commandLine = this->JobText("a " + Switches() + OwnDllQuoted(outputPath) + " ");
        const CBaseFolderListFiles::CMap& files = this->m_lists.Files();
        for (CBaseFolderListFiles::CMap::const_iterator entry = files.begin(); entry != files.end(); ++entry)
            *commandLine += "\"" + entry->first + "\\\" \"@" + this->JobText(entry->second) + "\" ";
    }
};
