#pragma once

#include <stdio.h>
#include <stddef.h>

// Owns one stream of the C runtime while it is open.
class CTextFile
{
public:
    CTextFile() : m_stream(NULL) {}
    ~CTextFile() { Close(); }

    FILE* Open(const char* path, const char* mode);
    int Close();
    // Reads one line including its line feed, at most size-1 characters.
    char* ReadLine(char* buffer, size_t size);
    int Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    int Seek(long offset, int origin);
    size_t Write(const void* data, size_t elementSize, size_t count);

    FILE* Stream() const { return m_stream; }

private:
    CTextFile(const CTextFile&);
    CTextFile& operator=(const CTextFile&);

    FILE* m_stream;
};
