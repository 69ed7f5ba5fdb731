#include "common/ArchiverApi.h"
#include "common/FileBytes.h"
#include "common/TextConvert.h"
#include "common/ZipDirectory.h"
#include "tests/bridges/HostCommand.h"
#include "tests/support/TessikZipRun.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <thread>

namespace {

// Reads every entry of a ZIP with Python's zipfile and compares it with the
// file below the source folder; prints each entry's name bytes (hex), flag
// bits and method. Exit 3 on the first difference.
const char kZipCheck[] = R"(
import os, sys, zipfile
archive, source = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive) as z:
    for info in z.infolist():
        utf8 = info.flag_bits & 0x800
        raw = info.filename.encode('utf-8' if utf8 else 'cp437')
        path = os.path.join(source, raw.decode('utf-8' if utf8 else 'cp932'))
        if info.is_dir():
            same = os.path.isdir(path)
        else:
            with open(path, 'rb') as f:
                same = f.read() == z.read(info)
        if not same:
            print('differs', raw.hex())
            sys.exit(3)
        print(raw.hex(), info.flag_bits, info.compress_type)
)";

struct CCheckedEntry
{
    std::string name;  // bytes as stored
    unsigned flags = 0;
    unsigned method = 0;
};

std::string Unhex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// unzip -t, 7zz t and the zipfile check of every entry against source.
std::vector<CCheckedEntry> CheckWithHostTools(const std::string& archive, const std::string& source)
{
    EXPECT_EQ(0, RunHost("unzip", {HostText("-tq"), HostPath(archive)}).exitCode);
    EXPECT_EQ(0, RunHost("7zz", {HostText("t"), HostPath(archive)}).exitCode);
    CHostResult checked = RunHost("python3", {HostText("-c"), HostText(kZipCheck), HostPath(archive), HostPath(source)});
    EXPECT_EQ(0, checked.exitCode) << checked.output;
    std::vector<CCheckedEntry> entries;
    std::istringstream lines(checked.output);
    CCheckedEntry entry;
    std::string hex;
    while (lines >> hex >> entry.flags >> entry.method)
    {
        entry.name = Unhex(hex);
        entries.push_back(entry);
    }
    return entries;
}

std::string Repeated(const std::string& text, size_t size)
{
    std::string bytes;
    while (bytes.size() < size)
        bytes += text;
    bytes.resize(size);
    return bytes;
}

// Bytes that deflate shrinks a little: a random walk over few letters.
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

std::string ListFile(const std::vector<std::wstring>& lines, bool utf8)
{
    std::string bytes;
    for (const std::wstring& line : lines)
        bytes += (utf8 ? WideToUtf8(line) : WideToShiftJis(line)) + "\r\n";
    return bytes;
}

std::wstring DllText(const std::string& text, bool utf8) { return utf8 ? Utf8ToWide(text) : ShiftJisToWide(text); }

// The archive's temporary file and the directory's, when it spilled.
std::vector<std::string> TempFiles(const CTestFolder& folder) { return FilesMatching(folder.Path(), "tz*.tmp"); }

