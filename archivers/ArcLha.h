#pragma once

#include "archivers/Arc.h"
#include "archivers/SingleListFile.h"
#include "archivers/Unlha32Dll.h"

// LHA archives through Unlha32.dll (id 6); reads and writes the "LHA" section.
class CArcLha : public CArc
{
public:
    int Init() override;
    int IsUsed() override;
    int GetPageCount() override;
    int CreatePage(CPageRequest* request, int index) override;
    int WriteSettings(const char* iniPath) override;
    int ReadSettings(int layoutVersion, const char* iniPath) override;
    int BeginList(CCompressJob* job) override;
    // "\"base\\\" \"relative\" -x1" and a line end.
    int AddFile(const char* path, const char* baseFolder) override;
    void EndList() override;
    int Run(HWND owner, char* buffer, size_t size) override;
    void Cleanup() override;

    const std::string& ListFile() const { return m_list.Path(); }

protected:
    // "a ", the options, the quoted output path and the quoted list file; no
    // trailing space.
    void BuildLhaCommand(const std::string& outputPath, std::string* commandLine) const;

    CUnlha32Dll m_dll;
    CSingleListFile m_list;
};
