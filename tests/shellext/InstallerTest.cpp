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

namespace {

// A value of the extension's keys as one scope holds them, in the 64-bit view;
// false when the key or value is missing.
bool ReadScopeValue(HKEY root, const char* key, const char* name, std::string* text)
{
    HKEY handle = NULL;
    if (RegOpenKeyExA(root, (std::string("Software\\Classes\\") + key).c_str(), 0, KEY_READ | KEY_WOW64_64KEY,
                      &handle) != ERROR_SUCCESS)
        return false;
    char buffer[1024] = "";
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    LONG result = RegQueryValueExA(handle, name, NULL, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(handle);
    *text = buffer;
    return result == ERROR_SUCCESS && type == REG_SZ;
}

bool ScopeHasClassKey(HKEY root)
{
    std::string ignored;
    return ReadScopeValue(root, kClassKey, "", &ignored);
}

}  // namespace

TEST_F(InstallerTest, ScopedCommands_WriteAndRemoveTheirOwnHiveOnly)
{
    struct Case
    {
        const char* scope;
        HKEY root;
        HKEY other;
    };
    const Case cases[] = {
        {"/currentuser", HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE},
        {"/allusers", HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.scope);
        EXPECT_EQ(0u, Run(std::string("/status ") + c.scope + " /silent").exitCode);
        CRunResult install = Run(std::string("/install ") + c.scope + " /silent");
        EXPECT_EQ(1u, install.exitCode);
        EXPECT_TRUE(install.windows.empty());
        std::string text;
        EXPECT_TRUE(ReadScopeValue(c.root, kServerKey, "", &text));
        EXPECT_EQ(m_copy.Folder() + "\\tessikshlex_x64.dll", text);
        EXPECT_TRUE(ReadScopeValue(c.root, kClassKey, "tessik_path", &text));
        EXPECT_EQ(m_copy.Folder() + "\\tessik.exe", text);
        EXPECT_TRUE(ReadScopeValue(c.root, kFolderHandlerKey, "", &text));
        EXPECT_FALSE(ScopeHasClassKey(c.other));
        EXPECT_EQ(1u, Run(std::string("/status ") + c.scope + " /silent").exitCode);

        EXPECT_EQ(1u, Run(std::string("/uninstall ") + c.scope + " /silent").exitCode);
        for (const char* key : {kServerKey, kClassKey, kFilesHandlerKey, kFolderHandlerKey})
            EXPECT_FALSE(ReadScopeValue(c.root, key, "", &text)) << key;
        EXPECT_EQ(0u, Run(std::string("/status ") + c.scope + " /silent").exitCode);
    }
}

TEST_F(InstallerTest, UserInstaller_TellsTheStateAndAddsOrRemovesTheMenuForTheUserOnly)
{
    const char kTitle[] = "Tessik 右クリックメニュー";
    const std::string kAskAdd =
        "右クリックメニュー「Tessikで圧縮(&E)」は登録されていません。\n\n"
        "このユーザーのメニューに登録しますか?\n(管理者の権限はいりません)";
    const std::string kAdded =
        "右クリックメニューに登録しました。\n"
        "エクスプローラーでファイルを右クリックすると「Tessikで圧縮(&E)」が表示されます。";
    const std::string kAskRemove =
        "右クリックメニュー「Tessikで圧縮(&E)」は、このユーザーに登録されています。\n\n登録を解除しますか?";
    const std::string kRemoved = "右クリックメニューの登録を解除しました。";
    const std::string kForAllUsers =
        "右クリックメニュー「Tessikで圧縮(&E)」は、すべてのユーザーに登録されています。\n\n"
        "解除するには、「アプリと機能」からTessikをアンインストールしてください。";
    const std::string kNoExtension =
        "tessikshlex_x64.dll が、このプログラムと同じフォルダーにありません。\n右クリックメニューは登録できません。";

    struct Case
    {
        const char* before;  // an installer command run first, or ""
        bool withoutExtension;
        CWindowWatch::Answer answer;
        std::vector<std::string> texts;
        DWORD exitCode;  // 1 when the user has the menu afterwards
    };
    // In order: each step starts from the registry the one before left.
    const Case cases[] = {
        {"", false, CWindowWatch::kPressNo, {kAskAdd}, 0},
        {"", false, CWindowWatch::kPressYes, {kAskAdd, kAdded}, 1},
        {"", false, CWindowWatch::kPressNo, {kAskRemove}, 1},
        {"", false, CWindowWatch::kPressYes, {kAskRemove, kRemoved}, 0},
        // Registered for every user: nothing for this program to change.
        {"/install /allusers /silent", false, CWindowWatch::kPressYes, {kForAllUsers}, 0},
        {"/uninstall /allusers /silent", true, CWindowWatch::kPressYes, {kAskAdd, kNoExtension}, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << (&c - cases));
        if (*c.before != '\0')
            ASSERT_EQ(1u, Run(c.before).exitCode);
        if (c.withoutExtension)
            ASSERT_TRUE(DeleteFileA(m_copy.Extension().c_str()));
        CRunResult run = RunProgram(Quote(m_copy.UserInstaller()), 30000, c.answer);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(c.exitCode, run.exitCode);
        ASSERT_EQ(c.texts.size(), run.windows.size());
        for (size_t i = 0; i < c.texts.size(); ++i)
        {
            EXPECT_EQ(kTitle, run.windows[i].title);
            EXPECT_EQ(c.texts[i], run.windows[i].MessageText());
        }
        EXPECT_EQ(c.exitCode == 1, ScopeHasClassKey(HKEY_CURRENT_USER));
        std::string path;
        if (c.exitCode == 1)
        {
            EXPECT_TRUE(ReadScopeValue(HKEY_CURRENT_USER, kServerKey, "", &path));
            EXPECT_EQ(m_copy.Folder() + "\\tessikshlex_x64.dll", path);
        }
    }
}
