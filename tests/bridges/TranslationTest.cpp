// Command lines as the format builders write them, with their list files on
// disk, and the host tool runs the bridges make of them.
#include "bridges/core/BridgeDll.h"
#include "bridges/core/BridgeText.h"
#include "bridges/core/CommandLine.h"
#include "bridges/core/HostPlan.h"
#include "bridges/core/HostSession.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// "tool a1 a2 ... @work [names]" with each argument tagged by its kind.
std::string Render(const CHostRun& run)
{
    std::string text = run.tool;
    for (const CHostArg& arg : run.args)
    {
        switch (arg.kind)
        {
        case CHostArg::kText: text += " " + arg.prefix + arg.value; break;
        case CHostArg::kPath: text += " path:" + arg.prefix + arg.value; break;
        case CHostArg::kTool: text += " tool:" + arg.value; break;
        case CHostArg::kNameList: text += " list:" + arg.prefix; break;
        case CHostArg::kBytes: text += " bytes:" + arg.value; break;
        }
    }
    text += " @" + run.workFolder + (run.namesOnStdin ? " <" : " [");
    for (size_t i = 0; i < run.names.size(); ++i)
        text += (i ? "," : "") + run.names[i].relative;
    return text + (run.linkLines ? " links" : "") + (run.dotSlashDash ? " ./-" : "") +
           (run.secret.empty() ? "" : " secret:" + run.secret);
}

struct CCase
{
    std::string line;  // "{L0}", "{L1}" stand for the list files
    std::vector<std::string> lists;
    int refusal;
    std::vector<std::string> runs;  // rendered, with "{L0}" too
    bool showProgress;
};

class Translation : public ::testing::Test
{
protected:
    std::string Fill(std::string text)
    {
        for (size_t i = 0; i < 3; ++i)
        {
            std::string key = "{L" + std::to_string(i) + "}";
            for (size_t at; (at = text.find(key)) != std::string::npos;)
                text.replace(at, key.size(), m_folder / ("res" + std::to_string(i) + ".tmp"));
        }
        return text;
    }

    void Check(const std::vector<CCase>& cases, void (*translate)(const std::string&, CHostPlan*))
    {
        for (const CCase& c : cases)
        {
            for (size_t i = 0; i < c.lists.size(); ++i)
                m_folder.WriteFile("res" + std::to_string(i) + ".tmp", c.lists[i]);
            CHostPlan plan;
            translate(Fill(c.line), &plan);
            EXPECT_EQ(c.refusal, plan.refusal) << c.line << "\n" << plan.message;
            if (c.refusal != kArchiverResultOk)
                EXPECT_FALSE(plan.message.empty()) << c.line;
            std::vector<std::string> rendered;
            for (const CHostRun& run : plan.runs)
                rendered.push_back(Render(run));
            std::vector<std::string> expected;
            for (const std::string& run : c.runs)
                expected.push_back(Fill(run));
            EXPECT_EQ(expected, rendered) << c.line;
            if (c.refusal == kArchiverResultOk)
                EXPECT_EQ(c.showProgress, plan.showProgress) << c.line;
        }
    }

    CTestFolder m_folder;
};

// count lines of 30 half-width katakana and ".txt".
std::string LongKatakanaList(size_t count)
{
    std::string list;
    for (size_t i = 0; i < count; ++i)
    {
        std::string name(30, '\xB6');  // ｶ
        name += std::to_string(i) + ".txt";
        list += "\"" + name + "\"\r\n";
    }
    return list;
}

const char kSevenZipTail[] = " -scsUTF-8 -sccUTF-8 -bso1 -bse1 -bsp1 -y path:C:\\o\\a.7z list:-ir-@";

}  // namespace

