// The stand-in archiver DLLs are what every archiver test trusts: their journal
// must hold exactly what crossed the entry point.
#include "bridges/core/ArchiveNames.h"
#include "common/ArchiverApi.h"
#include "tests/support/StandInJournal.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>

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

// A stand-in DLL and the shape of its list files: one per base folder with
// "rel" lines after the base folder on the command line (7-Zip32, Cab32), or
// one with "base\" "rel" lines (Zip32j, Unlha32).
struct CShape
{
    const char* file;
    const char* prefix;
    const char* ext;
    bool listPerBase;
    const char* before;  // the switches before the archive
    const char* lineEnd;  // after "base\" "rel" in a single list
};

const CShape k7Zip = {"7-Zip32.dll", "SevenZip", ".7z", true, "a -t7z -mx=5 ", ""};
const CShape kCab = {"Cab32.dll", "Cab", ".cab", true, "-a -mz ", ""};
const CShape kLha = {"Unlha32.dll", "Unlha", ".lzh", false, "a -jm2 -a1 ", " -x1"};
const CShape kZip = {"Zip32j.dll", "Zip", ".zip", false, "-6 -S ", ""};

typedef std::vector<std::pair<std::string, std::string>> CNamed;  // base folder, relative name

// The command line a builder passes for these files, its list files written.
std::string AddLine(const CShape& shape, const CTestFolder& folder, const std::string& archive, const CNamed& named)
{
    std::string line = std::string(shape.before) + "\"" + archive + "\" ";
    std::map<std::string, std::string> lists;
    for (const auto& file : named)
        lists[shape.listPerBase ? file.first : ""] +=
            shape.listPerBase ? "\"" + file.second + "\"\r\n"
                              : "\"" + file.first + "\\\" \"" + file.second + "\"" + shape.lineEnd + "\r\n";
    int number = 0;
    for (const auto& list : lists)
    {
        std::string path = folder.WriteFile("res" + std::to_string(number++) + ".tmp", list.second);
        line += shape.listPerBase ? "\"" + list.first + "\\\" \"@" + path + "\" " : "\"@" + path + "\"";
    }
    return line;
}

// "name=size" of every entry: through the listing entries, or for a ZIP its
// central directory; "not opened" when the DLL does not open it.
std::vector<std::string> ListingOf(const CShape& shape, const CTestFolder& folder, const std::string& archive)
{
    std::vector<std::string> listed;
    if (std::string(shape.prefix) == "Zip")
    {
        std::vector<CZipEntry> entries;
        if (!ReadZipEntries(std::wstring(archive.begin(), archive.end()), &entries))
            return {"not opened"};
        std::string bytes = ReadFileBytes(archive);
        for (const CZipEntry& entry : entries)
        {
            unsigned long size = 0;
            for (int i = 3; i >= 0; --i)
                size = size * 256 + static_cast<unsigned char>(bytes[entry.recordAt + 24 + i]);
            listed.push_back(entry.name + "=" + std::to_string(size));
        }
        return listed;
    }
    CLoadedDll dll(folder / shape.file);
    std::string prefix = shape.prefix;
    auto open = dll.Entry<ArchiverOpenArchive*>((prefix + "OpenArchive").c_str());
    auto findFirst = dll.Entry<ArchiverFindFirst*>((prefix + "FindFirst").c_str());
    auto findNext = dll.Entry<ArchiverFindNext*>((prefix + "FindNext").c_str());
    auto sizeOf = dll.Entry<ArchiverGetOriginalSizeEx*>((prefix + "GetOriginalSizeEx").c_str());
    auto close = dll.Entry<ArchiverHandleQuery*>((prefix + "CloseArchive").c_str());
    HANDLE handle = open(NULL, archive.c_str(), 0);
    if (handle == NULL)
        return {"not opened"};
    INDIVIDUALINFO info;
    for (int found = findFirst(handle, "*", &info); found == 0; found = findNext(handle, &info))
    {
        __int64 size = -1;
        sizeOf(handle, &size);
        listed.push_back(std::string(info.szFileName) + "=" + std::to_string(size));
        EXPECT_EQ(size, info.dwOriginalSize) << info.szFileName;
    }
    EXPECT_EQ(0, close(handle));
    return listed;
}

// The full check: the DLL's own, for a ZIP 7-Zip32.dll's.
BOOL CheckOf(const CShape& shape, const CTestFolder& folder, const std::string& archive)
{
    bool zip = std::string(shape.prefix) == "Zip";
    CLoadedDll dll(folder / (zip ? "7-Zip32.dll" : shape.file));
    std::string entry = std::string(zip ? "SevenZip" : shape.prefix) + "CheckArchive";
    return dll.Entry<ArchiverCheckArchive*>(entry.c_str())(archive.c_str(), CHECKARCHIVE_FULLCRC);
}

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

