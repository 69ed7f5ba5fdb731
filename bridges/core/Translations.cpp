// The four command-line languages, as the program's format builders write
// them, turned into host tool runs. Only what those builders send is
// understood; anything else is refused, so that no text can slip through to a
// tool as an option of its own.
#include "bridges/core/ArchiveNames.h"
#include "bridges/core/BridgeMessages.h"
#include "bridges/core/BridgeText.h"
#include "bridges/core/CommandLine.h"
#include "bridges/core/HostPlan.h"

#include <string.h>

#include <map>
#include <set>

const char kLinkScript[] =
    "while IFS='\t' read -r kind target name; do\n"
    "  case $kind in\n"
    "    D) mkdir -p -- \"$target\" || exit 1 ;;\n"
    "    L) ln -s -- \"$target\" \"$name\" || exit 1 ;;\n"
    "    *) exit 1 ;;\n"
    "  esac\n"
    "done\n";

namespace {

// gcab takes its files as arguments; xargs must never split them into two
// runs, the second of which would replace the cabinet. Linux takes about
// 2 MB of arguments and environment with the default stack limit, the
// argument pointers counted; the cabinet's list, counted in its real UTF-8
// bytes, its terminators and its pointers, must stay below what xargs is
// allowed, with room for the command, the archive's path and Wine's
// environment. Should a smaller limit split it all the same, the names read
// back from the cabinet tell.
const char kCabXargsSize[] = "1500000";
const size_t kMaxCabListBytes = 1400000;
const size_t kArgumentPointer = 8;
// A cabinet counts its files in 16 bits.
const size_t kMaxCabFiles = 65535;
// jlha adds to its archive, so xargs may split its list into several runs.
const char kXargsSize[] = "1000000";

void Refuse(CHostPlan* plan, int code, const char* format, const std::string& detail = std::string())
{
    plan->refusal = code;
    plan->message = ProgramMessage(format, detail);
    plan->runs.clear();
}

CHostArg Text(const std::string& value) { return CHostArg{CHostArg::kText, std::string(), value}; }
CHostArg Path(const std::string& value) { return CHostArg{CHostArg::kPath, std::string(), value}; }
CHostArg Tool(const std::string& value) { return CHostArg{CHostArg::kTool, std::string(), value}; }

bool StartsWith(const std::string& text, const char* prefix) { return text.compare(0, strlen(prefix), prefix) == 0; }

// Files grouped by base folder, in the order the folders first appear. The
// same file selected twice (one folder written in two cases, as Windows paths
// may be) is kept once.
struct CGroups
{
    std::vector<std::string> order;
    std::map<std::string, std::vector<std::string>> names;
    std::map<std::wstring, std::string> spelling;  // folded base folder → the first spelling
    std::set<std::pair<std::string, std::string>> seen;