TEST(CommandLineWords, QuotesSpacesAndBrokenQuoting)
{
    struct
    {
        std::string line;
        bool ok;
        std::vector<std::string> words;
    } cases[] = {
        {"a -t7z \"C:\\o\\a b.7z\" ", true, {"a", "-t7z", "C:\\o\\a b.7z"}},
        {"\"C:\\d\\\" -ir-\"@C:\\t\\r.tmp\"", true, {"C:\\d\\", "-ir-@C:\\t\\r.tmp"}},
        {"\"-p\"", true, {"-p"}},
        {"\"\"", true, {""}},
        // A password with a quote in it: the words cannot be told apart.
        {"\"-pa\"b\" x", false, {}},
        {"\"-pa\"b\"c\" x", false, {}},
        {"\"unclosed", false, {}},
        // 表 ends in 0x5C, which must not escape the quote after it.
        {"\"表\" \"ソ\\\"", true, {"表", "ソ\\"}},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> words;
        EXPECT_EQ(c.ok, SplitCommandLine(c.line, &words)) << c.line;
        if (c.ok)
            EXPECT_EQ(c.words, words) << c.line;
    }
}

TEST(CommandLineWords, BaseFolderNeedsARealBackslash)
{
    std::string folder;
    EXPECT_TRUE(TakeBaseFolder("C:\\data\\", &folder));
    EXPECT_EQ("C:\\data", folder);
    EXPECT_TRUE(TakeBaseFolder("C:\\表\\", &folder));
    EXPECT_EQ("C:\\表", folder);
    // "C:\表" ends in the trail byte 0x5C of 表, not in a separator.
    EXPECT_FALSE(TakeBaseFolder("C:\\表", &folder));
    EXPECT_FALSE(TakeBaseFolder("docs", &folder));
}

TEST_F(Translation, SevenZipLines)
{
    const std::string list = "\"a.txt\"\r\n\"docs\\ソ.txt\"\r\n";
    const std::string opts = "-mx=5 -ms=on -mf=on -mhc=on -mhcf=on -mhe=off -m0=LZMA";
    Check({
              {"a -t7z " + opts + " \"C:\\o\\a.7z\" \"C:\\d\\\" -ir-\"@{L0}\" ", {list}, kArchiverResultOk,
               {"7zz a -t7z " + opts + kSevenZipTail + " @C:\\d [a.txt,docs\\ソ.txt"}, true},
              // Two base folders: a staging folder, one run; the password on
              // standard input.
              {"a -t7z -hide \"-p表 x\" -mx=9 \"C:\\o\\a.7z\" \"C:\\a\\\" -ir-\"@{L0}\" \"D:\\\" -ir-\"@{L1}\" ",
               {"\"1.txt\"\r\n", "\"2.txt\"\r\n"}, kArchiverResultOk,
               {std::string("sh -c ") + kLinkScript + " sh @ <1.txt,2.txt links",
                "7zz a -t7z -mx=9 -p" + std::string(kSevenZipTail) + " @ [1.txt,2.txt secret:表 x"},
               false},
              {"a -tzip -mx=5 -mm=Deflate -mfb=32 -mpass=1 \"C:\\o\\a.7z\" \"C:\\d\\\" -ir-\"@{L0}\" ", {list},
               kArchiverResultOk,
               {"7zz a -tzip -mx=5 -mm=Deflate -mfb=32 -mpass=1" + std::string(kSevenZipTail) +
                " @C:\\d [a.txt,docs\\ソ.txt"},
               true},
              {"a -tzip \"-pabc\" \"C:\\o\\a.7z\" \"C:\\d\\\" -ir-\"@{L0}\" ", {list}, kArchiverResultOk,
               {"7zz a -tzip -p" + std::string(kSevenZipTail) + " @C:\\d [a.txt,docs\\ソ.txt secret:abc"}, true},
              // 7zz encrypts ZIP with ASCII passwords only.
              {"a -tzip \"-p表\" \"C:\\o\\a.zip\" \"C:\\d\\\" -ir-\"@{L0}\" ", {list}, kArchiverResultNotSupported, {}, true},
              {"a -t7z -sfx7z.sfx \"C:\\o\\a.exe\" \"C:\\d\\\" -ir-\"@{L0}\" ", {list}, kArchiverResultNotSupported, {},
               true},
              {"a -t7z \"-pa\"b\" x \"C:\\o\\a.7z\" ", {list}, kArchiverResultCommandName, {}, true},
              // A password that would smuggle a switch in: refused, not split.
              {"a -t7z \"-pa\" -sdel \"b\" \"C:\\o\\a.7z\" \"C:\\d\\\" -ir-\"@{L0}\" ", {list}, kArchiverResultCommandName, {},
               true},
              {"x \"C:\\o\\a.7z\" ", {list}, kArchiverResultCommandName, {}, true},
              {"a -t7z \"C:\\o\\a.7z\" \"C:\\d\\\" -ir-\"@{L0}\" ", {""}, kArchiverResultFailed, {}, true},
              {"a -t7z \"C:\\o\\a.7z\" \"C:\\d\\\" -ir-\"@C:\\nowhere\\res.tmp\" ", {}, kArchiverResultFailed, {}, true},
              {"a -t7z \"C:\\o\\a.7z\" \"C:\\d\" -ir-\"@{L0}\" ", {list}, kArchiverResultCommandName, {}, true},
          },
          TranslateSevenZip);
}

