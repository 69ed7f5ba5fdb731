#include "tests/shellext/ShellExtTestSupport.h"

#include <gtest/gtest.h>

namespace {

const char kInstallerTitle[] = "Tessik shellextention installer for x64(AMD64/EM64T)";
const char kUsage[] =
    "\n\nインストール     :  tessikshlex_install_x64.exe /install\n"
    "アンインストール :  tessikshlex_install_x64.exe /uninstall\n";

std::string Sz(const std::string& text)
{
    return text + std::string(1, '\0');
}

class InstallerTest : public ::testing::Test
{
protected:
    void SetUp() override { RemoveRegistration(); }
    void TearDown() override { RemoveRegistration(); }

    CRunResult Run(const std::string& arguments)
    {
        std::string line = Quote(m_copy.Installer());
        if (!arguments.empty())
            line += " " + arguments;
        return RunProgram(line);
    }

    void ExpectValue(const char* key, const char* name, const std::string& text)
    {
        DWORD type = 0;
        std::string bytes;
        ASSERT_TRUE(ReadClassesValue(key, name, &type, &bytes)) << key << " " << name;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type) << key << " " << name;
        EXPECT_EQ(Sz(text), bytes) << key << " " << name;
    }

    CInstalledCopy m_copy;
};

// A volatile key cannot take non-volatile subkeys: creating the class key this
// way makes the installer's second key fail as it would without the rights.
class CRegistrationBlocker
{
public:
    CRegistrationBlocker()
    {
        HKEY key = NULL;
        m_status = RegCreateKeyExA(HKEY_CLASSES_ROOT, kClassKey, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                   NULL, &key, NULL);
        if (m_status == ERROR_SUCCESS)
            RegCloseKey(key);
    }
    ~CRegistrationBlocker() { RemoveRegistration(); }
    LONG Status() const { return m_status; }

private:
    LONG m_status;
};

}  // namespace

TEST_F(InstallerTest, SilentInstall_WritesSixValuesFromItsOwnFolder_ThenUninstallRemovesThem)
{
    CRunResult install = Run("/install /silent");
    ASSERT_TRUE(install.finished);
    EXPECT_EQ(1u, install.exitCode);
    EXPECT_TRUE(install.windows.empty());

    const std::string clsid = "{5D0C3A71-9B2E-4F6A-8C13-2E7B94A0D6F5}";
    ExpectValue(kClassKey, "", "Tessik Shell Extension");
    ExpectValue(kClassKey, "tessik_path", m_copy.Folder() + "\\tessik.exe");
    ExpectValue(kServerKey, "", m_copy.Folder() + "\\tessikshlex_x64.dll");
    ExpectValue(kServerKey, "ThreadingModel", "Apartment");
    ExpectValue(kFilesHandlerKey, "", clsid);
    ExpectValue(kFolderHandlerKey, "", clsid);

    CRunResult status = Run("/status /silent");
    EXPECT_EQ(1u, status.exitCode);
    EXPECT_TRUE(status.windows.empty());

    CRunResult uninstall = Run("/uninstall /silent");
    EXPECT_EQ(1u, uninstall.exitCode);
    EXPECT_TRUE(uninstall.windows.empty());
    for (const char* key : {kServerKey, kClassKey, kFilesHandlerKey, kFolderHandlerKey})
        EXPECT_FALSE(ClassesKeyExists(key)) << key;

    EXPECT_EQ(0u, Run("/status /silent").exitCode);
    // Nothing left to remove is still a successful removal.
    EXPECT_EQ(1u, Run("/uninstall /silent").exitCode);
}

