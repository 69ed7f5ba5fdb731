#include "dllkit/WildName.h"

bool MatchesWildName(const std::wstring& wild, const std::wstring& name)
{
    size_t w = 0;
    size_t n = 0;
    size_t starAt = std::wstring::npos;
    size_t resumeAt = 0;
    while (n < name.size())
    {
        if (w < wild.size() && wild[w] != L'*' && (wild[w] == L'?' || wild[w] == name[n]))
        {
            ++w;
            ++n;
        }
        else if (w < wild.size() && wild[w] == L'*')
        {
            starAt = w++;
            resumeAt = n;
        }
        else if (starAt != std::wstring::npos)
        {
            w = starAt + 1;
            n = ++resumeAt;
        }
        else
            return false;
    }
    while (w < wild.size() && wild[w] == L'*')
        ++w;
    return w == wild.size();
}
