#pragma once

#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"
#include "tests/support/UnicodeTree.h"

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// Registry keys of the extension as the file manager and COM look them up.
extern const char kClassKey[];
extern const char kServerKey[];
extern const char kFilesHandlerKey[];
extern const char kFolderHandlerKey[];

// A copy of the deliverables in a fresh folder whose name holds a space and a
// Shift_JIS character with trail byte 0x5C: the installer, the extension and,
// under the main program's name, the recorder (see Recorder.cpp).
class CInstalledCopy
{
public:
    // In a folder of this name instead (one beyond Shift_JIS, say).
    explicit CInstalledCopy(const std::wstring& folderName = L"アプリ 表");

    // ANSI ("?" for what has no form in it) and wide.
    const std::string& Folder() const { return m_folder; }
    const std::wstring& WideFolder() const { return m_wideFolder; }
    std::string Installer() const { return m_folder + "\\tessikshlex_install_x64.exe"; }
    std::string UserInstaller() const { return m_folder + "\\tessikshlex_install.exe"; }
    std::string Extension() const { return m_folder + "\\tessikshlex_x64.dll"; }
    std::string MainProgram() const { return m_folder + "\\tessik.exe"; }
    // The arguments of every recorder run so far (one "\n"-ended line each),
    // after waiting up to timeoutMs for the expected number of runs and a
    // moment for any other; the records are removed, so the next call sees
    // only new runs.
    std::vector<std::string> TakeRecordedRuns(DWORD timeoutMs = 10000, size_t expected = 1) const;

private:
    CTestFolder m_root;
    std::wstring m_wideFolder;
    std::string m_folder;
};

// Answers every visible top-level window of one process from a background
// thread (presses OK, or closes it as the close box would), and keeps what it saw.
class CWindowWatch
{
public:
    // kPressYes and kPressNo press OK in a box that has no such button.
    enum Answer
    {
        kPressOk,
        kClose,
        kPressYes,
        kPressNo,
    };

    explicit CWindowWatch(DWORD processId = GetCurrentProcessId(), Answer answer = kPressOk);
    ~CWindowWatch();
    // Stops watching; the windows in the order they appeared.
    const std::vector<CWindowSnapshot>& Stop();

private:
    CWindowWatch(const CWindowWatch&);
    CWindowWatch& operator=(const CWindowWatch&);

    void Run(DWORD processId, Answer answer);

    std::atomic<bool> m_stop;
    std::vector<CWindowSnapshot> m_seen;
    std::thread m_thread;
};

struct CRunResult
{
    DWORD exitCode = 0xFFFFFFFF;
    bool finished = false;
    std::vector<CWindowSnapshot> windows;
};

// Runs a program with this command line, answering its windows; a run that does
// not end within timeoutMs is ended and reported unfinished.
CRunResult RunProgram(const std::string& commandLine, DWORD timeoutMs = 30000,
                      CWindowWatch::Answer answer = CWindowWatch::kPressOk);
CRunResult RunProgram(const std::wstring& commandLine, DWORD timeoutMs = 30000,
                      CWindowWatch::Answer answer = CWindowWatch::kPressOk);
std::string Quote(const std::string& path);

bool ClassesKeyExists(const char* key);
// The raw bytes of a value under HKEY_CLASSES_ROOT; false when it is missing.
bool ReadClassesValue(const char* key, const char* valueName, DWORD* type, std::string* bytes);
// Removes the extension's keys without help from the code under test.
void RemoveRegistration();

// Full paths of the hand-off files ("tessik_filelist*") in the temporary
// folder, in ANSI ("?" for what a folder beyond it holds).
std::vector<std::string> HandOffFiles();
// Points the temporary folder of this process (and of the programs it starts)
// at another folder while it lives.
class CTempFolderOverride
{
public:
    explicit CTempFolderOverride(const std::string& folder);
    // A folder named beyond the ANSI code page, as a user's may be.
    explicit CTempFolderOverride(const std::wstring& folder);
    ~CTempFolderOverride();

private:
    CTempFolderOverride(const CTempFolderOverride&);
    CTempFolderOverride& operator=(const CTempFolderOverride&);

    std::wstring m_tmp;
    std::wstring m_temp;
    bool m_hadTmp;
    bool m_hadTemp;
};


// Holds one COM interface pointer and releases it.
template <class T>
class CComRef
{
public:
    CComRef() : m_pointer(NULL) {}
    ~CComRef() { Reset(); }
    void Reset()
    {
        if (m_pointer != NULL)
            m_pointer->Release();
        m_pointer = NULL;
    }
    T* operator->() const { return m_pointer; }
    T* Get() const { return m_pointer; }
    T** Out()
    {
        Reset();
        return &m_pointer;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }

private:
    CComRef(const CComRef&);
    CComRef& operator=(const CComRef&);

    T* m_pointer;
};

// The data object the shell's own folder object makes for these items of one
// folder, in this order, as the file manager passes it to a menu handler.
HRESULT CreateShellDataObject(const std::wstring& folder, const std::vector<std::wstring>& names,
                              IDataObject** dataObject);

// A file list in the form the file manager hands out (wide paths).
HGLOBAL MakeDropList(const std::vector<std::wstring>& paths);
// Puts the memory on the clipboard in this format (the clipboard takes it) and
// returns the platform's data object for the clipboard.
HRESULT CreateClipboardDataObject(UINT format, HGLOBAL memory, IDataObject** dataObject);
