#pragma once

#include "settings/CompressJob.h"
#include "tests/support/StandInJournal.h"
#include "tests/support/TestFolder.h"

#include <string>
#include <vector>

// Every stand-in file a full installation has.
extern const std::vector<std::string> kAllStandIns;
// kAllStandIns and the program's own TessikZip.dll and Tessik7z.dll.
extern const std::vector<std::string> kAllStandInsAndOwnDlls;
// 7-Zip32.dll and its three self-extracting modules.
extern const std::vector<std::string> kSevenZipStandIns;

// Stand-in archiver DLLs in a fresh folder that is the DLL directory while the
// object lives, so bare-name loads find them as they find DLLs beside the
// program. The destructor destroys the registered formats (releasing every
// DLL) and restores the default search order.
class CStandInFormats
{
public:
    explicit CStandInFormats(const std::vector<std::string>& files, const std::string& variant = "default");
    ~CStandInFormats();

    void Script(const std::string& dll, const std::string& script) const;
    // RegisterAllFormats() with fresh format settings.
    int Register() const;
    // Registered ids in ascending order.
    std::vector<int> RegisteredIds() const;
    std::vector<CStandInCall> Calls(const std::string& dll, const std::string& entry) const;
    void ResetJournal(const std::string& dll) const;

    const std::string& Folder() const { return m_folder.Path(); }

private:
    CTestFolder m_folder;
};

// Points the process's temporary folder (TMP and TEMP) elsewhere while it lives.
class CTempFolderOverride
{
public:
    explicit CTempFolderOverride(const std::string& folder);
    ~CTempFolderOverride();

private:
    std::string m_tmp;
    std::string m_temp;
};

// A job for format id with the default settings.
CCompressJob MakeJob(int formatId, const std::string& outputFile);
