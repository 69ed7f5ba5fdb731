// The archiver settings pages inside the settings dialog: what each shows of
// the settings file, what it writes back after OK (and not after Cancel), its
// tooltips, mnemonics, version lines and module list, and the command lines of
// the jobs that follow.
#include "archivers/formats/Arc.h"
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "settings/IniFile.h"
#include "settings/SettingsFile.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/UiHelper.h"
#include "tests/ui/SettingsDialogDriver.h"
#include "tests/ui/WindowImage.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

const char kSevenZipCaption[] = "7-Zip32.dll (7Z形式)";
const char kSevenZipZipCaption[] = "7-Zip32.dll (ZIP形式)";
const char kCabCaption[] = "Cab32.dll";
const char kLhaCaption[] = "Unlha32.dll";
const char kZipCaption[] = "Zip32j.dll";
const char kTessikZipCaption[] = "TessikZip.dll";
const char kTessik7zCaption[] = "Tessik7z.dll";
// In the order of the format ids.
const std::vector<std::string> kAllCaptions = {kSevenZipCaption, kSevenZipZipCaption, kTessikZipCaption, kCabCaption,
                                               kLhaCaption,      kZipCaption,         kTessik7zCaption};

enum EKind
{
    kCombo,
    kCheck,
    kSpin,  // id is the up-down; edit is its buddy
    kEdit,
};

// One control of a page: what it shows for the placed file and how the test
// changes it (combo: the index to choose; spin: the new position; edit: the
// new text; check box: clicked once).
struct CControlRow
{
    int id;
    EKind kind;
    std::string shown;
    std::string change;
    std::vector<int> tooltipOn;
    std::string tooltip;
    int edit = 0;
};

struct CMnemonicRow
{
    char letter;
    int id;
    bool toggles;
};

struct CPageCase
{
    const char* caption;
    int uniqueId;  // a control only this page has
    std::vector<CControlRow> controls;
    std::vector<std::pair<int, std::vector<std::string>>> comboItems;
    std::string dllLine;  // empty: the page has no version lines
    std::string testedLine;
    std::vector<CMnemonicRow> mnemonics;
};

const char kTip7zLevel[] =
    "圧縮率を設定します\n\n圧縮率は、数値が大きいほど圧縮率が高くなりますが、そのぶん処理に必要な時間が長くなります";
const char kTipCustomUse[] =
    "圧縮に使用するオプションコマンドを直接指定を有効にします\n\nこの項目を有効にした場合、上で設定した圧縮率/"
    "圧縮方式等の設定は、全て無視されます。\nなお、入力/出力ファイル名・圧縮・解凍を示すコマンド(a|d|e|l|t|u|x)"
    "を指定することはできません。\n指定した場合は、予期しない動作をする可能性があります。\n\n※オプションコマンドの詳細は"
    "、7-zip32.dll付属のドキュメントを参照してください。";
const char kTipCustomCommand[] =
    "圧縮に使用するオプションコマンドを直接指定します\n\nこの項目で設定したコマンドは、入力・出力ファイルの一覧と共に7-"
    "zip32.dllに直接渡されます。\nなお、入力/出力ファイル名・圧縮・解凍を示すコマンド(a|d|e|l|t|u|x)を指定することはで"
    "きません。\n指定した場合は、予期しない動作をする可能性があります。\n\n※オプションコマンドの詳細は、7-zip32.dll付属の"
    "ドキュメントを参照してください。";

const std::vector<std::string> k7zLevels = {"1 (高速圧縮)", "5 (標準の圧縮)", "7 (最高圧縮)", "9 (超高圧縮)"};
const std::vector<std::string> k7zMethods = {"無圧縮", "Deflate方式", "Bzip2方式", "LZMA方式 (解凍処理が高速)",
                                             "PPMd方式 (テキストファイル向き)"};
const std::vector<std::string> kAllModules = {"7z.sfx　-　Windows用", "7zC.sfx　-　Windows用(UPX圧縮あり)",
                                              "7zCon.sfx　-　コンソール用",
                                              "7-Zip32.dll　-　内蔵SFXモジュール(インストーラ形式)"};

