#!/usr/bin/env bash
# Builds Tessik and starts it under Wine (Japanese locale, the build tree's own
# Wine prefix) beside its own archiver DLLs (TessikZip.dll for ZIP,
# Tessik7z.dll for 7z) and the bridges (bridges/): archiver DLLs that have the
# host's own archivers (7zz, zip, gcab, jlha) make real archives of the other
# formats.
#
#   bash scripts/run.sh                  opens the settings dialog
#   bash scripts/run.sh PATH...          opens the compress dialog on the paths
#   bash scripts/run.sh --quick PATH...  no dialog: makes the archive (format
#                                        TESSIK_FORMAT, default TZIP: a ZIP
#                                        through TessikZip.dll alone, no host
#                                        tool; T7Z: a 7z through Tessik7z.dll
#                                        alone), prints its listing and exits
#
# PATH may be a Linux path (/home/...) or a Windows path of the prefix (C:\...).
# Without an X display the program runs under xvfb-run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quick=0
if [ "${1:-}" = --quick ]; then
  quick=1
  shift
fi
bash "$root/scripts/setup.sh"
TESSIK_SKIP_I686=1 bash "$root/scripts/build.sh"
build=${TESSIK_BUILD_DIR:-$root/build}
run="$build/run"
# A run folder of an older version may still hold stand-ins and their scripts.
rm -rf "$run"
mkdir -p "$run"
format=${TESSIK_FORMAT:-TZIP}
cp "$build/bin/tessik.exe" "$build/bin/tessikzip/TessikZip.dll" "$build/bin/tessik7z/Tessik7z.dll" "$run/"
# Our own formats need no bridge: a quick start of one runs without them.
if [ "$quick" = 0 ] || { [ "$format" != TZIP ] && [ "$format" != T7Z ]; }; then
  cp "$build/bin/bridges/"*.dll "$run/"
fi

args=()
for path in "$@"; do
  case "$path" in
    /*) args+=("Z:$(printf '%s' "$path" | tr / '\\')") ;;
    *) args+=("$path") ;;
  esac
done

if [ "$quick" = 0 ]; then
  exec "$build/wine-run.sh" "$run/tessik.exe" "${args[@]}"
fi

[ $# -gt 0 ] || { echo "usage: $0 --quick PATH..." >&2; exit 2; }
case "$format" in
  7Z|T7Z) ext=.7z ;; TZIP|7ZIP|ZIP) ext=.zip ;; CAB) ext=.cab ;; LHA) ext=.lzh ;;
  *) echo "TESSIK_FORMAT: one of TZIP T7Z 7Z 7ZIP ZIP CAB LHA" >&2; exit 2 ;;
esac
# The program prefers the settings file of the prefix's application-data
# folder; for this run it holds quick start, and the user's file comes back.
"$build/wine-run.sh" wineboot --init >/dev/null 2>&1 || true
ini="$build/wineprefix/drive_c/users/$(whoami)/AppData/Roaming/Norvane/Tessik/tessik.ini"
mkdir -p "$(dirname "$ini")"
saved=""
if [ -f "$ini" ]; then
  saved=$(mktemp)
  cp "$ini" "$saved"
fi
restore() {
  if [ -n "$saved" ]; then mv -f "$saved" "$ini"; else rm -f "$ini"; fi
}
trap restore EXIT
printf '[GENERAL]\r\nVersion=100\r\nDefaultArcType=%s\r\nQuickStart=true\r\nCmpEndExit=true\r\nOverWriteAction=1\r\n' \
  "$format" > "$ini"
"$build/wine-run.sh" "$run/tessik.exe" "${args[@]}"

first=${1%/}
case "$first" in
  /*) archive="${first%.*}$ext"; [ -d "$first" ] && archive="$first$ext" ;;
  *) archive=$("$build/wine-run.sh" winepath -u "$first" 2>/dev/null | tail -1); archive="${archive%/}"
     if [ -d "$archive" ]; then archive="$archive$ext"; else archive="${archive%.*}$ext"; fi ;;
esac
if [ ! -f "$archive" ]; then
  echo "no archive at $archive" >&2
  exit 1
fi
echo "$archive"
# Linux LZH readers split a Shift_JIS name at a trail byte 0x5C; jlha with
# "y" reads the names as the archive holds them.
if [ "$ext" = .lzh ]; then
  LC_ALL=ja_JP.UTF-8 jlha vy "$archive"
elif [ "$format" = TZIP ]; then
  python3 -m zipfile -l "$archive"
else
  7zz l "$archive"
fi
