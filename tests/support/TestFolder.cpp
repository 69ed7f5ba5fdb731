#include "tests/support/TestFolder.h"

#include <windows.h>

#include <stdio.h>

#include <atomic>

namespace {
std::atomic<unsigned> g_folderCount(0);
}

CTestFolder::CTestFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string base = temp;
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    for (;;)
    {
        char name[64];
        snprintf(name, sizeof(name), "\\tessik-test-%lu-%u-%lu", GetCurrentProcessId(), g_folderCount++,
                 GetTickCount());
        m_path = base + name;
        if (CreateDirectoryA(m_path.c_str(), NULL))
            break;
    }
}

CTestFolder::~CTestFolder()
{
    DeleteTree(m_path);
}

std::string CTestFolder::MakeFolder(const std::string& name) const
{
    std::string path = m_path;
    size_t start = 0;
    while (start <= name.size())
    {
        size_t end = name.find('\\', start);
        if (end == std::string::npos)
            end = name.size();
        path += "\\" + name.substr(start, end - start);
        CreateDirectoryA(path.c_str(), NULL);
        start = end + 1;
    }
    return path;
}

std::string CTestFolder::WriteFile(const std::string& name, const std::string& bytes) const
{
    size_t slash = name.rfind('\\');
    if (slash != std::string::npos)
        MakeFolder(name.substr(0, slash));
    std::string path = *this / name;
    WriteFileBytes(path, bytes);
    return path;
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path, bool* ok)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (ok)
        *ok = file != NULL;
    if (file == NULL)
        return bytes;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.append(chunk, got);
    fclose(file);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == NULL)
        return;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

namespace {

// Wide and in the long form, so that trees deeper than MAX_PATH and names
// without an ANSI form go too.
void DeleteWideTree(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE)
    {
        do
        {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteWideTree(child);
            else
            {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
}

std::wstring LongForm(const std::string& path)
{
    wchar_t wide[MAX_PATH * 4] = L"";
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 4);
    wchar_t full[MAX_PATH * 4] = L"";
    GetFullPathNameW(wide, MAX_PATH * 4, full, NULL);
    return std::wstring(L"\\\\?\\") + full;
}

}  // namespace

void DeleteTree(const std::string& path)
{
    DeleteWideTree(LongForm(path));
}

std::string WriteDeepFile(const std::string& folder, size_t minLength, const std::string& bytes)
{
    std::wstring path = LongForm(folder);
    std::string ansi = folder;
    CreateDirectoryW(path.c_str(), NULL);
    while (ansi.size() < minLength)
    {
        path += L"\\deep-folder-name-0123456789";
        ansi += "\\deep-folder-name-0123456789";
        CreateDirectoryW(path.c_str(), NULL);
    }
    path += L"\\deep.txt";
    ansi += "\\deep.txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(file);
    return ansi;
}

CHeldFolder::CHeldFolder(const std::string& path)
    : m_handle(CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL))
{
}

CHeldFolder::~CHeldFolder()
{
    if (m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
}

std::string TempFolderPath()
{
    char folder[MAX_PATH] = "";
    GetTempPathA(sizeof(folder), folder);
    std::string text = folder;
    if (!text.empty() && text.back() == '\\')
        text.pop_back();
    return text;
}

std::string TestExeFolder()
{
    char path[MAX_PATH * 2];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof(path));
    std::string folder(path, length);
    return folder.substr(0, folder.rfind('\\'));
}

std::vector<std::string> FilesMatching(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const std::string& name : FilesMatching(folder, "*"))
        if (name != "." && name != "..")
            names.push_back(name);
    return names;
}