    void Add(const std::string& base, const std::string& relative)
    {
        auto found = spelling.emplace(FoldName(ProgramToWide(base)), base).first;
        const std::string& first = found->second;
        if (!seen.insert(std::make_pair(first, relative)).second)
            return;
        if (names.find(first) == names.end())
            order.push_back(first);
        names[first].push_back(relative);
    }
    size_t Count() const
    {
        size_t count = 0;
        for (const auto& group : names)
            count += group.second.size();
        return count;
    }
    std::vector<CHostName> All() const
    {
        std::vector<CHostName> list;
        for (const std::string& base : order)
            for (const std::string& relative : names.at(base))
                list.push_back(CHostName{base, relative});
        return list;
    }
};

// "base\" "@list" pairs (7-Zip32 with "-ir-" before the at sign, Cab32
// without), each list file holding one quoted relative path a line.
bool ReadBaseFolderLists(const std::vector<std::string>& words, size_t first, const char* listPrefix,
                         CGroups* groups, CHostPlan* plan)
{
    for (size_t i = first; i < words.size(); i += 2)
    {
        std::string base;
        if (!TakeBaseFolder(words[i], &base) || i + 1 >= words.size() || !StartsWith(words[i + 1], listPrefix))
        {
            Refuse(plan, kArchiverResultCommandName, kMsgUnknownSwitch, words[i]);
            return false;
        }
        std::string listFile = words[i + 1].substr(strlen(listPrefix));
        std::vector<std::string> lines;
        if (!ReadListLines(listFile, &lines))
        {
            Refuse(plan, kArchiverResultFailed, kMsgListUnreadable, listFile);
            return false;
        }
        for (const std::string& line : lines)
        {
            std::vector<std::string> fields;
            if (!SplitCommandLine(line, &fields) || fields.size() != 1)
            {
                Refuse(plan, kArchiverResultCommandName, kMsgBadCommandLine);
                return false;
            }
            groups->Add(base, fields[0]);
        }
    }
    return true;
}

// One list file whose lines name the base folder and the relative path
// (Unlha32 adds a third field, "-x1").
bool ReadPairList(const std::string& word, size_t fieldCount, CGroups* groups, CHostPlan* plan)
{
    if (!StartsWith(word, "@"))
    {
        Refuse(plan, kArchiverResultCommandName, kMsgUnknownSwitch, word);
        return false;
    }
    std::vector<std::string> lines;
    if (!ReadListLines(word.substr(1), &lines))
    {
        Refuse(plan, kArchiverResultFailed, kMsgListUnreadable, word.substr(1));
        return false;
    }
    for (const std::string& line : lines)
    {
        std::vector<std::string> fields;
        std::string base;
        if (!SplitCommandLine(line, &fields) || fields.size() != fieldCount || !TakeBaseFolder(fields[0], &base))
        {
            Refuse(plan, kArchiverResultCommandName, kMsgBadCommandLine);
            return false;
        }
        groups->Add(base, fields[1]);
    }
    return true;
}

// Two files that would have one name in the archive, compared as Windows
// readers compare names (ArchiveNames.h: FoldName), or a file whose name is
// a folder of another: one would overwrite the other on extraction, and a
// tool given both keeps one, or the later run replaces the earlier's. 7-Zip
// on Windows refuses such a selection too; so do the bridges, before any tool
// runs, naming both.
bool HaveDistinctNames(const CGroups& groups, CHostPlan* plan)
{
    std::map<std::wstring, std::string> files;    // folded name → the file's path
    std::map<std::wstring, std::string> folders;  // folded folder → a file's path below it
    for (const CHostName& name : groups.All())
    {
        std::string path = name.baseFolder + "\\" + name.relative;
        std::wstring key = FoldName(ProgramToWide(name.relative));
        const std::string* other = NULL;
        auto file = files.find(key);
        auto folder = folders.find(key);
        if (file != files.end())
            other = &file->second;
        else if (folder != folders.end())
            other = &folder->second;
        for (size_t slash = key.find(L'\\'); other == NULL && slash != std::wstring::npos;
             slash = key.find(L'\\', slash + 1))
        {
            std::wstring prefix = key.substr(0, slash);
            auto clash = files.find(prefix);
            if (clash != files.end())
                other = &clash->second;
            else
                folders.emplace(prefix, path);
        }
        if (other != NULL)
        {
            Refuse(plan, kArchiverResultFailed, kMsgSameName, *other + "\n" + path);
            return false;
        }
        files.emplace(key, path);
    }
    return true;
}

bool HaveFiles(const CGroups& groups, CHostPlan* plan)
{
    if (groups.Count() == 0)
    {
        Refuse(plan, kArchiverResultFailed, kMsgNoFiles);
        return false;
    }
    return HaveDistinctNames(groups, plan);
}

// The tail of a one-list-file command line: the archive, then "@list" as its
// last word. False (and the plan refused) when the line ends otherwise, the
// list cannot be read or names no file.
bool ReadArchiveAndList(const std::vector<std::string>& words, size_t i, size_t fieldCount, CGroups* groups,
                        CHostPlan* plan)
{
    if (i + 2 != words.size())
    {
        Refuse(plan, kArchiverResultCommandName, kMsgBadCommandLine);
        return false;
    }
    plan->archive = words[i];
    return ReadPairList(words[i + 1], fieldCount, groups, plan) && HaveFiles(*groups, plan);
}

// The tail of a 7-Zip32 or Cab32 command line: the archive, then the base
// folders with their list files. False (and the plan refused) as above.
bool ReadArchiveAndBaseFolderLists(const std::vector<std::string>& words, size_t i, const char* listPrefix,
                                   CGroups* groups, CHostPlan* plan)
{
    if (i >= words.size())
    {
        Refuse(plan, kArchiverResultCommandName, kMsgBadCommandLine);
        return false;
    }
    plan->archive = words[i];
    return ReadBaseFolderLists(words, i + 1, listPrefix, groups, plan) && HaveFiles(*groups, plan);
}

// The tool's one run over every file. The tools take names relative to the
// folder they run in, and each base folder's own run would let a later
// folder's entry replace an earlier one of the same name, or a tool that
// cannot add (gcab) make a new archive: files of several base folders are
// packed from a staging folder built as the archive's tree, of links to the
// user's files and folders (HostSession.cpp).
void AddRuns(const CGroups& groups, CHostRun tool, CHostPlan::Check check, CHostPlan* plan)
{
    std::vector<CHostName> all = groups.All();
    if (groups.order.size() == 1)
        tool.workFolder = groups.order[0];
    else
    {
        CHostRun stage;
        stage.tool = "sh";
        stage.args = {Text("-c"), Text(kLinkScript), Text("sh")};
        stage.linkLines = true;
        stage.namesOnStdin = true;
        stage.names = all;
        plan->runs.push_back(stage);
    }
    tool.names = all;
    plan->runs.push_back(tool);
    plan->check = check;
    for (const CHostName& name : all)
        plan->expectedNames.push_back(name.relative);
}

// The words of a command line whose first word is the add command addWord
// (NULL for Zip32j, whose lines name no command); the command sfxWord, which
// asks for a self-extracting archive, is refused with its own text first.
bool TakeCommandWords(const std::string& line, const char* addWord, const char* sfxWord, const char* sfxMessage,
                      std::vector<std::string>* words, CHostPlan* plan)
{
    *plan = CHostPlan();
    if (!SplitCommandLine(line, words))
    {
        Refuse(plan, kArchiverResultCommandName, kMsgBadCommandLine);
        return false;
    }
    if (sfxWord != NULL && !words->empty() && (*words)[0] == sfxWord)
    {
        Refuse(plan, kArchiverResultNotSupported, sfxMessage);
        return false;
    }
    if (addWord != NULL && (words->empty() || (*words)[0] != addWord))
    {
        Refuse(plan, kArchiverResultCommandName, kMsgOnlyAdd);
        return false;
    }
    return true;
}

}  // namespace

