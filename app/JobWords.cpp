#include "app/JobWords.h"

#include "common/TextConvert.h"
#include "common/TextFormat.h"
#include "resources/resource.h"
#include "ui/framework/Messages.h"
#include "ui/framework/ProblemWords.h"

namespace {

// A message box lists this many names; the rest are counted.
const size_t kMaxNamesShown = 20;
// The archiver's text and ours before it fill at most the job's output buffer
// (4096 bytes with the terminator), as they did when they were written into it.
const size_t kMaxArchiverText = 4095;

std::wstring WideResource(UINT id)
{
    return AnsiToWide(LoadResourceString(id));
}

// The line that counts the names left unshown; empty when every name is shown.
std::wstring MoreLine(size_t count, size_t shown)
{
    if (shown >= count)
        return std::wstring();
    return L"\n" + AnsiToWide(FormatText(LoadResourceString(IDS_MORE_NAMES).c_str(),
                                         static_cast<unsigned>(count - shown)));
}

std::string ItemEndText(const CItemOutcome& outcome)
{
    switch (outcome.end)
    {
    case EItemEnd::Failed:
    {
        // A job can stop without a word (a cancelled password): it did not run.
        std::string text = NoteText(outcome.note);
        if (!text.empty())
            return text;
        break;
    }
    case EItemEnd::Skipped:
        return LoadResourceString(IDS_ITEM_SKIPPED);
    case EItemEnd::NoName:
        return LoadResourceString(IDS_ITEM_NO_NAME);
    case EItemEnd::Made:
    case EItemEnd::NotRun:
        break;
    }
    return LoadResourceString(IDS_ITEM_NOT_RUN);
}

}  // namespace

std::string FailureText(EJobFailure reason, const std::string& detail)
{
    switch (reason)
    {
    case EJobFailure::BadOutputName:
        return LoadResourceString(IDS_BAD_OUTPUT_NAME);
    case EJobFailure::OutputIsFolder:
        return LoadResourceString(IDS_OUTPUT_IS_FOLDER);
    case EJobFailure::AppendUnsupported:
        return LoadResourceString(IDS_APPEND_UNSUPPORTED);
    case EJobFailure::OutputExists:
        return LoadResourceString(IDS_OUTPUT_EXISTS_GIVE_NAME);
    case EJobFailure::OutputFolderNotCreated:
        return LoadResourceString(IDS_OUTPUT_FOLDER_NOT_CREATED);
    case EJobFailure::OutputFolderIsFile:
        return LoadResourceString(IDS_OUTPUT_FOLDER_IS_FILE);
    case EJobFailure::OldArchiveLocked:
        return FormatResourceString(IDS_MOVE_ASIDE_FAILED, detail.c_str());
    case EJobFailure::OldArchiveKept:
        return FormatResourceString(IDS_OLD_ARCHIVE_KEPT_AS, detail.c_str());
    case EJobFailure::OldArchiveNotCopied:
        return FormatResourceString(IDS_OLD_ARCHIVE_NOT_COPIED, detail.c_str());
    case EJobFailure::OldArchiveNotDeleted:
        return FormatResourceString(IDS_OLD_ARCHIVE_NOT_DELETED, detail.c_str());
    case EJobFailure::ListFileFailed:
        return FormatResourceString(IDS_LIST_FILE_FAILED, detail.c_str());
    case EJobFailure::NoFiles:
        return LoadResourceString(IDS_NO_FILES);
    case EJobFailure::FilterUnusable:
        // The compiler's own message says what is wrong.
        return detail;
    case EJobFailure::FilterMatchFailed:
        return detail + LoadResourceString(IDS_CHECK_FILTER_HINT);
    case EJobFailure::PasswordNotAscii:
        return LoadResourceString(IDS_PASSWORD_NOT_ASCII);
    case EJobFailure::UnicodeModeRefused:
        return LoadResourceString(IDS_UNICODE_MODE_REFUSED);
    case EJobFailure::FormatUnavailable:
        break;
    }
    return LoadResourceString(IDS_FORMAT_UNAVAILABLE);
}

std::wstring UnnamableText(const CUnnamableFiles& files)
{
    std::wstring text =
        AnsiToWide(FormatText(LoadResourceString(IDS_UNNAMABLE_HEAD).c_str(), files.format.c_str()));
    size_t shown = files.names.size() < kMaxNamesShown ? files.names.size() : kMaxNamesShown;
    for (size_t i = 0; i < shown; ++i)
        text += L"\n" + files.names[i];
    text += MoreLine(files.names.size(), shown);
    std::wstring formats;
    for (const std::string& format : files.formats)
        formats += L"\n" + AnsiToWide(format);
    text += L"\n\n" + WideResource(formats.empty() ? IDS_UNNAMABLE_NO_FORMAT : IDS_UNNAMABLE_FORMATS_HEAD) + formats;
    text += L"\n" + WideResource(IDS_UNNAMABLE_TAIL);
    return text;
}

std::wstring LeftOutText(const std::vector<CLeftOutEntry>& entries, bool stopped)
{
    std::wstring text =
        AnsiToWide(FormatText(LoadResourceString(IDS_LEFT_OUT_HEAD).c_str(), static_cast<unsigned>(entries.size())));
    size_t shown = entries.size() < kMaxNamesShown ? entries.size() : kMaxNamesShown;
    for (size_t i = 0; i < shown; ++i)
        text += L"\n" + entries[i].path + L"  (" + AnsiToWide(ProblemText(entries[i].reason, entries[i].error)) + L")";
    text += MoreLine(entries.size(), shown);
    return text + L"\n\n" + WideResource(stopped ? IDS_LEFT_OUT_STOPPED : IDS_LEFT_OUT_QUESTION);
}

