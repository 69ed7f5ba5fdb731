// Compress mode as a separate program: from the command line or the hand-off
// file to the compress dialog, the archive and the settings written back.
#include "resources/resource.h"
#include "settings/IniFile.h"
#include "tests/app/ProgramCopy.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/UiHelper.h"

#include <gtest/gtest.h>

namespace {

const char kCompressTitle[] = "圧縮  - Tessik";
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
        PROCESS_INFORMATION process = {};
        if (!m_program.Start(arguments, m_data.Path(), &process))
            return 98;
        CWindowResponder dialog(kCompressTitle, answer, kDialogTimeoutMs, process.dwProcessId);
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
