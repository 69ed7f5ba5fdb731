#pragma once

// Shared by the benchmark programs (run by scripts/bench.sh, not by ctest):
// the 50,000-file tree, the 20-definition filter list, a clock and the one
// line format the script turns into its table.

#include "settings/FilterList.h"

#include <windows.h>

#include <string>
#include <vector>

const int kBenchFileCount = 50000;
// The tree of the preview's row: the size its goal is set for.
const int kLargeBenchFileCount = 100000;

// The tree of the growth rows: ten times the walk's.
const int kHugeBenchFileCount = 500000;
// Every tree: root\dirNN\subNN, the files in the sub folders.
const int kBenchTopFolders = 50;
const int kBenchSubFolders = 10;

// Makes the tree under root\tree once; a marker file says it is complete.
// Returns root\tree.
std::string EnsureBenchTree(const std::string& root);
// The same kind of tree with kLargeBenchFileCount files under root\tree100k.
std::string EnsureLargeBenchTree(const std::string& root);
// The same kind of tree with kHugeBenchFileCount files under root\tree500k.
std::string EnsureHugeBenchTree(const std::string& root);
std::string EnsureBenchTree(const std::string& root, const char* name, const char* marker, int filesPerFolder);

// Files under folder, counted by the fastest listing the platform offers
// (FindFirstFileExW, basic information, large fetches): the floor of any walk.
int CountFastestEnumeration(const std::wstring& folder);

// The list of the benchmarks: 10 extension and 10 file-name definitions, four
// of them regular expressions, some with Shift_JIS text.
CFilterList MakeBenchList();

// The user's settings file of the prefix.
std::string BenchSettingsPath();
// Writes it anew: [GENERAL] with the current layout, the default format named
// and the keys given (lines with CR LF), and lists copies of the benchmark list.
void WriteBenchSettings(const std::string& path, const std::string& generalKeys, int lists,
                        const char* defaultFormat = "7Z");

// Seconds from a start taken with BenchNow().
LONGLONG BenchNow();
double BenchSecondsSince(LONGLONG start);

// "row<TAB>label<TAB>measured<TAB>reference<TAB>ratio<TAB>goal<TAB>met" on
// stdout; atMost says whether the ratio must stay at or below the goal.
void PrintBenchRow(const char* label, const std::string& measured, const std::string& reference, double ratio,
                   double goal, bool atMost);
std::string FormatSeconds(double seconds);

// Several runs of one measurement: the table shows the median, the spread
// (lowest to highest) beside it. Two shared cores move single runs a lot.
const int kBenchRuns = 5;
double Median(std::vector<double> samples);
// Before each timed start of a program: Wine's desktop process goes on
// tidying up after a windowed program for some tens of milliseconds after it
// has ended, and a program started meanwhile waits for it (one start in two
// took 50 ms longer, whatever the program). A pause lets each run start on a
// quiet desktop, as a user's next start does.
void SettleBeforeStart();
// "0.154 s (0.140-0.190)"
std::string FormatMedian(const std::vector<double>& samples);
