#pragma once

#include <functional>
#include <string>

class CIniFile;

// The format registry as the settings file sees it. Start-up binds it to the
// registered format builders once RegisterAllFormats has run; an unbound
// callback behaves as an empty registry.
struct CSettingsFormats
{
    // Id of the registered format whose name equals the text exactly, or -1.
    std::function<int(const char* name)> FindIdByName;
    // Name of a registered format ("LHA"); empty for any other id.
    std::function<std::string(int id)> NameOf;
    // True when the id is registered and that builder's IsUsed is non-zero.
    std::function<bool(int id)> IsUsable;
    // ReadSettings / WriteSettings of every registered builder, used or not,
    // in ascending id order. WriteAll writes into the save's file, whose writes
    // are held, and is false when any section could not be written.
    std::function<void(int layoutVersion, const char* iniPath)> ReadAll;
    std::function<bool(CIniFile& ini)> WriteAll;
};

void SetSettingsFormats(const CSettingsFormats& formats);

// Calls into the bound registry.
int SettingsFindFormatIdByName(const char* name);
std::string SettingsFormatName(int id);
bool SettingsFormatIsUsable(int id);
void SettingsReadAllFormats(int layoutVersion, const char* iniPath);
// True when every section was written (an empty registry writes none).
bool SettingsWriteAllFormats(CIniFile& ini);
