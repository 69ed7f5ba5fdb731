#pragma once

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
    kPreviewOut,    // the filter list leaves it out
    kPreviewError,  // the job could not take it, or would stop on it
};

// Why a row is an error row (CPreviewRow::problem).
enum EPreviewProblem
{
    kProblemNone,
    kProblemUndecided,   // the library gave up on the name with the row's definition
    kProblemMissing,     // a selected item that does not exist
    kProblemUnlistable,  // a folder whose listing failed (error holds the platform's code)
    kProblemTooLong,     // a path that does not fit the program's path buffer
    kProblemUnnamable,   // a name the ANSI code page cannot hold
};

struct CPreviewRow
{
    // Relative to the base folder of its input entry; an error row of the walk's
    // report holds the whole path. Characters without an ANSI form show as "?".
    std::string path;
    ULONGLONG size;
    int state;
    // The definition that decided (index in the list's Definitions), -1 for none.
    int definition;
    int problem;
    DWORD error;
};

struct CPreviewTotals
{
    size_t inCount = 0;
    ULONGLONG inSize = 0;
    size_t outCount = 0;
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

    // The result of CollectFiles for the walk (kFilesSinkRefused after Stop).
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
