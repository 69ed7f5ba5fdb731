#include "tests/settings/SettingsSandbox.h"
#include "tests/shellext/ShellExtTestSupport.h"
#include "tests/support/StandInJournal.h"

#include <gtest/gtest.h>

#include <olectl.h>
#include <tlhelp32.h>
#include <shlobj.h>
#include <string.h>

#include <algorithm>

namespace {

// {5D0C3A71-9B2E-4F6A-8C13-2E7B94A0D6F5}
const CLSID kExtensionClass = {0x5d0c3a71, 0x9b2e, 0x4f6a, {0x8c, 0x13, 0x2e, 0x7b, 0x94, 0xa0, 0xd6, 0xf5}};
const char kModuleName[] = "tessikshlex_x64.dll";
const char kMenuText[] = "Tessikで圧縮(&E)";
const char kHandOffToken[] = "::PROCESSCOMMUNICATION_COMPRESSMODE";

typedef HRESULT(STDAPICALLTYPE* CanUnloadNowFunction)();
typedef HRESULT(STDAPICALLTYPE* GetClassObjectFunction)(REFCLSID, REFIID, void**);

std::string MenuItemText(HMENU menu, int position)
{
    char text[256] = "";
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

bool IsSeparator(HMENU menu, int position)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoA(menu, position, TRUE, &info) && (info.fType & MFT_SEPARATOR);
}

// A file whose path is too long for the ANSI file functions (and so for the
// test folder's own clean-up).
class CLongFile
{
public:
    explicit CLongFile(const std::wstring& path) : m_path(L"\\\\?\\" + path)
    {
        HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        m_created = file != INVALID_HANDLE_VALUE;
        if (m_created)
            CloseHandle(file);
    }
    ~CLongFile()
    {
        if (m_created)
            DeleteFileW(m_path.c_str());
    }
    bool Created() const { return m_created; }

private:
    std::wstring m_path;
    bool m_created;
};

// What the recorder writes for one start with a hand-off file.
std::string RecordedHandOff(const std::string& file)
{
    return std::string(kHandOffToken) + "\n" + file + "\n";
}

// The extension's hand-off names: the prefix, eight hex digits, ".tmp", directly
// in the temporary folder.
bool IsHandOffName(const std::string& path)
{
    std::string start = TempFolderPath() + "\\tessik_filelist";
    if (path.size() != start.size() + 8 + 4 || path.compare(0, start.size(), start) != 0 ||
        path.compare(path.size() - 4, 4, ".tmp") != 0)
        return false;
    return path.find_first_not_of("0123456789abcdef", start.size()) == path.size() - 4;
}

// A running process started from exactly this program file, or NULL.
HANDLE OpenProcessOf(const std::string& programPath)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return NULL;
    HANDLE found = NULL;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more && found == NULL;
         more = Process32Next(snapshot, &entry))
    {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE, FALSE,
                                     entry.th32ProcessID);
        if (process == NULL)
            continue;
        char image[1024] = "";
        DWORD size = sizeof(image);
        if (QueryFullProcessImageNameA(process, 0, image, &size) && lstrcmpiA(image, programPath.c_str()) == 0)
            found = process;
        else
            CloseHandle(process);
    }
    CloseHandle(snapshot);
    return found;
}

// The settings sandbox keeps the main program that one test starts away from
// any real settings file of the prefix.
class ShellExtTest : public SettingsFileTest
{
protected:
    void SetUp() override
    {
        SettingsFileTest::SetUp();
        RemoveRegistration();
        CRunResult install = RunProgram(Quote(m_copy.Installer()) + " /install /silent");
        ASSERT_EQ(1u, install.exitCode);
        ASSERT_EQ(S_OK, CoInitialize(NULL));
        m_comReady = true;
    }

    void TearDown() override
    {
        if (m_comReady)
        {
            // Lets the copied module go, so its folder can be removed.
            CoFreeUnusedLibrariesEx(0, 0);
            CoUninitialize();
        }
        RemoveRegistration();
        SettingsFileTest::TearDown();
    }

    // An extension object made by COM from the registry, as the file manager makes it.
    void CreateExtension(CComRef<IContextMenu>* menu)
    {
        CComRef<IShellExtInit> init;
        ASSERT_EQ(S_OK, CoCreateInstance(kExtensionClass, NULL, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                                         init.OutVoid()));
        ASSERT_EQ(S_OK, init->QueryInterface(IID_IContextMenu, menu->OutVoid()));
    }

