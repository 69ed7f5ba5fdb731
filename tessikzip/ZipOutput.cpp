#include "tessikzip/ZipOutput.h"

#include <string.h>

namespace {

const size_t kBufferSize = 4 << 20;

}  // namespace

bool CZipOutput::Open(const std::wstring& path)
{
    m_file.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    m_buffer.reserve(kBufferSize);
    m_bufferAt = 0;
    m_failed = !m_file.IsValid();
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
        if (!WriteFile(m_file.Get(), data, chunk, &written, &where) || written != chunk)
            m_failed = true;
        at += chunk;
        data += chunk;
        size -= chunk;
    }
    return !m_failed;
}

bool CZipOutput::Close()
{
    if (!m_file.IsValid())
        return !m_failed;
    Flush();
    m_file.Close();
    return !m_failed;
}
