#include "bridges/core/BridgeMessages.h"

const char kMsgBadCommandLine[] =
    "コマンドラインを解釈できません。\nパスワードや名前に二重引用符(\")を含めることはできません。";
const char kMsgOnlyAdd[] = "このDLLは書庫の作成だけに対応しています。";
const char kMsgUnknownSwitch[] = "このDLLでは使えないスイッチです: %s";
const char kMsgListUnreadable[] = "リストファイルを読めません: %s";
const char kMsgNoFiles[] = "圧縮するファイルがありません。";
const char kMsgSevenZipSfx[] = "この環境の7-Zipには自己解凍モジュールがないため、自己解凍書庫は作成できません。";
const char kMsgCabSfx[] = "この環境のCAB作成ツール(gcab)には自己解凍モジュールがないため、CAB自己解凍書庫は作成できません。";
const char kMsgLhaSfx[] = "この環境のLHA作成ツール(jlha)には自己解凍モジュールがないため、LHA自己解凍書庫は作成できません。";
const char kMsgZipSfx[] = "この環境のzipには自己解凍モジュールがないため、ZIP自己解凍書庫は作成できません。";
const char kMsgLzx[] = "この環境のCAB作成ツール(gcab)はLZX方式に対応していません。\nMSZIPか無圧縮を選んでください。";
const char kMsgVolumes[] = "この環境のCAB作成ツール(gcab)は分割書庫に対応していません。\n分割の設定を外してください。";
const char kMsgZipPasswordAscii[] =
    "7-ZipのZIP形式のパスワードには半角英数字と記号だけが使えます。\n日本語のパスワードは7Z形式かZip32j.dllのZIP形式で使えます。";
const char kMsgSameName[] =
    "書庫の中で同じ名前になるファイルがあります(大文字と小文字は区別されません)。\nどちらかを外してください:\n%s";
const char kMsgTooManyFiles[] = "ファイルが多すぎて、ひとつのCAB書庫にまとめられません。";
const char kMsgLocale[] =
    "日本語の名前を渡せません。\nWineをUTF-8のロケール(例: LC_ALL=ja_JP.UTF-8)で起動してください。";
const char kMsgToolMissing[] = "書庫を作るツールが見つかりません: %s";
const char kMsgNoSession[] = "作業用の一時フォルダーを作れません。";
const char kMsgStartFailed[] = "%sを起動できません。";
const char kMsgToolFailed[] = "%sがエラーで終了しました(終了コード %d)。";
const char kMsgTimedOut[] = "%sが制限時間(%u秒)内に終わらなかったため、中止しました。";
const char kMsgCancelled[] = "キャンセルされました。書庫は作成されていません。";
const char kMsgNoArchive[] = "書庫ができていません: %s";
const char kMsgNameMissing[] = "書庫に入っていないファイルがあります: %s";
const char kMsgNameExtra[] = "書庫に、選んでいないファイルが入っています: %s";
const char kMsgNameDoubled[] = "書庫の中で同じ名前のファイルが重複しています: %s";
const char kMsgArchiveUnreadable[] = "書庫の中身を読めません: %s";
const char kMsgNoBackup[] = "書庫に追加する前に、元の書庫の控えを作れません: %s";
const char kMsgBackupKept[] = "元の書庫を戻せませんでした。元の書庫は次の名前で残っています: %s";
const char kMsgPathUnmapped[] = "このパスはLinux側のパスに変換できません: %s";
