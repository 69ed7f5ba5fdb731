#include "settings/AppSetting.h"

CAppSetting g_appSetting;
int g_loadedLayoutVersion = 0;
