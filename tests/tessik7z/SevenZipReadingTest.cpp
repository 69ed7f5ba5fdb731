// The 7z reader, its folder decoder and the listing: archives of the host's
// 7zz read back to what was packed, and archives built byte by byte with
// one oddity each, judged by 7zz too.
#include "common/FileBytes.h"
#include "tessik7z/SevenZipDecode.h"
#include "tessik7z/SevenZipListing.h"
#include "tessik7z/SevenZipReader.h"
#include "tests/bridges/HostCommand.h"
#include "tests/support/SevenZipBytes.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>

namespace {

// A file or folder as packed, by its stored name.
struct CPackedItem
{
    std::wstring name;
    std::string data;
    bool folder = false;
};

// What the listing shows of an entry, in a form to compare.
struct CListed
{
    std::wstring name;
    unsigned long long size = 0;
    unsigned long crc = 0;
    bool folder = false;
    bool operator==(const CListed& o) const
    {
        return name == o.name && size == o.size && crc == o.crc && folder == o.folder;
    }
    bool operator<(const CListed& o) const { return name < o.name; }
};
void PrintTo(const CListed& entry, std::ostream* out)
{
    *out << Utf8Of(entry.name) << (entry.folder ? " (folder) " : " ") << entry.size << " " << std::hex << entry.crc;
}

// Names beyond Shift_JIS and in it, an empty file, an empty folder, a file
// larger than a read of the packed data, and x86-like code for the filters.
std::vector<CPackedItem> HostTree()
{
    std::vector<CPackedItem> items;
    for (const CUnicodeTreeFile& file : kUnicodeTree)
    {
        std::wstring name = file.relative;
        std::replace(name.begin(), name.end(), L'\\', L'/');
        items.push_back({name, file.bytes, false});
    }
    items.push_back({L"sub", "", true});
    items.push_back({L"日本語", "", true});
    items.push_back({L"日本語/説明書.txt", SevenZipTestText(5000), false});
    items.push_back({L"empty.txt", "", false});
    items.push_back({L"empty folder", "", true});
    items.push_back({L"big.txt", SevenZipTestText(3 * 1000 * 1000), false});
    items.push_back({L"tool.exe", X86LikeBytes(700 * 1000), false});
    return items;
}

void WriteItems(const std::string& root, const std::vector<CPackedItem>& items)
{
    for (const CPackedItem& item : items)
    {
        std::wstring path = Widen(root) + L"\\" + item.name;
        std::replace(path.begin(), path.end(), L'/', L'\\');
        if (item.folder)
            CreateDirectoryW(path.c_str(), NULL);
        else
            WriteWideFile(path, item.data);
    }
}

std::vector<CListed> Expected(const std::vector<CPackedItem>& items)
{
    std::vector<CListed> expected;
    for (const CPackedItem& item : items)
    {
        // Listed with '\\', as the other archiver DLLs list names.
        std::wstring name = item.name;
        std::replace(name.begin(), name.end(), L'/', L'\\');
        expected.push_back({name, item.data.size(), item.data.empty() ? 0 : SevenZipCrc(item.data), item.folder});
    }
    std::sort(expected.begin(), expected.end());
    return expected;
}

std::vector<CListed> Listed(const std::vector<CListingEntry>& entries)
{
    std::vector<CListed> listed;
    for (const CListingEntry& entry : entries)
    {
        listed.push_back({entry.name, entry.size, entry.crc, entry.folder});
        EXPECT_EQ(entry.folder, (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) << Utf8Of(entry.name);
    }
    std::sort(listed.begin(), listed.end());
    return listed;
}

const CListingEntry* Find(const std::vector<CListingEntry>& entries, const std::wstring& name)
{
    for (const CListingEntry& entry : entries)
        if (entry.name == name)
            return &entry;
    ADD_FAILURE() << Utf8Of(name) << " is not listed";
    return nullptr;
}

// Every folder decoded, in order: the data of the files with streams, in
// the header's order. *largest gets the largest piece handed on.
std::string DecodeAll(const CByteFile& file, const CSevenZipArchive& archive, const std::wstring& password,
                      size_t* largest)
{
    std::string decoded;
    *largest = 0;
    for (size_t folder = 0; folder < archive.folders.size(); ++folder)
    {
        auto sink = [&](const char* data, size_t size) {
            decoded.append(data, size);
            *largest = std::max(*largest, size);
            return true;
        };
        EXPECT_EQ(EFolderDecode::kDecoded, DecodeFolder(file, archive, folder, sink, password)) << "folder " << folder;
    }
    return decoded;
}

std::string StreamsOf(const CSevenZipArchive& archive, const std::vector<CPackedItem>& items)
{
    std::map<std::wstring, std::string> data;
    for (const CPackedItem& item : items)
        data[item.name] = item.data;
    std::string streams;
    for (const CSevenZipEntry& entry : archive.entries)
        if (entry.hasStream)
            streams += data[entry.name];
    return streams;
}

int Make7z(const std::string& tree, const std::vector<std::string>& switches, const std::string& archive)
{
    std::vector<CHostArg> args = {HostText("a"), HostText("-bso0"), HostText("-bsp0")};
    for (const std::string& option : switches)
        args.push_back(HostText(option));
    args.push_back(HostPath(archive));
    args.push_back(HostText("."));
    return RunHost("7zz", args, tree).exitCode;
}

// ---- Archives of 7zz: listed as packed, decoded to the bytes packed.

struct CHostRow
{
    const char* what;
    std::vector<std::string> switches;
    // The modes of big.txt and tool.exe (x86-like, but no executable that
    // 7zz would filter of its own accord).
    const char* textMode;
    const char* codeMode;
};
void PrintTo(const CHostRow& row, std::ostream* out) { *out << row.what; }

class SevenZipReadingHostTest : public ::testing::TestWithParam<CHostRow>
{
};

TEST_P(SevenZipReadingHostTest, HostArchive_ListsWhatWasPacked_AndDecodesToIt)
{
    const CHostRow& row = GetParam();
    CTestFolder folder;
    std::string tree = folder.MakeFolder("tree");
    std::vector<CPackedItem> items = HostTree();
    WriteItems(tree, items);
    std::string archive = folder / "host.7z";
    ASSERT_EQ(0, Make7z(tree, row.switches, archive));
    std::wstring path = Widen(archive);

    std::vector<CListingEntry> entries;
    ASSERT_TRUE(ReadSevenZipListing(path, &entries));
    EXPECT_EQ(Expected(items), Listed(entries));
    const CListingEntry* text = Find(entries, L"big.txt");
    const CListingEntry* code = Find(entries, L"tool.exe");
    ASSERT_TRUE(text != nullptr && code != nullptr);
    EXPECT_STREQ(row.textMode, text->mode);
    EXPECT_STREQ(row.codeMode, code->mode);
    // The modified time as the file on disk has it, in local DOS form.
    WIN32_FILE_ATTRIBUTE_DATA disk = {};
    FILETIME local = {};
    WORD date = 0;
    WORD time = 0;
    ASSERT_TRUE(GetFileAttributesExW((Widen(tree) + L"\\big.txt").c_str(), GetFileExInfoStandard, &disk));
    ASSERT_TRUE(FileTimeToLocalFileTime(&disk.ftLastWriteTime, &local) && FileTimeToDosDateTime(&local, &date, &time));
    EXPECT_EQ(date, text->dosDate);
    EXPECT_EQ(time, text->dosTime);
    EXPECT_TRUE(CheckSevenZipArchive(path, true));

    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    CSevenZipArchive sevenZip;
    ASSERT_EQ(ESevenZipRead::kRead, ReadSevenZipArchive(file, &sevenZip));
    // Every stream of every folder carries data: BCJ2's call and jump
    // streams too, so that its conversions are decoded.
    for (const CSevenZipFolder& one : sevenZip.folders)
        for (uint64_t size : one.unpackSizes)
            EXPECT_GT(size, 0u);
    size_t largest = 0;
    EXPECT_TRUE(StreamsOf(sevenZip, items) == DecodeAll(file, sevenZip, L"", &largest));
    EXPECT_LE(largest, 1u << 20) << "the folder is handed on in pieces";
    EXPECT_EQ(EFolderDecode::kCancelled,
              DecodeFolder(file, sevenZip, 0, [](const char*, size_t) { return false; }));
}

INSTANTIATE_TEST_SUITE_P(
    SevenZipReading, SevenZipReadingHostTest,
    ::testing::Values(CHostRow{"solid LZMA2", {"-ms=on"}, "LZMA2", "LZMA2"},
                      CHostRow{"a folder a file", {"-ms=off"}, "LZMA2", "LZMA2"},
                      CHostRow{"stored", {"-m0=Copy"}, "Copy", "Copy"},
                      CHostRow{"LZMA", {"-m0=LZMA"}, "LZMA", "LZMA"},
                      CHostRow{"x86 filter for all", {"-mf=BCJ"}, "LZMA2", "LZMA2"},
                      CHostRow{"x86 filter over Copy", {"-m0=Copy", "-mf=BCJ"}, "Copy", "Copy"},
                      CHostRow{"BCJ2", {"-mf=BCJ2"}, "BCJ2", "BCJ2"},
                      CHostRow{"BCJ2 over LZMA", {"-m0=LZMA", "-mf=BCJ2"}, "BCJ2", "BCJ2"},
                      CHostRow{"header not compressed", {"-mhc=off"}, "LZMA2", "LZMA2"}));

// ---- Archives of 7zz with a password: what shows without it, and the
// data with the right one.

struct CPasswordRow
{
    const char* what;
    bool headerEncrypted;
};
void PrintTo(const CPasswordRow& row, std::ostream* out) { *out << row.what; }

class SevenZipReadingPasswordTest : public ::testing::TestWithParam<CPasswordRow>
{
};

TEST_P(SevenZipReadingPasswordTest, HostArchive_NeedsThePassword_WhereItIsEncrypted)
{
    const bool headerEncrypted = GetParam().headerEncrypted;
    CTestFolder folder;
    std::string tree = folder.MakeFolder("tree");
    // Past one piece of decrypted data, so that the cipher's chain goes on
    // from piece to piece.
    std::vector<CPackedItem> items = {{L"a.txt", SevenZipTestText(600 * 1000), false},
                                      {L"表.txt", "hyou", false}};
    WriteItems(tree, items);
    std::string archive = folder / "secret.7z";
    ASSERT_EQ(0, Make7z(tree, {"-pTessik-pw1", headerEncrypted ? "-mhe=on" : "-mhe=off"}, archive));
    std::wstring path = Widen(archive);
    CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
    CSevenZipArchive sevenZip;

    EXPECT_EQ(headerEncrypted ? ESevenZipRead::kEncrypted : ESevenZipRead::kRead, ReadSevenZipArchive(file, &sevenZip));
    EXPECT_EQ(!headerEncrypted, CheckSevenZipArchive(path, true)) << "the data is checked as far as it can be";
    std::vector<CListingEntry> entries;
    EXPECT_EQ(!headerEncrypted, ReadSevenZipListing(path, &entries));
    if (!headerEncrypted)
    {
        EXPECT_EQ(Expected(items), Listed(entries));
        for (const CListingEntry& entry : entries)
            EXPECT_STREQ("7zAES", entry.mode) << Utf8Of(entry.name);
    }

    EXPECT_EQ(headerEncrypted ? ESevenZipRead::kEncrypted : ESevenZipRead::kRead,
              ReadSevenZipArchive(file, &sevenZip, L"Tessik-pw2"));
    if (!headerEncrypted)
    {
        EXPECT_EQ(EFolderDecode::kNeedPassword,
                  DecodeFolder(file, sevenZip, 0, [](const char*, size_t) { return true; }, L"Tessik-pw2"));
    }

    ASSERT_EQ(ESevenZipRead::kRead, ReadSevenZipArchive(file, &sevenZip, L"Tessik-pw1"));
    size_t largest = 0;
    EXPECT_TRUE(StreamsOf(sevenZip, items) == DecodeAll(file, sevenZip, L"Tessik-pw1", &largest));
}

INSTANTIATE_TEST_SUITE_P(SevenZipReading, SevenZipReadingPasswordTest,
                         ::testing::Values(CPasswordRow{"the data encrypted", false},
                                           CPasswordRow{"the header encrypted too", true}));

// ---- Archives built byte by byte, each with one oddity.

struct CDamageRow
{
    const char* what;
    bool bcj;
    void (*damage)(std::string* bytes, const CSevenZipBytesMap& map);
    ESevenZipRead read;
    bool structure;  // CheckSevenZipArchive without and with the data
    bool full;
};
void PrintTo(const CDamageRow& row, std::ostream* out) { *out << row.what; }

CSevenZipBytesLayout BuiltLayout(bool bcj)
{
    CSevenZipBytesLayout layout;
    layout.bcj = bcj;
    // Text without the bytes E8 and E9, which the x86 filter leaves alone.
    layout.entries = {{L"a.txt", "small one\r\n"},
                      {L"日本語", "", true},
                      {L"日本語/b.txt", SevenZipTestText(5000)},
                      {L"empty.txt", ""},
                      {L"c.txt", SevenZipTestText(300)}};
    return layout;
}

void Unchanged(std::string*, const CSevenZipBytesMap&) {}
void BadSignature(std::string* bytes, const CSevenZipBytesMap&) { (*bytes)[2] = 'X'; }
void NewerMajorVersion(std::string* bytes, const CSevenZipBytesMap&) { (*bytes)[6] = 1; }
void StartHeaderCrc(std::string* bytes, const CSevenZipBytesMap&) { (*bytes)[8] ^= 0x01; }
void NextHeaderPastTheEnd(std::string* bytes, const CSevenZipBytesMap&)
{
    (*bytes)[12] = static_cast<char>((*bytes)[12] + 1);
    ResealSevenZip(bytes);
}
void HeaderCrc(std::string* bytes, const CSevenZipBytesMap& map) { (*bytes)[map.lastTerminatorAt - 2] ^= 0x01; }
void FileCountPastTheBytes(std::string* bytes, const CSevenZipBytesMap& map)
{
    PutSevenZipNumber(bytes, map.fileCountAt, 100000);
    ResealSevenZip(bytes);
}
void BindPairOutOfRange(std::string* bytes, const CSevenZipBytesMap& map)
{
    PutSevenZipNumber(bytes, map.bindInAt, 2);
    ResealSevenZip(bytes);
}
void FileLargerThanFolder(std::string* bytes, const CSevenZipBytesMap& map)
{
    PutSevenZipNumber(bytes, map.firstFileSizeAt, 6000);
    ResealSevenZip(bytes);
}
void PackedStreamIntoHeader(std::string* bytes, const CSevenZipBytesMap& map)
{
    PutSevenZipNumber(bytes, map.packedSizeAt, map.headerAt - map.dataAt + 1);
    ResealSevenZip(bytes);
}
void NameWithoutTerminator(std::string* bytes, const CSevenZipBytesMap& map)
{
    (*bytes)[map.lastTerminatorAt] = 'x';
    ResealSevenZip(bytes);
}
void Truncated(std::string* bytes, const CSevenZipBytesMap&) { bytes->resize(bytes->size() - 1); }
void DataByteChanged(std::string* bytes, const CSevenZipBytesMap& map) { (*bytes)[map.dataAt + 3] ^= 0x20; }
void UnknownMethod(std::string* bytes, const CSevenZipBytesMap& map)
{
    (*bytes)[map.methodAt + 3] = 0x7F;
    ResealSevenZip(bytes);
}

class SevenZipReadingDamageTest : public ::testing::TestWithParam<CDamageRow>
{
};

TEST_P(SevenZipReadingDamageTest, BuiltArchive_ReadAsItsOddityWants_And7zzAgrees)
{
    const CDamageRow& row = GetParam();
    CTestFolder folder;
    CSevenZipBytesMap map;
    CSevenZipBytesLayout layout = BuiltLayout(row.bcj);
    std::string bytes = BuildSevenZipBytes(layout, &map);
    row.damage(&bytes, map);
    std::string archive = folder.WriteFile("built.7z", bytes);
    std::wstring path = Widen(archive);
    {
        CByteFile file(path, GENERIC_READ, FILE_SHARE_READ);
        CSevenZipArchive read;
        EXPECT_EQ(row.read, ReadSevenZipArchive(file, &read));
        if (row.read == ESevenZipRead::kRead)
        {
            ASSERT_EQ(layout.entries.size(), read.entries.size());
            for (size_t i = 0; i < read.entries.size(); ++i)
            {
                const CSevenZipBytesEntry& built = layout.entries[i];
                EXPECT_TRUE(built.name == read.entries[i].name) << i;
                EXPECT_EQ(built.data.size(), read.entries[i].size) << i;
                EXPECT_EQ(built.folder, read.entries[i].directory) << i;
                EXPECT_EQ(!built.data.empty(), read.entries[i].hasStream) << i;
                if (!built.data.empty())
                {
                    EXPECT_EQ(SevenZipCrc(built.data), read.entries[i].crc) << i;
                }
            }
        }
        else
            EXPECT_TRUE(read.entries.empty() && read.folders.empty());
    }
    EXPECT_EQ(row.structure, CheckSevenZipArchive(path, false));
    EXPECT_EQ(row.full, CheckSevenZipArchive(path, true));
    CHostResult host = RunHost("7zz", {HostText("t"), HostText("-bso0"), HostText("-bse0"), HostPath(archive)});
    EXPECT_EQ(!row.full, host.exitCode != 0) << "7zz tests the same bytes";
}

const ESevenZipRead kRead = ESevenZipRead::kRead;
const ESevenZipRead kDamaged = ESevenZipRead::kDamaged;
const ESevenZipRead kNotSevenZip = ESevenZipRead::kNotSevenZip;
const ESevenZipRead kUnsupported = ESevenZipRead::kUnsupported;

INSTANTIATE_TEST_SUITE_P(
    SevenZipReading, SevenZipReadingDamageTest,
    ::testing::Values(
        CDamageRow{"nothing changed", false, Unchanged, kRead, true, true},
        CDamageRow{"nothing changed, BCJ over Copy", true, Unchanged, kRead, true, true},
        CDamageRow{"no signature", false, BadSignature, kNotSevenZip, false, false},
        CDamageRow{"a major version of 1", false, NewerMajorVersion, kUnsupported, false, false},
        CDamageRow{"the start header's CRC wrong", false, StartHeaderCrc, kDamaged, false, false},
        CDamageRow{"the next header past the end", false, NextHeaderPastTheEnd, kDamaged, false, false},
        CDamageRow{"the header's CRC wrong", false, HeaderCrc, kDamaged, false, false},
        CDamageRow{"more files than the header's bytes", false, FileCountPastTheBytes, kDamaged, false, false},
        CDamageRow{"a bind pair's index out of range", true, BindPairOutOfRange, kDamaged, false, false},
        CDamageRow{"a file larger than its folder", false, FileLargerThanFolder, kDamaged, false, false},
        CDamageRow{"the packed stream into the header", false, PackedStreamIntoHeader, kDamaged, false, false},
        CDamageRow{"the last name without terminator", false, NameWithoutTerminator, kDamaged, false, false},
        CDamageRow{"the file cut short", false, Truncated, kDamaged, false, false},
        CDamageRow{"a byte of the data changed", false, DataByteChanged, kRead, true, false},
        CDamageRow{"a method nobody knows", true, UnknownMethod, kRead, true, false}));

}  // namespace
