// The stand-in archiver DLLs are what every archiver test trusts: their journal
// must hold exactly what crossed the entry point.
#include "tests/support/StandInJournal.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

typedef int(WINAPI* CommandEntry)(HWND, LPCSTR, LPSTR, DWORD);
typedef WORD(WINAPI* VersionEntry)();
typedef int(WINAPI* QueryEntry)();

class CLoadedDll
{
public:
    explicit CLoadedDll(const std::string& path) : m_module(LoadLibraryA(path.c_str())) {}
    ~CLoadedDll()
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    HMODULE Get() const { return m_module; }
    template <typename T>
    T Entry(const char* name) const
    {
        return reinterpret_cast<T>(GetProcAddress(m_module, name));
    }

private:
    HMODULE m_module;
};

}  // namespace

TEST(StandIns, JournalHoldsCommandLineAndListBytesExactly)
{
    CTestFolder folder;
    InstallStandIns(folder.Path(), {"7-Zip32.dll"});
    WriteStandInScript(folder.Path(), "7-Zip32.dll", "result=0\noutput=done\\r\\nok\n");
    // A Shift_JIS name whose trail byte is 0x5C, CR LF line ends.
    std::string listBytes = "\"a\\\x95\x5c.txt\"\r\n\"b c.txt\"\r\n";
    std::string list = folder.WriteFile("res0000abcd.tmp", listBytes);
    std::string line = "a -t7z -mx=5 \"C:\\out\\\x95\x5c.7z\" \"C:\\base\\\" -ir-\"@" + list + "\" ";

    {
        CLoadedDll dll(folder / "7-Zip32.dll");
        ASSERT_NE(nullptr, dll.Get());
        CommandEntry command = dll.Entry<CommandEntry>("SevenZip");
        ASSERT_NE(nullptr, command);
        char output[16];
        EXPECT_EQ(0, command(reinterpret_cast<HWND>(1), line.c_str(), output, sizeof(output)));
        EXPECT_STREQ("done\r\nok", output);
    }

    std::vector<CStandInCall> calls = ReadStandInJournal(folder.Path(), "7-Zip32.dll");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("SevenZip", calls[0].entry);
    EXPECT_TRUE(calls[0].hasWindow);
    EXPECT_EQ(line, calls[0].line);
    ASSERT_EQ(1u, calls[0].lists.size());
    EXPECT_EQ(list, calls[0].lists[0].path);
    EXPECT_EQ(listBytes, calls[0].lists[0].bytes);
}

TEST(StandIns, ScriptedResultsPerCallOutputCutToBufferAndCreatedFiles)
{
    CTestFolder folder;
    InstallStandIns(folder.Path(), {"Unlha32.dll"});
    WriteStandInScript(folder.Path(), "Unlha32.dll",
                       "version=202\nresult=0\nresult.2=32800\noutput.2=error text\ncreate=archive\n"
                       "create.2=sfx\n");
    std::string archive = folder / "lh0001.lzh";
    std::string first = "a -jm2 -a1 \"" + archive + "\" \"@" + (folder / "missing.tmp") + "\"";
    std::string second = "s -gw2 -x \"" + archive + "\" \"" + folder.Path() + "\\\"";

    CLoadedDll dll(folder / "Unlha32.dll");
    CommandEntry command = dll.Entry<CommandEntry>("Unlha");
    VersionEntry version = dll.Entry<VersionEntry>("UnlhaGetVersion");
    ASSERT_TRUE(command && version);
    EXPECT_EQ(202, version());
    char output[6];
    EXPECT_EQ(0, command(NULL, first.c_str(), output, sizeof(output)));
    EXPECT_TRUE(FileExists(archive));
    EXPECT_EQ(32800, command(NULL, second.c_str(), output, sizeof(output)));
    EXPECT_STREQ("error", output);
    EXPECT_TRUE(FileExists(folder / "lh0001.exe"));

    std::vector<CStandInCall> calls = ReadStandInJournal(folder.Path(), "Unlha32.dll");
    ASSERT_EQ(3u, calls.size());
    EXPECT_EQ("UnlhaGetVersion", calls[0].entry);
    EXPECT_EQ(202, calls[0].result);
    EXPECT_FALSE(calls[1].hasWindow);
    ASSERT_EQ(1u, calls[1].lists.size());
    EXPECT_TRUE(calls[1].lists[0].missing);
    EXPECT_EQ(32800, calls[2].result);
    EXPECT_EQ(second, calls[2].line);
    EXPECT_TRUE(calls[2].lists.empty());
}