void TranslateSevenZip(const std::string& line, CHostPlan* plan)
{
    std::vector<std::string> words;
    if (!TakeCommandWords(line, "a", NULL, NULL, &words, plan))
        return;
    if (words.size() < 2 || (words[1] != "-t7z" && words[1] != "-tzip"))
        return Refuse(plan, kArchiverResultCommandName, kMsgUnknownSwitch, words.size() < 2 ? "" : words[1]);
    bool zip = words[1] == "-tzip";

    std::vector<std::string> methodOptions;
    bool usePassword = false;
    std::string password;
    size_t i = 2;
    for (; i < words.size() && StartsWith(words[i], "-"); ++i)
    {
        const std::string& word = words[i];
        if (word == "-hide")
            plan->showProgress = false;
        else if (StartsWith(word, "-sfx"))
            return Refuse(plan, kArchiverResultNotSupported, kMsgSevenZipSfx);
        else if (StartsWith(word, "-p"))
        {
            usePassword = true;
            password = word.substr(2);
        }
        else if (StartsWith(word, "-m") && word.size() > 2)
            methodOptions.push_back(word);  // the settings' own options, custom ones too
        else if (word == "-scsUTF-8" && ProgramTextIsUtf8())
            continue;  // the list files are read as UTF-8 in the UTF-8 mode anyway
        else
            return Refuse(plan, kArchiverResultCommandName, kMsgUnknownSwitch, word);
    }
    CGroups groups;
    if (!ReadArchiveAndBaseFolderLists(words, i, "-ir-@", &groups, plan))
        return;
    // 7zz takes only ASCII passwords for ZIP; a Windows 7-Zip would encode
    // others in a code page a reader cannot know, so they are refused.
    if (zip && usePassword && !IsAscii(password))
        return Refuse(plan, kArchiverResultNotSupported, kMsgZipPasswordAscii);

    CHostRun run;
    run.tool = "7zz";
    run.args = {Text("a"), Text(words[1])};
    for (const std::string& option : methodOptions)
        run.args.push_back(Text(option));
    // 7z keys its encryption on the UTF-16 form of the password, so the
    // characters typed give the same key as on Windows. "-p" alone has 7zz
    // read it from its standard input (a terminal or not).
    if (usePassword)
    {
        run.args.push_back(Text("-p"));
        run.secret = password;
        plan->password = password;
    }
    for (const char* option : {"-scsUTF-8", "-sccUTF-8", "-bso1", "-bse1", "-bsp1", "-y"})
        run.args.push_back(Text(option));
    run.args.push_back(Path(plan->archive));
    // 7zz reads the list file's lines as names, "-" and "@x" too.
    run.args.push_back(CHostArg{CHostArg::kNameList, "-ir-@", std::string()});
    AddRuns(groups, run, zip ? CHostPlan::kCheckZip : CHostPlan::kCheckSevenZip, plan);
}