namespace {

std::wstring WithName(UINT id, const std::wstring& name)
{
    std::wstring text = WideResource(id);
    size_t at = text.find(L"%s");
    if (at != std::wstring::npos)
        text.replace(at, 2, name);
    return text;
}

std::string DllText(const CArchiverReport& report)
{
    std::string text = report.output;
    if (report.notMade)
    {
        std::string notMade = LoadResourceString(IDS_ARCHIVE_NOT_MADE);
        text = text.empty() ? notMade : notMade + "\r\n" + text;
        if (text.size() > kMaxArchiverText)
            text.resize(kMaxArchiverText);
    }
    // The DLL could not be called, or said nothing: its result code is all there is.
    if (text.empty())
        return FormatText(LoadResourceString(IDS_NO_ARCHIVER_OUTPUT).c_str(), report.code);
    return text;
}

std::wstring DifferenceLine(const CArchiveDifference& difference)
{
    switch (difference.kind)
    {
    case EArchiveDifference::Missing:
        return WithName(IDS_DIFF_MISSING, difference.name);
    case EArchiveDifference::Extra:
        return WithName(IDS_DIFF_EXTRA, difference.name);
    case EArchiveDifference::Doubled:
        return WithName(IDS_DIFF_DOUBLED, difference.name);
    case EArchiveDifference::Size:
        break;
    }
    std::wstring line = WithName(IDS_DIFF_SIZE, difference.name);
    for (ULONGLONG size : {difference.expected, difference.stored})
    {
        size_t at = line.find(L"%s");
        if (at != std::wstring::npos)
            line.replace(at, 2, std::to_wstring(size));
    }
    return line;
}

UINT NoteId(EReadBackNote note)
{
    switch (note)
    {
    case EReadBackNote::NoListing:
        return IDS_NOTE_NO_LISTING;
    case EReadBackNote::SelfExtractingNotOpened:
        return IDS_NOTE_SFX_NOT_OPENED;
    case EReadBackNote::NamesNeedPassword:
        return IDS_NOTE_NAMES_NEED_PASSWORD;
    case EReadBackNote::NoIntegrityCheck:
        return IDS_NOTE_NO_INTEGRITY_CHECK;
    case EReadBackNote::DataNeedPassword:
        return IDS_NOTE_DATA_NEED_PASSWORD;
    case EReadBackNote::OldEntriesUnread:
        break;
    }
    return IDS_NOTE_OLD_ENTRIES_UNREAD;
}

}  // namespace

std::wstring ReadBackText(const CReadBack& readBack)
{
    std::wstring text;
    if (readBack.failed)
    {
        text = WideResource(IDS_READBACK_FAILED);
        if (readBack.unreadable)
            text += L"\r\n" + WideResource(IDS_ARCHIVE_UNREADABLE);
        for (const CArchiveDifference& difference : readBack.differences)
            text += L"\r\n" + DifferenceLine(difference);
        std::wstring more = MoreLine(readBack.differenceCount, readBack.differences.size());
        if (!more.empty())
            text += L"\r\n" + more.substr(1);
        if (readBack.damaged)
            text += L"\r\n" + WideResource(IDS_ARCHIVE_DAMAGED);
    }
    for (EReadBackNote note : readBack.notes)
        text += (text.empty() ? L"" : L"\r\n") + WideResource(NoteId(note));
    return text;
}

std::string ArchiverText(const CArchiverReport& report)
{
    std::string checked = WideToShiftJis(ReadBackText(report.readBack));
    std::string archiver = DllText(report);
    return checked.empty() ? archiver : checked + "\r\n\r\n" + archiver;
}

std::string NoteText(const CJobNote& note)
{
    switch (note.kind)
    {
    case CJobNote::kFailure:
        return FailureText(note.failure, note.detail);
    case CJobNote::kUnnamable:
        return WideToShiftJis(UnnamableText(note.unnamable));
    case CJobNote::kLeftOut:
        // An item's job reports what it left out only when it stopped for it.
        return WideToShiftJis(LeftOutText(note.leftOut, true));
    case CJobNote::kArchiver:
        return ArchiverText(note.archiver);
    case CJobNote::kNothing:
        break;
    }
    return std::string();
}

std::string ItemsText(const std::vector<CItemOutcome>& outcomes)
{
    unsigned made = 0;
    for (const CItemOutcome& outcome : outcomes)
        made += outcome.made ? 1 : 0;
    std::string text =
        FormatText(LoadResourceString(IDS_ITEMS_HEAD).c_str(), static_cast<unsigned>(outcomes.size()), made);
    for (const CItemOutcome& outcome : outcomes)
    {
        text += "\r\n";
        if (outcome.made)
            text +=
                FormatText(LoadResourceString(IDS_ITEM_MADE).c_str(), outcome.item.c_str(), outcome.archive.c_str());
        else
            text += FormatText(LoadResourceString(IDS_ITEM_FAILED).c_str(), outcome.item.c_str(),
                               ItemEndText(outcome).c_str());
        if (outcome.renamed)
            text += "\r\n" + LoadResourceString(IDS_ITEM_RENAMED);
    }
    return text;
}
