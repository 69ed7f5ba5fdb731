#include "filters/FilterPreview.h"

#include "common/PathUtil.h"
#include "common/TextConvert.h"
#include "filters/FileList.h"
#include "filters/GitIgnore.h"

#include <string.h>

namespace {

// The part of path below baseFolder and the backslash after it.
std::wstring BelowBase(const std::wstring& path, const std::wstring& baseFolder)
{
    size_t baseLength = baseFolder.size();
    if (baseLength == 0 || path.compare(0, baseLength, baseFolder) != 0)
        return path;
    if (baseLength < path.size() && path[baseLength] == L'\\')
        ++baseLength;
    return path.substr(baseLength);
}

int RowState(int verdict)
{
    switch (verdict)
    {
    case kWalkTaken:
        return kPreviewIn;
    case kWalkFiltered:
    case kWalkIgnored:
        return kPreviewOut;
    }
    return kPreviewError;
}

CPreviewRow ErrorRow(const std::wstring& path, EFileProblem problem, DWORD error)
{
    CPreviewRow row;
    row.path = WideToShiftJis(path);
    row.size = 0;
    row.state = kPreviewError;
    row.definition = -1;
    row.problem = problem;
    row.error = error;
    return row;
}

}  // namespace

int CFilterPreview::Walk(CCompressJob* job, const std::vector<std::wstring>& inputs, const CProgress& progress,
                         size_t progressStep)
{
    m_rows.clear();
    size_t nextProgress = progressStep;
    CWalkReport report;
    std::vector<std::wstring> unnamable;
    int result = CollectFiles(
        job, inputs,
        [&](const CWalkFile& file) {
            if (m_stop)
                return false;
            if (file.verdict == kWalkTaken)
            {
                // A name without an ANSI form stops the job of a format that
                // cannot store it: the preview shows it as the job would refuse it.
                std::wstring part = UnnamablePart(file.path);
                if (!part.empty())
                {
                    if (unnamable.empty() || unnamable.back() != part)
                        unnamable.push_back(part);
                    return true;
                }
            }
            CPreviewRow row;
            row.path = WideToShiftJis(BelowBase(file.path, file.baseFolder));
            row.size = file.size;
            row.state = RowState(file.verdict);
            row.definition = file.definition;
            row.problem = file.verdict == kWalkUndecided ? kProblemUndecided : kProblemNone;
            row.error = 0;
            if (file.verdict == kWalkIgnored)
            {
                row.ignored = true;
                if (file.rule != nullptr)
                    row.rule = WideToShiftJis(file.rule->Reason());
                row.folder = file.isFolder;
                row.heldFiles = file.heldFiles;
            }
            m_rows.push_back(std::move(row));
            if (progress && m_rows.size() >= nextProgress)
            {
                progress(m_rows.size());
                nextProgress += progressStep;
            }
            return true;
        },
        &report, kWalkCountIgnored);

    // What the job would refuse or ask about before its archiver runs: the
    // preview shows it where the user looks for the file.
    for (const std::wstring& path : unnamable)
        m_rows.push_back(ErrorRow(path, kProblemUnnamable, 0));
    for (const CLeftOutEntry& entry : report.leftOut)
        m_rows.push_back(ErrorRow(entry.path, entry.reason, entry.error));
    if ((result == kFilesCollected || result == kFilesNone) && !unnamable.empty())
        return kFilesUnnamable;
    return result;
}

CPreviewTotals CFilterPreview::Totals() const
{
    CPreviewTotals totals;
    for (const CPreviewRow& row : m_rows)
    {
        if (row.state == kPreviewIn)
        {
            ++totals.inCount;
            totals.inSize += row.size;
        }
        else if (row.state == kPreviewOut)
        {
            totals.outCount += row.folder ? static_cast<size_t>(row.heldFiles) : 1;
            totals.outSize += row.size;
        }
        else
        {
            ++totals.errorCount;
        }
    }
    return totals;
}
