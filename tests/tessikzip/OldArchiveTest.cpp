#include "common/ArchiverApi.h"
#include "common/TextConvert.h"
#include "tests/bridges/HostCommand.h"
#include "tests/support/TessikZipRun.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"
#include "tests/support/ZipBytes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <set>
#include <sstream>
#include <thread>

ARCHIVER_EXPORT ArchiverOpenArchive TessikZipOpenArchive;
ARCHIVER_EXPORT ArchiverFindFirst TessikZipFindFirst;
ARCHIVER_EXPORT ArchiverFindNext TessikZipFindNext;
ARCHIVER_EXPORT ArchiverHandleQuery TessikZipCloseArchive;
ARCHIVER_EXPORT ArchiverCheckArchive TessikZipCheckArchive;

namespace {

// What Python's zipfile and 7zz make of archives, one block of lines each:
// zipfile's names (or "!" when it refuses the archive), its comment in hex,
// testzip's verdict, 7zz's paths (or "!"), 7zz t's exit code.
const char kHostView[] = R"(
import subprocess, sys, zipfile
for path in sys.argv[1:]:
    try:
        with zipfile.ZipFile(path) as z:
            print('\t'.join(['names'] + sorted(i.filename for i in z.infolist())))
            print('comment\t' + z.comment.hex())
            print('bad\t' + str(z.testzip()))
    except Exception as e:
        print('names\t!'); print('comment\t'); print('bad\t' + type(e).__name__)
    l = subprocess.run(['7zz', 'l', '-slt', '-ba', path], capture_output=True)
    paths = sorted(x[7:] for x in l.stdout.decode('utf-8', 'replace').splitlines() if x.startswith('Path = '))
    print('\t'.join(['7zz'] + (paths if l.returncode == 0 else ['!'])))
    print('7zzt\t%d' % subprocess.run(['7zz', 't', path], capture_output=True).returncode)
)";

struct CHostView
{
    std::set<std::string> python;  // "!" alone when zipfile refused it
    std::string comment;           // hex
    std::string bad;               // "None" when every entry reads back
    std::set<std::string> sevenZip;
    int sevenZipTest = -1;
};

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t'))
        fields.push_back(field);
    return fields;
}

std::vector<CHostView> HostViews(const std::vector<std::string>& archives)
{
    std::vector<CHostArg> args = {HostText("-c"), HostText(kHostView)};
    for (const std::string& archive : archives)
        args.push_back(HostPath(archive));
    CHostResult result = RunHost("python3", args);
    EXPECT_EQ(0, result.exitCode) << result.output;
    std::vector<CHostView> views;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line))
    {
        std::vector<std::string> fields = Fields(line);
        if (fields.empty())
            continue;
        if (fields[0] == "names")
            views.emplace_back();
        if (views.empty())
            break;
        CHostView& view = views.back();
        if (fields[0] == "names")
            view.python.insert(fields.begin() + 1, fields.end());
        else if (fields[0] == "comment")
            view.comment = fields.size() > 1 ? fields[1] : "";
        else if (fields[0] == "bad")
            view.bad = fields.size() > 1 ? fields[1] : "";
        else if (fields[0] == "7zz")
            view.sevenZip.insert(fields.begin() + 1, fields.end());
        else if (fields[0] == "7zzt")
            view.sevenZipTest = std::stoi(fields[1]);
    }
    EXPECT_EQ(archives.size(), views.size()) << result.output;
    views.resize(archives.size());
    return views;
}

// The names the DLL lists ('/' as stored), false when it opens no handle.
bool DllNames(const std::string& archive, std::set<std::string>* names)
{
    HANDLE handle = TessikZipOpenArchive(NULL, archive.c_str(), 0);
    if (handle == NULL)
        return false;
    INDIVIDUALINFO info = {};
    for (int found = TessikZipFindFirst(handle, "*", &info); found == 0; found = TessikZipFindNext(handle, &info))
    {
        std::string name = info.szFileName;
        for (char& c : name)
            c = c == '\\' ? '/' : c;
        names->insert(name);
    }
    TessikZipCloseArchive(handle);
    return true;
}

CZipBytesEntry Stored(const std::string& name, const std::string& data)
{
    CZipBytesEntry entry;
    entry.name = name;
    entry.data = data;
    return entry;
}

