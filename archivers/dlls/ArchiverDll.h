#pragma once

#include "common/ArchiverApi.h"
#include "common/ScopedHandle.h"

#include <windows.h>

#include <stddef.h>

#include <memory>
#include <functional>
#include <string>
#include <vector>

// One entry of an archive as the DLL's listing gives it.
struct CListedEntry
{
    std::string name;  // in the DLL's text: ANSI, or UTF-8 in its UTF-8 mode
    ULONGLONG size;
    bool folder;  // by its attributes
};

enum class EListResult
{
    Listed,
    NoListing,  // the DLL has no listing entries
    NotOpened,  // the DLL could not open the file as an archive
    Failed,     // the listing broke off with an error
    Stopped,    // the watch asked it to stop
};

// Asked after each entry a listing reads; false stops the listing there.
typedef std::function<bool()> CListWatch;

// Maps an archiver DLL by its bare file name through the loader's search
// order. While a CDllProbe lasts, a DLL it did not find is not searched for
// again: NULL at once, as the search would give.
HMODULE LoadArchiverLibrary(const char* name);

// The archiver DLLs held loaded while the formats register. Several builders
// bind each DLL: held, a DLL present starts once; a missing one is searched
// for once (a few tenths of a millisecond each time, before the first dialog)
// instead of once per builder.
class CDllProbe
{
public:
    CDllProbe(const char* const* names, size_t count);
    ~CDllProbe();

private:
    CDllProbe(const CDllProbe&) = delete;
    CDllProbe& operator=(const CDllProbe&) = delete;

    std::vector<std::unique_ptr<CScopedLibrary>> m_held;
};

// Run-time binding of one archiver DLL of the Common Archiver API. The DLL is
// found by its bare file name through the loader's search order and kept
// loaded only for one query or one command.
class CArchiverDll
{
public:
    // prefix: the DLL's entry names begin with it ("SevenZip" for
    // "SevenZipGetVersion"); the optional entries are found by it.
    CArchiverDll(const char* dllName, const char* prefix);
    virtual ~CArchiverDll();

    // 1 when the DLL is bound with every required entry, 0 otherwise.
    virtual int Load() { return 0; }
    virtual int CheckArchive(const char* fileName, int mode);
    // Whether the loaded DLL exports the check entry, and the listing entries
    // (open, find first and next, close), which not every DLL has; neither
    // decides whether the DLL counts as installed.
    bool HasCheckArchive() const { return m_checkArchive != NULL; }
    bool HasListing() const;
    // Every entry of the archive fileName (in the DLL's text), folders marked;
    // the DLL is loaded for the listing when it was not.
    EListResult ListArchive(const char* fileName, std::vector<CListedEntry>* entries,
                            const CListWatch& goOn = CListWatch());

    // The release call's result, 0 when nothing was loaded.
    int Unload();
    // The command entry's result, -1 when the DLL cannot be loaded.
    int Command(HWND window, const char* commandLine, char* output, DWORD outputSize);
    // The version times 100, 0 when the DLL cannot be loaded.
    WORD GetVersion();
    int GetDllName(char* buffer, size_t size) const;

    bool IsLoaded() const { return m_module != NULL; }

    // Whether the loaded DLL exports the switch to its UTF-8 mode, in which it
    // takes the command line and the list files it reads as UTF-8 and writes
    // its output text in UTF-8. A DLL without it works as ever.
    bool HasUnicodeMode() const { return m_setUnicodeMode != NULL; }
    // Switches the mode on (loading the DLL first) or off; 1 when the DLL took
    // it. The mode lives in the loaded module, so while it is on Unload keeps
    // the DLL loaded: the command of the job then runs in the mode that was
    // set, and switching it off reaches the same module.
    int SetUnicodeMode(bool on);
    bool IsUnicodeModeOn() const { return m_unicodeModeOn; }
    // Keeps the DLL loaded (loading it first) until released: a job that
    // runs the command and then reads the archive back binds it once, and a
    // DLL that keeps what it learnt of the archive keeps it for the reading.
    int Hold(bool on);

protected:
    struct CEntry
    {
        const char* name;
        FARPROC* slot;
    };

    // Loads the DLL and resolves the entries in order; on the first missing one
    // the DLL is released again and 0 returned. The optional entries (the
    // UTF-8 mode switch, the archive-handle, listing and check entries a
    // binding does not require) are resolved after them and may stay null.
    int LoadWithEntries(const CEntry* entries, size_t count);

    HMODULE m_module;
    const char* m_dllName;
    ArchiverCommand* m_command;
    ArchiverGetVersion* m_version;
    ArchiverOpenArchive* m_openArchive;
    ArchiverHandleQuery* m_closeArchive;
    ArchiverHandleQuery* m_isSfxFile;
    ArchiverCheckArchive* m_checkArchive;
    ArchiverSetUnicodeMode* m_setUnicodeMode;
    ArchiverFindFirst* m_findFirst;
    ArchiverFindNext* m_findNext;
    ArchiverGetOriginalSizeEx* m_getOriginalSizeEx;

private:
    CArchiverDll(const CArchiverDll&);
    CArchiverDll& operator=(const CArchiverDll&);

    void ForgetEntries();
    void ResolveOptional(const char* suffix, FARPROC* slot);
    EListResult ReadEntries(HANDLE archive, std::vector<CListedEntry>* entries, const CListWatch& goOn);

    const char* m_prefix;
    bool m_unicodeModeOn;
    bool m_held = false;
};