    // Initialize with the shell's data object for these items of one folder.
    HRESULT Select(IContextMenu* menu, const std::string& folder, const std::vector<std::string>& names)
    {
        return SelectWide(menu, Widen(folder), WidenAll(names));
    }
    HRESULT SelectWide(IContextMenu* menu, const std::wstring& folder, const std::vector<std::wstring>& names)
    {
        CComRef<IDataObject> data;
        HRESULT made = CreateShellDataObject(folder, names, data.Out());
        EXPECT_EQ(S_OK, made);
        if (FAILED(made))
            return made;
        CComRef<IShellExtInit> init;
        EXPECT_EQ(S_OK, menu->QueryInterface(IID_IShellExtInit, init.OutVoid()));
        return init->Initialize(NULL, data.Get(), NULL);
    }

    // Picks the command; every message box it shows is answered and returned.
    HRESULT Invoke(IContextMenu* menu, LPCSTR verb, std::vector<CWindowSnapshot>* boxes)
    {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.lpVerb = verb;
        info.nShow = SW_SHOWNORMAL;
        CWindowWatch watch;
        HRESULT result = menu->InvokeCommand(&info);
        *boxes = watch.Stop();
        return result;
    }

    // Waits for the main program the command started to end by itself; any
    // window it shows is recorded and closed, so that a failure cannot hang.
    void WaitForMainProgram()
    {
        HANDLE process = NULL;
        DWORD start = GetTickCount();
        while (process == NULL && GetTickCount() - start < 20000)
        {
            process = OpenProcessOf(m_copy.MainProgram());
            if (process == NULL && HandOffFiles().empty())
                return;  // already ended
            if (process == NULL)
                Sleep(50);
        }
        if (process == NULL)
            return;
        std::vector<CWindowSnapshot> windows;
        {
            CWindowWatch watch(GetProcessId(process), CWindowWatch::kClose);
            if (WaitForSingleObject(process, 30000) != WAIT_OBJECT_0)
            {
                ADD_FAILURE() << "the main program did not end";
                TerminateProcess(process, 1);
                WaitForSingleObject(process, 5000);
            }
            windows = watch.Stop();
        }
        DWORD exitCode = 1;
        GetExitCodeProcess(process, &exitCode);
        CloseHandle(process);
        EXPECT_EQ(0u, exitCode);
        for (const CWindowSnapshot& window : windows)
            ADD_FAILURE() << "unexpected window: " << window.title << " " << window.MessageText();
    }

    HRESULT CanUnloadNow()
    {
        HMODULE module = GetModuleHandleA(kModuleName);
        if (module == NULL)
            return E_UNEXPECTED;
        CanUnloadNowFunction function =
            reinterpret_cast<CanUnloadNowFunction>(GetProcAddress(module, "DllCanUnloadNow"));
        return function ? function() : E_UNEXPECTED;
    }

    CInstalledCopy m_copy;
    CTestFolder m_files;
    // Every test has a temporary folder of its own, so the hand-off files it
    // finds there are the ones it made.
    CTestFolder m_temp;
    CTempFolderOverride m_tempOverride{m_temp.Path()};
    bool m_comReady = false;
};

}  // namespace

TEST_F(ShellExtTest, ObjectsMadeThroughTheRegistry_AnswerTheirInterfacesAndHoldTheModule)
{
    CComRef<IContextMenu> menu;
    CreateExtension(&menu);
    ASSERT_NE(nullptr, menu.Get());

    HMODULE module = GetModuleHandleA(kModuleName);
    ASSERT_NE(nullptr, module);
    char modulePath[1024] = "";
    GetModuleFileNameA(module, modulePath, sizeof(modulePath));
    EXPECT_EQ(m_copy.Extension(), modulePath);

    CComRef<IUnknown> fromMenu;
    CComRef<IShellExtInit> init;
    CComRef<IUnknown> fromInit;
    ASSERT_EQ(S_OK, menu->QueryInterface(IID_IUnknown, fromMenu.OutVoid()));
    ASSERT_EQ(S_OK, menu->QueryInterface(IID_IShellExtInit, init.OutVoid()));
    ASSERT_EQ(S_OK, init->QueryInterface(IID_IUnknown, fromInit.OutVoid()));
    EXPECT_EQ(fromMenu.Get(), fromInit.Get());
    CComRef<IDataObject> none;
    EXPECT_EQ(E_NOINTERFACE, menu->QueryInterface(IID_IDataObject, none.OutVoid()));
    EXPECT_EQ(nullptr, none.Get());

    EXPECT_EQ(S_FALSE, CanUnloadNow());
    fromMenu.Reset();
    fromInit.Reset();
    init.Reset();
    EXPECT_EQ(S_FALSE, CanUnloadNow());
    menu.Reset();
    EXPECT_EQ(S_OK, CanUnloadNow());

    GetClassObjectFunction getClassObject =
        reinterpret_cast<GetClassObjectFunction>(GetProcAddress(module, "DllGetClassObject"));
    ASSERT_NE(nullptr, getClassObject);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(IID_IUnknown, IID_IClassFactory, &other));
    EXPECT_EQ(nullptr, other);
    CComRef<IDataObject> notAFactory;
    EXPECT_EQ(E_NOINTERFACE, getClassObject(kExtensionClass, IID_IDataObject, notAFactory.OutVoid()));
    EXPECT_EQ(S_OK, CanUnloadNow());

    CComRef<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClassObject(kExtensionClass, IID_IClassFactory, factory.OutVoid()));
    EXPECT_EQ(S_FALSE, CanUnloadNow());
    CComRef<IUnknown> aggregated;
    IUnknown* outer = factory.Get();
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer, IID_IUnknown, aggregated.OutVoid()));
    CComRef<IDataObject> wrongInterface;
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(NULL, IID_IDataObject, wrongInterface.OutVoid()));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    // Neither the refused object nor the factory is left alive.
    EXPECT_EQ(S_OK, CanUnloadNow());

    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_EQ(nullptr, GetModuleHandleA(kModuleName));
}

