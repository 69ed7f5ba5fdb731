#pragma once

#include "archivers/formats/ArcFamily.h"
#include "archivers/lists/BaseFolderListFiles.h"
#include "archivers/dlls/SevenZipDll.h"

// 7z archives through 7-Zip32.dll (id 0). Also the parent of the 7-Zip32 ZIP
// and 7z self-extracting builders, which share its list files, its run step
// and the "7-ZIP" settings section it alone reads and writes.
class CArc7Zip : public CArcFamily<CSevenZipDll, CBaseFolderListFiles>
{
public:
    int Init() override;
    int IsUsed() override;
    int GetPageCount() override;
    int CreatePage(CPageRequest* request, int index) override;
    int WriteSettings(CIniFile& ini) override;
    int ReadSettings(int layoutVersion, const char* iniPath) override;
    int AddFile(const char* path, const char* baseFolder) override;
    int Run(HWND owner, char* buffer, size_t size) override;
    void BuildCommand(const char* outputPath, std::string* commandLine) override;
    // With a password and header encryption on (also in a command of the
    // user's own), the 7z's directory is encrypted too.
    bool NamesNeedPassword() const override;

    const CBaseFolderListFiles::CMap& ListFiles() const { return m_lists.Files(); }

protected:
    // Binds 7-Zip32.dll for the probe: "available".
    void ProbeDll();
    // The line's tail: every base folder with its list file, in map order.
    void AppendListFiles(std::string* commandLine) const;
    // The list files' character set switch of a job in the DLL's UTF-8 mode.
    std::string ListCharsetSwitch() const;
    // The password switch "\"-p<password>\" " when the job wants one.
    void AppendPassword(std::string* options) const;
};
