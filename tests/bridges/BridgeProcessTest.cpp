// The real program beside the bridges, in compress mode with quick start:
// real archives that the host's own tools list and extract.
#include "archivers/formats/FormatRegistry.h"
#include "bridges/core/ArchiveNames.h"
#include "bridges/core/BridgeMessages.h"
#include "bridges/core/BridgeText.h"
#include "bridges/core/HostTools.h"
#include "dllkit/DllMessages.h"
#include "resources/resource.h"
#include "tests/app/ProgramCopy.h"
#include "tests/bridges/HostCommand.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/UiHelper.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <functional>

namespace {

const char kCompressTitle[] = "圧縮  - Tessik";
const char kResultTitle[] = "処理結果";
const char kPasswordTitle[] = "パスワードの設定";
// What the slow stand-in for 7zz writes first, as the progress window shows it.
const char kFirstToolLine[] = "42% 3 + src/a.txt";
const DWORD kRunTimeoutMs = 60000;

std::string BridgeFolder() { return TestExeFolder() + "\\bridges"; }
// Our own archiver DLLs, built apart from the bridges.
std::string OwnZipFolder() { return TestExeFolder() + "\\tessikzip"; }
std::string OwnSevenZipFolder() { return TestExeFolder() + "\\tessik7z"; }
std::string ReaderFolder(const std::string& dll)
{
    return dll == "TessikZip.dll" ? OwnZipFolder() : dll == "Tessik7z.dll" ? OwnSevenZipFolder() : BridgeFolder();
}

// The files of the tree the walk selects; skip.bak is left out by the
// filter list, 空 is an empty folder, 表 and ソ end in the byte 0x5C.
const std::vector<std::string> kSelected = {"src\\docs\\a b.txt", "src\\docs\\ソ.txt", "src\\表.txt",
                                            "src\\表\\x.bin"};

struct CProgramRun
{
    DWORD exitCode = 0;
    std::string resultText;  // the result dialog's text, empty when none came
    bool compressDialogShown = false;
};

class BridgeProcess : public SettingsFileTest
{
protected:
    void SetUp() override
    {
        SettingsFileTest::SetUp();
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((BridgeFolder() + "\\*.dll").c_str(), &found);
        ASSERT_NE(INVALID_HANDLE_VALUE, find);
        do
            CopyFileA((BridgeFolder() + "\\" + found.cFileName).c_str(), (m_program.Folder() + "\\" + found.cFileName).c_str(), FALSE);
        while (FindNextFileA(find, &found));
        FindClose(find);
        ASSERT_TRUE(CopyFileA((OwnZipFolder() + "\\TessikZip.dll").c_str(), (m_program.Folder() + "\\TessikZip.dll").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA((OwnSevenZipFolder() + "\\Tessik7z.dll").c_str(), (m_program.Folder() + "\\Tessik7z.dll").c_str(), FALSE));

        m_data.WriteFile("src\\表.txt", "hello 表\r\nline two\n");
        m_data.WriteFile("src\\docs\\ソ.txt", std::string("\x83\x5C\x00\xFF\\ bytes", 11));
        m_data.WriteFile("src\\docs\\a b.txt", std::string(20000, 'z'));
        m_data.WriteFile("src\\表\\x.bin", "in a folder whose name ends in 0x5C");
        m_data.WriteFile("src\\skip.bak", "left out by the filter");
        m_data.MakeFolder("src\\空");
    }

    void TearDown() override
    {
        for (const char* name : {"TESSIK_HOST_7ZZ", "TESSIK_HOST_BOUND_SECONDS"})
            SetEnvironmentVariableA(name, NULL);
        SettingsFileTest::TearDown();
    }

    void PlaceSettings(const std::string& format, const std::vector<std::string>& more = {}, bool quickStart = true)
    {
        std::vector<std::string> lines = {"[GENERAL]",         "Version=100",    "DefaultArcType=" + format,
                                          quickStart ? "QuickStart=true" : "QuickStart=false",   "CmpEndExit=true", "OverWriteAction=1",
                                          "[FILTER]",          "FilterSw=true",  "ProfileNum=1",
                                          "[FILTER_0]",        "Title=bak",      "ActType=0",
                                          "FilterNum=1",       "Filter0_Type=0", "Filter0_Filter=.bak"};
        lines.insert(lines.end(), more.begin(), more.end());
        PlaceFile(AppDataIni(), CrLfLines(lines));
    }

    // Runs the program on src; answers a result dialog with OK (keeping its
    // text) and closes a compress dialog that shows, until the program ends.
    CProgramRun Run(std::function<void(HWND, DWORD)> answer = nullptr, bool closeCompressDialog = true,
                    const std::vector<std::string>& paths = {"src"})
    {
        CProgramRun run;
        PROCESS_INFORMATION process = {};
        std::string arguments;
        for (const std::string& path : paths)
            arguments += path.compare(0, 2, "::") == 0 ? path + " " : "\"" + m_data / path + "\" ";
        if (!m_program.Start(arguments, m_data.Path(), &process))
        {
            run.exitCode = 98;
            return run;
        }
        DWORD start = GetTickCount();
        while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT && GetTickCount() - start < kRunTimeoutMs)
        {
            if (answer)
                answer(NULL, process.dwProcessId);
            if (HWND result = WaitForTopWindow(kResultTitle, process.dwProcessId, 0))
            {
                run.resultText = SnapshotWindow(result).Find(IDC_RESULT_TEXT)->text;
                PressButton(result, IDOK);
                WaitUntilClosed(result);
            }
            else if (HWND dialog = WaitForTopWindow(kCompressTitle, process.dwProcessId, 0))
            {
                run.compressDialogShown = true;
                if (closeCompressDialog)
                    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
        }
        run.exitCode = CProgramCopy::WaitExit(&process);
        return run;
    }

    // Extracts with the host tool and compares every selected file's bytes.
    void ExpectSameBytes(const std::string& tool, const std::vector<CHostArg>& args, const std::string& into)
    {
        CHostResult extracted = RunHost(tool, args, into);
        ASSERT_EQ(0, extracted.exitCode) << extracted.output;
        for (const std::string& name : kSelected)
        {
            bool ok = false;
            std::string bytes = ReadFileBytes(into + "\\" + name, &ok);
            EXPECT_TRUE(ok) << tool << ": " << name;
            EXPECT_EQ(ReadFileBytes(m_data / name), bytes) << tool << ": " << name;
        }
        EXPECT_FALSE(FileExists(into + "\\src\\skip.bak")) << tool;
    }

    std::vector<std::string> TempLeftovers()
    {
        std::vector<std::string> left;
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((TempFolderPath() + "\\*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            return left;
        do
        {
            std::string name = found.cFileName;
            if (name.compare(0, 3, "tbr") == 0 || name.compare(0, 3, "res") == 0)
                left.push_back(name);
        } while (FindNextFileA(find, &found));
        FindClose(find);
        return left;
    }

    CProgramCopy m_program;
    CTestFolder m_data;
};

// A host script in the test folder, made executable on the host side.
std::string HostScript(const CTestFolder& folder, const std::string& name, const std::string& text)
{
    std::string path = folder.WriteFile(name, "#!/bin/sh\n" + text);
    RunHost("chmod", {HostText("+x"), HostPath(path)});
    return ToHostPath(path);
}

// Every file below folder whose name ends in extension, recursively.
std::vector<std::string> FilesEndingIn(const std::string& folder, const std::string& extension)
{
    std::vector<std::string> found;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return found;
    do
    {
        std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            std::vector<std::string> below = FilesEndingIn(folder + "\\" + name, extension);
            found.insert(found.end(), below.begin(), below.end());
        }
        else if (name.size() >= extension.size() && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
            found.push_back(folder + "\\" + name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return found;
}

// The names of an archive of any format as the host tools list them.
std::vector<std::string> Listing(const std::string& archive)
{
    std::string ext = archive.substr(archive.rfind('.'));
    if (ext == ".cab")
        return CabListing(archive);
    if (ext == ".lzh")
        return LhaListing(archive);
    return SevenZipListing(archive);
}

CHostResult Extract(const std::string& archive, const std::string& into)
{
    std::string ext = archive.substr(archive.rfind('.'));
    if (ext == ".cab")
        return RunHost("cabextract", {HostText("-q"), HostPath(archive)}, into);
    if (ext == ".lzh")
        return RunHost("jlha", {HostText("xy"), HostPath(archive)}, into);
    return RunHost("7zz", {HostText("x"), HostText("-y"), HostPath(archive)}, into);
}

unsigned long Crc32(const std::string& bytes)
{
    unsigned long crc = 0xFFFFFFFFUL;
    for (unsigned char byte : bytes)
    {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320UL & (0UL - (crc & 1)));
    }
    return crc ^ 0xFFFFFFFFUL;
}

std::string Le(unsigned long long value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// A ZIP of one stored entry whose name is the Shift_JIS bytes given, without
// the UTF-8 flag, as Windows in Japan writes them; with zip64 its directory
// is found through the ZIP64 end record and the entry's offset through its
// ZIP64 extra field.
std::string ShiftJisZip(const std::string& name, const std::string& data, bool zip64)
{
    std::string common = Le(0, 2) + Le(0, 2) + Le(0, 2) + Le(0x21, 2) + Le(Crc32(data), 4) + Le(data.size(), 4) +
                         Le(data.size(), 4) + Le(name.size(), 2);
    std::string local = "PK\x03\x04" + Le(zip64 ? 45 : 10, 2) + common + Le(0, 2) + name + data;
    std::string extra = zip64 ? Le(1, 2) + Le(8, 2) + Le(0, 8) : std::string();
    std::string record = "PK\x01\x02" + Le(zip64 ? 45 : 20, 2) + Le(zip64 ? 45 : 10, 2) + common +
                         Le(extra.size(), 2) + Le(0, 2) + Le(0, 2) + Le(0, 2) + Le(0x20, 4) +
                         Le(zip64 ? 0xFFFFFFFFUL : 0, 4) + name + extra;
    std::string zip = local + record;
    if (zip64)
    {
        unsigned long long recordAt = zip.size();
        zip += "PK\x06\x06" + Le(44, 8) + Le(45, 2) + Le(45, 2) + Le(0, 4) + Le(0, 4) + Le(1, 8) + Le(1, 8) +
               Le(record.size(), 8) + Le(local.size(), 8);
        zip += "PK\x06\x07" + Le(0, 4) + Le(recordAt, 8) + Le(1, 4);
    }
    return zip + "PK\x05\x06" + Le(0, 2) + Le(0, 2) + Le(1, 2) + Le(1, 2) + Le(record.size(), 4) +
           Le(zip64 ? 0xFFFFFFFFUL : local.size(), 4) + Le(0, 2);
}

std::string WithCrLfForTest(const std::string& text)
{
    std::string out;
    for (char ch : text)
        out += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    return out;
}

}  // namespace

// A project tree in a repository, its list following the .gitignore files:
// the archive holds exactly what git lists as neither tracked nor ignored,
// nothing of .git.
TEST_F(BridgeProcess, ListFollowingGitIgnoreArchivesWhatGitListsOfTheTree)
{
    const char* const kFiles[] = {"README.md",          "keep.log",   "run.log",   "src\\main.c",
                                  "src\\main.o",        "src\\gen\\table.c",       "src\\lib\\gen\\kept.c",
                                  "docs\\Build\\notes.txt", "node_modules\\lib\\index.js", "build\\out.bin",
                                  "docs\\a b.txt"};
    for (const char* name : kFiles)
        m_data.WriteFile(std::string("proj\\") + name, name);
    m_data.WriteFile("proj\\.gitignore", "node_modules/\nbuild/\n*.log\n!keep.log\n");
    m_data.WriteFile("proj\\src\\.gitignore", "*.o\n/gen/\n");
    const char kGit[] = "export HOME=\"$PWD\" XDG_CONFIG_HOME=\"$PWD\" GIT_CONFIG_NOSYSTEM=1; git init -q && "
                        "git -c core.ignorecase=true ls-files --others --exclude-standard";
    CHostResult git = RunHost("sh", {HostText("-c"), HostText(kGit)}, m_data / "proj");
    ASSERT_EQ(0, git.exitCode) << git.output;
    std::vector<std::string> expected;
    for (size_t at = 0, end; (end = git.output.find('\n', at)) != std::string::npos; at = end + 1)
    {
        std::string name = "proj\\" + git.output.substr(at, end - at);
        std::replace(name.begin(), name.end(), '/', '\\');
        expected.push_back(name);
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(7u, expected.size()) << git.output;

    PlaceSettings("7Z", {"GitIgnore=true"});
    CProgramRun run = Run(nullptr, true, {"proj"});
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ("", run.resultText);
    EXPECT_EQ(expected, SevenZipListing(m_data / "proj.7z"));
}

// The archive is also read back through its DLL's listing entries (a
// Zip32j ZIP through 7-Zip32.dll, as the job checks it) and tested whole.
TEST_F(BridgeProcess, EveryFormatHoldsExactlyTheSelectedFilesWithTheirBytes)
{
    struct
    {
        const char* format;
        const char* extension;
        const char* dll;
        const char* prefix;
    } cases[] = {{"7Z", ".7z", "7-Zip32.dll", "SevenZip"},   {"7ZIP", ".zip", "7-Zip32.dll", "SevenZip"},
                 {"ZIP", ".zip", "7-Zip32.dll", "SevenZip"}, {"CAB", ".cab", "Cab32.dll", "Cab"},
                 {"LHA", ".lzh", "Unlha32.dll", "Unlha"},    {"TZIP", ".zip", "TessikZip.dll", "TessikZip"},
                 {"T7Z", ".7z", "Tessik7z.dll", "Tessik7z"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.format);
        PlaceSettings(c.format);
        std::string archive = m_data / (std::string("src") + c.extension);
        CProgramRun run = Run();
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ("", run.resultText);
        EXPECT_FALSE(run.compressDialogShown);
        ASSERT_TRUE(FileExists(archive));

        std::string into = m_data.MakeFolder(std::string("out-") + c.format);
        std::string ext = c.extension;
        if (ext == ".7z" || ext == ".zip")
        {
            EXPECT_EQ(kSelected, SevenZipListing(archive));
            ExpectSameBytes("7zz", {HostText("x"), HostText("-y"), HostPath(archive)}, into);
        }
        if (ext == ".7z")
        {
            std::string second = m_data.MakeFolder(std::string("bsdtar-") + c.format);
            ExpectSameBytes("bsdtar", {HostText("-xf"), HostPath(archive)}, second);
        }
        if (ext == ".zip")
        {
            // The names carry the UTF-8 flag, so unzip shows them as typed.
            EXPECT_EQ(kSelected, UnzipListing(archive));
            std::string second = m_data.MakeFolder(std::string("unzip-") + c.format);
            ExpectSameBytes("unzip", {HostText("-q"), HostPath(archive)}, second);
        }
        if (ext == ".cab")
        {
            EXPECT_EQ(kSelected, CabListing(archive));
            ExpectSameBytes("cabextract", {HostText("-q"), HostPath(archive)}, into);
        }
        if (ext == ".lzh")
        {
            // Shift_JIS in the headers, 表 with its trail byte 0x5C intact.
            EXPECT_EQ(kSelected, LhaListing(archive));
            ExpectSameBytes("jlha", {HostText("xy"), HostPath(archive)}, into);
        }
        CBridgeReader reader(ReaderFolder(c.dll), c.dll, c.prefix);
        std::vector<CReaderEntry> listed;
        EXPECT_TRUE(reader.List(archive, &listed));
        // The job lists files only: no archive has a folder record.
        std::vector<CReaderEntry> expected;
        for (const std::string& name : kSelected)
            expected.push_back(CReaderEntry{name, ReadFileBytes(m_data / name).size(), false});
        EXPECT_EQ(expected, listed);
        EXPECT_EQ(TRUE, reader.Check(archive));
        EXPECT_EQ(std::vector<std::string>(), TempLeftovers());
        DeleteFileA(archive.c_str());
    }
}

TEST_F(BridgeProcess, PasswordArchivesNeedTheirPassword)
{
    struct
    {
        const char* format;
        const char* extension;
        std::string password;
        std::vector<std::string> settings;
        bool namesHidden;  // 7zz lists no name without the password
    } cases[] = {{"7Z", ".7z", "pass 表", {}, false},
                 {"7ZIP", ".zip", "pass-ascii", {}, false},
                 {"ZIP", ".zip", "pass 表", {}, false},
                 {"TZIP", ".zip", "pass 表", {}, false},  // AES-256
                 {"TZIP", ".zip", "pass-ascii", {"[TZIP]", "Encryption=ZipCrypto"}, false},
                 {"T7Z", ".7z", "pass 表", {}, false},
                 {"T7Z", ".7z", "pass 表", {"[T7Z]", "EncryptHeader=1"}, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.format) + " " + c.password);
        PlaceSettings(c.format, c.settings, false);
        std::string archive = m_data / (std::string("src") + c.extension);
        bool pressed = false;
        bool asked = false;
        CProgramRun run = Run([&](HWND, DWORD processId) {
            if (HWND dialog = WaitForTopWindow(kCompressTitle, processId, 0))
            {
                if (!pressed)
                {
                    SendMessageA(GetDlgItem(dialog, IDC_USE_PASSWORD), BM_SETCHECK, BST_CHECKED, 0);
                    PressButton(dialog, IDC_COMPRESS);
                    pressed = true;
                }
            }
            if (HWND ask = WaitForTopWindow(kPasswordTitle, processId, 0))
            {
                SetControlText(ask, IDC_PASSWORD, c.password);
                SetControlText(ask, IDC_PASSWORD_AGAIN, c.password);
                PressButton(ask, IDOK);
                asked = true;
                WaitUntilClosed(ask);
            }
        }, false);
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ("", run.resultText);
        EXPECT_TRUE(asked);
        ASSERT_TRUE(FileExists(archive));

        std::string row = std::to_string(&c - cases);
        std::string wrong = m_data.MakeFolder("wrong-" + row);
        std::string right = m_data.MakeFolder("right-" + row);
        if (std::string(c.format) == "ZIP")
        {
            // Info-ZIP's key is the Shift_JIS bytes typed, as on Windows.
            EXPECT_NE(0, RunHost("unzip", {HostText("-P"), HostText("nope"), HostPath(archive)}, wrong).exitCode);
            ExpectSameBytes("unzip", {HostText("-P"), HostBytes(c.password), HostPath(archive)}, right);
        }
        else
        {
            EXPECT_NE(0, RunHost("7zz", {HostText("x"), HostText("-pnope"), HostPath(archive)}, wrong).exitCode);
            ExpectSameBytes("7zz", {HostText("x"), HostText("-p" + c.password), HostPath(archive)}, right);
            CHostResult listed = RunHost("7zz", {HostText("l"), HostText("-pnope"), HostPath(archive)});
            EXPECT_EQ(c.namesHidden, listed.output.find("a b.txt") == std::string::npos) << listed.output;
        }
        DeleteFileA(archive.c_str());
    }
}

TEST_F(BridgeProcess, RefusalsShowTheirTextAndLeaveNothing)
{
    struct
    {
        const char* format;
        std::vector<std::string> more;
        const char* text;
    } cases[] = {
        {"CABSFX", {}, kMsgCabSfx},
        {"LHASFX", {}, kMsgLhaSfx},
        {"ZIPSFX", {}, kMsgZipSfx},
        {"CAB", {"[CAB]", "CabMode=2"}, kMsgLzx},
        {"CAB", {"[CAB]", "MultiVolume=true"}, kMsgVolumes},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.format);
        PlaceSettings(c.format, c.more);
        CProgramRun run = Run();
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_NE(std::string::npos, run.resultText.find(WithCrLfForTest(c.text))) << run.resultText;
        std::vector<std::string> left = FilesIn(m_data.Path());
        EXPECT_EQ(std::vector<std::string>(), left);
        EXPECT_EQ(std::vector<std::string>(), TempLeftovers());
    }
}

TEST_F(BridgeProcess, FailingAndHangingToolsAreReportedAndTheOldArchiveStays)
{
    CTestFolder aside;
    std::string pidFile = aside / "tool.pid";
    std::string hostPid = ToHostPath(pidFile);
    struct
    {
        std::string script;
        const char* timeout;
        std::vector<std::string> texts;
    } cases[] = {
        {ShiftJisToUtf8("echo 'ディスクがいっぱいです'; exit 2\n"), nullptr, {"7zzがエラーで終了しました(終了コード 2)", "ディスクがいっぱいです"}},
        {"echo $$ > '" + hostPid + "'; exec sleep 60\n", "2", {"7zzが制限時間(2秒)内に終わらなかったため、中止しました。"}},
    };
    for (const auto& c : cases)
    {
        PlaceSettings("7Z");
        m_data.WriteFile("src.7z", "the old archive");
        SetEnvironmentVariableA("TESSIK_HOST_7ZZ", HostScript(m_data, "tools\\fake7zz", c.script).c_str());
        SetEnvironmentVariableA("TESSIK_HOST_BOUND_SECONDS", c.timeout);
        DWORD start = GetTickCount();
        CProgramRun run = Run();
        EXPECT_LT(GetTickCount() - start, 30000u);
        EXPECT_EQ(0u, run.exitCode);
        for (const std::string& text : c.texts)
            EXPECT_NE(std::string::npos, run.resultText.find(text)) << run.resultText;
        EXPECT_EQ("the old archive", ReadFileBytes(m_data / "src.7z"));
        EXPECT_EQ(std::vector<std::string>{"src.7z"}, FilesIn(m_data.Path()));
        EXPECT_EQ(std::vector<std::string>(), TempLeftovers());
    }
    // The hanging tool did not outlive the job.
    std::string pid = ReadFileBytes(pidFile);
    ASSERT_FALSE(pid.empty());
    EXPECT_NE(0, RunHost("kill", {HostText("-0"), HostText(pid.substr(0, pid.find('\n')))}).exitCode);
}

TEST_F(BridgeProcess, ProgressWindowCancelsAndTheHidingSwitchHidesIt)
{
    SetEnvironmentVariableA("TESSIK_HOST_7ZZ",
                            HostScript(m_data, "tools\\slow7zz", "echo ' 42% 3 + src/a.txt'; sleep 20; exit 0\n").c_str());
    struct
    {
        bool statusDialog;
        const char* text;
    } cases[] = {{true, kMsgCancelled}, {false, "7zzが制限時間(3秒)内に終わらなかったため、中止しました。"}};
    for (const auto& c : cases)
    {
        PlaceSettings("7Z", {"[ARCHIVE]", std::string("StatusDialog=") + (c.statusDialog ? "true" : "false")});
        SetEnvironmentVariableA("TESSIK_HOST_BOUND_SECONDS", c.statusDialog ? NULL : "3");
        m_data.WriteFile("src.7z", "the old archive");
        CWindowSnapshot seen;
        CProgramRun run = Run([&](HWND, DWORD processId) {
            HWND progress = WaitForTopWindow("圧縮中 - src.7z", processId, 0);
            if (progress == NULL || seen.hwnd != NULL)
                return;
            // The tool's first line reaches the window when the tool has written it.
            WaitUntil([&] {
                CWindowSnapshot now = SnapshotWindow(progress);
                for (const CControlSnapshot& control : now.controls)
                    if (control.text == kFirstToolLine)
                        return true;
                return !IsWindow(progress);
            });
            seen = SnapshotWindow(progress);
            PressButton(progress, IDCANCEL);
        });
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_NE(std::string::npos, run.resultText.find(c.text)) << run.resultText;
        EXPECT_EQ("the old archive", ReadFileBytes(m_data / "src.7z"));
        EXPECT_EQ(std::vector<std::string>(), TempLeftovers());
        if (!c.statusDialog)
        {
            EXPECT_EQ(nullptr, seen.hwnd);
            continue;
        }
        ASSERT_NE(nullptr, seen.hwnd);
        std::vector<std::string> texts;
        for (const CControlSnapshot& control : seen.controls)
            texts.push_back(control.text);
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), "src.7z"));
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), kFirstToolLine));
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), kMsgProgressCancel));
    }
}

