#include "tests/app/JobFixture.h"

#include "tests/support/DialogJob.h"
#include "job/InputList.h"
#include "archivers/formatsettings/SevenZipSettings.h"

const char kErrorBox[] = "エラー  - Tessik";
const char kOverwriteDialog[] = "上書き確認";
const char kPasswordDialog[] = "パスワードの設定";
const char kResultDialog[] = "処理結果";

CJobFixture::CJobFixture(const std::string& sevenZipScript) : standIns(kAllStandIns)
{
    standIns.Script("7-Zip32.dll", sevenZipScript);
    standIns.Register();
    owner = CreateWindowExA(0, "STATIC", "compress", WS_OVERLAPPED, 0, 0, 200, 100, NULL, NULL, NULL, NULL);
    g_testInputs.clear();
}

CJobFixture::~CJobFixture()
{
    g_testInputs.clear();
    DestroyWindow(owner);
}

int CJobFixture::Run(CCompressJob* job, const std::vector<CDialogScript::CStep>& steps,
                     std::vector<CDialogScript::CSeen>* seen)
{
    CDialogScript script(steps);
    int result = RunDialogJob(owner, job);
    const std::vector<CDialogScript::CSeen>& windows = script.Finish();
    if (seen != nullptr)
        *seen = windows;
    return result;
}

std::vector<CStandInCall> CJobFixture::SevenZipCalls() const
{
    return standIns.Calls("7-Zip32.dll", "SevenZip");
}

std::vector<std::string> TitlesOf(const std::vector<CDialogScript::CSeen>& seen)
{
    std::vector<std::string> titles;
    for (const CDialogScript::CSeen& window : seen)
        titles.push_back(window.window.title);
    return titles;
}
