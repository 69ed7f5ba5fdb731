#pragma once

#include "settings/CompressJob.h"

#include <string>
#include <vector>

// A job for formatId into output whose one filter list, titled "テスト用",
// holds definitions with the action actType, chosen and switched on.
inline CCompressJob MakeFilterJob(int formatId, const std::string& output, const std::vector<CFilterDef>& definitions,
                                  int actType, bool filterSw = true)
{
    CCompressJob job;
    job.Setting.DefaultArcType = formatId;
    job.Setting.FilterSw = filterSw;
    CFilterList list;
    list.Title = "テスト用";
    list.ActType = actType;
    list.Definitions = definitions;
    job.Setting.FilterLists.push_back(list);
    job.FilterListIndex = 0;
    job.OutputFile = output;
    return job;
}
