#include "filters/GitIgnore.h"

#include "common/FileBytes.h"
#include "common/TextConvert.h"
#include "filters/FileList.h"
#include "settings/CompressJob.h"
#include "tests/bridges/HostCommand.h"
#include "tests/support/IgnoreTree.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace {

struct CRuleCase
{
    const char* rootRules;  // UTF-8
    const char* subRules;   // of the folder "sub"
    const wchar_t* folder;  // the entry's folder below the top
    const wchar_t* name;
    bool isFolder;
    const wchar_t* reason;  // as git check-ignore -v prints it; "" for none
    bool ignored;
};

// Each row as git 2.39 with core.ignorecase decides it.
const CRuleCase kRuleCases[] = {
    {"*.log", "", L"", L"a.LOG", false, L".gitignore:1:*.log", true},
    {"*.log\n!keep.log", "", L"", L"keep.log", false, L".gitignore:2:!keep.log", false},
    {"# c\n\n\\#x", "", L"", L"#x", false, L".gitignore:3:\\#x", true},
    {"# c", "", L"", L"# c", false, L"", false},
    {"\\!x", "", L"", L"!x", false, L".gitignore:1:\\!x", true},
    {"x\\  ", "", L"", L"x ", false, L".gitignore:1:x\\ ", true},
    {"x   \r\ny\r\n", "", L"", L"y", false, L".gitignore:2:y", true},
    {"\xEF\xBB\xBFz", "", L"", L"z", false, L".gitignore:1:z", true},
    {"/a", "", L"sub", L"a", false, L"", false},
    {"a/b", "", L"a", L"b", false, L".gitignore:1:a/b", true},
    {"build/", "", L"", L"build", false, L"", false},
    {"build/", "", L"sub", L"Build", true, L".gitignore:1:build/", true},
    {"**/x", "", L"a\\b", L"x", false, L".gitignore:1:**/x", true},
    {"a/**", "", L"a\\b", L"c", false, L".gitignore:1:a/**", true},
    {"a/**/c", "", L"a", L"c", false, L".gitignore:1:a/**/c", true},
    {"a/*/c", "", L"a\\b\\d", L"c", false, L"", false},
    {"a**b", "", L"", L"aXb", false, L".gitignore:1:a**b", true},
    {"[a-c]?", "", L"", L"B1", false, L".gitignore:1:[a-c]?", true},
    {"[A]", "", L"", L"A", false, L"", false},
    {"\\Ab", "", L"", L"Ab", false, L"", false},
    {"[!a]x\n[^b]y", "", L"", L"bx", false, L".gitignore:1:[!a]x", true},
    {"[^b]y", "", L"", L"By", false, L"", false},
    {"[[:upper:]]", "", L"", L"q", false, L".gitignore:1:[[:upper:]]", true},
    {"[[:bogus:]]x", "", L"", L"bx", false, L"", false},
    {u8"ä*", "", L"", L"Ä1", false, L"", false},
    {"?", "", L"", L"日", false, L"", false},
    {"???", "", L"", L"日", false, L".gitignore:1:???", true},
    {"*.txt", "!a.txt", L"sub", L"a.txt", false, L"sub/.gitignore:1:!a.txt", false},
    {"!a.txt", "*.txt", L"sub", L"a.txt", false, L"sub/.gitignore:1:*.txt", true},
    {"", "/x", L"sub", L"x", false, L"sub/.gitignore:1:/x", true},
    {"", "x/y", L"sub\\x", L"y", false, L"sub/.gitignore:1:x/y", true},
    {"*", "", L"", L".GIT", true, L"", true},
};

