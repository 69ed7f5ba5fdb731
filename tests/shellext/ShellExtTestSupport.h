#pragma once

#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"

#include <windows.h>

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
    CInstalledCopy();

    const std::string& Folder() const { return m_folder; }
    std::string Installer() const { return m_folder + "\\tessikshlex_install_x64.exe"; }
    std::string Extension() const { return m_folder + "\\tessikshlex_x64.dll"; }
    std::string MainProgram() const { return m_folder + "\\tessik.exe"; }
    // What the recorder wrote, after waiting up to timeoutMs for it; empty when
    // it was never started.
    std::string RecordedArguments(DWORD timeoutMs = 10000) const;
    void ForgetRecording() const;

private:
    CTestFolder m_root;
    std::string m_folder;
};

// Answers every visible top-level window of one process with IDOK from a
// background thread, and keeps what it saw.
class CWindowWatch
{
public:
    explicit CWindowWatch(DWORD processId = GetCurrentProcessId());
    ~CWindowWatch();
    // Stops watching; the windows in the order they appeared.
    const std::vector<CWindowSnapshot>& Stop();

private:
    CWindowWatch(const CWindowWatch&);
    CWindowWatch& operator=(const CWindowWatch&);

    void Run(DWORD processId);

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
CRunResult RunProgram(const std::string& commandLine, DWORD timeoutMs = 30000);
std::string Quote(const std::string& path);

bool ClassesKeyExists(const char* key);
// The raw bytes of a value under HKEY_CLASSES_ROOT; false when it is missing.
bool ReadClassesValue(const char* key, const char* valueName, DWORD* type, std::string* bytes);
// Removes the extension's keys without help from the code under test.
void RemoveRegistration();

// "<temporary folder>\tessik_filelist.tmp", formed as the main program forms it.
std::string HandOffFilePath();
