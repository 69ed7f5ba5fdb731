#pragma once

#include "common/FileBytes.h"
#include "common/ZipDirectory.h"
#include "dllkit/CommandEntry.h"
#include "dllkit/SourceList.h"
#include "tessikzip/ZipCommand.h"
#include "dllkit/DllFailure.h"
#include "tessikzip/ZipOutput.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// Writes one archive: the entries of an archive already there, kept byte for
// byte, and the new entries, compressed on a pool of threads and written in
// list order. Everything goes to a temporary file beside the archive, which
// takes the archive's place only when complete. Run works on the calling
// thread; Cancel and the progress queries may come from another one.
class CZipWriter : public IArchiveWriter
{
public:
    CZipWriter(const CZipCommand& command, const CSourceList& items);
    ~CZipWriter() override;

    // kNone when the archive is in place; else *subject names what failed
    // and SystemError gives the system's reason where there is one.
    EDllFailure Run(std::wstring* subject) override;
    DWORD SystemError() const override { return m_systemError; }
    void Cancel() override { InterlockedExchange(&m_cancelled, 1); }

    size_t Total() const override { return m_items.Count(); }
    size_t Done() const override { return static_cast<size_t>(InterlockedCompareExchange(&m_done, 0, 0)); }
    // The name of the entry written last.
    std::wstring LatestName() const override;
    size_t StoredFiles() const override { return m_files; }
    size_t StoredFolders() const override { return m_folders; }

private:
    CZipWriter(const CZipWriter&) = delete;
    CZipWriter& operator=(const CZipWriter&) = delete;

    bool IsCancelled() const { return InterlockedCompareExchange(&m_cancelled, 0, 0) != 0; }
    EDllFailure ReadOld(std::wstring* subject);
    void ChooseNames();
    EDllFailure Write(const std::wstring& temp, std::wstring* subject);
    std::string StoredName(size_t item) const;
    EDllFailure CopyOld(CZipOutput* output, CDeferredBytes* directory, ULONGLONG* entries);
    EDllFailure CopyBytes(ULONGLONG from, ULONGLONG to, CZipOutput* output);
    EDllFailure WriteNew(CZipOutput* output, CDeferredBytes* directory, ULONGLONG* entries,
                         std::wstring* subject);

    const CZipCommand& m_command;
    const CSourceList& m_items;
    bool m_utf8Names;
    std::unique_ptr<CByteFile> m_oldFile;  // held from the read to the replace
    CZipArchive m_archive;                 // the old archive, its entries those kept
    bool m_existed;
    std::string m_password;  // the bytes its scheme encrypts with
    DWORD m_systemError;
    size_t m_files;
    size_t m_folders;
    mutable LONG m_cancelled;
    mutable LONG m_done;
    mutable SRWLOCK m_nameLock;
    std::wstring m_latestName;
};