TEST_F(ShellExtTest, QueryContextMenu_AddsSeparatorAndItem_UnlessOnlyTheDefaultIsWanted)
{
    CComRef<IContextMenu> extension;
    CreateExtension(&extension);
    ASSERT_NE(nullptr, extension.Get());
    m_files.WriteFile("a.txt", "a");
    ASSERT_EQ(S_OK, Select(extension.Get(), m_files.Path(), {"a.txt"}));

    struct Case
    {
        UINT flags;
        UINT first;
        UINT last;
        bool adds;
    };
    const Case cases[] = {
        {CMF_NORMAL, 100, 200, true},
        {CMF_EXPLORE, 100, 200, true},
        {CMF_DEFAULTONLY, 100, 200, false},
        {CMF_DEFAULTONLY | CMF_VERBSONLY, 100, 200, true},
        {CMF_DEFAULTONLY | CMF_EXPLORE, 100, 200, true},
        {CMF_NORMAL, 150, 150, true},
        // No command id left for this handler.
        {CMF_NORMAL, 201, 200, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << " ids " << c.first << "-" << c.last);
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 1, "開く");
        AppendMenuA(menu, MF_STRING, 2, "削除");

        HRESULT result = extension->QueryContextMenu(menu, 1, c.first, c.last, c.flags);
        if (c.adds)
        {
            EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1), result);
            ASSERT_EQ(4, GetMenuItemCount(menu));
            EXPECT_EQ("開く", MenuItemText(menu, 0));
            EXPECT_TRUE(IsSeparator(menu, 1));
            EXPECT_EQ(kMenuText, MenuItemText(menu, 2));
            EXPECT_EQ(c.first, GetMenuItemID(menu, 2));
            EXPECT_EQ("削除", MenuItemText(menu, 3));
        }
        else
        {
            EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0), result);
            EXPECT_EQ(2, GetMenuItemCount(menu));
        }
        DestroyMenu(menu);
    }
}

TEST_F(ShellExtTest, GetCommandString_GivesTheHelpTextCutToTheBuffer)
{
    CComRef<IContextMenu> extension;
    CreateExtension(&extension);
    ASSERT_NE(nullptr, extension.Get());
    const std::wstring helpText = L"選択したファイルを、Tessikで圧縮します。";

    wchar_t wide[128];
    wmemset(wide, L'#', 128);
    ASSERT_EQ(S_OK, extension->GetCommandString(0, GCS_HELPTEXTW, NULL, reinterpret_cast<char*>(wide), 128));
    EXPECT_EQ(helpText, wide);

    wmemset(wide, L'#', 128);
    ASSERT_EQ(S_OK, extension->GetCommandString(0, GCS_HELPTEXTW, NULL, reinterpret_cast<char*>(wide), 5));
    EXPECT_EQ(helpText.substr(0, 4), wide);
    EXPECT_EQ(L'#', wide[5]);

    // An ANSI request counts bytes: nothing may land past them.
    char ansi[64];
    memset(ansi, '#', sizeof(ansi));
    ASSERT_EQ(S_OK, extension->GetCommandString(0, GCS_HELPTEXTA, NULL, ansi, 64));
    EXPECT_STREQ("選択したファイルを、Tessikで圧縮します。", ansi);
    memset(ansi, '#', sizeof(ansi));
    ASSERT_EQ(S_OK, extension->GetCommandString(0, GCS_HELPTEXTA, NULL, ansi, 8));
    EXPECT_STREQ("選択し", ansi);
    EXPECT_EQ(std::string(64 - 8, '#'), std::string(ansi + 8, 64 - 8));
}

