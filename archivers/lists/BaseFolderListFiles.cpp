#include "archivers/lists/BaseFolderListFiles.h"

#include "common/PathUtil.h"

#include <windows.h>

#include <string.h>

namespace {

const char kListFilePrefix[] = "res";
const char kListFileExtension[] = ".tmp";
// Held lines are written once they reach this size.
const size_t kFlushBytes = 64 * 1024;

}  // namespace

bool GetListFileFolder(std::string* folder)
{
    wchar_t wide[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, wide);
    if (length == 0 || length > MAX_PATH)
        return false;
    // The archiver DLLs read the list files' names from an ANSI command line.
    char buffer[kPathBufferSize];
    if (!GetAnsiPathName(wide, buffer, sizeof(buffer)))
        return false;
    // The platform ends the folder with a backslash; the name function adds its own.
    RemoveTrailingBackslash(buffer);
    *folder = buffer;
    return true;
}

bool MakeListFileName(std::string* path)
{
    std::string folder;
    char buffer[kPathBufferSize];
    if (!GetListFileFolder(&folder) ||
        !CreateUniqueTempFile(folder.c_str(), kListFilePrefix, kListFileExtension, buffer, sizeof(buffer)))
        return false;
    *path = buffer;
    return true;
}

const char* RelativeToBase(const char* path, const char* baseFolder)
{
    size_t baseLength = strlen(baseFolder);
    if (strncmp(path, baseFolder, baseLength) == 0 && path[baseLength] == '\\')
        return path + baseLength + 1;
    return path;
}

int CBaseFolderListFiles::Begin()
{
    m_pending.clear();
    m_stream.Close();
    m_files.clear();
    m_currentBase.clear();
    return 1;
}

int CBaseFolderListFiles::Add(const char* path, const char* baseFolder)
{
    if (m_stream.Stream() == NULL || m_currentBase != baseFolder)
    {
        if (!Flush())
            return 0;
        m_stream.Close();
        m_currentBase = baseFolder;
        CMap::iterator entry = m_files.find(m_currentBase);
        if (entry == m_files.end())
        {
            std::string listFile;
            if (!MakeListFileName(&listFile))
                return 0;
            entry = m_files.insert(CMap::value_type(m_currentBase, listFile)).first;
        }
        if (m_stream.Open(entry->second.c_str(), "a") == NULL)
            return 0;
    }
    m_pending += '"';
    m_pending += RelativeToBase(path, baseFolder);
    // The stream is in text mode: it writes the line feed as CR LF.
    m_pending += "\"\n";
    return m_pending.size() < kFlushBytes || Flush();
}

bool CBaseFolderListFiles::Flush()
{
    if (m_pending.empty())
        return true;
    bool written = m_stream.Write(m_pending.data(), 1, m_pending.size()) == m_pending.size();
    m_pending.clear();
    return written;
}

int CBaseFolderListFiles::End()
{
    bool written = Flush();
    if (m_stream.Stream() != NULL && m_stream.Close() != 0)
        written = false;
    return written;
}

void CBaseFolderListFiles::Cleanup()
{
    m_pending.clear();
    m_stream.Close();
    for (CMap::const_iterator entry = m_files.begin(); entry != m_files.end(); ++entry)
        DeleteFileA(entry->second.c_str());
    // As for the single list file: a deleted name is no longer ours.
    m_files.clear();
    m_currentBase.clear();
}
