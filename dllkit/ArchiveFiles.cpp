#include "dllkit/ArchiveFiles.h"

std::wstring FolderOfArchive(const std::wstring& path)
{
    size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? L"." : path.substr(0, cut + 1);
}

EDllFailure OpenOldArchive(const std::wstring& path, EDllFailure notArchive, std::unique_ptr<CByteFile>* file,
                           DWORD* systemError)
{
    file->reset();
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND
                   ? EDllFailure::kNone
                   : EDllFailure::kArchiveUnreadable;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return notArchive;
    // Every adder asks for write access, which the holder does not share; a
    // read-only archive is read without it (its replace fails later).
    file->reset(new CByteFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ));
    if (!(*file)->IsOpen() && GetLastError() == ERROR_ACCESS_DENIED)
        file->reset(new CByteFile(path, GENERIC_READ, FILE_SHARE_READ));
    if ((*file)->IsOpen())
        return EDllFailure::kNone;
    *systemError = GetLastError();
    file->reset();
    return *systemError == ERROR_SHARING_VIOLATION || *systemError == ERROR_LOCK_VIOLATION
               ? EDllFailure::kArchiveInUse
               : EDllFailure::kArchiveUnreadable;
}

EDllFailure MakeTempBeside(const std::wstring& archive, const wchar_t* prefix, std::wstring* temp, DWORD* systemError,
                           std::wstring* subject)
{
    wchar_t name[MAX_PATH];
    std::wstring folder = FolderOfArchive(archive);
    if (GetTempFileNameW(folder.c_str(), prefix, 0, name) == 0)
    {
        *systemError = GetLastError();
        *subject = folder;
        return EDllFailure::kTempFailed;
    }
    *temp = name;
    return EDllFailure::kNone;
}

EDllFailure ReplaceWithTemp(EDllFailure failure, const std::wstring& temp, const std::wstring& archive,
                            std::unique_ptr<CByteFile>* oldFile, DWORD* systemError, std::wstring* subject)
{
    // The old archive is held against other writers until its successor,
    // flushed to the disk, takes its place; a replace needs it closed.
    oldFile->reset();
    if (failure == EDllFailure::kNone &&
        !MoveFileExW(temp.c_str(), archive.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    {
        *systemError = GetLastError();
        *subject = archive;
        failure = EDllFailure::kReplaceFailed;
    }
    if (failure != EDllFailure::kNone)
        DeleteFileW(temp.c_str());
    return failure;
}