CZipBytesLayout ThreeEntries(long long count = -1, bool zip64 = false)
{
    CZipBytesLayout layout;
    layout.entries = {Stored("a.txt", "first"), Stored("dir/b.txt", "second one"), Stored("c.txt", "third")};
    layout.count = count;
    layout.zip64 = zip64;
    return layout;
}

// The three entries with the bytes at an offset of the built map changed.
std::string Edited(std::function<void(std::string*, const CZipBytesMap&)> edit)
{
    CZipBytesMap map;
    std::string zip = BuildZipBytes(ThreeEntries(), &map);
    edit(&zip, map);
    return zip;
}

// ---- Old archives of every oddity: added to with all they hold, or refused and left as they were.

enum class EOutcome
{
    kAdded,
    kDamaged,
    kSplit,
    kNotZip,
};

struct COldRow
{
    const char* what;
    std::function<std::string()> build;
    EOutcome outcome;
    bool stub = false;  // the result keeps the stub "MZ..." in front
};
void PrintTo(const COldRow& row, std::ostream* out) { *out << row.what; }

CZipBytesLayout With(CZipBytesLayout layout, std::function<void(CZipBytesLayout*)> change)
{
    change(&layout);
    return layout;
}

const COldRow kOldRows[] = {
    {"three entries", [] { return BuildZipBytes(ThreeEntries()); }, EOutcome::kAdded},
    {"no entry at all", [] { return BuildZipBytes(CZipBytesLayout()); }, EOutcome::kAdded},
    {"an archive comment",
     [] { return BuildZipBytes(With(ThreeEntries(), [](CZipBytesLayout* l) { l->comment = "archive comment"; })); },
     EOutcome::kAdded},
    {"ZIP64 end records", [] { return BuildZipBytes(ThreeEntries(-1, true)); }, EOutcome::kAdded},
    {"a stub the offsets count",
     [] { return BuildZipBytes(With(ThreeEntries(), [](CZipBytesLayout* l) { l->stub = "MZ a program"; })); },
     EOutcome::kAdded, true},
    {"a stub the offsets do not count",
     [] {
         return BuildZipBytes(With(ThreeEntries(), [](CZipBytesLayout* l) {
             l->stub = "MZ a program";
             l->stubCounted = false;
         }));
     },
     EOutcome::kAdded, true},
    {"data descriptors",
     [] {
         return BuildZipBytes(With(ThreeEntries(), [](CZipBytesLayout* l) {
             for (CZipBytesEntry& entry : l->entries)
                 entry.descriptor = true;
         }));
     },
     EOutcome::kAdded},
    {"a ZIP64 field longer than it needs",
     [] {
         return BuildZipBytes(With(ThreeEntries(), [](CZipBytesLayout* l) {
             l->entries[1].zip64Offset = true;
             l->entries[1].zip64Tail = std::string(8, '\0');
         }));
     },
     EOutcome::kAdded},
    {"names with .. and a drive",
     [] {
         CZipBytesLayout layout;
         layout.entries = {Stored("../up.txt", "up"), Stored("C:/drive.txt", "drive"), Stored("ok.txt", "ok")};
         return BuildZipBytes(layout);
     },
     EOutcome::kAdded},
    {"count 1 for 3 records", [] { return BuildZipBytes(ThreeEntries(1)); }, EOutcome::kDamaged},
    {"count 0 for 3 records", [] { return BuildZipBytes(ThreeEntries(0)); }, EOutcome::kDamaged},
    {"ZIP64 count 1 for 3 records", [] { return BuildZipBytes(ThreeEntries(1, true)); }, EOutcome::kDamaged},
    // A copy of the end record counting one entry ends the comment, and so
    // the file: it is the end record, and it disagrees.
    {"a comment that ends in an end record",
     [] {
         std::string quoted = BuildZipBytes(ThreeEntries());
         quoted = quoted.substr(quoted.size() - 22);
         PutLittleEndian(&quoted, 8, 1, 2);
         PutLittleEndian(&quoted, 10, 1, 2);
         return BuildZipBytes(With(ThreeEntries(), [&](CZipBytesLayout* l) { l->comment = "see: " + quoted; }));
     },
     EOutcome::kDamaged},
    {"a ZIP64 field too short",
     [] {
         return Edited([](std::string* zip, const CZipBytesMap& map) {
             // The offset escaped, the field holding four bytes of it.
             size_t record = map.recordAt[1];
             PutLittleEndian(zip, record + 42, 0xFFFFFFFF, 4);
             zip->insert(record + 46 + 9, std::string("\x01\x00\x04\x00\x00\x00\x00\x00", 8));
             PutLittleEndian(zip, record + 30, 8, 2);
             PutLittleEndian(zip, zip->size() - 22 + 12, map.endAt - map.directoryAt + 8, 4);
         });
     },
     EOutcome::kDamaged},
    {"a name with NUL",
     [] {
         return BuildZipBytes(
             With(ThreeEntries(), [](CZipBytesLayout* l) { l->entries[1].name = std::string("dir/b\0.txt", 10); }));
     },
     EOutcome::kDamaged},
    // The second record points into the first entry's data, which holds a
    // whole local header and data of its own.
    {"an entry inside another",
     [] {
         CZipBytesLayout layout;
         CZipBytesEntry inner = Stored("inner.txt", "inside the other");
         layout.entries = {Stored("outer.txt", ZipLocalBytes(inner)), inner};
         layout.entries[1].pointAt = 30 + 9;
         return BuildZipBytes(layout);
     },
     EOutcome::kDamaged},
    {"a record comment past the directory",
     [] { return Edited([](std::string* zip, const CZipBytesMap& map) { PutLittleEndian(zip, map.recordAt[2] + 32, 40, 2); }); },
     EOutcome::kDamaged},
    {"bytes left over in the directory",
     [] {
         return Edited([](std::string* zip, const CZipBytesMap& map) {
             zip->insert(map.endAt, "junk");
             PutLittleEndian(zip, map.endAt + 4 + 12, map.endAt + 4 - map.directoryAt, 4);
         });
     },
     EOutcome::kDamaged},
    {"a directory outside the file",
     [] {
         return Edited([](std::string* zip, const CZipBytesMap& map) { PutLittleEndian(zip, map.endAt + 16, zip->size() + 1000, 4); });
     },
     EOutcome::kDamaged},
    {"four bytes cut from an entry's data",
     [] { return Edited([](std::string* zip, const CZipBytesMap& map) { zip->erase(map.dataAt[1], 4); }); },
     EOutcome::kDamaged},
    {"a local name that differs",
     [] { return Edited([](std::string* zip, const CZipBytesMap& map) { (*zip)[map.localAt[2] + 30] = 'x'; }); },
     EOutcome::kDamaged},
    {"the last part of a split set",
     [] {
         return Edited([](std::string* zip, const CZipBytesMap& map) {
             PutLittleEndian(zip, map.endAt + 4, 2, 2);
             PutLittleEndian(zip, map.endAt + 6, 2, 2);
         });
     },
     EOutcome::kSplit},
    {"a split signature",
     [] { return BuildZipBytes(With(ThreeEntries(), [](CZipBytesLayout* l) { l->stub = "PK\x07\x08"; })); },
     EOutcome::kSplit},
    {"no ZIP", [] { return std::string("plain text, not an archive at all\r\n"); }, EOutcome::kNotZip},
};