TEST(StandIns, MadeArchivesListWhatTheListFilesNamedUnlessTheScriptSaysLie)
{
    const CNamed kTwoBases = {{"base", "a.txt"}, {"base", "sub\\b.txt"}, {"other", "c.txt"}};
    const CNamed kAdded = {{"other", "c.txt"}, {"base", "SUB/B.TXT"}};
    const std::vector<std::string> kHonest = {"a.txt=1", "sub\\b.txt=2", "c.txt=3"};
    const std::vector<std::string> kAfterAdd = {"a.txt=1", "SUB/B.TXT=2", "c.txt=3"};
    struct
    {
        const CShape& shape;
        const char* script;
        std::vector<CNamed> calls;
        std::vector<std::string> listed;
        BOOL check;
    } cases[] = {
        {k7Zip, "", {kTwoBases}, kHonest, TRUE},
        {kCab, "", {kTwoBases}, kHonest, TRUE},
        {kLha, "", {kTwoBases}, kHonest, TRUE},
        {kZip, "", {kTwoBases}, {"a.txt=1", "sub/b.txt=2", "c.txt=3"}, TRUE},
        {k7Zip, "", {{{"base", "a.txt"}, {"base", "sub\\b.txt"}}, kAdded}, kAfterAdd, TRUE},
        {kLha, "", {{{"base", "a.txt"}, {"base", "sub\\b.txt"}}, kAdded}, kAfterAdd, TRUE},
        {kZip, "", {{{"base", "a.txt"}, {"base", "sub\\b.txt"}}, kAdded}, {"a.txt=1", "SUB/B.TXT=2", "c.txt=3"}, TRUE},
        {k7Zip, "lie=missing\n", {kTwoBases}, {"sub\\b.txt=2", "c.txt=3"}, TRUE},
        {kCab, "lie=size\n", {kTwoBases}, {"a.txt=2", "sub\\b.txt=2", "c.txt=3"}, TRUE},
        {kLha, "lie.2=extra\n", {{{"base", "a.txt"}}, {{"other", "c.txt"}}}, {"a.txt=1", "c.txt=3", "extra.txt=1"}, TRUE},
        {kCab, "lie=damaged\n", {kTwoBases}, kHonest, FALSE},
        {kLha, "lie=damaged\ncheck=1\n", {kTwoBases}, kHonest, FALSE},
        {k7Zip, "check=0\n", {kTwoBases}, kHonest, FALSE},
        {kZip, "lie=missing|size|extra\n", {kTwoBases}, {"sub/b.txt=3", "c.txt=3", "extra.txt=1"}, TRUE},
        {kZip, "lie=damaged\n", {kTwoBases}, {"a.txt=1", "sub/b.txt=2", "c.txt=3"}, FALSE},
    };
    for (const auto& c : cases)
    {
        CTestFolder folder;
        InstallStandIns(folder.Path(), {c.shape.file, "7-Zip32.dll", "zip32.dll"});
        WriteStandInScript(folder.Path(), c.shape.file, std::string("create=archive\n") + c.script);
        folder.WriteFile("base\\a.txt", "a");
        folder.WriteFile("base\\sub\\b.txt", "bb");
        folder.WriteFile("other\\c.txt", "ccc");
        CNamed inFolder;
        std::string archive = folder / (std::string("out") + c.shape.ext);
        for (const CNamed& named : c.calls)
        {
            CNamed absolute;
            for (const auto& file : named)
                absolute.push_back({folder / file.first, file.second});
            CLoadedDll dll(folder / c.shape.file);
            char output[8];
            std::string line = AddLine(c.shape, folder, archive, absolute);
            EXPECT_EQ(0, dll.Entry<CommandEntry>(c.shape.prefix)(NULL, line.c_str(), output, sizeof(output)));
        }
        EXPECT_EQ(c.listed, ListingOf(c.shape, folder, archive)) << c.shape.file << " " << c.script;
        EXPECT_EQ(c.check, CheckOf(c.shape, folder, archive)) << c.shape.file << " " << c.script;
        EXPECT_EQ(0u, ReadFileBytes(archive).rfind(std::string("STANDIN ") + c.shape.prefix + "\r\n", 0));
    }
}

