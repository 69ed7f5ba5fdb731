#include "ui/framework/ProblemWords.h"

#include "common/TextFormat.h"
#include "resources/resource.h"
#include "ui/framework/Messages.h"

std::string ProblemText(EFileProblem reason, DWORD error)
{
    switch (reason)
    {
    case kProblemMissing:
        return LoadResourceString(IDS_PROBLEM_MISSING);
    case kProblemUnlistable:
        return FormatText(LoadResourceString(IDS_PROBLEM_UNLISTABLE).c_str(), static_cast<unsigned long>(error));
    case kProblemTooLong:
        return LoadResourceString(IDS_PROBLEM_TOO_LONG);
    case kProblemUnnamable:
        return LoadResourceString(IDS_PROBLEM_UNNAMABLE);
    case kProblemUndecided:
        return LoadResourceString(IDS_PROBLEM_UNDECIDED);
    case kProblemNone:
        break;
    }
    return std::string();
}
