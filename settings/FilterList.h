#pragma once

#include <string>
#include <vector>

// Filter targets (CFilterDef::Type).
enum
{
    kFilterTypeExtension = 0,  // the extension with its dot; "." for none
    kFilterTypeFileName = 1,   // the whole file name
};

// Filter actions (CFilterList::ActType).
enum
{
    kFilterActExclude = 0,  // "一致したファイルを圧縮しない"
    kFilterActOnly = 1,     // "一致したファイルのみ圧縮する"
};

// One filter definition: a wildcard pattern or a regular expression.
struct CFilterDef
{
    int Type = kFilterTypeExtension;
    std::string Filter;
    std::string Comment;
    bool AlphabetBS = false;  // letters compared case-sensitively
    bool Regex = false;       // Filter is a regular expression
};

// A titled list of definitions with its action. Copying copies every definition.
struct CFilterList
{
    std::string Title;
    std::string Comment;
    std::vector<CFilterDef> Definitions;
    int ActType = kFilterActExclude;
    // The walk also leaves out what the .gitignore files of the tree leave out
    // ("GitIgnore=true", a key written only while it is on).
    bool GitIgnore = false;
};
