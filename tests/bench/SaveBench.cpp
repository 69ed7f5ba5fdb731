// (d) SaveSettings with 25, 50, 100 and 200 filter lists of 20 definitions,
// into a fresh file and over the file an earlier save left (what every run
// that ends with OK does). Moves the user's settings file aside meanwhile.
//
//   bench_save

#include "app/Startup.h"
#include "archivers/formats/FormatRegistry.h"
#include "settings/AppSetting.h"
#include "settings/SettingsFile.h"
#include "tests/bench/BenchCommon.h"
#include "tests/support/TestFolder.h"

#include <windows.h>

#include <stdio.h>

#include <string>

namespace {

double TimeSave(std::string* file)
{
    LONGLONG start = BenchNow();
    if (!SaveSettings(file))
    {
        fprintf(stderr, "SaveSettings failed\n");
        exit(1);
    }
    return BenchSecondsSince(start);
}

}  // namespace

int main()
{
    RegisterAllFormats();
    BindFormatsToSettings();
    std::string file;
    // The first save names the file; it is moved aside and put back at the end.
    g_appSetting = CAppSetting();
    TimeSave(&file);
    std::string aside = file + ".bench-aside";
    DeleteFileA(aside.c_str());
    MoveFileA(file.c_str(), aside.c_str());

    const int kListCounts[] = {25, 50, 100, 200};
    double over[4] = {};
    for (int i = 0; i < 4; ++i)
    {
        g_appSetting = CAppSetting();
        g_appSetting.FilterSw = true;
        for (int n = 0; n < kListCounts[i]; ++n)
        {
            CFilterList list = MakeBenchList();
            list.Title += std::to_string(n);
            g_appSetting.FilterLists.push_back(list);
        }
        DeleteFileA(file.c_str());
        double fresh = TimeSave(&file);
        over[i] = TimeSave(&file);
        fprintf(stderr, "%3d lists x 20: fresh file %.3f s, over the last save %.3f s\n", kListCounts[i], fresh,
                over[i]);
        if (fresh > over[i])
            over[i] = fresh;
    }
    DeleteFileA(file.c_str());
    MoveFileA(aside.c_str(), file.c_str());

    std::string measured;
    for (int i = 0; i < 4; ++i)
        measured += (i ? " / " : "") + FormatSeconds(over[i]);
    PrintBenchRow("(d) SaveSettings 25/50/100/200 lists x 20, 100 lists", measured, "1 s", over[2] / 1.0, 1.0, true);
    // Linear: twice the lists, about twice the time (the 200-list save against
    // twice the 100-list one, with room for the noise of one run).
    double growth = over[2] > 0 ? over[3] / (2 * over[2]) : 0;
    PrintBenchRow("(d) SaveSettings growth 200 vs 2x100 lists", FormatSeconds(over[3]),
                  FormatSeconds(2 * over[2]), growth, 1.25, true);
    DestroyAllFormats();
    return 0;
}