TEST_F(ShellExtTest, Invoke_ThreeFiles_WritesHandOffFileInSelectionOrder_AndStartsMainProgramOnce)
{
    std::string folder = m_files.MakeFolder("選択 表");
    for (const char* name : {"a.txt", "表 b.txt", "c.dat"})
        WriteFileBytes(folder + "\\" + name, name);
    CComRef<IContextMenu> extension;
    CreateExtension(&extension);
    ASSERT_NE(nullptr, extension.Get());
    ASSERT_EQ(S_OK, Select(extension.Get(), folder, {"c.dat", "a.txt", "表 b.txt"}));

    std::vector<CWindowSnapshot> boxes;
    EXPECT_EQ(S_OK, Invoke(extension.Get(), MAKEINTRESOURCEA(0), &boxes));
    EXPECT_TRUE(boxes.empty());

    std::vector<std::string> files = HandOffFiles();
    ASSERT_EQ(1u, files.size());
    EXPECT_TRUE(IsHandOffName(files[0])) << files[0];
    EXPECT_EQ(folder + "\\c.dat\r\n" + folder + "\\a.txt\r\n" + folder + "\\表 b.txt\r\n", ReadFileBytes(files[0]));
    EXPECT_EQ(std::vector<std::string>{RecordedHandOff(files[0])}, m_copy.TakeRecordedRuns());
}

// Installed in a folder beyond Shift_JIS (under a Korean user's profile, say):
// the installer writes its folder as it is, and the command starts the program
// there. Installed for the current user beside the machine's registration, the
// user's own copy is the one started, as the merged classes of Windows give it.
TEST_F(ShellExtTest, InstalledElsewhere_TheCommandStartsTheProgramOfThatInstall)
{
    struct Case
    {
        const wchar_t* folderName;
        const wchar_t* options;
        HKEY root;
        const wchar_t* classKeyPrefix;
    };
    const Case cases[] = {
        {L"설치 폴더", L" /install /silent", HKEY_CLASSES_ROOT, L""},
        {L"ユーザー 表", L" /install /currentuser /silent", HKEY_CURRENT_USER, L"Software\\Classes\\"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(Narrow(c.folderName));
        CInstalledCopy copy(c.folderName);
        // The machine's registration is the fixture's own copy; COM under Wine
        // reads only the machine's classes, so the object comes from there.
        RemoveRegistration();
        if (c.root != HKEY_CLASSES_ROOT)
            ASSERT_EQ(1u, RunProgram(Quote(m_copy.Installer()) + " /install /silent").exitCode);
        ASSERT_EQ(1u,
                  RunProgram(L"\"" + copy.WideFolder() + L"\\tessikshlex_install_x64.exe\"" + c.options).exitCode);
        wchar_t value[1024] = L"";
        DWORD size = sizeof(value);
        ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(c.root, (c.classKeyPrefix + Widen(kClassKey)).c_str(), L"tessik_path",
                                              RRF_RT_REG_SZ, NULL, value, &size));
        EXPECT_EQ(copy.WideFolder() + L"\\tessik.exe", value);

        WriteFileBytes(m_files / "a.txt", "a");
        {
            CComRef<IContextMenu> extension;
            CreateExtension(&extension);
            ASSERT_NE(nullptr, extension.Get());
            ASSERT_EQ(S_OK, Select(extension.Get(), m_files.Path(), {"a.txt"}));
            std::vector<CWindowSnapshot> boxes;
            EXPECT_EQ(S_OK, Invoke(extension.Get(), MAKEINTRESOURCEA(0), &boxes));
            EXPECT_TRUE(boxes.empty());
        }
        std::vector<std::string> files = HandOffFiles();
        ASSERT_EQ(1u, files.size());
        EXPECT_EQ(std::vector<std::string>{RecordedHandOff(files[0])}, copy.TakeRecordedRuns());
        EXPECT_TRUE(m_copy.TakeRecordedRuns(0, 0).empty());
        // The recorder reads no hand-off file: it would stay for the next row.
        DeleteFileA(files[0].c_str());
        RemoveRegistration();
        // Lets the module go, so that its folder can be removed.
        CoFreeUnusedLibrariesEx(0, 0);
    }
}

