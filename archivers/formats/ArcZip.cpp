#include "archivers/formats/ArcZip.h"

#include "common/TextConvert.h"
#include "common/ZipDirectory.h"

#include "archivers/lists/BaseFolderListFiles.h"
#include "archivers/formats/PageRequest.h"
#include "archivers/formatsettings/ZipSettings.h"
#include "settings/CompressJob.h"

#include <stdio.h>

int CArcZip::Init()
{
    Describe({8, "ZIP", ".zip", "Zip32j.dll　-　ZIP書庫(*.zip)", 0, 0, 1});
    m_available = m_dll.Load();
    ProbeUnicodeMode();
    // QueryEncryption unloads the DLL; GetVersion loads it again.
    m_supportsPassword = m_dll.QueryEncryption() ? 1 : 0;
    g_zipSettings.Version = m_dll.GetVersion();
    m_dll.Unload();
    return m_available;
}

int CArcZip::IsUsed()
{
    return g_zipSettings.Use ? 1 : 0;
}

int CArcZip::GetPageCount()
{
    return 1;
}

int CArcZip::CreatePage(CPageRequest* request, int index)
{
    if (index != 0)
        return 0;
    request->Caption = "Zip32j.dll";
    return request->CreatePage(kPageZip);
}

int CArcZip::WriteSettings(CIniFile& ini)
{
    return WriteZipSettings(ini);
}

int CArcZip::ReadSettings(int layoutVersion, const char* iniPath)
{
    return ReadZipSettings(layoutVersion, iniPath);
}

int CArcZip::AddFile(const char* path, const char* baseFolder)
{
    return m_lists.Stream().Print("\"%s\\\" \"%s\"\n", baseFolder, RelativeToBase(path, baseFolder)) >= 0;
}

void CArcZip::BuildZipCommand(const std::string& outputPath, std::string* commandLine) const
{
    const CZipSettings& settings = g_zipSettings;
    std::string options;
    // The job's own flag and action, also for the temporary archive of the
    // self-extracting form.
    if (m_job->OutputExists && m_job->Setting.OverWriteAction == kOverwriteAppend)
        options += "-u ";
    char level[32];
    snprintf(level, sizeof(level), "-%d ", settings.ZipMode);
    options += level;
    if (!m_job->Setting.StatusDialog)
        options += "-q ";
    options += "-S ";
    if (settings.Crlf2Lf)
        options += "-ll ";
    if (settings.Lf2Crlf)
        options += "-l ";
    if (m_job->UsePassword)
        options += "-P \"" + m_job->Password + "\" ";
    *commandLine = JobText(options + "\"" + outputPath + "\" \"@" + m_lists.Path() + "\"");
}

int CArcZip::Run(HWND owner, char* buffer, size_t size)
{
    std::string commandLine;
    BuildZipCommand(m_job->OutputFile, &commandLine);
    m_dll.Load();
    int result = m_dll.Command(owner, commandLine.c_str(), buffer, static_cast<DWORD>(size));
    m_dll.Unload();
    return result;
}

EArchiveRead CArcZip::ReadArchive(const std::string& path, std::vector<CArchiveFile>* files, const CListWatch& goOn)
{
    files->clear();
    std::vector<CZipEntry> entries;
    if (!ReadZipEntries(AnsiToWide(path), &entries))
    {
        // A self-extracting program that is no ZIP with a stub is not ours
        // to judge; an archive without a directory is damaged.
        return IsSelfExtracting() ? EArchiveRead::NotOpened : EArchiveRead::Failed;
    }
    for (const CZipEntry& entry : entries)
    {
        if (!IsZipFolder(entry))
            files->push_back(CArchiveFile{ZipEntryName(entry), entry.size});
        if (goOn && !goOn())
            return EArchiveRead::Stopped;
    }
    return EArchiveRead::Read;
}

EArchiveTest CArcZip::TestArchive(const std::string& path)
{
    // 7-Zip32.dll in its own mode: the path has its ANSI form.
    if (!m_checker.Load())
        return EArchiveTest::NoCheck;
    EArchiveTest result = EArchiveTest::NoCheck;
    if (m_checker.HasCheckArchive())
        result = m_checker.CheckArchive(path.c_str(), CHECKARCHIVE_FULLCRC) ? EArchiveTest::Passed
                                                                            : EArchiveTest::Damaged;
    m_checker.Unload();
    return result;
}
