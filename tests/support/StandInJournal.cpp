#include "tests/support/StandInJournal.h"

#include "tests/support/TestFolder.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace {

// Reads "<tag...> <length>\n<bytes>\n" at pos; returns false at a malformed record.
bool ReadCounted(const std::string& journal, size_t* pos, const std::string& header, std::string* bytes)
{
    size_t space = header.rfind(' ');
    if (space == std::string::npos)
        return false;
    size_t length = strtoul(header.c_str() + space + 1, NULL, 10);
    if (*pos + length + 1 > journal.size())
        return false;
    *bytes = journal.substr(*pos, length);
    *pos += length + 1;
    return true;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, strlen(prefix), prefix) == 0;
}

}  // namespace

std::vector<CStandInCall> ReadStandInJournal(const std::string& folder, const std::string& dllName)
{
    std::vector<CStandInCall> calls;
    std::string journal = ReadFileBytes(folder + "\\" + dllName + ".journal");
    size_t pos = 0;
    while (pos < journal.size())
    {
        size_t end = journal.find('\n', pos);
        if (end == std::string::npos)
            break;
        std::string header = journal.substr(pos, end - pos);
        pos = end + 1;
        if (StartsWith(header, "CALL "))
        {
            CStandInCall call;
            char entry[128] = "";
            int window = 0;
            long result = 0;
            sscanf(header.c_str(), "CALL %127s hwnd=%d result=%ld", entry, &window, &result);
            call.entry = entry;
            call.hasWindow = window != 0;
            call.result = result;
            calls.push_back(call);
        }
        else if (calls.empty())
        {
            break;
        }
        else if (StartsWith(header, "LINE "))
        {
            if (!ReadCounted(journal, &pos, header, &calls.back().line))
                break;
        }
        else if (StartsWith(header, "LIST "))
        {
            CStandInList list;
            size_t space = header.rfind(' ');
            list.path = header.substr(5, space - 5);
            if (!ReadCounted(journal, &pos, header, &list.bytes))
                break;
            calls.back().lists.push_back(list);
        }
        else if (StartsWith(header, "MISSING "))
        {
            CStandInList list;
            list.path = header.substr(8);
            list.missing = true;
            calls.back().lists.push_back(list);
        }
    }
    return calls;
}

std::vector<CStandInCall> CallsOf(const std::vector<CStandInCall>& calls, const std::string& entry)
{
    std::vector<CStandInCall> matching;
    for (const CStandInCall& call : calls)
        if (call.entry == entry)
            matching.push_back(call);
    return matching;
}

void InstallStandIns(const std::string& folder, const std::vector<std::string>& fileNames,
                     const std::string& variant)
{
    std::string source = TestExeFolder() + "\\standins\\" + variant + "\\";
    for (const std::string& name : fileNames)
        CopyFileA((source + name).c_str(), (folder + "\\" + name).c_str(), FALSE);
}

void WriteStandInScript(const std::string& folder, const std::string& dllName, const std::string& script)
{
    WriteFileBytes(folder + "\\" + dllName + ".script", script);
}

void ResetStandInJournal(const std::string& folder, const std::string& dllName)
{
    DeleteFileA((folder + "\\" + dllName + ".journal").c_str());
    DeleteFileA((folder + "\\" + dllName + ".calls").c_str());
}

std::vector<std::string> SortedLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size())
    {
        size_t end = bytes.find("\r\n", start);
        end = end == std::string::npos ? bytes.size() : end + 2;
        lines.push_back(bytes.substr(start, end - start));
        start = end;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}
