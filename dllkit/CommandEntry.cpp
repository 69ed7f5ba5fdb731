#include "dllkit/CommandEntry.h"

#include "common/ArchiverApi.h"
#include "common/ScopedHandle.h"
#include "common/TextConvert.h"
#include "dllkit/DllText.h"
#include "dllkit/ProgressWindow.h"

#include <string.h>

#include <new>

namespace {

// How often the progress line is brought up to date while the work runs.
const DWORD kProgressStepMs = 100;

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
    IArchiveWriter* writer;
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

EDllFailure RunWithProgress(HINSTANCE module, HWND owner, const std::wstring& archive, IArchiveWriter* writer,
                            std::wstring* subject)
{
    CWriterRun run;
    run.writer = writer;
    CScopedHandle thread(CreateThread(NULL, 0, WriterThread, &run, 0, NULL));
    if (!thread.IsValid())
        return EDllFailure::kNoMemory;
    CProgressWindow window(module, owner, WideToShiftJis(archive));
    while (WaitForSingleObject(thread.Get(), 0) == WAIT_TIMEOUT)
    {
        if (!window.WaitFor(thread.Get(), kProgressStepMs))
            writer->Cancel();
        window.ShowCount(writer->Done(), writer->Total(), writer->LatestName());
    }
    *subject = run.subject;
    return run.failure;
}

int Execute(HINSTANCE module, HWND window, const std::wstring& line, IAddCommand* command, std::wstring* text)
{
    EDllFailure failure = EDllFailure::kNone;
    std::wstring subject;
    if (!command->Parse(line, &failure, &subject))
    {
        *text = DllFailureText(failure, subject);
        return failure == EDllFailure::kUnknownCommand || failure == EDllFailure::kUnknownSwitch
                   ? kArchiverResultCommandName
                   : kArchiverResultFailed;
    }
    CSourceList items;
    if (!CollectSources(command->Sources(), &items, &failure, &subject))
    {
        *text = DllFailureText(failure, subject);
        return kArchiverResultFailed;
    }
    if (items.Empty())
    {
        *text = DllFailureText(EDllFailure::kNothingToAdd, subject);
        return kArchiverResultFailed;
    }
    std::unique_ptr<IArchiveWriter> writer = command->MakeWriter(items);
    failure = command->ShowProgress() ? RunWithProgress(module, window, command->Archive(), writer.get(), &subject)
                                      : writer->Run(&subject);
    if (failure != EDllFailure::kNone)
    {
        *text = DllFailureText(failure, subject, writer->SystemError());
        return failure == EDllFailure::kCancelled ? kArchiverResultUserCancel : kArchiverResultFailed;
    }
    *text = DllSuccessText(writer->StoredFiles(), writer->StoredFolders(), command->Archive());
    return kArchiverResultOk;
}

}  // namespace

int RunCommandEntry(HINSTANCE module, HWND window, LPCSTR commandLine, LPSTR output, DWORD outputSize,
                    IAddCommand* command)
{
    std::wstring text;
    int result = kArchiverResultFailed;
    try
    {
        result = Execute(module, window, FromDllText(commandLine != NULL ? commandLine : ""), command, &text);
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
