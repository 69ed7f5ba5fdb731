#!/usr/bin/env bash
# Installs, uses, upgrades and uninstalls the setup program in a fresh Wine
# prefix of its own, for the current user and then for all users, and checks
# that the uninstall leaves the registry and drive C: as they were before,
# but for the settings file.
#
#   SetupTest.sh SOURCE_ROOT BUILD_DIR MENUPROBE_EXE DLLHOLDER_EXE
#
# The setup is made here (scripts/make-setup.sh, the release's script) from
# the 64-bit build's binaries, as a 64-bit setup: the tests run the 64-bit
# programs, and not every host can start 32-bit Linux programs, which the
# 32-bit setup and tessik.exe would need under Wine.
set -euo pipefail
root=$1 build=$2 probe=$3 holder=$4

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

work=$build/setup-test
prefix=$work/prefix
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
# No menu builder: it would mirror the Start-menu entries into the host's
# home folder.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
reg="python3 $root/tests/setup/RegFile.py"
user=$(id -un)
# One bound for every wait on Wine, so that a hang fails instead of blocking.
bound=120

finish() {
  [ -d "$prefix" ] && WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
}
trap finish EXIT
# A command that ends the test through set -e says which it was.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND ended with $?" >&2' ERR

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
check_eq() {  # what expected actual
  [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"
}
# Runs a program of the prefix and waits until every process of the prefix
# has ended (an uninstaller may start others); the program's exit code.
run_wine() {
  local status=0
  timeout $bound "$wine" "$@" || status=$?
  timeout $bound /usr/lib/wine/wineserver -w
  return $status
}
wait_for_file() {  # path
  local deadline=$((SECONDS + bound))
  until [ -e "$1" ]; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# --- the setup programs: this version and a newer one over it ------------
rm -rf "$work"
mkdir -p "$work/stage"
bin=$build/bin
cp "$bin/tessik.exe" "$bin/tessikzip/TessikZip.dll" "$bin/tessik7z/Tessik7z.dll" "$bin/tessikshlex_x64.dll" \
   "$bin/tessikshlex_install_x64.exe" "$bin/userinstaller/tessikshlex_install.exe" "$work/stage/"
printf 'Tessik\r\n' > "$work/stage/readme.txt"
version=$(sed -n 's/^#define TESSIK_VERSION_TEXT "\(.*\)"$/\1/p' "$root/resources/version.h")
newer="${version%.*}.$(( ${version##*.} + 1 ))"
# A step of the set-up that fails ends the test with its own output.
setup_step() {  # log name, command...
  local log=$work/$1.log status=0
  shift
  "$@" >"$log" 2>&1 || status=$?
  if [ $status -ne 0 ]; then
    echo "FAIL: $* ended with $status:" >&2
    tail -n 20 "$log" >&2
    exit 1
  fi
}
setup_step make-setup-old bash "$root/scripts/make-setup.sh" "$work/stage" "$work/setup-old.exe" "$version" amd64-unicode
setup_step make-setup-new bash "$root/scripts/make-setup.sh" "$work/stage" "$work/setup-new.exe" "$newer" amd64-unicode
installed_files=(tessik.exe TessikZip.dll Tessik7z.dll tessikshlex_x64.dll tessikshlex_install_x64.exe
                 tessikshlex_install.exe readme.txt uninstall.exe)

# --- a fresh prefix and what it holds before any install ----------------
# What counts is the prefix wineboot leaves, not its exit code, as for
# wine-run.sh's prefix: its output and code go to a log shown when the
# prefix is missing.
timeout $bound "$wine" wineboot --init >"$work/wineboot.log" 2>&1 || echo "wineboot ended with $?" >>"$work/wineboot.log"
setup_step wineserver-wait timeout $bound /usr/lib/wine/wineserver -w
if [ ! -s "$prefix/system.reg" ] || [ ! -s "$prefix/user.reg" ] || [ ! -d "$prefix/drive_c/windows/system32" ]; then
  echo "FAIL: wineboot made no prefix in $prefix:" >&2
  tail -n 20 "$work/wineboot.log" >&2
  exit 1
fi
drive=$prefix/drive_c
appdata=$drive/users/$user/AppData/Roaming
settings=$appdata/Norvane/Tessik/tessik.ini
files_snapshot() {
  (cd "$drive" && find . -path ./users/$user/Temp -prune -o -print | LC_ALL=C sort)
}
# Two standard keys of every Windows user that a fresh prefix lacks; writing
# below them makes them, and they are not Tessik's.
registry_snapshot() {
  $reg dump "$prefix/user.reg" | grep -vxF -e 'Software\Classes' -e 'Software\Microsoft\Windows\CurrentVersion\Uninstall'
  $reg dump "$prefix/system.reg"
}
files_snapshot > "$work/files-before.txt"
registry_snapshot > "$work/registry-before.txt"

mkdir -p "$drive/setuptest"
printf 'x' > "$drive/setuptest/a.txt"
menu_text_hex=$(printf '%s' 'Tessikで圧縮(&E)' | iconv -f UTF-8 -t CP932 | xxd -p)
clsid='{5D0C3A71-9B2E-4F6A-8C13-2E7B94A0D6F5}'
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessik'
pending_key='System\CurrentControlSet\Control\Session Manager'

# context | setup switch | install folder (Windows) | same on Linux | registry file | probe hive | Start menu programs | uninstaller switch
contexts=(
  "currentuser||C:\\users\\$user\\AppData\\Local\\Programs\\Tessik|$drive/users/$user/AppData/Local/Programs/Tessik|user.reg|HKCU|$appdata/Microsoft/Windows/Start Menu/Programs|/CurrentUser"
  "allusers|/ALLUSERS|C:\\Program Files\\Tessik|$drive/Program Files/Tessik|system.reg|HKLM|$drive/ProgramData/Microsoft/Windows/Start Menu/Programs|/AllUsers"
)

for row in "${contexts[@]}"; do
  IFS='|' read -r context switch folder linux_folder regfile hive programs unswitch <<<"$row"
  echo "== $context"
  regpath=$prefix/$regfile
  setup_args=(/S)
  [ -z "$switch" ] || setup_args+=("$switch")

  # Install.
  status=0
  run_wine "$work/setup-old.exe" "${setup_args[@]}" || status=$?
  check_eq "$context: setup exit code" 0 "$status"
  bytes=0
  for f in "${installed_files[@]}"; do
    if [ -f "$linux_folder/$f" ]; then
      bytes=$((bytes + $(stat -c %s "$linux_folder/$f")))
    else
      fail "$context: not installed: $f"
    fi
  done
  for f in "${installed_files[@]:0:6}"; do
    cmp -s "$work/stage/$f" "$linux_folder/$f" || fail "$context: $f is not the staged file"
  done

  # Every key and value: key | value name | expected.
  quoted_uninstaller="\"$folder\\uninstall.exe\" $unswitch"
  values=(
    "Software\\Classes\\CLSID\\$clsid|@|Tessik Shell Extension"
    "Software\\Classes\\CLSID\\$clsid|tessik_path|$folder\\tessik.exe"
    "Software\\Classes\\CLSID\\$clsid\\InProcServer32|@|$folder\\tessikshlex_x64.dll"
    "Software\\Classes\\CLSID\\$clsid\\InProcServer32|ThreadingModel|Apartment"
    "Software\\Classes\\*\\shellex\\ContextMenuHandlers\\$clsid|@|$clsid"
    "Software\\Classes\\Folder\\shellex\\ContextMenuHandlers\\$clsid|@|$clsid"
    "$uninstall_key|DisplayName|Tessik"
    "$uninstall_key|DisplayVersion|$version"
    "$uninstall_key|Publisher|Norvane"
    "$uninstall_key|DisplayIcon|$folder\\tessik.exe"
    "$uninstall_key|InstallLocation|$folder"
    "$uninstall_key|UninstallString|$quoted_uninstaller"
    "$uninstall_key|QuietUninstallString|$quoted_uninstaller /S"
    "$uninstall_key|EstimatedSize|$(printf 'dword:%08x' $((bytes / 1024)))"
    "$uninstall_key|NoModify|dword:00000001"
    "$uninstall_key|NoRepair|dword:00000001"
  )
  for v in "${values[@]}"; do
    IFS='|' read -r key name expected <<<"$v"
    actual=$($reg get "$regpath" "$key" "$name") || actual="<missing>"
    check_eq "$context: $key $name" "$expected" "$actual"
  done
  # Nothing in the other hive, nor in the 32-bit view.
  other=$prefix/system.reg
  [ "$regfile" = system.reg ] && other=$prefix/user.reg
  for r in "$other|Software\\Classes\\CLSID\\$clsid" "$other|$uninstall_key" \
           "$prefix/system.reg|Software\\Wow6432Node\\Classes\\CLSID\\$clsid" \
           "$prefix/system.reg|Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessik"; do
    ! $reg has "${r%%|*}" "${r#*|}" || fail "$context: key in the wrong place: ${r#*|} in ${r%%|*}"
  done

  # The shortcuts, each to the installed program.
  for lnk in "$programs/Tessik の設定.lnk" "$appdata/Microsoft/Windows/SendTo/Tessik.lnk"; do
    if [ ! -f "$lnk" ]; then
      fail "$context: no shortcut $lnk"
    elif ! python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); t=sys.argv[2]
sys.exit(0 if t.encode("utf-16-le") in d or t.encode("cp932") in d else 1)' "$lnk" "$folder\\tessik.exe"; then
      fail "$context: $lnk does not lead to $folder\\tessik.exe"
    fi
  done

  # The context menu from the installed extension.
  status=0
  out=$(timeout $bound "$wine" "$probe" "$hive" 'C:\setuptest\a.txt' 2>&1) || status=$?
  check_eq "$context: menu probe exit code" 0 "$status"
  module=$(printf '%s\n' "$out" | sed -n 's/^module //p' | tr -d '\r')
  check_eq "$context: extension module" "$(printf '%s' "$folder\\tessikshlex_x64.dll" | tr A-Z a-z)" \
    "$(printf '%s' "$module" | tr A-Z a-z)"
  printf '%s\n' "$out" | tr -d '\r' | grep -qx "item $menu_text_hex" ||
    fail "$context: no menu item Tessikで圧縮(&E) in: $out"

  # A ZIP through the installed program, quick start: no dialog.
  mkdir -p "$(dirname "$settings")"
  printf '[GENERAL]\r\nVersion=100\r\nDefaultArcType=TZIP\r\nQuickStart=true\r\nCmpEndExit=true\r\nOverWriteAction=1\r\n' \
    > "$settings"
  cp "$settings" "$work/settings-before.ini"
  rm -f "$drive/setuptest/a.zip"
  status=0
  run_wine "$folder\\tessik.exe" 'C:\setuptest\a.txt' || status=$?
  check_eq "$context: tessik.exe exit code" 0 "$status"
  listing=$(unzip -Z1 "$drive/setuptest/a.zip" 2>&1) || true
  check_eq "$context: the archive's names" "a.txt" "$listing"
  rm -f "$drive/setuptest/a.zip"
  # The program may have written its settings back: this is the user's file now.
  cp "$settings" "$work/settings-before.ini"

  # Upgrade while another process holds the extension loaded; the user's own
  # archiver DLL stays.
  printf 'user dll' > "$linux_folder/Unlha32.dll"
  rm -f "$drive/setuptest/held" "$drive/setuptest/release"
  timeout $bound "$wine" "$holder" "$folder\\tessikshlex_x64.dll" 'C:\setuptest\held' 'C:\setuptest\release' &
  holder_pid=$!
  wait_for_file "$drive/setuptest/held" || fail "$context: the holder did not load the extension"
  status=0
  timeout $bound "$wine" "$work/setup-new.exe" "${setup_args[@]}" || status=$?
  check_eq "$context: upgrade exit code" 0 "$status"
  [ -f "$linux_folder/tessikshlex_x64.dll.old1" ] || fail "$context: the held DLL was not moved aside"
  cmp -s "$work/stage/tessikshlex_x64.dll" "$linux_folder/tessikshlex_x64.dll" ||
    fail "$context: the new extension is not in place"
  touch "$drive/setuptest/release"
  status=0
  wait $holder_pid || status=$?
  check_eq "$context: holder exit code" 0 "$status"
  timeout $bound /usr/lib/wine/wineserver -w
  actual=$($reg get "$regpath" "$uninstall_key" DisplayVersion) || actual="<missing>"
  check_eq "$context: version after the upgrade" "$newer" "$actual"
  check_eq "$context: user DLL after the upgrade" "user dll" "$(cat "$linux_folder/Unlha32.dll" 2>&1)"
  cmp -s "$settings" "$work/settings-before.ini" || fail "$context: settings file changed by the upgrade"
  pending=$($reg get "$prefix/system.reg" "$pending_key" PendingFileRenameOperations) || pending=""
  case "$pending" in
    *"$folder\\tessikshlex_x64.dll.old1"*) ;;
    *) fail "$context: no delete at restart for the moved DLL: [$pending]" ;;
  esac

  # Uninstall, in place (_?=): the uninstaller's own copy in the temporary
  # folder would return before the work is done.
  # _?= takes the rest of the line unquoted, and Wine would quote a folder
  # with a space: the line goes through a batch file.
  printf '"%s\\uninstall.exe" %s /S _?=%s\r\nexit /b %%errorlevel%%\r\n' "$folder" "$unswitch" "$folder" \
    > "$drive/setuptest/uninstall.bat"
  status=0
  run_wine cmd /c 'C:\setuptest\uninstall.bat' >/dev/null || status=$?
  rm -f "$drive/setuptest/uninstall.bat"
  check_eq "$context: uninstall exit code" 0 "$status"
  # Run in place, the uninstaller may not be able to delete itself.
  left=$(ls "$linux_folder" 2>&1 | grep -vx uninstall.exe | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')
  check_eq "$context: left in the folder" "Unlha32.dll" "$left"
  cmp -s "$settings" "$work/settings-before.ini" || fail "$context: settings file changed by the uninstall"

  # What the test itself left, then the comparison with the fresh prefix.
  rm -f "$linux_folder/Unlha32.dll" "$linux_folder/uninstall.exe"
  rmdir "$linux_folder"
  # The per-user programs folder (a known folder) that the setup made.
  [ "$context" != currentuser ] || rmdir "$drive/users/$user/AppData/Local/Programs"
  rm -f "$settings"
  rmdir "$appdata/Norvane/Tessik" "$appdata/Norvane"
  # The delete at restart is done by Wine itself when the prefix next starts.
  mv "$drive/setuptest" "$work/setuptest"
  files_snapshot > "$work/files-after-$context.txt"
  registry_snapshot > "$work/registry-after-$context.txt"
  mv "$work/setuptest" "$drive/setuptest"
  diff -u "$work/files-before.txt" "$work/files-after-$context.txt" >&2 ||
    fail "$context: drive C: differs from before the install"
  diff -u "$work/registry-before.txt" "$work/registry-after-$context.txt" >&2 ||
    fail "$context: the registry differs from before the install"
done

# A file that cannot be written stops the setup with exit code 2 and no
# uninstall entry.
echo "== write failure"
mkdir -p "$drive/setuptest/blocked/tessik.exe"
status=0
run_wine "$work/setup-old.exe" /S '/D=C:\setuptest\blocked' || status=$?
check_eq "write failure: setup exit code" 2 "$status"
! $reg has "$prefix/user.reg" "$uninstall_key" || fail "write failure: uninstall key written"

if [ $failures -gt 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "setup test passed"
