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

void DeleteTree(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE)
    {
        do
        {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(child);
            else
            {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
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
