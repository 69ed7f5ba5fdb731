#include "dllkit/DllMessages.h"

const char kMsgProgressTitle[] = "圧縮中";
const char kMsgProgressCancel[] = "キャンセル";
