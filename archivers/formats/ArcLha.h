#pragma once

#include "archivers/formats/ArcFamily.h"
#include "archivers/lists/SingleListFile.h"
#include "archivers/dlls/Unlha32Dll.h"

// LHA archives through Unlha32.dll (id 6); reads and writes the "LHA" section.
class CArcLha : public CArcFamily<CUnlha32Dll, CSingleListFile>
{
public:
    int Init() override;
    int IsUsed() override;
    int GetPageCount() override;
    int CreatePage(CPageRequest* request, int index) override;
    int WriteSettings(CIniFile& ini) override;
    int ReadSettings(int layoutVersion, const char* iniPath) override;
    // "\"base\\\" \"relative\" -x1" and a line end.
    int AddFile(const char* path, const char* baseFolder) override;
    int Run(HWND owner, char* buffer, size_t size) override;

    const std::string& ListFile() const { return m_lists.Path(); }

protected:
    // "a ", the options, the quoted output path and the quoted list file; no
    // trailing space.
    void BuildLhaCommand(const std::string& outputPath, std::string* commandLine) const;
};
