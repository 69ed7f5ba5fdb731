#include "filters/WildcardToRegex.h"

#include "common/ShiftJis.h"

#include <string.h>

namespace
{

// The bytes with a meaning of their own in a regular expression that a wildcard
// pattern takes literally.
const char kEscapedBytes[] = "$()+-.[\\]^{|}";

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

int WildcardToRegex(const char* pattern, std::string* regex)
{
    for (const char* p = pattern; *p != '\0';)
    {
        const char* next = NextShiftJisChar(p);
        if (next - p == 2)
            regex->append(p, 2);
        else if (*p == '*')
            regex->append(".*");
        else if (*p == '?')
            regex->push_back('.');
        else
        {
            if (strchr(kEscapedBytes, *p) != nullptr)
                regex->push_back('\\');
            regex->push_back(*p);
        }
        p = next;
    }
    return 1;
}

int FoldAlphabetCase(const char* text, std::string* folded)
{
    for (const char* p = text; *p != '\0';)
    {
        const char* next = NextShiftJisChar(p);
        if (next - p == 1 && IsAsciiLetter(*p))
        {
            char capital = (*p >= 'a') ? static_cast<char>(*p - 'a' + 'A') : *p;
            char small = static_cast<char>(capital - 'A' + 'a');
            folded->push_back('[');
            folded->push_back(capital);
            folded->push_back(small);
            folded->push_back(']');
        }
        else
            folded->append(p, next);
        p = next;
    }
    return 1;
}