// Files the host tools made and then damaged, and files that are no
// archive: a damaged archive that still lists fails its test, one whose
// directory cannot be read (encrypted, or none there) gives no handle.
TEST(BridgeReading, DamagedForeignAndLockedFilesFailTheirTest)
{
    CTestFolder folder;
    folder.WriteFile("data.txt", "data of the test, a line long enough to be packed: 0123456789 abcdefghij\n");
    const std::string text = folder.WriteFile("text.txt", "no archive at all\r\n");
    auto made = [&](const std::string& name, const std::string& tool, const std::vector<CHostArg>& args) {
        std::string path = folder / name;
        std::vector<CHostArg> all = args;
        all.insert(all.begin() + 1, HostPath(path));
        EXPECT_EQ(0, RunHost(tool, all, folder.Path()).exitCode) << name;
        return path;
    };
    // A byte of the packed data: in a 7z the first after the signature
    // header's 32, in an LZH one before the end mark.
    auto flipped = [](const std::string& path, long at) {
        std::string bytes = ReadFileBytes(path);
        bytes[at >= 0 ? at : bytes.size() + at] ^= 0xFF;
        WriteFileBytes(path, bytes);
        return path;
    };
    struct
    {
        const char* dll;
        const char* prefix;
        std::string file;
        bool opens;
    } cases[] = {
        {"7-Zip32.dll", "SevenZip", flipped(made("packed.7z", "7zz", {HostText("a"), HostText("data.txt")}), 33), true},
        {"7-Zip32.dll", "SevenZip", made("locked.7z", "7zz", {HostText("a"), HostText("-pkey"), HostText("-mhe=on"), HostText("data.txt")}), false},
        {"7-Zip32.dll", "SevenZip", text, false},
        {"Cab32.dll", "Cab", text, false},
        {"Unlha32.dll", "Unlha", flipped(made("packed.lzh", "jlha", {HostText("a"), HostText("data.txt")}), -8), true},
        {"Unlha32.dll", "Unlha", text, false},
        // Our own 7z DLL: the read back of a damaged T7Z fails the same way.
        {"Tessik7z.dll", "Tessik7z", flipped(made("own.7z", "7zz", {HostText("a"), HostText("data.txt")}), 33), true},
        {"Tessik7z.dll", "Tessik7z", made("ownlocked.7z", "7zz", {HostText("a"), HostText("-pkey"), HostText("-mhe=on"), HostText("data.txt")}), false},
        {"Tessik7z.dll", "Tessik7z", text, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        CBridgeReader reader(ReaderFolder(c.dll), c.dll, c.prefix);
        std::vector<CReaderEntry> listed;
        EXPECT_EQ(c.opens, reader.List(c.file, &listed));
        EXPECT_EQ(FALSE, reader.Check(c.file));
    }
}

TEST(BridgeLoading, OfferedFormatsAndAMissingHostTool)
{
    SetDllDirectoryA(BridgeFolder().c_str());
    RegisterAllFormats();
    std::vector<int> ids;
    for (const auto& entry : GetFormatRegistry())
        ids.push_back(entry.first);
    DestroyAllFormats();
    // No 7z self-extracting module on the host: that format is not offered.
    EXPECT_EQ((std::vector<int>{0, 2, 4, 5, 6, 7, 8, 9}), ids);

    SetEnvironmentVariableA("TESSIK_HOST_GCAB", "/nonexistent/gcab");
    SetEnvironmentVariableA("TESSIK_HOST_ZIP", "/nonexistent/zip");
    HMODULE cab = LoadLibraryA("Cab32.dll");
    RegisterAllFormats();
    ids.clear();
    for (const auto& entry : GetFormatRegistry())
        ids.push_back(entry.first);
    DestroyAllFormats();
    SetEnvironmentVariableA("TESSIK_HOST_GCAB", NULL);
    SetEnvironmentVariableA("TESSIK_HOST_ZIP", NULL);
    EXPECT_EQ(nullptr, cab);
    EXPECT_EQ((std::vector<int>{0, 2, 6, 7}), ids);
    SetDllDirectoryA(NULL);
}

// One archive name for two selected files, compared without regard to case:
// a message that names both, and no archive; nothing else is refused.
TEST_F(BridgeProcess, TwoFilesOfOneArchiveNameAreRefusedInEveryFormat)
{
    m_data.WriteFile("x\\readme.txt", "from x");
    m_data.WriteFile("y\\README.txt", "from y");
    m_data.WriteFile("x\\docs\\same.txt", "from x");
    m_data.WriteFile("y\\docs\\same.txt", "from y");
    struct
    {
        std::vector<std::string> paths;
        std::string first, second;
    } selections[] = {
        {{"x\\readme.txt", "y\\README.txt"}, "x\\readme.txt", "y\\README.txt"},
        {{"x\\docs", "y\\docs"}, "x\\docs\\same.txt", "y\\docs\\same.txt"},
    };
    for (const char* format : {"7Z", "7ZIP", "ZIP", "CAB", "LHA"})
    {
        for (const auto& c : selections)
        {
            SCOPED_TRACE(std::string(format) + " " + c.first);
            PlaceSettings(format);
            CProgramRun run = Run(nullptr, true, c.paths);
            EXPECT_EQ(0u, run.exitCode);
            EXPECT_NE(std::string::npos, run.resultText.find("同じ名前")) << run.resultText;
            EXPECT_NE(std::string::npos, run.resultText.find(m_data / c.first)) << run.resultText;
            EXPECT_NE(std::string::npos, run.resultText.find(m_data / c.second)) << run.resultText;
            for (const char* extension : {".7z", ".zip", ".cab", ".lzh"})
                EXPECT_EQ(std::vector<std::string>(), FilesEndingIn(m_data.Path(), extension));
        }
    }
}

// Names a tool could take for an option, its standard input or a list file,
// selected straight and from two folders of one name: every format holds
// them all with their bytes.
TEST_F(BridgeProcess, NamesLikeOptionsKeepTheirBytesAndFoldersOfOneNameMerge)
{
    const std::vector<std::string> selected = {"x\\-", "x\\-rf.txt", "y\\@x.txt", "x\\docs", "y\\docs"};
    const std::vector<std::string> names = {"-", "-rf.txt", "@x.txt", "docs\\-", "docs\\a.txt", "docs\\b.txt"};
    const std::vector<std::string> sources = {"x\\-", "x\\-rf.txt", "y\\@x.txt", "y\\docs\\-", "x\\docs\\a.txt",
                                              "y\\docs\\b.txt"};
    for (const std::string& source : sources)
        m_data.WriteFile(source, "bytes of " + source);
    struct
    {
        const char* format;
        const char* extension;
    } cases[] = {{"7Z", ".7z"}, {"7ZIP", ".zip"}, {"ZIP", ".zip"}, {"CAB", ".cab"}, {"LHA", ".lzh"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.format);
        PlaceSettings(c.format);
        CProgramRun run = Run(nullptr, true, selected);
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ("", run.resultText);
        std::vector<std::string> archives = FilesEndingIn(m_data.Path(), c.extension);
        ASSERT_EQ(1u, archives.size());
        EXPECT_EQ(names, Listing(archives[0]));
        std::string into = m_data.MakeFolder(std::string("out-") + c.format);
        CHostResult extracted = Extract(archives[0], into);
        ASSERT_EQ(0, extracted.exitCode) << extracted.output;
        for (size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ("bytes of " + sources[i], ReadFileBytes(into + "\\" + names[i])) << names[i];
        DeleteFileA(archives[0].c_str());
    }
}

// Half-width katakana is one byte in Shift_JIS and three in UTF-8: the
// cabinet holds all 12,000 files or the job is refused with a message.
TEST_F(BridgeProcess, CabOfTwelveThousandLongKatakanaNamesHoldsThemAllOrIsRefused)
{
    const size_t kFiles = 12000;
    std::vector<std::string> expected;
    std::string hostNames;
    for (size_t i = 0; i < kFiles; ++i)
    {
        // i in base 58, ｦ (0xA6) to ﾟ (0xDF) its digits.
        std::string name(30, '\xA6');
        for (size_t n = i, at = 29; n > 0; n /= 58, --at)
            name[at] = static_cast<char>(0xA6 + n % 58);
        expected.push_back("kana\\" + name + ".txt");
        hostNames += ShiftJisToUtf8(name) + ".txt\n";
    }
    // One host run makes the files: twelve thousand through Wine take minutes.
    m_data.WriteFile("names.txt", hostNames);
    ASSERT_EQ(0, RunHost("sh", {HostText("-c"), HostText("mkdir kana && cd kana && xargs -d '\\n' touch -- <../names.txt")},
                         m_data.Path()).exitCode);
    DeleteFileA((m_data / "names.txt").c_str());
    std::sort(expected.begin(), expected.end());
    PlaceSettings("CAB");
    CProgramRun run = Run(nullptr, true, {"kana"});
    EXPECT_EQ(0u, run.exitCode);
    std::string archive = m_data / "kana.cab";
    if (FileExists(archive))
    {
        EXPECT_EQ("", run.resultText);
        EXPECT_EQ(expected, CabListing(archive));
    }
    else
        EXPECT_NE(std::string::npos, run.resultText.find(kMsgTooManyFiles)) << run.resultText;
}

// Adding to a ZIP made on Japanese Windows: its Shift_JIS entry keeps its
// name bytes and flags (plain and ZIP64 directory); a run whose archive does
// not read back leaves the old archive as it was.
TEST_F(BridgeProcess, AddingToAZipLeavesTheOldEntriesNamesAndFlags)
{
    const std::string report = "報告書.txt";
    m_data.WriteFile("b.txt", "new file b");
    struct
    {
        bool zip64;
        const char* format;
        bool brokenTool;
    } cases[] = {{false, "ZIP", false}, {true, "ZIP", false}, {false, "7ZIP", false}, {false, "ZIP", true},
                 {false, "TZIP", false}, {true, "TZIP", false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.format) + (c.zip64 ? " zip64" : "") + (c.brokenTool ? " broken" : ""));
        std::string old = ShiftJisZip(report, "old report", c.zip64);
        std::string archive = m_data.WriteFile("b.zip", old);
        PlaceSettings(c.format);
        std::string settings = ReadFileBytes(AppDataIni());
        settings.replace(settings.find("OverWriteAction=1"), 17, "OverWriteAction=2");
        WriteFileBytes(AppDataIni(), settings);
        if (c.brokenTool)
            SetEnvironmentVariableA("TESSIK_HOST_ZIP",
                                    HostScript(m_data, "tools\\fakezip", "for a; do case $a in *.zip) printf x >\"$a\";; esac; done\n").c_str());
        CProgramRun run = Run(nullptr, true, {"b.txt"});
        SetEnvironmentVariableA("TESSIK_HOST_ZIP", NULL);
        EXPECT_EQ(0u, run.exitCode);
        if (c.brokenTool)
        {
            EXPECT_NE(std::string::npos, run.resultText.find("書庫の中身を読めません")) << run.resultText;
            EXPECT_EQ(old, ReadFileBytes(archive));
            EXPECT_EQ(std::vector<std::string>{archive}, FilesEndingIn(m_data.Path(), ".zip"));
            EXPECT_EQ(std::vector<std::string>(), FilesEndingIn(m_data.Path(), ".tmp"));
            continue;
        }
        EXPECT_EQ("", run.resultText);
        std::vector<CZipEntry> entries;
        ASSERT_TRUE(ReadZipEntries(ShiftJisToWide(archive), &entries));
        ASSERT_EQ(2u, entries.size());
        bool newFirst = entries[0].name == "b.txt";
        const CZipEntry& kept = newFirst ? entries[1] : entries[0];
        EXPECT_EQ("b.txt", (newFirst ? entries[0] : entries[1]).name);
        EXPECT_EQ(report, kept.name);
        EXPECT_EQ(0u, kept.flags);
    }
}

// One archive per item: three folders and a file, each its own archive beside
// it with only its own files after the filter list; an item that cannot be
// packed leaves the others made and the exit code not 0.
TEST_F(BridgeProcess, EachItemBecomesAnArchiveOfItsOwn)
{
    m_data.WriteFile("each\\a\\1.txt", "one");
    m_data.WriteFile("each\\a\\sub\\2.txt", "two");
    m_data.WriteFile("each\\a\\skip.bak", "left out");
    m_data.WriteFile("each\\b\\3.txt", "three");
    m_data.WriteFile("each\\c.txt", "see");
    m_data.WriteFile("each\\d\\4 表.txt", "four");
    m_data.WriteFile("each\\d\\x.bak", "left out");
    m_data.MakeFolder("each\\empty");
    const std::vector<std::string> items = {"::EACH", "each\\a", "each\\b", "each\\c.txt", "each\\d"};
    const std::vector<std::vector<std::string>> listings = {
        {"a\\1.txt", "a\\sub\\2.txt"}, {"b\\3.txt"}, {"c.txt"}, {"d\\4 表.txt"}};
    struct
    {
        const char* format;
        const char* extension;
    } cases[] = {{"7Z", ".7z"}, {"ZIP", ".zip"}, {"CAB", ".cab"}, {"LHA", ".lzh"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.format);
        PlaceSettings(c.format);
        CProgramRun run = Run(nullptr, true, items);
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ("", run.resultText);
        const char* names[] = {"a", "b", "c", "d"};
        for (size_t i = 0; i < 4; ++i)
        {
            std::string archive = m_data / "each\\" + names[i] + c.extension;
            ASSERT_TRUE(FileExists(archive)) << archive;
            EXPECT_EQ(listings[i], Listing(archive)) << archive;
            DeleteFileA(archive.c_str());
        }
    }

    // The run fails, so the compress dialog stays: closed once it shows.
    PlaceSettings("7Z");
    auto closeDialog = [](HWND, DWORD processId) {
        if (HWND dialog = WaitForTopWindow("圧縮  - Tessik (3 個の書庫を個別に作成)", processId, 0))
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    CProgramRun run = Run(closeDialog, true, {"::EACH", "each\\a", "each\\empty", "each\\c.txt"});
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_TRUE(FileExists(m_data / "each\\a.7z"));
    EXPECT_TRUE(FileExists(m_data / "each\\c.7z"));
    EXPECT_FALSE(FileExists(m_data / "each\\empty.7z"));
    EXPECT_NE(std::string::npos, run.resultText.find("3 個のうち 2 個の書庫を作成しました。")) << run.resultText;
    EXPECT_NE(std::string::npos,
              run.resultText.find("× " + m_data / "each\\empty" + "\r\n    → 圧縮するファイルがありません"))
        << run.resultText;
}

namespace {

// The text of a message box of the program, as it is, and OK pressed.
bool AnswerErrorBox(DWORD processId, std::wstring* text)
{
    HWND box = WaitForTopWindow("エラー  - Tessik", processId, 0);
    if (box == NULL)
        return false;
    wchar_t buffer[8192] = L"";
    GetWindowTextW(GetDlgItem(box, 0xFFFF), buffer, 8192);
    *text = buffer;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
}

}  // namespace

// Names beyond Shift_JIS go in under their own names through every bridge
// whose tool stores them exactly, and come out with their bytes; LHA, which
// cannot, refuses them with the names and the formats that can.
TEST_F(BridgeProcess, NamesBeyondShiftJisAreStoredExactlyOrRefusedForLha)
{
    std::wstring tree = Widen(m_data / "uni");
    WriteUnicodeTree(tree);
    std::vector<std::wstring> expected;
    for (const CUnicodeTreeFile& file : kUnicodeTree)
        expected.push_back(L"uni\\" + file.relative);
    std::sort(expected.begin(), expected.end());

    struct
    {
        const char* format;
        const char* extension;
        const char* dll;
        const char* prefix;
    } cases[] = {{"7Z", ".7z", "7-Zip32.dll", "SevenZip"}, {"7ZIP", ".zip", "7-Zip32.dll", "SevenZip"},
                 {"ZIP", ".zip", "7-Zip32.dll", "SevenZip"}, {"CAB", ".cab", "Cab32.dll", "Cab"},
                 {"TZIP", ".zip", "TessikZip.dll", "TessikZip"}, {"T7Z", ".7z", "Tessik7z.dll", "Tessik7z"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.format);
        PlaceSettings(c.format);
        std::string archive = m_data / (std::string("uni") + c.extension);
        CProgramRun run = Run(nullptr, true, {"uni"});
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ("", run.resultText);
        ASSERT_TRUE(FileExists(archive));

        std::string ext = c.extension;
        std::vector<std::pair<std::string, std::vector<CHostArg>>> extractions;
        if (ext == ".cab")
        {
            EXPECT_EQ(expected, CabWideListing(archive));
            extractions.push_back({"cabextract", {HostText("-q"), HostPath(archive)}});
        }
        else
        {
            EXPECT_EQ(expected, SevenZipWideListing(archive));
            extractions.push_back({"7zz", {HostText("x"), HostText("-y"), HostPath(archive)}});
        }
        if (ext == ".zip")
        {
            EXPECT_EQ(expected, UnzipWideListing(archive));
            extractions.push_back({"unzip", {HostText("-q"), HostPath(archive)}});
        }
        for (const auto& extraction : extractions)
        {
            std::string into = m_data.MakeFolder(std::string("out-") + c.format + "-" + extraction.first);
            CHostResult extracted = RunHost(extraction.first, extraction.second, into);
            ASSERT_EQ(0, extracted.exitCode) << extracted.output;
            for (const CUnicodeTreeFile& file : kUnicodeTree)
            {
                bool ok = false;
                EXPECT_EQ(file.bytes, ReadWideFile(Widen(into) + L"\\uni\\" + file.relative, &ok))
                    << extraction.first << " " << Utf8Of(file.relative);
                EXPECT_TRUE(ok) << extraction.first << " " << Utf8Of(file.relative);
            }
        }
        // The listing gives the names as they are in the UTF-8 mode, and
        // "?" for each character without a Shift_JIS form outside it.
        CBridgeReader reader(ReaderFolder(c.dll), c.dll, c.prefix);
        std::vector<CReaderEntry> listed;
        EXPECT_EQ(TRUE, reader.SetUnicodeMode(true));
        EXPECT_TRUE(reader.List(archive, &listed));
        reader.SetUnicodeMode(false);
        std::vector<std::wstring> names;
        for (const CReaderEntry& entry : listed)
            if (!entry.folder)
                names.push_back(Utf8ToWide(entry.name));
        std::sort(names.begin(), names.end());
        EXPECT_EQ(expected, names);
        EXPECT_TRUE(reader.List(archive, &listed));
        EXPECT_NE(listed.end(), std::find_if(listed.begin(), listed.end(), [](const CReaderEntry& entry) {
                      return entry.name == "uni\\???.txt";
                  }));
        EXPECT_EQ(std::vector<std::string>(), TempLeftovers());
        DeleteFileA(archive.c_str());
    }

    PlaceSettings("LHA");
    std::wstring message;
    CProgramRun run = Run([&message](HWND, DWORD processId) { AnswerErrorBox(processId, &message); }, true, {"uni"});
    EXPECT_EQ("", run.resultText);
    EXPECT_FALSE(FileExists(m_data / "uni.lzh"));
    // gtest spells out its arguments in the ANSI code page: names beyond it
    // stay out of them.
    for (const std::wstring name : {L"\\한국어.txt", L"\\x\U0001F600.txt"})
        EXPECT_NE(std::wstring::npos, message.find(tree + name)) << Utf8Of(message);
    EXPECT_NE(std::wstring::npos, message.find(L"「Unlha32.dll　-　LHA書庫(*.lzh)」には")) << Utf8Of(message);
    EXPECT_NE(std::wstring::npos, message.find(L"格納できる形式:\n7-Zip32.dll　-　7Z書庫(*.7z)\n"
                                               L"7-Zip32.dll　-　ZIP書庫(*.zip)\nTessik　-　ZIP書庫(*.zip)\n"
                                               L"Cab32.dll　-　CAB書庫(*.cab)\n"
                                               L"Zip32j.dll　-　ZIP書庫(*.zip)\n"))
        << Utf8Of(message);
    EXPECT_EQ(std::vector<std::string>(), TempLeftovers());
}

// Tessik with one of its own DLLs and nothing else: no other archiver DLL,
// no bridge, no host tool takes part in making the archive.
class OwnDllsAlone : public BridgeProcess
{
protected:
    void SetUp() override
    {
        BridgeProcess::SetUp();
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((BridgeFolder() + "\\*.dll").c_str(), &found);
        ASSERT_NE(INVALID_HANDLE_VALUE, find);
        do
            ASSERT_TRUE(DeleteFileA((m_program.Folder() + "\\" + found.cFileName).c_str()));
        while (FindNextFileA(find, &found));
        FindClose(find);
    }

    // Leaves dll alone of our own DLLs beside the program.
    void KeepOnly(const char* dll)
    {
        for (const char* own : {"TessikZip.dll", "Tessik7z.dll"})
            if (strcmp(own, dll) != 0)
                ASSERT_TRUE(DeleteFileA((m_program.Folder() + "\\" + own).c_str()));
    }
};

namespace {

// Up to count files of real content below folder (wide), depth first.
void CollectRealFiles(const std::wstring& folder, size_t count, std::vector<std::wstring>* files)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do
    {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectRealFiles(folder + L"\\" + name, count, files);
        else if (files->size() < count)
            files->push_back(folder + L"\\" + name);
    } while (files->size() < count && FindNextFileW(find, &found));
    FindClose(find);
}

// The machine's own headers, renamed into Japanese, Korean and an emoji:
// two thousand files below folder (wide), with their bytes.
std::vector<std::pair<std::wstring, std::string>> WriteScriptTree(const std::wstring& tree)
{
    std::vector<std::wstring> sources;
    CollectRealFiles(L"Z:\\usr\\include", 2000, &sources);
    EXPECT_EQ(2000u, sources.size());
    const wchar_t* const scripts[] = {L"日本語の見出し", L"한국어 머리글", L"\U0001F600 header"};
    std::vector<std::pair<std::wstring, std::string>> files;  // below the tree, with their bytes
    for (size_t i = 0; i < sources.size(); ++i)
    {
        std::wstring relative = scripts[i % 3] + std::wstring(L" ") + std::to_wstring(i / 100) + L"\\" +
                                scripts[(i + 1) % 3] + L" " + std::to_wstring(i) + L".h";
        files.push_back({relative, ReadWideFile(sources[i])});
        WriteWideFile(tree + L"\\" + relative, files.back().second);
    }
    return files;
}

// How many of the files the host tool extracted into into\alone exactly.
size_t SameFiles(const std::string& into, const std::vector<std::pair<std::wstring, std::string>>& files)
{
    size_t same = 0;
    for (const auto& file : files)
    {
        bool ok = false;
        std::string bytes = ReadWideFile(Widen(into) + L"\\alone\\" + file.first, &ok);
        same += ok && bytes == file.second ? 1 : 0;
    }
    return same;
}

}  // namespace

TEST_F(OwnDllsAlone, TwoThousandRealFilesNamedInEveryScriptMakeAZipEveryReaderAccepts)
{
    KeepOnly("TessikZip.dll");
    std::vector<std::pair<std::wstring, std::string>> files = WriteScriptTree(Widen(m_data / "alone"));
    PlaceSettings("TZIP");
    CProgramRun run = Run(nullptr, true, {"alone"});
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ("", run.resultText);
    std::string archive = m_data / "alone.zip";
    ASSERT_TRUE(FileExists(archive));

    CHostResult unzip = RunHost("unzip", {HostText("-tq"), HostPath(archive)});
    EXPECT_EQ(0, unzip.exitCode) << unzip.output;
    CHostResult sevenZip = RunHost("7zz", {HostText("t"), HostPath(archive)});
    EXPECT_EQ(0, sevenZip.exitCode) << sevenZip.output;
    CHostResult python = RunHost("python3", {HostText("-c"),
                                             HostText("import sys, zipfile\n"
                                                      "z = zipfile.ZipFile(sys.argv[1])\n"
                                                      "assert z.testzip() is None\n"
                                                      "print(sum(1 for i in z.infolist() if not i.is_dir()))\n"),
                                             HostPath(archive)});
    EXPECT_EQ(0, python.exitCode) << python.output;
    EXPECT_EQ("2000\n", python.output);

    std::string into = m_data.MakeFolder("out");
    CHostResult extracted = RunHost("7zz", {HostText("x"), HostText("-y"), HostPath(archive)}, into);
    ASSERT_EQ(0, extracted.exitCode) << extracted.output;
    EXPECT_EQ(files.size(), SameFiles(into, files));
}

TEST_F(OwnDllsAlone, TwoThousandRealFilesNamedInEveryScriptMakeA7zEveryReaderAccepts)
{
    KeepOnly("Tessik7z.dll");
    std::vector<std::pair<std::wstring, std::string>> files = WriteScriptTree(Widen(m_data / "alone"));
    PlaceSettings("T7Z");
    CProgramRun run = Run(nullptr, true, {"alone"});
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ("", run.resultText);
    std::string archive = m_data / "alone.7z";
    ASSERT_TRUE(FileExists(archive));

    CHostResult tested = RunHost("7zz", {HostText("t"), HostText("-bso0"), HostPath(archive)});
    EXPECT_EQ(0, tested.exitCode) << tested.output;
    struct
    {
        const char* tool;
        std::vector<CHostArg> args;
    } extractions[] = {{"7zz", {HostText("x"), HostText("-y"), HostPath(archive)}},
                       {"bsdtar", {HostText("-xf"), HostPath(archive)}}};
    for (const auto& e : extractions)
    {
        SCOPED_TRACE(e.tool);
        std::string into = m_data.MakeFolder(std::string("out-") + e.tool);
        CHostResult extracted = RunHost(e.tool, e.args, into);
        ASSERT_EQ(0, extracted.exitCode) << extracted.output;
        EXPECT_EQ(files.size(), SameFiles(into, files));
    }
}
