#include "settings/AppSetting.h"
#include "settings/FilterSettings.h"
#include "settings/IniFile.h"
#include "settings/SettingsFile.h"

#include "tests/settings/SettingsSandbox.h"
#include "tests/support/ProfileReference.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Repeat(const std::string& piece, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

}  // namespace

// Each text is read through the profile functions and from memory; every
// section and key its lines name is compared at several buffer sizes.
TEST(CIniReader, EveryValueAsTheProfileFunctionsReadIt)
{
    const std::string kanji = "\x95\x5c";  // 表, its trail byte a backslash
    const struct
    {
        const char* what;
        std::string text;
    } cases[] = {
        {"blanks around names and values", "[S]\r\n  key  =  v a l  \r\n\tk2\t=\tx\t\r\nk3 = \x1Ay\x1A\r\n"},
        {"ideographic spaces stay", "[S]\r\nk=\x81\x40v\x81\x40\r\n\x81\x40k2=x\r\n"},
        {"quotes", "[S]\r\na=\"q\"\r\nb='q'\r\nc=\"q'\r\nd=\"\r\ne=''\r\nf=\"\"\"\r\ng= \"x\" \r\nh=x\"\r\n"},
        {"comments and keys without =", "[S]\r\n;c=1\r\n;c\r\n# h=2\r\nnovalue\r\nk=1\r\n"},
        {"duplicate keys and sections", "[S]\r\nk=1\r\nK=2\r\n[s]\r\nk=3\r\nj=4\r\n[T]\r\n[S]\r\nz=5\r\n"},
        {"headers", "[ S ]\r\na=1\r\n[T]x\r\nb=2\r\n[U]]\r\nc=3\r\n[V\r\nd=4\r\n[]\r\ne=5\r\n  [W]  \r\nf=6\r\n"},
        {"headers with tabs and a trail byte ]", "\t[\tX\t]\r\na=1\r\n[T\x81]\r\nb=2\r\n[S]\x81]\r\nc=3\r\n"},
        {"keys before any header", "k=0\r\n=x\r\n[S]\r\nk=1\r\n"},
        {"empty names", "[S]\r\n=1\r\n=2\r\n a = 3\r\n=4\r\n"},
        {"line ends", "[S]\ra=1\rb=2\n\n\r\rc=3\n[T]\nd=4"},
        {"NUL inside", std::string("[S]\r\nk=ab\0cd\r\nn\0m=1\r\n[X\0Y]\r\nq=2\r\n", 35)},
        {"letter case beyond ASCII", "[S]\r\n\x82\x60=1\r\n\x83\x9F=2\r\n\x84\x40=3\r\nK=4\r\n"},
        {"long values cut at whole characters",
         "[S]\r\nk=" + Repeat(kanji, 600) + "\r\nl=a" + Repeat(kanji, 600) + "\r\nm=" + std::string(1500, 'x') +
             "\r\nn=\"" + std::string(1021, 'y') + "\"\r\no=" + std::string(1022, 'z') + "\x81\r\n"},
        {"lone lead bytes and bad trail bytes", "[S]\r\na=x\x81\r\nb=\x81\x20y\r\nc=\xA0\xFD\xFE\xFF\r\nd=\x82\r\n"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF[S]\r\nk=\xE8\xA1\xA8\r\nj=\xF0\x9F\x98\x80\r\n"},
        {"UTF-16 byte-order mark", std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0h\x88\r\0\n\0", 22)},
        {"big-endian UTF-16 byte-order mark", std::string("\xFE\xFF\0[\0S\0]\0\r\0\n\0k\0=\x88h", 18)},
        {"Ctrl-Z inside", "[S]\r\nk=a\x1A" "b\r\n\x1A[T]\r\nj=1\r\n"},
        {"empty file", ""},
        {"no line end", "[S]\r\nk=1"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_GT(ExpectReadersAgree(c.text, {"S", "T", "X", ""}, {"k", "missing", ""}), 1u);
    }
}

// What the program itself writes, read back by both readers.
TEST_F(SettingsFileTest, SavedSettingsReadAsTheProfileFunctionsReadThem)
{
    CFakeFormats formats;
    g_appSetting.OutFolder = " C:\\出力\\ ";
    for (int n = 0; n < 3; ++n)
    {
        CFilterList list;
        list.Title = n == 0 ? "\"quoted\"" : "リスト" + std::to_string(n);
        list.Comment = std::string(1100, 'c');
        for (int k = 0; k < 4; ++k)
        {
            CFilterDef definition;
            definition.Filter = k == 0 ? "*.txt " : "表" + std::to_string(k);
            definition.Regex = k % 2 == 1;
            list.Definitions.push_back(definition);
        }
        g_appSetting.FilterLists.push_back(list);
    }
    std::string file;
    ASSERT_TRUE(SaveSettings(&file));
    EXPECT_GT(ExpectReadersAgree(ReadFileBytes(file), {"FILTER_1"}, {"Filter3_Filter"}), 100u);
}
