#include "common/ArchiverApi.h"
#include "common/TextConvert.h"
#include "tessikzip/DllText.h"
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

const char kPassword[] = "Tessik-pw1";
const char kEntryName[] = "data.txt";

// ---- Encryption: one entry made with each encryptor, opened by a host reader.

enum class EReader
{
    SevenZip,
    Unzip,
    Python,
};

struct CCipherRow
{
    ETestCipher cipher;
    bool deflate;
    EReader reader;
};

void PrintTo(const CCipherRow& row, std::ostream* out)
{
    const char* readers[] = {"7zz", "unzip", "python3"};
    *out << (row.cipher == ETestCipher::Aes ? "AES" : "ZipCrypto") << (row.deflate ? " deflated" : " stored")
         << " read by " << readers[static_cast<int>(row.reader)];
}

// Extracts the archive into folder with the reader; its exit code.
int ExtractWith(EReader reader, const std::string& archive, const std::string& password, const std::string& folder)
{
    switch (reader)
    {
    case EReader::SevenZip:
        return RunHost("7zz", {HostText("x"), HostText("-y"), HostText("-p" + password), HostPath(archive)}, folder).exitCode;
    case EReader::Unzip:
        return RunHost("unzip", {HostText("-o"), HostText("-P"), HostText(password), HostPath(archive)}, folder).exitCode;
    case EReader::Python:
        return RunHost("python3", {HostText("-c"),
                                   HostText("import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(pwd=sys.argv[2].encode())"),
                                   HostPath(archive), HostText(password)}, folder).exitCode;
    }
    return -1;
}

class ZipEncryptionTest : public ::testing::TestWithParam<CCipherRow>
{
};

TEST_P(ZipEncryptionTest, HostReader_RightPasswordGivesTheBytes_WrongOneFails)
{
    const CCipherRow& row = GetParam();
    CTestFolder folder;
    // Past one batch of AES counter blocks, in uneven pieces.
    std::string data = TextLikeBytes(300 * 1000 + 7);
    std::string zip = MakeOneEntryZip(kEntryName, data, row.deflate, row.cipher, kPassword);
    ASSERT_FALSE(zip.empty());
    std::string archive = folder.WriteFile("one.zip", zip);
    EXPECT_TRUE(TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC));

    std::string right = folder.MakeFolder("right");
    EXPECT_EQ(0, ExtractWith(row.reader, archive, kPassword, right));
    std::string extracted = ReadFileBytes(right + "\\" + kEntryName);
    EXPECT_EQ(data.size(), extracted.size());
    EXPECT_TRUE(data == extracted);

    std::string wrong = folder.MakeFolder("wrong");
    EXPECT_NE(0, ExtractWith(row.reader, archive, "Tessik-pw2", wrong));
    EXPECT_FALSE(data == ReadFileBytes(wrong + "\\" + kEntryName));
}

INSTANTIATE_TEST_SUITE_P(Rows, ZipEncryptionTest,
                         ::testing::Values(CCipherRow{ETestCipher::ZipCrypto, false, EReader::SevenZip},
                                           CCipherRow{ETestCipher::ZipCrypto, true, EReader::SevenZip},
                                           CCipherRow{ETestCipher::Aes, false, EReader::SevenZip},
                                           CCipherRow{ETestCipher::Aes, true, EReader::SevenZip},
                                           CCipherRow{ETestCipher::ZipCrypto, true, EReader::Unzip},
                                           CCipherRow{ETestCipher::ZipCrypto, true, EReader::Python}));

// ---- Listing: archives of host tools, as python's zipfile lists them.

struct CListed
{
    std::wstring name;
    unsigned long long size;
    bool folder;
    bool operator<(const CListed& o) const { return name < o.name; }
    bool operator==(const CListed& o) const { return name == o.name && size == o.size && folder == o.folder; }
};
void PrintTo(const CListed& entry, std::ostream* out)
{
    *out << Utf8Of(entry.name) << (entry.folder ? " (folder) " : " ") << entry.size;
}

// Python reads a name without the UTF-8 flag as code page 437; Info-ZIP on
// the host stores UTF-8 so.
const char kPythonListing[] =
    "import sys, zipfile\n"
    "with open(sys.argv[2], 'w', encoding='utf-8', newline='\\n') as out:\n"
    "    for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
    "        n = i.filename if i.flag_bits & 0x800 else i.filename.encode('cp437').decode('utf-8')\n"
    "        out.write('%s\\t%d\\t%d\\n' % (n.rstrip('/'), i.file_size, i.is_dir()))\n";

