#include "common/ArchiverApi.h"
#include "common/ScopedHandle.h"
#include "tessik7z/SevenZipDecode.h"
#include "tessik7z/SevenZipReader.h"
#include "common/TextConvert.h"
#include "tests/bridges/HostCommand.h"
#include "tests/support/TessikZipRun.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

// Tests the archive with 7zz, extracts it with 7zz and with bsdtar and
// compares each tree with the source, file by file and byte for byte
// (folders too). Prints what differs; exit 3 when anything does.
const char kSevenZipCheck[] = R"(
import os, subprocess, sys, tempfile
archive, source, password = sys.argv[1], sys.argv[2], sys.argv[3]
def tree(top):
    found = {}
    for root, dirs, files in os.walk(top):
        for d in dirs:
            found[os.path.relpath(os.path.join(root, d), top)] = None
        for f in files:
            with open(os.path.join(root, f), 'rb') as data:
                found[os.path.relpath(os.path.join(root, f), top)] = data.read()
    return found
expected = tree(source)
pw = ['-p' + password] if password else []
if subprocess.call(['7zz', 't', '-bso0', '-bsp0'] + pw + [archive]) != 0:
    print('7zz t failed'); sys.exit(3)
with tempfile.TemporaryDirectory() as out:
    if subprocess.call(['7zz', 'x', '-bso0', '-bsp0', '-o' + out] + pw + [archive]) != 0:
        print('7zz x failed'); sys.exit(3)
    if tree(out) != expected:
        print('7zz x differs', sorted(set(tree(out)) ^ set(expected))); sys.exit(3)
if not password:
    with tempfile.TemporaryDirectory() as out:
        if subprocess.call(['bsdtar', '-xf', archive, '-C', out]) != 0:
            print('bsdtar failed'); sys.exit(3)
        if tree(out) != expected:
            print('bsdtar differs', sorted(set(tree(out)) ^ set(expected))); sys.exit(3)
print(len(expected))
)";

// What 7zz's technical listing says of each entry: its method and whether
// the archive is solid.
std::string TechnicalListing(const std::string& archive)
{
    return RunHost("7zz", {HostText("l"), HostText("-slt"), HostPath(archive)}).output;
}

// Bytes that LZMA shrinks a little: a random walk over few letters.
std::string Noisy(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
    {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<char>('a' + ((seed >> 16) % 23));
    }
    return bytes;
}

// Something shaped like x86 code: calls (E8) with relative targets among
// other bytes, which the branch filter turns into absolute ones.
std::string CodeLike(size_t size)
{
    std::string bytes = "MZ";
    unsigned seed = 5;
    while (bytes.size() < size)
    {
        seed = seed * 1103515245u + 12345u;
        bytes += '\xE8';
        int target = static_cast<int>((seed >> 8) % 4096) - static_cast<int>(bytes.size());
        bytes.append(reinterpret_cast<const char*>(&target), 4);
        bytes += "\x55\x8B\xEC\x83\xEC";
    }
    bytes.resize(size);
    return bytes;
}

std::string ListFile(const std::vector<std::wstring>& lines)
{
    std::string bytes;
    for (const std::wstring& line : lines)
        bytes += WideToUtf8(line) + "\r\n";
    return bytes;
}

CZipRunResult RunSevenZip(const std::string& switches, const std::string& archive, const std::string& base,
                          const std::string& list)
{
    CTessikZipDll dll("tessik7z\\Tessik7z.dll", "Tessik7z");
    EXPECT_TRUE(dll.IsLoaded());
    dll.SetUnicodeMode(true);
    std::string line = "a " + switches + " \"" + archive + "\" \"" + base + "\\\" @\"" + list + "\"";
    return dll.Run(ShiftJisToUtf8(line));
}

// The packed streams of an archive's BCJ2 folder (the one of four), as they
// lie in the file.
std::string Bcj2PackedBytes(const std::string& path)
{
    CByteFile file(Widen(path), GENERIC_READ, FILE_SHARE_READ);
    CSevenZipArchive archive;
    EXPECT_EQ(ESevenZipRead::kRead, ReadSevenZipArchive(file, &archive));
    for (const CSevenZipFolder& folder : archive.folders)
    {
        if (folder.packedInStreams.size() != 4)
            continue;
        size_t last = folder.firstPackedStream + 3;
        uint64_t from = PackedStreamAt(archive, folder.firstPackedStream);
        std::string bytes;
        EXPECT_TRUE(file.ReadAt(from, static_cast<size_t>(PackedStreamAt(archive, last) + archive.packedSizes[last] - from),
                                &bytes));
        return bytes;
    }
    ADD_FAILURE() << "no BCJ2 folder in " << path;
    return std::string();
}

