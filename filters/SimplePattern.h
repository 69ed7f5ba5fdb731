#pragma once

#include <stddef.h>

#include <vector>

// A fast, exact stand-in for the regular expression library on the small
// language the wildcard translation produces: literal characters (bare or
// escaped), "." for any one character, ".*" for any run, and "[Xx]" for both
// cases of a letter. Matching 20 definitions through the library costs several
// microseconds a name, most of a walk's filter time; this costs a few
// comparisons.
//
// Parse accepts an expression only when the library's answer for it is known
// for every name: the expression is in that language and has at most one ".*"
// that is not its last element. The library can only give up on a name through
// backtracking over several runs; with one run its work grows with the name's
// length times the expression's, far below its limit, so it always decides, and
// decides as the glob match below does. Everything else stays with the library.
class CSimplePattern
{
public:
    // expression: the UTF-16 text handed to the library. False when the
    // expression is outside the language or not safe as above.
    bool Parse(const wchar_t* begin, const wchar_t* end);
    // True when the whole of [begin, end) matches, as regex_match would say.
    bool Match(const wchar_t* begin, const wchar_t* end) const;

private:
    enum
    {
        kLiteral,  // the unit First
        kPair,     // First or Second
        kAny,      // any one unit
        kRun,      // any run of units, also empty
    };
    struct CElement
    {
        int Kind;
        wchar_t First;
        wchar_t Second;
    };
    std::vector<CElement> m_elements;
};
