#include "filters/FilterMatch.h"

#include "common/TextConvert.h"
#include "filters/SimplePattern.h"
#include "filters/StringNkf.h"
#include "filters/WildcardToRegex.h"
#include "settings/CompressJob.h"

#include <boost/regex.hpp>

#include <stdio.h>
#include <wchar.h>

#include <exception>
#include <vector>

namespace
{

struct CompiledFilter
{
    int Type;
    boost::wregex Expression;
    // Set when the expression is one CSimplePattern decides exactly as the
    // library would, which is most wildcard definitions; else the library is asked.
    bool IsSimple = false;
    CSimplePattern Simple;
    // Where the definition came from, for the message when a match fails.
    int Position;
    std::string Pattern;
};

// The job's compiled set and its switch and action. Only one job compiles and
// matches at a time.
std::vector<CompiledFilter> g_compiledFilters;
bool g_filterSw = false;
int g_actType = kFilterActExclude;
std::string g_listTitle;
std::string g_compileError;
std::string g_matchError;
// Kept from one match to the next: regex_match without one makes and frees its
// own for every call, which was a good part of a match's cost.
boost::match_results<const wchar_t*> g_matchResults;

bool IsMatchedType(int type)
{
    return type == kFilterTypeExtension || type == kFilterTypeFileName;
}

std::string DescribeDefinition(int position, const std::string& pattern)
{
    char number[16];
    snprintf(number, sizeof(number), "%d", position + 1);
    return "フィルタリスト「" + g_listTitle + "」の定義 " + number + "「" + pattern + "」";
}

// The user's message for a definition that cannot be used.
std::string CompileErrorMessage(int position, const CFilterDef& definition, const char* reason)
{
    return DescribeDefinition(position, definition.Filter) + "を使用できません。\n" + reason +
           "\nフィルタの設定を確認してください。";
}

// ANSI to UTF-16 as the filter engine converts every text.
class CWideText
{
public:
    explicit CWideText(const char* text)
    {
        m_nkf.SetInputCode(kNkfAnsi);
        m_nkf.SetOutputCode(kNkfUtf16);
        m_nkf.Begin();
        m_text = static_cast<const wchar_t*>(m_nkf.Convert(text));
        m_nkf.End();
        m_length = wcslen(m_text);
    }
    const wchar_t* Begin() const { return m_text; }
    const wchar_t* End() const { return m_text + m_length; }

private:
    StringNkf m_nkf;
    const wchar_t* m_text;
    size_t m_length;
};

// The extension a definition of Type 0 is matched against: from the last dot to
// the end (the whole name for ".profile"), or "." for a name without a dot. The
// dot is never the second byte of a Shift_JIS character, so the UTF-16 form of the
// extension is the tail of the UTF-16 name.
void FindExtension(const wchar_t* nameBegin, const wchar_t* nameEnd, const wchar_t** begin,
                   const wchar_t** end)
{
    static const wchar_t kNoExtension[] = L".";
    for (const wchar_t* p = nameEnd; p != nameBegin; --p)
    {
        if (p[-1] == L'.')
        {
            *begin = p - 1;
            *end = nameEnd;
            return;
        }
    }
    *begin = kNoExtension;
    *end = kNoExtension + 1;
}

}  // namespace

int BuildFilterExpression(const CFilterDef& definition, std::string* expression)
{
    if (definition.Regex)
    {
        expression->append(definition.Filter);
        return 1;
    }
    if (definition.AlphabetBS)
        return WildcardToRegex(definition.Filter.c_str(), expression);
    std::string wildcard;
    WildcardToRegex(definition.Filter.c_str(), &wildcard);
    return FoldAlphabetCase(wildcard.c_str(), expression);
}

