#include "filters/SimplePattern.h"

#include <wchar.h>

namespace
{

// What the wildcard translation escapes; a backslash before anything else is
// a class or an assertion of the library, outside the language.
const wchar_t kEscapable[] = L"$()+-.[\\]^{|}";
// Characters with a meaning of their own to the library when they stand bare.
const wchar_t kSpecial[] = L"$()*+.?[\\]^{|}";

bool IsIn(wchar_t c, const wchar_t* set)
{
    return c != L'\0' && wcschr(set, c) != nullptr;
}

bool IsCapital(wchar_t c)
{
    return c >= L'A' && c <= L'Z';
}

}  // namespace

bool CSimplePattern::Parse(const wchar_t* begin, const wchar_t* end)
{
    m_elements.clear();
    int innerRuns = 0;
    for (const wchar_t* p = begin; p != end;)
    {
        CElement element = {kLiteral, *p, *p};
        if (*p == L'\\')
        {
            if (end - p < 2 || !IsIn(p[1], kEscapable))
                return false;
            element.First = element.Second = p[1];
            p += 2;
        }
        else if (*p == L'.')
        {
            if (end - p >= 2 && p[1] == L'*')
            {
                element.Kind = kRun;
                p += 2;
            }
            else
            {
                element.Kind = kAny;
                p += 1;
            }
        }
        else if (*p == L'[')
        {
            // Only "[Xx]": a capital and its small letter.
            if (end - p < 4 || !IsCapital(p[1]) || p[2] != p[1] - L'A' + L'a' || p[3] != L']')
                return false;
            element.Kind = kPair;
            element.First = p[1];
            element.Second = p[2];
            p += 4;
        }
        else if (IsIn(*p, kSpecial))
        {
            return false;
        }
        else
        {
            p += 1;
        }
        // A quantifier after anything but the "." of a run, or after a run
        // (".*?", ".*+", ".**"), is outside the language.
        if (p != end && (*p == L'*' || *p == L'+' || *p == L'?' || *p == L'{'))
            return false;
        if (element.Kind == kRun && p != end)
            ++innerRuns;
        m_elements.push_back(element);
    }
    if (innerRuns > 1)
    {
        m_elements.clear();
        return false;
    }
    return true;
}

bool CSimplePattern::Match(const wchar_t* begin, const wchar_t* end) const
{
    // The glob match: elements are consumed left to right; on a mismatch the
    // latest run takes one more unit and matching resumes after it.
    size_t element = 0;
    const wchar_t* text = begin;
    size_t runElement = m_elements.size();
    const wchar_t* runText = nullptr;
    while (text != end)
    {
        if (element < m_elements.size())
        {
            const CElement& e = m_elements[element];
            if (e.Kind == kRun)
            {
                runElement = element++;
                runText = text;
                continue;
            }
            if (e.Kind == kAny || *text == e.First || *text == e.Second)
            {
                ++element;
                ++text;
                continue;
            }
        }
        if (runElement == m_elements.size())
            return false;
        element = runElement + 1;
        text = ++runText;
    }
    while (element < m_elements.size() && m_elements[element].Kind == kRun)
        ++element;
    return element == m_elements.size();
}
