// The program splits its command line itself; every line here must come out
// as the system's own splitting gives it.
#include "common/CommandLineArgs.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> SystemSplit(const wchar_t* line)
{
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(line, &count);
    std::vector<std::wstring> arguments;
    for (int i = 0; argv != NULL && i < count; ++i)
        arguments.push_back(argv[i]);
    LocalFree(argv);
    return arguments;
}

}  // namespace

TEST(SplitCommandLine, SplitsAsTheSystemDoes)
{
    const wchar_t* lines[] = {
        L"tessik.exe",
        L"\"C:\\Program Files\\Tessik\\tessik.exe\" C:\\a b",
        L"\"C:\\Program Files\\Tessik\\tessik.exe\"\"next\" x",
        L"C:\\t\"es\"sik.exe \"a b\" c",
        L"t \"C:\\My Documents\\\" next",
        L"t a\\\\\\b \"a\\\\\\\"b\" c\\\\\"d e\"",
        L"t \\\\\\\" \\\\\\\\\" x\"",
        L"t \"\" \"\"\"\" \"\"\"\"\"\" a\"\"b \"a\"\"b c\"",
        L"t \"a\"\"\"b\" c",
        L"t \"unclosed arg",
        L"t\targ1\t \targ2   ",
        L"t \"\"",
        L"t /install \"C:\\日本語 フォルダ\\ファイル.txt\"",
        L"  t  lead",
    };
    for (const wchar_t* line : lines)
    {
        std::string shown(line, line + wcslen(line));
        EXPECT_EQ(SystemSplit(line), SplitCommandLine(line)) << "line: " << shown;
    }
}

TEST(SplitCommandLine, EmptyLineGivesTheProgramPath)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    EXPECT_EQ(std::vector<std::wstring>{path}, SplitCommandLine(L""));
}