TEST_F(Translation, Zip32jLines)
{
    const std::string list = "\"C:\\d\\\" \"a.txt\"\r\n\"C:\\e\\\" \"b.txt\"\r\n\"C:\\d\\\" \"表\\ソ.txt\"\r\n";
    Check({
              // -S has no meaning on the host and is dropped.
              {"-6 -S \"C:\\o\\a.zip\" \"@{L0}\"", {list}, kArchiverResultOk,
               {std::string("sh -c ") + kLinkScript + " sh @ <a.txt,表\\ソ.txt,b.txt links",
                "zip -6 path:C:\\o\\a.zip -@ @ <a.txt,表\\ソ.txt,b.txt ./-"},
               true},
              {"-u -9 -q -S -ll -l -P \"p 表\" \"C:\\o\\a.zip\" \"@{L0}\"", {"\"C:\\d\\\" \"a.txt\"\r\n"}, kArchiverResultOk,
               {"zip -u -9 -q -ll -l -P bytes:p 表 path:C:\\o\\a.zip -@ @C:\\d <a.txt ./-"}, false},
              {"--sfx \"C:\\o\\zp1.zip\"", {}, kArchiverResultNotSupported, {}, true},
              {"-6 -S -x \"C:\\o\\a.zip\" \"@{L0}\"", {list}, kArchiverResultCommandName, {}, true},
              {"-6 -P \"a\"b\" \"C:\\o\\a.zip\" \"@{L0}\"", {list}, kArchiverResultCommandName, {}, true},
              {"-6 \"C:\\o\\a.zip\" \"@{L0}\"", {"\"C:\\d\" \"a.txt\"\r\n"}, kArchiverResultCommandName, {}, true},
          },
          TranslateZip32j);
}

