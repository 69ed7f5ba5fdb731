// Jobs whose names lie beyond Shift_JIS against the stand-in archivers: the
// DLL's UTF-8 mode switched on for them alone, the command line and list
// files in UTF-8, and the bytes of an all-Shift_JIS job unchanged.
#include "job/JobRun.h"
#include "job/JobResult.h"
#include "archivers/formats/FormatRegistry.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/support/ScriptedJobCallback.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

namespace {

const char kOptions7z[] = "-mx=5 -ms=on -mf=on -mhc=on -mhcf=on -mhe=off -m0=LZMA ";
const std::vector<std::wstring> kShiftJisTree = {L"表.txt", L"ソ.txt", L"sub\\a.txt"};

// What one job must send: its text form, the output path, the two base
// folders (the tree's parent, then the single file's folder) and the list
// files the journal names.
struct CSent
{
    bool utf8;
    std::string output;
    std::string bases[2];
    std::vector<std::string> lists;
    std::vector<std::string> treeNames;  // relative to the first base folder
    std::string singleName;              // relative to the second
};

// 7-Zip alone needs a switch to read its list files as UTF-8.
std::string LinePerBaseFolder(const CSent& s, const std::string& head, const char* listPrefix, bool sevenZip)
{
    std::string line = head + (s.utf8 && sevenZip ? "-scsUTF-8 " : "") + "\"" + s.output + "\" ";
    for (size_t i = 0; i < 2 && i < s.lists.size(); ++i)
        line += "\"" + s.bases[i] + "\\\" " + listPrefix + "\"@" + s.lists[i] + "\" ";
    return line;
}

std::vector<std::string> LinesPerBaseFolder(const CSent& s)
{
    std::vector<std::string> lines;
    for (const std::string& name : s.treeNames)
        lines.push_back("\"" + name + "\"\r\n");
    lines.push_back("\"" + s.singleName + "\"\r\n");
    return lines;
}

std::vector<std::string> PairLines(const CSent& s, const char* tail)
{
    std::vector<std::string> lines;
    for (const std::string& name : s.treeNames)
        lines.push_back("\"" + s.bases[0] + "\\\" \"" + name + "\"" + tail + "\r\n");
    lines.push_back("\"" + s.bases[1] + "\\\" \"" + s.singleName + "\"" + tail + "\r\n");
    return lines;
}

struct CFormatCase
{
    int id;
    const char* dll;
    const char* entry;
    const char* extension;
    std::string (*line)(const CSent&);
    std::vector<std::string> (*listLines)(const CSent&);
};

const CFormatCase kFormats[] = {
    {0, "7-Zip32.dll", "SevenZip", ".7z",
     [](const CSent& s) { return LinePerBaseFolder(s, std::string("a -t7z ") + kOptions7z, "-ir-", true); },
     LinesPerBaseFolder},
    {2, "7-Zip32.dll", "SevenZip", ".zip",
     [](const CSent& s) { return LinePerBaseFolder(s, "a -tzip -mx=5 -mm=Deflate -mfb=32 -mpass=1 ", "-ir-", true); },
     LinesPerBaseFolder},
    {4, "Cab32.dll", "Cab", ".cab", [](const CSent& s) { return LinePerBaseFolder(s, "-a -mz ", "", false); },
     LinesPerBaseFolder},
    {6, "Unlha32.dll", "Unlha", ".lzh",
     [](const CSent& s) { return "a -jm2 -a1 \"" + s.output + "\" \"@" + s.lists[0] + "\""; },
     [](const CSent& s) { return PairLines(s, " -x1"); }},
    {8, "Zip32j.dll", "Zip", ".zip",
     [](const CSent& s) { return "-6 -S \"" + s.output + "\" \"@" + s.lists[0] + "\""; },
     [](const CSent& s) { return PairLines(s, ""); }},
};

// The calls in order, the reading back of the archive (its listing and
// check calls) as one "read back".
std::vector<std::string> Entries(const std::vector<CStandInCall>& calls)
{
    std::vector<std::string> entries;
    for (const CStandInCall& call : calls)
    {
        bool readBack = false;
        for (const char* entry : {"OpenArchive", "FindFirst", "FindNext", "GetOriginalSizeEx", "CloseArchive",
                                  "CheckArchive"})
            readBack = readBack || call.entry.find(entry) != std::string::npos;
        std::string name = readBack ? "read back" : call.entry;
        if (readBack && !entries.empty() && entries.back() == name)
            continue;
        entries.push_back(name + (call.line.size() == 1 && !readBack ? "(" + call.line + ")" : std::string()));
    }
    return entries;
}

}  // namespace

class UnicodeNames : public ::testing::Test
{
protected:
    UnicodeNames() : standIns(kAllStandIns)
    {
        for (const char* dll : {"7-Zip32.dll", "Cab32.dll", "Unlha32.dll", "Zip32j.dll"})
            standIns.Script(dll, "create=archive\n");
        standIns.Register();
        root = Widen(data.Path());
    }

