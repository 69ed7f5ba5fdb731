// The words of the job's reports: each fact reads exactly as the job's own
// sentences did before it reported facts.
#include "app/JobWords.h"
#include "common/TextConvert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kNotMade[] = "アーカイバーDLLは成功を返しましたが、書庫が作成されていません";

}  // namespace

TEST(JobWords, EveryReportReadsAsTheJobWroteIt)
{
    struct
    {
        EJobFailure reason;
        std::string detail;
        std::string text;
    } failures[] = {
        {EJobFailure::BadOutputName, "", "ファイル名が不正です。もう一度確認してください"},
        {EJobFailure::OldArchiveNotDeleted, "C:\\out\\tessik1.tmp",
         "元の書庫を削除できませんでした\r\n元の書庫は次のファイル名で残っています\r\nC:\\out\\tessik1.tmp"},
        {EJobFailure::OldArchiveLocked, "C:\\a.7z",
         "既存の出力ファイルを一時的に退避できないため、上書きできません\r\nファイルが使用中でないか確認してください\r\nC:\\a.7z"},
        {EJobFailure::FilterUnusable, "定義 2 が不正です", "定義 2 が不正です"},
        {EJobFailure::FilterMatchFailed, "判定できません", "判定できません\nフィルタの設定を確認してください。"},
        {EJobFailure::OldArchiveNotCopied, "C:\\a.zip",
         "元の書庫のコピーを作れないため、追加を中止しました\r\nディスクの空きを確認してください\r\nC:\\a.zip"},
        {EJobFailure::UnicodeModeRefused, "",
         "アーカイバーDLLがUTF-8モードに切り替わらなかったため、日本語(Shift_JIS)で表せない文字を含むファイル名を格納できません。"},
    };
    for (const auto& row : failures)
        EXPECT_EQ(row.text, FailureText(row.reason, row.detail)) << row.text;

    struct
    {
        std::string output;
        int code;
        bool notMade;
        std::string text;
    } runs[] = {
        {"7-Zip said\r\n", 0, false, "7-Zip said\r\n"},
        {"", 32800, false, "アーカイバーDLLからの出力はありません (戻り値 32800)"},
        {"", 0, true, kNotMade},
        {"said", 0, true, std::string(kNotMade) + "\r\nsaid"},
        {std::string(4095, 'a'), 0, true,
         std::string(kNotMade) + "\r\n" + std::string(4095 - sizeof(kNotMade) + 1 - 2, 'a')},
    };
    for (const auto& row : runs)
        EXPECT_EQ(row.text, ArchiverText({row.output, row.code, row.notMade})) << row.output.substr(0, 10);

    // What reading back found comes before the DLL's text.
    CArchiverReport lied{"7-Zip said", 0, false};
    lied.readBack.failed = lied.readBack.damaged = true;
    lied.readBack.differences = {{EArchiveDifference::Missing, L"in\\a.txt"}, {EArchiveDifference::Size, L"in\\b.txt", 2, 3}};
    lied.readBack.differenceCount = 3;
    EXPECT_EQ("作成した書庫を読み直して検査したところ、次の問題が見つかりました。\r\n"
              "作成した書庫は削除し、元の書庫があったときは元に戻しました。\r\n"
              "入っていないファイル: in\\a.txt\r\nサイズが違うファイル: in\\b.txt (2 バイトのはずが 3 バイト)\r\n"
              "ほか 1 件\r\n書庫の検査(CRC)に失敗しました。書庫が壊れています\r\n\r\n7-Zip said",
              ArchiverText(lied));
    CArchiverReport unlisted{"ok", 0, false};
    unlisted.readBack.notes = {EReadBackNote::NoListing};
    EXPECT_EQ("このアーカイバーDLLは書庫の一覧を返さないため、作成した書庫は検査していません\r\n\r\nok",
              ArchiverText(unlisted));

    const std::string kHead = "次のファイルまたはフォルダは書庫に入れられません";
    struct
    {
        std::vector<CLeftOutEntry> entries;
        bool stopped;
        std::string text;
    } leftOut[] = {
        {{{L"C:\\in\\held", kProblemUnlistable, 32}, {L"C:\\gone.txt", kProblemMissing, 0}}, false,
         kHead + "(全 2 件)。\nC:\\in\\held  (フォルダの内容を読み取れません(エラー 32))\nC:\\gone.txt  (見つかりません)"
                 "\n\nこれらを除いて書庫を作成しますか?"},
        {{{L"C:\\deep", kProblemTooLong, 0}}, true,
         kHead + "(全 1 件)。\nC:\\deep  (パスが長すぎるため圧縮できません)\n\n圧縮を中止しました。"},
    };
    for (const auto& row : leftOut)
        EXPECT_EQ(row.text, WideToShiftJis(LeftOutText(row.entries, row.stopped))) << row.text;
    std::vector<CLeftOutEntry> many(21, CLeftOutEntry{L"C:\\x", kProblemMissing, 0});
    many[19].path = L"C:\\last shown";
    std::string manyText = WideToShiftJis(LeftOutText(many, true));
    EXPECT_EQ(0u, manyText.find(kHead + "(全 21 件)。\n"));
    const std::string tail = "\nC:\\last shown  (見つかりません)\nほか 1 件\n\n圧縮を中止しました。";
    ASSERT_LT(tail.size(), manyText.size());
    EXPECT_EQ(tail, manyText.substr(manyText.size() - tail.size()));

    // Outside the assertion, whose text of its arguments is narrow.
    const std::wstring name = L"C:\\한국어.txt";
    CUnnamableFiles unnamable = {{name}, "7Z書庫", {"ZIP書庫", "CAB書庫"}};
    EXPECT_EQ(L"次のファイル名には日本語(Shift_JIS)で表せない文字が含まれているため、圧縮できません。\n"
              L"「7Z書庫」には、このような名前を格納できません。\n" + name +
                  L"\n\nこのような名前を格納できる形式:\nZIP書庫\nCAB書庫\n"
                  L"形式を変更するか、ファイル名を変更するか、圧縮対象から外してください。",
              UnnamableText(unnamable));
    unnamable.formats.clear();
    EXPECT_NE(std::wstring::npos,
              UnnamableText(unnamable).find(L"\n\nこのような名前を格納できる形式は見つかりませんでした。\n形式を"));

    const std::vector<CItemOutcome> outcomes = {
        {"C:\\a", "C:\\out\\a.7z", true, false, EItemEnd::Made, {}},
        {"C:\\b", "C:\\out\\b.7z", false, false, EItemEnd::Failed,
         {CJobNote::kFailure, EJobFailure::NoFiles, "", {}, {}, {}}},
        {"C:\\c", "C:\\out\\c.7z", false, false, EItemEnd::Failed,
         {CJobNote::kArchiver, EJobFailure::NoFiles, "", {}, {}, {"", 2, false}}},
        {"C:\\x\\a", "C:\\out\\a(2).7z", false, true, EItemEnd::Skipped, {}},
        {"C:\\d", "C:\\out\\d.7z", false, false, EItemEnd::Failed, {}},
        {"C:\\e", "", false, false, EItemEnd::NoName, {}},
        {"C:\\f", "C:\\out\\f.7z", false, false, EItemEnd::NotRun, {}},
    };
    EXPECT_EQ("7 個のうち 1 個の書庫を作成しました。\r\n"
              "○ C:\\a\r\n    → C:\\out\\a.7z\r\n"
              "× C:\\b\r\n    → 圧縮するファイルがありません\r\n"
              "× C:\\c\r\n    → アーカイバーDLLからの出力はありません (戻り値 2)\r\n"
              "× C:\\x\\a\r\n    → 既に存在するため、作成しませんでした\r\n"
              "    (同じ名前の書庫がほかにあるため、この名前にしました)\r\n"
              "× C:\\d\r\n    → 中止したため、作成しませんでした\r\n"
              "× C:\\e\r\n    → 書庫の名前を決められませんでした\r\n"
              "× C:\\f\r\n    → 中止したため、作成しませんでした",
              ItemsText(outcomes));
}
