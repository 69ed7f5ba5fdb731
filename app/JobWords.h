#pragma once

#include "job/JobCallback.h"

#include <string>
#include <vector>

// The words of what a compression job reports, from the string table. The
// narrow texts are in the ANSI code page; the wide ones carry names that code
// page cannot hold.

// A failure's message box text; detail as EJobFailure describes it.
std::string FailureText(EJobFailure reason, const std::string& detail);
// The refusal of names beyond the ANSI code page, with the formats that can store them.
std::wstring UnnamableText(const CUnnamableFiles& files);
// The entries the walk could not take, each with its reason, then the
// question whether to go on without them, or for a stopped job the word that it stopped.
std::wstring LeftOutText(const std::vector<CLeftOutEntry>& entries, bool stopped);
// What reading the new archive back found, as the result shows it before the
// archiver's text; empty when there is nothing to say.
std::wstring ReadBackText(const CReadBack& readBack);
// The archiver's run as the result dialog shows it.
std::string ArchiverText(const CArchiverReport& report);
// What one item's first report reads in the result of one archive per item;
// empty for no report.
std::string NoteText(const CJobNote& note);
// The result of one archive per item: the count, then a line for each item.
std::string ItemsText(const std::vector<CItemOutcome>& outcomes);