// Every page with all stand-ins installed and the file of kPlaced.
const std::vector<CPageCase> kPages = {
    {kSevenZipCaption,
     IDC_7Z_LEVEL,
     {
         {IDC_7Z_LEVEL, kCombo, "7 (最高圧縮)", "0", {IDC_7Z_LEVEL}, kTip7zLevel},
         {IDC_7Z_METHOD, kCombo, "PPMd方式 (テキストファイル向き)", "1", {IDC_7Z_METHOD}, "圧縮アルゴリズムを選択します"},
         {IDC_7Z_SFX_MODULE, kCombo, "7zCon.sfx　-　コンソール用", "1", {IDC_7Z_SFX_MODULE},
          "自己解凍書庫の形式を選択します"},
         {IDC_7Z_SOLID, kCheck, "off", "", {IDC_7Z_SOLID},
          "ソリッド書庫を作成します\n\nソリッド書庫は、ファイルを結合してから圧縮処理を行うため、圧縮率は高くなります"},
         {IDC_7Z_HEADER_CRYPT, kCheck, "on", "", {IDC_7Z_HEADER_CRYPT}, "ヘッダーを暗号化します"},
         {IDC_7Z_HEADER_COMP, kCheck, "off", "", {IDC_7Z_HEADER_COMP}, "ヘッダーを圧縮します"},
         {IDC_7Z_HEADER_COMP_FULL, kCheck, "off", "", {IDC_7Z_HEADER_COMP_FULL}, "完全なヘッダー圧縮を行います"},
         {IDC_7Z_CUSTOM_USE, kCheck, "on", "", {IDC_7Z_CUSTOM_USE}, kTipCustomUse},
         {IDC_7Z_CUSTOM_COMMAND, kEdit, "-mx=3 -mmt=on", "-m0=PPMd:o=8 表", {IDC_7Z_CUSTOM_COMMAND}, kTipCustomCommand},
     },
     {{IDC_7Z_LEVEL, k7zLevels}, {IDC_7Z_METHOD, k7zMethods}, {IDC_7Z_SFX_MODULE, kAllModules}},
     "導入されている7-Zip32.dllはVer.4.31です",
     "動作確認は、Ver.4.31で行っています",
     {{'A', IDC_7Z_METHOD, false},
      {'C', IDC_7Z_LEVEL, false},
      {'F', IDC_7Z_SFX_MODULE, false},
      {'T', IDC_7Z_CUSTOM_COMMAND, false},
      {'D', IDC_7Z_CUSTOM_USE, true},
      {'E', IDC_7Z_HEADER_CRYPT, true},
      {'H', IDC_7Z_HEADER_COMP, true},
      {'K', IDC_7Z_HEADER_COMP_FULL, true},
      {'S', IDC_7Z_SOLID, true}}},
    {kSevenZipZipCaption,
     IDC_7ZIP_LEVEL,
     {
         {IDC_7ZIP_LEVEL, kCombo, "9 (超高圧縮)", "0", {IDC_7ZIP_LEVEL}, kTip7zLevel},
         {IDC_7ZIP_METHOD, kCombo, "Bzip2方式", "2", {IDC_7ZIP_METHOD}, "圧縮アルゴリズムを選択します"},
         {IDC_7ZIP_FAST_BYTES_SPIN, kSpin, "64", "255", {IDC_7ZIP_FAST_BYTES_SPIN},
          "Deflate圧縮に使用するメモリ量を設定します\n\n数値が大きいほど圧縮率が高くなりますが、処理時間は長くなります",
          IDC_7ZIP_FAST_BYTES},
         {IDC_7ZIP_PASSES_SPIN, kSpin, "3", "4", {IDC_7ZIP_PASSES_SPIN},
          "Defalte圧縮のパス数を設定します\n\n数が大きいほど圧縮率が高くなりますが、処理時間は長くなります",
          IDC_7ZIP_PASSES},
     },
     {{IDC_7ZIP_LEVEL, {"5 (標準の圧縮)", "9 (超高圧縮)"}},
      {IDC_7ZIP_METHOD, {"無圧縮", "Deflate方式", "Deflate64方式", "Bzip2方式"}}},
     "",
     "",
     {{'C', IDC_7ZIP_LEVEL, false},
      {'A', IDC_7ZIP_METHOD, false},
      {'M', IDC_7ZIP_FAST_BYTES, false},
      {'P', IDC_7ZIP_PASSES, false}}},
    {kCabCaption,
     IDC_CAB_METHOD,
     {
         {IDC_CAB_METHOD, kCombo, "無圧縮", "2", {IDC_CAB_METHOD},
          "圧縮方式を指定します\n\n無圧縮: 圧縮しません\n (CABの標準的な圧縮方式)\nLZX (MSZIPに比べて高圧縮率、処理時間長)"},
         {IDC_CAB_LZX_LEVEL_SPIN, kSpin, "18", "21", {IDC_CAB_LZX_LEVEL, IDC_CAB_LZX_LEVEL_SPIN},
          "LZXの圧縮率を指定してください。\n\n圧縮率: 15～21\n数値が大きくなるほど、圧縮率が高くなりますが、そのぶん処理"
          "時間が長くなります",
          IDC_CAB_LZX_LEVEL},
         {IDC_CAB_MULTI_VOLUME, kCheck, "off", "", {IDC_CAB_MULTI_VOLUME},
          "マルチボリュームの分割サイズを指定してください"},
         {IDC_CAB_VOLUME_SIZE_SPIN, kSpin, "100000", "4194304", {IDC_CAB_VOLUME_SIZE, IDC_CAB_VOLUME_SIZE_SPIN},
          "分割後のファイルのサイズを指定してください", IDC_CAB_VOLUME_SIZE},
     },
     {{IDC_CAB_METHOD,
       {"無圧縮", "MSZIP (CABの標準的な圧縮方式)", "LZX (MSZIPに比べて高圧縮率、処理時間長)"}}},
     "導入されているCab32.dllはVer.0.98です",
     "動作確認は、Ver.0.98で行っています",
     {{'C', IDC_CAB_METHOD, false},
      {'L', IDC_CAB_LZX_LEVEL, false},
      {'M', IDC_CAB_MULTI_VOLUME, true},
      {'S', IDC_CAB_VOLUME_SIZE, false}}},
    {kLhaCaption,
     IDC_LHA_METHOD,
     {
         {IDC_LHA_METHOD, kCombo, "LH7 （LH6に比べて高圧縮率）", "1", {IDC_LHA_METHOD},
          "LHA圧縮の種類を指定します\nLH5→LH6→LH7の順で数字が大きくなるほど圧縮率は高くなりますが、\nLH6やLH7は、"
          "解凍できないソフトウェア(Lhasa等)があります。\n特に理由がない場合は、LH5を使用することをおすすめします"},
         {IDC_LHA_SFX_KIND, kCombo, "DOS-SFX （MS-DOS用）", "3", {IDC_LHA_SFX_KIND},
          "自己解凍書庫を作るときの種類を指定します。\n通常は、Win32またはWin32Mの使用をおすすめします。"},
         {IDC_LHA_SFX_SETUP, kCheck, "on", "", {IDC_LHA_SFX_SETUP},
          "自己解凍書庫の設定を行います\n※注：この設定はDOS-SFXでは使用できません"},
     },
     {{IDC_LHA_METHOD,
       {"LH5 （標準 特に理由がない限りLH5を使用してください）", "LH6 （LH5に比べて高圧縮率）",
        "LH7 （LH6に比べて高圧縮率）"}},
      {IDC_LHA_SFX_KIND,
       {"DOS-SFX （MS-DOS用）", "Win16SFX （Windows3.x用）", "Win32SFX （Windows95/98/Me/NT4/2000/XP用）",
        "Win32拡張SFX （Windows95/98/Me/NT4/2000/XP用）"}}},
     "導入されているUnlha32.dllはVer.2.02です",
     "動作確認は、Ver.2.02で行っています",
     {{'C', IDC_LHA_METHOD, false}, {'F', IDC_LHA_SFX_KIND, false}, {'S', IDC_LHA_SFX_SETUP, true}}},
    {kTessikZipCaption,
     IDC_TZIP_ENCRYPTION,
     {
         {IDC_TZIP_LEVEL_SPIN, kSpin, "3", "9", {IDC_TZIP_LEVEL, IDC_TZIP_LEVEL_SPIN},
          "圧縮率を指定します\n\n数値が大きいほど圧縮率が高くなりますが、そのぶん処理時間が長くなります\n0を指定すると"
          "圧縮はされません",
          IDC_TZIP_LEVEL},
         {IDC_TZIP_METHOD, kCombo, "無圧縮", "0", {IDC_TZIP_METHOD},
          "圧縮方式を選択します\n\n無圧縮を選ぶと、圧縮率の指定にかかわらず圧縮しません"},
         {IDC_TZIP_ENCRYPTION, kCombo, "ZipCrypto (エクスプローラーで開けます)", "0", {IDC_TZIP_ENCRYPTION},
          "パスワードを指定したときの暗号化方式を選択します\n\nAES-256: 強力な暗号化です。Windowsのエクスプローラーでは"
          "開けません\nZipCrypto: エクスプローラーや古いソフトウェアでも開けますが、暗号としては弱いものです"},
         {IDC_TZIP_NAMES, kCombo, "Shift_JIS (古いソフトウェア向け)", "0", {IDC_TZIP_NAMES},
          "書庫に記録するファイル名の文字コードを選択します\n\nUTF-8: どの言語の名前もそのまま記録します\nShift_JIS: "
          "古いソフトウェア向けです。Shift_JISで表せない名前があるときはUTF-8で記録します"},
         {IDC_TZIP_THREADS_SPIN, kSpin, "8", "0", {IDC_TZIP_THREADS, IDC_TZIP_THREADS_SPIN},
          "圧縮に使うスレッドの数を指定します\n\n0を指定すると、すべてのCPUコアを使います", IDC_TZIP_THREADS},
     },
     {{IDC_TZIP_METHOD, {"Deflate方式", "無圧縮"}},
      {IDC_TZIP_ENCRYPTION, {"AES-256", "ZipCrypto (エクスプローラーで開けます)"}},
      {IDC_TZIP_NAMES, {"UTF-8 (標準)", "Shift_JIS (古いソフトウェア向け)"}}},
     "導入されているTessikZip.dllはVer.1.05です",
     "",  // ships with the program: no tested version
     {{'C', IDC_TZIP_LEVEL, false},
      {'A', IDC_TZIP_METHOD, false},
      {'E', IDC_TZIP_ENCRYPTION, false},
      {'N', IDC_TZIP_NAMES, false},
      {'T', IDC_TZIP_THREADS, false}}},
    {kZipCaption,
     IDC_ZIP_CRLF_TO_LF,
     {
         {IDC_ZIP_LEVEL_SPIN, kSpin, "3", "9", {IDC_ZIP_LEVEL, IDC_ZIP_LEVEL_SPIN},
          "圧縮率を指定します\n\n数値が多くなるほど圧縮率が高くなります\n0を指定すると圧縮はされません", IDC_ZIP_LEVEL},
         {IDC_ZIP_CRLF_TO_LF, kCheck, "on", "", {IDC_ZIP_CRLF_TO_LF},
          "改行コードをCR/LF(Windows)からLF(Unix)に変換します\n\n通常はチェックをはずした状態にしてください"},
         {IDC_ZIP_LF_TO_CRLF, kCheck, "off", "", {IDC_ZIP_LF_TO_CRLF},
          "改行コードをLF(Unix)からCR/LF(Windows)に変換します\n\n通常はチェックをはずした状態にしてください"},
     },
     {},
     "導入されているZip32j.dllはVer.0.37です",
     "動作確認は、Ver.0.37で行っています",
     {{'C', IDC_ZIP_LEVEL, false}, {'U', IDC_ZIP_CRLF_TO_LF, true}, {'W', IDC_ZIP_LF_TO_CRLF, true}}},
    {kTessik7zCaption,
     IDC_T7Z_SOLID_BLOCK,
     {
         {IDC_T7Z_LEVEL_SPIN, kSpin, "3", "9", {IDC_T7Z_LEVEL, IDC_T7Z_LEVEL_SPIN},
          "圧縮レベルを指定します\n\n数値が大きいほど圧縮率が高くなりますが、そのぶん処理時間が長くなります\n0を指定"
          "すると圧縮はされません",
          IDC_T7Z_LEVEL},
         {IDC_T7Z_SOLID, kCheck, "off", "", {IDC_T7Z_SOLID},
          "ソリッド書庫を作成します\n\n複数のファイルをまとめて圧縮するため圧縮率は高くなりますが、一部のファイルだけを"
          "取り出すときは時間がかかります"},
         {IDC_T7Z_SOLID_BLOCK_SPIN, kSpin, "64", "1048576", {IDC_T7Z_SOLID_BLOCK, IDC_T7Z_SOLID_BLOCK_SPIN},
          "ひとつにまとめて圧縮する大きさをMB単位で指定します\n\n0を指定すると、圧縮レベルに応じた大きさになります\n"
          "ソリッド圧縮をしないときは使われません",
          IDC_T7Z_SOLID_BLOCK},
         {IDC_T7Z_THREADS_SPIN, kSpin, "8", "0", {IDC_T7Z_THREADS, IDC_T7Z_THREADS_SPIN},
          "圧縮に使うスレッドの数を指定します\n\n0を指定すると、すべてのCPUコアを使います", IDC_T7Z_THREADS},
         {IDC_T7Z_ENCRYPT_HEADER, kCheck, "on", "", {IDC_T7Z_ENCRYPT_HEADER},
          "パスワードを指定したとき、ファイル名も暗号化します\n\n書庫の中のファイルの一覧も、パスワードがないと見られ"
          "なくなります"},
     },
     {},
     "導入されているTessik7z.dllはVer.1.00です",
     "",  // ships with the program: no tested version
     {{'C', IDC_T7Z_LEVEL, false},
      {'S', IDC_T7Z_SOLID, true},
      {'B', IDC_T7Z_SOLID_BLOCK, false},
      {'T', IDC_T7Z_THREADS, false},
      {'E', IDC_T7Z_ENCRYPT_HEADER, true}}},
};