TEST_F(ShellExtTest, Invoke_NamesBeyondShiftJis_WritesTheUtf8HandOffFile)
{
    std::wstring folder = Widen(m_files.MakeFolder("選択"));
    WriteWideFile(folder + L"\\한국어\\x.txt", "x");
    WriteWideFile(folder + L"\\A\u301CB.txt", "w");
    WriteWideFile(folder + L"\\表.txt", "s");
    struct
    {
        const char* what;
        std::vector<std::wstring> names;
    } cases[] = {
        {"Korean folder and wave dash", {L"한국어", L"A\u301CB.txt"}},
        {"a Shift_JIS name beside them is UTF-8 too", {L"表.txt", L"A\u301CB.txt"}},
    };
    for (const auto& c : cases)
    {
        CComRef<IContextMenu> extension;
        CreateExtension(&extension);
        ASSERT_NE(nullptr, extension.Get());
        ASSERT_EQ(S_OK, SelectWide(extension.Get(), folder, c.names)) << c.what;
        std::vector<CWindowSnapshot> boxes;
        EXPECT_EQ(S_OK, Invoke(extension.Get(), MAKEINTRESOURCEA(0), &boxes)) << c.what;
        EXPECT_TRUE(boxes.empty()) << c.what;

        std::vector<std::string> files = HandOffFiles();
        ASSERT_EQ(1u, files.size()) << c.what;
        std::string expected = "\xEF\xBB\xBF";
        for (const std::wstring& name : c.names)
            expected += Utf8Of(folder + L"\\" + name) + "\r\n";
        EXPECT_EQ(expected, ReadFileBytes(files[0])) << c.what;
        EXPECT_EQ(std::vector<std::string>{RecordedHandOff(files[0])}, m_copy.TakeRecordedRuns()) << c.what;
        DeleteFileA(files[0].c_str());
    }
}

TEST_F(ShellExtTest, Invoke_TwoSelectionsInQuickSuccession_EachProgramGetsAFileWithItsOwnSelection)
{
    WriteFileBytes(m_files / "one.txt", "1");
    WriteFileBytes(m_files / "two.txt", "2");
    std::string folder = m_files.MakeFolder("フォルダ");
    // Two menus, as two file manager windows make them; the second command is
    // picked before the first program could have read anything.
    CComRef<IContextMenu> first;
    CComRef<IContextMenu> second;
    CreateExtension(&first);
    CreateExtension(&second);
    ASSERT_NE(nullptr, first.Get());
    ASSERT_NE(nullptr, second.Get());
    ASSERT_EQ(S_OK, Select(first.Get(), m_files.Path(), {"one.txt", "two.txt"}));
    ASSERT_EQ(S_OK, Select(second.Get(), m_files.Path(), {"フォルダ"}));
    std::vector<CWindowSnapshot> boxes;
    ASSERT_EQ(S_OK, Invoke(first.Get(), MAKEINTRESOURCEA(0), &boxes));
    ASSERT_EQ(S_OK, Invoke(second.Get(), MAKEINTRESOURCEA(0), &boxes));
    EXPECT_TRUE(boxes.empty());

    // Each start names a file of its own that holds exactly its selection.
    std::vector<std::string> runs = m_copy.TakeRecordedRuns(10000, 2);
    ASSERT_EQ(2u, runs.size());
    std::vector<std::string> selections;
    for (const std::string& run : runs)
    {
        std::string prefix = std::string(kHandOffToken) + "\n";
        ASSERT_EQ(0u, run.find(prefix)) << run;
        ASSERT_EQ('\n', run.back()) << run;
        std::string file = run.substr(prefix.size(), run.size() - prefix.size() - 1);
        EXPECT_TRUE(IsHandOffName(file)) << file;
        selections.push_back(ReadFileBytes(file));
    }
    EXPECT_NE(runs[0], runs[1]);
    std::sort(selections.begin(), selections.end());
    std::vector<std::string> expected = {m_files / "one.txt\r\n" + m_files / "two.txt\r\n", folder + "\r\n"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, selections);
    EXPECT_EQ(2u, HandOffFiles().size());
}

