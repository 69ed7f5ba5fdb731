// Compress mode as a separate program: from the command line or the hand-off
// file to the compress dialog, the archive and the settings written back.
#include "resources/resource.h"
#include "common/RegistryKey.h"
#include "settings/IniFile.h"
#include "tests/app/ProgramCopy.h"
#include "tests/bridges/HostCommand.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/UiHelper.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

const char kCompressTitle[] = "圧縮  - Tessik";
const char kEachTwoTitle[] = "圧縮  - Tessik (2 個の書庫を個別に作成)";
const DWORD kDialogTimeoutMs = 30000;

class CompressModeProcess : public SettingsFileTest
{
protected:
    void SetUp() override
    {
        SettingsFileTest::SetUp();
        InstallStandIns(m_program.Folder(), kAllStandIns);
        WriteStandInScript(m_program.Folder(), "7-Zip32.dll", "version=431\ncreate=archive\n");
    }

    // A settings file in the 7z format, with these lines added to GENERAL.
    void PlaceSettings(const std::vector<std::string>& general)
    {
        std::vector<std::string> lines = {"[GENERAL]", "Version=100", "DefaultArcType=7Z"};
        lines.insert(lines.end(), general.begin(), general.end());
        PlaceFile(AppDataIni(), CrLfLines(lines));
    }

    std::string StoredValue(const char* key)
    {
        CIniFile::FlushProfileCache(AppDataIni().c_str());
        char value[256] = "";
        GetPrivateProfileStringA("GENERAL", key, "(none)", value, sizeof(value), AppDataIni().c_str());
        return value;
    }

    // Runs the program with arguments; answer acts on its compress dialog.
    // Returns the exit code; shown receives the dialog as it was found.
    DWORD RunProgram(const std::string& arguments, CWindowResponder::Action answer, CWindowSnapshot* shown)
    {
        return RunProgram(Widen(arguments), kCompressTitle, answer, shown);
    }
    // The same on a wide command line, its dialog found by this title.
    DWORD RunProgram(const std::wstring& arguments, const char* title, CWindowResponder::Action answer,
                     CWindowSnapshot* shown)
    {
        PROCESS_INFORMATION process = {};
        if (!m_program.Start(arguments, m_data.Path(), &process))
            return 98;
        CWindowResponder dialog(title, answer, kDialogTimeoutMs, process.dwProcessId);
        *shown = dialog.Result();
        return CProgramCopy::WaitExit(&process);
    }

    std::vector<CStandInCall> SevenZipCalls() const
    {
        return CallsOf(ReadStandInJournal(m_program.Folder(), "7-Zip32.dll"), "SevenZip");
    }

    CProgramCopy m_program;
    CTestFolder m_data;
};

// A hand-off file as the extension names it: in the temporary folder, under the prefix.
std::string HandOffPath()
{
    return TempFolderPath() + "\\tessik_filelist-process-" + std::to_string(GetCurrentProcessId()) + ".tmp";
}

}  // namespace

TEST_F(CompressModeProcess, HandOffFileGivesTheEntriesAndIsDeleted)
{
    PlaceSettings({"CmpEndExit=true"});
    m_data.WriteFile("a.txt", "a");
    m_data.WriteFile("表 b.txt", "b");
    m_data.WriteFile("sub\\c.dat", "c");
    WriteFileBytes(HandOffPath(), m_data / "a.txt\r\n" + m_data / "表 b.txt\r\n" + m_data / "sub\r\n");

    CWindowSnapshot shown;
    DWORD exitCode = RunProgram("::PROCESSCOMMUNICATION_COMPRESSMODE \"" + HandOffPath() + "\" \"" +
                                    m_data / "ignored.txt" + "\"",
                                [](HWND dialog) { PressButton(dialog, IDC_COMPRESS); }, &shown);

    EXPECT_EQ(0u, exitCode);
    ASSERT_NE(nullptr, shown.hwnd);
    EXPECT_EQ(m_data / "a.7z", shown.Find(IDC_OUTPUT_FILE)->text);
    EXPECT_FALSE(FileExists(HandOffPath()));
    EXPECT_TRUE(FileExists(m_data / "a.7z"));
    std::vector<CStandInCall> calls = SevenZipCalls();
    ASSERT_EQ(1u, calls.size());
    ASSERT_EQ(1u, calls[0].lists.size());
    const std::string& list = calls[0].lists[0].bytes;
    for (const char* name : {"a.txt", "表 b.txt", "c.dat"})
        EXPECT_NE(std::string::npos, list.find(name)) << list;
    EXPECT_EQ(std::string::npos, list.find("ignored")) << list;
    // Written back at the end: a key the placed file did not have.
    EXPECT_EQ("32,32", StoredValue("WindowPos"));
}

