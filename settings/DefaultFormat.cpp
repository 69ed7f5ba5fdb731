#include "settings/DefaultFormat.h"

#include "settings/AppSetting.h"
#include "settings/SettingsFormats.h"

#include <windows.h>

#include <stdio.h>

#include <string>

namespace {

const char kErrorTitle[] = "エラー  - Tessik";
const char kReplacedFormat[] =
    "デフォルトの圧縮形式として指定された形式は、無効です。\nデフォルトの圧縮形式を%sに変更しました。";

}  // namespace

int CheckDefaultFormat(bool settingsLoaded)
{
    int& defaultFormat = g_appSetting.DefaultArcType;
    if (settingsLoaded ? defaultFormat != kNoFormat : SettingsFormatIsUsable(defaultFormat))
        return defaultFormat;

    defaultFormat = SettingsFirstUsableFormatId();
    if (settingsLoaded && defaultFormat != kNoFormat)
    {
        std::string name = SettingsFormatDisplayName(defaultFormat);
        std::string text(sizeof(kReplacedFormat) + name.size(), '\0');
        int length = snprintf(&text[0], text.size(), kReplacedFormat, name.c_str());
        text.resize(length > 0 ? static_cast<size_t>(length) : 0);
        MessageBoxA(NULL, text.c_str(), kErrorTitle, MB_OK | MB_ICONERROR);
    }
    return defaultFormat;
}