// The format sections placed before the dialog opens, and as OK writes them
// after every control of every page was changed.
struct CSectionCase
{
    const char* name;
    std::vector<std::string> placed;
    std::vector<std::string> saved;
};

const std::vector<CSectionCase> kSections = {
    {"7-ZIP",
     {"SevenZipMode=9", "SevenZipAlgorithm=BZip2", "SevenZipFastBytes=64", "SevenZipPasses=3", "SevenZMode=7",
      "SevenZSolid=false", "SevenZFilter=false", "SevenZHeaderComp=false", "SevenZHeaderCompFull=false",
      "SevenZHeaderCrypt=true", "SevenZAlgorithm=PPMd", "SevenZSfx=7zCon.sfx", "SevenZCompCommandUse=true",
      "SevenZCompCommand=-mx=3 -mmt=on", "Use=true"},
     {"SevenZipMode=5", "SevenZipAlgorithm=Deflate64", "SevenZipFastBytes=255", "SevenZipPasses=4", "SevenZMode=1",
      "SevenZSolid=true", "SevenZFilter=false", "SevenZHeaderComp=true", "SevenZHeaderCompFull=true",
      "SevenZHeaderCrypt=false", "SevenZAlgorithm=Deflate", "SevenZSfx=7zC.sfx", "SevenZCompCommandUse=false",
      "SevenZCompCommand=-m0=PPMd:o=8 表", "Use=true"}},
    {"CAB",
     {"CabMode=0", "LzxLevel=18", "MultiVolume=false", "MultiVolumeSize=100000", "Use=true"},
     {"CabMode=2", "LzxLevel=21", "MultiVolume=true", "MultiVolumeSize=4194304", "Use=true"}},
    {"LHA",
     {"LhaMode=2", "SfxMode=0", "SfxSetup=true", "Use=true"},
     {"LhaMode=1", "SfxMode=3", "SfxSetup=false", "Use=true"}},
    {"ZIP",
     {"ZipMode=3", "Crlf2Lf=true", "Lf2Crlf=false", "Use=true"},
     {"ZipMode=9", "Crlf2Lf=false", "Lf2Crlf=true", "Use=true"}},
    {"TZIP",
     {"Level=3", "Method=Store", "Encryption=ZipCrypto", "Names=Shift_JIS", "Threads=8", "Use=true"},
     {"Level=9", "Method=Deflate", "Encryption=AES", "Names=UTF-8", "Threads=0", "Use=true"}},
    {"T7Z",
     // SolidFiles has no control: the page keeps what the file holds.
     {"Level=3", "Solid=0", "SolidBlock=64", "SolidFiles=100", "Threads=8", "EncryptHeader=1", "Use=true"},
     {"Level=9", "Solid=1", "SolidBlock=1048576", "SolidFiles=100", "Threads=0", "EncryptHeader=0", "Use=true"}},
};

