#include "common/CommandLineArgs.h"

#include <windows.h>

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// The program's own path: what the system gives as the first argument of an
// empty command line.
std::wstring ModulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;)
    {
        DWORD length = GetModuleFileNameW(NULL, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size())
        {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The first argument: no escapes, a quote either opens it or is part of it.
const wchar_t* ReadProgram(const wchar_t* at, std::wstring* program)
{
    if (*at == L'"')
    {
        ++at;
        while (*at != L'\0' && *at != L'"')
            *program += *at++;
        if (*at == L'"')
            ++at;
        return at;
    }
    while (*at != L'\0' && !IsBlank(*at))
        *program += *at++;
    return at;
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine)
{
    std::vector<std::wstring> arguments;
    if (commandLine == NULL || *commandLine == L'\0')
    {
        arguments.push_back(ModulePath());
        return arguments;
    }
    std::wstring program;
    const wchar_t* at = ReadProgram(commandLine, &program);
    arguments.push_back(program);

    while (*at != L'\0')
    {
        while (IsBlank(*at))
            ++at;
        if (*at == L'\0')
            break;
        std::wstring argument;
        // Quotes seen in the current run: 1 inside a quoted part, 0 outside;
        // every third quote of a run is a literal one.
        int quotes = 0;
        size_t backslashes = 0;
        while (*at != L'\0' && (quotes != 0 || !IsBlank(*at)))
        {
            if (*at == L'\\')
            {
                argument += *at++;
                ++backslashes;
                continue;
            }
            if (*at != L'"')
            {
                argument += *at++;
                backslashes = 0;
                continue;
            }
            // Half the backslashes before a quote stay; an odd one makes the
            // quote literal.
            argument.resize(argument.size() - (backslashes + 1) / 2);
            if (backslashes % 2 == 0)
                ++quotes;
            else
                argument += L'"';
            backslashes = 0;
            for (++at; *at == L'"'; ++at)
            {
                if (++quotes == 3)
                {
                    argument += L'"';
                    quotes = 0;
                }
            }
            if (quotes == 2)
                quotes = 0;
        }
        arguments.push_back(argument);
    }
    return arguments;
}
