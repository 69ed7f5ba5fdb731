#include "bridges/core/CommandLine.h"

#include "bridges/core/BridgeText.h"
#include "common/FileBytes.h"
#include "common/ShiftJis.h"
#include "common/TextConvert.h"

bool SplitCommandLine(const std::string& line, std::vector<std::string>* words)
{
    words->clear();
    size_t i = 0;
    while (i < line.size())
    {
        if (line[i] == ' ' || line[i] == '\t')
        {
            ++i;
            continue;
        }
        std::string word;
        bool closedQuote = false;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
        {
            if (closedQuote)
                return false;
            if (line[i] != '"')
            {
                word += line[i++];
                continue;
            }
            size_t close = line.find('"', i + 1);
            if (close == std::string::npos)
                return false;
            word.append(line, i + 1, close - i - 1);
            i = close + 1;
            closedQuote = true;
        }
        words->push_back(word);
    }
    return true;
}

bool ReadListLines(const std::string& path, std::vector<std::string>* lines)
{
    lines->clear();
    std::string bytes;
    if (!ReadWholeFile(ProgramToWide(path), &bytes))
        return false;
    size_t start = 0;
    while (start < bytes.size())
    {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines->push_back(line);
        start = end + 1;
    }
    return true;
}

bool TakeBaseFolder(const std::string& word, std::string* folder)
{
    if (!EndsWithProgramSeparator(word) || word.size() < 2)
        return false;
    *folder = word.substr(0, word.size() - 1);
    return true;
}
