// Tessik7z.dll: the command entry and the module's own state. The listing
// and check entries live in ListingEntries.cpp.
#include "common/ArchiverApi.h"
#include "common/ScopedHandle.h"
#include "common/TextConvert.h"
#include "dllkit/ProgressWindow.h"
#include "dllkit/DllText.h"
#include "dllkit/DllFailure.h"
#include "dllkit/SourceList.h"
#include "tessik7z/SevenZipCommand.h"
#include "tessik7z/SevenZipWriter.h"

#include <string.h>

#include <new>

ARCHIVER_EXPORT ArchiverCommand Tessik7z;
ARCHIVER_EXPORT ArchiverGetVersion Tessik7zGetVersion;
ARCHIVER_EXPORT ArchiverSetUnicodeMode Tessik7zSetUnicodeMode;

namespace {

const WORD kVersion = 100;
// How often the progress line is brought up to date while the work runs.
const DWORD kProgressStepMs = 100;

HINSTANCE g_module = NULL;

void PutOutput(const std::wstring& text, LPSTR output, DWORD size)
{
    if (output == NULL || size == 0)
        return;
    std::string bytes = ToDllText(text);
    size_t length = bytes.size() < size - 1 ? bytes.size() : size - 1;
    memcpy(output, bytes.data(), length);
    output[length] = '\0';
}

// The work of one command on a thread of its own, so that the caller's
// thread serves the progress window meanwhile.
struct CWriterRun
{
    CSevenZipWriter* writer;
    EDllFailure failure = EDllFailure::kUnexpected;
    std::wstring subject;
};

DWORD WINAPI WriterThread(void* parameter)
{
    CWriterRun* run = static_cast<CWriterRun*>(parameter);
    try
    {
        run->failure = run->writer->Run(&run->subject);
    }
    catch (const std::bad_alloc&)
    {
        run->failure = EDllFailure::kNoMemory;
    }
    catch (...)
    {
        run->failure = EDllFailure::kUnexpected;
    }
    return 0;
}

EDllFailure RunWithProgress(HWND owner, const CSevenZipCommand& command, CSevenZipWriter* writer, std::wstring* subject)
{
    CWriterRun run;
    run.writer = writer;
    CScopedHandle thread(CreateThread(NULL, 0, WriterThread, &run, 0, NULL));
    if (!thread.IsValid())
        return EDllFailure::kNoMemory;
    CProgressWindow window(g_module, owner, WideToShiftJis(command.archive));
    while (WaitForSingleObject(thread.Get(), 0) == WAIT_TIMEOUT)
    {
        if (!window.WaitFor(thread.Get(), kProgressStepMs))
            writer->Cancel();
        window.ShowCount(writer->Done(), writer->Total(), writer->LatestName());
    }
    *subject = run.subject;
    return run.failure;
}

int Execute(HWND window, const std::wstring& line, std::wstring* text)
{
    CSevenZipCommand command;
    EDllFailure failure = EDllFailure::kNone;
    std::wstring subject;
    if (!ParseSevenZipCommand(line, &command, &failure, &subject))
    {
        *text = DllFailureText(failure, subject);
        return failure == EDllFailure::kUnknownCommand || failure == EDllFailure::kUnknownSwitch
                   ? kArchiverResultCommandName
                   : kArchiverResultFailed;
    }
    CSourceList items;
    if (!CollectSources(command.sources, &items, &failure, &subject))
    {
        *text = DllFailureText(failure, subject);
        return kArchiverResultFailed;
    }
    if (items.Empty())
    {
        *text = DllFailureText(EDllFailure::kNothingToAdd, subject);
        return kArchiverResultFailed;
    }
    CSevenZipWriter writer(command, items);
    failure = command.showProgress ? RunWithProgress(window, command, &writer, &subject) : writer.Run(&subject);
    if (failure != EDllFailure::kNone)
    {
        *text = DllFailureText(failure, subject, writer.SystemError());
        return failure == EDllFailure::kCancelled ? kArchiverResultUserCancel : kArchiverResultFailed;
    }
    *text = DllSuccessText(writer.StoredFiles(), writer.StoredFolders(), command.archive);
    return kArchiverResultOk;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

ARCHIVER_EXPORT int WINAPI Tessik7z(HWND window, LPCSTR commandLine, LPSTR output, DWORD outputSize)
{
    std::wstring text;
    int result = kArchiverResultFailed;
    try
    {
        result = Execute(window, FromDllText(commandLine != NULL ? commandLine : ""), &text);
    }
    catch (const std::bad_alloc&)
    {
        text = DllFailureText(EDllFailure::kNoMemory, std::wstring());
        result = kArchiverResultFailed;
    }
    catch (...)
    {
        text = DllFailureText(EDllFailure::kUnexpected, std::wstring());
        result = kArchiverResultFailed;
    }
    try
    {
        PutOutput(text, output, outputSize);
    }
    catch (...)
    {
        if (output != NULL && outputSize > 0)
            output[0] = '\0';
    }
    return result;
}

ARCHIVER_EXPORT WORD WINAPI Tessik7zGetVersion() { return kVersion; }

ARCHIVER_EXPORT BOOL WINAPI Tessik7zSetUnicodeMode(BOOL on)
{
    SetDllUnicodeMode(on != FALSE);
    return TRUE;
}
