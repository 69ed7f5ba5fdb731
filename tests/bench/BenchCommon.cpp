#include "tests/bench/BenchCommon.h"

#include "common/PathUtil.h"
#include "settings/AppSetting.h"
#include "settings/FilterSettings.h"
#include "settings/IniFile.h"
#include "tests/filters/FilterDefinition.h"
#include "tests/support/TestFolder.h"

#include <shlobj.h>
#include <stdio.h>

#include <algorithm>

namespace {

const int kTopFolders = kBenchTopFolders;
const int kSubFolders = kBenchSubFolders;
const int kFilesPerFolder = kBenchFileCount / (kTopFolders * kSubFolders);
const char kReadyMarker[] = "tree-ready";

const char* const kStems[] = {"report", "画像", "Thumbs", "~$draft", "README", "表計算", "data_2024", "memo"};
const char* const kExtensions[] = {".txt", ".docx", ".bak", ".jpg", ".log", "", ".xlsx", ".tmp", ".c", ".表"};

}  // namespace

std::string EnsureBenchTree(const std::string& root)
{
    return EnsureBenchTree(root, "tree", kReadyMarker, kFilesPerFolder);
}

std::string EnsureLargeBenchTree(const std::string& root)
{
    return EnsureBenchTree(root, "tree100k", "tree100k-ready", kLargeBenchFileCount / (kTopFolders * kSubFolders));
}

std::string EnsureHugeBenchTree(const std::string& root)
{
    return EnsureBenchTree(root, "tree500k", "tree500k-ready", kHugeBenchFileCount / (kTopFolders * kSubFolders));
}

std::string EnsureBenchTree(const std::string& root, const char* name, const char* marker, int filesPerFolder)
{
    std::string tree = root + "\\" + name;
    if (FileExists(root + "\\" + marker))
        return tree;
    fprintf(stderr, "making %d files in %s ...\n", filesPerFolder * kTopFolders * kSubFolders, tree.c_str());
    int made = 0;
    for (int top = 0; top < kTopFolders; ++top)
    {
        for (int sub = 0; sub < kSubFolders; ++sub)
        {
            char folder[MAX_PATH];
            snprintf(folder, sizeof(folder), "%s\\dir%02d\\sub%02d", tree.c_str(), top, sub);
            CreateFolderTree(folder);
            for (int i = 0; i < filesPerFolder; ++i, ++made)
            {
                char path[MAX_PATH];
                snprintf(path, sizeof(path), "%s\\%s%d%s", folder, kStems[made % 8], i, kExtensions[made % 10]);
                HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                if (file != INVALID_HANDLE_VALUE)
                    CloseHandle(file);
            }
        }
    }
    WriteFileBytes(root + "\\" + marker, "");
    return tree;
}

int CountFastestEnumeration(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, NULL,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
    {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            ++count;
        else if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
            count += CountFastestEnumeration(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
}

CFilterList MakeBenchList()
{
    const int ext = kFilterTypeExtension;
    const int name = kFilterTypeFileName;
    CFilterList list;
    list.Title = "ベンチマーク";
    list.Definitions = {
        Definition(ext, ".bak"),           Definition(ext, ".tmp"),
        Definition(ext, ".~*"),            Definition(ext, ".obj"),
        Definition(ext, ".pdb", true),     Definition(ext, ".ilk"),
        Definition(ext, ".$$$"),           Definition(ext, ".old"),
        Definition(ext, "\\.(swp|swo)", false, true),
        Definition(ext, ".表"),
        Definition(name, "Thumbs.db"),     Definition(name, "~$*"),
        Definition(name, "desktop.ini"),   Definition(name, "*.orig"),
        Definition(name, "*copy*"),        Definition(name, "core", true),
        Definition(name, "#*#"),           Definition(name, "画像??.jpg"),
        Definition(name, "data_[0-9]{4}\\.log", false, true),
        Definition(name, "[Rr]eport[0-9]+\\.docx", false, true),
    };
    return list;
}

std::string BenchSettingsPath()
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, path, CSIDL_APPDATA, TRUE);
    return std::string(path) + "\\Norvane\\Tessik\\tessik.ini";
}

void WriteBenchSettings(const std::string& path, const std::string& generalKeys, int lists,
                        const char* defaultFormat)
{
    SHCreateDirectoryExA(NULL, path.substr(0, path.rfind('\\')).c_str(), NULL);
    WriteFileBytes(path, std::string("[GENERAL]\r\nVersion=100\r\nDefaultArcType=") + defaultFormat + "\r\n" +
                             generalKeys);
    CAppSetting setting;
    setting.FilterSw = true;
    for (int n = 0; n < lists; ++n)
    {
        setting.FilterLists.push_back(MakeBenchList());
        setting.FilterLists.back().Title += std::to_string(n);
    }
    CIniFile ini;
    ini.Open(path.c_str(), false, false);
    SaveFilterSettings(ini, setting);
    CIniFile::FlushProfileCache(path.c_str());
}

LONGLONG BenchNow()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void SettleBeforeStart()
{
    const DWORD kSettleMs = 150;
    Sleep(kSettleMs);
}

double BenchSecondsSince(LONGLONG start)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(BenchNow() - start) / double(frequency.QuadPart);
}

std::string FormatSeconds(double seconds)
{
    char text[32];
    snprintf(text, sizeof(text), "%.3f s", seconds);
    return text;
}

void PrintBenchRow(const char* label, const std::string& measured, const std::string& reference, double ratio,
                   double goal, bool atMost)
{
    bool met = atMost ? ratio <= goal : ratio >= goal;
    printf("row\t%s\t%s\t%s\t%.2f\t%s %.2f\t%s\n", label, measured.c_str(), reference.c_str(), ratio,
           atMost ? "<=" : ">=", goal, met ? "met" : "MISSED");
    fflush(stdout);
}

double Median(std::vector<double> samples)
{
    if (samples.empty())
        return -1;
    std::sort(samples.begin(), samples.end());
    size_t middle = samples.size() / 2;
    return samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

std::string FormatMedian(const std::vector<double>& samples)
{
    if (samples.empty())
        return "-";
    char text[64];
    snprintf(text, sizeof(text), "%.3f s (%.3f-%.3f)", Median(samples),
             *std::min_element(samples.begin(), samples.end()), *std::max_element(samples.begin(), samples.end()));
    return text;
}
