#include "tests/shellext/ShellExtTestSupport.h"

#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <wchar.h>

#define TESSIK_TEST_CLSID "{5D0C3A71-9B2E-4F6A-8C13-2E7B94A0D6F5}"
const char kClassKey[] = "CLSID\\" TESSIK_TEST_CLSID;
const char kServerKey[] = "CLSID\\" TESSIK_TEST_CLSID "\\InProcServer32";
const char kFilesHandlerKey[] = "*\\shellex\\ContextMenuHandlers\\" TESSIK_TEST_CLSID;
const char kFolderHandlerKey[] = "Folder\\shellex\\ContextMenuHandlers\\" TESSIK_TEST_CLSID;

namespace {

void CopyBuilt(const std::string& name, const std::wstring& target)
{
    std::wstring source = Widen(TestExeFolder() + "\\" + name);
    if (!CopyFileW(source.c_str(), target.c_str(), FALSE))
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

CInstalledCopy::CInstalledCopy(const std::wstring& folderName)
    : m_wideFolder(Widen(m_root.Path()) + L"\\" + folderName), m_folder(Narrow(m_wideFolder))
{
    CreateDirectoryW(m_wideFolder.c_str(), NULL);
    CopyBuilt("tessikshlex_install_x64.exe", m_wideFolder + L"\\tessikshlex_install_x64.exe");
    CopyBuilt("userinstaller\\tessikshlex_install.exe", m_wideFolder + L"\\tessikshlex_install.exe");
    CopyBuilt("tessikshlex_x64.dll", m_wideFolder + L"\\tessikshlex_x64.dll");
    CopyBuilt("shellext_recorder.exe", m_wideFolder + L"\\tessik.exe");
}

namespace {

// Full paths of the files in folder (wide, no trailing backslash) that match
// the pattern, in listing order.
std::vector<std::wstring> FindFiles(const std::wstring& folder, const wchar_t* pattern)
{
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do
        files.push_back(folder + L"\\" + found.cFileName);
    while (FindNextFileW(find, &found));
    FindClose(find);
    return files;
}

// The recorder's records ("recorded-<process id>.txt").
const wchar_t kRecords[] = L"recorded-*.txt";

// An environment variable's value; false when it is not set.
bool ReadVariable(const wchar_t* name, std::wstring* value)
{
    wchar_t buffer[2048];
    DWORD length = GetEnvironmentVariableW(name, buffer, sizeof(buffer) / sizeof(buffer[0]));
    if (length == 0 || length >= sizeof(buffer) / sizeof(buffer[0]))
        return false;
    *value = buffer;
    return true;
}

}  // namespace

std::vector<std::string> CInstalledCopy::TakeRecordedRuns(DWORD timeoutMs, size_t expected) const
{
    DWORD start = GetTickCount();
    while (FindFiles(m_wideFolder, kRecords).size() < expected && GetTickCount() - start < timeoutMs)
        Sleep(50);
    // A second start would have been made together with the first.
    Sleep(1000);
    std::vector<std::string> runs;
    for (const std::wstring& record : FindFiles(m_wideFolder, kRecords))
    {
        runs.push_back(ReadWideFile(record));
        DeleteFileW(record.c_str());
    }
    return runs;
}

CWindowWatch::CWindowWatch(DWORD processId, Answer answer)
    : m_stop(false), m_thread(&CWindowWatch::Run, this, processId, answer)
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

void CWindowWatch::Run(DWORD processId, Answer answer)
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
            // A box is shown once initialised; taking messages, it is in its loop.
            if (!WaitUntilHandled(window) || !IsWindowVisible(window))
                continue;
            m_seen.push_back(SnapshotWindow(window));
            answered.push_back(window);
            if (answer == kClose)
                PostMessageA(window, WM_CLOSE, 0, 0);
            else if (answer != kPressOk && GetDlgItem(window, answer == kPressYes ? IDYES : IDNO) != NULL)
                PressButton(window, answer == kPressYes ? IDYES : IDNO);
            else
                PressButton(window, IDOK);
        }
        Sleep(50);
    }
}

CRunResult RunProgram(const std::string& commandLine, DWORD timeoutMs, CWindowWatch::Answer answer)
{
    return RunProgram(Widen(commandLine), timeoutMs, answer);
}

