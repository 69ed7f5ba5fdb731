#include "tessik7z/SevenZipCommand.h"

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* head, std::wstring* rest)
{
    std::wstring prefix = head;
    if (text.compare(0, prefix.size(), prefix) != 0)
        return false;
    *rest = text.substr(prefix.size());
    return true;
}

// One switch into the command; false when it is not one of ours.
bool ApplySwitch(const std::wstring& token, CSevenZipCommand* command)
{
    std::wstring rest = token.substr(1);
    std::wstring value;
    unsigned long long number = 0;
    if (rest.size() == 2 && rest[0] == L'l' && ParseSwitchNumber(rest.substr(1), 1, 9, &number))
        command->level = static_cast<int>(number);
    else if (rest == L"s:on")
        command->solid = true;
    else if (rest == L"s:off")
        command->solid = false;
    else if (StartsWith(rest, L"sb:", &value) && ParseSwitchNumber(value, 7, 1048576, &number) && number > 0)
        command->solidBlockSize = number << 20;  // MiB
    else if (StartsWith(rest, L"sf:", &value) && ParseSwitchNumber(value, 10, 4000000000ULL, &number) && number > 0)
        command->solidBlockFiles = number;
    else if (StartsWith(rest, L"t", &value) && ParseSwitchNumber(value, 4, 1024, &number))
        command->threads = static_cast<unsigned>(number);
    else if (rest.size() > 1 && rest[0] == L'p')
        command->password = rest.substr(1);
    else if (rest == L"he")
        command->encryptHeader = true;
    else if (rest == L"i")
        command->showProgress = false;
    else
        return false;
    return true;
}

}  // namespace

bool ParseSevenZipCommand(const std::wstring& line, CSevenZipCommand* command, EDllFailure* failure,
                          std::wstring* subject)
{
    *command = CSevenZipCommand();
    if (!ParseAddCommand(
            line, [command](const std::wstring& token) { return ApplySwitch(token, command); }, &command->archive,
            &command->sources, failure, subject))
        return false;
    // The header is hidden with the password that encrypts the data.
    if (command->encryptHeader && command->password.empty())
    {
        *failure = EDllFailure::kHeaderWithoutPassword;
        return false;
    }
    return true;
}
