#pragma once

#include "archivers/formats/ArcFamily.h"
#include "archivers/lists/BaseFolderListFiles.h"
#include "archivers/dlls/Cab32Dll.h"

// Cabinet files through Cab32.dll (id 4); reads and writes the "CAB" section.
class CArcCab : public CArcFamily<CCab32Dll, CBaseFolderListFiles>
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

    const CBaseFolderListFiles::CMap& ListFiles() const { return m_lists.Files(); }

protected:
    // "-a ", the options, the quoted output path and a space, then every base
    // folder with its list file.
    void BuildCabCommand(const std::string& outputPath, std::string* commandLine) const;
};