TEST(TessikZipWriting, EveryOptionMakesAnArchiveTheHostToolsReadBackExactly)
{
    CTestFolder folder;
    std::wstring source = Widen(folder / "src");
    WriteWideFile(source + L"\\a.txt", Repeated("hello, archive ", 300000));
    WriteWideFile(source + L"\\big.bin", Noisy(3 << 20, 7));
    WriteWideFile(source + L"\\sub\\日本語.txt", "nihongo");
    CreateDirectoryW((source + L"\\empty").c_str(), NULL);
    WriteUnicodeTree(source + L"\\u");
    // Listed twice, once by itself and once through its folder: stored once.
    std::vector<std::wstring> shiftJisList = {L"a.txt", L"\"big.bin\"", L"empty", L"sub\\日本語.txt", L"sub", L"a.txt"};
    std::vector<std::wstring> unicodeList = shiftJisList;
    unicodeList.push_back(L"u");
    struct
    {
        const char* switches;
        bool unicodeMode;
        bool utf8Names;  // what the archive should hold
        unsigned method;  // of a.txt
    } cases[] = {
        {"-i", true, true, 8},
        {"-l0 -i", true, true, 0},
        {"-m:store -t1 -i", false, true, 0},
        {"-n:sjis -l9 -t3 -i", false, false, 8},
        {"-n:sjis -l1", true, true, 8},  // Korean has no Shift_JIS form; with the window
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.switches);
        std::string archive = folder / "out.zip";
        DeleteFileA(archive.c_str());
        const std::vector<std::wstring>& list = c.unicodeMode ? unicodeList : shiftJisList;
        WriteFileBytes(folder / "list.txt", ListFile(list, c.unicodeMode));
        CTessikZipDll dll;
        ASSERT_TRUE(dll.IsLoaded());
        dll.SetUnicodeMode(c.unicodeMode);
        std::string line = std::string("a ") + c.switches + " \"" + archive + "\" \"" + folder / "src\\" + "\" @\"" +
                           folder / "list.txt" + "\"";
        CZipRunResult run = dll.Run(c.unicodeMode ? ShiftJisToUtf8(line) : line);
        size_t files = c.unicodeMode ? 3 + kUnicodeTree.size() : 3;
        size_t folders = c.unicodeMode ? 4 : 2;
        ASSERT_EQ(kArchiverResultOk, run.code) << Narrow(DllText(run.text, c.unicodeMode));
        EXPECT_NE(std::wstring::npos, DllText(run.text, c.unicodeMode).find(std::to_wstring(files) + L"個のファイルと" +
                                                                       std::to_wstring(folders) + L"個のフォルダー"));

        std::set<std::wstring> expected = {L"a.txt", L"big.bin", L"empty/", L"sub/", L"sub/日本語.txt"};
        if (c.unicodeMode)
        {
            expected.insert({L"u/", L"u/sub/"});
            for (const CUnicodeTreeFile& file : kUnicodeTree)
            {
                std::wstring name = L"u/" + file.relative;
                std::replace(name.begin(), name.end(), L'\\', L'/');
                expected.insert(name);
            }
        }
        std::set<std::wstring> stored;
        for (const CCheckedEntry& entry : CheckWithHostTools(archive, Narrow(source)))
        {
            std::wstring name = c.utf8Names ? Utf8ToWide(entry.name) : ShiftJisToWide(entry.name);
            EXPECT_TRUE(stored.insert(name).second) << entry.name;
            EXPECT_EQ(c.utf8Names && !IsAscii(entry.name) ? 0x800u : 0u, entry.flags & 0x800) << entry.name;
            if (name == L"a.txt" || name == L"big.bin")
            {
                EXPECT_EQ(c.method, entry.method) << entry.name;
            }
        }
        EXPECT_EQ(expected, stored);
        EXPECT_EQ(std::vector<std::string>(), TempFiles(folder));
    }
}

TEST(TessikZipWriting, BadCommandsSwitchesAndListsAreRefusedInJapanese)
{
    CTestFolder folder;
    folder.WriteFile("src\\a.txt", "a");
    folder.WriteFile("outside.txt", "o");
    std::string tail = " \"" + folder / "x.zip" + "\" \"" + folder / "src\\" + "\" @\"" + folder / "list.txt" + "\"";
    struct
    {
        std::string line;
        const char* list;
        int code;
        const char* text;
    } cases[] = {
        {"x" + tail, "a.txt", kArchiverResultCommandName, "知らないコマンドです: x"},
        {"a -q" + tail, "a.txt", kArchiverResultCommandName, "知らないスイッチです: -q"},
        {"a -l10" + tail, "a.txt", kArchiverResultCommandName, "知らないスイッチです: -l10"},
        {"a \"" + folder / "x.zip" + "\"", "a.txt", kArchiverResultFailed, "格納するファイルの一覧"},
        {"a -i" + tail, "..\\outside.txt", kArchiverResultFailed, "基準フォルダーの外を指す名前"},
        {"a -i" + tail, "b.txt", kArchiverResultFailed, "見つかりません"},
    };
    CTessikZipDll dll;
    for (const auto& c : cases)
    {
        folder.WriteFile("list.txt", std::string(c.list) + "\r\n");
        CZipRunResult run = dll.Run(c.line);
        EXPECT_EQ(c.code, run.code) << c.line;
        EXPECT_NE(std::string::npos, run.text.find(c.text)) << run.text;
        EXPECT_FALSE(FileExists(folder / "x.zip"));
    }
}

