#include "filters/FilterPreview.h"

#include "common/TextConvert.h"
#include "filters/FileList.h"

#include <string.h>

namespace {

// The part of path below baseFolder. An ANSI base folder is exactly the
// start of the path, also when the path's own name was converted with "?".
std::string BelowBase(const std::string& path, const char* baseFolder)
{
    size_t baseLength = strlen(baseFolder);
    if (baseLength == 0 || path.compare(0, baseLength, baseFolder) != 0)
        return path;
    if (baseLength < path.size() && path[baseLength] == '\\')
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
        return kPreviewOut;
    }
    return kPreviewError;
}

int ReportProblem(ELeftOutReason reason)
{
    switch (reason)
    {
    case kLeftOutMissing:
        return kProblemMissing;
    case kLeftOutUnlistable:
        return kProblemUnlistable;
    case kLeftOutTooLong:
        break;
    }
    return kProblemTooLong;
}

}  // namespace

int CFilterPreview::Walk(CCompressJob* job, const std::vector<std::wstring>& inputs, const CProgress& progress,
                         size_t progressStep)
{
    m_rows.clear();
    size_t nextProgress = progressStep;
    CWalkReport report;
    int result = CollectFiles(
        job, inputs,
        [&](const CWalkFile& file) {
            if (m_stop)
                return false;
            CPreviewRow row;
            row.path = file.path != nullptr ? BelowBase(file.path, file.baseFolder)
                                            : BelowBase(WideToShiftJis(file.widePath), file.baseFolder);
            row.size = file.size;
            row.state = RowState(file.verdict);
            row.definition = file.definition;
            row.problem = file.verdict == kWalkUndecided ? kProblemUndecided : kProblemNone;
            row.error = 0;
            m_rows.push_back(std::move(row));
            if (progress && m_rows.size() >= nextProgress)
            {
                progress(m_rows.size());
                nextProgress += progressStep;
            }
            return true;
        },
        &report);

    // What the job would refuse or ask about before its archiver runs: the
    // preview shows it where the user looks for the file.
    for (const std::wstring& path : report.unnamable)
        m_rows.push_back(CPreviewRow{WideToShiftJis(path), 0, kPreviewError, -1, kProblemUnnamable, 0});
    for (const CLeftOutEntry& entry : report.leftOut)
        m_rows.push_back(
            CPreviewRow{WideToShiftJis(entry.path), 0, kPreviewError, -1, ReportProblem(entry.reason), entry.error});
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
            ++totals.outCount;
            totals.outSize += row.size;
        }
        else
        {
            ++totals.errorCount;
        }
    }
    return totals;
}
