#include "archivers/formats/Arc7ZipZip.h"

#include "archivers/formatsettings/SevenZipSettings.h"
#include "settings/CompressJob.h"

#include <stdio.h>

int CArc7ZipZip::Init()
{
    Describe({2, "7ZIP", ".zip", "7-Zip32.dll　-　ZIP書庫(*.zip)", 0, 1, 1});
    ProbeDll();
    ProbeUnicodeMode();
    m_dll.Unload();
    return m_available;
}

void CArc7ZipZip::BuildCommand(const char* outputPath, std::string* commandLine)
{
    const CSevenZipSettings& settings = g_sevenZipSettings;
    std::string options;
    if (!m_job->Setting.StatusDialog)
        options += "-hide ";
    AppendPassword(&options);
    char numbers[96];
    snprintf(numbers, sizeof(numbers), "-mx=%d ", settings.SevenZipMode);
    options += numbers;
    options += "-mm=" + settings.SevenZipAlgorithm + " ";
    snprintf(numbers, sizeof(numbers), "-mfb=%u -mpass=%u ", settings.SevenZipFastBytes,
             settings.SevenZipPasses);
    options += numbers;

    *commandLine = JobText("a -tzip " + options + ListCharsetSwitch() + "\"" + outputPath + "\" ");
    AppendListFiles(commandLine);
}
