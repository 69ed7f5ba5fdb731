#!/usr/bin/env bash
# The release packages for Windows users: dist/tessik-1.12-setup.exe (the
# setup program, setup/tessik.nsi) and dist/tessik-1.12-windows.zip with the
# 32-bit tessik.exe and its own ZIP and 7z DLLs (TessikZip.dll,
# Tessik7z.dll), the 64-bit shell extension and its installer, and a short
# Japanese read-me (Shift_JIS, CR LF). Builds first unless
# TESSIK_PACKAGE_NO_BUILD=1 (scripts/test.sh has built already).
# The packaged binaries carry no debug sections and no symbol table: their
# symbols stay beside the builds, in <build>/symbols/<name>.debug, which each binary names (a GNU
# debug link) for the debugger.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build64=${TESSIK_BUILD_DIR:-$root/build}
build32=${TESSIK_BUILD32_DIR:-$root/build-i686}
version=1.12
if [ "${TESSIK_PACKAGE_NO_BUILD:-0}" != 1 ]; then
  bash "$root/scripts/build.sh"
fi
files=("$build32/bin/tessik.exe" "$build32/bin/tessikzip/TessikZip.dll" "$build32/bin/tessik7z/Tessik7z.dll" "$build64/bin/tessikshlex_x64.dll" "$build64/bin/tessikshlex_install_x64.exe" "$build32/bin/userinstaller/tessikshlex_install.exe")
for f in "${files[@]}"; do
  [ -f "$f" ] || { echo "missing: $f" >&2; exit 1; }
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for f in "${files[@]}"; do
  case "$f" in
    "$build32"/*) build=$build32 tools=i686-w64-mingw32 ;;
    *) build=$build64 tools=x86_64-w64-mingw32 ;;
  esac
  name=$(basename "$f")
  mkdir -p "$build/symbols"
  # The build's own file stays as it is: the tests run it.
  cp "$f" "$stage/$name"
  "$tools-objcopy" --only-keep-debug "$stage/$name" "$build/symbols/$name.debug"
  # The symbol table goes too (a third of the program): the symbol file
  # holds it for the debugger, and nothing reads it at run time.
  "$tools-strip" --strip-all "$stage/$name"
  "$tools-objcopy" --add-gnu-debuglink="$build/symbols/$name.debug" "$stage/$name"
  if "$tools-objdump" -h "$stage/$name" | grep -q ' \.debug'; then
    echo "debug sections left in $name:" >&2
    "$tools-objdump" -h "$stage/$name" | grep ' \.debug' >&2
    exit 1
  fi
done
iconv -f UTF-8 -t CP932 <<'README' | sed 's/$/\r/' > "$stage/readme.txt"
Tessik 1.12

Tessikは、ファイルやフォルダーを書庫にまとめる圧縮ツールです。
圧縮はアーカイバーDLLが行います。

■ 入っているファイル
  tessik.exe                    本体 (32ビット)
  TessikZip.dll                 Tessik自身のZIP書庫DLL (32ビット)
  Tessik7z.dll                  Tessik自身の7Z書庫DLL (32ビット)
  tessikshlex_x64.dll           右クリックメニュー「Tessikで圧縮(&E)」(64ビット)
  tessikshlex_install_x64.exe   右クリックメニューの登録と解除 (64ビット)
  tessikshlex_install.exe       右クリックメニューの状態の表示、このユーザー
                                への登録と解除

■ インストール
  tessik-1.12-setup.exe を実行します。既定では、このユーザーだけに
  管理者の権限なしでインストールします (%LOCALAPPDATA%\Programs\Tessik)。
  右クリックメニュー「Tessikで圧縮(&E)」、スタートメニューの
  「Tessik の設定」、「送る」の「Tessik」も登録されます (右クリック
  メニューは64ビット版のWindowsだけです)。
  すべてのユーザーにインストールするときは、管理者として開いた
  コマンドプロンプトで、次のように実行します (Program Files に入ります)。
    tessik-1.12-setup.exe /ALLUSERS
  新しい版のセットアップは、前の版の上にそのまま実行できます。設定と、
  フォルダーに置いたアーカイバーDLLはそのまま残ります。

  ZIP版 (tessik-1.12-windows.zip) を使うときは:
  1. 好きなフォルダーにすべてのファイルを置きます。
  2. ZIP書庫は同梱の TessikZip.dll だけで、7Z書庫は同梱の Tessik7z.dll
     だけで作れます。ほかの形式を使うときは、そのアーカイバーDLLを
     tessik.exe と同じフォルダーに置きます (32ビット版のDLLです)。
       7-Zip32.dll  7Z形式、ZIP形式 (自己解凍には 7z.sfx なども)
       Cab32.dll    CAB形式
       Unlha32.dll  LHA形式 (既定の形式)
       Zip32j.dll と zip32.dll  ZIP形式
     TessikZip.dll と Tessik7z.dll を含めてDLLがひとつもないと、Tessikは
     起動できません。
  3. 右クリックメニューを使うときは、tessikshlex_install.exe を実行
     して、このユーザーのメニューに登録します。すべてのユーザーに登録
     するときは、管理者として開いたコマンドプロンプトで、次のように
     実行します (64ビット版のWindowsだけです)。
       tessikshlex_install_x64.exe /install

■ アンインストール
  セットアップでインストールしたときは、「アプリと機能」(設定の
  「アプリ」) から Tessik をアンインストールします。設定ファイルは、
  アンインストーラーで「設定も削除する」を選んだときだけ削除されます。

  ZIP版のときは:
  1. 右クリックメニューを登録したときは、tessikshlex_install.exe で
     解除するか、管理者として開いたコマンドプロンプトで、次のように
     実行して解除します。
       tessikshlex_install_x64.exe /uninstall
  2. フォルダーごと削除します。
  3. 設定ファイルも消すときは、下の tessik.ini を削除します。

■ 設定ファイル
  %APPDATA%\Norvane\Tessik\tessik.ini
  (tessik.exe と同じフォルダーに tessik.ini があれば、最初の起動で
   それを読み込みます。保存先は上の場所です。)

■ 使い方
  ファイルやフォルダーを tessik.exe のアイコンにドロップするか、
  右クリックメニューの「Tessikで圧縮(&E)」を選びます。
  引数なしで起動すると設定画面になります。
README

mkdir -p "$root/dist"
out="$root/dist/tessik-$version-windows.zip"
rm -f "$out"
(cd "$stage" && zip -q -X "$out" tessik.exe TessikZip.dll Tessik7z.dll tessikshlex_x64.dll tessikshlex_install_x64.exe tessikshlex_install.exe readme.txt)
echo "$out"
unzip -l "$out"
setup="$root/dist/tessik-$version-setup.exe"
rm -f "$setup"
bash "$root/scripts/make-setup.sh" "$stage" "$setup" "$version"
echo "$setup"