TEST_F(ShellExtTest, Invoke_PathLongerThan259Characters_ArrivesWhole)
{
    // Created with a wide call: the ANSI file functions stop at 260 characters.
    std::wstring folder = Widen(m_files.MakeFolder("長い 表"));
    std::wstring name;
    for (int i = 0; i < 12; ++i)
        name += L"とても長いファイル名" + std::to_wstring(i);
    name += L".txt";
    std::wstring widePath = folder + L"\\" + name;
    CLongFile file(widePath);
    ASSERT_TRUE(file.Created());
    std::string expected = Narrow(widePath);
    ASSERT_GT(expected.size(), 300u);

    CComRef<IContextMenu> extension;
    CreateExtension(&extension);
    ASSERT_NE(nullptr, extension.Get());
    // The shell's own folder object cannot parse such a name here, so the
    // file list comes the way a drag or a paste brings it.
    CComRef<IDataObject> data;
    ASSERT_EQ(S_OK, CreateClipboardDataObject(CF_HDROP, MakeDropList({widePath}), data.Out()));
    CComRef<IShellExtInit> init;
    ASSERT_EQ(S_OK, extension->QueryInterface(IID_IShellExtInit, init.OutVoid()));
    ASSERT_EQ(S_OK, init->Initialize(NULL, data.Get(), NULL));
    std::vector<CWindowSnapshot> boxes;
    ASSERT_EQ(S_OK, Invoke(extension.Get(), MAKEINTRESOURCEA(0), &boxes));
    EXPECT_TRUE(boxes.empty());
    std::vector<std::string> files = HandOffFiles();
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ(expected + "\r\n", ReadFileBytes(files[0]));
    EXPECT_EQ(1u, m_copy.TakeRecordedRuns().size());
}

TEST_F(ShellExtTest, Invoke_OtherVerbs_AreRefusedAndDoNothing)
{
    WriteFileBytes(m_files / "a.txt", "a");
    CComRef<IContextMenu> extension;
    CreateExtension(&extension);
    ASSERT_NE(nullptr, extension.Get());
    ASSERT_EQ(S_OK, Select(extension.Get(), m_files.Path(), {"a.txt"}));

    std::vector<CWindowSnapshot> boxes;
    EXPECT_EQ(E_INVALIDARG, Invoke(extension.Get(), MAKEINTRESOURCEA(1), &boxes));
    EXPECT_EQ(E_INVALIDARG, Invoke(extension.Get(), "compress", &boxes));
    EXPECT_EQ(E_INVALIDARG, extension->InvokeCommand(NULL));
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(HandOffFiles().empty());
    EXPECT_TRUE(m_copy.TakeRecordedRuns(500).empty());
}

TEST_F(ShellExtTest, Initialize_WithoutFiles_IsRefused)
{
    CComRef<IContextMenu> extension;
    CreateExtension(&extension);
    ASSERT_NE(nullptr, extension.Get());
    CComRef<IShellExtInit> init;
    ASSERT_EQ(S_OK, extension->QueryInterface(IID_IShellExtInit, init.OutVoid()));

    // A folder background has no data object at all.
    EXPECT_EQ(E_INVALIDARG, init->Initialize(NULL, NULL, NULL));

    // A data object without a file list.
    CComRef<IDataObject> text;
    HGLOBAL textMemory = GlobalAlloc(GHND, 8);
    ASSERT_NE(nullptr, textMemory);
    ASSERT_EQ(S_OK, CreateClipboardDataObject(CF_TEXT, textMemory, text.Out()));
    EXPECT_EQ(E_INVALIDARG, init->Initialize(NULL, text.Get(), NULL));

    // A file list with no file in it.
    CComRef<IDataObject> noFiles;
    ASSERT_EQ(S_OK, CreateClipboardDataObject(CF_HDROP, MakeDropList({}), noFiles.Out()));
    EXPECT_EQ(E_INVALIDARG, init->Initialize(NULL, noFiles.Get(), NULL));
}

TEST_F(ShellExtTest, Invoke_WithoutRegistration_SaysTheProgramCannotBeFound)
{
    WriteFileBytes(m_files / "a.txt", "a");
    CComRef<IContextMenu> extension;
    CreateExtension(&extension);
    ASSERT_NE(nullptr, extension.Get());
    ASSERT_EQ(S_OK, Select(extension.Get(), m_files.Path(), {"a.txt"}));
    RemoveRegistration();

    std::vector<CWindowSnapshot> boxes;
    EXPECT_EQ(S_OK, Invoke(extension.Get(), MAKEINTRESOURCEA(0), &boxes));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Tessik - RegOpenKeyエラー", boxes[0].title);
    EXPECT_EQ("Tessikを起動できません\nTessikの実行ファイルがある場所が不明です\n", boxes[0].MessageText());
    EXPECT_TRUE(boxes[0].HasIcon());
    EXPECT_TRUE(HandOffFiles().empty());
    EXPECT_TRUE(m_copy.TakeRecordedRuns(500).empty());
}

