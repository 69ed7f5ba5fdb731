#pragma once

#include "archivers/formats/ArcFamily.h"
#include "archivers/lists/SingleListFile.h"
#include "archivers/dlls/SevenZipDll.h"
#include "archivers/dlls/Zip32jDll.h"

// ZIP archives through Zip32j.dll (id 8); reads and writes the "ZIP" section.
// Password support is whatever the DLL reports.
class CArcZip : public CArcFamily<CZip32jDll, CSingleListFile>
{
public:
    int Init() override;
    int IsUsed() override;
    int GetPageCount() override;
    int CreatePage(CPageRequest* request, int index) override;
    int WriteSettings(CIniFile& ini) override;
    int ReadSettings(int layoutVersion, const char* iniPath) override;
    // "\"base\\\" \"relative\"" and a line end.
    int AddFile(const char* path, const char* baseFolder) override;
    int Run(HWND owner, char* buffer, size_t size) override;
    bool PasswordBytesFollowUnicodeMode() const override { return true; }
    // Zip32j.dll lists nothing: the central directory is read here, and the
    // full check is 7-Zip32.dll's, when that is installed.
    EArchiveRead ReadArchive(const std::string& path, std::vector<CArchiveFile>* files,
                             const CListWatch& goOn = CListWatch()) override;
    EArchiveTest TestArchive(const std::string& path) override;

    const std::string& ListFile() const { return m_lists.Path(); }

protected:
    // The options, the quoted output path and the quoted list file; no command
    // word and no trailing space.
    void BuildZipCommand(const std::string& outputPath, std::string* commandLine) const;

private:
    CSevenZipDll m_checker;
};
