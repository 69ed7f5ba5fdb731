#pragma once

#include <string>
#include <vector>

// A fresh folder below the temporary folder, removed with everything in it when
// the object goes away.
class CTestFolder
{
public:
    CTestFolder();
    ~CTestFolder();

    const std::string& Path() const { return m_path; }
    // Path of a name inside the folder ("a\\b.txt" may name a subfolder).
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

    // Creates the file (and its folders) with exactly these bytes.
    std::string WriteFile(const std::string& name, const std::string& bytes) const;
    std::string MakeFolder(const std::string& name) const;

private:
    CTestFolder(const CTestFolder&);
    CTestFolder& operator=(const CTestFolder&);

    std::string m_path;
};

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// The whole file, or an empty string with *ok false when it cannot be read.
std::string ReadFileBytes(const std::string& path, bool* ok = nullptr);
void WriteFileBytes(const std::string& path, const std::string& bytes);
void DeleteTree(const std::string& path);
// Names in folder that match the wildcard pattern.
std::vector<std::string> FilesMatching(const std::string& folder, const std::string& pattern);
// Every entry of folder but "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder);
// Creates folder\deep-folder-name-…\…\deep.txt through the long path form,
// at least minLength characters long; returns its path.
std::string WriteDeepFile(const std::string& folder, size_t minLength, const std::string& bytes);

// Holds a folder open without sharing, so that listing it fails with a
// sharing violation while the object lives.
class CHeldFolder
{
public:
    explicit CHeldFolder(const std::string& path);
    ~CHeldFolder();
    bool IsHeld() const { return m_handle != reinterpret_cast<void*>(-1); }

private:
    CHeldFolder(const CHeldFolder&);
    CHeldFolder& operator=(const CHeldFolder&);

    void* m_handle;
};
// The temporary folder without its trailing backslash.
std::string TempFolderPath();
// The folder of the running test executable.
std::string TestExeFolder();
