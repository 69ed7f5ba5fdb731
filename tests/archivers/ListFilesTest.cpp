// List files are the file list: their names, their bytes and their removal
// after the job, for both schemes.
#include "archivers/formats/ArcCab.h"
#include "archivers/formats/ArcLha.h"
#include "archivers/formats/ArcZip.h"
#include "archivers/formats/FormatRegistry.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <ctype.h>

namespace {

// "<temporary folder>\res" + eight lower-case hexadecimal digits + ".tmp".
bool IsListFileName(const std::string& path, const std::string& folder)
{
    std::string prefix = folder + "\\res";
    if (path.size() != prefix.size() + 12 || path.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (size_t i = prefix.size(); i < prefix.size() + 8; ++i)
        if (!isxdigit(static_cast<unsigned char>(path[i])) || isupper(static_cast<unsigned char>(path[i])))
            return false;
    return path.compare(path.size() - 4, 4, ".tmp") == 0;
}

}  // namespace

TEST(ListFiles, PerBaseSchemeKeepsOneFilePerBaseAcrossInterleavedCalls)
{
    CStandInFormats standIns(kAllStandIns);
    standIns.Register();
    CArcCab* arc = dynamic_cast<CArcCab*>(FindFormat(4));
    ASSERT_NE(nullptr, arc);
    CCompressJob job = MakeJob(4, "C:\\out\\x.cab");
    ASSERT_EQ(1, arc->BeginList(&job));
    EXPECT_EQ(&job, arc->GetJob());
    EXPECT_EQ(1, arc->AddFile("D:\\y\\1.txt", "D:"));
    EXPECT_EQ(1, arc->AddFile("C:\\a\\x\\2.txt", "C:\\a"));
    EXPECT_EQ(1, arc->AddFile("D:\\y\\z\\3.txt", "D:"));
    arc->EndList();

    const CBaseFolderListFiles::CMap& lists = arc->ListFiles();
    ASSERT_EQ(2u, lists.size());
    EXPECT_EQ("C:\\a", lists.begin()->first);
    std::string forC = lists.at("C:\\a");
    std::string forD = lists.at("D:");
    EXPECT_TRUE(IsListFileName(forC, TempFolderPath())) << forC;
    EXPECT_TRUE(IsListFileName(forD, TempFolderPath())) << forD;
    EXPECT_EQ("\"x\\2.txt\"\r\n", ReadFileBytes(forC));
    EXPECT_EQ("\"y\\1.txt\"\r\n\"y\\z\\3.txt\"\r\n", ReadFileBytes(forD));

    arc->Cleanup();
    EXPECT_FALSE(FileExists(forC));
    EXPECT_FALSE(FileExists(forD));

    // The next job starts with an empty map.
    ASSERT_EQ(1, arc->BeginList(&job));
    EXPECT_TRUE(arc->ListFiles().empty());
    arc->EndList();
    arc->Cleanup();
}

TEST(ListFiles, SingleFileSchemeWritesEachBuilderLineFormat)
{
    CStandInFormats standIns(kAllStandIns);
    standIns.Register();
    struct
    {
        int id;
        const char* bytes;
    } cases[] = {
        {6, "\"C:\\data\\\" \"docs\\a.txt\" -x1\r\n\"E:\\\" \"表\\ソ.txt\" -x1\r\n"},
        {8, "\"C:\\data\\\" \"docs\\a.txt\"\r\n\"E:\\\" \"表\\ソ.txt\"\r\n"},
        {9, "\"C:\\data\\\" \"docs\\a.txt\"\r\n\"E:\\\" \"表\\ソ.txt\"\r\n"},
    };
    for (const auto& c : cases)
    {
        CArc* arc = FindFormat(c.id);
        CCompressJob job = MakeJob(c.id, "C:\\out\\x");
        ASSERT_EQ(1, arc->BeginList(&job)) << c.id;
        EXPECT_EQ(1, arc->AddFile("C:\\data\\docs\\a.txt", "C:\\data"));
        EXPECT_EQ(1, arc->AddFile("E:\\表\\ソ.txt", "E:"));
        arc->EndList();
        std::string list = c.id == 6 ? dynamic_cast<CArcLha*>(arc)->ListFile() : dynamic_cast<CArcZip*>(arc)->ListFile();
        EXPECT_TRUE(IsListFileName(list, TempFolderPath())) << list;
        EXPECT_EQ(c.bytes, ReadFileBytes(list)) << c.id;
        arc->Cleanup();
        EXPECT_FALSE(FileExists(list)) << c.id;
    }
}

TEST(ListFiles, UnwritableTemporaryFolderIsReported)
{
    CStandInFormats standIns(kAllStandIns);
    standIns.Register();
    CTestFolder folder;
    CTempFolderOverride temp(folder / "missing");

    CCompressJob job = MakeJob(6, "C:\\out\\x.lzh");
    EXPECT_EQ(0, FindFormat(6)->BeginList(&job));
    FindFormat(6)->Cleanup();

    // The per-base scheme cannot refuse to begin; the file it cannot write is
    // reported by AddFile instead of being left out silently.
    CArc* arc = FindFormat(0);
    ASSERT_EQ(1, arc->BeginList(&job));
    EXPECT_EQ(0, arc->AddFile("C:\\a\\b.txt", "C:\\a"));
    EXPECT_EQ(0, arc->AddFile("C:\\a\\c.txt", "C:\\a"));
    arc->EndList();
    arc->Cleanup();
}