std::vector<std::string> TempFiles(const CTestFolder& folder) { return FilesMatching(folder.Path(), "t7z*.tmp"); }

TEST(SevenZipWriting, EveryOptionMakesAnArchiveTheHostToolsExtractExactly)
{
    CTestFolder folder;
    std::wstring source = Widen(folder / "src");
    // More than one block at level 1 (three dictionaries of 1 MiB): the
    // blocks' streams joined must read as one.
    WriteWideFile(source + L"\\large.txt", Noisy(7 << 20, 3));
    WriteWideFile(source + L"\\a.txt", std::string(100000, 'a'));
    WriteWideFile(source + L"\\tool.exe", CodeLike(300000));
    WriteWideFile(source + L"\\lib\\helper.DLL", CodeLike(70000));
    WriteWideFile(source + L"\\sub\\日本語.txt", "nihongo");
    WriteWideFile(source + L"\\sub\\empty.txt", "");
    CreateDirectoryW((source + L"\\empty").c_str(), NULL);
    WriteUnicodeTree(source + L"\\u");
    WriteFileBytes(folder / "list.txt",
                   ListFile({L"large.txt", L"a.txt", L"tool.exe", L"lib", L"sub", L"empty", L"u", L"a.txt"}));
    struct
    {
        const char* switches;
        const char* method;  // how 7zz's listing of tool.exe starts
        bool solid;
    } cases[] = {
        {"-i", "BCJ LZMA2:", true},
        {"-l0 -i", "Copy", true},
        {"-l1 -t2 -i", "BCJ LZMA2:", true},
        {"-s:off -l3 -i", "BCJ LZMA2:", false},
        {"-sf:2 -i", "BCJ LZMA2:", true},
        {"-sb:1 -t1", "BCJ LZMA2:", true},  // with the window
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.switches);
        std::string archive = folder / "out.7z";
        DeleteFileA(archive.c_str());
        CZipRunResult run = RunSevenZip(c.switches, archive, folder / "src", folder / "list.txt");
        ASSERT_EQ(kArchiverResultOk, run.code) << Narrow(Utf8ToWide(run.text));
        size_t files = 6 + kUnicodeTree.size();
        EXPECT_NE(std::string::npos, Narrow(Utf8ToWide(run.text)).find(std::to_string(files) + "個のファイルと"))
            << Narrow(Utf8ToWide(run.text));
        CHostResult checked = RunHost("python3", {HostText("-c"), HostText(kSevenZipCheck), HostPath(archive),
                                                  HostPath(Narrow(source)), HostText("")});
        EXPECT_EQ(0, checked.exitCode) << checked.output;
        std::string listing = TechnicalListing(archive);
        size_t tool = listing.find("Path = tool.exe");
        ASSERT_NE(std::string::npos, tool) << listing;
        size_t method = listing.find("Method = ", tool);
        EXPECT_EQ(std::string("Method = ") + c.method, listing.substr(method, strlen("Method = ") + strlen(c.method)));
        EXPECT_EQ(c.solid, listing.find("Solid = +") != std::string::npos) << listing;
        EXPECT_EQ(std::vector<std::string>(), TempFiles(folder));
    }
}

TEST(SevenZipEncryption, APasswordOpensItAndHidesTheNamesWhenAsked)
{
    CTestFolder folder;
    std::wstring source = Widen(folder / "src");
    WriteWideFile(source + L"\\secret.txt", Noisy(200000, 9));
    WriteWideFile(source + L"\\名前.exe", CodeLike(50000));
    WriteFileBytes(folder / "list.txt", ListFile({L"secret.txt", L"名前.exe"}));
    struct
    {
        const char* switches;
        bool namesHidden;
    } cases[] = {
        {"-pパスword -i", false},
        {"-pパスword -he -l0 -i", true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.switches);
        std::string archive = folder / "secret.7z";
        DeleteFileA(archive.c_str());
        CZipRunResult run = RunSevenZip(c.switches, archive, folder / "src", folder / "list.txt");
        ASSERT_EQ(kArchiverResultOk, run.code) << Narrow(Utf8ToWide(run.text));
        CHostResult checked = RunHost("python3", {HostText("-c"), HostText(kSevenZipCheck), HostPath(archive),
                                                  HostPath(Narrow(source)), HostText("パスword")});
        EXPECT_EQ(0, checked.exitCode) << checked.output;
        EXPECT_NE(0, RunHost("7zz", {HostText("t"), HostText("-pwrong"), HostPath(archive)}).exitCode);
        CHostResult listed = RunHost("7zz", {HostText("l"), HostText("-pwrong"), HostPath(archive)});
        EXPECT_EQ(c.namesHidden, listed.output.find("secret.txt") == std::string::npos) << listed.output;
    }
}

