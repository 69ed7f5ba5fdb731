#pragma once

#include "common/FileBytes.h"
#include "dllkit/DllFailure.h"
#include "dllkit/CommandEntry.h"
#include "dllkit/SourceList.h"
#include "tessik7z/SevenZipArchive.h"
#include "tessik7z/SevenZipCommand.h"

#include <windows.h>

#include <memory>

class CSevenZipAes;
#include <string>
#include <vector>

// Writes one 7z archive: the folders of an archive already there that keep
// all their files, copied as they are; the files of the others and the new
// ones, compressed in blocks on a pool of threads; then the header. All of
// it goes to a temporary file beside the archive, which takes the
// archive's place only when complete. Run works on the calling thread;
// Cancel and the progress queries may come from another one.
class CSevenZipWriter : public IArchiveWriter
{
public:
    CSevenZipWriter(const CSevenZipCommand& command, const CSourceList& items);
    ~CSevenZipWriter() override;

    // kNone when the archive is in place; else *subject names what failed
    // and SystemError gives the system's reason where there is one.
    EDllFailure Run(std::wstring* subject) override;
    DWORD SystemError() const override { return m_systemError; }
    void Cancel() override { InterlockedExchange(&m_cancelled, 1); }

    size_t Total() const override { return m_items.Count(); }
    size_t Done() const override { return static_cast<size_t>(InterlockedCompareExchange(&m_done, 0, 0)); }
    // The name of the file read last.
    std::wstring LatestName() const override;
    size_t StoredFiles() const override { return m_files; }
    size_t StoredFolders() const override { return m_folders; }

private:
    CSevenZipWriter(const CSevenZipWriter&) = delete;
    CSevenZipWriter& operator=(const CSevenZipWriter&) = delete;

    struct CPlan;
    class CPackedOutput;
    class CFolderPacker;
    bool IsCancelled() const { return InterlockedCompareExchange(&m_cancelled, 0, 0) != 0; }
    EDllFailure ReadOld(std::wstring* subject);
    EDllFailure Write(const std::wstring& temp, std::wstring* subject);
    EDllFailure PlanOld(CPlan* plan);
    uint64_t BytesToPack(const CPlan& plan) const;
    EDllFailure CopyOld(const CPlan& plan, CPackedOutput* output, CSevenZipArchive* archive);
    EDllFailure RepackOld(const CPlan& plan, CFolderPacker* packer, std::vector<CSevenZipEntry>* empty);
    EDllFailure PackNew(CFolderPacker* packer, std::vector<CSevenZipEntry>* empty, std::wstring* subject);
    EDllFailure WriteHeader(const CSevenZipArchive& archive, CPackedOutput* output);
    void SetLatest(const std::wstring& name);

    const CSevenZipCommand& m_command;
    const CSourceList& m_items;
    std::unique_ptr<CByteFile> m_oldFile;  // held from the read to the replace
    CSevenZipArchive m_old;
    std::unique_ptr<CSevenZipAes> m_aes;  // with a password
    bool m_existed;
    DWORD m_systemError;
    size_t m_files;
    size_t m_folders;
    mutable LONG m_cancelled;
    mutable LONG m_done;
    mutable SRWLOCK m_nameLock;
    std::wstring m_latestName;
};
