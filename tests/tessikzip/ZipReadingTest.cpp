#include "common/ArchiverApi.h"
#include "dllkit/DllText.h"
#include "tests/bridges/HostCommand.h"
#include "tests/support/OneEntryZip.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

ARCHIVER_EXPORT ArchiverOpenArchive TessikZipOpenArchive;
ARCHIVER_EXPORT ArchiverFindFirst TessikZipFindFirst;
ARCHIVER_EXPORT ArchiverFindNext TessikZipFindNext;
ARCHIVER_EXPORT ArchiverGetOriginalSizeEx TessikZipGetOriginalSizeEx;
ARCHIVER_EXPORT ArchiverHandleQuery TessikZipCloseArchive;
ARCHIVER_EXPORT ArchiverCheckArchive TessikZipCheckArchive;

namespace {

// ---- Encryption: one entry made with each encryptor, extracted by a host reader.

struct CCipherRow
{
    ETestCipher cipher;
    bool deflate;
    const char* reader;  // "7zz", "unzip", "python3"
};

// Extracts the archive into folder; the reader's exit code.
int Extract(const std::string& reader, const std::string& archive, const std::string& password, const std::string& folder)
{
    std::vector<CHostArg> args = {HostText("x"), HostText("-y"), HostText("-p" + password), HostPath(archive)};
    if (reader == "unzip")
        args = {HostText("-o"), HostText("-P"), HostText(password), HostPath(archive)};
    else if (reader == "python3")
        args = {HostText("-c"), HostText("import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(pwd=sys.argv[2].encode())"),
                HostPath(archive), HostText(password)};
    return RunHost(reader, args, folder).exitCode;
}

class ZipEncryptionTest : public ::testing::TestWithParam<CCipherRow>
{
};

TEST_P(ZipEncryptionTest, HostReader_RightPasswordGivesTheBytes_WrongOneFails)
{
    const CCipherRow& row = GetParam();
    CTestFolder folder;
    // Past one batch of AES counter blocks, handed over in uneven pieces.
    std::string data = TextLikeBytes(300 * 1000 + 7);
    std::string zip = MakeOneEntryZip("data.txt", data, row.deflate, row.cipher, "Tessik-pw1");
    ASSERT_FALSE(zip.empty());
    std::string archive = folder.WriteFile("one.zip", zip);
    EXPECT_TRUE(TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC));

    std::string right = folder.MakeFolder("right");
    EXPECT_EQ(0, Extract(row.reader, archive, "Tessik-pw1", right));
    std::string extracted = ReadFileBytes(right + "\\data.txt");
    EXPECT_EQ(data.size(), extracted.size());
    EXPECT_TRUE(data == extracted);

    std::string wrong = folder.MakeFolder("wrong");
    EXPECT_NE(0, Extract(row.reader, archive, "Tessik-pw2", wrong));
    EXPECT_FALSE(data == ReadFileBytes(wrong + "\\data.txt"));
}

INSTANTIATE_TEST_SUITE_P(Rows, ZipEncryptionTest,
                         ::testing::Values(CCipherRow{ETestCipher::ZipCrypto, false, "7zz"},
                                           CCipherRow{ETestCipher::ZipCrypto, true, "7zz"},
                                           CCipherRow{ETestCipher::Aes, false, "7zz"},
                                           CCipherRow{ETestCipher::Aes, true, "7zz"},
                                           CCipherRow{ETestCipher::ZipCrypto, true, "unzip"},
                                           CCipherRow{ETestCipher::ZipCrypto, true, "python3"}));

// ---- Listing: archives of host tools, as python's zipfile lists them.

// Python reads a name without the UTF-8 flag as code page 437; Info-ZIP on
// the host stores UTF-8 so. Names UTF-8 with backslashes, as the DLLs list
// them, a folder's without its last separator.
const char kPythonListing[] =
    "import sys, zipfile\n"
    "with open(sys.argv[2], 'w', encoding='utf-8', newline='\\n') as out:\n"
    "    for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
    "        n = i.filename if i.flag_bits & 0x800 else i.filename.encode('cp437').decode('utf-8')\n"
    "        out.write('%s\\t%d\\t%d\\n' % (n.rstrip('/').replace('/', '\\\\'), i.file_size, i.is_dir()))\n";

std::vector<CReaderEntry> PythonListing(const std::string& archive, const CTestFolder& folder)
{
    std::string listing = folder / "listing.txt";
    EXPECT_EQ(0, RunHost("python3", {HostText("-c"), HostText(kPythonListing), HostPath(archive), HostPath(listing)})
                     .exitCode);
    std::vector<CReaderEntry> entries;
    std::istringstream in(ReadFileBytes(listing));
    CReaderEntry entry;
    while (std::getline(in, entry.name, '\t') && in >> entry.size >> entry.folder && in.ignore())
        entries.push_back(entry);
    std::sort(entries.begin(), entries.end(), [](const CReaderEntry& a, const CReaderEntry& b) { return a.name < b.name; });
    return entries;
}

