#include "settings/SettingsFormats.h"

#include "settings/AppSetting.h"

namespace {
CSettingsFormats g_formats;
}

void SetSettingsFormats(const CSettingsFormats& formats)
{
    g_formats = formats;
}

int SettingsFindFormatIdByName(const char* name)
{
    return g_formats.FindIdByName ? g_formats.FindIdByName(name) : kNoFormat;
}

std::string SettingsFormatName(int id)
{
    return g_formats.NameOf ? g_formats.NameOf(id) : std::string();
}

bool SettingsFormatIsUsable(int id)
{
    return g_formats.IsUsable ? g_formats.IsUsable(id) : false;
}

void SettingsReadAllFormats(int layoutVersion, const char* iniPath)
{
    if (g_formats.ReadAll)
        g_formats.ReadAll(layoutVersion, iniPath);
}

bool SettingsWriteAllFormats(CIniFile& ini)
{
    return g_formats.WriteAll ? g_formats.WriteAll(ini) : true;
}
