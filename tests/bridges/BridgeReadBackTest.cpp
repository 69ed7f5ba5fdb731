// Jobs read back through the bridges, in the test's process: an honest run in
// every real format replaces the old archive, and a 7z or a ZIP of our own
// damaged between the run and the read back fails its check with the old
// archive back.
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
        std::string bytes = ReadFileBytes(archive);
        size_t at = PackedDataAt(bytes) + 4;
        if (at < bytes.size())
        {
            bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
            WriteFileBytes(archive, bytes);
        }
    }

private:
    // A 7z's packed streams follow its 32-byte signature header; a ZIP's
    // first entry's data follows its local header, name and extra field.
    static size_t PackedDataAt(const std::string& bytes)
    {
        if (bytes.compare(0, 4, "PK\x03\x04") != 0 || bytes.size() < 30)
            return 32;
        auto get16 = [&bytes](size_t at) {
            return size_t(static_cast<unsigned char>(bytes[at])) | size_t(static_cast<unsigned char>(bytes[at + 1])) << 8;
        };
        return 30 + get16(26) + get16(28);
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
    } formats[] = {{0, ".7z"}, {2, ".zip"}, {3, ".zip"}, {4, ".cab"}, {6, ".lzh"}, {8, ".zip"}};
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

TEST_F(BridgeReadBack, AnArchiveDamagedBeforeItsReadBackFailsTheCheck)
{
    struct
    {
        int id;
        const char* name;
    } formats[] = {{0, "x.7z"}, {3, "x.zip"}};  // 7-Zip32.dll's 7z, our own ZIP
    for (const auto& format : formats)
    {
        std::string output = data / format.name;
        WriteFileBytes(output, "OLD");
        CDamagingCallback callback;
        callback.archive = output;
        CCompressJob job = MakeBridgeJob(format.id, output);
        EXPECT_EQ(kJobReadBackFailed, RunJob(&job, {Widen(data / "in")}, callback)) << format.name;
        EXPECT_TRUE(callback.readBack.damaged) << format.name;
        EXPECT_EQ("OLD", ReadFileBytes(output)) << format.name;
    }
}
