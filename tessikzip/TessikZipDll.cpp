// TessikZip.dll: the command entry and the module's own state. The listing
// and check entries live in ListingEntries.cpp.
#include "common/ArchiverApi.h"
#include "common/ScopedHandle.h"
#include "common/TextConvert.h"
#include "dllkit/ProgressWindow.h"
#include "tessikzip/DllText.h"
#include "tessikzip/SourceList.h"
#include "tessikzip/ZipCommand.h"
#include "tessikzip/ZipMessages.h"
#include "tessikzip/ZipWriter.h"

#include <string.h>

#include <new>

ARCHIVER_EXPORT ArchiverCommand TessikZip;
ARCHIVER_EXPORT ArchiverGetVersion TessikZipGetVersion;
ARCHIVER_EXPORT ArchiverSetUnicodeMode TessikZipSetUnicodeMode;

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
    CZipWriter* writer;
    EZipFailure failure = EZipFailure::kUnexpected;
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
        run->failure = EZipFailure::kNoMemory;
    }
    catch (...)
    {
        run->failure = EZipFailure::kUnexpected;
    }
    return 0;
}

EZipFailure RunWithProgress(HWND owner, const CZipCommand& command, CZipWriter* writer, std::wstring* subject)
{
    CWriterRun run;
    run.writer = writer;
    CScopedHandle thread(CreateThread(NULL, 0, WriterThread, &run, 0, NULL));
    if (!thread.IsValid())
        return EZipFailure::kNoMemory;
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
    CZipCommand command;
    EZipFailure failure = EZipFailure::kNone;
    std::wstring subject;
    if (!ParseZipCommand(line, &command, &failure, &subject))
    {
        *text = ZipFailureText(failure, subject);
        return failure == EZipFailure::kUnknownCommand || failure == EZipFailure::kUnknownSwitch
                   ? kArchiverResultCommandName
                   : kArchiverResultFailed;
    }
    CSourceList items;
    if (!CollectSources(command, &items, &failure, &subject))
    {
        *text = ZipFailureText(failure, subject);
        return kArchiverResultFailed;
    }
    if (items.Empty())
    {
        *text = ZipFailureText(EZipFailure::kNothingToAdd, subject);
        return kArchiverResultFailed;
    }
    CZipWriter writer(command, items);
    failure = command.showProgress ? RunWithProgress(window, command, &writer, &subject) : writer.Run(&subject);
    if (failure != EZipFailure::kNone)
    {
        *text = ZipFailureText(failure, subject, writer.SystemError());
        return failure == EZipFailure::kCancelled ? kArchiverResultUserCancel : kArchiverResultFailed;
    }
    *text = ZipSuccessText(writer.StoredFiles(), writer.StoredFolders(), command.archive);
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

ARCHIVER_EXPORT int WINAPI TessikZip(HWND window, LPCSTR commandLine, LPSTR output, DWORD outputSize)
{
    std::wstring text;
    int result = kArchiverResultFailed;
    try
    {
        result = Execute(window, FromDllText(commandLine != NULL ? commandLine : ""), &text);
    }
    catch (const std::bad_alloc&)
    {
        text = ZipFailureText(EZipFailure::kNoMemory, std::wstring());
        result = kArchiverResultFailed;
    }
    catch (...)
    {
        text = ZipFailureText(EZipFailure::kUnexpected, std::wstring());
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

ARCHIVER_EXPORT WORD WINAPI TessikZipGetVersion() { return kVersion; }

ARCHIVER_EXPORT BOOL WINAPI TessikZipSetUnicodeMode(BOOL on)
{
    SetDllUnicodeMode(on != FALSE);
    return TRUE;
}