void TranslateZip32j(const std::string& line, CHostPlan* plan)
{
    std::vector<std::string> words;
    if (!TakeCommandWords(line, NULL, "--sfx", kMsgZipSfx, &words, plan))
        return;

    std::vector<CHostArg> options;
    bool usePassword = false;
    std::string password;
    size_t i = 0;
    for (; i < words.size() && StartsWith(words[i], "-"); ++i)
    {
        const std::string& word = words[i];
        if (word == "-u" || word == "-ll" || word == "-l")
            options.push_back(Text(word));
        else if (word.size() == 2 && word[1] >= '0' && word[1] <= '9')
            options.push_back(Text(word));
        else if (word == "-q")
        {
            plan->showProgress = false;
            options.push_back(Text(word));
        }
        else if (word == "-S")
            continue;  // system and hidden files: no such thing on the host
        else if (word == "-P" && i + 1 < words.size())
        {
            usePassword = true;
            password = words[++i];
        }
        else
            return Refuse(plan, kArchiverResultCommandName, kMsgUnknownSwitch, word);
    }
    CGroups groups;
    if (!ReadArchiveAndList(words, i, 2, &groups, plan))
        return;
    // In the UTF-8 mode the password's bytes would be UTF-8, which Windows
    // readers of the ZIP do not try; the program refuses such a password, and
    // so does the bridge.
    if (usePassword && ProgramTextIsUtf8() && !IsAscii(password))
        return Refuse(plan, kArchiverResultNotSupported, kMsgZipPasswordAscii);
    CHostRun run;
    run.tool = "zip";
    run.args = options;
    // Info-ZIP encrypts with the bytes it is given: the Shift_JIS bytes
    // typed, as Zip32j.dll on Windows does. It reads a password only from a
    // terminal, so it stays on the command line.
    if (usePassword)
    {
        run.args.push_back(Text("-P"));
        run.args.push_back(CHostArg{CHostArg::kBytes, std::string(), password});
    }
    run.args.push_back(Path(plan->archive));
    run.args.push_back(Text("-@"));
    run.namesOnStdin = true;
    run.dotSlashDash = true;
    AddRuns(groups, run, CHostPlan::kCheckZipMarkUtf8, plan);
}