std::vector<CListed> PythonListing(const std::string& archive, const CTestFolder& folder)
{
    std::string listing = folder / "listing.txt";
    EXPECT_EQ(0, RunHost("python3", {HostText("-c"), HostText(kPythonListing), HostPath(archive), HostPath(listing)})
                     .exitCode);
    std::vector<CListed> entries;
    std::istringstream in(ReadFileBytes(listing));
    std::string line;
    while (std::getline(in, line))
    {
        size_t tab = line.find('\t');
        size_t tab2 = line.find('\t', tab + 1);
        entries.push_back(CListed{FromUtf8(line.substr(0, tab)), std::stoull(line.substr(tab + 1, tab2 - tab - 1)),
                                  line.substr(tab2 + 1) == "1"});
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Through the DLL's entries in its UTF-8 mode, with a folder's separator
// left off as python's row has it.
std::vector<CListed> DllListing(const std::string& archive, const std::string& wildName)
{
    std::vector<CListed> entries;
    HANDLE handle = TessikZipOpenArchive(NULL, archive.c_str(), 0);
    EXPECT_NE(static_cast<HANDLE>(NULL), handle);
    if (handle == NULL)
        return entries;
    INDIVIDUALINFO info = {};
    int found = TessikZipFindFirst(handle, wildName.c_str(), &info);
    for (; found == 0; found = TessikZipFindNext(handle, &info))
    {
        __int64 size = -1;
        EXPECT_TRUE(TessikZipGetOriginalSizeEx(handle, &size));
        std::wstring name = FromUtf8(info.szFileName);
        if (!name.empty() && name.back() == L'/')
            name.pop_back();
        entries.push_back(CListed{name, static_cast<unsigned long long>(size), strchr(info.szAttribute, 'd') != NULL});
    }
    EXPECT_EQ(-1, found);
    EXPECT_EQ(0, TessikZipCloseArchive(handle));
    EXPECT_NE(0, TessikZipCloseArchive(handle)) << "a closed handle is refused";
    std::sort(entries.begin(), entries.end());
    return entries;
}

struct CMakerRow
{
    const char* tool;
    std::vector<std::string> args;  // before the archive, run in the tree's folder
    std::vector<std::string> after;  // after it
};

void PrintTo(const CMakerRow& row, std::ostream* out)
{
    *out << row.tool;
    for (const std::string& arg : row.args)
        *out << " " << arg;
}

class ZipListingTest : public ::testing::TestWithParam<CMakerRow>
{
protected:
    void SetUp() override { SetDllUnicodeMode(true); }
    void TearDown() override { SetDllUnicodeMode(false); }
};

TEST_P(ZipListingTest, HostArchive_ListsAsPythonDoes_AndPassesTheCheck)
{
    const CMakerRow& row = GetParam();
    CTestFolder folder;
    std::string tree = folder.MakeFolder("tree");
    WriteUnicodeTree(Widen(tree));
    folder.WriteFile("tree\\empty.txt", "");
    folder.MakeFolder("tree\\empty folder");
    folder.WriteFile("tree\\big.txt", TextLikeBytes(2 * 1000 * 1000));
    std::string archive = folder / "host.zip";
    std::vector<CHostArg> args;
    for (const std::string& arg : row.args)
        args.push_back(HostText(arg));
    args.push_back(HostPath(archive));
    for (const std::string& arg : row.after)
        args.push_back(HostText(arg));
    ASSERT_EQ(0, RunHost(row.tool, args, tree).exitCode);

    std::vector<CListed> expected = PythonListing(archive, folder);
    ASSERT_GT(expected.size(), kUnicodeTree.size());
    EXPECT_EQ(expected, DllListing(archive, "*"));
    EXPECT_TRUE(TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC));

    // A wild name picks by the stored name, without case.
    std::vector<CListed> big = DllListing(archive, "*BIG.TXT");
    ASSERT_EQ(1u, big.size());
    EXPECT_EQ(L"big.txt", big[0].name);
    EXPECT_EQ(2000000u, big[0].size);
}

INSTANTIATE_TEST_SUITE_P(Rows, ZipListingTest,
                         ::testing::Values(CMakerRow{"zip", {"-qr"}, {"."}},
                                           CMakerRow{"zip", {"-qr", "-fz"}, {"."}},
                                           CMakerRow{"7zz", {"a", "-tzip", "-bso0"}, {"."}}));

// ---- Check: damage of every kind fails it.

struct CDamageRow
{
    const char* what;
    void (*damage)(std::string* zip);
};

void FlipDeflatedByte(std::string* zip)
{
    // The middle of the one large entry's data: far from every header.
    (*zip)[zip->size() / 2] ^= 0x55;
}
void Truncate(std::string* zip) { zip->resize(zip->size() - 30); }
void CutInHalf(std::string* zip) { zip->resize(zip->size() / 2); }
void NotAZip(std::string* zip) { *zip = "just text, no archive\r\n"; }
void CentralCrcChanged(std::string* zip)
{
    size_t record = zip->rfind(std::string("PK\x01\x02", 4));
    (*zip)[record + 16] ^= 0x01;
}
void LocalNameChanged(std::string* zip) { (*zip)[30] ^= 0x20; }

void PrintTo(const CDamageRow& row, std::ostream* out) { *out << row.what; }

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
    EXPECT_FALSE(TessikZipCheckArchive(archive.c_str(), CHECKARCHIVE_FULLCRC)) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Rows, ZipCheckTest,
                         ::testing::Values(CDamageRow{"a byte of deflated data flipped", FlipDeflatedByte},
                                           CDamageRow{"the end record cut off", Truncate},
                                           CDamageRow{"cut in half", CutInHalf},
                                           CDamageRow{"no ZIP at all", NotAZip},
                                           CDamageRow{"a central CRC changed", CentralCrcChanged},
                                           CDamageRow{"a local name changed", LocalNameChanged}));

}  // namespace