TEST(GitIgnoreTest, Decide_EachConstruct_AsGitDecides)
{
    for (const CRuleCase& row : kRuleCases)
    {
        CGitIgnoreStack stack;
        stack.EnterFolderWithRules(L"", row.rootRules);
        std::wstring folder = row.folder;
        for (size_t end = folder.find(L'\\'); !folder.empty(); end = folder.find(L'\\', end + 1))
        {
            std::wstring part = folder.substr(0, end);
            stack.EnterFolderWithRules(part, part == L"sub" ? row.subRules : "");
            if (end == std::wstring::npos)
                break;
        }
        CGitIgnoreVerdict verdict = stack.Decide(row.name, row.isFolder);
        EXPECT_EQ(row.reason, verdict.Reason()) << row.rootRules << " | " << Narrow(row.name);
        EXPECT_EQ(row.ignored, verdict.ignored) << row.rootRules << " | " << Narrow(row.name);
    }
}

// What the job's walk decides: the files it takes and, per entry it hands
// over with a rule, that rule (also a "!" rule that keeps a file); the
// folders it leaves out.
struct CWalkResult
{
    std::vector<std::wstring> taken;
    std::map<std::wstring, std::wstring> reasons;
    std::set<std::wstring> leftOut;  // folders
};

// CollectFiles on top with a list that follows the .gitignore files and has
// no definitions of its own, as the job and the preview walk.
CWalkResult Walk(const std::wstring& top)
{
    CCompressJob job;
    job.Setting.FilterSw = true;
    CFilterList list;
    list.GitIgnore = true;
    job.Setting.FilterLists = {list};
    job.FilterListIndex = 0;
    CWalkResult result;
    const size_t below = top.size() + 1;
    CollectFiles(&job, {top}, [&](const CWalkFile& file) {
        std::wstring path = file.path.substr(below);
        if (file.rule != nullptr)
            result.reasons[path] = file.rule->Reason();
        if (file.verdict == kWalkTaken)
            result.taken.push_back(path);
        else if (file.isFolder)
            result.leftOut.insert(path);
        return true;
    });
    return result;
}

std::wstring Backslashed(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::vector<std::wstring> NulSeparated(const std::wstring& file)
{
    std::string bytes;
    ReadWholeFile(file, &bytes);
    std::vector<std::wstring> parts;
    for (size_t at = 0, end; (end = bytes.find('\0', at)) != std::string::npos; at = end + 1)
    {
        parts.push_back(Utf8ToWide(bytes.substr(at, end - at)));
    }
    return parts;
}

bool BelowGitName(const std::wstring& path)
{
    std::wstring lowered = L"\\" + path + L"\\";
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), towlower);
    return lowered.find(L"\\.git\\") != std::wstring::npos;
}

std::string Describe(const CIgnoreTree& tree)
{
    std::string text = "info/exclude:\n" + tree.exclude + "\n";
    for (const auto& file : tree.ignoreFiles)
        text += Utf8Of(file.first) + "\\.gitignore:\n" + file.second + "\n";
    return text;
}

