#pragma once

#include "settings/CompressJob.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/ui/DialogScript.h"

#include <windows.h>

#include <string>
#include <vector>

// Titles of the windows a job can show.
extern const char kErrorBox[];
extern const char kOverwriteDialog[];
extern const char kPasswordDialog[];
extern const char kResultDialog[];

// Every stand-in installed and registered, a plain top-level window as the
// compress dialog that owns the job's windows, and a folder for the data.
class CJobFixture
{
public:
    explicit CJobFixture(const std::string& sevenZipScript = "version=431\ncreate=archive\n");
    ~CJobFixture();

    // Runs the job while the script answers its windows; seen receives them.
    int Run(CCompressJob* job, const std::vector<CDialogScript::CStep>& steps,
            std::vector<CDialogScript::CSeen>* seen = nullptr);
    std::vector<CStandInCall> SevenZipCalls() const;

    CStandInFormats standIns;
    CTestFolder data;
    HWND owner;
};

// Titles of the seen windows, in order.
std::vector<std::string> TitlesOf(const std::vector<CDialogScript::CSeen>& seen);