std::string Shown(HWND page, const CControlRow& row)
{
    switch (row.kind)
    {
    case kCombo:
        return ComboSelection(GetDlgItem(page, row.id));
    case kCheck:
        return IsChecked(page, row.id) ? "on" : "off";
    case kSpin:
        return std::to_string(SpinPosition(page, row.id));
    case kEdit:
        return GetWindowTextString(GetDlgItem(page, row.id));
    }
    return "";
}

void Change(HWND page, const CControlRow& row)
{
    switch (row.kind)
    {
    case kCombo:
        ChooseComboItem(page, row.id, std::stoi(row.change));
        break;
    case kCheck:
        ClickCheckBox(page, row.id);
        break;
    case kSpin:
        SetSpinPosition(page, row.id, std::stoi(row.change));
        break;
    case kEdit:
        SetWindowTextA(GetDlgItem(page, row.id), row.change.c_str());
        break;
    }
}

class FormatPages : public SettingsFileTest
{
protected:
    // All stand-ins, registered with these version scripts.
    void Install(const std::vector<std::string>& files, const std::vector<std::pair<std::string, int>>& versions)
    {
        m_standIns.reset(new CStandInFormats(files));
        for (const auto& dll : versions)
            m_standIns->Script(dll.first, "version=" + std::to_string(dll.second) + "\ncreate=archive|sfx\n");
        ASSERT_GT(m_standIns->Register(), 0);
        m_formats.reset(new CFakeFormats(m_standIns->RegisteredIds()));
    }

