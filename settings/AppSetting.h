#pragma once

#include "settings/FilterList.h"

#include <string>
#include <vector>

// Overwrite actions (CAppSetting::OverWriteAction). The field itself stays an
// int: the file may hold any number, and values outside these are kept as read.
enum EOverwriteAction
{
    kOverwriteAsk = 0,      // "確認ダイアログを表示"
    kOverwriteAlways = 1,   // "無条件で上書き"
    kOverwriteAppend = 2,   // "現在の書庫に追加"
    kOverwriteRename = 3,   // "再指定"
};

const int kNoFormat = -1;
const int kDefaultFormatId = 6;  // LHA

// The general settings. The program has one global record; each job works on a copy.
struct CAppSetting
{
    int WindowLeft = 32;
    int WindowTop = 32;
    int DefaultArcType = kDefaultFormatId;  // format id, kNoFormat for none
    bool CmpTypeDefault = false;
    int OverWriteAction = kOverwriteAsk;
    bool StatusDialog = true;
    bool QuickStart = false;
    bool CmpEndExit = true;
    bool AllwaysResult = false;
    std::string OutFolder;
    bool OutFolderSw = false;
    bool OutFolderOpen = false;
    bool AutoComplete = false;
    // Read every new archive back and compare it with the job's file list
    // before the old archive goes. On when the file has no such key, as every
    // file written before the key existed.
    bool VerifyArchive = true;
    bool FilterSw = false;
    std::vector<CFilterList> FilterLists;
    // The folder last previewed from the list editor; written only once set,
    // so a file of a program that never previewed keeps its keys.
    std::string PreviewFolder;
    // List-view column widths in pixels (not stored in the settings file).
    int ColumnWidths[5] = {96, 288, 64, 160, 160};
};

extern CAppSetting g_appSetting;
// 0 when no settings were read, 1 and 2 for the old layouts, else the stored Version.
extern int g_loadedLayoutVersion;