// The bytes of each entry's extent, local header to data descriptor, by name.
std::map<std::string, std::string> LocalRecords(const std::string& archive, std::vector<CZipEntry>* entries)
{
    std::map<std::string, std::string> records;
    if (!ReadZipEntries(Widen(archive), entries))
        return records;
    std::string bytes = ReadFileBytes(archive);
    for (const CZipEntry& entry : *entries)
        records[entry.name] = bytes.substr(static_cast<size_t>(entry.localAt), static_cast<size_t>(entry.endAt - entry.localAt));
    return records;
}

// The directory record without its local offset.
std::string WithoutOffset(std::string record)
{
    record.replace(42, 4, 4, '\0');
    return record;
}

TEST(TessikZipAdding, OldEntriesStayByteForByteAndAFailedAddLeavesTheArchive)
{
    const std::string sjisName("old/\x93\xfa\x96\x7b\x8c\xea.txt", 14);
    const char kMakeOld[] = R"(
import os, subprocess, sys
os.chdir(sys.argv[1])
for name, data in [(b'old/\x93\xfa\x96\x7b\x8c\xea.txt', b'sjis'), (b'old/keep.txt', b'keep'), (b'old/Replace.txt', b'old')]:
    os.makedirs(os.path.dirname(name), exist_ok=True)
    open(name, 'wb').write(data)
sys.exit(subprocess.call(['zip', '-qr', 'old.zip', 'old']))
)";
    enum EPrepare { kNothing, kLocked, kNotZip };
    struct
    {
        std::vector<std::wstring> list;
        EPrepare prepare;
        bool ok;
        std::vector<std::string> gone;  // old entries a new one replaces
    } cases[] = {
        {{L"new.txt"}, kNothing, true, {}},
        {{L"old\\replace.txt", L"new.txt"}, kNothing, true, {"old/Replace.txt"}},
        {{L"new.txt", L"missing.txt"}, kNothing, false, {}},
        {{L"new.txt"}, kLocked, false, {}},
        {{L"new.txt"}, kNotZip, false, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(Narrow(c.list.front()) + " " + std::to_string(c.prepare));
        CTestFolder folder;
        std::string work = folder / "old";
        CreateDirectoryA(work.c_str(), NULL);
        ASSERT_EQ(0, RunHost("python3", {HostText("-c"), HostText(kMakeOld), HostPath(work)}).exitCode);
        std::string archive = work + "\\old.zip";
        if (c.prepare == kNotZip)
            WriteFileBytes(archive, "no archive at all, only text");
        std::string before = ReadFileBytes(archive);
        ASSERT_FALSE(before.empty());
        folder.WriteFile("src\\new.txt", "new file");
        folder.WriteFile("src\\old\\replace.txt", "the new content");
        WriteFileBytes(folder / "list.txt", ListFile(c.list, false));
        CZipRunResult run;
        {
            CScopedHandle lock(c.prepare == kLocked ? CreateFileA(archive.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING,
                                                                  0, NULL)
                                                    : NULL);
            CTessikZipDll dll;
            run = dll.Run("a -i \"" + archive + "\" \"" + folder / "src\\" + "\" @\"" + folder / "list.txt" + "\"");
        }
        EXPECT_EQ(std::vector<std::string>(), TempFiles(folder));
        if (!c.ok)
        {
            EXPECT_EQ(kArchiverResultFailed, run.code);
            EXPECT_FALSE(run.text.empty());
            EXPECT_EQ(before, ReadFileBytes(archive));
            continue;
        }
        ASSERT_EQ(kArchiverResultOk, run.code) << run.text;
        WriteFileBytes(folder / "before.zip", before);
        std::vector<CZipEntry> oldEntries, newEntries;
        std::map<std::string, std::string> oldRecords = LocalRecords(folder / "before.zip", &oldEntries);
        std::map<std::string, std::string> newRecords = LocalRecords(archive, &newEntries);
        ASSERT_EQ(4u, oldEntries.size());
        std::set<std::string> seen;
        for (const CZipEntry& old : oldEntries)
        {
            bool gone = std::find(c.gone.begin(), c.gone.end(), old.name) != c.gone.end();
            auto kept = std::find_if(newEntries.begin(), newEntries.end(), [&](const CZipEntry& e) { return e.name == old.name; });
            ASSERT_EQ(gone, kept == newEntries.end()) << old.name;
            if (gone)
                continue;
            EXPECT_EQ(oldRecords[old.name], newRecords[old.name]) << old.name;
            EXPECT_EQ(WithoutOffset(old.record), WithoutOffset(kept->record)) << old.name;
        }
        EXPECT_EQ(4u + c.list.size() - c.gone.size(), newEntries.size());
        // Every entry, the Shift_JIS one included, reads back as its file.
        folder.WriteFile("all\\old\\keep.txt", "keep");
        // One of the two names a case apart: the checks run on the host, where
        // case counts, but Wine would open the other one for the second.
        if (c.gone.empty())
            folder.WriteFile("all\\old\\Replace.txt", "old");
        else
            folder.WriteFile("all\\old\\replace.txt", "the new content");
        folder.WriteFile("all\\new.txt", "new file");
        WriteWideFile(Widen(folder / "all\\old\\") + L"日本語.txt", "sjis");
        std::vector<CCheckedEntry> checked = CheckWithHostTools(archive, folder / "all");
        EXPECT_EQ(newEntries.size(), checked.size());
        EXPECT_NE(newRecords.end(), newRecords.find(sjisName));
    }
}

