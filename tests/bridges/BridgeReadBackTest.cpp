// Jobs read back through the bridges, in the test's process: an honest run in
// every real format replaces the old archive, and a 7z damaged between the
// run and the read back fails its check with the old archive back.
#include "archivers/formats/FormatRegistry.h"
#include "job/JobResult.h"
#include "job/JobRun.h"
#include "tests/support/BridgeFolder.h"
#include "tests/support/ScriptedJobCallback.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

namespace {

// Flips one byte of the packed data once the archiver has returned: after the
// run, before the job reads the archive back.
class CDamagingCallback : public CScriptedJobCallback
{
public:
    std::string archive;

    void ArchiverReturned(int code) override
    {
        CScriptedJobCallback::ArchiverReturned(code);
        // A 7z's packed streams follow its 32-byte signature header.
        std::string bytes = ReadFileBytes(archive);
        if (bytes.size() > 40)
        {
            bytes[36] = static_cast<char>(bytes[36] ^ 0x55);
            WriteFileBytes(archive, bytes);
        }
    }
};

CCompressJob MakeBridgeJob(int formatId, const std::string& output)
{
    CCompressJob job;
    job.Setting.DefaultArcType = formatId;
    job.Setting.OverWriteAction = kOverwriteAlways;
    job.Setting.StatusDialog = false;
    job.OutputFile = output;
    return job;
}

}  // namespace

class BridgeReadBack : public ::testing::Test
{
protected:
    BridgeReadBack()
    {
        data.WriteFile("in\\a.txt", std::string(5000, 'a'));
        data.WriteFile("in\\sub\\表.txt", "hyou");
        data.WriteFile("in\\sub\\b.bin", std::string("\x00\x01\x02", 3));
        RegisterAllFormats();
    }

    CBridgeFolder bridges;
    CTestFolder data;
};

TEST_F(BridgeReadBack, AnHonestRunInEveryFormatIsReadBackAndReplacesTheOldArchive)
{
    struct
    {
        int id;
        const char* extension;
    } formats[] = {{0, ".7z"}, {2, ".zip"}, {4, ".cab"}, {6, ".lzh"}, {8, ".zip"}};
    for (const auto& format : formats)
    {
        std::string output = data / ("x" + std::to_string(format.id) + format.extension);
        WriteFileBytes(output, "OLD");
        ASSERT_NE(nullptr, FindFormat(format.id)) << format.id;
        CScriptedJobCallback callback;
        CCompressJob job = MakeBridgeJob(format.id, output);
        job.Setting.AllwaysResult = true;
        EXPECT_EQ(kJobSucceeded, RunJob(&job, {Widen(data / "in")}, callback)) << format.id;
        EXPECT_EQ(std::vector<std::string>{"result: 0"}, callback.events) << format.id;
        // Listed and checked in full: nothing it could not look at.
        EXPECT_TRUE(callback.readBack.ran) << format.id;
        EXPECT_TRUE(callback.readBack.notes.empty()) << format.id;
        EXPECT_NE("OLD", ReadFileBytes(output)) << format.id;
        EXPECT_TRUE(FilesMatching(data.Path(), "tessik*.tmp").empty()) << format.id;
    }
}

TEST_F(BridgeReadBack, A7zDamagedBeforeItsReadBackFailsTheCheck)
{
    std::string output = data / "x.7z";
    WriteFileBytes(output, "OLD");
    CDamagingCallback callback;
    callback.archive = output;
    CCompressJob job = MakeBridgeJob(0, output);
    EXPECT_EQ(kJobReadBackFailed, RunJob(&job, {Widen(data / "in")}, callback));
    EXPECT_TRUE(callback.readBack.damaged);
    EXPECT_EQ("OLD", ReadFileBytes(output));
}
