#include "ui/Messages.h"

#include "ui/DialogBase.h"

#include <stdio.h>

const char kErrorTitle[] = "エラー  - Tessik";
const char kConfirmTitle[] = "確認  - Tessik";
const char kInfoTitle[] = "情報  - Tessik";

namespace {

const int kTextBufferSize = 1024;

}  // namespace

std::string LoadResourceString(UINT id)
{
    char text[kTextBufferSize] = "";
    LoadStringA(GetResourceModule(), id, text, sizeof(text));
    return text;
}

std::string FormatResourceString(UINT id, const char* argument)
{
    std::string format = LoadResourceString(id);
    int length = snprintf(NULL, 0, format.c_str(), argument);
    if (length < 0)
        return format;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    snprintf(&text[0], text.size(), format.c_str(), argument);
    text.resize(static_cast<size_t>(length));
    return text;
}

int ShowErrorMessage(HWND owner, const char* text)
{
    return MessageBoxA(owner, text, kErrorTitle, MB_OK | MB_ICONERROR);
}

int ShowErrorMessage(HWND owner, UINT stringId)
{
    return ShowErrorMessage(owner, LoadResourceString(stringId).c_str());
}
