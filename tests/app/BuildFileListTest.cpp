// The job's list step: the builder's list around the walk, and the messages it ends with.
#include "tests/support/DialogJob.h"
#include "job/InputList.h"
#include "job/JobResult.h"
#include "archivers/formats/Arc7Zip.h"
#include "archivers/formats/FormatRegistry.h"
#include "tests/app/JobFixture.h"

#include <gtest/gtest.h>

class FileListStep : public ::testing::Test
{
protected:
    CArc7Zip* SevenZip() { return dynamic_cast<CArc7Zip*>(FindFormat(0)); }

    CJobFixture f;
};

TEST_F(FileListStep, NothingToPackIsReportedAfterTheListIsClosed)
{
    f.data.MakeFolder("only\\empty\\folders");
    g_testInputs = {f.data / "only"};
    CCompressJob job = MakeJob(0, f.data / "out.7z");
    CDialogScript script({Press(kErrorBox, IDOK)});
    EXPECT_EQ(kJobNoFiles, BuildDialogFileList(f.owner, &job));
    const auto& seen = script.Finish();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("圧縮するファイルがありません", seen[0].window.MessageText());
    EXPECT_EQ(f.owner, seen[0].owner);
}

TEST_F(FileListStep, BuilderThatCannotBeginEndsTheWalkSilently)
{
    g_testInputs = {f.data.WriteFile("a.txt", "a")};
    CTempFolderOverride temp(f.data / "no-temp");
    CCompressJob job = MakeJob(6, f.data / "out.lzh");
    CDialogScript script;
    EXPECT_EQ(kJobListRefused, BuildDialogFileList(f.owner, &job));
    EXPECT_TRUE(script.Finish().empty());
}
