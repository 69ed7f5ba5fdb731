#pragma once

#include "job/JobCallback.h"

#include <string>
#include <vector>

struct CCompressJob;

// The first argument that asks for one archive per item, the paths after it.
extern const char kEachModeMark[];

// One archive per item: each item is one job of its own, named after the item
// as the compress dialog would propose it for that item alone, in the folder
// of the name the dialog shows. The dialog's format, password, filter list and
// switches hold for every job; a failing item does not stop the others, a
// cancel stops those that remain; one result lists them all.
class CPerItemRun
{
public:
    explicit CPerItemRun(std::vector<std::wstring> items) : m_items(std::move(items)) {}

    // Runs every item with the settings of first (the compress dialog's job);
    // ui answers the questions and is shown every item's outcome. 0 when
    // every archive was made.
    int Run(IJobCallback& ui, const CCompressJob& first);

    bool AllMade() const;
    const std::vector<CItemOutcome>& Outcomes() const { return m_outcomes; }

private:
    std::vector<std::wstring> m_items;
    std::vector<CItemOutcome> m_outcomes;
};