class OldArchiveTest : public ::testing::TestWithParam<COldRow>
{
};

TEST_P(OldArchiveTest, AddKeepsAllThatZipfileAnd7zzFind_OrRefusesAndLeavesItByteForByte)
{
    const COldRow& row = GetParam();
    CTestFolder folder;
    std::string archive = folder.WriteFile("old.zip", row.build());
    std::string before = ReadFileBytes(archive);
    WriteFileBytes(folder / "before.zip", before);
    folder.WriteFile("src\\new.txt", "the new file");
    folder.WriteFile("list.txt", "new.txt\r\n");
    std::set<std::string> listedBefore;
    bool openedBefore = DllNames(archive, &listedBefore);
    int checkedBefore = TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC);

    CTessikZipDll dll;
    CZipRunResult run = dll.Run("a -i \"" + archive + "\" \"" + folder / "src\\" + "\" @\"" + folder / "list.txt" + "\"");
    EXPECT_EQ(std::vector<std::string>(), FilesMatching(folder.Path(), "tz*.tmp"));
    if (row.outcome != EOutcome::kAdded)
    {
        const char* words = row.outcome == EOutcome::kDamaged ? "書庫が壊れているため、追加できません"
                            : row.outcome == EOutcome::kSplit ? "分割された書庫には追加できません"
                                                              : "ZIP書庫ではないため、追加できません";
        EXPECT_EQ(kArchiverResultFailed, run.code);
        EXPECT_NE(std::string::npos, run.text.find(words)) << run.text;
        EXPECT_NE(std::string::npos, run.text.find(archive)) << run.text;
        EXPECT_EQ(before, ReadFileBytes(archive));
        EXPECT_FALSE(checkedBefore);
        // The last part of a split set lists what the set holds.
        EXPECT_EQ(row.outcome == EOutcome::kSplit, openedBefore);
        return;
    }
    ASSERT_EQ(kArchiverResultOk, run.code) << run.text;
    std::vector<CHostView> views = HostViews({folder / "before.zip", archive});
    const CHostView& old = views[0];
    const CHostView& now = views[1];
    std::set<std::string> expected = old.python;
    expected.insert("new.txt");
    EXPECT_EQ(expected, now.python);
    // 7zz refuses a stub the offsets do not count: it finds nothing there.
    if (old.sevenZip != std::set<std::string>({"!"}))
    {
        for (const std::string& name : old.sevenZip)
            EXPECT_EQ(1u, now.sevenZip.count(name)) << name;
    }
    EXPECT_EQ(now.python.size(), now.sevenZip.size());
    EXPECT_EQ(0u, now.sevenZip.count("!"));
    EXPECT_EQ(old.comment, now.comment);
    EXPECT_EQ("None", now.bad);
    EXPECT_EQ(0, now.sevenZipTest);
    // The read back lists through the DLL: it finds what zipfile finds, in
    // the old archive and in the new one.
    EXPECT_TRUE(openedBefore);
    EXPECT_EQ(old.python, listedBefore);
    std::set<std::string> listed;
    EXPECT_TRUE(DllNames(archive, &listed));
    EXPECT_EQ(now.python, listed);
    EXPECT_TRUE(TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC));
    // A stub stays in front, as zip -A leaves it.
    EXPECT_EQ(row.stub, ReadFileBytes(archive).compare(0, 4, "MZ a") == 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, OldArchiveTest, ::testing::ValuesIn(kOldRows));

