// The walk from the input list to the builder's list files.
#include "app/InputList.h"
#include "app/JobResult.h"
#include "archivers/Arc7Zip.h"
#include "archivers/FormatRegistry.h"
#include "filters/FileList.h"
#include "tests/app/JobFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The lines of a list file, sorted: the file system decides the order inside a folder.
std::vector<std::string> SortedLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size())
    {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace

class FileList : public ::testing::Test
{
protected:
    CArc7Zip* SevenZip() { return dynamic_cast<CArc7Zip*>(FindFormat(0)); }

    CJobFixture f;
};

TEST_F(FileList, EveryFileIsHandedWithTheBaseFolderOfItsInputEntry)
{
    f.data.WriteFile("a\\b\\c.txt", "c");
    std::string hidden = f.data.WriteFile("a\\d.txt", "d");
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    f.data.MakeFolder("a\\empty\\deeper");
    std::string single = f.data.WriteFile("x.txt", "x");
    std::string trail = f.data.WriteFile("表\\ソ.txt", "s");
    g_inputList = {f.data / "a", single, f.data / "missing", single, "", trail};
    CCompressJob job = MakeJob(0, f.data / "out.7z");

    std::vector<CDialogScript::CSeen> seen;
    {
        CDialogScript script;
        EXPECT_EQ(kJobSucceeded, BuildFileList(&job, f.owner));
        seen = script.Finish();
    }
    EXPECT_TRUE(seen.empty());
    const CBaseFolderListFiles::CMap& lists = SevenZip()->ListFiles();
    ASSERT_EQ(2u, lists.size());
    EXPECT_EQ((std::vector<std::string>{"\"a\\b\\c.txt\"", "\"a\\d.txt\"", "\"x.txt\"", "\"x.txt\""}),
              SortedLines(ReadFileBytes(lists.at(f.data.Path()))));
    EXPECT_EQ("\"ソ.txt\"\r\n", ReadFileBytes(lists.at(f.data / "表")));
    SevenZip()->Cleanup();
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);

    SevenZip()->BeginList(&job);
    EXPECT_EQ(2, AddFolderFiles(SevenZip(), (f.data / "a").c_str(), f.data.Path().c_str()));
    EXPECT_EQ(0, AddFolderFiles(SevenZip(), (f.data / "a\\empty").c_str(), f.data.Path().c_str()));
    EXPECT_EQ(0, AddFolderFiles(SevenZip(), (f.data / "missing").c_str(), f.data.Path().c_str()));
    SevenZip()->EndList();
    SevenZip()->Cleanup();
}

TEST_F(FileList, FolderIsWalkedDepthFirst)
{
    // One entry per folder level, so the order does not depend on the file system.
    f.data.WriteFile("top\\1\\2\\3\\deep.txt", "");
    g_inputList = {f.data / "top"};
    CCompressJob job = MakeJob(0, f.data / "out.7z");
    EXPECT_EQ(kJobSucceeded, BuildFileList(&job, f.owner));
    EXPECT_EQ("\"top\\1\\2\\3\\deep.txt\"\r\n", ReadFileBytes(SevenZip()->ListFiles().at(f.data.Path())));
    SevenZip()->Cleanup();
}

TEST_F(FileList, NothingToPackIsReportedAfterTheListIsClosed)
{
    f.data.MakeFolder("only\\empty\\folders");
    g_inputList = {f.data / "only"};
    CCompressJob job = MakeJob(0, f.data / "out.7z");
    CDialogScript script({Press(kErrorBox, IDOK)});
    EXPECT_EQ(kJobNoFiles, BuildFileList(&job, f.owner));
    const auto& seen = script.Finish();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("圧縮するファイルがありません", seen[0].window.MessageText());
    EXPECT_EQ(f.owner, seen[0].owner);
}

TEST_F(FileList, BuilderThatCannotBeginEndsTheWalkSilently)
{
    g_inputList = {f.data.WriteFile("a.txt", "a")};
    CTempFolderOverride temp(f.data / "no-temp");
    CCompressJob job = MakeJob(6, f.data / "out.lzh");
    CDialogScript script;
    EXPECT_EQ(kJobListRefused, BuildFileList(&job, f.owner));
    EXPECT_TRUE(script.Finish().empty());
}