TEST(StandIns, ProgramMadeFromAnArchiveListsLikeItAfterItsRenameAndOtherFilesDoNotOpen)
{
    struct
    {
        const CShape& shape;
        const char* convert;  // the second call, before the archive
        const char* after;
    } cases[] = {{kCab, "-f \"", "\" \"C:\\\""}, {kLha, "s -gw2 -x \"", "\" \"C:\\\""}, {kZip, "--sfx \"", "\""}};
    for (const auto& c : cases)
    {
        CTestFolder folder;
        InstallStandIns(folder.Path(), {c.shape.file, "zip32.dll"});
        WriteStandInScript(folder.Path(), c.shape.file, "create.1=archive\ncreate.2=sfx\n");
        folder.WriteFile("base\\a.txt", "a");
        std::string archive = folder / (std::string("tmp") + c.shape.ext);
        {
            CLoadedDll dll(folder / c.shape.file);
            auto command = dll.Entry<CommandEntry>(c.shape.prefix);
            char output[8];
            std::string line = AddLine(c.shape, folder, archive, {{folder / "base", "a.txt"}});
            EXPECT_EQ(0, command(NULL, line.c_str(), output, sizeof(output)));
            line = c.convert + archive + c.after;
            EXPECT_EQ(0, command(NULL, line.c_str(), output, sizeof(output)));
        }
        DeleteFileA(archive.c_str());
        ASSERT_TRUE(MoveFileA((folder / "tmp.exe").c_str(), (folder / "setup.exe").c_str())) << c.shape.file;
        EXPECT_EQ(std::vector<std::string>{"a.txt=1"}, ListingOf(c.shape, folder, folder / "setup.exe"));
        std::string old = folder.WriteFile(std::string("old") + c.shape.ext, "OLD ARCHIVE");
        if (std::string(c.shape.prefix) != "Zip")
            EXPECT_EQ(std::vector<std::string>{"not opened"}, ListingOf(c.shape, folder, old));
    }
}

TEST(StandIns, NamesComeInTheTextOfTheModeTheDllIsIn)
{
    CTestFolder folder;
    InstallStandIns(folder.Path(), {"Unlha32.dll", "Zip32j.dll", "zip32.dll"});
    WriteStandInScript(folder.Path(), "Unlha32.dll", "create=archive\n");
    WriteStandInScript(folder.Path(), "Zip32j.dll", "create=archive\n");
    folder.WriteFile("base\\\x95\x5c.txt", "ab");
    // The name as the list file gives it in the UTF-8 mode: U+8868 ("\x95\x5c" in Shift_JIS).
    const std::string utf8 = "\xe8\xa1\xa8.txt";
    std::string base = folder / "base";
    for (const CShape* shape : {&kLha, &kZip})
    {
        CLoadedDll dll(folder / shape->file);
        std::string prefix = shape->prefix;
        auto unicode = dll.Entry<ArchiverSetUnicodeMode*>((prefix + "SetUnicodeMode").c_str());
        ASSERT_TRUE(unicode(TRUE));
        std::string archive = folder / (std::string("u") + shape->ext);
        std::string line = AddLine(*shape, folder, archive, {{base, utf8}});
        char output[8];
        EXPECT_EQ(0, dll.Entry<CommandEntry>(shape->prefix)(NULL, line.c_str(), output, sizeof(output)));
        if (shape == &kZip)
        {
            std::vector<CZipEntry> entries;
            ASSERT_TRUE(ReadZipEntries(std::wstring(archive.begin(), archive.end()), &entries));
            ASSERT_EQ(1u, entries.size());
            EXPECT_EQ(utf8, entries[0].name);
            EXPECT_EQ(0x0800u, entries[0].flags & 0x0800u);
            continue;
        }
        EXPECT_EQ(std::vector<std::string>{utf8 + "=2"}, ListingOf(*shape, folder, archive));
        unicode(FALSE);
        EXPECT_EQ(std::vector<std::string>{"\x95\x5c.txt=2"}, ListingOf(*shape, folder, archive));
    }
}

TEST(StandIns, ListingEntriesAreThereExceptInZip32jAndTheVariantWithout)
{
    const std::vector<std::string> kListing = {"OpenArchive", "FindFirst", "FindNext", "GetOriginalSizeEx",
                                               "CloseArchive", "CheckArchive"};
    struct
    {
        const char* variant;
        const char* file;
        const char* prefix;
        bool present;
    } cases[] = {
        {"default", "7-Zip32.dll", "SevenZip", true},   {"default", "Cab32.dll", "Cab", true},
        {"default", "Unlha32.dll", "Unlha", true},      {"default", "Zip32j.dll", "Zip", false},
        {"no-listing", "7-Zip32.dll", "SevenZip", false},
    };
    for (const auto& c : cases)
    {
        CTestFolder folder;
        InstallStandIns(folder.Path(), {c.file, "zip32.dll"}, c.variant);
        CLoadedDll dll(folder / c.file);
        ASSERT_NE(nullptr, dll.Get()) << c.variant << " " << c.file;
        EXPECT_NE(nullptr, GetProcAddress(dll.Get(), c.prefix)) << c.variant << " " << c.file;
        for (const std::string& entry : kListing)
            EXPECT_EQ(c.present, GetProcAddress(dll.Get(), (c.prefix + entry).c_str()) != nullptr)
                << c.variant << " " << c.prefix << entry;
    }
}