TEST_F(ShellExtTest, Invoke_MainProgramNotStartable_ShowsTheShellsCode_AndRemovesTheHandOffFile)
{
    WriteFileBytes(m_files / "a.txt", "a");
    CComRef<IContextMenu> extension;
    CreateExtension(&extension);
    ASSERT_NE(nullptr, extension.Get());
    ASSERT_EQ(S_OK, Select(extension.Get(), m_files.Path(), {"a.txt"}));

    std::string missing = m_copy.Folder() + "\\ない.exe";
    HKEY key = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, kClassKey, 0, KEY_ALL_ACCESS, &key));
    RegSetValueExA(key, "tessik_path", 0, REG_SZ, reinterpret_cast<const BYTE*>(missing.c_str()),
                   static_cast<DWORD>(missing.size() + 1));

    std::vector<CWindowSnapshot> boxes;
    EXPECT_EQ(S_OK, Invoke(extension.Get(), MAKEINTRESOURCEA(0), &boxes));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Tessik - ShellExecuteエラー", boxes[0].title);
    EXPECT_EQ("Tessikの起動に失敗しました。code : 2\n\n呼び出そうとした実行ファイル\nfile : " + missing,
              boxes[0].MessageText());
    // No program will read it.
    EXPECT_TRUE(HandOffFiles().empty());

    // Without the value there is no program to start.
    RegDeleteValueA(key, "tessik_path");
    RegCloseKey(key);
    EXPECT_EQ(S_OK, Invoke(extension.Get(), MAKEINTRESOURCEA(0), &boxes));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Tessik - ShellExecuteエラー", boxes[0].title);
    std::string text = boxes[0].MessageText();
    EXPECT_EQ(0u, text.find("Tessikの起動に失敗しました。code : ")) << text;
    EXPECT_EQ(text.size() - strlen("\nfile : "), text.rfind("\nfile : ")) << text;
    EXPECT_TRUE(HandOffFiles().empty());
    EXPECT_TRUE(m_copy.TakeRecordedRuns(500).empty());
}

TEST_F(ShellExtTest, Invoke_HandOffFileNotWritable_SaysSoWithProgramFileAndSelection)
{
    WriteFileBytes(m_files / "a.txt", "a");
    WriteFileBytes(m_files / "b.txt", "b");
    CComRef<IContextMenu> extension;
    CreateExtension(&extension);
    ASSERT_NE(nullptr, extension.Get());
    ASSERT_EQ(S_OK, Select(extension.Get(), m_files.Path(), {"a.txt", "b.txt"}));
    // No file can be made in a temporary folder that does not exist.
    std::string missing = m_temp / "ない";
    std::vector<CWindowSnapshot> boxes;
    {
        CTempFolderOverride noTemp(missing);
        EXPECT_EQ(S_OK, Invoke(extension.Get(), MAKEINTRESOURCEA(0), &boxes));
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Tessik - OpenFileエラー", boxes[0].title);
    // The name tried is a fresh one: the prefix, eight hex digits, ".tmp".
    std::string text = boxes[0].MessageText();
    std::string head = "ファイルリストを作成できませんでした。\n\nfile : " + m_copy.MainProgram() + "\nfilelist : " +
                       missing + "\\tessik_filelist";
    std::string tail = ".tmp\nselection : " + m_files / "a.txt\r\n" + m_files / "b.txt\r\n";
    EXPECT_EQ(head.size() + 8 + tail.size(), text.size()) << text;
    EXPECT_EQ(0u, text.find(head)) << text;
    EXPECT_EQ(head.size() + 8, text.rfind(tail)) << text;
    EXPECT_TRUE(boxes[0].HasIcon());
    EXPECT_FALSE(FolderExists(missing));
    EXPECT_TRUE(HandOffFiles().empty());
    EXPECT_TRUE(m_copy.TakeRecordedRuns(500).empty());
}

TEST_F(ShellExtTest, Invoke_WithTheRealMainProgram_TheSelectionIsPacked)
{
    // The real program in the recorder's place, with archivers so that it starts,
    // and settings that pack at once into 7z and end the program.
    ASSERT_TRUE(CopyFileA((TestExeFolder() + "\\tessik.exe").c_str(), m_copy.MainProgram().c_str(), FALSE));
    InstallStandIns(m_copy.Folder(), {"7-Zip32.dll", "Zip32j.dll", "zip32.dll", "Cab32.dll", "Unlha32.dll"});
    WriteStandInScript(m_copy.Folder(), "7-Zip32.dll", "version=431\ncreate=archive\n");
    for (const char* name : {"a.txt", "表 b.txt", "c.dat"})
        WriteFileBytes(m_files / name, name);
    // The user's temporary folder holds the hand-off file; a user name beyond
    // Shift_JIS puts it in a folder the ANSI functions cannot name.
    std::wstring wideTemp = Widen(m_temp.Path()) + L"\\임시";
    CreateDirectoryW(wideTemp.c_str(), NULL);
    const struct
    {
        const char* what;
        std::wstring temp;
    } cases[] = {
        {"temporary folder in Shift_JIS", Widen(m_temp.Path())},
        {"temporary folder beyond Shift_JIS", wideTemp},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
    {
        SCOPED_TRACE(cases[i].what);
        CTempFolderOverride temp(cases[i].temp);
        PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=100", "DefaultArcType=7Z", "QuickStart=true",
                                           "CmpEndExit=true"}));
        DeleteFileA((m_files / "a.7z").c_str());
        CComRef<IContextMenu> extension;
        CreateExtension(&extension);
        ASSERT_NE(nullptr, extension.Get());
        ASSERT_EQ(S_OK, Select(extension.Get(), m_files.Path(), {"a.txt", "表 b.txt", "c.dat"}));

        std::vector<CWindowSnapshot> boxes;
        ASSERT_EQ(S_OK, Invoke(extension.Get(), MAKEINTRESOURCEA(0), &boxes));
        EXPECT_TRUE(boxes.empty());
        WaitForMainProgram();
        EXPECT_TRUE(HandOffFiles().empty());

        // The first selected file names the archive; the three files, in the
        // order the file manager handed them over, are in its list file.
        std::vector<CStandInCall> calls =
            CallsOf(ReadStandInJournal(m_copy.Folder(), "7-Zip32.dll"), "SevenZip");
        ASSERT_EQ(i + 1, calls.size());
        EXPECT_NE(std::string::npos, calls.back().line.find("\"" + (m_files / "a.7z") + "\" "));
        ASSERT_EQ(1u, calls.back().lists.size());
        EXPECT_EQ("\"a.txt\"\r\n\"表 b.txt\"\r\n\"c.dat\"\r\n", calls.back().lists[0].bytes);
        EXPECT_TRUE(FileExists(m_files / "a.7z"));
    }
}

