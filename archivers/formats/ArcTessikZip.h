#pragma once

#include "archivers/dlls/TessikZipDll.h"
#include "archivers/formats/ArcFamily.h"
#include "archivers/lists/BaseFolderListFiles.h"

#include <string>

// ZIP archives through the program's own TessikZip.dll (id 3); reads and
// writes the "TZIP" section. The DLL's "a" creates the archive or adds to it.
class CArcTessikZip : public CArcFamily<CTessikZipDll, CBaseFolderListFiles>
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
    // The DLL encrypts with the password's UTF-8 bytes (AES) or its ANSI
    // bytes (ZipCrypto) whatever its mode, converting the text it is given.
    bool PasswordBytesFollowUnicodeMode() const override { return false; }

    const CBaseFolderListFiles::CMap& ListFiles() const { return m_lists.Files(); }

protected:
    // "a ", the switches, the quoted output path and a space, then every base
    // folder with its list file.
    void BuildTessikZipCommand(const std::string& outputPath, std::string* commandLine) const;
};
