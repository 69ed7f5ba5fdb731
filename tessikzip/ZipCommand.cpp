#include "tessikzip/ZipCommand.h"

#include "dllkit/CommandLine.h"

#include <wchar.h>

namespace {

// A switch's number of up to four digits.
bool ParseNumber(const std::wstring& text, unsigned limit, unsigned* value)
{
    unsigned long long number = 0;
    if (!ParseSwitchNumber(text, 4, limit, &number))
        return false;
    *value = static_cast<unsigned>(number);
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

bool ParseZipCommand(const std::wstring& line, CZipCommand* command, EDllFailure* failure, std::wstring* subject)
{
    *command = CZipCommand();
    if (!ParseAddCommand(
            line, [command](const std::wstring& token) { return ApplySwitch(token, command); }, &command->archive,
            &command->sources, failure, subject))
        return false;
    if (command->level == 0)
        command->store = true;
    return true;
}