    CStandInFormats standIns;
    CTestFolder data;
    std::wstring root;
};

// Every format, once with names that all have a Shift_JIS form and once with
// names beyond it: the first sends today's bytes and never touches the mode,
// the second switches it on around its one command, in UTF-8 throughout.
TEST_F(UnicodeNames, CommandLineAndListFilesAreUtf8OnlyWhenANameNeedsIt)
{
    for (bool utf8 : {false, true})
    {
        for (const CFormatCase& format : kFormats)
        {
            SCOPED_TRACE(std::string(format.dll) + " id " + std::to_string(format.id) + (utf8 ? " utf8" : " ansi"));
            CTestFolder folder;
            std::wstring base = Widen(folder.Path());
            std::wstring tree = utf8 ? L"트리" : L"ツリー";
            std::wstring single = utf8 ? L"폴더" : L"フォルダ";
            std::vector<std::wstring> names;
            if (utf8)
            {
                WriteUnicodeTree(base + L"\\" + tree);
                for (const CUnicodeTreeFile& file : kUnicodeTree)
                    names.push_back(file.relative);
            }
            else
            {
                for (const std::wstring& name : kShiftJisTree)
                    WriteWideFile(base + L"\\" + tree + L"\\" + name, "x");
                names = kShiftJisTree;
            }
            WriteWideFile(base + L"\\" + single + L"\\b.txt", "b");
            std::string output = folder.Path() + "\\出力\\x" + format.extension;
            standIns.ResetJournal(format.dll);

            CScriptedJobCallback callback;
            CCompressJob job = MakeJob(format.id, output);
            ASSERT_EQ(kJobSucceeded, RunJob(&job, {base + L"\\" + tree, base + L"\\" + single + L"\\b.txt"}, callback));

            auto text = [utf8](const std::wstring& wide) { return utf8 ? Utf8Of(wide) : Narrow(wide); };
            std::vector<CStandInCall> calls = ReadStandInJournal(standIns.Folder(), format.dll);
            std::string set = std::string(format.entry) + "SetUnicodeMode";
            // The archive is read back in the mode of its run; Zip32j.dll
            // lists nothing (the job reads a ZIP's directory itself).
            std::vector<std::string> run = {format.entry};
            if (format.id != 8)
                run.push_back("read back");
            std::vector<std::string> expectedEntries = run;
            if (utf8)
            {
                expectedEntries = {set + "(1)"};
                expectedEntries.insert(expectedEntries.end(), run.begin(), run.end());
                expectedEntries.push_back(set + "(0)");
            }
            EXPECT_EQ(expectedEntries, Entries(calls));
            std::vector<CStandInCall> commands = CallsOf(calls, format.entry);
            ASSERT_EQ(1u, commands.size());
            CSent sent{utf8, text(Widen(output)), {text(base), text(base + L"\\" + single)}, {}, {}, "b.txt"};
            for (const CStandInList& list : commands[0].lists)
                sent.lists.push_back(list.path);
            for (const std::wstring& name : names)
                sent.treeNames.push_back(text(tree + L"\\" + name));
            ASSERT_FALSE(sent.lists.empty());
            EXPECT_EQ(format.line(sent), commands[0].line);
            std::string listBytes;
            for (const CStandInList& list : commands[0].lists)
                listBytes += list.bytes;
            std::vector<std::string> expected = format.listLines(sent);
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(expected, SortedLines(listBytes));
            EXPECT_TRUE(FileExists(output));
        }
    }
}

