#pragma once

#include "archivers/formats/Arc.h"

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

protected:
    // At start, with the DLL loaded: whether the format can take names beyond
    // the ANSI code page. The self-extracting builders do not ask: what their
    // program shows on an unknown machine is not known.
    void ProbeUnicodeMode() { m_supportsUnicodeNames = m_dll.HasUnicodeMode() ? 1 : 0; }

    TDll m_dll;
    TLists m_lists;
};