TEST(TessikZipProgress, CancelInTheWindowLeavesNoArchive)
{
    CTestFolder folder;
    folder.WriteFile("src\\large.txt", Noisy(64 << 20, 11));
    folder.WriteFile("list.txt", "large.txt\r\n");
    std::string archive = folder / "cancel.zip";
    bool pressed = false;
    std::thread responder([&] {
        HWND window = WaitForTopWindow("圧縮中 - cancel.zip", GetCurrentProcessId(), 30000);
        if (window == NULL)
            return;
        // The line counts the files once the work runs.
        WaitUntil([&] {
            CWindowSnapshot now = SnapshotWindow(window);
            for (const CControlSnapshot& control : now.controls)
                if (control.text == "0 / 1: ")
                    return true;
            return !IsWindow(window);
        });
        PressButton(window, IDCANCEL);
        pressed = true;
    });
    CTessikZipDll dll;
    CZipRunResult run = dll.Run("a -l9 -t1 \"" + archive + "\" \"" + folder / "src\\" + "\" @\"" + folder / "list.txt" + "\"");
    responder.join();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(kArchiverResultUserCancel, run.code) << run.text;
    EXPECT_NE(std::string::npos, run.text.find("キャンセルされました")) << run.text;
    EXPECT_FALSE(FileExists(archive));
    EXPECT_EQ(std::vector<std::string>(), TempFiles(folder));
}

TEST(TessikZipLarge, SeventyThousandFilesAndAFiveGigabyteFileMakeZip64)
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
    const char kCount[] = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    big = z.getinfo('big.bin')
    print(len(z.infolist()), big.file_size, z.read('many/f69999.txt').decode())
)";
    CTestFolder folder;
    std::string source = folder.MakeFolder("src");
    ASSERT_EQ(0, RunHost("python3", {HostText("-c"), HostText(kMakeTree), HostPath(source)}).exitCode);
    folder.WriteFile("list.txt", "many\r\nbig.bin\r\n");
    std::string archive = folder / "large.zip";
    CTessikZipDll dll;
    CZipRunResult run = dll.Run("a -i -l1 \"" + archive + "\" \"" + source + "\\\" @\"" + folder / "list.txt" + "\"");
    ASSERT_EQ(kArchiverResultOk, run.code) << run.text;
    EXPECT_EQ(0, RunHost("7zz", {HostText("t"), HostPath(archive)}).exitCode);
    EXPECT_EQ(0, RunHost("unzip", {HostText("-tq"), HostPath(archive)}).exitCode);
    CHostResult counted = RunHost("python3", {HostText("-c"), HostText(kCount), HostPath(archive)});
    EXPECT_EQ("70002 5368709120 69999\n", counted.output);
    EXPECT_EQ(std::vector<std::string>(), TempFiles(folder));
}

}  // namespace