TEST_F(InstallerTest, EachCommand_ShowsItsMessageAndExitCode)
{
    struct Case
    {
        const char* arguments;
        DWORD exitCode;
        std::string text;
        bool registeredAfter;
    };
    // In order: each step starts from the registry the one before left.
    const Case cases[] = {
        {"", 0, std::string("引数が指定されていません。") + kUsage, false},
        {"/INSTALL", 0, std::string("引数が不正です。") + kUsage, false},
        {"install", 0, std::string("引数が不正です。") + kUsage, false},
        {"/status", 0, "未インストール", false},
        {"/install", 1, "インストールが完了しました。", true},
        {"/status", 1, "インストール済み", true},
        {"/uninstall", 1, "アンインストールが完了しました。", false},
        {"/status", 0, "未インストール", false},
        // Only "/silent" exactly silences.
        {"/install /SILENT", 1, "インストールが完了しました。", true},
        {"/status /silent /extra", 1, "", true},
        {"/uninstall /silent", 1, "", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.arguments);
        CRunResult run = Run(c.arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(c.exitCode, run.exitCode);
        if (c.text.empty())
        {
            EXPECT_TRUE(run.windows.empty());
        }
        else
        {
            ASSERT_EQ(1u, run.windows.size());
            EXPECT_EQ(kInstallerTitle, run.windows[0].title);
            EXPECT_EQ(c.text, run.windows[0].MessageText());
            EXPECT_TRUE(run.windows[0].HasIcon());
        }
        EXPECT_EQ(c.registeredAfter, ClassesKeyExists(kClassKey));
    }
}

TEST_F(InstallerTest, InstallWithoutRightsToWriteTheKeys_ReportsFailure)
{
    CRegistrationBlocker blocker;
    ASSERT_EQ(ERROR_SUCCESS, blocker.Status());

    CRunResult silent = Run("/install /silent");
    EXPECT_EQ(0u, silent.exitCode);
    EXPECT_TRUE(silent.windows.empty());

    CRunResult shown = Run("/install");
    EXPECT_EQ(0u, shown.exitCode);
    ASSERT_EQ(1u, shown.windows.size());
    EXPECT_EQ(kInstallerTitle, shown.windows[0].title);
    EXPECT_EQ("インストールに失敗しました。\nレジストリに書き込めませんでした。管理者として実行してください。",
              shown.windows[0].MessageText());
    // Registration stopped at the key it could not create.
    EXPECT_FALSE(ClassesKeyExists(kServerKey));
    EXPECT_FALSE(ClassesKeyExists(kFilesHandlerKey));
    EXPECT_FALSE(ClassesKeyExists(kFolderHandlerKey));
}

TEST_F(InstallerTest, SelfRegistration_WritesTheExtensionsOwnFolder_AndRemovesItAgain)
{
    CRunResult registered = RunProgram("regsvr32.exe /s " + Quote(m_copy.Extension()));
    ASSERT_TRUE(registered.finished);
    EXPECT_EQ(0u, registered.exitCode);
    ExpectValue(kClassKey, "", "Tessik Shell Extension");
    ExpectValue(kClassKey, "tessik_path", m_copy.Folder() + "\\tessik.exe");
    ExpectValue(kServerKey, "", m_copy.Folder() + "\\tessikshlex_x64.dll");
    ExpectValue(kServerKey, "ThreadingModel", "Apartment");
    ExpectValue(kFilesHandlerKey, "", "{5D0C3A71-9B2E-4F6A-8C13-2E7B94A0D6F5}");
    ExpectValue(kFolderHandlerKey, "", "{5D0C3A71-9B2E-4F6A-8C13-2E7B94A0D6F5}");

    CRunResult unregistered = RunProgram("regsvr32.exe /u /s " + Quote(m_copy.Extension()));
    EXPECT_EQ(0u, unregistered.exitCode);
    for (const char* key : {kServerKey, kClassKey, kFilesHandlerKey, kFolderHandlerKey})
        EXPECT_FALSE(ClassesKeyExists(key)) << key;
}

TEST_F(InstallerTest, SelfRegistrationWithoutRights_IsReportedAsFailure)
{
    CRegistrationBlocker blocker;
    ASSERT_EQ(ERROR_SUCCESS, blocker.Status());
    CRunResult registered = RunProgram("regsvr32.exe /s " + Quote(m_copy.Extension()));
    ASSERT_TRUE(registered.finished);
    EXPECT_NE(0u, registered.exitCode);
    EXPECT_FALSE(ClassesKeyExists(kServerKey));
}
