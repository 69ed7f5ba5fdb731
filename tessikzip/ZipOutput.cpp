#include "tessikzip/ZipOutput.h"

#include <string.h>

namespace {

const size_t kBufferSize = 4 << 20;
const size_t kHeldLimit = 1 << 20;

}  // namespace

bool CZipOutput::Open(const std::wstring& path)
{
    m_file.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    m_buffer.reserve(kBufferSize);
    m_bufferAt = 0;
    m_failed = !m_file.IsValid();
    m_error = m_failed ? GetLastError() : 0;
    return !m_failed;
}

void CZipOutput::Write(const char* data, size_t size)
{
    if (m_buffer.size() + size > kBufferSize && !Flush())
        return;
    if (size >= kBufferSize)
    {
        if (WriteAt(m_bufferAt, data, size))
            m_bufferAt += size;
        return;
    }
    m_buffer.append(data, size);
}

void CZipOutput::Patch(ULONGLONG at, const std::string& bytes)
{
    // Mostly the header is still in the buffer.
    if (at >= m_bufferAt && at + bytes.size() <= Tell())
    {
        memcpy(&m_buffer[static_cast<size_t>(at - m_bufferAt)], bytes.data(), bytes.size());
        return;
    }
    if (at + bytes.size() > m_bufferAt)
    {
        if (!Flush())
            return;
    }
    WriteAt(at, bytes.data(), bytes.size());
}

bool CZipOutput::Flush()
{
    if (m_buffer.empty())
        return !m_failed;
    bool ok = WriteAt(m_bufferAt, m_buffer.data(), m_buffer.size());
    m_bufferAt += m_buffer.size();
    m_buffer.clear();
    return ok;
}

bool CZipOutput::WriteAt(ULONGLONG at, const char* data, size_t size)
{
    while (!m_failed && size > 0)
    {
        OVERLAPPED where = {};
        where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFULL);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD chunk = static_cast<DWORD>(size > (1u << 30) ? (1u << 30) : size);
        DWORD written = 0;
        BOOL wrote = WriteFile(m_file.Get(), data, chunk, &written, &where);
        if (!wrote || written != chunk)
        {
            // A short write is what a full disk gives.
            m_failed = true;
            m_error = wrote ? ERROR_DISK_FULL : GetLastError();
        }
        at += chunk;
        data += chunk;
        size -= chunk;
    }
    return !m_failed;
}

bool CZipOutput::Commit()
{
    if (m_file.IsValid() && Flush() && !FlushFileBuffers(m_file.Get()))
    {
        m_failed = true;
        m_error = GetLastError();
    }
    return Close();
}

bool CZipOutput::Close()
{
    if (!m_file.IsValid())
        return !m_failed;
    Flush();
    m_file.Close();
    return !m_failed;
}

void CDeferredBytes::Append(const std::string& bytes)
{
    m_held += bytes;
    m_size += bytes.size();
    if (m_held.size() >= kHeldLimit && !m_failed)
        m_failed = !Spill();
}

bool CDeferredBytes::Spill()
{
    if (!m_file.IsValid())
    {
        wchar_t path[MAX_PATH];
        if (GetTempFileNameW(m_folder.c_str(), L"tzd", 0, path) == 0)
            return false;
        m_path = path;
        m_file.Reset(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, NULL));
        if (!m_file.IsValid())
        {
            DeleteFileW(path);
            return false;
        }
    }
    DWORD written = 0;
    bool ok = WriteFile(m_file.Get(), m_held.data(), static_cast<DWORD>(m_held.size()), &written, NULL) &&
              written == m_held.size();
    m_held.clear();
    return ok;
}

bool CDeferredBytes::WriteTo(CZipOutput* output)
{
    if (m_failed)
        return false;
    if (m_file.IsValid())
    {
        if (SetFilePointer(m_file.Get(), 0, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
            return false;
        std::string chunk(kHeldLimit, '\0');
        for (;;)
        {
            DWORD read = 0;
            if (!ReadFile(m_file.Get(), &chunk[0], static_cast<DWORD>(chunk.size()), &read, NULL))
                return false;
            if (read == 0)
                break;
            output->Write(chunk.data(), read);
        }
    }
    output->Write(m_held);
    return true;
}

void CDeferredBytes::Discard()
{
    if (!m_file.IsValid())
        return;
    m_file.Close();
    DeleteFileW(m_path.c_str());
}