// Random trees, git run on them in batches through the host, and the
// job's walk of each compared with git's listing and check-ignore -v.
TEST(GitIgnoreTest, Walk_RandomTrees_AgreesWithGit)
{
    const char* count = getenv("TESSIK_GITIGNORE_TREES");
    const char* seedText = getenv("TESSIK_GITIGNORE_SEED");
    const int trees = count ? atoi(count) : 500;
    const unsigned seed = seedText ? static_cast<unsigned>(atoi(seedText)) : 36;
    const int kBatch = 50;
    int failures = 0;
    for (int first = 0; first < trees && failures < 3; first += kBatch)
    {
        CTestFolder folder;
        std::wstring batch = Widen(folder.Path());
        std::vector<CIgnoreTree> made;
        for (int t = first; t < std::min(trees, first + kBatch); ++t)
        {
            std::mt19937 random(seed + t);
            made.push_back(RandomIgnoreTree(random));
            std::wstring name = batch + L"\\t" + std::to_wstring(t);
            WriteIgnoreTree(made.back(), name);
            std::string paths;
            for (const auto* list : {&made.back().folders, &made.back().files})
                for (std::wstring path : *list)
                    if (!BelowGitName(path))
                        paths += Utf8Of(path) + '\0';
            std::replace(paths.begin(), paths.end(), '\\', '/');
            WriteWideFile(name + L".paths", paths);
            WriteWideFile(name + L".exclude", made.back().exclude);
        }
        const char kScript[] =
            "export HOME=\"$PWD\" XDG_CONFIG_HOME=\"$PWD\" GIT_CONFIG_NOSYSTEM=1; for t in t*.paths; do t=${t%.paths}; "
            "(cd \"$t\" && git init -q && cp ../$t.exclude .git/info/exclude && "
            "git -c core.ignorecase=true ls-files -z --others --exclude-standard >../$t.files && "
            "git -c core.ignorecase=true check-ignore -v -z --no-index --stdin <../$t.paths >../$t.ignored;"
            " [ $? -le 1 ]) || exit 1; done";
        CHostResult run = RunHost("sh", {HostText("-c"), HostText(kScript)}, folder.Path());
        ASSERT_EQ(0, run.exitCode) << run.output;

        for (int t = first; t < first + static_cast<int>(made.size()); ++t)
        {
            std::wstring name = batch + L"\\t" + std::to_wstring(t);
            CWalkResult walk = Walk(name);
            std::vector<std::wstring> gitTaken = NulSeparated(name + L".files");
            std::transform(gitTaken.begin(), gitTaken.end(), gitTaken.begin(), Backslashed);
            std::sort(gitTaken.begin(), gitTaken.end());
            std::sort(walk.taken.begin(), walk.taken.end());

            // An entry below a left-out folder has that folder's rule in git's report.
            std::map<std::wstring, std::wstring> gitReasons, ourReasons;
            std::vector<std::wstring> ignored = NulSeparated(name + L".ignored");
            const std::set<std::wstring> folders(made[t - first].folders.begin(), made[t - first].folders.end());
            for (size_t i = 0; i + 3 < ignored.size(); i += 4)
            {
                std::wstring path = Backslashed(ignored[i + 3]);
                // The walk hands over no folder it enters: a "!" rule that
                // keeps one is seen only in what it takes below it.
                if (folders.count(path) && !walk.leftOut.count(path) && ignored[i + 2].compare(0, 1, L"!") == 0)
                    continue;
                gitReasons[path] = ignored[i] + L":" + ignored[i + 1] + L":" + ignored[i + 2];
            }
            for (const auto* list : {&made[t - first].folders, &made[t - first].files})
                for (const std::wstring& path : *list)
                    for (size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1))
                    {
                        std::wstring part = path.substr(0, end);
                        if (!BelowGitName(path) && walk.reasons.count(part) &&
                            (end == std::wstring::npos || walk.leftOut.count(part)))
                        {
                            ourReasons[path] = walk.reasons[part];
                            break;
                        }
                        if (end == std::wstring::npos || walk.leftOut.count(part))
                            break;
                    }
            if (gitTaken != walk.taken || gitReasons != ourReasons)
            {
                ++failures;
                std::ostringstream differences;
                for (const std::wstring& path : gitTaken)
                    if (!std::binary_search(walk.taken.begin(), walk.taken.end(), path))
                        differences << "git takes " << Utf8Of(path) << "\n";
                for (const std::wstring& path : walk.taken)
                    if (!std::binary_search(gitTaken.begin(), gitTaken.end(), path))
                        differences << "git leaves out " << Utf8Of(path) << "\n";
                for (const auto& reason : gitReasons)
                    if (ourReasons[reason.first] != reason.second)
                        differences << Utf8Of(reason.first) << ": git " << Utf8Of(reason.second) << ", walk "
                                    << Utf8Of(ourReasons[reason.first]) << "\n";
                ADD_FAILURE() << "seed " << seed << " tree " << t << " (TESSIK_GITIGNORE_SEED=" << seed + t
                              << " TESSIK_GITIGNORE_TREES=1 repeats it)\n"
                              << Describe(made[t - first]) << differences.str();
            }
        }
    }
}

}  // namespace
