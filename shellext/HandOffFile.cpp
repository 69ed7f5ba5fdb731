#include "shellext/HandOffFile.h"

#include "common/HandOff.h"
#include "common/PathUtil.h"
#include "common/ScopedHandle.h"
#include "common/TextConvert.h"

#include <windows.h>

#include <string.h>

namespace {

// Another extension (another file manager window, or a second press) may take
// a name between our check and our create; the unique-name helper never hands
// out the same value twice in a row, so a few tries always move on.
const int kCreateTries = 8;

bool WriteAll(HANDLE file, const std::string& bytes)
{
    if (bytes.size() > MAXDWORD)
        return false;
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL) &&
           written == bytes.size();
}

}  // namespace

std::string JoinHandOffLines(const std::vector<std::string>& paths)
{
    std::string joined;
    for (const std::string& path : paths)
    {
        joined += path;
        joined += "\r\n";
    }
    return joined;
}

std::string HandOffFileBytes(const std::vector<std::wstring>& paths)
{
    std::vector<std::string> ansiPaths;
    for (const std::wstring& path : paths)
    {
        // Each UTF-16 unit is at most two Shift_JIS bytes.
        std::string ansi(path.size() * 2 + 1, '\0');
        if (!ToExactAnsi(path.c_str(), &ansi[0], ansi.size()))
        {
            std::string utf8 = kHandOffUtf8Mark;
            for (const std::wstring& each : paths)
                utf8 += WideToUtf8(each) + "\r\n";
            return utf8;
        }
        ansi.resize(strlen(ansi.c_str()));
        ansiPaths.push_back(ansi);
    }
    return JoinHandOffLines(ansiPaths);
}

bool WriteNewHandOffFile(const std::string& bytes, std::wstring* path)
{
    path->clear();
    wchar_t folder[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return false;
    std::wstring tempFolder(folder, length);
    while (!tempFolder.empty() && tempFolder.back() == L'\\')
        tempFolder.pop_back();

    for (int attempt = 0; attempt < kCreateTries; ++attempt)
    {
        if (!MakeUniqueTempName(tempFolder, kHandOffFilePrefix, kHandOffFileExtension, path))
            return false;
        // Only a new file: a name that another extension took in the meantime
        // fails here instead of mixing two selections in one file.
        CScopedHandle file(
            CreateFileW(path->c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL));
        if (!file.IsValid())
        {
            DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return false;
        }
        bool written = WriteAll(file.Get(), bytes);
        file.Close();
        if (!written)
        {
            // Half a selection must not reach the main program as if it were whole.
            DeleteFileW(path->c_str());
            return false;
        }
        return true;
    }
    return false;
}