TEST_F(Translation, CabLines)
{
    Check({
              {"-a -mz \"C:\\o\\a.cab\" \"C:\\d\\\" \"@{L0}\" ", {"\"a.txt\"\r\n\"docs\\ソ.txt\"\r\n"}, kArchiverResultOk,
               {"xargs -d \n -s 1500000 tool:gcab -c -z path:C:\\o\\a.cab -- @C:\\d <a.txt,docs\\ソ.txt"}, true},
              {"-a -ms -i \"C:\\o\\a.cab\" \"C:\\d\\\" \"@{L0}\" ", {"\"a.txt\"\r\n"}, kArchiverResultOk,
               {"xargs -d \n -s 1500000 tool:gcab -c path:C:\\o\\a.cab -- @C:\\d <a.txt"}, false},
              // Several base folders: a staging folder of links, one gcab run.
              {"-a -mz \"C:\\o\\a.cab\" \"C:\\a\\\" \"@{L0}\" \"D:\\b\\\" \"@{L1}\" ",
               {"\"x\\1.txt\"\r\n\"x\\2.txt\"\r\n", "\"ソ\\3.txt\"\r\n"}, kArchiverResultOk,
               {std::string("sh -c ") + kLinkScript + " sh @ <x\\1.txt,x\\2.txt,ソ\\3.txt links",
                "xargs -d \n -s 1500000 tool:gcab -c -z path:C:\\o\\a.cab -- @ <x\\1.txt,x\\2.txt,ソ\\3.txt"},
               true},
              // Half-width katakana: 1 byte in Shift_JIS, 3 in UTF-8; the
              // list's real length decides.
              {"-a -mz \"C:\\o\\a.cab\" \"C:\\a\\\" \"@{L0}\" ", {LongKatakanaList(16000)}, kArchiverResultNotSupported, {},
               true},
              {"-a -ml:21 \"C:\\o\\a.cab\" \"C:\\d\\\" \"@{L0}\" ", {"\"a.txt\"\r\n"}, kArchiverResultNotSupported, {}, true},
              {"-a -mz -v:1423 \"C:\\o\\a.cab\" \"C:\\d\\\" \"@{L0}\" ", {"\"a.txt\"\r\n"}, kArchiverResultNotSupported, {},
               true},
              {"-f \"C:\\o\\cb1.cab\" \"C:\\o\\\"", {}, kArchiverResultNotSupported, {}, true},
          },
          TranslateCab);
}

TEST_F(Translation, UnlhaLines)
{
    const std::string list = "\"C:\\d\\\" \"a.txt\" -x1\r\n\"C:\\d\\\" \"表.txt\" -x1\r\n";
    Check({
              {"a -jm2 -a1 \"C:\\o\\a.lzh\" \"@{L0}\"", {list}, kArchiverResultOk,
               {"xargs -d \n -s 1000000 tool:jlha a2yo5 path:C:\\o\\a.lzh @C:\\d <a.txt,表.txt"}, true},
              {"a -n1 -jm4 -a1 \"C:\\o\\a.lzh\" \"@{L0}\"", {list}, kArchiverResultOk,
               {"xargs -d \n -s 1000000 tool:jlha a2yo7 path:C:\\o\\a.lzh @C:\\d <a.txt,表.txt"}, false},
              {"a -jm3 -a1 \"C:\\o\\a.lzh\" \"@{L0}\"", {list}, kArchiverResultOk,
               {"xargs -d \n -s 1000000 tool:jlha a2yo6 path:C:\\o\\a.lzh @C:\\d <a.txt,表.txt"}, true},
              {"s -gw2 -x \"C:\\o\\lh1.lzh\" \"C:\\o\\\"", {}, kArchiverResultNotSupported, {}, true},
              {"a -jm2 -a1 \"C:\\o\\a.lzh\" \"@{L0}\"", {"\"C:\\d\\\" \"a.txt\" -x1\r\n\"E:\\\" \"b.txt\" -x1\r\n"},
               kArchiverResultOk,
               {std::string("sh -c ") + kLinkScript + " sh @ <a.txt,b.txt links",
                "xargs -d \n -s 1000000 tool:jlha a2yo5 path:C:\\o\\a.lzh @ <a.txt,b.txt"},
               true},
              // Without its "-x1" the line is not one the program writes.
              {"a -jm2 -a1 \"C:\\o\\a.lzh\" \"@{L0}\"", {"\"C:\\d\\\" \"a.txt\"\r\n"}, kArchiverResultCommandName, {},
               true},
              {"a -jm2 -gw2 \"C:\\o\\a.lzh\" \"@{L0}\"", {list}, kArchiverResultCommandName, {}, true},
          },
          TranslateUnlha);
}

