#pragma once

#include <windows.h>

#include <stddef.h>
#include <string>

struct CCompressJob;
struct CPageRequest;  // settings-dialog page request (settings pages)

// Layout versions passed to ReadSettings.
const int kLayoutLegacy1 = 1;  // "[tessik v0.01]"
const int kLayoutLegacy2 = 2;  // "[tessik v0.02]"
const int kLayoutCurrent = 100;

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
    virtual int CreatePage(CPageRequest* request, int index) { return 0; }
    virtual int WriteSettings(const char* iniPath) { return 0; }
    virtual int ReadSettings(int layoutVersion, const char* iniPath) { return 0; }
    virtual int BeginList(CCompressJob* job) { return 0; }
    virtual int AddFile(const char* path, const char* baseFolder) { return 0; }
    virtual void EndList() {}
    // Runs the archiver; 0 is success. The DLL's text output lands in buffer.
    virtual int Run(HWND owner, char* buffer, size_t size) { return -1; }
    virtual void Cleanup() {}
    // The 7-Zip32 builders only.
    virtual void BuildCommand(const char* outputPath, std::string* commandLine) {}

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
    int m_id = -1;
    const char* m_name = "";
    const char* m_extension = "";
    const char* m_displayName = "";
    int m_available = 0;
    int m_selfExtracting = 0;
    int m_supportsPassword = 0;
    int m_supportsAppend = 0;
    CCompressJob* m_job = nullptr;

private:
    CArc(const CArc&) = delete;
    CArc& operator=(const CArc&) = delete;
};