TEST_F(UnicodeNames, ModeIsOffAgainAfterAFailedACancelledAndARefusedRun)
{
    WriteUnicodeTree(root + L"\\tree");
    const struct
    {
        const char* script;
        int result;
        std::vector<std::string> entries;
    } cases[] = {
        {"result=1\noutput=broken\n", kJobArchiverFailed,
         {"SevenZipSetUnicodeMode(1)", "SevenZip", "SevenZipSetUnicodeMode(0)"}},
        {"result=32800\n", kJobArchiverFailed, {"SevenZipSetUnicodeMode(1)", "SevenZip", "SevenZipSetUnicodeMode(0)"}},
        // A DLL that does not take the mode gets no command it would misread.
        {"unicode=0\n", kJobUnicodeModeRefused, {"SevenZipSetUnicodeMode(1)"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.script);
        standIns.Script("7-Zip32.dll", c.script);
        standIns.ResetJournal("7-Zip32.dll");
        CScriptedJobCallback callback;
        CCompressJob job = MakeJob(0, data / "out.7z");
        EXPECT_EQ(c.result, RunJob(&job, {root + L"\\tree"}, callback));
        EXPECT_EQ(c.entries, Entries(ReadStandInJournal(standIns.Folder(), "7-Zip32.dll")));
        EXPECT_FALSE(FileExists(data / "out.7z"));
        ASSERT_FALSE(callback.events.empty());
    }
}

TEST_F(UnicodeNames, ZipPasswordBeyondAsciiIsRefusedInTheMode7zPasswordIsSentInUtf8)
{
    WriteUnicodeTree(root + L"\\tree");
    for (int id : {2, 8})
    {
        CScriptedJobCallback callback;
        callback.passwords = {"秘密"};
        CCompressJob job = MakeJob(id, data / "out.zip");
        job.UsePassword = true;
        EXPECT_EQ(kJobPasswordNotAscii, RunJob(&job, {root + L"\\tree"}, callback)) << id;
        ASSERT_EQ(2u, callback.events.size());
        EXPECT_EQ("fail: PasswordNotAscii", callback.events[1]);
    }
    EXPECT_TRUE(standIns.Calls("Zip32j.dll", "Zip").empty());
    EXPECT_TRUE(standIns.Calls("Zip32j.dll", "ZipSetUnicodeMode").empty());
    EXPECT_TRUE(CallsOf(ReadStandInJournal(standIns.Folder(), "7-Zip32.dll"), "SevenZip").empty());

    // An ASCII one goes through as it is.
    CScriptedJobCallback ascii;
    ascii.passwords = {"pw"};
    CCompressJob zip = MakeJob(8, data / "out.zip");
    zip.UsePassword = true;
    EXPECT_EQ(kJobSucceeded, RunJob(&zip, {root + L"\\tree"}, ascii));
    std::vector<CStandInCall> zipCalls = standIns.Calls("Zip32j.dll", "Zip");
    ASSERT_EQ(1u, zipCalls.size());
    EXPECT_EQ(0u, zipCalls[0].line.find("-6 -S -P \"pw\" "));

    CScriptedJobCallback typed;
    typed.passwords = {"秘密"};
    CCompressJob sevenZip = MakeJob(0, data / "out.7z");
    sevenZip.UsePassword = true;
    EXPECT_EQ(kJobSucceeded, RunJob(&sevenZip, {root + L"\\tree"}, typed));
    std::vector<CStandInCall> calls = standIns.Calls("7-Zip32.dll", "SevenZip");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(0u, calls[0].line.find("a -t7z \"-p" + Utf8Of(L"秘密") + "\" ")) << calls[0].line;
}

// A DLL without the mode: today's refusal, with the real names, this
// format's name and the formats that can store them.
TEST(UnicodeNamesWithoutTheMode, RefusalNamesTheFilesAndTheFormatsThatCan)
{
    CStandInFormats plain({"7-Zip32.dll", "Zip32j.dll", "zip32.dll", "Cab32.dll", "Unlha32.dll"}, "no-SetUnicodeMode");
    plain.Register();
    CTestFolder data;
    std::wstring root = Widen(data.Path());
    WriteUnicodeTree(root + L"\\tree");
    CScriptedJobCallback callback;
    CCompressJob job = MakeJob(0, data / "out.7z");
    EXPECT_EQ(kJobUnnamableFiles, RunJob(&job, {root + L"\\tree"}, callback));
    ASSERT_EQ(1u, callback.events.size());
    const std::vector<std::wstring>& names = callback.unnamable.names;
    for (const CUnicodeTreeFile& file : kUnicodeTree)
    {
        bool needsMode = file.relative == L"한국어.txt" || file.relative == L"Ελληνικά.txt" ||
                         file.relative == L"Café.txt" || file.relative == L"x\U0001F600.txt";
        EXPECT_EQ(needsMode ? 1 : 0, std::count(names.begin(), names.end(), root + L"\\tree\\" + file.relative))
            << Utf8Of(file.relative);
    }
    EXPECT_EQ("7-Zip32.dll　-　7Z書庫(*.7z)", callback.unnamable.format);
    EXPECT_TRUE(callback.unnamable.formats.empty());
    EXPECT_TRUE(CallsOf(ReadStandInJournal(plain.Folder(), "7-Zip32.dll"), "SevenZip").empty());

    // With the mode offered by the other DLLs, the message names their formats.
    CTestFolder mixed;
    InstallStandIns(mixed.Path(), {"7-Zip32.dll"}, "no-SetUnicodeMode");
    InstallStandIns(mixed.Path(), {"Cab32.dll", "Zip32j.dll", "zip32.dll"});
    DestroyAllFormats();
    SetDllDirectoryA(mixed.Path().c_str());
    plain.Register();
    CScriptedJobCallback named;
    CCompressJob again = MakeJob(0, data / "out.7z");
    EXPECT_EQ(kJobUnnamableFiles, RunJob(&again, {root + L"\\tree"}, named));
    ASSERT_EQ(1u, named.events.size());
    EXPECT_EQ((std::vector<std::string>{"Cab32.dll　-　CAB書庫(*.cab)", "Zip32j.dll　-　ZIP書庫(*.zip)"}),
              named.unnamable.formats);
}