// An archive 7zz made in two adds: the executables in a solid BCJ2 folder,
// then the text files in a solid LZMA2 folder of their own.
const char kMakeOld[] = R"(
import os, subprocess, sys
os.chdir(sys.argv[1])
code = open(sys.argv[2], 'rb').read()
files = [('tool.exe', code), ('more.exe', code[::-1]), ('a.txt', b'old a ' * 5000), ('b.txt', b'bee ' * 3000),
         ('sub/c.txt', b'see'), ('sub/empty.txt', b'')]
for name, data in files:
    os.makedirs(os.path.dirname(name) or '.', exist_ok=True)
    open(name, 'wb').write(data)
quiet = ['-bso0', '-bsp0']
a = subprocess.call(['7zz', 'a', '-t7z', '-ms=on', '-mf=BCJ2', 'old.7z', 'tool.exe', 'more.exe'] + quiet)
b = subprocess.call(['7zz', 'a', '-t7z', '-ms=on', 'old.7z', 'a.txt', 'b.txt', 'sub'] + quiet)
sys.exit(a or b)
)";

TEST(SevenZipAdding, OldFilesStayByteForByteAndAFailedAddLeavesTheArchive)
{
    enum EPrepare { kNothing, kLocked, kNotSevenZip, kDamaged };
    struct
    {
        std::vector<std::wstring> list;
        EPrepare prepare;
        const char* failure;  // part of the message; nullptr: the add succeeds
    } cases[] = {
        {{L"new.txt"}, kNothing, nullptr},
        {{L"a.txt", L"new.txt"}, kNothing, nullptr},  // repacks the LZMA2 folder
        {{L"new.txt", L"missing.txt"}, kNothing, "見つかりません"},
        {{L"new.txt"}, kLocked, "ほかのプログラム"},
        {{L"new.txt"}, kNotSevenZip, "7z書庫ではない"},
        {{L"new.txt"}, kDamaged, "壊れている"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(Narrow(c.list.front()) + " " + std::to_string(c.prepare));
        CTestFolder folder;
        std::string old = folder / "old";
        CreateDirectoryA(old.c_str(), NULL);
        WriteFileBytes(folder / "code.bin", CodeLike(400000));
        ASSERT_EQ(0, RunHost("python3", {HostText("-c"), HostText(kMakeOld), HostPath(old), HostPath(folder / "code.bin")})
                         .exitCode);
        std::string archive = old + "\\old.7z";
        std::string made = ReadFileBytes(archive);
        std::string bcj2Packed = Bcj2PackedBytes(archive);
        ASSERT_GT(bcj2Packed.size(), 1000u);
        if (c.prepare == kNotSevenZip)
            WriteFileBytes(archive, "no archive at all, only text");
        if (c.prepare == kDamaged)
        {
            // A byte of the last header changed: its CRC no longer holds.
            std::string damaged = made;
            damaged[damaged.size() - 5] ^= 0x40;
            WriteFileBytes(archive, damaged);
        }
        std::string before = ReadFileBytes(archive);
        folder.WriteFile("src\\new.txt", "new file");
        folder.WriteFile("src\\a.txt", "the new a");
        WriteFileBytes(folder / "list.txt", ListFile(c.list));
        CZipRunResult run;
        {
            CScopedHandle lock(c.prepare == kLocked ? CreateFileA(archive.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING,
                                                                  0, NULL)
                                                    : NULL);
            run = RunSevenZip("-i", archive, folder / "src", folder / "list.txt");
        }
        EXPECT_EQ(std::vector<std::string>(), TempFiles(folder));
        EXPECT_EQ(std::vector<std::string>(), FilesMatching(old, "t7z*.tmp"));
        if (c.failure != nullptr)
        {
            EXPECT_EQ(kArchiverResultFailed, run.code);
            EXPECT_NE(std::string::npos, Narrow(Utf8ToWide(run.text)).find(c.failure)) << Narrow(Utf8ToWide(run.text));
            EXPECT_EQ(before, ReadFileBytes(archive));
            continue;
        }
        ASSERT_EQ(kArchiverResultOk, run.code) << Narrow(Utf8ToWide(run.text));
        // The BCJ2 folder keeps all its files: copied as it was.
        EXPECT_EQ(bcj2Packed, Bcj2PackedBytes(archive));
        // What the archive should hold now: the old files, a.txt replaced
        // where the list names it, and the new one.
        std::string expected = folder / "expected";
        CreateDirectoryA(expected.c_str(), NULL);
        ASSERT_EQ(0, RunHost("python3", {HostText("-c"), HostText(kMakeOld), HostPath(expected),
                                         HostPath(folder / "code.bin")})
                         .exitCode);
        DeleteFileA((expected + "\\old.7z").c_str());
        WriteFileBytes(expected + "\\new.txt", "new file");
        if (c.list.front() == L"a.txt")
            WriteFileBytes(expected + "\\a.txt", "the new a");
        CHostResult checked = RunHost("python3", {HostText("-c"), HostText(kSevenZipCheck), HostPath(archive),
                                                  HostPath(expected), HostText("")});
        EXPECT_EQ(0, checked.exitCode) << checked.output;
    }
}

TEST(SevenZipWriting, BadCommandsAndSourcesAreRefusedAndLeaveNothing)
{
    CTestFolder folder;
    folder.WriteFile("src\\a.txt", "a");
    WriteFileBytes(folder / "list.txt", ListFile({L"a.txt"}));
    WriteFileBytes(folder / "missing.txt", ListFile({L"a.txt", L"gone.txt"}));
    struct
    {
        const char* switches;
        const char* list;
        int code;
        const char* text;  // part of the message
    } cases[] = {
        {"-he -i", "list.txt", kArchiverResultFailed, "パスワード(-p)が必要"},
        {"-l10 -i", "list.txt", kArchiverResultCommandName, "知らないスイッチ"},
        {"-t2000 -i", "list.txt", kArchiverResultCommandName, "知らないスイッチ"},
        {"-i", "missing.txt", kArchiverResultFailed, "見つかりません"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.switches);
        std::string archive = folder / "out.7z";
        CZipRunResult run = RunSevenZip(c.switches, archive, folder / "src", folder / c.list);
        EXPECT_EQ(c.code, run.code);
        EXPECT_NE(std::string::npos, Narrow(Utf8ToWide(run.text)).find(c.text)) << Narrow(Utf8ToWide(run.text));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(archive.c_str()));
        EXPECT_EQ(std::vector<std::string>(), TempFiles(folder));
    }
}

