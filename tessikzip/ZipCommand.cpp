#include "tessikzip/ZipCommand.h"

#include <wchar.h>

namespace {

bool ParseNumber(const std::wstring& text, unsigned limit, unsigned* value)
{
    if (text.empty() || text.size() > 4)
        return false;
    unsigned number = 0;
    for (wchar_t c : text)
    {
        if (c < L'0' || c > L'9')
            return false;
        number = number * 10 + (c - L'0');
    }
    if (number > limit)
        return false;
    *value = number;
    return true;
}

// One switch into the command; false when it is not one of ours.
bool ApplySwitch(const std::wstring& token, CZipCommand* command)
{
    std::wstring rest = token.substr(1);
    unsigned number = 0;
    if (rest.size() == 2 && rest[0] == L'l' && ParseNumber(rest.substr(1), 9, &number))
        command->level = static_cast<int>(number);
    else if (rest == L"m:deflate")
        command->store = false;
    else if (rest == L"m:store")
        command->store = true;
    else if (rest.size() > 1 && rest[0] == L'p')
        command->password = rest.substr(1);
    else if (rest == L"e:aes")
        command->encryption = EZipEncryption::kAes;
    else if (rest == L"e:zipcrypto")
        command->encryption = EZipEncryption::kZipCrypto;
    else if (rest == L"n:utf8")
        command->names = EZipNames::kUtf8;
    else if (rest == L"n:sjis")
        command->names = EZipNames::kShiftJis;
    else if (rest.size() > 1 && rest[0] == L't' && ParseNumber(rest.substr(1), 1024, &number))
        command->threads = number;
    else if (rest == L"i")
        command->showProgress = false;
    else
        return false;
    return true;
}

}  // namespace

bool SplitZipCommandLine(const std::wstring& line, std::vector<std::wstring>* tokens)
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

bool ParseZipCommand(const std::wstring& line, CZipCommand* command, EZipFailure* failure, std::wstring* subject)
{
    *command = CZipCommand();
    std::vector<std::wstring> tokens;
    if (!SplitZipCommandLine(line, &tokens))
    {
        *failure = EZipFailure::kBadCommandLine;
        *subject = line;
        return false;
    }
    if (tokens.empty() || tokens[0] != L"a")
    {
        *failure = EZipFailure::kUnknownCommand;
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
            if (!ApplySwitch(token, command))
            {
                *failure = EZipFailure::kUnknownSwitch;
                *subject = token;
                return false;
            }
        }
        else if (command->archive.empty())
            command->archive = token;
        else if (token[0] == L'@')
        {
            if (!haveBase || token.size() < 2)
            {
                *failure = EZipFailure::kBadCommandLine;
                *subject = token;
                return false;
            }
            command->sources.push_back({pendingBase, token.substr(1)});
            haveBase = false;
        }
        else if (haveBase)
        {
            *failure = EZipFailure::kBadCommandLine;
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
    if (command->archive.empty())
    {
        *failure = EZipFailure::kNoArchive;
        return false;
    }
    if (command->sources.empty() || haveBase)
    {
        *failure = EZipFailure::kNoList;
        return false;
    }
    if (command->level == 0)
        command->store = true;
    return true;
}
