#pragma once

#include "archivers/formats/Arc.h"
#include "job/JobCallback.h"
#include "job/LongStep.h"

#include <windows.h>

#include <string>
#include <vector>

struct CCompressJob;

// One file the job handed to the builder, by the name the archive stores it
// under: its path relative to its base folder.
struct CExpectedFile
{
    std::wstring name;
    ULONGLONG size;
};

// Reads a job's new archive back through its format's DLL and compares it
// with what the job gave: every file once, with its size, under its stored
// name; when adding, the entries that were there before too; and the DLL's
// full check of the data. Window-free: the facts go into a CReadBack.
class CReadBackCheck
{
public:
    CReadBackCheck(CArc* arc, const CCompressJob* job) : m_arc(arc), m_job(job) {}

    // Before a run that adds to the archive: the entries already there;
    // false when progress was stopped while they were read.
    bool ReadOldEntries(CJobProgress* progress);
    // After a run that reported success. Each entry read counts in
    // progress, and a stop there ends the check as failed and stopped.
    CReadBack Check(const std::vector<CExpectedFile>& given, CJobProgress* progress) const;

private:
    void Note(CReadBack* facts, EReadBackNote note) const;

    CArc* m_arc;
    const CCompressJob* m_job;
    std::vector<CArchiveFile> m_old;
    bool m_oldRead = false;
    bool m_oldUnread = false;
};

// The differences between what the archive holds and what it should, in the
// order missing, size, doubled, extra; at most limit of them are kept in
// *differences, the count of all is returned. Names compare as the format
// with that id compares them.
size_t CompareArchive(int formatId, const std::vector<CExpectedFile>& given, const std::vector<CArchiveFile>& before,
                      const std::vector<CArchiveFile>& after, size_t limit,
                      std::vector<CArchiveDifference>* differences);
