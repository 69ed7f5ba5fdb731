// The input list as the shell extension and the command line hand it over.
#include "job/InputList.h"
#include "common/HandOff.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::string HandOffPath()
{
    std::wstring path;
    EXPECT_TRUE(GetHandOffFilePath(&path));
    return Narrow(path);
}

// The input list of these arguments, given as the wide command line gives them.
std::vector<std::wstring> FillWide(const std::vector<std::wstring>& arguments)
{
    std::vector<wchar_t*> argv;
    static wchar_t program[] = L"tessik.exe";
    argv.push_back(program);
    for (const std::wstring& argument : arguments)
        argv.push_back(const_cast<wchar_t*>(argument.c_str()));
    std::vector<std::wstring> list;
    FillInputList(static_cast<int>(argv.size()), argv.data(), &list);
    return list;
}

// The same for arguments and entries that all have an ANSI form.
std::vector<std::string> Fill(const std::vector<std::string>& arguments)
{
    std::vector<std::string> list;
    for (const std::wstring& entry : FillWide(WidenAll(arguments)))
        list.push_back(Narrow(entry));
    return list;
}

bool ReadHandOff(const std::string& path, std::vector<std::string>* list)
{
    std::vector<std::wstring> wide;
    bool read = ReadHandOffFile(Widen(path).c_str(), &wide);
    for (const std::wstring& entry : wide)
        list->push_back(Narrow(entry));
    return read;
}

std::string FullPath(const char* relative)
{
    char full[1024] = "";
    GetFullPathNameA(relative, sizeof(full), full, NULL);
    return full;
}

}  // namespace

TEST(InputList, HandOffFileNameHoldsTwoBackslashes)
{
    char folder[1024] = "";
    GetTempPathA(sizeof(folder), folder);
    EXPECT_EQ(std::string(folder) + "\\tessik_filelist.tmp", HandOffPath());
    EXPECT_NE(std::string::npos, HandOffPath().find("\\\\tessik_filelist.tmp"));
}

TEST(InputList, HandOffFileLinesBecomeEntriesAndTheFileIsDeleted)
{
    std::string line5000(5000, 'a');
    struct
    {
        const char* what;
        std::string bytes;
        std::vector<std::string> entries;
    } cases[] = {
        {"three CR LF lines", "C:\\a b\\1.txt\r\nD:\\表\\ソ\r\n\\\\server\\share\\x\r\n",
         {"C:\\a b\\1.txt", "D:\\表\\ソ", "\\\\server\\share\\x"}},
        {"last line without line end", "C:\\one\r\nC:\\two", {"C:\\one", "C:\\two"}},
        {"empty line", "C:\\one\r\n\r\nC:\\two\r\n", {"C:\\one", "", "C:\\two"}},
        {"a 5000-byte line is one entry", line5000 + "\r\n", {line5000}},
        {"the same path twice", "C:\\x\r\nC:\\x\r\n", {"C:\\x", "C:\\x"}},
        {"empty file", "", {}},
    };
    std::string path = HandOffPath();
    for (const auto& c : cases)
    {
        WriteFileBytes(path, c.bytes);
        std::vector<std::string> list;
        EXPECT_TRUE(ReadHandOff(path, &list)) << c.what;
        EXPECT_EQ(c.entries, list) << c.what;
        EXPECT_FALSE(FileExists(path)) << c.what;
    }
}

TEST(InputList, MissingHandOffFileLeavesTheListEmpty)
{
    DeleteFileA(HandOffPath().c_str());
    std::vector<std::string> list;
    EXPECT_FALSE(ReadHandOff(HandOffPath(), &list));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(Fill({"::PROCESSCOMMUNICATION_COMPRESSMODE"}).empty());
}

TEST(InputList, ArgumentsSelectTheHandOffOnlyByTheExactToken)
{
    CTestFolder folder;
    char current[1024] = "";
    GetCurrentDirectoryA(sizeof(current), current);
    SetCurrentDirectoryA(folder.Path().c_str());
    struct
    {
        const char* what;
        std::vector<std::string> arguments;
        std::vector<std::string> entries;
        bool handOffRead;
    } cases[] = {
        {"token of the extension", {"::PROCESSCOMMUNICATION_COMPRESSMODE"}, {"C:\\from\\handoff"}, true},
        {"any text after the token", {"::PROCESSCOMMUNICATIONXYZ"}, {"C:\\from\\handoff"}, true},
        {"paths in order, duplicates kept", {"C:\\b", "C:\\a", "C:\\b"}, {"C:\\b", "C:\\a", "C:\\b"}, false},
        {"network path unchanged", {"\\\\server\\share\\x"}, {"\\\\server\\share\\x"}, false},
        {"relative path made full", {"sub\\x.txt"}, {folder.Path() + "\\sub\\x.txt"}, false},
        {"token in small letters is a path", {"::processcommunication"}, {FullPath("::processcommunication")}, false},
        {"no arguments", {}, {}, false},
    };
    for (const auto& c : cases)
    {
        WriteFileBytes(HandOffPath(), "C:\\from\\handoff\r\n");
        std::vector<std::string> list = Fill(c.arguments);
        EXPECT_EQ(c.entries, list) << c.what;
        EXPECT_EQ(c.handOffRead, !FileExists(HandOffPath())) << c.what;
    }
    DeleteFileA(HandOffPath().c_str());
    SetCurrentDirectoryA(current);
}

