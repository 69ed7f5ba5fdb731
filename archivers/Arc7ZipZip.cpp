#include "archivers/Arc7ZipZip.h"

#include "app/CompressJob.h"
#include "archivers/SevenZipSettings.h"

#include <stdio.h>

int CArc7ZipZip::Init()
{
    m_id = 2;
    m_name = "7ZIP";
    m_extension = ".zip";
    m_displayName = "7-Zip32.dll　-　ZIP書庫(*.zip)";
    m_selfExtracting = 0;
    m_supportsAppend = 1;
    ProbeDll();
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

    *commandLine = "a -tzip " + options + "\"" + outputPath + "\" ";
    AppendListFiles(commandLine);
}