TEST_F(ShellExtTest, SeveralItems_GetTheOneArchivePerItemCommand_WhichHandsThemOverInThatMode)
{
    WriteFileBytes(m_files / "a.txt", "a");
    std::string folder = m_files.MakeFolder("フォルダ");
    CComRef<IContextMenu> extension;
    CreateExtension(&extension);
    ASSERT_NE(nullptr, extension.Get());

    // One item: the compress command alone; several: both, the new one below.
    struct
    {
        std::vector<std::string> names;
        UINT last;
        int items;
    } cases[] = {{{"a.txt"}, 200, 1}, {{"a.txt", "フォルダ"}, 200, 2}, {{"a.txt", "フォルダ"}, 100, 1}};
    for (const auto& c : cases)
    {
        ASSERT_EQ(S_OK, Select(extension.Get(), m_files.Path(), c.names));
        HMENU menu = CreatePopupMenu();
        EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, c.items), extension->QueryContextMenu(menu, 0, 100, c.last, 0));
        ASSERT_EQ(1 + c.items, GetMenuItemCount(menu));
        EXPECT_EQ(kMenuText, MenuItemText(menu, 1));
        if (c.items == 2)
        {
            EXPECT_EQ("Tessikで個別に圧縮(&I)", MenuItemText(menu, 2));
            EXPECT_EQ(101u, GetMenuItemID(menu, 2));
        }
        DestroyMenu(menu);
    }

    wchar_t wide[128] = L"";
    ASSERT_EQ(S_OK, extension->GetCommandString(1, GCS_HELPTEXTW, NULL, reinterpret_cast<char*>(wide), 128));
    EXPECT_EQ(std::wstring(L"選択した項目を、それぞれ別の書庫にTessikで圧縮します。"), wide);
    char verb[64] = "";
    ASSERT_EQ(S_OK, extension->GetCommandString(1, GCS_VERBA, NULL, verb, sizeof(verb)));
    EXPECT_STREQ("TessikCompressEach", verb);

    // Picked by its verb, as a file manager may: the program gets the
    // selection with the each-mode token.
    std::vector<CWindowSnapshot> boxes;
    ASSERT_EQ(S_OK, Invoke(extension.Get(), "TessikCompressEach", &boxes));
    EXPECT_TRUE(boxes.empty());
    std::vector<std::string> files = HandOffFiles();
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ(m_files / "a.txt\r\n" + folder + "\r\n", ReadFileBytes(files[0]));
    EXPECT_EQ(std::vector<std::string>{"::PROCESSCOMMUNICATION_EACHMODE\n" + files[0] + "\n"},
              m_copy.TakeRecordedRuns());
}