    void InstallEverything()
    {
        Install(kAllStandInsAndOwnDlls, {{"7-Zip32.dll", 431},
                                         {"Cab32.dll", 98},
                                         {"Unlha32.dll", 202},
                                         {"Zip32j.dll", 37},
                                         {"TessikZip.dll", 105},
                                         {"Tessik7z.dll", 100}});
    }

    // The settings file with these format sections, read as start-up does.
    void PlaceAndLoad(const std::vector<std::pair<std::string, std::vector<std::string>>>& sections)
    {
        std::vector<std::string> lines = {"[GENERAL]", "Version=100", "DefaultArcType=7Z"};
        for (const auto& section : sections)
        {
            lines.push_back("[" + section.first + "]");
            lines.insert(lines.end(), section.second.begin(), section.second.end());
        }
        PlaceFile(AppDataIni(), CrLfLines(lines));
        CIniFile::FlushProfileCache(AppDataIni().c_str());
        ASSERT_TRUE(LoadSettings());
    }

    void PlaceAllSections()
    {
        std::vector<std::pair<std::string, std::vector<std::string>>> sections;
        for (const auto& section : kSections)
            sections.emplace_back(section.name, section.placed);
        PlaceAndLoad(sections);
    }

    // The settings dialog closed with result 1 writes the file, as start-up does.
    void SaveAfter(int result)
    {
        ASSERT_EQ(kSettingsSaved, result);
        std::string file;
        ASSERT_TRUE(SaveSettings(&file));
        CIniFile::FlushProfileCache(AppDataIni().c_str());
    }