TEST(SevenZipLarge, SeventyThousandFilesAndAFiveGigabyteFile)
{
    const char kMakeTree[] = R"(
import os, sys
os.chdir(sys.argv[1])
os.makedirs('many')
for i in range(70000):
    with open('many/f%05d.txt' % i, 'w') as f:
        f.write(str(i))
with open('big.bin', 'wb') as f:
    f.truncate(5 << 30)
)";
    // Entries, big.bin's size and a file read back, from 7zz's listing.
    const char kCount[] = R"(
import subprocess, sys
listing = subprocess.run(['7zz', 'l', '-slt', sys.argv[1]], capture_output=True, text=True).stdout
entries = listing.split('\nPath = ')[2:]
big = [e for e in entries if e.startswith('big.bin\n')][0]
size = [l for l in big.split('\n') if l.startswith('Size = ')][0][7:]
last = subprocess.run(['7zz', 'e', '-so', sys.argv[1], 'many/f69999.txt'], capture_output=True).stdout.decode()
print(len(entries), size, last)
)";
    CTestFolder folder;
    std::string source = folder.MakeFolder("src");
    ASSERT_EQ(0, RunHost("python3", {HostText("-c"), HostText(kMakeTree), HostPath(source)}).exitCode);
    folder.WriteFile("list.txt", "many\r\nbig.bin\r\n");
    std::string archive = folder / "large.7z";
    CZipRunResult run = RunSevenZip("-i -l1", archive, source, folder / "list.txt");
    ASSERT_EQ(kArchiverResultOk, run.code) << Narrow(Utf8ToWide(run.text));
    EXPECT_EQ(0, RunHost("7zz", {HostText("t"), HostText("-bso0"), HostPath(archive)}).exitCode);
    CHostResult counted = RunHost("python3", {HostText("-c"), HostText(kCount), HostPath(archive)});
    EXPECT_EQ("70002 5368709120 69999\n", counted.output);
    EXPECT_EQ(std::vector<std::string>(), TempFiles(folder));
}

}  // namespace