TEST_F(CompressModeProcess, ProposesTheNameForEachKindOfArgumentAndSavesOnClose)
{
    m_data.WriteFile("report.txt", "r");
    m_data.MakeFolder("docs");
    m_data.MakeFolder("my.docs");
    struct
    {
        std::string argument;
        std::vector<std::string> general;
        std::string expected;
    } cases[] = {
        {m_data / "report.txt", {}, m_data / "report.7z"},
        {m_data / "docs", {}, m_data / "docs.7z"},
        {m_data / "my.docs", {}, m_data / "my.docs.7z"},
        // Unquoted: the runtime would read "D:\" as D: and an escaped quote.
        {"D:\\", {}, "D:\\D_drive.7z"},
        {m_data / "report.txt", {"OutFolder=E:\\out\\", "OutFolderSw=true"}, "E:\\out\\report.7z"},
    };
    for (const auto& c : cases)
    {
        PlaceSettings(c.general);
        CWindowSnapshot shown;
        std::string argument = c.argument.back() == '\\' ? c.argument : "\"" + c.argument + "\"";
        DWORD exitCode = RunProgram(argument,
                                    [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, &shown);
        EXPECT_EQ(0u, exitCode) << c.argument;
        ASSERT_NE(nullptr, shown.hwnd) << c.argument;
        EXPECT_EQ(c.expected, shown.Find(IDC_OUTPUT_FILE)->text) << c.argument;
        EXPECT_EQ("32,32", StoredValue("WindowPos")) << c.argument;
    }
    EXPECT_TRUE(SevenZipCalls().empty());
}

TEST_F(CompressModeProcess, QuickStartWithExitAfterCompressionNeverShowsTheDialog)
{
    PlaceSettings({"QuickStart=true", "CmpEndExit=true", "WindowPos=40,50"});
    m_data.WriteFile("docs\\a.txt", "a");

    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(m_program.Start("\"" + m_data / "docs" + "\"", m_data.Path(), &process));
    bool shown = false;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT && GetTickCount() - start < kDialogTimeoutMs)
        shown = shown || WaitForTopWindow(kCompressTitle, process.dwProcessId, 0) != NULL;
    DWORD exitCode = CProgramCopy::WaitExit(&process);

    EXPECT_FALSE(shown);
    EXPECT_EQ(0u, exitCode);
    EXPECT_TRUE(FileExists(m_data / "docs.7z"));
    EXPECT_EQ(1u, SevenZipCalls().size());
    // The settings are written back, the position where the dialog would have been.
    EXPECT_EQ("40,50", StoredValue("WindowPos"));
    EXPECT_EQ("0", StoredValue("OverWriteAction"));
}