void TranslateCab(const std::string& line, CHostPlan* plan)
{
    std::vector<std::string> words;
    if (!TakeCommandWords(line, "-a", "-f", kMsgCabSfx, &words, plan))
        return;

    bool mszip = true;
    size_t i = 1;
    for (; i < words.size() && StartsWith(words[i], "-"); ++i)
    {
        const std::string& word = words[i];
        if (word == "-ms")
            mszip = false;
        else if (word == "-mz")
            mszip = true;
        else if (StartsWith(word, "-ml"))
            return Refuse(plan, kArchiverResultNotSupported, kMsgLzx);
        else if (StartsWith(word, "-v"))
            return Refuse(plan, kArchiverResultNotSupported, kMsgVolumes);
        else if (word == "-i")
            plan->showProgress = false;
        else
            return Refuse(plan, kArchiverResultCommandName, kMsgUnknownSwitch, word);
    }
    CGroups groups;
    if (!ReadArchiveAndBaseFolderLists(words, i, "@", &groups, plan))
        return;
    size_t bytes = 0;
    for (const auto& group : groups.names)
        for (const std::string& name : group.second)
            bytes += ProgramToUtf8(name).size() + 1 + kArgumentPointer;
    if (bytes > kMaxCabListBytes || groups.Count() > kMaxCabFiles)
        return Refuse(plan, kArchiverResultNotSupported, kMsgTooManyFiles);

    // gcab takes names after "--" as they are, "-" and "@x" too.
    CHostRun pack;
    pack.tool = "xargs";
    pack.args = {Text("-d"), Text("\n"), Text("-s"), Text(kCabXargsSize), Tool("gcab"), Text("-c")};
    if (mszip)
        pack.args.push_back(Text("-z"));
    pack.args.push_back(Path(plan->archive));
    pack.args.push_back(Text("--"));
    pack.namesOnStdin = true;
    AddRuns(groups, pack, CHostPlan::kCheckCab, plan);
}

void TranslateUnlha(const std::string& line, CHostPlan* plan)
{
    std::vector<std::string> words;
    if (!TakeCommandWords(line, "a", "s", kMsgLhaSfx, &words, plan))
        return;

    char method = '5';
    size_t i = 1;
    for (; i < words.size() && StartsWith(words[i], "-"); ++i)
    {
        const std::string& word = words[i];
        if (word == "-n1")
            plan->showProgress = false;
        else if (word == "-jm2" || word == "-jm3" || word == "-jm4")
            method = static_cast<char>('5' + (word[3] - '2'));
        else if (word == "-a1")
            continue;  // attributes: the host has none to keep
        else
            return Refuse(plan, kArchiverResultCommandName, kMsgUnknownSwitch, word);
    }
    CGroups groups;
    if (!ReadArchiveAndList(words, i, 3, &groups, plan))
        return;
    CHostRun run;
    run.tool = "xargs";
    // Header level 2 (long names, folders), "y" for Shift_JIS names, the
    // method last: jlha reads a digit after "o" as the method. jlha takes
    // every word after the archive as a name, "-x" and "@x" too, and "a"
    // adds to the archive, so a list that xargs splits still adds up.
    std::string command = std::string("a2yo") + method;
    run.args = {Text("-d"), Text("\n"), Text("-s"), Text(kXargsSize), Tool("jlha"), Text(command),
                Path(plan->archive)};
    run.namesOnStdin = true;
    AddRuns(groups, run, CHostPlan::kCheckLha, plan);
}