    // Opens the dialog, checks and changes every control of every page, saves.
    void ChangeEverythingAndSave(bool takePictures)
    {
        CSettingsDialogDriver dialog;
        ASSERT_NE(nullptr, dialog.window());
        EXPECT_EQ(kAllCaptions, dialog.FormatCaptions());
        for (const CPageCase& page : kPages)
        {
            SCOPED_TRACE(page.caption);
            HWND window = dialog.ShowPage(page.caption);
            ASSERT_NE(nullptr, window);
            ASSERT_NE(nullptr, GetDlgItem(window, page.uniqueId));
            EXPECT_TRUE(IsWindowVisible(window));
            for (const auto& combo : page.comboItems)
                EXPECT_EQ(combo.second, ComboItems(GetDlgItem(window, combo.first))) << combo.first;
            std::map<int, CTooltipInfo> tooltips = TooltipsOf(window);
            for (const CControlRow& row : page.controls)
            {
                EXPECT_EQ(row.shown, Shown(window, row)) << row.id;
                if (row.kind == kSpin)
                {
                    EXPECT_EQ(row.shown, GetWindowTextString(GetDlgItem(window, row.edit))) << row.edit;
                }
                for (int id : row.tooltipOn)
                {
                    ASSERT_EQ(1u, tooltips.count(id)) << id;
                    EXPECT_EQ(row.tooltip, tooltips[id].text) << id;
                    EXPECT_EQ(30000, tooltips[id].autoPop) << id;
                    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), tooltips[id].maxWidth) << id;
                }
            }
            size_t tooltipCount = 0;
            for (const CControlRow& row : page.controls)
                tooltipCount += row.tooltipOn.size();
            EXPECT_EQ(tooltipCount, tooltips.size());
            if (page.dllLine.empty())
            {
                EXPECT_EQ(nullptr, GetDlgItem(window, IDC_DLL_VERSION));
            }
            else
            {
                EXPECT_EQ(page.dllLine, GetWindowTextString(GetDlgItem(window, IDC_DLL_VERSION)));
                if (page.testedLine.empty())
                    EXPECT_EQ(nullptr, GetDlgItem(window, IDC_TESTED_VERSION));
                else
                    EXPECT_EQ(page.testedLine, GetWindowTextString(GetDlgItem(window, IDC_TESTED_VERSION)));
            }
            if (takePictures)
            {
                PumpMessages(300);
                std::string name = std::string("settings-page-") + std::to_string(page.uniqueId) + ".bmp";
                EXPECT_GT(SaveWindowImage(dialog.window(), ArtefactPath(name)).cx, 0);
            }
            for (const CControlRow& row : page.controls)
                Change(window, row);
            // No control switches another on or off.
            for (const CControlRow& row : page.controls)
                EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, row.id))) << row.id;
        }
        SaveAfter(dialog.Close(IDOK));
    }

    // Runs builder id on one file, as a job does; the command lines its DLL got.
    std::vector<std::string> RunJob(int id, const char* dll, const char* entry, const std::string& output)
    {
        CArc* arc = FindFormat(id);
        if (arc == nullptr)
            return {"format " + std::to_string(id) + " not registered"};
        m_standIns->ResetJournal(dll);
        CCompressJob job = MakeJob(id, output);
        arc->BeginList(&job);
        arc->AddFile(m_data.WriteFile("in\\a.txt", "a").c_str(), (m_data / "in").c_str());
        arc->EndList();
        char buffer[4096] = "";
        arc->Run(NULL, buffer, sizeof(buffer));
        arc->Cleanup();
        std::vector<std::string> lines;
        for (const CStandInCall& call : m_standIns->Calls(dll, entry))
            lines.push_back(call.line);
        return lines;
    }

    void TearDown() override
    {
        m_formats.reset();
        m_standIns.reset();
        SettingsFileTest::TearDown();
    }

    std::unique_ptr<CStandInFormats> m_standIns;
    std::unique_ptr<CFakeFormats> m_formats;
    CTestFolder m_data;
};

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

}  // namespace

TEST_F(FormatPages, EveryPageShowsTheFile_EveryControlChanged_OkWritesEachSectionLineByLine)
{
    InstallEverything();
    PlaceAllSections();

    ChangeEverythingAndSave(true);

    for (const CSectionCase& section : kSections)
        EXPECT_EQ(section.saved, SectionLines(AppDataIni(), section.name)) << section.name;
}

TEST_F(FormatPages, TheNextJobsUseTheChangedOptions)
{
    InstallEverything();
    PlaceAllSections();
    ChangeEverythingAndSave(false);
    // What the jobs see comes from the file, as in the next run of the program.
    ResetAllSettings();
    ASSERT_TRUE(LoadSettings());

    std::string out = m_data / "out";
    struct
    {
        int id;
        const char* dll;
        const char* entry;
        std::string extension;
        size_t call;
        std::string start;
    } jobs[] = {
        {0, "7-Zip32.dll", "SevenZip", ".7z", 0,
         "a -t7z -mx=1 -ms=on -mf=off -mhc=on -mhcf=on -mhe=off -m0=Deflate \"" + out + ".7z\" "},
        {1, "7-Zip32.dll", "SevenZip", ".exe", 0,
         "a -t7z -sfx7zC.sfx -mx=1 -ms=on -mf=off -mhc=on -mhcf=on -mhe=off -m0=Deflate \"" + out + ".exe\" "},
        {2, "7-Zip32.dll", "SevenZip", ".zip", 0,
         "a -tzip -mx=5 -mm=Deflate64 -mfb=255 -mpass=4 \"" + out + ".zip\" "},
        {4, "Cab32.dll", "Cab", ".cab", 0, "-a -ml:21 -v:4194304 \"" + out + ".cab\" "},
        {6, "Unlha32.dll", "Unlha", ".lzh", 0, "a -jm3 -a1 \"" + out + ".lzh\" "},
        {7, "Unlha32.dll", "Unlha", ".exe", 1, "s -gw4 -x \""},
        {8, "Zip32j.dll", "Zip", ".zip", 0, "-9 -S -l \"" + out + ".zip\" "},
        {3, "TessikZip.dll", "TessikZip", ".zip", 0, "a -l9 -m:deflate -n:utf8 -t0 \"" + out + ".zip\" "},
        {10, "Tessik7z.dll", "Tessik7z", ".7z", 0, "a -l9 -s:on -sb:1048576 -sf:100 -t0 \"" + out + ".7z\" "},
    };
    for (const auto& job : jobs)
    {
        std::vector<std::string> lines = RunJob(job.id, job.dll, job.entry, out + job.extension);
        ASSERT_GT(lines.size(), job.call) << job.id;
        EXPECT_TRUE(StartsWith(lines[job.call], job.start)) << job.id << ": " << lines[job.call];
    }
}