CRunResult RunProgram(const std::wstring& commandLine, DWORD timeoutMs, CWindowWatch::Answer answer)
{
    CRunResult result;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::wstring line = commandLine;
    if (!CreateProcessW(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return result;
    CloseHandle(process.hThread);
    {
        CWindowWatch watch(process.dwProcessId, answer);
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
    const std::string user = "Software\\Classes\\";
    for (const char* key : {kServerKey, kClassKey, kFilesHandlerKey, kFolderHandlerKey})
    {
        RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
        RegDeleteKeyExA(HKEY_CURRENT_USER, (user + key).c_str(), KEY_WOW64_64KEY, 0);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, (user + key).c_str(), KEY_WOW64_64KEY, 0);
    }
}

std::vector<std::string> HandOffFiles()
{
    wchar_t folder[MAX_PATH + 1] = L"";
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    std::vector<std::string> found;
    if (length == 0 || length > MAX_PATH)
        return found;
    // Without the platform's trailing backslash.
    for (const std::wstring& file : FindFiles(std::wstring(folder, length - 1), L"tessik_filelist*"))
        found.push_back(Narrow(file));
    return found;
}

CTempFolderOverride::CTempFolderOverride(const std::string& folder) : CTempFolderOverride(Widen(folder))
{
}

CTempFolderOverride::CTempFolderOverride(const std::wstring& folder)
    : m_hadTmp(ReadVariable(L"TMP", &m_tmp)), m_hadTemp(ReadVariable(L"TEMP", &m_temp))
{
    SetEnvironmentVariableW(L"TMP", folder.c_str());
    SetEnvironmentVariableW(L"TEMP", folder.c_str());
}

CTempFolderOverride::~CTempFolderOverride()
{
    SetEnvironmentVariableW(L"TMP", m_hadTmp ? m_tmp.c_str() : NULL);
    SetEnvironmentVariableW(L"TEMP", m_hadTemp ? m_temp.c_str() : NULL);
}

HRESULT CreateShellDataObject(const std::wstring& folder, const std::vector<std::wstring>& names,
                              IDataObject** dataObject)
{
    *dataObject = NULL;
    CComRef<IShellFolder> desktop;
    HRESULT result = SHGetDesktopFolder(desktop.Out());
    if (FAILED(result))
        return result;
    PIDLIST_RELATIVE folderItem = NULL;
    result = desktop->ParseDisplayName(NULL, NULL, const_cast<wchar_t*>(folder.c_str()), NULL, &folderItem, NULL);
    if (FAILED(result))
        return result;
    CComRef<IShellFolder> parent;
    result = desktop->BindToObject(folderItem, NULL, IID_IShellFolder, parent.OutVoid());
    CoTaskMemFree(folderItem);
    if (FAILED(result))
        return result;

    std::vector<PITEMID_CHILD> children;
    for (const std::wstring& name : names)
    {
        PIDLIST_RELATIVE child = NULL;
        result = parent->ParseDisplayName(NULL, NULL, const_cast<wchar_t*>(name.c_str()), NULL, &child, NULL);
        if (FAILED(result))
            break;
        children.push_back(reinterpret_cast<PITEMID_CHILD>(child));
    }
    if (SUCCEEDED(result))
        result = parent->GetUIObjectOf(NULL, static_cast<UINT>(children.size()),
                                       const_cast<PCUITEMID_CHILD_ARRAY>(children.data()), IID_IDataObject,
                                       NULL, reinterpret_cast<void**>(dataObject));
    for (PITEMID_CHILD child : children)
        CoTaskMemFree(child);
    return result;
}

HGLOBAL MakeDropList(const std::vector<std::wstring>& paths)
{
    size_t characters = 1;
    for (const std::wstring& path : paths)
        characters += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    if (memory == NULL)
        return NULL;
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    wchar_t* text = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& path : paths)
    {
        wmemcpy(text, path.c_str(), path.size() + 1);
        text += path.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

HRESULT CreateClipboardDataObject(UINT format, HGLOBAL memory, IDataObject** dataObject)
{
    *dataObject = NULL;
    if (!OpenClipboard(NULL))
    {
        GlobalFree(memory);
        return HRESULT_FROM_WIN32(GetLastError());
    }
    EmptyClipboard();
    bool placed = SetClipboardData(format, memory) != NULL;
    CloseClipboard();
    if (!placed)
    {
        GlobalFree(memory);
        return E_FAIL;
    }
    return OleGetClipboard(dataObject);
}
