#include "common/TextFile.h"

#include <stdarg.h>

FILE* CTextFile::Open(const char* path, const char* mode)
{
    Close();
    m_stream = fopen(path, mode);
    return m_stream;
}

int CTextFile::Close()
{
    if (m_stream == NULL)
        return -1;
    int result = fclose(m_stream);
    m_stream = NULL;
    return result;
}

char* CTextFile::ReadLine(char* buffer, size_t size)
{
    if (m_stream == NULL || size == 0)
        return NULL;
    return fgets(buffer, static_cast<int>(size), m_stream);
}

int CTextFile::Print(const char* format, ...)
{
    if (m_stream == NULL)
        return -1;
    va_list args;
    va_start(args, format);
    int result = vfprintf(m_stream, format, args);
    va_end(args);
    return result;
}

int CTextFile::Seek(long offset, int origin)
{
    if (m_stream == NULL)
        return -1;
    return fseek(m_stream, offset, origin);
}

size_t CTextFile::Write(const void* data, size_t elementSize, size_t count)
{
    if (m_stream == NULL)
        return 0;
    return fwrite(data, elementSize, count, m_stream);
}