// Two files that one archive name would hold, compared without regard to
// case, or a file named as another's folder: refused before any run, both
// named. The same file selected twice is kept once.
TEST_F(Translation, SameArchiveNameFromTwoFoldersIsRefusedNamingBoth)
{
    struct
    {
        const char* line;
        void (*translate)(const std::string&, CHostPlan*);
        std::string list0, list1;
    } cases[] = {
        {"a -t7z \"C:\\o\\a.7z\" \"C:\\x\\\" -ir-\"@{L0}\" \"D:\\y\\\" -ir-\"@{L1}\" ", TranslateSevenZip,
         "\"表\\Read.txt\"\r\n", "\"表\\read.TXT\"\r\n"},
        {"-a -mz \"C:\\o\\a.cab\" \"C:\\x\\\" \"@{L0}\" \"D:\\y\\\" \"@{L1}\" ", TranslateCab, "\"表\\Read.txt\"\r\n",
         "\"表\"\r\n"},
        {"-6 \"C:\\o\\a.zip\" \"@{L0}\"", TranslateZip32j, "\"C:\\x\\\" \"表\\Read.txt\"\r\n\"D:\\y\\\" \"表\\read.txt\"\r\n",
         ""},
        {"a -jm2 -a1 \"C:\\o\\a.lzh\" \"@{L0}\"", TranslateUnlha,
         "\"C:\\x\\\" \"表\" -x1\r\n\"D:\\y\\\" \"表\\Read.txt\" -x1\r\n", ""},
    };
    for (const auto& c : cases)
    {
        m_folder.WriteFile("res0.tmp", c.list0);
        m_folder.WriteFile("res1.tmp", c.list1);
        CHostPlan plan;
        c.translate(Fill(c.line), &plan);
        EXPECT_EQ(kArchiverResultFailed, plan.refusal) << c.line;
        EXPECT_TRUE(plan.runs.empty()) << c.line;
        EXPECT_NE(std::string::npos, plan.message.find("C:\\x\\表")) << plan.message;
        EXPECT_NE(std::string::npos, plan.message.find("D:\\y\\表")) << plan.message;
    }
    m_folder.WriteFile("res0.tmp", "\"C:\\x\\\" \"a.txt\"\r\n\"c:\\X\\\" \"a.txt\"\r\n");
    CHostPlan plan;
    TranslateZip32j(Fill("-6 \"C:\\o\\a.zip\" \"@{L0}\""), &plan);
    ASSERT_EQ(kArchiverResultOk, plan.refusal) << plan.message;
    EXPECT_EQ(std::vector<std::string>{"zip -6 path:C:\\o\\a.zip -@ @C:\\x <a.txt ./-"}, std::vector<std::string>{Render(plan.runs[0])});
}

TEST(BridgeText, OutputIsCutAtAWholeCharacterAndTerminated)
{
    char buffer[8];
    memset(buffer, 'X', sizeof(buffer));
    CopyToOutput("abc表表", buffer, 7);  // 3 + 2 + 2 bytes: the second 表 needs the terminator's place
    EXPECT_STREQ("abc表", buffer);
    EXPECT_EQ('X', buffer[7]);
    CopyToOutput("ab", buffer, 1);
    EXPECT_STREQ("", buffer);
    CopyToOutput("ab", buffer, 0);  // nothing written at all
    EXPECT_EQ('\0', buffer[0]);
}

TEST(BridgeText, TerminalTextAndLatestLine)
{
    EXPECT_EQ("Everything is Ok\r\n", TerminalText("  5%\b\b\b\b    \b\b\b\bEverything is Ok\n"));
    EXPECT_EQ("b\r\nc\r\n", TerminalText("a\rb\r\nc\n"));
    EXPECT_EQ("42% + 表.txt", LastLine("Scanning\n 10%\b\b\b\b 42% + 表.txt"));
    EXPECT_EQ("done", LastLine("done\n\n   \n"));
}

