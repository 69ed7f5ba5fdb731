#pragma once

#include "archivers/dlls/ArchiverDll.h"
#include "archivers/formats/Arc.h"
#include "common/TextConvert.h"

// The first builder of an archiver DLL's family, and the base of the family's
// other builders: the DLL binding and the job's list files, which every
// builder of the family shares. TLists is CBaseFolderListFiles or
// CSingleListFile; how a file's line reads is each format's own AddFile.
template <class TDll, class TLists>
class CArcFamily : public CArc
{
public:
    int BeginList(CCompressJob* job) override
    {
        if (!m_lists.Begin())
            return 0;
        m_job = job;
        return 1;
    }
    int EndList() override { return m_lists.End(); }
    void Cleanup() override { m_lists.Cleanup(); }
    int SetDllUnicodeMode(bool on) override { return m_dll.SetUnicodeMode(on); }
    void HoldDll(bool on) override { m_dll.Hold(on); }

    EArchiveRead ReadArchive(const std::string& path, std::vector<CArchiveFile>* files,
                             const CListWatch& goOn = CListWatch()) override
    {
        files->clear();
        std::vector<CListedEntry> entries;
        switch (m_dll.ListArchive(JobText(path).c_str(), &entries, goOn))
        {
        case EListResult::Listed:
            break;
        case EListResult::NoListing:
            return EArchiveRead::NoListing;
        case EListResult::NotOpened:
            return EArchiveRead::NotOpened;
        case EListResult::Failed:
            return EArchiveRead::Failed;
        case EListResult::Stopped:
            return EArchiveRead::Stopped;
        }
        bool utf8 = Utf8Names();
        for (const CListedEntry& entry : entries)
        {
            std::wstring name = utf8 ? Utf8ToWide(entry.name) : AnsiToWide(entry.name);
            bool folderName = !name.empty() && (name.back() == L'\\' || name.back() == L'/');
            if (!entry.folder && !folderName)
                files->push_back(CArchiveFile{name, entry.size});
        }
        return EArchiveRead::Read;
    }
    EArchiveTest TestArchive(const std::string& path) override
    {
        if (!m_dll.Load())
            return EArchiveTest::NoCheck;
        EArchiveTest result = EArchiveTest::NoCheck;
        if (m_dll.HasCheckArchive())
            result = m_dll.CheckArchive(JobText(path).c_str(), CHECKARCHIVE_FULLCRC) ? EArchiveTest::Passed
                                                                                     : EArchiveTest::Damaged;
        m_dll.Unload();
        return result;
    }

protected:
    // At start, with the DLL loaded: whether the format can take names beyond
    // the ANSI code page. The self-extracting builders do not ask: what their
    // program shows on an unknown machine is not known.
    void ProbeUnicodeMode() { m_supportsUnicodeNames = m_dll.HasUnicodeMode() ? 1 : 0; }

    TDll m_dll;
    TLists m_lists;
};