// ---- The 16-bit count of a writer without ZIP64 records, wrapped.

TEST(OldArchiveCount, SixtyFiveThousandFiveHundredThirtySevenEntriesWithAWrappedCountAllStay)
{
    CZipBytesLayout layout;
    for (int i = 0; i < 65537; ++i)
        layout.entries.push_back(Stored("f" + std::to_string(i), ""));
    CTestFolder folder;
    std::string archive = folder.WriteFile("many.zip", BuildZipBytes(layout));
    folder.WriteFile("src\\new.txt", "new");
    folder.WriteFile("list.txt", "new.txt\r\n");
    CTessikZipDll dll;
    CZipRunResult run = dll.Run("a -i \"" + archive + "\" \"" + folder / "src\\" + "\" @\"" + folder / "list.txt" + "\"");
    ASSERT_EQ(kArchiverResultOk, run.code) << run.text;
    CHostResult counted = RunHost("python3", {HostText("-c"), HostText("import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                                                                       "print(len(z.infolist()), z.testzip())"),
                                              HostPath(archive)});
    EXPECT_EQ("65538 None\n", counted.output);
}

// ---- Two adds at once: one fails clearly, none is lost.

TEST(OldArchiveConcurrency, ASecondAddWhileTheFirstRunsFailsAndTheFirstKeepsEverything)
{
    CTestFolder folder;
    std::string archive = folder.WriteFile("old.zip", BuildZipBytes(ThreeEntries()));
    // Enough to keep the first add busy for a while.
    std::string noise(16 << 20, '\0');
    unsigned seed = 5;
    for (char& c : noise)
        c = static_cast<char>('a' + ((seed = seed * 1103515245u + 12345u) >> 16) % 23);
    folder.WriteFile("src\\large.txt", noise);
    folder.WriteFile("src\\second.txt", "second");
    folder.WriteFile("first.lst", "large.txt\r\n");
    folder.WriteFile("second.lst", "second.txt\r\n");
    std::string tail = " \"" + archive + "\" \"" + folder / "src\\" + "\" @\"";
    CZipRunResult first, second;
    std::thread firstAdd([&] { first = CTessikZipDll().Run("a -i -l9 -t1" + tail + folder / "first.lst" + "\""); });
    // The first holds the archive once its temporary file is there.
    EXPECT_TRUE(WaitUntil([&] { return !FilesMatching(folder.Path(), "tz*.tmp").empty(); }, 30000));
    second = CTessikZipDll().Run("a -i" + tail + folder / "second.lst" + "\"");
    firstAdd.join();
    EXPECT_EQ(kArchiverResultFailed, second.code);
    EXPECT_NE(std::string::npos, second.text.find("書庫をほかのプログラムが使っているため")) << second.text;
    ASSERT_EQ(kArchiverResultOk, first.code) << first.text;
    std::set<std::string> names;
    EXPECT_TRUE(DllNames(archive, &names));
    EXPECT_EQ(std::set<std::string>({"a.txt", "dir/b.txt", "c.txt", "large.txt"}), names);
}

// ---- A full disk says so, in the system's words.

TEST(OldArchiveWrite, AFullDiskGivesTheSystemsReasonAndLeavesNoTemporaryFile)
{
    CTestFolder folder;
    std::string small = folder.MakeFolder("small");
    // A file system of 256 KB of the host's own; where tests may not mount
    // one, there is nothing to fill.
    CHostResult mounted =
        RunHost("sh", {HostText("-c"), HostText("mount -t tmpfs -o size=256k tmpfs \"$1\""), HostText("sh"), HostPath(small)});
    if (mounted.exitCode != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here: " << mounted.output;
    folder.WriteFile("src\\big.bin", std::string(1 << 20, 'x'));
    folder.WriteFile("list.txt", "big.bin\r\n");
    std::string archive = small + "\\full.zip";
    CZipRunResult run = CTessikZipDll().Run("a -i -m:store \"" + archive + "\" \"" + folder / "src\\" + "\" @\"" +
                                            folder / "list.txt" + "\"");
    std::vector<std::string> left = FolderEntries(small);
    RunHost("umount", {HostPath(small)});
    wchar_t reason[256] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, ERROR_DISK_FULL, 0, reason, 256, NULL);
    std::wstring expected = reason;
    expected.erase(expected.find_last_not_of(L"\r\n ") + 1);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(kArchiverResultFailed, run.code);
    EXPECT_NE(std::string::npos, run.text.find("書庫を書き込めません")) << run.text;
    EXPECT_NE(std::string::npos, run.text.find(WideToShiftJis(expected))) << run.text;
    EXPECT_EQ(std::vector<std::string>(), left);
}

// ---- Passwords and checks.

TEST(OldArchivePassword, ZipCryptoPasswordBeyondTheCodePageIsRefused)
{
    CTestFolder folder;
    folder.WriteFile("src\\a.txt", "a");
    folder.WriteFile("list.txt", "a.txt\r\n");
    CTessikZipDll dll;
    dll.SetUnicodeMode(true);
    std::string archive = folder / "pw.zip";
    // 한 has no Shift_JIS form: ZipCrypto would store "?" for it.
    CZipRunResult run = dll.Run("a -i -e:zipcrypto -p\xED\x95\x9C \"" + archive + "\" \"" + folder / "src\\" + "\" @\"" +
                                folder / "list.txt" + "\"");
    EXPECT_EQ(kArchiverResultFailed, run.code);
    EXPECT_NE(std::string::npos, run.text.find("ZipCrypto")) << run.text;
    EXPECT_FALSE(FileExists(archive));
}

TEST(OldArchiveCheck, AnEntryThatInflatesPastItsSizeFailsTheCheck)
{
    CTestFolder folder;
    folder.WriteFile("src\\zeros.bin", std::string(4 << 20, '\0'));
    folder.WriteFile("list.txt", "zeros.bin\r\n");
    std::string archive = folder / "bomb.zip";
    CTessikZipDll dll;
    ASSERT_EQ(kArchiverResultOk, dll.Run("a -i \"" + archive + "\" \"" + folder / "src\\" + "\" @\"" +
                                             folder / "list.txt" + "\"").code);
    ASSERT_TRUE(TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC));
    // Both headers say 1,000 bytes: the structure agrees, the data does not.
    std::string zip = ReadFileBytes(archive);
    PutLittleEndian(&zip, 22, 1000, 4);
    PutLittleEndian(&zip, zip.find(std::string("PK\x01\x02", 4)) + 24, 1000, 4);
    WriteFileBytes(archive, zip);
    // Any other mode checks the structure alone.
    EXPECT_TRUE(TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC - 1));
    EXPECT_FALSE(TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC));
}

}  // namespace