// A quick start whose archive fails its read back: the result names the file
// the archive lacks, the compress dialog stays for another try, and the
// program exits with 1 so that a script that started it knows.
TEST_F(CompressModeProcess, QuickStartWhoseArchiveFailsItsReadBackExitsWithOne)
{
    PlaceSettings({"QuickStart=true", "CmpEndExit=true"});
    WriteStandInScript(m_program.Folder(), "7-Zip32.dll", "version=431\ncreate=archive\nlie=missing\n");
    m_data.WriteFile("docs\\a.txt", "a");

    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(m_program.Start("\"" + m_data / "docs" + "\"", m_data.Path(), &process));
    CWindowSnapshot result;
    {
        CWindowResponder answer("処理結果", IDOK, kDialogTimeoutMs, process.dwProcessId);
        result = answer.Result();
    }
    // Closed once the job is over: its controls are enabled again.
    CWindowResponder dialog(
        kCompressTitle,
        [](HWND window) {
            WaitUntil([window] { return IsWindowEnabled(GetDlgItem(window, IDC_COMPRESS)) != FALSE; });
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        },
        kDialogTimeoutMs, process.dwProcessId);
    dialog.Result();
    DWORD exitCode = CProgramCopy::WaitExit(&process);

    ASSERT_NE(nullptr, result.Find(IDC_RESULT_TEXT));
    EXPECT_NE(std::string::npos, result.Find(IDC_RESULT_TEXT)->text.find("入っていないファイル: docs\\a.txt"))
        << result.Find(IDC_RESULT_TEXT)->text;
    EXPECT_EQ(1u, exitCode);
    EXPECT_FALSE(FileExists(m_data / "docs.7z"));
}

// A folder named in Korean and a file whose wave dash (U+301C) the ANSI code
// page would turn into a fullwidth tilde reach the archiver under their own
// names, in its UTF-8 mode, from the command line and from a hand-off file in
// UTF-8; the proposed names put "_" where Shift_JIS has no character.
TEST_F(CompressModeProcess, NamesBeyondShiftJisReachTheArchiverWhole)
{
    PlaceSettings({"CmpEndExit=true"});
    std::wstring korean = Widen(m_data.Path()) + L"\\한국어";
    std::wstring waveDash = Widen(m_data.Path()) + L"\\A\u301CB.txt";
    WriteWideFile(korean + L"\\x.txt", "x");
    WriteWideFile(waveDash, "w");
    std::wstring paths = L"\"" + korean + L"\" \"" + waveDash + L"\"";
    std::string handOff = HandOffPath();
    std::vector<std::string> sentLines = {"\"" + Utf8Of(L"A\u301CB.txt") + "\"\r\n",
                                          "\"" + Utf8Of(L"한국어\\x.txt") + "\"\r\n"};
    std::sort(sentLines.begin(), sentLines.end());
    struct
    {
        const char* what;
        std::wstring arguments;
        std::string handOffBytes;  // written before the start when not empty
        const char* title;
        std::vector<std::string> archives;
    } cases[] = {
        {"command line", paths, "", kCompressTitle, {"___.7z"}},
        {"hand-off file in UTF-8", L"::PROCESSCOMMUNICATION_COMPRESSMODE \"" + Widen(handOff) + L"\"",
         "\xEF\xBB\xBF" + Utf8Of(korean + L"\r\n" + waveDash + L"\r\n"), kCompressTitle, {"___.7z"}},
        {"one archive per item", L"::EACH " + paths, "", kEachTwoTitle, {"___.7z", "A_B.7z"}},
    };
    for (const auto& c : cases)
    {
        ResetStandInJournal(m_program.Folder(), "7-Zip32.dll");
        if (!c.handOffBytes.empty())
            WriteFileBytes(handOff, c.handOffBytes);
        CWindowSnapshot shown;
        DWORD exitCode =
            RunProgram(c.arguments, c.title, [](HWND dialog) { PressButton(dialog, IDC_COMPRESS); }, &shown);

        EXPECT_EQ(0u, exitCode) << c.what;
        ASSERT_NE(nullptr, shown.hwnd) << c.what;
        EXPECT_EQ(m_data / c.archives[0], shown.Find(IDC_OUTPUT_FILE)->text) << c.what;
        EXPECT_FALSE(FileExists(handOff)) << c.what;
        std::vector<CStandInCall> calls = SevenZipCalls();
        ASSERT_EQ(c.archives.size(), calls.size()) << c.what;
        std::string listBytes;
        for (size_t i = 0; i < calls.size(); ++i)
        {
            EXPECT_NE(std::string::npos, calls[i].line.find(" -scsUTF-8 ")) << calls[i].line;
            EXPECT_NE(std::string::npos, calls[i].line.find("\"" + m_data / c.archives[i] + "\"")) << calls[i].line;
            for (const CStandInList& list : calls[i].lists)
                listBytes += list.bytes;
            EXPECT_TRUE(FileExists(m_data / c.archives[i])) << c.what;
            DeleteFileA((m_data / c.archives[i]).c_str());
        }
        EXPECT_EQ(sentLines, SortedLines(listBytes)) << c.what;
    }
}

