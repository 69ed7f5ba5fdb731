#pragma once

#include "common/ArchiverApi.h"

#include <windows.h>

#include <stddef.h>

// Run-time binding of one archiver DLL of the Common Archiver API. The DLL is
// found by its bare file name through the loader's search order and kept
// loaded only for one query or one command.
class CArchiverDll
{
public:
    // unicodeModeEntry names the optional "<Prefix>SetUnicodeMode" export.
    CArchiverDll(const char* dllName, const char* unicodeModeEntry);
    virtual ~CArchiverDll();

    // 1 when the DLL is bound with every required entry, 0 otherwise.
    virtual int Load() { return 0; }
    virtual int CheckArchive(const char* fileName, int mode);

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

protected:
    struct CEntry
    {
        const char* name;
        FARPROC* slot;
    };

    // Loads the DLL and resolves the entries in order; on the first missing one
    // the DLL is released again and 0 returned. The optional entries are
    // resolved after them and may stay null.
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

private:
    CArchiverDll(const CArchiverDll&);
    CArchiverDll& operator=(const CArchiverDll&);

    void ForgetEntries();

    const char* m_unicodeModeEntry;
    bool m_unicodeModeOn;
};