int CompileFilterList(CCompressJob* job)
{
    g_compileError.clear();
    g_matchError.clear();
    ClearCompiledFilters();

    g_filterSw = job->Setting.FilterSw;
    if (!g_filterSw)
        return 1;

    const std::vector<CFilterList>& lists = job->Setting.FilterLists;
    int index = job->FilterListIndex;
    if (index < 0 || index >= static_cast<int>(lists.size()))
    {
        // No list to apply: every file is taken, whatever the last job's action was.
        g_actType = kFilterActExclude;
        return 1;
    }

    const CFilterList& list = lists[index];
    g_actType = list.ActType;
    g_listTitle = list.Title;

    for (size_t i = 0; i < list.Definitions.size(); ++i)
    {
        const CFilterDef& definition = list.Definitions[i];
        // A definition of another Type is never consulted, so it cannot stop a job.
        if (!IsMatchedType(definition.Type))
            continue;

        int position = static_cast<int>(i);
        std::string expression;
        BuildFilterExpression(definition, &expression);
        // An empty expression would be an unassigned one, which the library refuses
        // to match against; stopping here keeps the list from silently taking files.
        if (expression.empty())
        {
            g_compileError = CompileErrorMessage(position, definition, "定義が空です。");
            ClearCompiledFilters();
            return 0;
        }

        CompiledFilter compiled;
        compiled.Type = definition.Type;
        compiled.Position = position;
        compiled.Pattern = definition.Filter;
        try
        {
            CWideText wide(expression.c_str());
            compiled.Expression.assign(wide.Begin(), wide.End(), boost::regex_constants::perl);
            compiled.IsSimple = compiled.Simple.Parse(wide.Begin(), wide.End());
        }
        catch (const std::exception&)
        {
            g_compileError = CompileErrorMessage(position, definition, "正規表現として解釈できません。");
            ClearCompiledFilters();
            return 0;
        }
        g_compiledFilters.push_back(std::move(compiled));
    }
    return 1;
}

const std::string& GetFilterCompileError()
{
    return g_compileError;
}

const std::string& GetFilterMatchError()
{
    return g_matchError;
}

int IsTargetFile(const char* name, int kind)
{
    CFilterVerdict verdict;
    return JudgeFile(name, kind, &verdict);
}

int IsTargetWideName(const char* name, const wchar_t* wideName, size_t wideLength, int kind)
{
    CFilterVerdict verdict;
    return JudgeWideName(name, wideName, wideLength, kind, &verdict);
}

int JudgeFile(const char* name, int kind, CFilterVerdict* verdict)
{
    *verdict = CFilterVerdict();
    if (!g_filterSw || kind == kTargetFolder)
        return 1;
    CWideText wideName(name);
    return JudgeWideName(name, wideName.Begin(), wideName.End() - wideName.Begin(), kind, verdict);
}

int JudgeWideName(const char* name, const wchar_t* wideName, size_t wideLength, int kind, CFilterVerdict* verdict)
{
    *verdict = CFilterVerdict();
    if (!g_filterSw || kind == kTargetFolder)
        return 1;

    const wchar_t* nameBegin = wideName;
    const wchar_t* nameEnd = wideName + wideLength;
    const wchar_t* extensionBegin;
    const wchar_t* extensionEnd;
    FindExtension(nameBegin, nameEnd, &extensionBegin, &extensionEnd);

    bool matched = false;
    for (const CompiledFilter& filter : g_compiledFilters)
    {
        const wchar_t* begin = filter.Type == kFilterTypeExtension ? extensionBegin : nameBegin;
        const wchar_t* end = filter.Type == kFilterTypeExtension ? extensionEnd : nameEnd;
        if (filter.IsSimple)
        {
            matched = filter.Simple.Match(begin, end);
        }
        else
        {
            try
            {
                // match_any is what regex_match adds without a results object: any
                // match will do, only whether there is one counts.
                matched = boost::regex_match(begin, end, g_matchResults, filter.Expression,
                                             boost::match_default | boost::match_any);
            }
            catch (const std::exception&)
            {
                // The library gave up on this name (too complex a match). The file can be
                // judged neither way: it is left out here, and the walk's caller stops
                // the job on GetFilterMatchError(), so no archive silently misses it.
                // A name without an ANSI form comes without its ANSI text: the
                // message shows its look-alike, "?" for what has none.
                if (g_matchError.empty())
                    g_matchError = DescribeDefinition(filter.Position, filter.Pattern) + "でファイル「" +
                                   (name[0] != '\0' ? std::string(name)
                                                     : WideToShiftJis(std::wstring(wideName, wideLength))) +
                                   "」を判定できませんでした。";
                verdict->Definition = filter.Position;
                verdict->Undecided = true;
                return 0;
            }
        }
        if (matched)
        {
            verdict->Definition = filter.Position;
            break;
        }
    }

    if (g_actType == kFilterActOnly)
        return matched ? 1 : 0;
    return matched ? 0 : 1;
}

int ClearCompiledFilters()
{
    g_compiledFilters.clear();
    return 1;
}
