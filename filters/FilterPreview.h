#pragma once

#include "filters/FileList.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

struct CCompressJob;

// What a row of the preview says about its file (CPreviewRow::state).
enum EPreviewState
{
    kPreviewIn,     // the job's list files would hold it
    kPreviewOut,    // the filter list, or a rule of the tree's .gitignore files, leaves it out
    kPreviewError,  // the job could not take it, or would stop on it
};

// What CFilterPreview::Walk returns beside the results of CollectFiles: names
// the ANSI code page cannot hold were found among the files the list takes.
const int kFilesUnnamable = 5;

struct CPreviewRow
{
    // Relative to the base folder of its input entry; an error row of the walk's
    // report holds the whole path. Characters without an ANSI form show as "?".
    std::string path;
    ULONGLONG size;
    int state;
    // The definition that decided (index in the list's Definitions), -1 for none.
    int definition;
    // Why an error row is one; kProblemUndecided also marks a row the filter left out.
    EFileProblem problem;
    DWORD error;
    // Left out by the tree's .gitignore files: rule names the rule as git
    // check-ignore -v does ("sub/.gitignore:3:build/"), Shift_JIS; it is
    // empty for an entry named ".git", which git leaves out without one.
    bool ignored = false;
    std::string rule;
    // A folder a rule left out: one row, its size and heldFiles those of the
    // files below it.
    bool folder = false;
    ULONGLONG heldFiles = 0;
};

struct CPreviewTotals
{
    size_t inCount = 0;
    ULONGLONG inSize = 0;
    size_t outCount = 0;  // the files below a left-out folder counted
    ULONGLONG outSize = 0;
    size_t errorCount = 0;
};

// Walks inputs with a job's filter list through CollectFiles, exactly as the
// job does, and keeps one row per file in memory. Walk runs on any one thread;
// Stop may be called from any other while it runs, Rows and Totals only after
// it has returned.
class CFilterPreview
{
public:
    CFilterPreview() : m_stop(false) {}

    // Called on the walking thread after every progressStep rows.
    typedef std::function<void(size_t rows)> CProgress;

    // The result of CollectFiles for the walk (kFilesSinkRefused after Stop),
    // or kFilesUnnamable.
    int Walk(CCompressJob* job, const std::vector<std::wstring>& inputs, const CProgress& progress,
             size_t progressStep);
    void Stop() { m_stop = true; }
    bool Stopped() const { return m_stop; }

    const std::vector<CPreviewRow>& Rows() const { return m_rows; }
    CPreviewTotals Totals() const;

private:
    CFilterPreview(const CFilterPreview&) = delete;
    CFilterPreview& operator=(const CFilterPreview&) = delete;

    std::atomic<bool> m_stop;
    std::vector<CPreviewRow> m_rows;
};
