#pragma once

#include "archivers/dlls/ArchiverDll.h"
#include "settings/SettingsLayout.h"

#include <windows.h>

#include <stddef.h>
#include <string>
#include <vector>

class CIniFile;
struct CCompressJob;
struct CPageRequest;

// What a builder tells about its format: the registry key and names, and what
// the format can do.
struct CFormatInfo
{
    int id;
    const char* name;         // stored for the default format in the settings file
    const char* extension;    // with its dot
    const char* displayName;  // the format combo boxes' text
    int selfExtracting;
    int supportsPassword;  // builders whose DLL decides set it again after the probe
    int supportsAppend;
};

// One file an archive holds, as its builder's DLL (or reader) lists it.
struct CArchiveFile
{
    std::wstring name;  // the stored path, with the separators the format stores
    ULONGLONG size;
};

// What reading an archive's directory gave.
enum class EArchiveRead
{
    Read,
    NoListing,  // the format's DLL has no listing entries
    NotOpened,  // the DLL (or reader) could not open the file as its archive
    Failed,     // the directory broke off part way
    Stopped,    // the watch stopped the listing
};

// What the DLL's full check of an archive said.
enum class EArchiveTest
{
    Passed,
    Damaged,
    NoCheck,  // nothing that checks this format is installed
};

// A format builder: knows its archiver DLL, its settings, how to collect a job's
// files into list files and how to run the DLL. The virtual slots are in the
// order the format registry and the job use them.
class CArc
{
public:
    CArc() = default;
    virtual ~CArc() = default;

    virtual int Init() { return 0; }
    virtual int IsUsed() { return 1; }
    virtual int GetPageCount() { return 0; }
    // Fills in the request for page index and has the settings dialog create it.
    virtual int CreatePage(CPageRequest* request, int index) { return 0; }
    // Non-zero when the format's section was written (a builder without a
    // section of its own has nothing to write and succeeds); 0 fails the save.
    virtual int WriteSettings(CIniFile& ini) { return 1; }
    virtual int ReadSettings(int layoutVersion, const char* iniPath) { return 0; }
    virtual int BeginList(CCompressJob* job) { return 0; }
    virtual int AddFile(const char* path, const char* baseFolder) { return 0; }
    // Finishes the list files; 0 when their last lines could not be written,
    // and the archive would then miss files.
    virtual int EndList() { return 1; }
    // Runs the archiver; 0 is success. The DLL's text output lands in buffer.
    virtual int Run(HWND owner, char* buffer, size_t size) { return -1; }
    virtual void Cleanup() {}
    // The 7-Zip32 builders only.
    virtual void BuildCommand(const char* outputPath, std::string* commandLine) {}
    // Switches the DLL's UTF-8 mode on or off for the job's run (see
    // CArchiverDll::SetUnicodeMode); 1 when the DLL took it.
    virtual int SetDllUnicodeMode(bool on) { return 0; }
    // Keeps the format's DLL loaded from the run to the end of the read back
    // (see CArchiverDll::Hold), or lets it go again.
    virtual void HoldDll(bool on) {}
    // Reading the made archive back, with the DLL in the mode of the job's
    // run. path: the archive (ANSI, as the job's output name is). The files
    // only: folder entries are left out. goOn is asked after each entry.
    virtual EArchiveRead ReadArchive(const std::string& path, std::vector<CArchiveFile>* files,
                                     const CListWatch& goOn = CListWatch())
    {
        return EArchiveRead::NoListing;
    }
    virtual EArchiveTest TestArchive(const std::string& path) { return EArchiveTest::NoCheck; }
    // Whether the job's archive can be listed only with its password (a 7z
    // whose directory is encrypted too); no listing entry asks for one.
    virtual bool NamesNeedPassword() const { return false; }
    // Whether a password the user typed is encrypted with other bytes once the
    // DLL is in its UTF-8 mode: ZIP encrypts with the password's bytes, and
    // Windows readers of a ZIP try the bytes of their own code page.
    virtual bool PasswordBytesFollowUnicodeMode() const { return false; }

    // Whether the DLL found at start offers the UTF-8 mode for this format.
    int SupportsUnicodeNames() const { return m_supportsUnicodeNames; }

    int GetId() const { return m_id; }
    const char* GetName() const { return m_name; }
    const char* GetExtension() const { return m_extension; }
    const char* GetDisplayName() const { return m_displayName; }
    int IsAvailable() const { return m_available; }
    int IsSelfExtracting() const { return m_selfExtracting; }
    int SupportsPassword() const { return m_supportsPassword; }
    int SupportsAppend() const { return m_supportsAppend; }
    CCompressJob* GetJob() const { return m_job; }

protected:
    // Init's first step: the format's fixed description.
    void Describe(const CFormatInfo& info)
    {
        m_id = info.id;
        m_name = info.name;
        m_extension = info.extension;
        m_displayName = info.displayName;
        m_selfExtracting = info.selfExtracting;
        m_supportsPassword = info.supportsPassword;
        m_supportsAppend = info.supportsAppend;
    }
    // ANSI text of the program (settings, output path, password, temporary
    // paths) as the command line of this job carries it.
    std::string JobText(const std::string& ansi) const;
    // Whether the job in hand writes its names in UTF-8 (CCompressJob::Utf8Names).
    bool Utf8Names() const;

    int m_id = -1;
    const char* m_name = "";
    const char* m_extension = "";
    const char* m_displayName = "";
    int m_available = 0;
    int m_selfExtracting = 0;
    int m_supportsPassword = 0;
    int m_supportsAppend = 0;
    int m_supportsUnicodeNames = 0;
    CCompressJob* m_job = nullptr;

private:
    CArc(const CArc&) = delete;
    CArc& operator=(const CArc&) = delete;
};

// A builder that uses the settings of the family it derives from (the DLL's
// first builder): it reads, writes and shows no settings of its own.
template <class TFamily>
class CSharesFamilySettings : public TFamily
{
public:
    int GetPageCount() override { return 0; }
    int WriteSettings(CIniFile& ini) override { return 1; }
    int ReadSettings(int layoutVersion, const char* iniPath) override { return 0; }
};
