#pragma once

#include "dllkit/CommandLine.h"
#include "dllkit/DllFailure.h"
#include "dllkit/SourceList.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// The command entry every archiver DLL of ours has: the line parsed, the
// list files read and their folders walked, the archive written on a
// thread of its own while the caller's thread serves the progress window,
// and the result code with its text in the output buffer. Nothing is
// thrown across it.

// What the entry asks of a DLL's writer while it works; Cancel and the
// progress queries come from the window's thread.
class IArchiveWriter
{
public:
    virtual ~IArchiveWriter() = default;
    // kNone when the archive is in place; else *subject names what failed.
    virtual EDllFailure Run(std::wstring* subject) = 0;
    virtual DWORD SystemError() const = 0;
    virtual void Cancel() = 0;
    virtual size_t Total() const = 0;
    virtual size_t Done() const = 0;
    virtual std::wstring LatestName() const = 0;
    virtual size_t StoredFiles() const = 0;
    virtual size_t StoredFolders() const = 0;
};

// One DLL's add command: its line read, then its writer made for the items.
class IAddCommand
{
public:
    virtual ~IAddCommand() = default;
    // False with *failure and *subject set when the line is not one of ours.
    virtual bool Parse(const std::wstring& line, EDllFailure* failure, std::wstring* subject) = 0;
    virtual const std::wstring& Archive() const = 0;
    virtual const std::vector<CListSource>& Sources() const = 0;
    virtual bool ShowProgress() const = 0;
    virtual std::unique_ptr<IArchiveWriter> MakeWriter(const CSourceList& items) const = 0;
};

// An add command of a command struct (archive, sources, showProgress), its
// parser and its writer (made of the command and the items).
template <class TCommand, class TWriter, bool (*TParse)(const std::wstring&, TCommand*, EDllFailure*, std::wstring*)>
class CAddCommand : public IAddCommand
{
public:
    bool Parse(const std::wstring& line, EDllFailure* failure, std::wstring* subject) override
    {
        return TParse(line, &m_command, failure, subject);
    }
    const std::wstring& Archive() const override { return m_command.archive; }
    const std::vector<CListSource>& Sources() const override { return m_command.sources; }
    bool ShowProgress() const override { return m_command.showProgress; }
    std::unique_ptr<IArchiveWriter> MakeWriter(const CSourceList& items) const override
    {
        return std::unique_ptr<IArchiveWriter>(new TWriter(m_command, items));
    }

private:
    TCommand m_command;
};

// The whole entry: module for the progress window's resources.
int RunCommandEntry(HINSTANCE module, HWND window, LPCSTR commandLine, LPSTR output, DWORD outputSize,
                    IAddCommand* command);