TEST(StandIns, ArchiveTokenSkipsSwitchesBaseFoldersAndPassword)
{
    CTestFolder folder;
    InstallStandIns(folder.Path(), {"Zip32j.dll", "zip32.dll"});
    WriteStandInScript(folder.Path(), "Zip32j.dll", "create=archive\nencryption=0\n");
    std::string archive = folder / "out.zip";
    std::string line = "-6 -S -P \"secret\" \"" + archive + "\" \"@" + (folder / "l.tmp") + "\"";

    CLoadedDll dll(folder / "Zip32j.dll");
    EXPECT_EQ(0, dll.Entry<QueryEntry>("ZipQueryEncryption")());
    char output[8];
    EXPECT_EQ(0, dll.Entry<CommandEntry>("Zip")(NULL, line.c_str(), output, sizeof(output)));
    EXPECT_TRUE(FileExists(archive));
    EXPECT_FALSE(FileExists(folder / "secret"));
}

TEST(StandIns, EveryDllHasItsEntryPointsAndVariantsLackOne)
{
    struct
    {
        const char* variant;
        const char* file;
        std::vector<const char*> present;
        const char* absent;
    } cases[] = {
        {"default", "7-Zip32.dll", {"SevenZip", "SevenZipGetVersion"}, nullptr},
        {"default", "Zip32j.dll", {"Zip", "ZipGetVersion", "ZipQueryFunctionList", "ZipQueryEncryption"}, nullptr},
        {"default", "Cab32.dll",
         {"Cab", "CabGetVersion", "CabOpenArchive", "CabCloseArchive", "CabIsSFXFile", "CabCheckArchive"}, nullptr},
        {"default", "Unlha32.dll",
         {"Unlha", "UnlhaGetVersion", "UnlhaOpenArchive", "UnlhaCloseArchive", "UnlhaIsSFXFile",
          "UnlhaCheckArchive"},
         nullptr},
        {"no-CabCheckArchive", "Cab32.dll", {"Cab", "CabGetVersion"}, "CabCheckArchive"},
        {"no-SevenZipGetVersion", "7-Zip32.dll", {"SevenZip"}, "SevenZipGetVersion"},
        {"no-ZipQueryEncryption", "Zip32j.dll", {"Zip", "ZipQueryFunctionList"}, "ZipQueryEncryption"},
        {"no-UnlhaIsSFXFile", "Unlha32.dll", {"Unlha", "UnlhaCheckArchive"}, "UnlhaIsSFXFile"},
    };
    for (const auto& c : cases)
    {
        CTestFolder folder;
        InstallStandIns(folder.Path(), {c.file}, c.variant);
        CLoadedDll dll(folder / c.file);
        ASSERT_NE(nullptr, dll.Get()) << c.variant << " " << c.file;
        for (const char* entry : c.present)
            EXPECT_NE(nullptr, GetProcAddress(dll.Get(), entry)) << c.variant << " " << entry;
        if (c.absent)
        {
            EXPECT_EQ(nullptr, GetProcAddress(dll.Get(), c.absent)) << c.variant;
        }
    }
}

TEST(StandIns, SelfExtractingModulesAndZip32Load)
{
    CTestFolder folder;
    InstallStandIns(folder.Path(), {"7z.sfx", "7zC.sfx", "7zCon.sfx", "zip32.dll"});
    for (const char* name : {"7z.sfx", "7zC.sfx", "7zCon.sfx", "zip32.dll"})
    {
        CLoadedDll module(folder / name);
        EXPECT_NE(nullptr, module.Get()) << name;
    }
}