TEST_F(FormatPages, EveryMnemonicFocusesOrTogglesItsControl_CancelLeavesTheFileAlone)
{
    InstallEverything();
    PlaceAllSections();
    std::string before = ReadFileBytes(AppDataIni());

    CSettingsDialogDriver dialog;
    ASSERT_NE(nullptr, dialog.window());
    SetForegroundWindow(dialog.window());
    for (const CPageCase& page : kPages)
    {
        SCOPED_TRACE(page.caption);
        HWND window = dialog.ShowPage(page.caption);
        ASSERT_NE(nullptr, window);
        for (const CMnemonicRow& mnemonic : page.mnemonics)
        {
            HWND control = GetDlgItem(window, mnemonic.id);
            bool wasChecked = IsChecked(window, mnemonic.id);
            // What the accelerator table of settings mode sends for Alt+letter.
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDK_ALT_A + (mnemonic.letter - 'A'), 1), 0);
            PumpMessages(20);
            EXPECT_EQ(control, GetFocus()) << mnemonic.letter;
            EXPECT_EQ(mnemonic.toggles ? !wasChecked : wasChecked, IsChecked(window, mnemonic.id))
                << mnemonic.letter;
        }
        // A letter no label of the page carries does nothing.
        HWND focus = GetFocus();
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDK_ALT_A + ('Z' - 'A'), 1), 0);
        EXPECT_EQ(focus, GetFocus());
    }
    EXPECT_EQ(kSettingsDiscarded, dialog.Close(IDCANCEL));

    EXPECT_EQ(before, ReadFileBytes(AppDataIni()));
}

TEST_F(FormatPages, ValuesOutsideTheListsAreStoredAsTheirRuleSays)
{
    InstallEverything();
    PlaceAndLoad({{"7-ZIP", {"SevenZMode=4", "SevenZAlgorithm=LZMA2", "SevenZSfx=7zX.sfx", "SevenZipMode=7",
                             "SevenZipAlgorithm=PPMd"}},
                  {"CAB", {"CabMode=3", "MultiVolumeSize=100000"}},
                  {"LHA", {"LhaMode=7", "SfxMode=-1"}},
                  {"ZIP", {"Use=false"}}});

    CSettingsDialogDriver dialog;
    ASSERT_NE(nullptr, dialog.window());
    // A format switched off has no page.
    EXPECT_EQ(std::vector<std::string>({kSevenZipCaption, kSevenZipZipCaption, kTessikZipCaption, kCabCaption,
                                        kLhaCaption, kTessik7zCaption}),
              dialog.FormatCaptions());
    HWND sevenZip = dialog.ShowPage(kSevenZipCaption);
    ASSERT_NE(nullptr, sevenZip);
    EXPECT_EQ("(none)", ComboSelection(GetDlgItem(sevenZip, IDC_7Z_LEVEL)));
    EXPECT_EQ("(none)", ComboSelection(GetDlgItem(sevenZip, IDC_7Z_METHOD)));
    EXPECT_EQ(kAllModules[0], ComboSelection(GetDlgItem(sevenZip, IDC_7Z_SFX_MODULE)));
    HWND zip = dialog.ShowPage(kSevenZipZipCaption);
    ASSERT_NE(nullptr, zip);
    EXPECT_EQ("(none)", ComboSelection(GetDlgItem(zip, IDC_7ZIP_LEVEL)));
    EXPECT_EQ("(none)", ComboSelection(GetDlgItem(zip, IDC_7ZIP_METHOD)));
    HWND cab = dialog.ShowPage(kCabCaption);
    ASSERT_NE(nullptr, cab);
    EXPECT_EQ("(none)", ComboSelection(GetDlgItem(cab, IDC_CAB_METHOD)));
    EXPECT_EQ("100000", GetWindowTextString(GetDlgItem(cab, IDC_CAB_VOLUME_SIZE)));
    HWND lha = dialog.ShowPage(kLhaCaption);
    ASSERT_NE(nullptr, lha);
    EXPECT_EQ("(none)", ComboSelection(GetDlgItem(lha, IDC_LHA_METHOD)));
    EXPECT_EQ("(none)", ComboSelection(GetDlgItem(lha, IDC_LHA_SFX_KIND)));
    SaveAfter(dialog.Close(IDOK));

    auto value = [this](const char* section, const char* key) { return StoredValue(AppDataIni(), section, key); };
    // By item data: unchanged. By name: empty. By index: -1.
    EXPECT_EQ("4", value("7-ZIP", "SevenZMode"));
    EXPECT_EQ("", value("7-ZIP", "SevenZAlgorithm"));
    EXPECT_EQ("7z.sfx", value("7-ZIP", "SevenZSfx"));
    EXPECT_EQ("7", value("7-ZIP", "SevenZipMode"));
    EXPECT_EQ("", value("7-ZIP", "SevenZipAlgorithm"));
    EXPECT_EQ("-1", value("CAB", "CabMode"));
    EXPECT_EQ("100000", value("CAB", "MultiVolumeSize"));
    EXPECT_EQ("-1", value("LHA", "LhaMode"));
    EXPECT_EQ("-1", value("LHA", "SfxMode"));
}

