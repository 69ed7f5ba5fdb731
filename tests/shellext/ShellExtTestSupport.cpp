#include "tests/shellext/ShellExtTestSupport.h"

#include <gtest/gtest.h>

#define TESSIK_TEST_CLSID "{5D0C3A71-9B2E-4F6A-8C13-2E7B94A0D6F5}"
const char kClassKey[] = "CLSID\\" TESSIK_TEST_CLSID;
const char kServerKey[] = "CLSID\\" TESSIK_TEST_CLSID "\\InProcServer32";
const char kFilesHandlerKey[] = "*\\shellex\\ContextMenuHandlers\\" TESSIK_TEST_CLSID;
const char kFolderHandlerKey[] = "Folder\\shellex\\ContextMenuHandlers\\" TESSIK_TEST_CLSID;

namespace {

void CopyBuilt(const std::string& name, const std::string& target)
{
    std::string source = TestExeFolder() + "\\" + name;
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE))
        ADD_FAILURE_AT(__FILE__, __LINE__);
}

struct CWindowSearch
{
    DWORD processId;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM param)
{
    CWindowSearch* search = reinterpret_cast<CWindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window))
        search->found->push_back(window);
    return TRUE;
}

}  // namespace

CInstalledCopy::CInstalledCopy()
{
    m_folder = m_root.MakeFolder("アプリ 表");
    CopyBuilt("tessikshlex_install_x64.exe", Installer());
    CopyBuilt("tessikshlex_x64.dll", Extension());
    CopyBuilt("shellext_recorder.exe", MainProgram());
}

std::string CInstalledCopy::RecordedArguments(DWORD timeoutMs) const
{
    std::string path = m_folder + "\\recorded-args.txt";
    DWORD start = GetTickCount();
    while (!FileExists(path) && GetTickCount() - start < timeoutMs)
        Sleep(50);
    return ReadFileBytes(path);
}

void CInstalledCopy::ForgetRecording() const
{
    DeleteFileA((m_folder + "\\recorded-args.txt").c_str());
}

CWindowWatch::CWindowWatch(DWORD processId) : m_stop(false), m_thread(&CWindowWatch::Run, this, processId)
{
}

CWindowWatch::~CWindowWatch()
{
    Stop();
}

const std::vector<CWindowSnapshot>& CWindowWatch::Stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    return m_seen;
}

void CWindowWatch::Run(DWORD processId)
{
    std::vector<HWND> answered;
    while (!m_stop)
    {
        std::vector<HWND> windows;
        CWindowSearch search = {processId, &windows};
        EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
        for (HWND window : windows)
        {
            bool known = false;
            for (HWND old : answered)
                known = known || old == window;
            if (known)
                continue;
            // Let the box finish its initialisation before it is read.
            Sleep(100);
            m_seen.push_back(SnapshotWindow(window));
            answered.push_back(window);
            PressButton(window, IDOK);
        }
        Sleep(50);
    }
}

CRunResult RunProgram(const std::string& commandLine, DWORD timeoutMs)
{
    CRunResult result;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return result;
    CloseHandle(process.hThread);
    {
        CWindowWatch watch(process.dwProcessId);
        result.finished = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
        result.windows = watch.Stop();
    }
    if (!result.finished)
        TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hProcess);
    return result;
}

std::string Quote(const std::string& path)
{
    return "\"" + path + "\"";
}

bool ClassesKeyExists(const char* key)
{
    HKEY handle = NULL;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

bool ReadClassesValue(const char* key, const char* valueName, DWORD* type, std::string* bytes)
{
    HKEY handle = NULL;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    char data[2048];
    DWORD size = sizeof(data);
    LONG status = RegQueryValueExA(handle, valueName, NULL, type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS)
        return false;
    bytes->assign(data, size);
    return true;
}

void RemoveRegistration()
{
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kServerKey);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kClassKey);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kFilesHandlerKey);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kFolderHandlerKey);
}

std::string HandOffFilePath()
{
    char temp[1024];
    GetTempPathA(sizeof(temp), temp);
    return std::string(temp) + "\\tessik_filelist.tmp";
}
