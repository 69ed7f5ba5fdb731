#include "dllkit/DllFailure.h"

#include <wchar.h>

namespace {

const wchar_t* FailureFormat(EDllFailure failure)
{
    switch (failure)
    {
    case EDllFailure::kNone:
        return L"";
    case EDllFailure::kBadCommandLine:
        return L"コマンドラインを解釈できません: %s";
    case EDllFailure::kUnknownCommand:
        return L"知らないコマンドです: %s";
    case EDllFailure::kUnknownSwitch:
        return L"知らないスイッチです: %s";
    case EDllFailure::kNoArchive:
        return L"書庫の名前がありません。";
    case EDllFailure::kNoList:
        return L"格納するファイルの一覧(基準フォルダーと @リストファイル)がありません。";
    case EDllFailure::kListUnreadable:
        return L"リストファイルを読めません: %s";
    case EDllFailure::kOutsideBase:
        return L"基準フォルダーの外を指す名前は格納できません: %s";
    case EDllFailure::kSourceMissing:
        return L"ファイルまたはフォルダーが見つかりません: %s";
    case EDllFailure::kSourceUnreadable:
        return L"ファイルを読めません: %s";
    case EDllFailure::kSourceChanged:
        return L"読んでいる間にファイルが変わりました: %s";
    case EDllFailure::kNothingToAdd:
        return L"格納するファイルがありません。";
    case EDllFailure::kNotZip:
        return L"ZIP書庫ではないため、追加できません: %s";
    case EDllFailure::kNotSevenZip:
        return L"7z書庫ではないため、追加できません: %s";
    case EDllFailure::kArchiveUnreadable:
        return L"書庫を読めません: %s";
    case EDllFailure::kArchiveDamaged:
        return L"書庫が壊れているため、追加できません(元の書庫はそのままです): %s";
    case EDllFailure::kArchiveSplit:
        return L"分割された書庫には追加できません: %s";
    case EDllFailure::kArchiveUnsupported:
        return L"書庫に対応していない圧縮方式が含まれているため、追加できません(元の書庫はそのままです): %s";
    case EDllFailure::kArchiveEncrypted:
        return L"書庫が暗号化されていて、パスワードが違うかないため、追加できません(元の書庫はそのままです): %s";
    case EDllFailure::kArchiveInUse:
        return L"書庫をほかのプログラムが使っているため、追加できません(元の書庫はそのままです): %s";
    case EDllFailure::kTempFailed:
        return L"一時ファイルを作れません: %s";
    case EDllFailure::kWriteFailed:
        return L"書庫を書き込めません: %s";
    case EDllFailure::kReplaceFailed:
        return L"書庫を新しいものに置き換えられません: %s";
    case EDllFailure::kCryptoFailed:
        return L"暗号化できません(システムの暗号機能が使えません)。";
    case EDllFailure::kCodecFailed:
        return L"圧縮できません(圧縮ライブラリーがエラーを返しました)。";
    case EDllFailure::kHeaderWithoutPassword:
        return L"ファイル名を隠す(-he)には、パスワード(-p)が必要です。";
    case EDllFailure::kPasswordNotAnsi:
        return L"ZipCrypto のパスワードに、この環境の文字コードで表せない文字があります。AES で暗号化してください。";
    case EDllFailure::kCancelled:
        return L"キャンセルされました。書庫は作られていません(元の書庫はそのままです)。";
    case EDllFailure::kNoMemory:
        return L"メモリが足りません。";
    case EDllFailure::kUnexpected:
        return L"予期しないエラーが起きました。";
    }
    return L"";
}

}  // namespace

std::wstring DllFailureText(EDllFailure failure, const std::wstring& subject, DWORD systemError)
{
    std::wstring text = FailureFormat(failure);
    size_t at = text.find(L"%s");
    if (at != std::wstring::npos)
        text.replace(at, 2, subject);
    wchar_t* system = NULL;
    if (systemError != 0 &&
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                       systemError, 0, reinterpret_cast<wchar_t*>(&system), 0, NULL) != 0)
    {
        std::wstring reason = system;
        while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' '))
            reason.pop_back();
        if (!reason.empty())
            text += L"\r\n" + reason;
    }
    if (system != NULL)
        LocalFree(system);
    return text;
}

std::wstring DllSuccessText(size_t files, size_t folders, const std::wstring& archive)
{
    wchar_t counts[128];
    swprintf(counts, sizeof(counts) / sizeof(counts[0]), L"%lu個のファイルと%lu個のフォルダーを格納しました: ",
             static_cast<unsigned long>(files), static_cast<unsigned long>(folders));
    return counts + archive;
}