TEST(InputList, NamedHandOffFileIsReadAndDeletedOnlyInTheTempFolderUnderThePrefix)
{
    CTestFolder below;  // a folder inside the temporary folder
    char current[1024] = "";
    GetCurrentDirectoryA(sizeof(current), current);
    SetCurrentDirectoryA(below.Path().c_str());
    std::string temp = TempFolderPath();
    std::string name = "tessik_filelist-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    std::string inTemp = temp + "\\" + name;
    std::string upperTemp = temp;
    CharUpperBuffA(&upperTemp[0], static_cast<DWORD>(upperTemp.size()));
    std::string noPrefix = temp + "\\tessik-list-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    struct
    {
        const char* what;
        const char* token;
        std::string file;
        std::string argument;
        bool read;
    } cases[] = {
        {"the extension's form", kCompressModeToken, inTemp, inTemp, true},
        {"any text after the token", "::PROCESSCOMMUNICATIONXYZ", inTemp, inTemp, true},
        {"dot-dot that stays in the temporary folder", kCompressModeToken, inTemp, temp + "\\sub\\..\\" + name,
         true},
        {"the folder in other letter case", kCompressModeToken, inTemp, upperTemp + "\\" + name, true},
        {"in a folder below the temporary folder", kCompressModeToken, below / name, below / name, false},
        {"dot-dot that leads below", kCompressModeToken, below / name,
         temp + "\\x\\..\\" + below.Path().substr(temp.size() + 1) + "\\" + name, false},
        {"relative name, current folder elsewhere", kCompressModeToken, below / name, name, false},
        {"name without the prefix", kCompressModeToken, noPrefix, noPrefix, false},
        // The fixed name of older extensions is not read in place of a missing file.
        {"named file missing", kCompressModeToken, "", inTemp, false},
    };
    for (const auto& c : cases)
    {
        WriteFileBytes(HandOffPath(), "C:\\from\\fixed\r\n");
        if (!c.file.empty())
            WriteFileBytes(c.file, "C:\\from\\named\r\n");
        std::vector<std::string> list = Fill({c.token, c.argument, "C:\\ignored"});
        EXPECT_EQ(c.read ? std::vector<std::string>{"C:\\from\\named"} : std::vector<std::string>{}, list)
            << c.what;
        if (!c.file.empty())
            EXPECT_EQ(c.read, !FileExists(c.file)) << c.what;
        EXPECT_TRUE(FileExists(HandOffPath())) << c.what;
        DeleteFileA(c.file.c_str());
    }
    DeleteFileA(HandOffPath().c_str());
    SetCurrentDirectoryA(current);
}

// Names beyond Shift_JIS arrive whole from the wide command line and from a
// hand-off file in UTF-8 after its mark; a Shift_JIS file is read as before.
TEST(InputList, NamesBeyondShiftJisArriveWhole)
{
    CTestFolder folder;
    std::wstring current = Widen(folder.Path());
    wchar_t saved[1024] = L"";
    GetCurrentDirectoryW(1024, saved);
    SetCurrentDirectoryW(current.c_str());
    const std::wstring korean = L"C:\\x\\한국어";
    const std::wstring waveDash = L"C:\\x\\A\u301CB.txt";
    const std::wstring handOff = Widen(TempFolderPath()) + L"\\tessik_filelist-wide.tmp";
    const std::wstring token = Widen(kCompressModeToken);
    struct
    {
        const char* what;
        std::vector<std::wstring> arguments;
        std::string handOffBytes;
        std::vector<std::wstring> entries;
    } cases[] = {
        {"wide arguments", {korean, waveDash}, "", {korean, waveDash}},
        {"relative wide argument made full", {L"한국어\\A\u301CB.txt"}, "", {current + L"\\한국어\\A\u301CB.txt"}},
        {"UTF-8 hand-off file", {token, handOff}, "\xEF\xBB\xBF" + Utf8Of(korean + L"\r\n" + waveDash + L"\r\n"),
         {korean, waveDash}},
        {"UTF-8 hand-off file, LF and no last line end", {token, handOff},
         "\xEF\xBB\xBF" + Utf8Of(korean + L"\n" + waveDash), {korean, waveDash}},
        // 0x81 0x60 is the code page's own tilde, U+FF5E.
        {"Shift_JIS hand-off file", {token, handOff}, "C:\\x\\A\x81\x60" "B.txt\r\n", {L"C:\\x\\A\uFF5EB.txt"}},
    };
    for (const auto& c : cases)
    {
        if (!c.handOffBytes.empty())
            WriteWideFile(handOff, c.handOffBytes);
        EXPECT_EQ(c.entries, FillWide(c.arguments)) << c.what;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(handOff.c_str())) << c.what;
    }
    SetCurrentDirectoryW(saved);
}
