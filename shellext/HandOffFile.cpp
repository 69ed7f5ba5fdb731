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

int WriteNewHandOffFile(const std::string& bytes, char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    buffer[0] = '\0';
    char folder[kPathBufferSize];
    DWORD length = GetTempPathA(sizeof(folder), folder);
    if (length == 0 || length >= sizeof(folder))
        return 0;
    RemoveTrailingBackslash(folder);

    for (int attempt = 0; attempt < kCreateTries; ++attempt)
    {
        if (!MakeUniqueTempName(folder, kHandOffFilePrefix, kHandOffFileExtension, buffer, size))
            return 0;
        // Only a new file: a name that another extension took in the meantime
        // fails here instead of mixing two selections in one file.
        CScopedHandle file(CreateFileA(buffer, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL));
        if (!file.IsValid())
        {
            DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return 0;
        }
        bool written = WriteAll(file.Get(), bytes);
        file.Close();
        if (!written)
        {
            // Half a selection must not reach the main program as if it were whole.
            DeleteFileA(buffer);
            return 0;
        }
        return 1;
    }
    return 0;
}