// The walk of 200,000 files in 20,000 folders: the progress window comes
// within a second and counts, the compress dialog answers all along, and
// Cancel ends the job within a second, leaving no archive and no list file.
TEST_F(CompressModeProcess, TheWalkOfManyFilesShowsProgressAnswersAndStopsAtCancelLeavingNothing)
{
    PlaceSettings({});
    std::string tree = m_data / "tree";
    const char kMakeTree[] = "import os, sys\n"
                             "for d in range(20000):\n"
                             "    p = os.path.join(sys.argv[1], 'd%05d' % d); os.makedirs(p)\n"
                             "    for i in range(10): open(os.path.join(p, 'f%d.txt' % i), 'w').close()\n";
    ASSERT_EQ(0, RunHost("python3", {HostText("-c"), HostText(kMakeTree), HostPath(tree)}).exitCode);
    std::vector<std::string> tempBefore = FolderEntries(TempFolderPath());
    // Under Xvfb no window manager answers, and Wine waits two seconds for
    // one whenever a managed window is hidden; no Windows desktop does.
    CRegistryKey unmanaged;
    const char kX11[] = "Software\\Wine\\AppDefaults\\tessik.exe\\X11 Driver";
    ASSERT_EQ(ERROR_SUCCESS, unmanaged.Create(HKEY_CURRENT_USER, kX11));
    ASSERT_EQ(1, unmanaged.WriteString("Managed", L"N"));

    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(m_program.Start("\"" + tree + "\"", m_data.Path(), &process));
    HWND dialog = WaitForTopWindow(kCompressTitle, process.dwProcessId, kDialogTimeoutMs);
    ASSERT_NE(HWND(NULL), dialog);
    auto answers = [dialog] {
        DWORD_PTR answer = 0;
        return SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &answer) != 0;
    };
    auto countText = [](HWND progress) {
        const CControlSnapshot* count = SnapshotWindow(progress).Find(IDC_PROGRESS_COUNT);
        return count != nullptr ? count->text : std::string();
    };
    bool answered = true;
    DWORD pressed = GetTickCount();
    PressButton(dialog, IDC_COMPRESS);
    HWND progress = NULL;
    bool shown = WaitUntil([&] {
        answered = answered && answers();
        progress = WaitForTopWindow("Tessik - tree.7z", process.dwProcessId, 0);
        return progress != NULL && IsWindowVisible(progress);
    }, 1000);
    ASSERT_TRUE(shown);
    std::string first = countText(progress);
    EXPECT_TRUE(WaitUntil([&] {
        answered = answered && answers();
        return countText(progress) != first;
    }));
    std::string phase = SnapshotWindow(progress).Find(IDC_PROGRESS_PHASE)->text;
    DWORD cancelled = GetTickCount();
    PressButton(progress, IDCANCEL);
    bool ended = WaitUntil([&] {
        answered = answered && answers();
        return IsWindowEnabled(GetDlgItem(dialog, IDC_COMPRESS)) != FALSE;
    });
    DWORD endedAfter = GetTickCount() - cancelled;
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    CProgramCopy::WaitExit(&process);
    unmanaged.Close();
    CRegistryKey::DeleteKey(HKEY_CURRENT_USER, kX11);
    RunHost("rm", {HostText("-rf"), HostPath(tree)});

    EXPECT_GT(cancelled - pressed, 500u) << "the progress window came at once";
    EXPECT_EQ("ファイルを調べています", phase);
    EXPECT_TRUE(ended);
    EXPECT_LE(endedAfter, 1000u);
    EXPECT_TRUE(answered);
    EXPECT_FALSE(FileExists(m_data / "tree.7z"));
    EXPECT_EQ(tempBefore, FolderEntries(TempFolderPath()));
    EXPECT_TRUE(SevenZipCalls().empty());
}
