#include "ui/framework/Messages.h"

#include "common/PathUtil.h"
#include "common/TextFormat.h"
#include "ui/framework/DialogBase.h"

const char kProgramName[] = "Tessik";
const char kErrorTitle[] = "エラー  - Tessik";
const char kConfirmTitle[] = "確認  - Tessik";
const char kInfoTitle[] = "情報  - Tessik";

std::string LoadResourceString(UINT id)
{
    char text[kPathBufferSize] = "";
    LoadStringA(GetResourceModule(), id, text, sizeof(text));
    return text;
}

std::string FormatResourceString(UINT id, const char* argument)
{
    return FormatText(LoadResourceString(id).c_str(), argument);
}

int ShowErrorMessage(HWND owner, const char* text)
{
    return MessageBoxA(owner, text, kErrorTitle, MB_OK | MB_ICONERROR);
}

int ShowErrorMessage(HWND owner, UINT stringId)
{
    return ShowErrorMessage(owner, LoadResourceString(stringId).c_str());
}
