// The comparison of a read-back archive with the job's list: each kind of
// difference, names as the formats compare them, old entries when adding.
#include "job/ReadBack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Describe(const std::vector<CArchiveDifference>& differences)
{
    const char* kinds[] = {"missing", "extra", "size", "doubled"};
    std::string text;
    for (const CArchiveDifference& d : differences)
    {
        text += std::string(text.empty() ? "" : ", ") + kinds[static_cast<int>(d.kind)] + " ";
        for (wchar_t c : d.name)
            text += c < 0x80 ? static_cast<char>(c) : '?';
        if (d.kind == EArchiveDifference::Size)
            text += " " + std::to_string(d.expected) + "/" + std::to_string(d.stored);
    }
    return text;
}

}  // namespace

TEST(ReadBack, DifferencesOfTheArchiveFromTheList)
{
    struct
    {
        const char* what;
        std::vector<CExpectedFile> given;
        std::vector<CArchiveFile> before;
        std::vector<CArchiveFile> after;
        const char* expected;
    } cases[] = {
        {"honest", {{L"a.txt", 1}, {L"s\\b.txt", 2}}, {}, {{L"s/b.txt", 2}, {L"a.txt", 1}}, ""},
        {"case and separators", {{L"Dir\\File.TXT", 3}}, {}, {{L"dir/file.txt", 3}}, ""},
        {"left out", {{L"a.txt", 1}, {L"b.txt", 2}}, {}, {{L"a.txt", 1}}, "missing b.txt"},
        {"wrong size", {{L"a.txt", 1}}, {}, {{L"a.txt", 7}}, "size a.txt 1/7"},
        {"extra entry", {{L"a.txt", 1}}, {}, {{L"a.txt", 1}, {L"x.txt", 1}}, "extra x.txt"},
        {"stored twice", {{L"a.txt", 1}}, {}, {{L"a.txt", 1}, {L"A.TXT", 1}}, "doubled A.TXT"},
        {"adding keeps the old", {{L"new.txt", 1}}, {{L"old.txt", 5}}, {{L"old.txt", 5}, {L"new.txt", 1}}, ""},
        {"adding lost the old", {{L"new.txt", 1}}, {{L"old.txt", 5}}, {{L"new.txt", 1}}, "missing old.txt"},
        {"a given name replaces an old one", {{L"a.txt", 9}}, {{L"A.txt", 5}}, {{L"a.txt", 9}}, ""},
        {"kinds in order", {{L"a", 1}, {L"b", 1}}, {}, {{L"z", 1}, {L"b", 2}}, "missing a, size b 1/2, extra z"},
        {"two bases, one name", {{L"x", 1}, {L"x", 1}}, {}, {{L"x", 1}}, "missing x"},
    };
    for (const auto& c : cases)
    {
        std::vector<CArchiveDifference> differences;
        size_t count = CompareArchive(0, c.given, c.before, c.after, 20, &differences);
        EXPECT_EQ(c.expected, Describe(differences)) << c.what;
        EXPECT_EQ(differences.size(), count) << c.what;
    }
}

TEST(ReadBack, OnlyTheFirstDifferencesAreKeptButAllAreCounted)
{
    std::vector<CExpectedFile> given;
    for (int i = 0; i < 50; ++i)
        given.push_back(CExpectedFile{L"f" + std::to_wstring(i), 1});
    std::vector<CArchiveDifference> differences;
    EXPECT_EQ(50u, CompareArchive(8, given, {}, {}, 20, &differences));
    ASSERT_EQ(20u, differences.size());
    EXPECT_EQ(L"f0", differences[0].name);
    EXPECT_EQ(L"f19", differences[19].name);
}
