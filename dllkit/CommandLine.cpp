#include "dllkit/CommandLine.h"

bool SplitDllCommandLine(const std::wstring& line, std::vector<std::wstring>* tokens)
{
    tokens->clear();
    std::wstring token;
    bool inToken = false;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i)
    {
        wchar_t c = line[i];
        if (quoted)
        {
            if (c != L'"')
                token += c;
            else if (i + 1 < line.size() && line[i + 1] == L'"')
                token += L'"', ++i;
            else
                quoted = false;
        }
        else if (c == L' ' || c == L'\t' || c == L'\r' || c == L'\n')
        {
            if (inToken)
                tokens->push_back(token);
            token.clear();
            inToken = false;
        }
        else
        {
            inToken = true;
            if (c == L'"')
                quoted = true;
            else
                token += c;
        }
    }
    if (quoted)
        return false;
    if (inToken)
        tokens->push_back(token);
    return true;
}

bool ParseAddCommand(const std::wstring& line, const std::function<bool(const std::wstring&)>& applySwitch,
                     std::wstring* archive, std::vector<CListSource>* sources, EDllFailure* failure,
                     std::wstring* subject)
{
    archive->clear();
    sources->clear();
    std::vector<std::wstring> tokens;
    if (!SplitDllCommandLine(line, &tokens))
    {
        *failure = EDllFailure::kBadCommandLine;
        *subject = line;
        return false;
    }
    if (tokens.empty() || tokens[0] != L"a")
    {
        *failure = EDllFailure::kUnknownCommand;
        *subject = tokens.empty() ? std::wstring() : tokens[0];
        return false;
    }
    std::wstring pendingBase;
    bool haveBase = false;
    for (size_t i = 1; i < tokens.size(); ++i)
    {
        const std::wstring& token = tokens[i];
        if (token.size() > 1 && token[0] == L'-')
        {
            if (!applySwitch(token))
            {
                *failure = EDllFailure::kUnknownSwitch;
                *subject = token;
                return false;
            }
        }
        else if (archive->empty())
            *archive = token;
        else if (token[0] == L'@')
        {
            if (!haveBase || token.size() < 2)
            {
                *failure = EDllFailure::kBadCommandLine;
                *subject = token;
                return false;
            }
            sources->push_back({pendingBase, token.substr(1)});
            haveBase = false;
        }
        else if (haveBase)
        {
            *failure = EDllFailure::kBadCommandLine;
            *subject = token;
            return false;
        }
        else
        {
            pendingBase = token;
            if (pendingBase.back() != L'\\' && pendingBase.back() != L'/')
                pendingBase += L'\\';
            haveBase = true;
        }
    }
    if (archive->empty())
    {
        *failure = EDllFailure::kNoArchive;
        return false;
    }
    if (sources->empty() || haveBase)
    {
        *failure = EDllFailure::kNoList;
        return false;
    }
    return true;
}

bool ParseSwitchNumber(const std::wstring& text, size_t digits, unsigned long long limit, unsigned long long* value)
{
    if (text.empty() || text.size() > digits)
        return false;
    unsigned long long number = 0;
    for (wchar_t c : text)
    {
        if (c < L'0' || c > L'9')
            return false;
        number = number * 10 + static_cast<unsigned>(c - L'0');
    }
    if (number > limit)
        return false;
    *value = number;
    return true;
}