// Through the DLL's entries in its UTF-8 mode, in python's form.
std::vector<CReaderEntry> DllListing(const std::string& archive, const std::string& wildName)
{
    std::vector<CReaderEntry> entries;
    HANDLE handle = TessikZipOpenArchive(NULL, archive.c_str(), 0);
    EXPECT_NE(static_cast<HANDLE>(NULL), handle);
    INDIVIDUALINFO info = {};
    int found = handle != NULL ? TessikZipFindFirst(handle, wildName.c_str(), &info) : -1;
    for (; found == 0; found = TessikZipFindNext(handle, &info))
    {
        __int64 size = -1;
        EXPECT_TRUE(TessikZipGetOriginalSizeEx(handle, &size));
        std::string name = info.szFileName;
        if (!name.empty() && name.back() == '\\')
            name.pop_back();
        entries.push_back(CReaderEntry{name, static_cast<unsigned long long>(size), strchr(info.szAttribute, 'd') != NULL});
    }
    EXPECT_EQ(-1, found);
    EXPECT_EQ(0, TessikZipCloseArchive(handle));
    EXPECT_NE(0, TessikZipCloseArchive(handle)) << "a closed handle is refused";
    std::sort(entries.begin(), entries.end(), [](const CReaderEntry& a, const CReaderEntry& b) { return a.name < b.name; });
    return entries;
}

// A host tool's command, run in the tree's folder: the archive is put
// between args and "." (the tree).
struct CMakerRow
{
    const char* tool;
    std::vector<std::string> args;
};

class ZipListingTest : public ::testing::TestWithParam<CMakerRow>
{
protected:
    void SetUp() override { SetDllUnicodeMode(true); }
    void TearDown() override { SetDllUnicodeMode(false); }
};

TEST_P(ZipListingTest, HostArchive_ListsAsPythonDoes_AndPassesTheCheck)
{
    CTestFolder folder;
    std::string tree = folder.MakeFolder("tree");
    WriteUnicodeTree(Widen(tree));
    folder.WriteFile("tree\\empty.txt", "");
    folder.MakeFolder("tree\\empty folder");
    folder.WriteFile("tree\\big.txt", TextLikeBytes(2 * 1000 * 1000));
    std::string archive = folder / "host.zip";
    std::vector<CHostArg> args;
    for (const std::string& arg : GetParam().args)
        args.push_back(HostText(arg));
    args.push_back(HostPath(archive));
    args.push_back(HostText("."));
    ASSERT_EQ(0, RunHost(GetParam().tool, args, tree).exitCode);

    std::vector<CReaderEntry> expected = PythonListing(archive, folder);
    ASSERT_GT(expected.size(), kUnicodeTree.size());
    EXPECT_EQ(expected, DllListing(archive, "*"));
    EXPECT_TRUE(TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC));
    // A wild name picks by the stored name, without case.
    EXPECT_EQ(std::vector<CReaderEntry>({CReaderEntry{"big.txt", 2000000, false}}), DllListing(archive, "*BIG.TXT"));
}

INSTANTIATE_TEST_SUITE_P(Rows, ZipListingTest,
                         ::testing::Values(CMakerRow{"zip", {"-qr"}}, CMakerRow{"zip", {"-qr", "-fz"}},
                                           CMakerRow{"7zz", {"a", "-tzip", "-bso0"}}));

// ---- Check: damage of every kind fails it.

struct CDamageRow
{
    const char* what;
    void (*damage)(std::string* zip);
};
void PrintTo(const CDamageRow& row, std::ostream* out) { *out << row.what; }

// The middle of the large entry's data: far from every header.
void FlipDeflatedByte(std::string* zip) { (*zip)[zip->size() / 2] ^= 0x55; }
void CutEndRecord(std::string* zip) { zip->resize(zip->size() - 30); }
void NotAZip(std::string* zip) { *zip = "just text, no archive\r\n"; }
void ChangeCentralCrc(std::string* zip) { (*zip)[zip->rfind(std::string("PK\x01\x02", 4)) + 16] ^= 0x01; }
void ChangeLocalName(std::string* zip) { (*zip)[30] ^= 0x20; }

class ZipCheckTest : public ::testing::TestWithParam<CDamageRow>
{
};

TEST_P(ZipCheckTest, DamagedArchive_FailsTheCheck)
{
    CTestFolder folder;
    folder.WriteFile("tree\\a.txt", "small one");
    folder.WriteFile("tree\\b.txt", TextLikeBytes(1000 * 1000));
    std::string archive = folder / "host.zip";
    ASSERT_EQ(0, RunHost("zip", {HostText("-qr"), HostPath(archive), HostText(".")}, folder / "tree").exitCode);
    ASSERT_TRUE(TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC));
    std::string zip = ReadFileBytes(archive);
    GetParam().damage(&zip);
    WriteFileBytes(archive, zip);
    EXPECT_FALSE(TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC));
}

INSTANTIATE_TEST_SUITE_P(Rows, ZipCheckTest,
                         ::testing::Values(CDamageRow{"a byte of deflated data flipped", FlipDeflatedByte},
                                           CDamageRow{"the end record cut off", CutEndRecord},
                                           CDamageRow{"no ZIP at all", NotAZip},
                                           CDamageRow{"a central CRC changed", ChangeCentralCrc},
                                           CDamageRow{"a local name changed", ChangeLocalName}));

}  // namespace
