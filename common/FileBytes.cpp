#include "common/FileBytes.h"

namespace {

bool Seek(HANDLE file, ULONGLONG at)
{
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(at);
    return SetFilePointerEx(file, position, NULL, FILE_BEGIN) != FALSE;
}

// One WriteFile call takes a DWORD count: more is refused, never cut short.
bool WriteAll(HANDLE file, const std::string& bytes)
{
    DWORD written = 0;
    return bytes.size() <= MAXDWORD &&
           (bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL) &&
                              written == bytes.size()));
}

}  // namespace

CByteFile::CByteFile(const std::wstring& path, DWORD access, DWORD share)
    : m_file(CreateFileW(path.c_str(), access, share, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL))
{
}

bool CByteFile::Size(ULONGLONG* size) const
{
    LARGE_INTEGER value = {};
    if (!GetFileSizeEx(m_file.Get(), &value))
        return false;
    *size = static_cast<ULONGLONG>(value.QuadPart);
    return true;
}

bool CByteFile::ReadAt(ULONGLONG at, size_t length, std::string* bytes) const
{
    bytes->assign(length, '\0');
    DWORD got = 0;
    return length == 0 || (length <= MAXDWORD && Seek(m_file.Get(), at) &&
                            ReadFile(m_file.Get(), &(*bytes)[0], static_cast<DWORD>(length), &got, NULL) &&
                            got == length);
}

bool CByteFile::ReadToEnd(ULONGLONG at, std::string* bytes) const
{
    if (!Seek(m_file.Get(), at))
        return false;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(m_file.Get(), chunk, sizeof(chunk), &got, NULL))
    {
        if (got == 0)
            return true;
        bytes->append(chunk, got);
    }
    return false;
}

bool CByteFile::WriteAt(ULONGLONG at, const std::string& bytes) const
{
    return Seek(m_file.Get(), at) && WriteAll(m_file.Get(), bytes);
}

bool ReadWholeFile(const std::wstring& path, std::string* bytes)
{
    return ReadFileTail(path, static_cast<size_t>(-1), bytes);
}

bool ReadFileTail(const std::wstring& path, size_t keep, std::string* bytes)
{
    bytes->clear();
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!file.IsOpen())
        return false;
    ULONGLONG size = 0;
    ULONGLONG start = file.Size(&size) && size > keep ? size - keep : 0;
    return file.ReadToEnd(start, bytes);
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    CScopedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    return file.IsValid() && WriteAll(file.Get(), bytes);
}