TEST_F(FormatPages, NoModuleFileWithANewer7Zip_OnlyTheBuiltinModuleIsListedAndStored)
{
    Install({"7-Zip32.dll"}, {{"7-Zip32.dll", 313}});
    PlaceAndLoad({{"7-ZIP", {"SevenZSfx=7z.sfx"}}});

    CSettingsDialogDriver dialog;
    HWND page = dialog.ShowPage(kSevenZipCaption);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(std::vector<std::string>({kAllModules[3]}), ComboItems(GetDlgItem(page, IDC_7Z_SFX_MODULE)));
    EXPECT_EQ(kAllModules[3], ComboSelection(GetDlgItem(page, IDC_7Z_SFX_MODULE)));
    EXPECT_EQ("導入されている7-Zip32.dllはVer.3.13です", GetWindowTextString(GetDlgItem(page, IDC_DLL_VERSION)));
    SaveAfter(dialog.Close(IDOK));

    EXPECT_EQ("builtin", StoredValue(AppDataIni(), "7-ZIP", "SevenZSfx"));
}

TEST_F(FormatPages, EveryDllReportingZero_NotInstalledLines_NoModuleItem_ModuleKept)
{
    Install({"7-Zip32.dll", "Cab32.dll", "Unlha32.dll", "Zip32j.dll", "zip32.dll"},
            {{"7-Zip32.dll", 0}, {"Cab32.dll", 0}, {"Unlha32.dll", 0}, {"Zip32j.dll", 0}});
    PlaceAndLoad({{"7-ZIP", {"SevenZSfx=7zC.sfx"}}});

    CSettingsDialogDriver dialog;
    // No module: no 7z self-extracting format, but both 7-Zip32 pages.
    EXPECT_EQ(nullptr, FindFormat(1));
    EXPECT_EQ(std::vector<std::string>(
                  {kSevenZipCaption, kSevenZipZipCaption, kCabCaption, kLhaCaption, kZipCaption}),
              dialog.FormatCaptions());
    const struct
    {
        const char* caption;
        const char* line;
        const char* tested;
    } pages[] = {
        {kSevenZipCaption, "7-Zip32.dllはインストールされていません", "動作確認は、Ver.4.31で行っています"},
        {kCabCaption, "Cab32.dllはインストールされていません", "動作確認は、Ver.0.98で行っています"},
        {kLhaCaption, "Unlha32.dllはインストールされていません", "動作確認は、Ver.2.02で行っています"},
        {kZipCaption, "Zip32j.dllはインストールされていません", "動作確認は、Ver.0.37で行っています"},
    };
    for (const auto& expected : pages)
    {
        HWND page = dialog.ShowPage(expected.caption);
        ASSERT_NE(nullptr, page) << expected.caption;
        EXPECT_EQ(expected.line, GetWindowTextString(GetDlgItem(page, IDC_DLL_VERSION)));
        EXPECT_EQ(expected.tested, GetWindowTextString(GetDlgItem(page, IDC_TESTED_VERSION)));
    }
    HWND sevenZip = dialog.ShowPage(kSevenZipCaption);
    ASSERT_NE(nullptr, sevenZip);
    HWND modules = GetDlgItem(sevenZip, IDC_7Z_SFX_MODULE);
    EXPECT_EQ(std::vector<std::string>({"SFXファイルがインストールされていません"}), ComboItems(modules));
    EXPECT_EQ("SFXファイルがインストールされていません", ComboSelection(modules));
    EXPECT_TRUE(IsWindowEnabled(modules));
    SaveAfter(dialog.Close(IDOK));

    EXPECT_EQ("7zC.sfx", StoredValue(AppDataIni(), "7-ZIP", "SevenZSfx"));
}