TEST(BridgeText, NamesAndLocales)
{
    EXPECT_EQ("docs/ソ.txt", ToHostRelativeName("docs\\ソ.txt"));
    EXPECT_EQ("表/a", ToHostRelativeName("表\\a"));
    EXPECT_EQ("\xE8\xA1\xA8", ShiftJisToUtf8("表"));
    EXPECT_EQ("表", Utf8ToShiftJis("\xE8\xA1\xA8"));
    EXPECT_EQ("\\0101\\0225\\0134", OctalEscapes("A表"));
    EXPECT_TRUE(IsUtf8Locale("ja_JP.UTF-8", "", ""));
    EXPECT_TRUE(IsUtf8Locale("", "", "C.utf8"));
    EXPECT_FALSE(IsUtf8Locale("C", "ja_JP.UTF-8", "ja_JP.UTF-8"));  // LC_ALL wins
    EXPECT_FALSE(IsUtf8Locale("", "ja_JP.eucJP", ""));
    EXPECT_FALSE(IsUtf8Locale("", "", ""));
}

TEST(HostQuoting, ArgumentsSurviveWindowsSplitting)
{
    EXPECT_EQ(L"\"a b\"", QuoteArgument(L"a b"));
    EXPECT_EQ(L"\"q\\\"x\"", QuoteArgument(L"q\"x"));
    EXPECT_EQ(L"\"back\\\\\"", QuoteArgument(L"back\\"));
    EXPECT_EQ(L"\"a\\\\b\"", QuoteArgument(L"a\\\\b"));
    EXPECT_EQ(L"\"\"", QuoteArgument(L""));
}

// The program's text is UTF-8 for as long as the DLL's UTF-8 mode is on.
class Utf8Translation : public Translation
{
protected:
    Utf8Translation() { CBridgeDll::This().SetUnicodeMode(true); }
    ~Utf8Translation() override { CBridgeDll::This().SetUnicodeMode(false); }
};

TEST_F(Utf8Translation, LinesListsAndPasswordsInTheUtf8Mode)
{
    // "한" ends in 0x9C, a Shift_JIS lead byte: read as Shift_JIS it would
    // take the base folder's backslash for its trail byte.
    const std::string base = std::string("C:\\d\\") + u8"한";
    const std::string name = u8"Café.txt";
    Check({{"a -t7z -mx=5 -scsUTF-8 \"C:\\o\\a.7z\" \"" + base + "\\\" -ir-\"@{L0}\" ", {"\"" + name + "\"\r\n"},
            kArchiverResultOk, {"7zz a -t7z -mx=5" + std::string(kSevenZipTail) + " @" + base + " [" + name}, true}},
          TranslateSevenZip);
    Check({{"-6 -S -P \"" + std::string(u8"秘") + "\" \"C:\\o\\a.zip\" \"@{L0}\"",
            {"\"" + base + "\\\" \"" + name + "\"\r\n"}, kArchiverResultNotSupported, {}, true},
           {"-6 -S -P \"pw\" \"C:\\o\\a.zip\" \"@{L0}\"", {"\"" + base + "\\\" \"" + name + "\"\r\n"}, kArchiverResultOk,
            {"zip -6 -P bytes:pw path:C:\\o\\a.zip -@ @" + base + " <" + name + " ./-"}, true}},
          TranslateZip32j);

    // gtest spells out its arguments in the ANSI code page: the UTF-8 text
    // stays out of them.
    const std::string whole = std::string("ab") + u8"한";
    char buffer[6];
    CopyToOutput(whole, buffer, sizeof(buffer));  // 2 + 3 bytes and the terminator
    EXPECT_EQ(whole, buffer);
    CopyToOutput("a" + whole, buffer, sizeof(buffer));  // the character is not cut
    EXPECT_STREQ("aab", buffer);
}

TEST_F(Translation, ListCharsetSwitchOnlyInTheUtf8Mode)
{
    Check({{"a -t7z -scsUTF-8 \"C:\\o\\a.7z\" \"C:\\d\\\" -ir-\"@{L0}\" ", {"\"a.txt\"\r\n"}, kArchiverResultCommandName, {},
            true}},
          TranslateSevenZip);
}
